#pragma once

#include "contacts/import/csv_reader.h"
#include "contacts/import/vcard_reader.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A contact read from a file: its values in the archive's column order,
// line breaks as "\r\n" as the editor stores them.
struct ImportedContact {
    int line = 0;
    QList<QString> fields; // one per value column, empty when not read
    QStringList problems;

    // The filled values by column name (varContatto, varEmail, ...).
    QHash<QByteArray, QString> values() const;
    static ImportedContact withValues(int line, const QHash<QByteArray, QString>& values);
};

namespace ContactMapping {
// Where a CSV column goes: a card field (the editor's control, "txtEmail"),
// or one of the keys below.
inline constexpr const char* kGivenName = "#nome";
inline constexpr const char* kMiddleName = "#secondo";
inline constexpr const char* kFamilyName = "#cognome";
inline constexpr const char* kCountry = "#paese";
// The parts of the work address: on the card when the home address is empty.
inline constexpr const char* kWorkStreet = "#uff.indirizzo";
inline constexpr const char* kWorkCity = "#uff.citta";
inline constexpr const char* kWorkZip = "#uff.cap";
inline constexpr const char* kWorkRegion = "#uff.prov";
inline constexpr const char* kWorkCountry = "#uff.paese";
// A telephone number whose field its label column names ("Mobile", "Work").
inline constexpr const char* kPhoneByLabel = "#tel";
// The label of the numbered columns beside it ("Phone 1 - Label").
inline constexpr const char* kLabel = "#etichetta";
inline constexpr const char* kJoinNote = "#nota";
inline constexpr const char* kIgnore = "";

// Webmail exports put several values of one kind in one field.
inline constexpr const char* kMultiValueSeparator = " ::: ";

struct Target {
    QByteArray key;
    QString label;
};
// The choices of a column's drop-down, in the card's order.
const QList<Target>& targets();
// The caption of a target key.
QString labelOf(const QByteArray& key);

// What one CSV column becomes: its target; for numbered columns read by
// label ("Phone 1 - Value", "Address 2 - City") the column holding the label,
// or -1; and whether a field may hold several values (webmail exports only:
// elsewhere " ::: " is text like any other).
struct ColumnMap {
    QByteArray target;
    int labelColumn = -1;
    bool multiValue = false;
    bool operator==(const ColumnMap&) const = default;
};
using Mapping = QList<ColumnMap>;

// The target of a heading in Italian or English; an unknown heading joins
// the note.
QByteArray targetOf(const QString& heading);
// The guessed mapping of a whole heading row: a second column for a field
// that takes one value joins the note, numbered columns find their label.
Mapping guessMapping(const QStringList& headings);

// A mapping made ready for reading many rows.
class CsvPlan {
public:
    CsvPlan(const QStringList& headings, const Mapping& mapping);
    ~CsvPlan();
    CsvPlan(const CsvPlan&);
    CsvPlan& operator=(const CsvPlan&);
    ImportedContact contact(const CsvRow& row) const;

private:
    struct Step;
    QList<Step> steps_;
};

ImportedContact fromVCard(const VCard& card);
QList<ImportedContact> fromVCards(const QList<VCard>& cards);
ImportedContact fromCsvRow(const CsvRow& row, const QStringList& headings, const Mapping& mapping);
QList<ImportedContact> fromCsv(const CsvTable& table, const Mapping& mapping);
} // namespace ContactMapping
