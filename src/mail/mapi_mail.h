#pragma once

#include "storage/app_error.h"

#include <QByteArray>
#include <QString>

#include <exception>

// One message handed to the mail facilities of the computer. The records keep
// the Simple MAPI layout so that what the editors fill in is exactly what a
// back end receives; the texts are QString (the user interface's text, not
// bytes), and a "none" field is a null QString or a null pointer.

// Recipient classes and submission flags.
inline constexpr quint32 MAPI_ORIG = 0;
inline constexpr quint32 MAPI_TO = 1;
inline constexpr quint32 MAPI_DIALOG = 0x00000008;
// Not a Simple MAPI flag: one message per recipient address, each with only
// its own address in To (private sending).
inline constexpr quint32 MAIL_PRIVATE = 0x00010000;

// Result codes a back end answers with (0 = submitted).
inline constexpr quint32 SUCCESS_SUCCESS = 0;
inline constexpr quint32 MAPI_USER_ABORT = 1;
inline constexpr quint32 MAPI_E_FAILURE = 2;
inline constexpr quint32 MAPI_E_LOGIN_FAILURE = 3;
inline constexpr quint32 MAPI_E_DISK_FULL = 4;
inline constexpr quint32 MAPI_E_INSUFFICIENT_MEMORY = 5;
inline constexpr quint32 MAPI_E_ACCESS_DENIED = 6;
inline constexpr quint32 MAPI_E_TOO_MANY_SESSIONS = 8;
inline constexpr quint32 MAPI_E_TOO_MANY_FILES = 9;
inline constexpr quint32 MAPI_E_TOO_MANY_RECIPIENTS = 10;
inline constexpr quint32 MAPI_E_ATTACHMENT_NOT_FOUND = 11;
inline constexpr quint32 MAPI_E_ATTACHMENT_OPEN_FAILURE = 12;
inline constexpr quint32 MAPI_E_ATTACHMENT_WRITE_FAILURE = 13;
inline constexpr quint32 MAPI_E_UNKNOWN_RECIPIENT = 14;
inline constexpr quint32 MAPI_E_BAD_RECIPTYPE = 15;
inline constexpr quint32 MAPI_E_NO_MESSAGES = 16;
inline constexpr quint32 MAPI_E_INVALID_MESSAGE = 17;
inline constexpr quint32 MAPI_E_TEXT_TOO_LARGE = 18;
inline constexpr quint32 MAPI_E_INVALID_SESSION = 19;
inline constexpr quint32 MAPI_E_TYPE_NOT_SUPPORTED = 20;
inline constexpr quint32 MAPI_E_AMBIGUOUS_RECIPIENT = 21;
inline constexpr quint32 MAPI_E_MESSAGE_IN_USE = 22;
inline constexpr quint32 MAPI_E_NETWORK_FAILURE = 23;
inline constexpr quint32 MAPI_E_INVALID_EDITFIELDS = 24;
inline constexpr quint32 MAPI_E_INVALID_RECIPS = 25;
inline constexpr quint32 MAPI_E_NOT_SUPPORTED = 26;
// Neither a sendmail program nor a mail client is there. Not a Simple MAPI
// code: it has its own plain text instead of passing for a cancellation.
inline constexpr quint32 MAIL_E_NO_MAIL_PROGRAM = 0xFFFFFFFF;
// Nothing was handed over: the user stopped the sending at one of the
// program's own questions, or was told why nothing could go.
inline constexpr quint32 MAIL_STOPPED = 0xFFFFFFFE;
// The list of addresses excluded from mailings, or the contacts archive that
// personalised fields come from, could not be read: nothing was sent.
inline constexpr quint32 MAIL_E_OPT_OUT_UNREADABLE = 0xFFFFFFFD;
inline constexpr quint32 MAIL_E_CONTACTS_UNREADABLE = 0xFFFFFFFC;

struct MapiRecipDesc {
    quint32 ulReserved = 0;
    quint32 ulRecipClass = MAPI_ORIG;
    QString lpszName;
    QString lpszAddress;
    quint32 ulEIDSize = 0;
    const void* lpEntryID = nullptr;
};

struct MapiFileDesc {
    quint32 ulReserved = 0;
    quint32 flFlags = 0;
    quint32 nPosition = 0;
    QString lpszPathName;
    QString lpszFileName; // null: the file's own name is shown
    const void* lpFileType = nullptr;
};

struct MapiMessage {
    quint32 ulReserved = 0;
    QString lpszSubject;
    QString lpszNoteText;
    QString lpszMessageType;
    QString lpszDateReceived;
    QString lpszConversationID;
    quint32 flFlags = 0;
    const MapiRecipDesc* lpOriginator = nullptr;
    quint32 nRecipCount = 0;
    const MapiRecipDesc* lpRecips = nullptr;
    quint32 nFileCount = 0;
    const MapiFileDesc* lpFiles = nullptr;
};

// The one failure of a submission. what() is the message in UTF-8.
class tMailFileException : public AppError {
public:
    using AppError::AppError;
};

// Where a message goes once its records are filled. The system back end
// (sendmail or the user's mail client) is used unless a replacement is
// installed; editor and form tests install a recorder.
class IMailSubmission {
public:
    virtual ~IMailSubmission() = default;
    // Submits one message; the records live only for the call. Answers 0
    // when submitted, otherwise one of the result codes above.
    virtual quint32 send(const MapiMessage& message, quint32 flags) = 0;
    // What the mail program said about the last failed send (its error
    // output), for the error box's details; empty when it said nothing.
    virtual QString failureDetails() const { return {}; }
    // The back end's own wording of the last failure, when it knows more
    // than the result code says (a mail server's answer); empty otherwise.
    virtual QString problem() const { return {}; }
};

namespace MailSubmission {
IMailSubmission& get();
// Installs a replacement; nullptr restores the system back end.
void install(IMailSubmission* submission);
} // namespace MailSubmission

// The Italian description of a non-zero result code.
QString MapiErrorText(quint32 code);

// Submits one message; 0 when it was handed on, 1 when the user stopped it at
// one of the program's own questions before anything went (the user already
// knows why), otherwise throws tMailFileException. Nothing is trimmed:
// callers check trimmed texts first.
// privately: one message per recipient (needs preview off).
int SendMapiMessage(const QString& recipientNames, const QString& recipientAddresses, const QString& senderName,
    const QString& senderAddress, const QString& subject, const QString& body, const QString& attachmentPath,
    bool preview, bool privately = false);
