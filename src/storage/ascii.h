#pragma once

#include <QByteArray>
#include <QString>

// Case and digit rules on a-z, A-Z and 0-9 only: the archives' Windows-1252
// text must never be case-mapped by Unicode rules ("ß" would become "SS").
namespace Ascii {
constexpr bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
constexpr bool isLower(char16_t c) { return c >= u'a' && c <= u'z'; }
constexpr bool isUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
constexpr char16_t toUpper(char16_t c) { return isLower(c) ? char16_t(c - 32) : c; }
constexpr char16_t toLower(char16_t c) { return isUpper(c) ? char16_t(c + 32) : c; }
// Bytes of the archives, compared without regard to A-Z case.
constexpr unsigned char toUpper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

inline QString upper(QString text)
{
    for (QChar& c : text)
        c = QChar(toUpper(c.unicode()));
    return text;
}
inline QString lower(QString text)
{
    for (QChar& c : text)
        c = QChar(toLower(c.unicode()));
    return text;
}
inline QByteArray lower(QByteArray bytes)
{
    for (char& c : bytes)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return bytes;
}
// True for a non-empty text of 0-9 only.
inline bool allDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!isDigit(c.unicode()))
            return false;
    return true;
}
} // namespace Ascii
