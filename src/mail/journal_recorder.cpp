#include "mail/journal_recorder.h"

#include "mail/mime_message.h"

#include <QDir>

#include <algorithm>
#include <utility>

JournalRecorder::JournalRecorder(Question ask)
    : ask_(std::move(ask))
{ }

QString JournalRecorder::problemText(const QString& failure)
{
    static const struct {
        const char* sqlite;
        const char* words;
    } known[] = {
        { "readonly", "il file o la sua cartella non consentono la scrittura" },
        { "read-only", "il file o la sua cartella non consentono la scrittura" },
        { "disk is full", "il disco è pieno" },
        { "not a database", "il file è danneggiato o non è un registro degli invii" },
        { "malformed", "il file è danneggiato" },
        { "unable to open", "il file non può essere aperto né creato" },
        { "write-ahead log", "nella cartella non possono essere creati i file di appoggio" },
        { "locked", "il file è occupato da un altro programma" },
        { "busy", "il file è occupato da un altro programma" },
        { "disk I/O error", "errore di lettura o scrittura sul disco" },
    };
    for (const auto& k : known)
        if (failure.contains(QLatin1String(k.sqlite), Qt::CaseInsensitive))
            return QString::fromUtf8(k.words);
    // SQLite's own words come after the statement.
    const qsizetype at = failure.lastIndexOf(QStringLiteral(" : "));
    return at >= 0 ? failure.mid(at + 3) : failure;
}

QString JournalRecorder::questionText(const QString& problem, bool started)
{
    const QString file = QDir::toNativeSeparators(DeliveryJournal::defaultPath());
    if (!started)
        return QStringLiteral("Questo invio non può essere registrato nello storico degli invii: %1.\n\n"
                              "File: %2\n\n"
                              "Inviare comunque il messaggio senza registrarlo?")
            .arg(problem, file);
    return QStringLiteral("La registrazione di questo invio nello storico degli invii si è interrotta: %1.\n\n"
                          "File: %2\n\n"
                          "Continuare l'invio senza registrarlo? Rispondendo No l'invio si ferma e i messaggi "
                          "rimasti non vengono inviati.")
        .arg(problem, file);
}

bool JournalRecorder::failed(const QString& failure, bool started)
{
    recording_ = false;
    journal_.reset();
    if (asked_)
        return true;
    asked_ = true;
    const bool goOn = ask_ && ask_(problemText(failure), started);
    stop_ = !goOn;
    // Going on, what is sent from now on is written nowhere: the rows left
    // waiting become uncertain once the journal can be written again.
    // Stopping, they were not sent, as the next opening settles them.
    if (goOn && sending_ > 0)
        unrecorded_.append(sending_);
    else if (sending_ > 0)
        DeliveryJournal::release(sending_);
    return goOn;
}

void JournalRecorder::settleUnrecorded()
{
    if (unrecorded_.isEmpty())
        return;
    try {
        DeliveryJournal journal;
        for (qint64 id : std::as_const(unrecorded_))
            journal.settleUnrecorded(id);
        unrecorded_.clear();
    } catch (const ESQLiteException&) {
        // Still not writable: tried again after the next sending.
    }
}

Journal::Route JournalRecorder::stored(Delivery::Route route)
{
    switch (route) {
    case Delivery::Route::MailClient:
        return Journal::Route::MailClient;
    case Delivery::Route::Smtp:
        return Journal::Route::Smtp;
    case Delivery::Route::Sendmail:
        break;
    }
    return Journal::Route::Sendmail;
}

Journal::Outcome JournalRecorder::stored(Delivery::Route route, Delivery::Outcome outcome)
{
    switch (outcome) {
    case Delivery::Outcome::HandedOver:
        return route == Delivery::Route::MailClient ? Journal::Outcome::OpenedInMailClient
            : route == Delivery::Route::Smtp        ? Journal::Outcome::AcceptedByServer
                                                    : Journal::Outcome::AcceptedByMailProgram;
    case Delivery::Outcome::Refused:
        return Journal::Outcome::Refused;
    case Delivery::Outcome::Excluded:
        return Journal::Outcome::Excluded;
    case Delivery::Outcome::InFlight:
        return Journal::Outcome::InFlight;
    case Delivery::Outcome::Waiting:
        return Journal::Outcome::Pending;
    case Delivery::Outcome::NotSent:
        break;
    }
    return Journal::Outcome::NotSent;
}

