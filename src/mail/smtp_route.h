#pragma once

#include "mail/delivery.h"
#include "mail/mail_account.h"
#include "mail/mapi_mail.h"
#include "mail/smtp_session.h"

#include <QString>

namespace SendChecks {
class Prepared;
}

// Direct sending through the office's mail account: the whole sending over
// one connection (reopened when the server closes it), each recipient's
// answer kept, temporary refusals tried again with a growing pause.
namespace SmtpRoute {

struct Timing {
    Smtp::Timeouts timeouts;
    int retryPauseMs = 2000; // the first pause; it doubles each time
    int retries = 3; // further tries after a temporary refusal
    int reconnects = 3; // connections reopened in a row without progress
};

// The server as the account and the trusted certificates describe it.
Smtp::Server serverOf(const MailAccount& account, const QString& password);

// Connects and logs in, sends nothing.
Smtp::Outcome probe(const Smtp::Server& server, const Timing& timing);

// What the user reads about an outcome that failed, as the end of
// "Problema riscontrato: ..." (lower-case start, no final stop).
QString problemText(const Smtp::Outcome& outcome, const Smtp::Server& server, const Timing& timing);

struct Request {
    const MailAccount& account;
    QString password;
    const MapiMessage& message;
    bool privately = false;
    bool withProgress = true; // the progress window and the summary
    Timing timing;
    // The checks' outcome (excluded addresses, extra headers, personalised
    // texts) when the sending went through them; message is its message.
    const SendChecks::Prepared* prepared = nullptr;
};

// 0 once the sending went ahead (what became of each recipient is in
// report); otherwise a result code, with the user's text in problem, when
// nothing could be handed over (a bad message, no connection, no login).
quint32 send(const Request& request, PrivateSend::Report& report, QString& problem);

} // namespace SmtpRoute
