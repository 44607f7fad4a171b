#include "storage/card_text.h"

QString CardText::scrubbed(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c == QLatin1Char(';') || c == QLatin1Char('"'))
            c = QLatin1Char(' ');
    return out;
}

QString CardText::trimmed(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

QByteArray CardText::trimmed(const QByteArray& bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && static_cast<unsigned char>(bytes[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(bytes[end - 1]) <= 32)
        --end;
    return bytes.mid(begin, end - begin);
}
