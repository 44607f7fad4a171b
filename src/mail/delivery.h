#pragma once

#include "mail/mapi_mail.h"
#include "mail/private_send.h"

#include <QList>
#include <QString>
#include <QStringList>

// One sending as the back end carries it out, whatever the route: the
// recipient list is settled once, before anything is handed over, and every
// recipient's outcome is reported here as it happens. The progress window
// and anything that keeps a record of sendings learn it from here.
namespace Delivery {

enum class Route { MailClient, Sendmail, Smtp };

enum class Outcome {
    Waiting, // not handed over yet
    InFlight, // being handed over now
    HandedOver,
    Refused, // with a reason
    NotSent, // the sending stopped before this recipient's turn
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

class Sending;

// Told of every sending: when its recipients are settled, after each
// change of outcome, and at its end.
class IListener {
public:
    virtual ~IListener() = default;
    virtual void begun(const Sending& sending) = 0;
    virtual void changed(const Sending& sending, const QList<qsizetype>& recipients) = 0;
    virtual void ended(const Sending& sending) = 0;
};
void installListener(IListener* listener);

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
    // progress window and reads its summary at the end.
    void begin(bool withProgress);
    void inFlight(const QList<qsizetype>& recipients);
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
    int handedOver_ = 0;
    int refused_ = 0;
    QString stopReason_;
    int repeated_ = 0;
};

} // namespace Delivery
