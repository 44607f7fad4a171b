#pragma once

#include "mail/mapi_mail.h"

#include <QList>

// Records every submission instead of sending it and answers with a chosen
// result code. Installs itself for its lifetime:
//     MailRecorder mail;            // SendMapiMessage now lands here
//     mail.result = MAPI_USER_ABORT; // to script a failure
class MailRecorder final : public IMailSubmission {
public:
    // One submission, with copies of the records it pointed to.
    struct Sent {
        MapiMessage message; // its pointers are cleared; see the lists below
        quint32 flags = 0;
        bool hasOriginator = false;
        MapiRecipDesc originator;
        QList<MapiRecipDesc> recipients;
        QList<MapiFileDesc> files;
    };

    MailRecorder() { MailSubmission::install(this); }
    ~MailRecorder() override { MailSubmission::install(nullptr); }
    MailRecorder(const MailRecorder&) = delete;
    MailRecorder& operator=(const MailRecorder&) = delete;

    quint32 send(const MapiMessage& message, quint32 flags) override
    {
        Sent s;
        s.message = message;
        s.message.lpOriginator = nullptr;
        s.message.lpRecips = nullptr;
        s.message.lpFiles = nullptr;
        s.flags = flags;
        if (message.lpOriginator) {
            s.hasOriginator = true;
            s.originator = *message.lpOriginator;
        }
        for (quint32 i = 0; message.lpRecips && i < message.nRecipCount; ++i)
            s.recipients << message.lpRecips[i];
        for (quint32 i = 0; message.lpFiles && i < message.nFileCount; ++i)
            s.files << message.lpFiles[i];
        sent << s;
        return result;
    }

    quint32 result = SUCCESS_SUCCESS;
    QList<Sent> sent;

    int count() const { return int(sent.size()); }
    const Sent& last() const { return sent.last(); }
};
