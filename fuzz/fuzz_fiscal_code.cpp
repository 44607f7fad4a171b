#include "fuzz_input.h"
#include "validators/fiscal_code.h"

namespace
{

// The decree's odd-position table written the other way round: the letter
// at index v has odd value v. Digits count as A...J, ':' to '@' count 0.
int referenceOddValue(char16_t c)
{
    static const QString byValue = QStringLiteral("BAKPLCQDREVOSFTGUHMINJWZYX");
    if (c >= u'0' && c <= u'9')
        c = u'A' + (c - u'0');
    else if (c < u'A')
        return 0;
    return int(byValue.indexOf(QChar(c)));
}

int referenceEvenValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    return 0;
}

bool referenceIsValid(const QString& code)
{
    if (code.size() != 16)
        return false;
    int sum = 0;
    for (qsizetype i = 0; i < 15; ++i) {
        const char16_t c = code[i].unicode();
        if (c < u'0' || c > u'Z')
            return false;
        sum += (i % 2 == 0) ? referenceOddValue(c) : referenceEvenValue(c);
    }
    return code[15] == QChar(char16_t(u'A' + sum % 26));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    forEachDecoding(data, size, [](const QString& text) {
        const bool valid = FiscalCodeIsValid(text);
        FUZZ_REQUIRE(valid == referenceIsValid(text));
        // The same text padded or cut to 16 characters reaches the tables.
        const QString sixteen = (text + QString(16, QLatin1Char('A'))).left(16);
        FUZZ_REQUIRE(FiscalCodeIsValid(sixteen) == referenceIsValid(sixteen));
    });
    return 0;
}
