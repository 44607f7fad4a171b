#include "mail/keychain_store.h"

#include <QEventLoop>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <memory>

namespace {

const QString kService = QStringLiteral("Velmaro");
// A desktop without a store can leave a request unanswered until D-Bus
// gives up; waiting longer than this helps nobody.
constexpr int kWaitMs = 15000;

// Runs a job to its end. The user's input waits meanwhile: the desktop may
// show its own window to unlock the store. A job left unanswered is let go
// (it deletes itself if it ever ends).
template <typename Job> QKeychain::Error run(std::unique_ptr<Job>& job)
{
    job->setAutoDelete(false);
    job->setInsecureFallback(false); // never a plain settings file instead
    bool done = false;
    QEventLoop loop;
    QObject::connect(job.get(), &QKeychain::Job::finished, &loop, [&] {
        done = true;
        loop.quit();
    });
    QTimer::singleShot(kWaitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (done)
        return job->error();
    QObject::disconnect(job.get(), nullptr, &loop, nullptr);
    job.release()->setAutoDelete(true);
    return QKeychain::NoBackendAvailable;
}

} // namespace

ISecretStore::Result KeychainStore::read(const QString& key, QString& secret)
{
    if (missing_)
        return Result::Unavailable;
    auto job = std::make_unique<QKeychain::ReadPasswordJob>(kService);
    job->setKey(key);
    switch (run(job)) {
    case QKeychain::NoError:
        secret = job->textData();
        return Result::Ok;
    case QKeychain::EntryNotFound:
        return Result::NotFound;
    case QKeychain::AccessDeniedByUser:
        return Result::Unavailable;
    default:
        missing_ = true;
        return Result::Unavailable;
    }
}

ISecretStore::Result KeychainStore::write(const QString& key, const QString& secret)
{
    if (missing_)
        return Result::Unavailable;
    auto job = std::make_unique<QKeychain::WritePasswordJob>(kService);
    job->setKey(key);
    job->setTextData(secret);
    const QKeychain::Error e = run(job);
    if (e == QKeychain::NoError)
        return Result::Ok;
    missing_ = e != QKeychain::AccessDeniedByUser;
    return Result::Unavailable;
}

ISecretStore::Result KeychainStore::remove(const QString& key)
{
    if (missing_)
        return Result::Unavailable;
    auto job = std::make_unique<QKeychain::DeletePasswordJob>(kService);
    job->setKey(key);
    switch (run(job)) {
    case QKeychain::NoError:
        return Result::Ok;
    case QKeychain::EntryNotFound:
        return Result::NotFound;
    default:
        return Result::Unavailable;
    }
}

void KeychainStore::install()
{
    static KeychainStore store;
    MailPassword::installStore(&store);
}
