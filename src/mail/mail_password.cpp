#include "mail/mail_password.h"

#include <QHash>

namespace {

ISecretStore* store = nullptr;
IPasswordPrompt* prompt = nullptr;

QHash<QString, QString>& session()
{
    static QHash<QString, QString> passwords;
    return passwords;
}

} // namespace

void MailPassword::installStore(ISecretStore* s) { store = s; }
void MailPassword::installPrompt(IPasswordPrompt* p) { prompt = p; }

QString MailPassword::key(const MailAccount& account)
{
    return QStringLiteral("smtp:%1@%2").arg(account.user.trimmed(), account.server.trimmed().toLower());
}

QString MailPassword::known(const MailAccount& account)
{
    const QString k = key(account);
    if (const auto it = session().constFind(k); it != session().constEnd())
        return *it;
    QString secret;
    if (account.rememberPassword && store && store->read(k, secret) == ISecretStore::Result::Ok) {
        session().insert(k, secret);
        return secret;
    }
    return {};
}

bool MailPassword::get(const MailAccount& account, QString& password)
{
    password.clear();
    if (account.user.trimmed().isEmpty())
        return true;
    password = known(account);
    if (!password.isEmpty())
        return true;
    if (!prompt || !prompt->ask(account, password) || password.isEmpty())
        return false;
    session().insert(key(account), password);
    return true;
}

bool MailPassword::keep(const MailAccount& account, const QString& password)
{
    const QString k = key(account);
    if (password.isEmpty())
        session().remove(k);
    else
        session().insert(k, password);
    if (!account.rememberPassword || password.isEmpty()) {
        if (store)
            store->remove(k);
        return true;
    }
    return store && store->write(k, password) == ISecretStore::Result::Ok;
}

void MailPassword::forget(const MailAccount& account) { session().remove(key(account)); }

void MailPassword::forgetAll() { session().clear(); }
