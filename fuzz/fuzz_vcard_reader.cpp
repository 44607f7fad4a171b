#define VELMARO_FUZZ_IMPORT
#include "fuzz_input.h"
#include "contacts/import/contact_import.h"
#include "contacts/import/contact_mapping.h"
#include "contacts/import/vcard_reader.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<VCard> cards = VCardReader::read(bytes);
    // Every card starts at a line of the file, in order.
    int previous = 0;
    for (const VCard& card : cards) {
        FUZZ_REQUIRE(card.line > previous);
        previous = card.line;
        const ImportedContact c = ContactMapping::fromVCard(card);
        FUZZ_REQUIRE(c.line == card.line);
        requireSameVerdict(c);
        const QHash<QByteArray, QString> values = c.values();
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            FUZZ_REQUIRE(!it.value().isEmpty());
            // Only the note keeps line breaks.
            if (it.key() != "varNote")
                FUZZ_REQUIRE(!it.value().contains(QLatin1Char('\n')) && !it.value().contains(QLatin1Char('\r')));
        }
    }
    return 0;
}
