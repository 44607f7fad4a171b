#include "fuzz_input.h"
#include "mail/placeholders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    forEachDecoding(data, size, [](const QString& text) {
        const QList<Placeholders::Piece> pieces = Placeholders::parse(text);
        QString joined;
        qsizetype literalLength = 0;
        int fields = 0;
        for (const Placeholders::Piece& p : pieces) {
            FUZZ_REQUIRE(!p.text.isEmpty());
            joined += p.text;
            if (!p.field) {
                // Text left literal holds no placeholder of its own.
                FUZZ_REQUIRE(!Placeholders::any(p.text));
                literalLength += p.text.size();
                continue;
            }
            ++fields;
            FUZZ_REQUIRE(p.text.startsWith(QLatin1Char('{')) && p.text.endsWith(QLatin1Char('}')));
            FUZZ_REQUIRE(!p.name.isEmpty() && p.name == p.name.trimmed());
            for (QChar c : p.text)
                FUZZ_REQUIRE(c.unicode() >= 0x20 && c.unicode() != 0x7F);
            const QList<Placeholders::Piece> again = Placeholders::parse(p.text);
            FUZZ_REQUIRE(again.size() == 1 && again[0].field && again[0].name == p.name
                && again[0].hasFallback == p.hasFallback && again[0].fallback == p.fallback);
        }
        FUZZ_REQUIRE(joined == text);
        FUZZ_REQUIRE(Placeholders::any(text) == (fields > 0));
        // A value holding braces goes in as it is, never expanded again.
        const QString expanded
            = Placeholders::expand(pieces, [](const Placeholders::Piece&) { return QStringLiteral("{x}"); });
        FUZZ_REQUIRE(expanded.size() == literalLength + 3 * fields);
    });
    return 0;
}
