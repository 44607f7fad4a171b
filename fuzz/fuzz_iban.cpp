#include "fuzz_input.h"
#include "validators/iban.h"

namespace
{

QString asciiCase(const QString& text, bool upper)
{
    QString out = text;
    const char16_t from = upper ? u'a' : u'A';
    for (QChar& c : out)
        if (c >= QChar(from) && c <= QChar(char16_t(from + 25)))
            c = QChar(char16_t(c.unicode() ^ 0x20));
    return out;
}

// Remainder by long division, a digit or a letter's two digits at a time.
int referenceMod97(const QString& text)
{
    QString code = asciiCase(text, true);
    const qsizetype prefix = code.indexOf(QLatin1String("IBAN"));
    if (prefix >= 0)
        code.remove(prefix, 4);
    code = code.mid(4) + code.left(4);
    int r = 0;
    for (const QChar c : code) {
        if (c >= u'0' && c <= u'9')
            r = (r * 10 + (c.unicode() - u'0')) % 97;
        else if (c >= u'A' && c <= u'Z')
            r = (r * 100 + (c.unicode() - u'A' + 10)) % 97;
        else
            return 0;
    }
    return r;
}

bool onlyLettersDigitsBlanks(const QString& text)
{
    for (const QChar c : text) {
        const bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        if (!letter && !(c >= u'0' && c <= u'9') && c != u' ')
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    forEachDecoding(data, size, [](const QString& text) {
        const int remainder = IbanMod97(text);
        FUZZ_REQUIRE(remainder >= 0 && remainder < 97);
        FUZZ_REQUIRE(remainder == referenceMod97(text));
        FUZZ_REQUIRE(remainder == IbanMod97(asciiCase(text, false)));

        const bool valid = IbanIsValid(text);
        if (valid)
            FUZZ_REQUIRE(onlyLettersDigitsBlanks(text));
        QString compact = text;
        compact.remove(QLatin1Char(' '));
        FUZZ_REQUIRE(valid == (referenceMod97(compact) == 1));
    });
    return 0;
}
