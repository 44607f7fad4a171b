#pragma once

#include "mail/mapi_mail.h"
#include "mail/mime_message.h"
#include "mail/personalisation.h"
#include "mail/private_send.h"
#include "mail/smtp_route.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// Finds the programs that do the sending. Looked up at every submission, so
// a mail program installed while Velmaro runs is used at the next send.
namespace MapiLibraryLoader {
// VELMARO_SENDMAIL when set (a path, or a name looked up on PATH); otherwise
// "sendmail" on PATH, in /usr/sbin or in /usr/lib. Empty when there is none.
QString sendmailProgram();
// VELMARO_XDG_EMAIL when set; otherwise "xdg-email" on PATH.
QString mailClientProgram();
} // namespace MapiLibraryLoader

// How the programs' exit statuses read as result codes.
namespace MailExitCodes {
quint32 fromSendmail(int exitStatus);
quint32 fromMailClient(int exitStatus);
} // namespace MailExitCodes

namespace SendChecks {
class Prepared;
}

// The part of each recipient's message after its own headers in a private
// sending: the shared bytes, or with personalised fields the shared template
// around the recipient's own subject line and text part. Built once per
// sending; the body and attachment are encoded once.
class PrivateBody {
public:
    quint32 build(const SendChecks::Prepared& prepared);
    // Valid until the next call.
    QList<QByteArrayView> pieces(const QString& address);

private:
    const Personalisation* personal_ = nullptr;
    QByteArray shared_;
    MimeMail::SharedTemplate template_;
    std::optional<MimeMail::TextTemplate> text_;
    QByteArray subject_;
    QByteArray part_;
};

// The system back end. Without preview the message goes through the
// office's mail account when one is set up for direct sending, otherwise it
// is piped to "sendmail -t -i"; with preview, or when neither is there, the
// user's mail client opens a compose window with the same content. With
// MAIL_PRIVATE each recipient gets a message of its own.
class SystemMailSubmission final : public IMailSubmission {
public:
    quint32 send(const MapiMessage& message, quint32 flags) override;
    QString problem() const override { return problem_; }

    // The client launcher may stay until the mail client is closed; once
    // this long has passed it is left running and the message counts as
    // handed over.
    void setClientWait(int msecs) { clientWaitMs_ = msecs; }

    // Private sending: how long one sendmail run may take before it counts
    // as stuck and is stopped.
    void setSendmailTimeout(int msecs) { sendmailTimeoutMs_ = msecs; }
    // The mail account's timeouts and pauses.
    void setSmtpTiming(const SmtpRoute::Timing& timing) { smtpTiming_ = timing; }
    // What the last sending with a summary (private, or through the
    // account) did.
    const PrivateSend::Report& privateReport() const { return privateReport_; }
    // What sendmail wrote on its error output in the last send.
    QString failureDetails() const override;

private:
    quint32 sendThroughAccount(const MailAccount& account, const SendChecks::Prepared& prepared);

    int clientWaitMs_ = 10000;
    int sendmailTimeoutMs_ = 60000;
    SmtpRoute::Timing smtpTiming_;
    PrivateSend::Report privateReport_;
    QString problem_;
};

namespace SystemMail {
// Pipes an already built message to a sendmail program; the result code.
quint32 pipeToSendmail(const QString& program, const QByteArray& message);
// The same for head + message, stopped after timeoutMs (-1: no limit);
// timedOut tells a stuck program from a failing one.
quint32 pipeToSendmail(
    const QString& program, const QByteArray& head, const QByteArray& message, int timeoutMs, bool& timedOut);
// What the last sendmail run wrote on its error output (the reason of a
// failure: "envelope-from address is missing", ...), at most a few KiB.
QString lastSendmailErrors();
// The same with the message in pieces, written one after the other.
quint32 pipeToSendmail(const QString& program, const QByteArray& head, const QList<QByteArrayView>& message,
    int timeoutMs, bool& timedOut);
} // namespace SystemMail
