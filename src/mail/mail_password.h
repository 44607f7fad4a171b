#pragma once

#include "mail/mail_account.h"

#include <QString>

// The desktop's secret store (Secret Service, KWallet), behind one seam so
// tests use a fake one. Without a store the password lives in memory for
// the session only; it never goes to a settings file or a log.
class ISecretStore {
public:
    enum class Result { Ok, NotFound, Unavailable };
    virtual ~ISecretStore() = default;
    virtual Result read(const QString& key, QString& secret) = 0;
    virtual Result write(const QString& key, const QString& secret) = 0;
    virtual Result remove(const QString& key) = 0;
};

// Asks the user for the account's password when it is known nowhere.
class IPasswordPrompt {
public:
    virtual ~IPasswordPrompt() = default;
    // False when the user declines.
    virtual bool ask(const MailAccount& account, QString& password) = 0;
};

namespace MailPassword {
// nullptr: none (every store answers Unavailable; nobody is asked).
void installStore(ISecretStore* store);
void installPrompt(IPasswordPrompt* prompt);

// What the password is kept under: the user at the server.
QString key(const MailAccount& account);

// The password a sending needs: this session's, else the store's when the
// user asked to remember it, else the user's answer, which is kept for the
// session. False when there is none (the user declined). An account
// without a user name needs none.
bool get(const MailAccount& account, QString& password);

// The password only, without asking anyone: this session's, then the
// store's when remembered; empty when unknown.
QString known(const MailAccount& account);

// Keeps the password for the session and, when the account says so, in
// the store (otherwise removes it from there). False when it was to be
// remembered and the store could not take it: it is then kept for the
// session only.
bool keep(const MailAccount& account, const QString& password);

// After a refused login: this session's copy goes, so the next sending
// asks again.
void forget(const MailAccount& account);

// Every session copy goes (tests).
void forgetAll();
} // namespace MailPassword
