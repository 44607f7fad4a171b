#pragma once

#include "mail/mapi_mail.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The Internet message (RFC 5322 with MIME) made from the Simple MAPI records,
// as handed to a sendmail program.
namespace MimeMail {

struct Mailbox {
    QString name; // may be empty
    QString address;
};

// Fills out with the whole message and answers 0, or answers a result code
// and leaves out empty: 11/12 for the attachment, 15 for a recipient class
// other than To, Cc or Bcc, 17 for a bad sender, 25 for a bad recipient
// entry or none at all. Without withBcc the blind copies get no header
// line (a mail server, unlike sendmail -t, takes the message as it is).
quint32 build(const MapiMessage& message, QByteArray& out, bool withBcc = true);

// Private sending: the part of the message every recipient gets alike
// (sender, subject, date, body, attachment encoded once), without recipient
// headers and Message-ID; result codes as build(), the recipients unchecked.
quint32 buildShared(const MapiMessage& message, QByteArray& out);

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

// The sender's address without its "SMTP:" type prefix.
QString bareAddress(const QString& originatorAddress);

} // namespace MimeMail
