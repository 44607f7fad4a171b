#pragma once

#include "storage/own_database.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

// What the journal stores of a sending and of each recipient. Stored as these
// numbers: never renumber.
namespace Journal {

enum class Route : int { MailClient = 1, Sendmail = 2, Smtp = 3 };

enum class Outcome : int {
    Pending = 0, // not handed over yet
    InFlight = 1, // being handed over right now
    AcceptedByServer = 2,
    AcceptedByMailProgram = 3,
    OpenedInMailClient = 4,
    Refused = 5, // with the reason
    NotSent = 6, // cancelled, stopped or never reached
    Uncertain = 7, // the program stopped while handing it over
    Excluded = 8, // the address asked not to be written to
    Reserved = 9, // about to be handed over (see the recovery)
};

// The words the user reads.
QString outcomeText(Outcome outcome);
QString routeText(Route route);
// Whether the message reached the recipient's side of the hand-over.
bool delivered(Outcome outcome);

} // namespace Journal

// The delivery journal: every sending (when, what, from whom, which route)
// and every recipient's outcome, in a SQLite file of its own beside the
// archives. The three archive files are never touched. The file holds two
// tables, invii and destinatari; other tables of the program's own may live
// beside them.
class DeliveryJournal {
public:
    // "Invii.db" in the data folder.
    static QString defaultPath();
    static constexpr const char* kFileName = "Invii.db";

    // Opens the file, creating what is missing, and settles sendings whose
    // program stopped while they ran: the recipient being handed over becomes
    // "esito incerto", those never reached "non inviato". Throws
    // ESQLiteException when the file cannot be read or written.
    explicit DeliveryJournal(const QString& path = defaultPath());
    ~DeliveryJournal();
    DeliveryJournal(const DeliveryJournal&) = delete;
    DeliveryJournal& operator=(const DeliveryJournal&) = delete;

    TSQLiteDatabase& database() { return *db_; }

    // --- Recording (one sending at a time per process) -------------------

    struct Header {
        QDateTime started;
        qint32 cardId = 0;
        QString senderName;
        QString senderAddress;
        QString subject;
        QString body;
        QString attachment; // full path, empty for none
        Journal::Route route = Journal::Route::Sendmail;
        bool privately = false;
    };
    // A new sending with its recipients waiting, in one transaction. The row
    // of recipients[i] is rows[i].
    qint64 addSending(const Header& header, const QStringList& recipients, QList<qint64>& rows);
    // Resuming: the rows of sending for these addresses (the first not yet
    // delivered of each, a new row when there is none), and the sending
    // marked as running again.
    void continueSending(qint64 sending, const QStringList& recipients, QList<qint64>& rows);
    // In one transaction: the rows in reserve become Reserved, the rows in
    // flight InFlight. durable: the commit waits for the disk.
    void markHandingOver(const QList<qint64>& reserve, const QList<qint64>& inFlight, bool durable);
    struct RowOutcome {
        qint64 row = 0;
        Journal::Outcome outcome = Journal::Outcome::NotSent;
        QString reason;
    };
    void setOutcomes(const QList<RowOutcome>& outcomes);
    // The sending is over: its rows still waiting become NotSent (the one
    // left in flight Uncertain), the counts are brought up to date.
    void finishSending(qint64 sending);
    // The sending went on after its recording failed: every row without an
    // outcome is uncertain.
    void settleUnrecorded(qint64 sending);

    // --- Reading -----------------------------------------------------------

    struct Sending {
        qint64 id = 0;
        QDateTime started;
        QDateTime finished; // null: stopped before its end, or running
        qint32 cardId = 0;
        QString senderName;
        QString senderAddress;
        QString subject;
        QString attachment;
        Journal::Route route = Journal::Route::Sendmail;
        bool privately = false;
        bool running = false;
        int recipients = 0;
        int delivered = 0;
        int refused = 0;
        int notSent = 0;
        int uncertain = 0;
        int excluded = 0;
        // Recipients a resumption would write to, the uncertain ones apart.
        int undelivered() const { return refused + notSent; }
    };
    // Newest first, at most limit of them with an id below beforeId (0: from
    // the newest); with an address filter only the sendings that hold a
    // recipient whose address begins with it (without regard to case).
    QList<Sending> sendings(qint64 beforeId, int limit, const QString& addressFilter = {});
    std::optional<Sending> sending(qint64 id);
    // The body as it went out (resumption sends it again).
    QString body(qint64 id);

    struct Recipient {
        qint64 row = 0;
        QString address;
        Journal::Outcome outcome = Journal::Outcome::Pending;
        QString reason;
        QDateTime when; // of the outcome
    };
    // A sending's recipients in hand-over order, at most limit after row
    // afterRow, filtered as sendings() is.
    QList<Recipient> recipients(qint64 sending, qint64 afterRow, int limit, const QString& addressFilter = {});

    // The card's most recent sending.
    std::optional<Sending> lastSendingOfCard(qint32 cardId);

    // What "Riprendi invio" writes to: the addresses without a delivered
    // outcome, apart from the uncertain ones, which the user decides on.
    struct Resumable {
        QStringList undelivered;
        QStringList uncertain;
    };
    Resumable resumable(qint64 sending);

    // Brings the counts of a sending up to date from its rows.
    void recount(qint64 sending);

    // This process no longer answers for the sending it began (its
    // recording gave up): the next opening settles it.
    static void release(qint64 sending);

private:
    void createSchema();
    void recover();
    Sending readSending(const SqlStatement& s) const;
    // When the sending or one of its recipients last changed.
    QDateTime lastActivity(qint64 sending);
    // Within a transaction: the sending's rows in each rule's first state
    // move to its second (with reason, unless null), it belongs to no
    // process any more, and its counts are brought up to date; finished
    // stamps its end.
    void close(qint64 sending, std::initializer_list<std::pair<Journal::Outcome, Journal::Outcome>> rules,
        const QString& reason, bool finished);
    // body in one transaction, rolled back when it throws. durable: the
    // commit waits for the disk.
    void transaction(const std::function<void()>& body, bool durable = false);
    SqlStatement& cached(std::unique_ptr<SqlStatement>& slot, const char* sql);

    std::unique_ptr<TSQLiteDatabase> db_;
    // Prepared once per connection; destroyed before it.
    std::unique_ptr<SqlStatement> begin_, commit_, rollback_, setState_, setOutcome_;
};

// Which process runs a sending, so that another copy of the program does not
// take a sending in progress for one that was cut short, and whether the
// computer was restarted since (a power cut may have lost the last writes).
namespace ProcessTag {
// "boot-id pid start-time host" of a running process, empty when there is none.
QString of(qint64 pid);
// The same of this process.
QString current();
// The process named by tag still runs.
bool alive(const QString& tag);
// The computer has not been restarted since tag was taken.
bool sameBoot(const QString& tag);
// Taken on this computer (a data folder may be shared by several).
bool sameHost(const QString& tag);
} // namespace ProcessTag

// The line the message card editor shows for the card on screen.
namespace JournalLine {
// "Ultimo invio: 12/03/2025 10:42, a 250 destinatari", "Mai inviata" for a
// stored card never sent, empty for a new card; "" when the journal cannot
// be read.
QString forCard(qint32 cardId);
} // namespace JournalLine
