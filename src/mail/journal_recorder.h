#pragma once

#include "mail/delivery.h"
#include "mail/delivery_journal.h"
#include "mail/delivery_origin.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// Writes what the mail back end reports into the delivery journal. Before
// each hand-over the recipient is marked "in corso" and right after it gets
// its outcome, each in a small transaction, so a program killed at any moment
// loses at most the outcome of the one message in flight.
//
// Durability: ordinary commits reach the operating system (enough when only
// the program dies). Before recipients are first handed over, a run of them
// is reserved in a commit that waits for the disk, so that after a power cut
// those possibly sent read as "esito incerto" rather than as never sent. The
// run grows while messages go quickly, so that costs one disk wait every few
// seconds; a power cut leaves at most those few seconds' recipients
// uncertain.
class JournalRecorder final : public Delivery::IObserver {
public:
    // Asked once per sending when the journal cannot be written: before it
    // starts (started false) or in its middle. True: go on without a record;
    // false: nothing (more) is sent.
    using Question = std::function<bool(const QString& problem, bool started)>;

    explicit JournalRecorder(Question ask);

    bool begin(const Delivery::Plan& plan) override;
    bool handingOver(const QList<qsizetype>& recipients) override;
    void handedOver(const QList<Delivery::Result>& results) override;
    void end() override;

    // The journal's sending being written, 0 when none.
    qint64 sending() const { return recording_ ? sending_ : 0; }

    // The question's text.
    static QString questionText(const QString& problem, bool started);
    // Why the journal failed, in words for the user.
    static QString problemText(const QString& failure);

    // Installs one recorder as the back end's listener for the whole run.
    static void install(Question ask);

    // Most recipients reserved ahead in one commit, and about how long a
    // reservation should last.
    static constexpr int kMaxAhead = 1024;
    static constexpr qint64 kReserveMs = 5000;

    // How the journal stores a route, and an outcome on it.
    static Journal::Route stored(Delivery::Route route);
    static Journal::Outcome stored(Delivery::Route route, Delivery::Outcome outcome);

private:
    bool failed(const QString& failure, bool started);
    void settleUnrecorded();

    Question ask_;
    std::unique_ptr<DeliveryJournal> journal_;
    qint64 sending_ = 0;
    QList<qint64> rows_;
    bool recording_ = false;
    bool asked_ = false;
    bool stop_ = false;
    Delivery::Route route_ = Delivery::Route::Sendmail;
    int reservedEnd_ = 0;
    // Rows past this one were settled before any hand-over (excluded
    // addresses): never reserved.
    int reservable_ = 0;
    int ahead_ = 1;
    QElapsedTimer sinceReserve_;
    // Sendings that went on without a record after the journal failed: what
    // was not written is uncertain, not unsent, once the journal can be
    // written again.
    QList<qint64> unrecorded_;
};

// "Riprendi invio": the same message again, privately, to the recipients of
// a sending that have no delivered outcome; the uncertain ones only when the
// user chose so. The sending's rows are updated, no new sending is made.
namespace ResumeSending {
// The addresses it would write to.
QStringList recipients(DeliveryJournal& journal, qint64 sending, bool includeUncertain);
// Sends through SendMapiMessage (so it throws tMailFileException as any
// sending does). Nothing to send: nothing happens, false.
bool send(qint64 sending, const QStringList& recipients);
} // namespace ResumeSending