bool JournalRecorder::begin(const Delivery::Plan& plan)
{
    route_ = plan.route;
    recording_ = asked_ = stop_ = false;
    sending_ = 0;
    rows_.clear();
    reservedEnd_ = 0;
    reservable_ = int(plan.recipients.size());
    ahead_ = 1;
    sinceReserve_.invalidate();
    settleUnrecorded();
    const Delivery::Origin& origin = Delivery::origin();
    if (origin.unrecorded)
        return true;
    try {
        journal_ = std::make_unique<DeliveryJournal>();
        if (origin.resumes > 0) {
            journal_->continueSending(origin.resumes, plan.recipients, rows_);
            sending_ = origin.resumes;
        } else {
            const MapiMessage& m = *plan.message;
            DeliveryJournal::Header h;
            h.started = QDateTime::currentDateTime();
            h.cardId = origin.cardId;
            if (m.lpOriginator) {
                h.senderAddress = MimeMail::bareAddress(m.lpOriginator->lpszAddress);
                // A name that only repeats the address was no name.
                if (m.lpOriginator->lpszName != h.senderAddress)
                    h.senderName = m.lpOriginator->lpszName;
            }
            h.subject = m.lpszSubject;
            h.body = m.lpszNoteText;
            if (m.nFileCount > 0 && m.lpFiles)
                h.attachment = m.lpFiles[0].lpszPathName;
            h.route = stored(plan.route);
            h.privately = plan.privately;
            sending_ = journal_->addSending(h, plan.recipients, rows_);
        }
        recording_ = true;
        return true;
    } catch (const ESQLiteException& e) {
        return failed(e.message(), false);
    }
}

bool JournalRecorder::handingOver(const QList<qsizetype>& which)
{
    if (stop_)
        return false;
    if (!recording_)
        return true;
    QList<qint64> inFlight;
    inFlight.reserve(which.size());
    int first = int(rows_.size());
    int last = 0;
    for (qsizetype i : which)
        if (i >= 0 && i < rows_.size()) {
            inFlight.append(rows_[i]);
            first = std::min(first, int(i));
            last = std::max(last, int(i) + 1);
        }
    QList<qint64> reserve;
    bool durable = false;
    if (last > reservedEnd_) {
        // Messages going out quickly: reserve further ahead, so the disk is
        // waited for every few seconds whatever the pace.
        if (sinceReserve_.isValid())
            ahead_ = sinceReserve_.elapsed() < kReserveMs ? std::min(ahead_ * 2, kMaxAhead) : std::max(1, ahead_ / 2);
        sinceReserve_.start();
        const int until = std::max(last, std::min(reservable_, first + ahead_));
        for (int i = last; i < until; ++i)
            reserve.append(rows_[i]);
        reservedEnd_ = until;
        durable = true;
    }
    try {
        journal_->markHandingOver(reserve, inFlight, durable);
        return true;
    } catch (const ESQLiteException& e) {
        return failed(e.message(), true);
    }
}

void JournalRecorder::handedOver(const QList<Delivery::Result>& results)
{
    if (!recording_)
        return;
    QList<DeliveryJournal::RowOutcome> outcomes;
    outcomes.reserve(results.size());
    for (const Delivery::Result& r : results)
        if (r.index >= 0 && r.index < rows_.size()) {
            outcomes.append({ rows_[r.index], stored(route_, r.outcome), r.reason });
            if (r.outcome == Delivery::Outcome::Excluded)
                reservable_ = std::min(reservable_, r.index);
        }
    try {
        journal_->setOutcomes(outcomes);
    } catch (const ESQLiteException& e) {
        failed(e.message(), true);
    }
}

void JournalRecorder::end()
{
    if (recording_) {
        try {
            journal_->finishSending(sending_);
        } catch (const ESQLiteException&) {
            // The next opening of the journal settles the sending.
            DeliveryJournal::release(sending_);
        }
    }
    recording_ = false;
    journal_.reset();
    settleUnrecorded();
}

void JournalRecorder::install(Question ask)
{
    static JournalRecorder recorder(nullptr);
    recorder.ask_ = std::move(ask);
    Delivery::installObserver(&recorder);
}

QStringList ResumeSending::recipients(DeliveryJournal& journal, qint64 sending, bool includeUncertain)
{
    const DeliveryJournal::Resumable r = journal.resumable(sending);
    return includeUncertain ? r.undelivered + r.uncertain : r.undelivered;
}

bool ResumeSending::send(qint64 sending, const QStringList& recipients)
{
    if (recipients.isEmpty())
        return false;
    QString senderName, senderAddress, subject, body, attachment;
    qint32 cardId = 0;
    {
        DeliveryJournal journal;
        const auto s = journal.sending(sending);
        if (!s)
            return false;
        senderName = s->senderName;
        senderAddress = s->senderAddress;
        subject = s->subject;
        attachment = s->attachment;
        cardId = s->cardId;
        body = journal.body(sending);
    }
    const Delivery::OriginScope scope({ cardId, sending, false });
    SendMapiMessage(QString(), recipients.join(QLatin1Char(',')), senderName, senderAddress, subject, body, attachment,
        false, true);
    return true;
}
