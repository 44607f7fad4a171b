#pragma once

#include "mail/mapi_mail.h"
#include "mail/mime_message.h"
#include "mail/personalisation.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// What every sending goes through in the back end before anything is handed
// over, whatever the route and the form: the opt-out list takes out the
// addresses that asked not to be written to, the placeholders are checked,
// the closing line and the List-Unsubscribe header are added, and the user
// is asked or told what needs saying.
namespace SendChecks {

// What the user reads before a sending that leaves addresses out or is
// personalised.
struct Outline {
    QStringList excluded; // as written in the recipient list
    int recipients = 0; // addresses the message goes to
    bool personal = false;
    int withoutCard = 0; // of those, addresses with no contact card
};

// The messages, also for tests.
QString excludedText(int count);
QString outlineText(const Outline& outline);
QString allExcludedText(int count);
QString unknownFieldsText(const QStringList& placeholders);
QString plainWithFieldsText(const QStringList& placeholders);

// The user's side of the checks, installed by the user interface. Without
// one nothing personalised goes out as a plain sending, and the rest goes
// ahead.
class IQuestions {
public:
    virtual ~IQuestions() = default;
    // An unknown placeholder refuses the sending: say which.
    virtual void refuseUnknownFields(const QStringList& placeholders) = 0;
    // Placeholders in a plain sending: true sends privately instead.
    virtual bool sendPrivatelyInstead(const QStringList& placeholders) = 0;
    // Every address asked not to be written to: nothing goes.
    virtual void allExcluded(const QStringList& excluded) = 0;
    // The last word before sending; false cancels.
    virtual bool goAhead(const Outline& outline) = 0;
};
IQuestions* questions();
void install(IQuestions* questions);

// One sending made ready for its route.
class Prepared {
public:
    Prepared() = default;
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    // The records as the route sends them: excluded addresses taken out,
    // the closing line added to the body.
    const MapiMessage& message() const { return message_; }
    quint32 flags() const { return flags_; }
    const MimeMail::ExtraHeaders& headers() const { return headers_; }
    const QStringList& excluded() const { return excluded_; }
    // The recipients' own texts; null unless the sending is personalised.
    const Personalisation* personalisation() const { return personal_.get(); }

private:
    friend quint32 prepare(const MapiMessage& message, quint32 flags, Prepared& out);

    MapiMessage message_;
    MapiRecipDesc originator_;
    QList<MapiRecipDesc> recipients_;
    QList<MapiFileDesc> files_;
    quint32 flags_ = 0;
    MimeMail::ExtraHeaders headers_;
    QStringList excluded_;
    std::unique_ptr<Personalisation> personal_;
};

// SUCCESS_SUCCESS with out ready; MAIL_STOPPED when the user stopped the
// sending or was told why nothing goes; otherwise the result code of a
// failure, nothing handed over.
quint32 prepare(const MapiMessage& message, quint32 flags, Prepared& out);

} // namespace SendChecks
