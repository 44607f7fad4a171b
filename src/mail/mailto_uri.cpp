#include "mail/mailto_uri.h"

#include <QUrl>

namespace {

// Only RFC 3986's unreserved characters stay literal: '&', '?', '#', '+',
// '%', '\' and every non-ASCII letter travel encoded.
QString encoded(const QString& text, const QByteArray& keep = {})
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, keep));
}

} // namespace

QString MailtoUri::crlfLines(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 32);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\r\n");
        } else if (c == QLatin1Char('\n')) {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString MailtoUri::build(
    const QStringList& addresses, const QString& subject, const QString& body, const QStringList& attachments)
{
    QStringList to;
    to.reserve(addresses.size());
    for (const QString& a : addresses)
        to << encoded(a, "@");
    QString uri = QStringLiteral("mailto:") + to.join(QLatin1Char(','));
    uri += QStringLiteral("?subject=") + encoded(subject);
    uri += QStringLiteral("&body=") + encoded(crlfLines(body));
    for (const QString& path : attachments)
        uri += QStringLiteral("&attach=") + encoded(path, "/");
    return uri;
}
