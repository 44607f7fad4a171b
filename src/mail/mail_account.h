#pragma once

#include "mail/smtp_session.h"

#include <QString>

// The office's own mail account, used for direct sending when the user
// asks for it. Kept in Messaggi.ini, section "Account di posta", beside the
// remembered senders; the password is never there (see MailPassword).
struct MailAccount {
    QString senderName; // defaults for the sender fields of the forms
    QString senderAddress;
    QString server;
    int port = 465;
    Smtp::Security security = Smtp::Security::Tls;
    QString user;
    bool rememberPassword = true;
    int pauseSeconds = 0; // between two messages of a private sending
    int recipientsPerMessage = 0; // the server's limit, when known; 0: none
    int messagesPerConnection = 0; // 0: as many as the server takes
    bool useForDirect = false;

    // Direct sendings go through this account.
    bool inUse() const { return useForDirect && !server.trimmed().isEmpty(); }
    bool operator==(const MailAccount&) const = default;
};

namespace MailAccountStore {
// Throws IniFileError when the file cannot be read or written.
MailAccount load();
void save(const MailAccount& account);

// The certificate the user trusted for one server (its SHA-256
// fingerprint), or empty; section "Certificati fidati", one key per server.
QString trustedFingerprint(const QString& server, int port);
void trust(const QString& server, int port, const QString& fingerprint);

// "SSL/TLS", "STARTTLS", "Nessuna", as the user chooses them.
QString securityName(Smtp::Security security);
Smtp::Security securityFromName(const QString& name);
// The usual port of each choice.
int usualPort(Smtp::Security security);
} // namespace MailAccountStore
