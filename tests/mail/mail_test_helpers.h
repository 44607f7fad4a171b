#pragma once

#include "mail/mail_password.h"
#include "mail/mapi_mail.h"
#include "mail/private_send.h"

#include <QList>
#include <QString>

#include <functional>

// The text of the submission failure body ends in; empty when none.
inline QString failureOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const tMailFileException& e) {
        return e.message();
    }
    return QString();
}

// Watches a private sending as the progress window would, and cancels
// after a given number of messages when asked to.
struct RecordingProgress final : PrivateSend::IProgress {
    RecordingProgress() { PrivateSend::installProgress(this); }
    ~RecordingProgress() override { PrivateSend::installProgress(nullptr); }
    void start(int total) override { started = total; }
    bool advance(int done, int) override
    {
        steps << done;
        return cancelAfter < 0 || done < cancelAfter;
    }
    void finish(const PrivateSend::Report& r) override
    {
        report = r;
        ++finished;
    }
    void abandon() override { ++abandoned; }
    bool idle() override { return !stopWhileWaiting; }
    bool stopWhileWaiting = false; // Annulla pressed while a server is waited for
    int started = -1;
    int abandoned = 0;
    int cancelAfter = -1;
    int finished = 0;
    QList<int> steps;
    PrivateSend::Report report;
};

// The user, asked for the mail account's password: answers with answer
// (declines when it is empty) and counts the questions.
struct ScriptedPasswordPrompt final : IPasswordPrompt {
    explicit ScriptedPasswordPrompt(QString a)
        : answer(std::move(a))
    {
        MailPassword::installPrompt(this);
    }
    ~ScriptedPasswordPrompt() override { MailPassword::installPrompt(nullptr); }
    bool ask(const MailAccount&, QString& password) override
    {
        ++asked;
        password = answer;
        return !answer.isEmpty();
    }
    QString answer;
    int asked = 0;
};
