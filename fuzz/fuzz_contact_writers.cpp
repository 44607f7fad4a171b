#include "fuzz_input.h"
#include "archives/archive_registry.h"
#include "contacts/export/contact_writers.h"
#include "contacts/import/contact_mapping.h"
#include "contacts/import/csv_reader.h"
#include "contacts/import/vcard_reader.h"
#include "storage/card_archive.h"
#include "storage/card_text.h"
#include "storage/win1252.h"

#include <QByteArray>

// The input is a card: its 19 fields separated by NUL bytes, made into what
// the editor stores (trimmed, no ';' or '"', line breaks only in the note,
// the province as typed). Written in every format and read back, it must
// give exactly the same fields.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QList<QByteArray>& columns = Archives::card(ArchiveKind::Contacts).valueColumns();
    const QList<QByteArray> pieces = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)).split('\0');
    QList<QByteArray> values(columns.size());
    QHash<QByteArray, QString> expected;
    for (qsizetype c = 0; c < 19 && c < pieces.size(); ++c) {
        const bool note = columns[c] == "varNote";
        QByteArray v;
        for (qsizetype i = 0; i < pieces[c].size(); ++i) {
            char ch = pieces[c][i];
            if (ch == ';' || ch == '"')
                ch = ' ';
            if (ch == '\r' || ch == '\n') {
                if (note) {
                    v += "\r\n";
                    if (ch == '\r' && i + 1 < pieces[c].size() && pieces[c][i + 1] == '\n')
                        ++i;
                    continue;
                }
                ch = ' ';
            }
            v += ch;
        }
        if (columns[c] == "varProv") {
            v = v.left(2);
            for (char& ch : v)
                if (ch >= 'a' && ch <= 'z')
                    ch = char(ch - 32);
        }
        values[c] = CardText::trimmed(v);
        if (!values[c].isEmpty())
            expected.insert(columns[c], Cp1252::decode(values[c]));
    }

    for (auto version : { ContactWriters::VCardVersion::V4, ContactWriters::VCardVersion::V3 }) {
        const QList<VCard> cards = VCardReader::read(ContactWriters::vcard(values, version));
        FUZZ_REQUIRE(cards.size() == 1 && cards[0].problems.isEmpty());
        FUZZ_REQUIRE(ContactMapping::fromVCard(cards[0]).values() == expected);
    }
    for (char separator : { ';', ',' }) {
        const CsvTable t = CsvReader::read(QByteArray(ContactWriters::kUtf8Bom) + ContactWriters::csvHeadings(separator)
            + ContactWriters::csvRow(values, separator));
        FUZZ_REQUIRE(t.rows.size() == 1 && t.rows[0].problems.isEmpty());
        FUZZ_REQUIRE(ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings))[0].values() == expected);
    }
    return 0;
}
