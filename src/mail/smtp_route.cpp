#include "mail/smtp_route.h"

#include "mail/mail_backend.h"
#include "mail/mime_message.h"
#include "mail/send_checks.h"

#include <QElapsedTimer>
#include <QHash>
#include <QThread>

#include <algorithm>
#include <optional>

namespace SmtpRoute {

using Smtp::Failure;
using Smtp::Outcome;
using Smtp::Reply;
using Smtp::Step;

Smtp::Server serverOf(const MailAccount& account, const QString& password)
{
    Smtp::Server s;
    s.host = account.server.trimmed();
    s.port = account.port;
    s.security = account.security;
    s.user = account.user.trimmed();
    s.password = password;
    if (s.security != Smtp::Security::None)
        s.trustedFingerprint = MailAccountStore::trustedFingerprint(s.host, s.port);
    return s;
}

Outcome probe(const Smtp::Server& server, const Timing& timing)
{
    Smtp::Session session(server, timing.timeouts);
    return session.open();
}

QString problemText(const Outcome& o, const Smtp::Server& server, const Timing& timing)
{
    const QString host = server.host;
    const QString answer = o.reply.text;
    switch (o.failure) {
    case Failure::None:
        return {};
    case Failure::Unreachable:
        return QStringLiteral("il server di posta %1 (porta %2) non è raggiungibile: controllare il nome del server, "
                              "la porta e la connessione a Internet")
            .arg(host)
            .arg(server.port);
    case Failure::NoAnswer: {
        const int ms = o.step == Step::Connect ? timing.timeouts.connectMs : timing.timeouts.stepMs;
        const int s = (ms + 999) / 1000;
        return QStringLiteral("il server di posta %1 non risponde (nessuna risposta entro %2)")
            .arg(host, s == 1 ? QStringLiteral("1 secondo") : QStringLiteral("%1 secondi").arg(s));
    }
    case Failure::Tls:
        return QStringLiteral("il collegamento sicuro con il server di posta %1 non è riuscito: controllare che la "
                              "sicurezza scelta corrisponda alla porta (di solito SSL/TLS sulla porta 465, STARTTLS "
                              "sulla 587)")
            .arg(host);
    case Failure::Untrusted:
        return QStringLiteral("il certificato del server di posta %1 non è riconosciuto come affidabile (intestato a "
                              "%2, impronta SHA-256 %3): controllarlo con «Prova» nella finestra «Account di posta»")
            .arg(host, o.certificate.owner, o.certificate.fingerprint);
    case Failure::CertificateChanged:
        return QStringLiteral("il certificato del server di posta %1 è cambiato da quando è stato accettato (impronta "
                              "accettata %2, impronta attuale %3): controllarlo con «Prova» nella finestra «Account di "
                              "posta»")
            .arg(host, server.trustedFingerprint, o.certificate.fingerprint);
    case Failure::NoStartTls:
        return QStringLiteral("il server di posta %1 non offre STARTTLS, e password e messaggi non vengono inviati in "
                              "chiaro: scegliere SSL/TLS (di solito porta 465) o controllare la porta")
            .arg(host);
    case Failure::LoginRefused:
        return QStringLiteral("il server di posta ha rifiutato l'accesso: controllare nome utente e password nella "
                              "finestra «Account di posta» (risposta del server: %1)")
            .arg(answer);
    case Failure::Answer:
        if (o.step == Step::Greeting || o.step == Step::Hello || o.step == Step::Command)
            return QStringLiteral("il server di posta %1 non accetta il collegamento (risposta del server: %2)")
                .arg(host, answer);
        return QStringLiteral("il server di posta ha rifiutato il messaggio (risposta del server: %1)").arg(answer);
    case Failure::Dropped:
        return QStringLiteral("il collegamento con il server di posta %1 si è interrotto").arg(host);
    case Failure::Aborted:
        return QStringLiteral("l'utente ha annullato la richiesta");
    case Failure::Other:
        break;
    }
    return QStringLiteral("errore nel collegamento con il server di posta %1 (%2)").arg(host, o.detail);
}

namespace {

quint32 codeOf(Failure f)
{
    switch (f) {
    case Failure::LoginRefused:
        return MAPI_E_LOGIN_FAILURE;
    case Failure::Aborted:
        return MAPI_USER_ABORT;
    case Failure::Answer:
        return MAPI_E_FAILURE;
    default:
        return MAPI_E_NETWORK_FAILURE;
    }
}

bool closing(const Reply& r) { return r.code == 421; }

// A recipient's message from its pieces.
QByteArray joined(const QList<QByteArrayView>& pieces)
{
    QByteArray out;
    qsizetype size = 0;
    for (const QByteArrayView piece : pieces)
        size += piece.size();
    out.reserve(size);
    for (const QByteArrayView piece : pieces)
        out.append(piece);
    return out;
}

// Carries a sending out transaction after transaction.
class Run {
public:
    Run(Smtp::Session& session, Delivery::Sending& sending, const Request& request, const Smtp::Server& server)
        : session_(session)
        , sending_(sending)
        , request_(request)
        , server_(server)
        , limit_(std::max(0, request.account.recipientsPerMessage))
    {
        // The envelope sender is the message's sender, already checked by
        // the build of the message.
        MimeMail::Mailbox from;
        MimeMail::parseMailbox(MimeMail::bareAddress(request.message.lpOriginator->lpszAddress), from);
        sender_ = from.address;
        connections_ = session.connections();
    }

