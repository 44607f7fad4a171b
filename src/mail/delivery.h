#pragma once

#include "mail/mapi_mail.h"

#include <QList>
#include <QString>
#include <QStringList>

// What the mail back end tells about each sending while it happens: the
// recipient list once it is settled, and for every recipient the moment
// before it is handed over and the outcome right after. Every route (mail
// client, sendmail, SMTP) reports here, plain and private alike; the delivery
// journal listens. Without a listener the sending goes on unrecorded.
namespace Delivery {

// How the message left.
enum class Route { MailClient, Sendmail, Smtp };

// What became of one recipient's hand-over.
enum class Outcome {
    HandedOver, // to the mail client's window, the sendmail program or the server
    Refused, // with the reason
    NotSent, // the sending stopped before this recipient's turn
    Excluded, // left out before anything was handed over
};

// A sending as the back end is about to hand it over.
struct Plan {
    const MapiMessage* message = nullptr; // subject, body, sender, attachment as they go out
    Route route = Route::Sendmail;
    bool privately = false;
    QStringList recipients; // each address once, in hand-over order
};

struct Result {
    int index = 0; // into Plan::recipients
    Outcome outcome = Outcome::NotSent;
    QString reason; // for a refusal
};

class IObserver {
public:
    virtual ~IObserver() = default;
    // Before anything is handed over. False: the sending must not go.
    virtual bool begin(const Plan& plan) = 0;
    // Recipients first ... first + count - 1 go in the next hand-over (one
    // message). False: stop before it (what is left counts as not sent).
    virtual bool handingOver(int first, int count) = 0;
    // Their outcomes, right after the hand-over. Recipients left out before
    // anything is handed over (an address that asked not to be written to)
    // are reported here alone, without handingOver.
    virtual void handedOver(const QList<Result>& results) = 0;
    // The sending is over; recipients never handed over are not sent.
    virtual void end() = 0;
};

IObserver* observer();
void installObserver(IObserver* observer);

// The back end's side: one per sending, talking to the installed observer
// (or to nobody). Every route uses it the same way:
//     Delivery::Session s(plan);
//     if (!s.begin()) return MAPI_USER_ABORT;
//     for each message: if (!s.handingOver(i, n)) break; hand over; s.handedOver(...);
// end() runs at the latest when the session goes.
class Session {
public:
    explicit Session(Plan plan);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Plan& plan() const { return plan_; }
    bool begin();
    bool handingOver(int first, int count = 1);
    void handedOver(int first, int count, Outcome outcome, const QString& reason = {});
    void handedOver(const QList<Result>& results);
    void end();

private:
    Plan plan_;
    IObserver* observer_ = nullptr;
    bool open_ = false;
};

// The recipient list of a message as it will be handed over: every address
// of every To entry, each once (compared without regard to case), in order.
// False when an entry is no address.
bool settledRecipients(const MapiMessage& message, QStringList& out);

} // namespace Delivery
