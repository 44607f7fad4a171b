#include "mail/mail_account.h"

#include "storage/app_paths.h"
#include "storage/ini_file.h"

namespace {

const QString kSection = QStringLiteral("Account di posta");
const QString kTrusted = QStringLiteral("Certificati fidati");

IniFile ini() { return IniFile(AppPaths::beside(QStringLiteral("Messaggi.ini"))); }

int number(const IniFile& file, const QString& key, int fallback, int lowest, int highest)
{
    bool ok = false;
    const int n = file.read(kSection, key).toInt(&ok);
    return ok && n >= lowest && n <= highest ? n : fallback;
}

bool flag(const IniFile& file, const QString& key, bool fallback)
{
    const QString v = file.read(kSection, key);
    return v.isEmpty() ? fallback : v == QLatin1String("1");
}

QString serverKey(const QString& server, int port)
{
    return server.trimmed().toLower() + QLatin1Char(' ') + QString::number(port);
}

} // namespace

MailAccount MailAccountStore::load()
{
    const IniFile file = ini();
    MailAccount a;
    a.senderName = file.read(kSection, QStringLiteral("Nome mittente"));
    a.senderAddress = file.read(kSection, QStringLiteral("Email mittente"));
    a.server = file.read(kSection, QStringLiteral("Server"));
    a.security = securityFromName(file.read(kSection, QStringLiteral("Sicurezza"), securityName(a.security)));
    a.port = number(file, QStringLiteral("Porta"), usualPort(a.security), 1, 65535);
    a.user = file.read(kSection, QStringLiteral("Utente"));
    a.rememberPassword = flag(file, QStringLiteral("Ricorda password"), true);
    a.pauseSeconds = number(file, QStringLiteral("Pausa tra i messaggi"), 0, 0, 3600);
    a.recipientsPerMessage = number(file, QStringLiteral("Destinatari per messaggio"), 0, 0, 100000);
    a.messagesPerConnection = number(file, QStringLiteral("Messaggi per connessione"), 0, 0, 100000);
    a.useForDirect = flag(file, QStringLiteral("Usa per invio diretto"), false);
    return a;
}

void MailAccountStore::save(const MailAccount& a)
{
    const IniFile file = ini();
    const auto put = [&](const char* key, const QString& value) { file.write(kSection, QLatin1String(key), value); };
    const auto yes = [](bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); };
    put("Nome mittente", a.senderName.trimmed());
    put("Email mittente", a.senderAddress.trimmed());
    put("Server", a.server.trimmed());
    put("Porta", QString::number(a.port));
    put("Sicurezza", securityName(a.security));
    put("Utente", a.user.trimmed());
    put("Ricorda password", yes(a.rememberPassword));
    put("Pausa tra i messaggi", QString::number(a.pauseSeconds));
    put("Destinatari per messaggio", QString::number(a.recipientsPerMessage));
    put("Messaggi per connessione", QString::number(a.messagesPerConnection));
    put("Usa per invio diretto", yes(a.useForDirect));
}

QString MailAccountStore::trustedFingerprint(const QString& server, int port)
{
    return ini().read(kTrusted, serverKey(server, port));
}

void MailAccountStore::trust(const QString& server, int port, const QString& fingerprint)
{
    ini().write(kTrusted, serverKey(server, port), fingerprint);
}

QString MailAccountStore::securityName(Smtp::Security security)
{
    switch (security) {
    case Smtp::Security::Tls:
        return QStringLiteral("SSL/TLS");
    case Smtp::Security::StartTls:
        return QStringLiteral("STARTTLS");
    case Smtp::Security::None:
        break;
    }
    return QStringLiteral("Nessuna");
}

Smtp::Security MailAccountStore::securityFromName(const QString& name)
{
    if (name.compare(QLatin1String("STARTTLS"), Qt::CaseInsensitive) == 0)
        return Smtp::Security::StartTls;
    if (name.compare(QLatin1String("Nessuna"), Qt::CaseInsensitive) == 0)
        return Smtp::Security::None;
    // Anything unknown reads as the safest choice.
    return Smtp::Security::Tls;
}

int MailAccountStore::usualPort(Smtp::Security security)
{
    switch (security) {
    case Smtp::Security::Tls:
        return 465;
    case Smtp::Security::StartTls:
        return 587;
    case Smtp::Security::None:
        break;
    }
    return 25;
}
