#pragma once

#include "mail/mapi_mail.h"
#include "mail/private_send.h"

#include <QList>
#include <QString>
#include <QStringList>

// One sending as the back end carries it out, whatever the route: the
// recipient list is settled once, before anything is handed over, and every
// recipient's outcome is reported here as it happens. The progress window
// and the observer (the delivery journal) learn it from here.
namespace Delivery {

enum class Route { MailClient, Sendmail, Smtp };

enum class Outcome {
    Waiting, // not handed over yet
    InFlight, // being handed over now
    HandedOver,
    Refused, // with a reason
    NotSent, // the sending stopped before this recipient's turn
    Excluded, // left out before anything was handed over
};

struct Recipient {
    QString address;
    Outcome outcome = Outcome::Waiting;
    QString reason;
};

// The addresses a sending goes to, in list order and each once (compared
// without regard to case): for a private sending the "To" entries, for a
// plain one every entry of the message. 0, or the result code of an entry
// that is no address (25) or of a recipient class a private sending cannot
// take (15). repeated counts the entries that named an address again.
quint32 settle(const MapiMessage& message, bool privately, QStringList& addresses, int* repeated = nullptr);

// A sending as the back end is about to hand it over.
struct Plan {
    const MapiMessage* message = nullptr; // subject, body, sender, attachment as they go out
    Route route = Route::Sendmail;
    bool privately = false;
    QStringList recipients; // each address once, in hand-over order
};

// One recipient's outcome, told to the observer.
struct Result {
    int index = 0; // into Plan::recipients
    Outcome outcome = Outcome::NotSent;
    QString reason; // for a refusal
};

// Told of every sending on every route, plain and private alike: the
// delivery journal listens. Without an observer the sending goes on
// unrecorded.
class IObserver {
public:
    virtual ~IObserver() = default;
    // Before anything is handed over. False: the sending must not go.
    virtual bool begin(const Plan& plan) = 0;
    // These recipients go in the next hand-over (one message). False: stop
    // before it (what is left counts as not sent).
    virtual bool handingOver(const QList<qsizetype>& recipients) = 0;
    // Their outcomes, right after the hand-over; those of recipients left out
    // before anything was handed over come alone, without handingOver.
    virtual void handedOver(const QList<Result>& results) = 0;
    // The sending is over; recipients never handed over are not sent.
    virtual void end() = 0;
};

IObserver* observer();
void installObserver(IObserver* observer);

class Sending {
public:
    // The message's records must outlive the sending.
    Sending(Route route, bool privately, const MapiMessage& message, const QStringList& addresses);
    ~Sending();
    Sending(const Sending&) = delete;
    Sending& operator=(const Sending&) = delete;

    Route route() const { return route_; }
    bool privately() const { return privately_; }
    const MapiMessage& message() const { return message_; }
    const QList<Recipient>& recipients() const { return recipients_; }
    qsizetype size() const { return recipients_.size(); }
    const QString& address(qsizetype i) const { return recipients_[i].address; }

    // Starts the sending; with progress the user watches it in the
    // progress window and reads its summary at the end. False: the observer
    // refused it and nothing may be handed over.
    bool begin(bool withProgress);
    // Right before a hand-over. False: the observer asked to stop, and the
    // hand-over must not happen.
    bool inFlight(const QList<qsizetype>& recipients);
    void handedOver(const QList<qsizetype>& recipients);
    void refused(const QList<qsizetype>& recipients, const QString& reason);
    // Back to waiting: the hand-over did not happen and will be tried again.
    void putBack(const QList<qsizetype>& recipients);
    // After a hand-over: false when the user asked to stop.
    bool advance();
    // While waiting on something slow: keeps the window alive; false when
    // the user asked to stop.
    bool idle();
    // Why the sending stopped early, for the summary.
    void stop(const QString& reason) { stopReason_ = reason; }
    // Addresses taken out before sending (they asked not to be written
    // to): told to the observer as excluded, counted in the summary. Before
    // begin.
    void exclude(const QStringList& addresses) { excluded_ = addresses; }
    // Entries of the list that named an address already in it, sent once.
    void setRepeated(int repeated) { repeated_ = repeated; }
    // Everything not handed over or refused counts as not sent. Without
    // summary the progress window just closes (the caller reports an error).
    void finish(bool summary = true);

    int decided() const { return handedOver_ + refused_; }
    int handedOverCount() const { return handedOver_; }
    int refusedCount() const { return refused_; }
    const QString& stopReason() const { return stopReason_; }
    PrivateSend::Report report() const;

private:
    void set(const QList<qsizetype>& recipients, Outcome outcome, const QString& reason = {});

    Route route_;
    bool privately_;
    const MapiMessage& message_;
    QList<Recipient> recipients_;
    bool withProgress_ = false;
    bool finished_ = false;
    IObserver* observer_ = nullptr; // while the observer takes part
    int handedOver_ = 0;
    int refused_ = 0;
    QString stopReason_;
    int repeated_ = 0;
    QStringList excluded_;
};

} // namespace Delivery
