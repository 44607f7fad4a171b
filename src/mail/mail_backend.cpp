#include "mail/mail_backend.h"

#include "mail/delivery.h"
#include "mail/mail_password.h"
#include "mail/mailto_uri.h"
#include "mail/mime_message.h"
#include "mail/private_send.h"
#include "mail/send_checks.h"
#include "ui/launcher.h"

#include <QFileInfo>
#include <QProcess>

#include <functional>
#include <numeric>
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>

namespace {

struct ExitMapping {
    int status;
    quint32 result;
};

// sendmail's exit statuses (sysexits.h) as result codes. Anything not listed,
// a crash included, is a generic failure.
constexpr ExitMapping kSendmailExits[] = {
    { 0, SUCCESS_SUCCESS }, { 64, MAPI_E_FAILURE }, // EX_USAGE: our command line was refused
    { 65, MAPI_E_INVALID_MESSAGE }, // EX_DATAERR: the message was malformed
    { 66, MAPI_E_FAILURE }, // EX_NOINPUT
    { 67, MAPI_E_UNKNOWN_RECIPIENT }, // EX_NOUSER: addressee unknown
    { 68, MAPI_E_INVALID_RECIPS }, // EX_NOHOST: recipient's host unknown
    { 69, MAPI_E_FAILURE }, // EX_UNAVAILABLE: the catch-all
    { 70, MAPI_E_FAILURE }, // EX_SOFTWARE
    { 71, MAPI_E_INSUFFICIENT_MEMORY }, // EX_OSERR: cannot fork, out of resources
    { 72, MAPI_E_FAILURE }, // EX_OSFILE
    { 73, MAPI_E_DISK_FULL }, // EX_CANTCREAT: no room for the queue file
    { 74, MAPI_E_FAILURE }, // EX_IOERR
    { 75, MAPI_E_NETWORK_FAILURE }, // EX_TEMPFAIL: relay unreachable, try later
    { 76, MAPI_E_NETWORK_FAILURE }, // EX_PROTOCOL: the relay answered nonsense
    { 77, MAPI_E_ACCESS_DENIED }, // EX_NOPERM: refused, authentication too
    { 78, MAPI_E_LOGIN_FAILURE }, // EX_CONFIG: no usable account set up
};

// xdg-email's exit statuses.
constexpr ExitMapping kMailClientExits[] = {
    { 0, SUCCESS_SUCCESS }, { 1, MAPI_E_FAILURE }, // syntax error
    { 2, MAPI_E_ATTACHMENT_NOT_FOUND }, // file does not exist
    { 3, MAIL_E_NO_MAIL_PROGRAM }, // no mail client found
    { 4, MAPI_E_FAILURE }, // the client failed
    { 5, MAPI_E_ATTACHMENT_OPEN_FAILURE }, // no permission to read the file
};

template <std::size_t N> quint32 lookUp(const ExitMapping (&table)[N], int status)
{
    for (const ExitMapping& m : table)
        if (m.status == status)
            return m.result;
    return MAPI_E_FAILURE;
}

// Linux refuses a single program argument longer than this (MAX_ARG_STRLEN),
// and xdg-email hands the whole mailto: text to the client as one.
constexpr qsizetype kMaxArgument = 131072 - 1;

QString overridden(const char* variable, bool& set)
{
    const QString value = qEnvironmentVariable(variable);
    set = !value.isEmpty();
    if (!set)
        return {};
    if (!value.contains(QLatin1Char('/')))
        return QStandardPaths::findExecutable(value);
    const QFileInfo info(value);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
}

// The one argument xdg-email gets: the whole compose window as a "mailto:"
// URI. Values handed over as its options would pass through the shell's
// echo, which reads backslash sequences (all text after "\c" lost) and
// doubles the CR of every CR LF. Result code on failure. An entry beginning
// with "-" cannot be read as an option, being inside the URI.
quint32 composeUri(const MapiMessage& m, QString& uri)
{
    QStringList to;
    for (quint32 i = 0; i < m.nRecipCount; ++i) {
        const MapiRecipDesc& recip = m.lpRecips[i];
        if (recip.ulRecipClass != MAPI_TO)
            return MAPI_E_BAD_RECIPTYPE;
        for (const QString& entry : MimeMail::splitAddresses(recip.lpszAddress)) {
            MimeMail::Mailbox box;
            if (!MimeMail::parseMailbox(entry, box))
                return MAPI_E_INVALID_RECIPS;
            to << box.address;
        }
    }
    if (to.isEmpty())
        return MAPI_E_INVALID_RECIPS;

    QStringList attachments;
    for (quint32 i = 0; i < m.nFileCount; ++i) {
        if (const quint32 r = MimeMail::checkAttachment(m.lpFiles[i].lpszPathName))
            return r;
        attachments << QFileInfo(m.lpFiles[i].lpszPathName).absoluteFilePath();
    }
    const QString subject = MimeMail::headerText(m.lpszSubject);
    uri = MailtoUri::build(to, subject, m.lpszNoteText, attachments);
    if (uri.size() > kMaxArgument) {
        // Whichever part takes the most room is the one reported.
        const qsizetype addressPart = MailtoUri::build(to, {}, {}).size();
        const bool addresses = addressPart > uri.size() - addressPart;
        uri.clear();
        return addresses ? MAPI_E_TOO_MANY_RECIPIENTS : MAPI_E_TEXT_TOO_LARGE;
    }
    return SUCCESS_SUCCESS;
}

// A message handed over once for all its recipients: they share the one
// outcome.
quint32 handOverWhole(Delivery::Route route, const MapiMessage& m, const QStringList& excluded,
    const std::function<quint32()>& handOver)
{
    QStringList addresses;
    Delivery::settle(m, false, addresses);
    Delivery::Sending sending(route, false, m, addresses);
    sending.exclude(excluded);
    if (!sending.begin(false))
        return MAPI_USER_ABORT;
    QList<qsizetype> all(addresses.size());
    std::iota(all.begin(), all.end(), 0);
    if (!sending.inFlight(all))
        return MAPI_USER_ABORT;
    const quint32 r = handOver();
    if (r == SUCCESS_SUCCESS)
        sending.handedOver(all);
    else
        sending.refused(all, r == MAIL_E_NO_MAIL_PROGRAM ? QStringLiteral("nessun programma di posta elettronica disponibile")
                                                         : MapiErrorText(r));
    return r;
}

quint32 launchClient(const QString& program, const QString& uri, int waitMs);

quint32 compose(const QString& program, const MapiMessage& m, const QStringList& excluded, int waitMs)
{
    QString uri;
    if (const quint32 r = composeUri(m, uri))
        return r;
    return handOverWhole(
        Delivery::Route::MailClient, m, excluded, [&] { return launchClient(program, uri, waitMs); });
}

quint32 launchClient(const QString& program, const QString& uri, int waitMs)
{
    // Some launchers stay until the mail client is closed: the compose
    // window is up.
    const Launcher::Result r = Launcher::run(program, uri, waitMs);
    switch (r.kind) {
    case Launcher::Result::Kind::StillRunning:
        return SUCCESS_SUCCESS;
    case Launcher::Result::Kind::Exited:
        return lookUp(kMailClientExits, r.exitCode);
    case Launcher::Result::Kind::NotStarted:
    case Launcher::Result::Kind::Crashed:
        break;
    }
    return MAPI_E_FAILURE;
}

} // namespace

