#pragma once

#include "mail/mapi_mail.h"
#include "mail/placeholders.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// The Internet message (RFC 5322 with MIME) made from the Simple MAPI records,
// as handed to a sendmail program.
namespace MimeMail {

struct Mailbox {
    QString name; // may be empty
    QString address;
};

// Header fields the records have no place for (List-Unsubscribe), as name
// and ASCII value.
using ExtraHeaders = QList<QPair<QByteArray, QByteArray>>;

// Fills out with the whole message and answers 0, or answers a result code
// and leaves out empty: 11/12 for the attachment, 15 for a recipient class
// other than To, Cc or Bcc, 17 for a bad sender, 25 for a bad recipient
// entry or none at all. Without withBcc the blind copies get no header
// line (a mail server, unlike sendmail -t, takes the message as it is).
quint32 build(const MapiMessage& message, QByteArray& out, const ExtraHeaders& extra = {}, bool withBcc = true);

// Private sending: the part of the message every recipient gets alike
// (sender, subject, date, body, attachment encoded once), without recipient
// headers and Message-ID; result codes as build(), the recipients unchecked.
quint32 buildShared(const MapiMessage& message, QByteArray& out, const ExtraHeaders& extra = {});

// The shared part of a personalised private sending: built and encoded once,
// with the subject line and the text part left open, so that each
// recipient's message rebuilds only those.
class SharedTemplate {
public:
    // Result codes as buildShared(). With personalSubject or personalBody
    // false, that part is the message's own for every recipient.
    quint32 build(const MapiMessage& message, bool personalSubject, bool personalBody, const ExtraHeaders& extra = {});

    // One recipient's message after its head, as pieces to write in order:
    // the shared bytes around that recipient's subject line and text part
    // (see subjectLine() and TextTemplate), which must outlive the pieces.
    QList<QByteArrayView> pieces(const QByteArray& subjectLine, const QByteArray& textPart) const;

private:
    QByteArray shared_;
    bool subject_ = false;
    bool body_ = false;
    // Where the open parts lie in shared_: [subjectAt, subjectEnd) and
    // [bodyAt, bodyEnd).
    qsizetype subjectAt_ = 0, subjectEnd_ = 0, bodyAt_ = 0, bodyEnd_ = 0;
};

// The subject header line as the message holds it (RFC 2047, folded).
QByteArray subjectLine(const QString& subject);

// The text part of a personalised body, headers included, built per
// recipient from a body with placeholders. Lines without placeholders are
// encoded once; each recipient costs only the lines that hold one.
class TextTemplate {
public:
    explicit TextTemplate(const QString& body);
    // expand gives a line's text for this recipient from its pieces.
    QByteArray part(const std::function<QString(const QList<Placeholders::Piece>&)>& expand) const;

private:
    struct Line {
        QList<Placeholders::Piece> pieces; // empty: a line without placeholders
        QByteArray utf8;
        QByteArray quoted; // quoted-printable
        bool sevenBit = true;
    };
    QList<Line> lines_;
};

// What makes the shared part one recipient's message: "To:" with that
// address only and a fresh Message-ID, named after the sender's domain.
QByteArray recipientHeaders(const Mailbox& to, const QString& senderAddress);

// 0 when the attachment is a regular file that can be opened for reading,
// 11 when it does not exist, 12 when it cannot be read.
quint32 checkAttachment(const QString& path);

// A text fit for one header line: each line break (CR LF, CR or LF) and every
// other control character becomes one blank.
QString headerText(const QString& text);

// The entries of a comma-separated address list, trimmed; empty entries (a
// trailing comma) are skipped.
QStringList splitAddresses(const QString& list);

// Reads one entry, "user@host" or "Name <user@host>". False for anything
// else: control characters, blanks or specials in the address, no single
// '@' with text on both sides.
bool parseMailbox(const QString& entry, Mailbox& out);

// How addresses compare (opt-out list, contact cards): the address of the
// entry ("Name <a@b.it>" gives "a@b.it"), trimmed and in lower case; an entry
// that is no address compares as its own trimmed, lower-case text.
QString addressKey(const QString& entry);

// The sender's address without its "SMTP:" type prefix.
QString bareAddress(const QString& originatorAddress);

} // namespace MimeMail