    void plain(const QByteArray& message)
    {
        static const QByteArray none;
        for (;;) {
            // Recipients not tried yet go first; those a temporary refusal
            // put back wait for a transaction (and a pause) of their own.
            QList<qsizetype> batch;
            for (const bool retry : { false, true }) {
                for (qsizetype i = 0; i < sending_.size() && (limit_ == 0 || batch.size() < limit_); ++i)
                    if (sending_.recipients()[i].outcome == Delivery::Outcome::Waiting
                        && attempts_.contains(i) == retry)
                        batch << i;
                if (!batch.isEmpty())
                    break;
            }
            if (batch.isEmpty() || !transact(batch, none, message) || !sending_.advance())
                return;
        }
    }

    // shared is the part after each recipient's own headers; with
    // personalised fields body gives it per recipient instead.
    void privately(const QByteArray& shared, PrivateBody* body)
    {
        const int pauseMs = request_.account.pauseSeconds * 1000;
        const QString from = request_.message.lpOriginator->lpszAddress;
        for (qsizetype i = 0; i < sending_.size(); ++i) {
            if (i > 0 && pauseMs > 0 && !wait(pauseMs))
                return;
            const QByteArray head = Smtp::withCrLf(MimeMail::recipientHeaders({ QString(), sending_.address(i) }, from));
            const QByteArray own = body ? Smtp::withCrLf(joined(body->pieces(sending_.address(i)))) : QByteArray();
            while (sending_.recipients()[i].outcome == Delivery::Outcome::Waiting)
                if (!transact({ i }, head, body ? own : shared))
                    return;
            if (!sending_.advance())
                return;
        }
    }

private:
    // One transaction; false when the sending cannot go on.
    bool transact(const QList<qsizetype>& batch, const QByteArray& head, const QByteArray& body)
    {
        int tries = 0;
        for (qsizetype i : batch)
            tries = std::max(tries, attempts_.value(i));
        const int pauseMs = tries > 0 ? pause(tries) : pendingPauseMs_;
        pendingPauseMs_ = 0;
        if (pauseMs > 0 && !wait(pauseMs))
            return false; // the rest is not sent, as after any cancel

        const int perConnection = request_.account.messagesPerConnection;
        if (perConnection > 0 && onConnection_ + 1 >= perConnection)
            session_.closeAfterNext();
        QStringList addresses;
        for (qsizetype i : batch)
            addresses << sending_.address(i);
        if (!sending_.inFlight(batch))
            return false; // the journal could not note it: the user chose to stop
        const Outcome o = session_.send(sender_, addresses, head, body);
        if (session_.connections() != connections_) {
            connections_ = session_.connections();
            onConnection_ = 0;
        }
        ++onConnection_;
        if (perConnection > 0 && onConnection_ >= perConnection)
            onConnection_ = 0;
        return judge(batch, o);
    }

