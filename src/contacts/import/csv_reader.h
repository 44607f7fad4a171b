#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct CsvRow {
    int line = 0; // where the row starts, from 1
    QStringList fields;
    QStringList problems;
};

struct CsvTable {
    QChar separator = u',';
    QString encoding;
    QStringList headings; // the first row
    QList<CsvRow> rows;   // the others, blank lines left out
};

// RFC 4180 text: quoted fields may hold separators, doubled quotes and line
// breaks. The separator is ',' or ';', whichever the heading row uses more.
// Never fails: what cannot be read becomes a problem of its row.
namespace CsvReader {
CsvTable read(const QByteArray& bytes);
QChar detectSeparator(QStringView text);
} // namespace CsvReader
