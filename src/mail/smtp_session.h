#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// One connection to the office's mail server, kept open from one mail
// transaction to the next (libcurl, one easy handle for a whole sending).
// It only carries transactions out and says exactly what the server
// answered; what to do about an answer is the sending's business.
namespace Smtp {

enum class Security { Tls, StartTls, None };

struct Server {
    QString host;
    int port = 465;
    Security security = Security::Tls;
    QString user; // empty: no login
    QString password;
    // The one certificate the user trusted for this server (its SHA-256
    // fingerprint), accepted instead of the usual checks; empty: the
    // system's certificate authorities and the host name decide.
    QString trustedFingerprint;
    // Certificate authorities instead of the system's (tests).
    QString caFile;
};

struct Timeouts {
    int connectMs = 30000;
    // Longest wait for any answer of the server, or for it to take data.
    int stepMs = 60000;
};

struct Reply {
    int code = 0; // 0: no answer
    QString text; // the whole answer, lines joined by blanks, code included
    bool positive() const { return code >= 200 && code < 400; }
    bool temporary() const { return code >= 400 && code < 500; }
    bool permanent() const { return code >= 500; }
};

struct Certificate {
    QString owner; // the subject, e.g. "CN=mail.esempio.it,O=Esempio"
    QString issuer;
    QString fingerprint; // SHA-256, "AB:CD:..."
    bool isNull() const { return fingerprint.isEmpty(); }
};

// Where a conversation stopped.
enum class Step { Connect, Greeting, Hello, StartTls, Login, Mail, Recipient, Data, EndOfData, Command, Done };

// How a transaction or a probe ended.
enum class Failure {
    None,
    Unreachable, // no connection at all (name, port, network)
    NoAnswer, // the server stopped answering
    Tls, // the secure connection could not be set up
    Untrusted, // certificate not trusted: see certificate
    CertificateChanged, // not the certificate the user trusted
    NoStartTls, // STARTTLS required but not offered
    LoginRefused,
    Dropped, // the connection ended without an answer
    Answer, // the server refused a step: see reply
    Aborted, // the caller asked to stop
    Other,
};

struct Outcome {
    Failure failure = Failure::None;
    Step step = Step::Connect;
    Reply reply; // the answer that ended the conversation, if any
    QList<Reply> recipients; // one per recipient asked for, in order
    Reply endOfData; // the answer after the message data
    Certificate certificate; // of the last secure connection opened
    QString detail; // libcurl's own wording of a failure (not for the user)
    bool delivered() const { return failure == Failure::None && endOfData.code == 250; }
};

class Session {
public:
    Session(const Server& server, const Timeouts& timeouts);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Connects and logs in when not connected, then asks the server for
    // nothing (NOOP); the connection stays open for the transactions.
    Outcome open();
    // One mail transaction: MAIL FROM sender, RCPT TO each address, then
    // head and body as the data. Both must end lines in CR LF.
    Outcome send(const QString& sender, const QStringList& recipients, const QByteArray& head, const QByteArray& body);
    // The connection is closed after the next transaction.
    void closeAfterNext() { closeAfterNext_ = true; }
    // Connections opened so far.
    int connections() const { return connections_; }

    // Called often while waiting on the server; false stops the
    // conversation (Failure::Aborted) while it is still connecting or
    // logging in. A mail transaction once begun is let finish: a message
    // broken off after its data could still have been delivered.
    void setIdle(std::function<bool()> idle) { idle_ = std::move(idle); }

    struct Private;

private:
    Outcome perform(qsizetype recipientCount);

    std::unique_ptr<Private> d;
    std::function<bool()> idle_;
    bool closeAfterNext_ = false;
    int connections_ = 0;
};

// Text with every line ending in CR LF, as the data of a mail
// transaction needs; existing CR LF pairs stay.
QByteArray withCrLf(const QByteArray& text);

} // namespace Smtp
