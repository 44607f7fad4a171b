#include "shell/crypt.h"

#include "storage/win1252.h"

namespace {

constexpr quint16 keyStart = 8953;
constexpr quint16 multiplier = 40503;
constexpr quint16 addend = 27361;

quint16 nextKey(quint8 scrambled, quint16 key)
{
    return quint16((quint16(scrambled + key) * quint32(multiplier) + addend) & 0xFFFF);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

QByteArray Crypt::Scramble(const QByteArray& plain)
{
    // A longer text would wrap the one-byte count and lose its end.
    if (plain.size() > maxLength)
        throw CryptError(QStringLiteral("Testo troppo lungo: %1 caratteri (al massimo %2).")
                             .arg(plain.size())
                             .arg(maxLength));
    static const char digits[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(plain.size() * 2);
    quint16 key = keyStart;
    for (char ch : plain) {
        const quint8 c = quint8(quint8(ch) ^ quint8(key >> 8));
        out.append(digits[c >> 4]).append(digits[c & 0x0F]);
        key = nextKey(c, key);
    }
    return out;
}

QByteArray Crypt::Unscramble(const QByteArray& hex)
{
    const qsizetype n = hex.size() / 2;
    QByteArray out;
    out.reserve(n);
    quint16 key = keyStart;
    for (qsizetype i = 0; i < n; ++i) {
        const int hi = hexDigit(hex[2 * i]);
        const int lo = hexDigit(hex[2 * i + 1]);
        // Reading past a damaged pair would turn the value into another
        // password, so it is refused instead.
        if (hi < 0 || lo < 0)
            throw CryptError(QStringLiteral("'%1' non è un valore esadecimale valido.")
                                 .arg(QString::fromLatin1(hex.mid(2 * i, 2))));
        const quint8 b = quint8(hi << 4 | lo);
        out.append(char(b ^ quint8(key >> 8)));
        key = nextKey(b, key);
    }
    return out;
}

QString Crypt::Scramble(const QString& plain)
{
    QByteArray bytes;
    if (!Cp1252::tryEncode(plain, bytes))
        throw CryptError(QStringLiteral("Il carattere \"%1\" non può essere salvato.")
                             .arg(Cp1252::firstUnencodable(plain)));
    return QString::fromLatin1(Scramble(bytes));
}

QString Crypt::Unscramble(const QString& hex)
{
    QByteArray bytes;
    // A character outside Windows-1252 is no hexadecimal digit either.
    if (!Cp1252::tryEncode(hex, bytes))
        throw CryptError(QStringLiteral("'%1' non è un valore esadecimale valido.").arg(hex));
    return Cp1252::decode(Unscramble(bytes));
}
