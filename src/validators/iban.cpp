#include "validators/iban.h"

#include "storage/ascii.h"

#include <algorithm>

namespace {

// Only a-z: other letters have no value in an IBAN and must not change the
// text's length.
QString asciiUpper(const QString& text)
{
    return Ascii::upper(text);
}

} // namespace

bool IbanIsValid(const QString& text)
{
    QString compact = text;
    compact.remove(QLatin1Char(' '));
    return IbanMod97(compact) == 1;
}

int IbanMod97(const QString& text)
{
    QString code = asciiUpper(text);
    const qsizetype prefix = code.indexOf(QLatin1String("IBAN"));
    if (prefix >= 0)
        code.remove(prefix, 4);
    code = code.mid(4) + code.left(4);

    QString digits;
    digits.reserve(code.size() * 2);
    for (const QChar c : code) {
        if (c >= u'0' && c <= u'9')
            digits += c;
        else if (c >= u'A' && c <= u'Z')
            digits += QString::number(c.unicode() - u'A' + 10);
        else
            return 0; // a sign, a blank or punctuation: not a number at all
    }

    // At most nine digits per window: the carried remainder (up to two digits)
    // plus fresh digits, so each window fits a signed 32-bit integer.
    int remainder = 0;
    QString carried;
    qsizetype position = 0;
    qsizetype window = 9;
    while (position < digits.size()) {
        const qsizetype taken = std::min(window, digits.size() - position);
        const QString windowText = carried + digits.mid(position, taken);
        bool ok = false;
        const qint32 n = windowText.toInt(&ok);
        if (!ok)
            return 0;
        remainder = n % 97;
        position += taken;
        carried = QString::number(remainder);
        window = 9 - carried.size();
    }
    return remainder;
}
