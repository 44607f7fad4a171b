#include "mail/delivery_journal.h"

#include "storage/app_paths.h"

#include <QFile>
#include <QLocale>
#include <QSet>
#include <QSysInfo>

#include <csignal>
#include <functional>
#include <limits>
#include <unistd.h>

using Journal::Outcome;

namespace {

// The layout of the two tables; other tables in the file keep versions of
// their own in the same table.
constexpr int kLayoutVersion = 1;

// Sendings this process still answers for (the one being written, those
// that went on without a record): recovery leaves them alone.
QSet<qint64> heldHere;

// A sending another computer started on a shared folder counts as cut short
// once nothing has happened to it for this long.
constexpr qint64 kOtherHostQuietS = 3600;

// The columns are NOT NULL: an absent text is stored empty.
QString orEmpty(const QString& text) { return text.isNull() ? QStringLiteral("") : text; }

QString stamp(const QDateTime& when) { return when.toString(Qt::ISODate); }
QString now() { return stamp(QDateTime::currentDateTime()); }
QDateTime fromStamp(const QString& text)
{
    return text.isEmpty() ? QDateTime() : QDateTime::fromString(text, Qt::ISODate);
}

// The filter key: addresses compare without regard to case.
QString key(const QString& address) { return address.trimmed().toLower(); }
// Everything that begins with prefix sorts below prefix + the last code point.
QString keyEnd(const QString& prefix) { return prefix + QString::fromUcs4(U"\U0010FFFF", 1); }

constexpr int kDelivered[]
    = { int(Outcome::AcceptedByServer), int(Outcome::AcceptedByMailProgram), int(Outcome::OpenedInMailClient) };

const char* const kSendingColumns = "id, inizio, fine, scheda, mittente_nome, mittente, oggetto, allegato, percorso, "
                                    "riservato, destinatari, consegnati, rifiutati, non_inviati, incerti, esclusi, "
                                    "processo";

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// ---------------------------------------------------------------------------
// Journal

QString Journal::outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Pending:
    case Outcome::Reserved:
        return QStringLiteral("in attesa");
    case Outcome::InFlight:
        return QStringLiteral("in corso");
    case Outcome::AcceptedByServer:
        return QStringLiteral("consegnato al server");
    case Outcome::AcceptedByMailProgram:
        return QStringLiteral("consegnato al programma di posta");
    case Outcome::OpenedInMailClient:
        return QStringLiteral("aperto nel programma di posta");
    case Outcome::Refused:
        return QStringLiteral("rifiutato");
    case Outcome::NotSent:
        return QStringLiteral("non inviato");
    case Outcome::Uncertain:
        return QStringLiteral("esito incerto");
    case Outcome::Excluded:
        return QStringLiteral("escluso");
    }
    return QStringLiteral("sconosciuto");
}

QString Journal::routeText(Route route)
{
    switch (route) {
    case Route::MailClient:
        return QStringLiteral("programma di posta (anteprima)");
    case Route::Sendmail:
        return QStringLiteral("sendmail");
    case Route::Smtp:
        return QStringLiteral("server di posta");
    }
    return QString();
}

bool Journal::delivered(Outcome outcome)
{
    return outcome == Outcome::AcceptedByServer || outcome == Outcome::AcceptedByMailProgram
        || outcome == Outcome::OpenedInMailClient;
}

// ---------------------------------------------------------------------------
// ProcessTag

namespace {
QString bootId() { return QString::fromLatin1(readFile(QStringLiteral("/proc/sys/kernel/random/boot_id")).trimmed()); }

// Field 22 of /proc/PID/stat: when the process started, in clock ticks since
// boot. Tells a process from a later one that got the same number.
QString startTime(qint64 pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    // The command name in parentheses may hold blanks: count after it.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    return fields.size() > 19 ? QString::fromLatin1(fields[19]) : QString();
}
} // namespace

