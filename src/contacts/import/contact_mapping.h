#pragma once

#include "contacts/import/csv_reader.h"
#include "contacts/import/vcard_reader.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A contact read from a file: its values by archive column (varContatto,
// varEmail, ...), line breaks as "\r\n" as the editor stores them.
struct ImportedContact {
    int line = 0;
    QHash<QByteArray, QString> values;
    QStringList problems;
};

namespace ContactMapping {
// Where a CSV column goes: an archive column, one of the name parts below,
// the note (with its heading) or nowhere.
inline constexpr const char* kGivenName = "#nome";
inline constexpr const char* kFamilyName = "#cognome";
inline constexpr const char* kJoinNote = "#nota";
inline constexpr const char* kIgnore = "";

struct Target {
    QByteArray key;
    QString label;
};
// The choices of a column's drop-down, in the card's order.
const QList<Target>& targets();
// The caption of an archive column or target key.
QString labelOf(const QByteArray& column);

// The target of a heading in Italian or English (the usual exports of mail
// programs, webmail and phones, and this program's own column captions);
// an unknown heading joins the note.
QByteArray targetOf(const QString& heading);
QList<QByteArray> guessTargets(const QStringList& headings);

ImportedContact fromVCard(const VCard& card);
QList<ImportedContact> fromVCards(const QList<VCard>& cards);
ImportedContact fromCsvRow(const CsvRow& row, const QStringList& headings, const QList<QByteArray>& targets);
QList<ImportedContact> fromCsv(const CsvTable& table, const QList<QByteArray>& targets);
} // namespace ContactMapping