    bool judge(const QList<qsizetype>& batch, const Outcome& o)
    {
        switch (o.failure) {
        case Failure::Untrusted:
        case Failure::CertificateChanged:
        case Failure::NoStartTls:
        case Failure::LoginRefused:
        case Failure::Tls:
        case Failure::Other:
            return stop(batch, problemText(o, server_, request_.timing));
        case Failure::Aborted:
            sending_.putBack(batch);
            return false;
        default:
            break;
        }

        const bool delivered = o.delivered();
        bool lost = o.failure != Failure::None && o.failure != Failure::Answer;
        lost = lost || closing(o.reply) || closing(o.endOfData);
        int accepted = 0;
        bool limited = false;
        decided_ = false;
        QList<qsizetype> handed, back;
        for (qsizetype k = 0; k < batch.size(); ++k) {
            const qsizetype i = batch[k];
            const Reply& r = o.recipients.value(k);
            if (closing(r)) {
                lost = true;
                back << i;
            } else if (r.positive()) {
                ++accepted;
                if (delivered)
                    handed << i;
                else if (!lost)
                    settleAccepted(i, o, back);
                else
                    back << i;
            } else if (r.permanent()) {
                refuse(i, r.text);
            } else if (r.code == 452) {
                limited = true;
                back << i; // the server's limit: a further transaction takes it
            } else if (r.temporary()) {
                temporary(i, r);
            } else {
                back << i; // never asked: tried again
            }
        }
        sending_.handedOver(handed);
        sending_.putBack(back);
        if (delivered) {
            failuresInRow_ = 0;
            // The server said how many recipients one message may have.
            if (limited && accepted > 0)
                limit_ = accepted;
            return true;
        }
        if (lost)
            return reconnect(o);
        if (o.failure == Failure::Answer && o.step == Step::Mail && o.reply.permanent())
            return stop(back, problemText(o, server_, request_.timing));
        if (o.failure == Failure::Answer && o.reply.permanent()
            && (o.step == Step::Greeting || o.step == Step::Hello || o.step == Step::Command))
            return stop(back, problemText(o, server_, request_.timing));
        if (!decided_ && (o.reply.temporary() || (limited && accepted == 0))) {
            // Nothing taken at all (a 4xx to MAIL or to every recipient): a
            // temporary shortage at the server, tried again after a pause.
            for (qsizetype i : back)
                temporary(i, o.reply);
            return true;
        }
        return decided_ || reconnect(o);
    }

    // A recipient the server took in a transaction that did not end well:
    // the answer to the data decides.
    void settleAccepted(qsizetype i, const Outcome& o, QList<qsizetype>& back)
    {
        const Reply& end = o.step == Step::Data ? o.reply : o.endOfData;
        if (o.failure == Failure::Answer && (o.step == Step::Data || o.step == Step::EndOfData) && !closing(end)) {
            if (end.permanent()) {
                refuse(i, end.text);
                return;
            }
            if (end.temporary()) {
                temporary(i, end);
                return;
            }
        }
        back << i;
    }

    void refuse(qsizetype i, const QString& reason)
    {
        decided_ = true;
        sending_.refused({ i }, reason);
    }

    void temporary(qsizetype i, const Reply& r)
    {
        decided_ = true;
        const int n = ++attempts_[i];
        if (n > request_.timing.retries)
            sending_.refused({ i },
                QStringLiteral("%1 (rifiuto temporaneo, riprovato %2 volte)").arg(r.text).arg(request_.timing.retries));
        else
            sending_.putBack({ i });
    }

