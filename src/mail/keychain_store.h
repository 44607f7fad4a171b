#pragma once

#include "mail/mail_password.h"

// The desktop's own secret store (Secret Service or KWallet) through
// QtKeychain. A store that does not answer once is taken as missing for
// the rest of the run, so nobody waits on it twice.
class KeychainStore final : public ISecretStore {
public:
    Result read(const QString& key, QString& secret) override;
    Result write(const QString& key, const QString& secret) override;
    Result remove(const QString& key) override;

    // Installs one store for the whole run.
    static void install();

private:
    bool missing_ = false;
};
