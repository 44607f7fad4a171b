#include "mail/unsubscribe.h"

#include "storage/app_paths.h"
#include "storage/ini_file.h"

#include <QUrl>

namespace {
// Until the sending settings have a home of their own, they sit in a section
// of Messaggi.ini beside the remembered senders.
const QString kSection = QStringLiteral("Cancellazione");
const QString kHeaderKey = QStringLiteral("Intestazione");
const QString kLineKey = QStringLiteral("Riga finale");
const QString kTextKey = QStringLiteral("Testo");
const QString kPlainKey = QStringLiteral("Anche invii non riservati");

IniFile settings() { return IniFile(AppPaths::beside(QStringLiteral("Messaggi.ini"))); }

bool flag(const IniFile& ini, const QString& key, bool byDefault)
{
    const QString v = ini.read(kSection, key);
    return v.isEmpty() ? byDefault : v == QLatin1String("1");
}

QString one(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
} // namespace

QString Unsubscribe::defaultText()
{
    return QStringLiteral("Per non ricevere più queste comunicazioni, rispondere a questo messaggio con oggetto "
                          "\u00abCancellazione\u00bb.");
}

Unsubscribe::Options Unsubscribe::load()
{
    const IniFile ini = settings();
    Options o;
    o.header = flag(ini, kHeaderKey, true);
    o.closingLine = flag(ini, kLineKey, true);
    o.plainToo = flag(ini, kPlainKey, false);
    o.text = ini.read(kSection, kTextKey);
    return o;
}

void Unsubscribe::save(const Options& o)
{
    const IniFile ini = settings();
    ini.write(kSection, kHeaderKey, one(o.header));
    ini.write(kSection, kLineKey, one(o.closingLine));
    ini.write(kSection, kPlainKey, one(o.plainToo));
    ini.write(kSection, kTextKey, o.text.trimmed() == defaultText() ? QString() : o.text.trimmed());
}

QString Unsubscribe::bodyWith(const QString& body, const Options& o, bool privately)
{
    if (!o.closingLine || !applies(o, privately))
        return body;
    const QString line = o.text.trimmed().isEmpty() ? defaultText() : o.text.trimmed();
    qsizetype end = body.size();
    while (end > 0 && body[end - 1].isSpace())
        --end;
    // Already there (a sending resumed from the journal's copy): once only.
    if (QStringView(body).left(end).endsWith(line))
        return body;
    return body.left(end) + QStringLiteral("\n\n") + line;
}

QByteArray Unsubscribe::headerValue(const QString& senderAddress)
{
    const qsizetype at = senderAddress.lastIndexOf(QLatin1Char('@'));
    // The local part percent-encoded as a mailto: URI needs; the domain in
    // its ASCII form, since a header holds ASCII only.
    const QByteArray local = QUrl::toPercentEncoding(senderAddress.left(at), "!$'*+=^_`{|}~");
    QByteArray domain = QUrl::toAce(senderAddress.mid(at + 1));
    if (domain.isEmpty())
        domain = QUrl::toPercentEncoding(senderAddress.mid(at + 1));
    return "<mailto:" + local + "@" + domain + "?subject=Cancellazione>";
}