QString ProcessTag::of(qint64 pid)
{
    const QString started = startTime(pid);
    if (started.isEmpty())
        return {};
    // Blanks cannot be in a host name; the sections stay apart.
    return QStringLiteral("%1 %2 %3 %4").arg(bootId(), QString::number(pid), started, QSysInfo::machineHostName());
}

bool ProcessTag::sameHost(const QString& tag)
{
    const QString host = tag.section(QLatin1Char(' '), 3, 3);
    return host.isEmpty() || host == QSysInfo::machineHostName();
}

QString ProcessTag::current() { return of(::getpid()); }

bool ProcessTag::sameBoot(const QString& tag)
{
    const QString boot = bootId();
    return !boot.isEmpty() && tag.section(QLatin1Char(' '), 0, 0) == boot;
}

bool ProcessTag::alive(const QString& tag)
{
    if (!sameBoot(tag))
        return false;
    bool ok = false;
    const qint64 pid = tag.section(QLatin1Char(' '), 1, 1).toLongLong(&ok);
    if (!ok || pid <= 0)
        return false;
    const QString started = startTime(pid);
    return !started.isEmpty() && started == tag.section(QLatin1Char(' '), 2, 2);
}

// ---------------------------------------------------------------------------
// DeliveryJournal

QString DeliveryJournal::defaultPath() { return AppPaths::beside(QLatin1String(kFileName)); }

DeliveryJournal::DeliveryJournal(const QString& path)
    : db_(OwnDatabase::open(path))
{
    // A sending commits twice per recipient: copying the log back into the
    // file (and waiting for the disk) every 8,192 pages rather than every
    // 1,000 keeps that from showing; the log shrinks back to 4 MiB after.
    SqlStatement(*db_, "PRAGMA wal_autocheckpoint=8192;").step();
    SqlStatement(*db_, "PRAGMA journal_size_limit=4194304;").step();
    createSchema();
    recover();
}

DeliveryJournal::~DeliveryJournal() = default;

SqlStatement& DeliveryJournal::cached(std::unique_ptr<SqlStatement>& slot, const char* sql)
{
    if (!slot)
        slot = std::make_unique<SqlStatement>(*db_, QByteArray(sql));
    return *slot;
}

void DeliveryJournal::transaction(const std::function<void()>& body, bool durable)
{
    // Statements kept prepared: a sending commits twice per recipient.
    SqlStatement& begin = cached(begin_, "BEGIN");
    SqlStatement& commit = cached(commit_, "COMMIT");
    if (durable)
        OwnDatabase::setDurable(*db_, true);
    try {
        begin.execute();
        body();
        commit.execute();
    } catch (...) {
        try {
            cached(rollback_, "ROLLBACK").execute();
        } catch (...) {
            // Closing the connection ends the transaction anyway.
        }
        if (durable)
            OwnDatabase::setDurable(*db_, false);
        throw;
    }
    if (durable)
        OwnDatabase::setDurable(*db_, false);
}