    bool reconnect(const Outcome& o)
    {
        ++failuresInRow_;
        if (failuresInRow_ > request_.timing.reconnects)
            return stop({}, problemText(o, server_, request_.timing));
        // The first loss after progress is a server closing a long
        // connection: reopened at once. Further ones wait longer and longer.
        pendingPauseMs_ = failuresInRow_ > 1 ? pause(failuresInRow_ - 1) : 0;
        return true;
    }

    bool stop(const QList<qsizetype>& batch, const QString& reason)
    {
        sending_.putBack(batch);
        sending_.stop(reason);
        return false;
    }

    int pause(int tries) const { return request_.timing.retryPauseMs << std::min(tries - 1, 10); }

    // False when the user asked to stop meanwhile.
    bool wait(int ms)
    {
        QElapsedTimer t;
        t.start();
        for (qint64 left = ms; left > 0; left = ms - t.elapsed()) {
            if (!sending_.idle())
                return false;
            QThread::msleep(quint64(std::min<qint64>(left, 20)));
        }
        return true;
    }

    Smtp::Session& session_;
    Delivery::Sending& sending_;
    const Request& request_;
    const Smtp::Server& server_;
    int limit_;
    QString sender_;
    QHash<qsizetype, int> attempts_;
    int failuresInRow_ = 0;
    int pendingPauseMs_ = 0;
    int connections_ = 0;
    int onConnection_ = 0;
    bool decided_ = false; // the last transaction settled or counted someone
};

} // namespace

quint32 send(const Request& request, PrivateSend::Report& report, QString& problem)
{
    report = {};
    problem.clear();
    const MapiMessage& m = request.message;
    QStringList addresses;
    int repeated = 0;
    QByteArray message;
    const MimeMail::ExtraHeaders headers = request.prepared ? request.prepared->headers() : MimeMail::ExtraHeaders();
    // Personalised: each recipient's own subject and text around a shared
    // template.
    std::optional<PrivateBody> body;
    // The message is checked and built (attachment encoded once) before
    // anyone is asked for a password or any server is reached.
    // In the order the other routes check, so a message gets the same
    // result code on every route.
    if (request.privately) {
        if (const quint32 r = Delivery::settle(m, true, addresses, &repeated))
            return r;
        if (request.prepared && request.prepared->personalisation()) {
            body.emplace();
            if (const quint32 r = body->build(*request.prepared))
                return r;
        } else if (const quint32 r = MimeMail::buildShared(m, message, headers)) {
            return r;
        }
    } else {
        if (const quint32 r = MimeMail::build(m, message, headers, false))
            return r;
        if (const quint32 r = Delivery::settle(m, false, addresses))
            return r;
    }
    message = Smtp::withCrLf(message);

    // The window is up while the connection is made and the login checked,
    // which can take a while; its Annulla stops them.
    Delivery::Sending sending(Delivery::Route::Smtp, request.privately, m, addresses);
    sending.setRepeated(repeated);
    if (request.prepared)
        sending.exclude(request.prepared->excluded());
    if (!sending.begin(request.withProgress))
        return MAPI_USER_ABORT;
    const Smtp::Server server = serverOf(request.account, request.password);
    Smtp::Session session(server, request.timing.timeouts);
    session.setIdle([&sending] { return sending.idle(); });
    const Outcome opened = session.open();
    if (opened.failure != Failure::None) {
        problem = problemText(opened, server, request.timing);
        sending.stop(problem);
        sending.finish(false);
        return codeOf(opened.failure);
    }

    Run run(session, sending, request, server);
    if (request.privately)
        run.privately(message, body ? &*body : nullptr);
    else
        run.plain(message);
    // Stopped before anyone was served: an error, like a failed login.
    if (sending.decided() == 0 && !sending.stopReason().isEmpty()) {
        problem = sending.stopReason();
        sending.finish(false);
        return MAPI_E_FAILURE;
    }
    sending.finish();
    report = sending.report();
    return SUCCESS_SUCCESS;
}

} // namespace SmtpRoute
