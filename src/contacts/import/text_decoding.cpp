#include "contacts/import/text_decoding.h"

#include "storage/win1252.h"

#include <QStringDecoder>

namespace {

bool tryUtf8(QByteArrayView bytes, QString& out)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out = utf8.decode(bytes);
    return !utf8.hasError();
}

} // namespace

QString TextDecoding::decode(const QByteArray& bytes, const QByteArray& charset, QString* problem)
{
    QString out;
    const QByteArray name = charset.trimmed().toLower();
    if (name.isEmpty() || name == "utf-8" || name == "utf8") {
        if (tryUtf8(bytes, out))
            return out;
        if (!name.isEmpty() && problem)
            *problem = QStringLiteral("testo non valido in UTF-8, letto come Windows-1252");
        return Cp1252::decode(bytes);
    }
    if (name == "windows-1252" || name == "cp1252" || name == "ansi")
        return Cp1252::decode(bytes);
    QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
    if (decoder.isValid()) {
        out = decoder.decode(bytes);
        if (!decoder.hasError())
            return out;
    }
    if (problem)
        *problem = QStringLiteral("set di caratteri «%1» non riconosciuto").arg(QString::fromLatin1(charset));
    if (tryUtf8(bytes, out))
        return out;
    return Cp1252::decode(bytes);
}

QString TextDecoding::decodeFile(const QByteArray& bytes, QString* encoding)
{
    auto said = [encoding](const char* name) {
        if (encoding)
            *encoding = QString::fromLatin1(name);
    };
    QString out;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        said("UTF-8");
        // A broken sequence after the mark stays visible as U+FFFD rather
        // than turning the whole file into Windows-1252.
        tryUtf8(QByteArrayView(bytes).sliced(3), out);
        return out;
    }
    if (tryUtf8(bytes, out)) {
        said("UTF-8");
        return out;
    }
    said("Windows-1252");
    return Cp1252::decode(bytes);
}