void DeliveryJournal::createSchema()
{
    TSQLiteDatabase& db = *db_;
    if (db.HasTable("invii")) {
        SqlStatement version(db, "SELECT versione FROM versioni WHERE tabella = 'invii'");
        const qint64 found = version.step() ? version.integer(0) : 0;
        if (found > kLayoutVersion)
            throw ESQLiteException(QStringLiteral("Il registro degli invii è stato scritto da una versione più "
                                                  "recente del programma."));
        return;
    }
    transaction([&] {
        db.Execute("CREATE TABLE IF NOT EXISTS versioni (tabella TEXT PRIMARY KEY, versione INTEGER NOT NULL)");
        db.Execute("CREATE TABLE invii ("
                   "id INTEGER PRIMARY KEY, "
                   "inizio TEXT NOT NULL, "
                   "fine TEXT, "
                   "scheda INTEGER, "
                   "mittente_nome TEXT NOT NULL DEFAULT '', "
                   "mittente TEXT NOT NULL DEFAULT '', "
                   "oggetto TEXT NOT NULL DEFAULT '', "
                   "testo TEXT NOT NULL DEFAULT '', "
                   "allegato TEXT NOT NULL DEFAULT '', "
                   "percorso INTEGER NOT NULL, "
                   "riservato INTEGER NOT NULL, "
                   "destinatari INTEGER NOT NULL DEFAULT 0, "
                   "consegnati INTEGER NOT NULL DEFAULT 0, "
                   "rifiutati INTEGER NOT NULL DEFAULT 0, "
                   "non_inviati INTEGER NOT NULL DEFAULT 0, "
                   "incerti INTEGER NOT NULL DEFAULT 0, "
                   "esclusi INTEGER NOT NULL DEFAULT 0, "
                   "processo TEXT)");
        db.Execute("CREATE INDEX invii_scheda ON invii(scheda, id)");
        db.Execute("CREATE TABLE destinatari ("
                   "id INTEGER PRIMARY KEY, "
                   "invio INTEGER NOT NULL REFERENCES invii(id), "
                   "indirizzo TEXT NOT NULL, "
                   "chiave TEXT NOT NULL, "
                   "esito INTEGER NOT NULL, "
                   "motivo TEXT NOT NULL DEFAULT '', "
                   "quando TEXT)");
        // A sending's recipients in hand-over order; the filter by address.
        db.Execute("CREATE INDEX destinatari_invio ON destinatari(invio)");
        db.Execute("CREATE INDEX destinatari_chiave ON destinatari(chiave, invio)");
        SqlStatement(db, "INSERT OR REPLACE INTO versioni (tabella, versione) VALUES ('invii', ?1)")
            .bind(1, qint64(kLayoutVersion))
            .execute();
    });
}

void DeliveryJournal::recover()
{
    QList<QPair<qint64, QString>> stopped;
    {
        SqlStatement s(*db_, "SELECT id, processo FROM invii WHERE processo IS NOT NULL");
        const QString self = ProcessTag::current();
        while (s.step()) {
            const qint64 id = s.integer(0);
            const QString tag = s.text(1);
            if (heldHere.contains(id))
                continue;
            if (tag != self && ProcessTag::alive(tag))
                continue; // another copy of the program is sending it
            if (!ProcessTag::sameHost(tag) && lastActivity(id).secsTo(QDateTime::currentDateTime()) < kOtherHostQuietS)
                continue; // from another computer on a shared folder, and still going on
            stopped.append({ id, tag });
        }
    }
    for (const QPair<qint64, QString>& one : stopped) {
        // Not a structured binding: clang (the fuzz build) cannot capture one.
        const qint64 id = one.first;
        // Reserved rows were never handed over unless the computer went
        // down: then the writes after the reservation may be lost.
        const Outcome reserved = ProcessTag::sameBoot(one.second) ? Outcome::NotSent : Outcome::Uncertain;
        transaction([&] {
            close(id,
                { { Outcome::InFlight, Outcome::Uncertain }, { Outcome::Reserved, reserved },
                    { Outcome::Pending, Outcome::NotSent } },
                QString(), false);
        });
    }
}

QDateTime DeliveryJournal::lastActivity(qint64 sending)
{
    SqlStatement s(*db_,
        "SELECT max(coalesce((SELECT max(quando) FROM destinatari WHERE invio = ?1), ''), inizio) FROM invii "
        "WHERE id = ?1");
    s.bind(1, sending);
    return s.step() ? fromStamp(s.text(0)) : QDateTime();
}

void DeliveryJournal::close(
    qint64 sending, std::initializer_list<std::pair<Outcome, Outcome>> rules, const QString& reason, bool finished)
{
    SqlStatement settle(
        *db_, "UPDATE destinatari SET esito = ?3, motivo = coalesce(?4, motivo) WHERE invio = ?1 AND esito = ?2");
    for (const auto& [from, to] : rules)
        settle.bind(1, sending).bind(2, qint64(from)).bind(3, qint64(to)).bind(4, reason).execute();
    // A sending that stopped keeps no end time: it reads as interrupted.
    SqlStatement(*db_, "UPDATE invii SET processo = NULL, fine = coalesce(?2, fine) WHERE id = ?1")
        .bind(1, sending)
        .bind(2, finished ? now() : QString())
        .execute();
    recount(sending);
}

