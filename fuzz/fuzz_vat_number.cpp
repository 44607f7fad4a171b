#include "fuzz_input.h"
#include "validators/vat_number.h"

namespace
{

// The check digit is the Luhn digit: an independent formulation.
bool luhnIsValid(const QString& number)
{
    if (number.size() != 11)
        return false;
    int sum = 0;
    for (qsizetype i = 0; i < 11; ++i) {
        const char16_t c = number[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        int digit = c - u'0';
        if (i % 2 == 1) {
            digit *= 2;
            if (digit > 9)
                digit -= 9;
        }
        sum += digit;
    }
    return sum % 10 == 0;
}

bool isKnownOffice(const QString& code)
{
    if (code.size() != 3)
        return false;
    for (const QChar c : code)
        if (c < u'0' || c > u'9')
            return false;
    const int n = code.toInt();
    return (n >= 1 && n <= 102) || n == 120 || n == 121;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    forEachDecoding(data, size, [](const QString& text) {
        FUZZ_REQUIRE(PartitaIvaIsValid(text) == luhnIsValid(text));
        const QString eleven = (text + QString(11, QLatin1Char('0'))).left(11);
        FUZZ_REQUIRE(PartitaIvaIsValid(eleven) == luhnIsValid(eleven));

        FUZZ_REQUIRE(VatOfficeName(text).isEmpty() != isKnownOffice(text));
        const QString office = text.left(3);
        FUZZ_REQUIRE(VatOfficeName(office).isEmpty() != isKnownOffice(office));
    });
    return 0;
}