quint32 MailExitCodes::fromSendmail(int exitStatus) { return lookUp(kSendmailExits, exitStatus); }
quint32 MailExitCodes::fromMailClient(int exitStatus) { return lookUp(kMailClientExits, exitStatus); }

QString MapiLibraryLoader::sendmailProgram()
{
    bool set = false;
    const QString chosen = overridden("VELMARO_SENDMAIL", set);
    if (set)
        return chosen;
    // /usr/sbin is not on an ordinary user's PATH on Debian.
    QString found = QStandardPaths::findExecutable(QStringLiteral("sendmail"));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(
            QStringLiteral("sendmail"), { QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib") });
    return found;
}

QString MapiLibraryLoader::mailClientProgram()
{
    bool set = false;
    const QString chosen = overridden("VELMARO_XDG_EMAIL", set);
    if (set)
        return chosen;
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

quint32 SystemMail::pipeToSendmail(const QString& program, const QByteArray& message)
{
    bool timedOut = false;
    return pipeToSendmail(program, {}, message, -1, timedOut);
}

namespace {
// The reason a failing sendmail gives goes to its error output, which nobody
// sees when the program was started from the menu: kept for the error box.
QString sendmailErrors;

void keepErrors(QProcess& process)
{
    const QByteArray err = process.readAllStandardError();
    // Still on the program's own error output, as before, for a terminal.
    std::fwrite(err.constData(), 1, size_t(err.size()), stderr);
    constexpr qsizetype kKept = 4096;
    sendmailErrors = QString::fromLocal8Bit(err.right(kKept)).trimmed();
}
} // namespace

QString SystemMail::lastSendmailErrors() { return sendmailErrors; }

QString SystemMailSubmission::failureDetails() const { return SystemMail::lastSendmailErrors(); }

quint32 SystemMail::pipeToSendmail(
    const QString& program, const QByteArray& head, const QByteArray& message, int timeoutMs, bool& timedOut)
{
    return pipeToSendmail(program, head, QList<QByteArrayView> { QByteArrayView(message) }, timeoutMs, timedOut);
}

quint32 SystemMail::pipeToSendmail(
    const QString& program, const QByteArray& head, const QList<QByteArrayView>& message, int timeoutMs, bool& timedOut)
{
    timedOut = false;
    sendmailErrors.clear();
    QProcess process;
    process.setProgram(program);
    // -t: recipients from the headers; -i: a line of one dot is no end.
    process.setArguments({ QStringLiteral("-t"), QStringLiteral("-i") });
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1))
        return MAPI_E_FAILURE;
    process.write(head);
    for (const QByteArrayView piece : message)
        process.write(piece.data(), piece.size());
    process.closeWriteChannel();
    // A sendmail program that stops reading early and exits still ends here
    // with its status; the unwritten rest is dropped.
    if (!process.waitForFinished(timeoutMs) && process.state() != QProcess::NotRunning) {
        // Stuck: whatever it took so far is not a message handed over.
        timedOut = true;
        process.kill();
        process.waitForFinished(-1);
        keepErrors(process);
        return MAPI_E_FAILURE;
    }
    keepErrors(process);
    if (process.exitStatus() != QProcess::NormalExit)
        return MAPI_E_FAILURE;
    return MailExitCodes::fromSendmail(process.exitCode());
}

namespace {

QString stuckReason(int timeoutMs)
{
    const int seconds = (timeoutMs + 999) / 1000;
    return seconds == 1 ? QStringLiteral("nessuna risposta dal programma di posta entro 1 secondo")
                        : QStringLiteral("nessuna risposta dal programma di posta entro %1 secondi").arg(seconds);
}

// One message per address of the list, only the headers (and the
// personalised parts) differing. Every address is handed over at most once;
// a refusal is noted and the others still go.
quint32 sendPrivately(
    const QString& sendmail, const SendChecks::Prepared& prepared, int timeoutMs, PrivateSend::Report& report)
{
    const MapiMessage& m = prepared.message();
    report = {};
    QStringList addresses;
    int repeated = 0;
    if (const quint32 r = Delivery::settle(m, true, addresses, &repeated))
        return r;
    PrivateBody body;
    if (const quint32 r = body.build(prepared))
        return r;

    const QString sender = m.lpOriginator ? m.lpOriginator->lpszAddress : QString();
    Delivery::Sending sending(Delivery::Route::Sendmail, true, m, addresses);
    sending.setRepeated(repeated);
    sending.exclude(prepared.excluded());
    if (!sending.begin(true))
        return MAPI_USER_ABORT;
    for (qsizetype i = 0; i < sending.size(); ++i) {
        bool timedOut = false;
        const QByteArray head = MimeMail::recipientHeaders({ QString(), addresses[i] }, sender);
        if (!sending.inFlight({ i }))
            break;
        const quint32 r = SystemMail::pipeToSendmail(sendmail, head, body.pieces(addresses[i]), timeoutMs, timedOut);
        if (r == SUCCESS_SUCCESS)
            sending.handedOver({ i });
        else
            sending.refused({ i }, timedOut ? stuckReason(timeoutMs) : MapiErrorText(r));
        // Asked between two messages only: once a message is handed over
        // it is not taken back.
        if (!sending.advance())
            break;
    }
    sending.finish();
    report = sending.report();
    return SUCCESS_SUCCESS;
}

// The whole list in one message, piped once.
quint32 sendWhole(const QString& sendmail, const SendChecks::Prepared& prepared)
{
    QByteArray bytes;
    if (const quint32 r = MimeMail::build(prepared.message(), bytes, prepared.headers()))
        return r;
    return handOverWhole(Delivery::Route::Sendmail, prepared.message(), prepared.excluded(),
        [&] { return SystemMail::pipeToSendmail(sendmail, bytes); });
}

} // namespace

quint32 PrivateBody::build(const SendChecks::Prepared& p)
{
    personal_ = p.personalisation();
    text_.reset();
    if (!personal_)
        return MimeMail::buildShared(p.message(), shared_, p.headers());
    if (personal_->bodyPersonal())
        text_.emplace(personal_->body());
    return template_.build(p.message(), personal_->subjectPersonal(), personal_->bodyPersonal(), p.headers());
}

QList<QByteArrayView> PrivateBody::pieces(const QString& address)
{
    if (!personal_)
        return { QByteArrayView(shared_) };
    const QStringList* card = personal_->cardOf(address);
    if (personal_->subjectPersonal())
        subject_ = MimeMail::subjectLine(personal_->subjectFor(address));
    if (text_)
        part_ = text_->part([&](const QList<Placeholders::Piece>& line) { return personal_->expand(line, card); });
    return template_.pieces(subject_, part_);
}

quint32 SystemMailSubmission::send(const MapiMessage& original, quint32 requested)
{
    problem_.clear();
    sendmailErrors.clear(); // never an earlier send's words
    // Excluded addresses, placeholders, closing line and header: settled
    // here once, whatever the route.
    SendChecks::Prepared prepared;
    if (const quint32 r = SendChecks::prepare(original, requested, prepared))
        return r;
    const MapiMessage& message = prepared.message();
    const bool privately = prepared.flags() & MAIL_PRIVATE;
    const bool preview = prepared.flags() & MAPI_DIALOG;
    // One compose window per recipient makes no sense: the form offers
    // the direct route before it gets here.
    if (privately && preview)
        return MAPI_E_NOT_SUPPORTED;
    if (!preview) {
        const MailAccount account = MailAccountStore::load();
        if (account.inUse())
            return sendThroughAccount(account, prepared);
    }
    if (privately) {
        const QString sendmail = MapiLibraryLoader::sendmailProgram();
        if (sendmail.isEmpty())
            return MAIL_E_NO_MAIL_PROGRAM;
        return sendPrivately(sendmail, prepared, sendmailTimeoutMs_, privateReport_);
    }
    if (!preview) {
        const QString sendmail = MapiLibraryLoader::sendmailProgram();
        if (!sendmail.isEmpty())
            return sendWhole(sendmail, prepared);
    }
    // Preview, or nothing to send through without a window.
    const QString client = MapiLibraryLoader::mailClientProgram();
    if (client.isEmpty())
        return MAIL_E_NO_MAIL_PROGRAM;
    return compose(client, message, prepared.excluded(), clientWaitMs_);
}

quint32 SystemMailSubmission::sendThroughAccount(const MailAccount& account, const SendChecks::Prepared& prepared)
{
    QString password;
    if (!MailPassword::get(account, password))
        return MAPI_USER_ABORT;
    const bool privately = prepared.flags() & MAIL_PRIVATE;
    const SmtpRoute::Request request { account, password, prepared.message(), privately, true, smtpTiming_, &prepared };
    const quint32 r = SmtpRoute::send(request, privateReport_, problem_);
    // A password typed wrong is asked again next time.
    if (r == MAPI_E_LOGIN_FAILURE)
        MailPassword::forget(account);
    return r;
}
