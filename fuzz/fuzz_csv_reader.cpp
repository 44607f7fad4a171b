#define VELMARO_FUZZ_IMPORT
#include "fuzz_input.h"
#include "contacts/import/contact_import.h"
#include "contacts/import/contact_mapping.h"
#include "contacts/import/csv_reader.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const CsvTable table = CsvReader::read(bytes);
    FUZZ_REQUIRE(table.separator == QLatin1Char(',') || table.separator == QLatin1Char(';'));
    int previous = 1;
    for (const CsvRow& row : table.rows) {
        // No row is wider than the headings, and rows follow each other.
        FUZZ_REQUIRE(row.fields.size() <= qMax<qsizetype>(table.headings.size(), 1));
        FUZZ_REQUIRE(row.line > previous);
        previous = row.line;
    }
    const ContactMapping::Mapping targets = ContactMapping::guessMapping(table.headings);
    FUZZ_REQUIRE(targets.size() == table.headings.size());
    for (const ImportedContact& c : ContactMapping::fromCsv(table, targets)) {
        requireSameVerdict(c);
        const QHash<QByteArray, QString> values = c.values();
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            // Only the note keeps line breaks.
            if (it.key() != "varNote")
                FUZZ_REQUIRE(!it.value().contains(QLatin1Char('\n')) && !it.value().contains(QLatin1Char('\r')));
    }
    return 0;
}
