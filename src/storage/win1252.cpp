#include "storage/win1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr const char* kCodec = "windows-1252";

bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool isAscii(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}
} // namespace

QString Cp1252::decode(const QByteArray& bytes)
{
    if (isAscii(bytes)) // the common case, without a converter
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(kCodec);
    return decoder.decode(bytes);
}

QString Cp1252::firstUnencodable(const QString& text)
{
    if (isAscii(text))
        return {};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80)
            continue;
        qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString one = text.mid(i, len);
        QStringEncoder encoder(kCodec);
        const QByteArray b = encoder.encode(one);
        if (encoder.hasError() || b.size() != 1)
            return one;
        i += len - 1;
    }
    return {};
}

bool Cp1252::tryEncode(const QString& text, QByteArray& out)
{
    if (isAscii(text)) {
        out = text.toLatin1();
        return true;
    }
    QStringEncoder encoder(kCodec);
    QByteArray b = encoder.encode(text);
    if (encoder.hasError() || b.size() != text.size())
        return false;
    out = std::move(b);
    return true;
}

QByteArray Cp1252::encode(const QString& text)
{
    QByteArray out;
    if (tryEncode(text, out))
        return out;
    QStringEncoder encoder(kCodec);
    return encoder.encode(text);
}
