#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The column headings of the contacts files offices have: the CSV exports of
// desktop and office mail programs, webmail and phones in Italian and
// English, the usual hand-made headings and this program's own captions,
// each with the target it goes to (a ContactMapping key).
namespace HeadingTable {
struct Row {
    const char* heading; // as the exporting program writes it
    const char* target;
};
const QList<Row>& rows();

// A heading as the table is searched: accents, case, punctuation and the
// numbers of numbered columns do not count ("Telefono (uff.) 2" and
// "telefono uff 3" are the same heading).
QString normalised(const QString& heading);

// The target of a heading; a null QByteArray when the table does not know it.
QByteArray lookup(const QString& heading);
} // namespace HeadingTable