qint64 DeliveryJournal::addSending(const Header& h, const QStringList& recipients, QList<qint64>& rows)
{
    qint64 id = 0;
    rows.clear();
    rows.reserve(recipients.size());
    transaction([&] {
        SqlStatement insert(*db_,
            "INSERT INTO invii (inizio, scheda, mittente_nome, mittente, oggetto, testo, allegato, percorso, "
            "riservato, destinatari, processo) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
        if (h.cardId > 0)
            insert.bind(2, qint64(h.cardId));
        else
            insert.bind(2, QString());
        insert.bind(1, stamp(h.started))
            .bind(3, orEmpty(h.senderName))
            .bind(4, orEmpty(h.senderAddress))
            .bind(5, orEmpty(h.subject))
            .bind(6, orEmpty(h.body))
            .bind(7, orEmpty(h.attachment))
            .bind(8, qint64(h.route))
            .bind(9, qint64(h.privately ? 1 : 0))
            .bind(10, qint64(recipients.size()))
            .bind(11, ProcessTag::current())
            .execute();
        id = db_->LastInsertedRowId();
        SqlStatement add(*db_, "INSERT INTO destinatari (invio, indirizzo, chiave, esito) VALUES (?1, ?2, ?3, ?4)");
        for (const QString& address : recipients) {
            add.bind(1, id).bind(2, address).bind(3, key(address)).bind(4, qint64(Outcome::Pending)).execute();
            rows.append(db_->LastInsertedRowId());
        }
    });
    heldHere.insert(id);
    return id;
}

void DeliveryJournal::continueSending(qint64 sending, const QStringList& recipients, QList<qint64>& rows)
{
    rows.clear();
    rows.reserve(recipients.size());
    transaction([&] {
        SqlStatement find(*db_,
            "SELECT id FROM destinatari WHERE chiave = ?2 AND invio = ?1 AND esito NOT IN (?3, ?4, ?5) "
            "ORDER BY id LIMIT 1");
        SqlStatement add(*db_, "INSERT INTO destinatari (invio, indirizzo, chiave, esito) VALUES (?1, ?2, ?3, ?4)");
        SqlStatement wait(*db_, "UPDATE destinatari SET esito = ?2 WHERE id = ?1");
        for (const QString& address : recipients) {
            find.bind(1, sending).bind(2, key(address));
            for (int i = 0; i < 3; ++i)
                find.bind(3 + i, qint64(kDelivered[i]));
            qint64 row = 0;
            if (find.step())
                row = find.integer(0);
            find.reset();
            if (row == 0) {
                add.bind(1, sending).bind(2, address).bind(3, key(address)).bind(4, qint64(Outcome::Pending)).execute();
                row = db_->LastInsertedRowId();
            } else {
                wait.bind(1, row).bind(2, qint64(Outcome::Pending)).execute();
            }
            rows.append(row);
        }
        SqlStatement(*db_, "UPDATE invii SET processo = ?2, fine = NULL WHERE id = ?1")
            .bind(1, sending)
            .bind(2, ProcessTag::current())
            .execute();
        recount(sending);
    });
    heldHere.insert(sending);
}

void DeliveryJournal::markHandingOver(const QList<qint64>& reserve, const QList<qint64>& inFlight, bool durable)
{
    SqlStatement& set = cached(setState_, "UPDATE destinatari SET esito = ?2, quando = ?3 WHERE id = ?1");
    transaction(
        [&] {
            const QString when = now();
            for (qint64 row : reserve)
                set.bind(1, row).bind(2, qint64(Outcome::Reserved)).bind(3, QString()).execute();
            for (qint64 row : inFlight)
                set.bind(1, row).bind(2, qint64(Outcome::InFlight)).bind(3, when).execute();
        },
        durable);
}

void DeliveryJournal::setOutcomes(const QList<RowOutcome>& outcomes)
{
    SqlStatement& set
        = cached(setOutcome_, "UPDATE destinatari SET esito = ?2, motivo = ?3, quando = ?4 WHERE id = ?1");
    transaction([&] {
        const QString when = now();
        for (const RowOutcome& o : outcomes)
            set.bind(1, o.row).bind(2, qint64(o.outcome)).bind(3, orEmpty(o.reason)).bind(4, when).execute();
    });
}

void DeliveryJournal::release(qint64 sending) { heldHere.remove(sending); }

void DeliveryJournal::finishSending(qint64 sending)
{
    release(sending);
    transaction([&] {
        close(sending,
            { { Outcome::InFlight, Outcome::Uncertain }, { Outcome::Reserved, Outcome::NotSent },
                { Outcome::Pending, Outcome::NotSent } },
            QString(), true);
    });
}

void DeliveryJournal::settleUnrecorded(qint64 sending)
{
    release(sending);
    const QString reason = QStringLiteral("invio proseguito senza registrazione");
    transaction([&] {
        close(sending,
            { { Outcome::InFlight, Outcome::Uncertain }, { Outcome::Reserved, Outcome::Uncertain },
                { Outcome::Pending, Outcome::Uncertain } },
            reason, true);
    });
}

void DeliveryJournal::recount(qint64 sending)
{
    int total = 0, delivered = 0, refused = 0, notSent = 0, uncertain = 0, excluded = 0;
    SqlStatement count(*db_, "SELECT esito, count(*) FROM destinatari WHERE invio = ?1 GROUP BY esito");
    count.bind(1, sending);
    while (count.step()) {
        const auto outcome = Outcome(count.integer(0));
        const int n = int(count.integer(1));
        total += n;
        if (Journal::delivered(outcome))
            delivered += n;
        else if (outcome == Outcome::Refused)
            refused += n;
        else if (outcome == Outcome::Uncertain || outcome == Outcome::InFlight)
            uncertain += n;
        else if (outcome == Outcome::Excluded)
            excluded += n;
        else
            notSent += n;
    }
    SqlStatement(*db_,
        "UPDATE invii SET destinatari = ?2, consegnati = ?3, rifiutati = ?4, non_inviati = ?5, incerti = ?6, "
        "esclusi = ?7 WHERE id = ?1")
        .bind(1, sending)
        .bind(2, qint64(total))
        .bind(3, qint64(delivered))
        .bind(4, qint64(refused))
        .bind(5, qint64(notSent))
        .bind(6, qint64(uncertain))
        .bind(7, qint64(excluded))
        .execute();
}

DeliveryJournal::Sending DeliveryJournal::readSending(const SqlStatement& s) const
{
    Sending out;
    out.id = s.integer(0);
    out.started = fromStamp(s.text(1));
    out.finished = fromStamp(s.text(2));
    out.cardId = qint32(s.integer(3));
    out.senderName = s.text(4);
    out.senderAddress = s.text(5);
    out.subject = s.text(6);
    out.attachment = s.text(7);
    out.route = Journal::Route(s.integer(8));
    out.privately = s.integer(9) != 0;
    out.recipients = int(s.integer(10));
    out.delivered = int(s.integer(11));
    out.refused = int(s.integer(12));
    out.notSent = int(s.integer(13));
    out.uncertain = int(s.integer(14));
    out.excluded = int(s.integer(15));
    out.running = !s.isNull(16);
    return out;
}

QList<DeliveryJournal::Sending> DeliveryJournal::sendings(qint64 beforeId, int limit, const QString& addressFilter)
{
    const QString prefix = key(addressFilter);
    QByteArray sql = QByteArray("SELECT ") + kSendingColumns + " FROM invii WHERE id < ?1";
    if (!prefix.isEmpty())
        sql += " AND id IN (SELECT invio FROM destinatari WHERE chiave >= ?3 AND chiave < ?4)";
    sql += " ORDER BY id DESC LIMIT ?2";
    SqlStatement s(*db_, sql);
    s.bind(1, beforeId > 0 ? beforeId : std::numeric_limits<qint64>::max()).bind(2, qint64(limit));
    if (!prefix.isEmpty())
        s.bind(3, prefix).bind(4, keyEnd(prefix));
    QList<Sending> out;
    while (s.step())
        out.append(readSending(s));
    return out;
}

std::optional<DeliveryJournal::Sending> DeliveryJournal::sending(qint64 id)
{
    SqlStatement s(*db_, QByteArray("SELECT ") + kSendingColumns + " FROM invii WHERE id = ?1");
    s.bind(1, id);
    if (!s.step())
        return std::nullopt;
    return readSending(s);
}

QString DeliveryJournal::body(qint64 id)
{
    SqlStatement s(*db_, "SELECT testo FROM invii WHERE id = ?1");
    s.bind(1, id);
    return s.step() ? s.text(0) : QString();
}

QList<DeliveryJournal::Recipient> DeliveryJournal::recipients(
    qint64 sending, qint64 afterRow, int limit, const QString& addressFilter)
{
    const QString prefix = key(addressFilter);
    QByteArray sql = "SELECT id, indirizzo, esito, motivo, quando FROM destinatari WHERE invio = ?1 AND id > ?2";
    if (!prefix.isEmpty())
        sql += " AND chiave >= ?4 AND chiave < ?5";
    sql += " ORDER BY id LIMIT ?3";
    SqlStatement s(*db_, sql);
    s.bind(1, sending).bind(2, afterRow).bind(3, qint64(limit));
    if (!prefix.isEmpty())
        s.bind(4, prefix).bind(5, keyEnd(prefix));
    QList<Recipient> out;
    while (s.step())
        out.append({ s.integer(0), s.text(1), Outcome(s.integer(2)), s.text(3), fromStamp(s.text(4)) });
    return out;
}

std::optional<DeliveryJournal::Sending> DeliveryJournal::lastSendingOfCard(qint32 cardId)
{
    SqlStatement s(
        *db_, QByteArray("SELECT ") + kSendingColumns + " FROM invii WHERE scheda = ?1 ORDER BY id DESC LIMIT 1");
    s.bind(1, qint64(cardId));
    if (!s.step())
        return std::nullopt;
    return readSending(s);
}

DeliveryJournal::Resumable DeliveryJournal::resumable(qint64 sending)
{
    Resumable out;
    SqlStatement s(*db_, "SELECT indirizzo, esito FROM destinatari WHERE invio = ?1 ORDER BY id");
    s.bind(1, sending);
    while (s.step()) {
        const auto outcome = Outcome(s.integer(1));
        if (Journal::delivered(outcome) || outcome == Outcome::Excluded)
            continue;
        if (outcome == Outcome::Uncertain || outcome == Outcome::InFlight)
            out.uncertain << s.text(0);
        else
            out.undelivered << s.text(0);
    }
    return out;
}

// ---------------------------------------------------------------------------

QString JournalLine::forCard(qint32 cardId)
{
    if (cardId <= 0)
        return {};
    try {
        if (!QFile::exists(DeliveryJournal::defaultPath()))
            return QStringLiteral("Mai inviata");
        DeliveryJournal journal;
        const auto last = journal.lastSendingOfCard(cardId);
        if (!last)
            return QStringLiteral("Mai inviata");
        const QString when
            = QLocale(QLocale::Italian).toString(last->started, QStringLiteral("dd/MM/yyyy 'alle' HH:mm"));
        QString text = last->delivered == 1
            ? QStringLiteral("Ultimo invio: %1 a 1 destinatario").arg(when)
            : QStringLiteral("Ultimo invio: %1 a %2 destinatari").arg(when, QString::number(last->delivered));
        const int missing = last->recipients - last->delivered - last->excluded;
        if (missing > 0)
            text += missing == 1 ? QStringLiteral(" (1 non consegnato)")
                                 : QStringLiteral(" (%1 non consegnati)").arg(missing);
        return text;
    } catch (const ESQLiteException&) {
        return {};
    }
}
