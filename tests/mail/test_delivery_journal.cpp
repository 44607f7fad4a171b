#include "mail/delivery.h"
#include "mail/delivery_journal.h"
#include "mail/delivery_origin.h"
#include "mail/journal_models.h"
#include "mail/journal_recorder.h"
#include "mail/mail_backend.h"
#include "mail/mapi_mail.h"
#include "mail/opt_out.h"
#include "mail/private_send.h"
#include "mail/unsubscribe.h"
#include "sent_messages.h"
#include "support/file_size_limit.h"
#include "support/test_seams.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

// The delivery journal as the mail back end writes it, against stand-in
// sendmail and mail client programs written here.
namespace {

using Journal::Outcome;
using Journal::Route;

const QString kProblem = QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                                        "Problema riscontrato: %1.");

using SentMessages::CancellingProgress;

QString failureOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const tMailFileException& e) {
        return e.message();
    }
    return QString();
}

QList<Outcome> outcomes(const QList<DeliveryJournal::Recipient>& rows)
{
    QList<Outcome> out;
    for (const auto& r : rows)
        out << r.outcome;
    return out;
}

} // namespace

class TestDeliveryJournal : public QObject {
    Q_OBJECT

    QTemporaryDir bin_;
    std::unique_ptr<TempDataDir> data_;
    std::unique_ptr<JournalRecorder> recorder_;
    struct Asked {
        QString problem;
        bool started = false;
    };
    QList<Asked> asked_;
    QList<bool> answers_;

    QString bin(const QString& name) const { return bin_.filePath(name); }
    QString out(const QString& name = {}) const { return data_->file(QStringLiteral("out/") + name); }

    void writeScript(const QString& name, const QByteArray& body)
    {
        QFile f(bin(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QStringList received() const { return SentMessages::to(out()); }

    std::optional<DeliveryJournal::Sending> lastSending()
    {
        DeliveryJournal journal;
        const auto list = journal.sendings(0, 1);
        if (list.isEmpty())
            return std::nullopt;
        return list.first();
    }

    QList<DeliveryJournal::Recipient> rowsOf(qint64 sending)
    {
        DeliveryJournal journal;
        return journal.recipients(sending, 0, 1000);
    }

    void fail(const QString& address)
    {
        QFile f(data_->file(QStringLiteral("fail")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(address.toUtf8());
    }

private slots:
    void initTestCase()
    {
        // One file per message, under the data folder's "out"; refuses (67)
        // the address written in "fail"; "status" makes every run exit so.
        writeScript("sendmail",
            "m=$(mktemp \"$VELMARO_TEST_DATA/out/XXXXXX\")\n"
            "cat > \"$m\"\n"
            "f=$(cat \"$VELMARO_TEST_DATA/fail\" 2>/dev/null)\n"
            "if [ -n \"$f\" ] && grep -qx \"To: $f\" \"$m\"; then rm \"$m\"; exit 67; fi\n"
            "s=$(cat \"$VELMARO_TEST_DATA/status\" 2>/dev/null)\n"
            "if [ -n \"$s\" ]; then rm \"$m\"; exit \"$s\"; fi\n");
        writeScript("sendmail-stuck", "exec 2>/dev/null\ncat > /dev/null\nexec sleep 30\n");
        writeScript("xdg-email",
            "printf '%s' \"$1\" > \"$VELMARO_TEST_DATA/out/client\"\n"
            "exit $(cat \"$VELMARO_TEST_DATA/client-status\" 2>/dev/null || echo 0)\n");
    }

    void init()
    {
        data_ = std::make_unique<TempDataDir>();
        QDir().mkpath(out());
        qputenv("VELMARO_TEST_DATA", QFile::encodeName(data_->path()));
        qputenv("VELMARO_SENDMAIL", QFile::encodeName(bin("sendmail")));
        qputenv("VELMARO_XDG_EMAIL", QFile::encodeName(bin("xdg-email")));
        asked_.clear();
        answers_.clear();
        recorder_ = std::make_unique<JournalRecorder>([this](const QString& problem, bool started) {
            asked_.append({ problem, started });
            return answers_.isEmpty() ? false : answers_.takeFirst();
        });
        Delivery::installObserver(recorder_.get());
    }

    void cleanup()
    {
        Delivery::installObserver(nullptr);
        recorder_.reset();
        data_.reset();
    }

    // Every route, plain and private, leaves one sending with each address
    // once and the route's own outcome.
    void recordsEachRoute_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("privately");
        QTest::addColumn<bool>("sendmail");
        QTest::addColumn<int>("route");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("excluding"); // a third address asked not to be written to
        QTest::newRow("sendmail") << false << false << true << int(Route::Sendmail)
                                  << int(Outcome::AcceptedByMailProgram) << false;
        QTest::newRow("mail client") << true << false << true << int(Route::MailClient)
                                     << int(Outcome::OpenedInMailClient) << false;
        QTest::newRow("mail client, no sendmail")
            << false << false << false << int(Route::MailClient) << int(Outcome::OpenedInMailClient) << false;
        QTest::newRow("private") << false << true << true << int(Route::Sendmail)
                                 << int(Outcome::AcceptedByMailProgram) << false;
        QTest::newRow("private, one excluded")
            << false << true << true << int(Route::Sendmail) << int(Outcome::AcceptedByMailProgram) << true;
        QTest::newRow("plain, one excluded")
            << false << false << true << int(Route::Sendmail) << int(Outcome::AcceptedByMailProgram) << true;
    }

    void recordsEachRoute()
    {
        QFETCH(bool, preview);
        QFETCH(bool, privately);
        QFETCH(bool, sendmail);
        QFETCH(int, route);
        QFETCH(int, outcome);
        QFETCH(bool, excluding);
        if (!sendmail)
            qputenv("VELMARO_SENDMAIL", QFile::encodeName(bin("nessuno")));
        if (excluding)
            OptOutList().add({ QStringLiteral("carla@x.it") }, QStringLiteral("telefonata"));
        QFile attachment(data_->file(QStringLiteral("listino è.pdf")));
        QVERIFY(attachment.open(QIODevice::WriteOnly));
        attachment.write("%PDF");
        attachment.close();
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        {
            const Delivery::OriginScope origin({ 7, 0, false });
            QCOMPARE(SendMapiMessage("",
                         QStringLiteral("anna@x.it, Bruno Neri <bruno@x.it>,ANNA@X.IT,")
                             + (excluding ? QStringLiteral("Carla@x.it") : QString()),
                         "Nicolò", "nicolo@x.it",
                         "Novità", "Gentile cliente,\r\nsaluti.", attachment.fileName(), preview, privately),
                0);
        }
        QCOMPARE(Delivery::origin().cardId, 0); // the scope is over
        const auto s = lastSending();
        QVERIFY(s);
        QCOMPARE(int(s->route), route);
        QCOMPARE(s->privately, privately);
        QCOMPARE(s->cardId, 7);
        QCOMPARE(s->subject, QStringLiteral("Novità"));
        QCOMPARE(s->senderName, QStringLiteral("Nicolò"));
        QCOMPARE(s->senderAddress, QStringLiteral("nicolo@x.it"));
        QCOMPARE(s->attachment, attachment.fileName());
        QVERIFY(s->started >= before);
        QVERIFY(s->finished >= s->started);
        QVERIFY(!s->running);
        QCOMPARE(s->recipients, excluding ? 3 : 2);
        QCOMPARE(s->delivered, 2);
        {
            DeliveryJournal journal;
            // As the recipients read it: a private sending's closing line too.
            const QString body = QStringLiteral("Gentile cliente,\r\nsaluti.");
            QCOMPARE(journal.body(s->id), Unsubscribe::bodyWith(body, Unsubscribe::load(), privately));
        }
        const auto rows = rowsOf(s->id);
        QCOMPARE(rows.size(), excluding ? 3 : 2);
        QCOMPARE(rows[0].address, QStringLiteral("anna@x.it"));
        QCOMPARE(rows[1].address, QStringLiteral("bruno@x.it"));
        for (const auto& r : rows.mid(0, 2)) {
            QCOMPARE(int(r.outcome), outcome);
            QVERIFY(r.when >= before);
        }
        // Never reserved for a hand-over, so not "non inviato" at the end.
        if (excluding)
            QCOMPARE(int(rows[2].outcome), int(Outcome::Excluded));
        for (const QFileInfo& f : QDir(out()).entryInfoList(QDir::Files)) {
            QFile sent(f.filePath());
            QVERIFY(sent.open(QIODevice::ReadOnly));
            QVERIFY(!sent.readAll().toLower().contains("carla"));
        }
        QVERIFY(asked_.isEmpty());
    }

    // A refusal is recorded with the reason the user also reads; a sending
    // refused before anything is handed over leaves no record.
    void refusalReasons_data()
    {
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("privately");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("failWith"); // "status:N", "client:N", or an address
        QTest::addColumn<QStringList>("expected"); // per address: outcome text, then ": reason"
        QTest::newRow("plain, exit 67") << false << false << "sendmail"
                                        << "status:67"
                                        << QStringList { "rifiutato: destinatario sconosciuto",
                                               "rifiutato: destinatario sconosciuto" };
        QTest::newRow("client, none found")
            << true << false << "sendmail"
            << "client:3"
            << QStringList { "rifiutato: nessun programma di posta elettronica disponibile",
                   "rifiutato: nessun programma di posta elettronica disponibile" };
        QTest::newRow("private, one refused")
            << false << true << "sendmail"
            << "b@x.it" << QStringList { "consegnato al programma di posta", "rifiutato: destinatario sconosciuto" };
        QTest::newRow("private, stuck") << false << true << "sendmail-stuck"
                                        << ""
                                        << QStringList {
                                               "rifiutato: nessuna risposta dal programma di posta entro 1 secondo",
                                               "rifiutato: nessuna risposta dal programma di posta entro 1 secondo"
                                           };
        QTest::newRow("no address: nothing recorded") << false << false << "sendmail"
                                                      << "" << QStringList {};
    }

    void refusalReasons()
    {
        QFETCH(bool, preview);
        QFETCH(bool, privately);
        QFETCH(QString, program);
        QFETCH(QString, failWith);
        QFETCH(QStringList, expected);
        qputenv("VELMARO_SENDMAIL", QFile::encodeName(bin(program)));
        if (failWith.startsWith("status:") || failWith.startsWith("client:")) {
            QFile f(data_->file(failWith.startsWith("status:") ? "status" : "client-status"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(failWith.mid(7).toLatin1());
        } else if (!failWith.isEmpty()) {
            fail(failWith);
        }
        SystemMailSubmission backend;
        backend.setSendmailTimeout(300);
        MailSubmission::install(&backend);
        const QString list = expected.isEmpty() ? "a@x.it,non valido@x.it" : "a@x.it,b@x.it";
        failureOf([&] { SendMapiMessage("", list, "", "m@x.it", "S", "T", "", preview, privately); });
        MailSubmission::install(nullptr);
        const auto s = lastSending();
        QCOMPARE(bool(s), !expected.isEmpty());
        if (!s)
            return;
        QStringList got;
        for (const auto& r : rowsOf(s->id))
            got << Journal::outcomeText(r.outcome) + (r.reason.isEmpty() ? QString() : ": " + r.reason);
        QCOMPARE(got, expected);
        QCOMPARE(s->refused, int(expected.filter("rifiutato").size()));
    }

    void cancelLeavesTheRestNotSent()
    {
        CancellingProgress progress;
        progress.cancelAfter = 2;
        QCOMPARE(SendMapiMessage("", "a@x.it,b@x.it,c@x.it,d@x.it", "", "m@x.it", "S", "T", "", false, true), 0);
        const auto s = lastSending();
        QVERIFY(s);
        QCOMPARE(outcomes(rowsOf(s->id)),
            QList<Outcome>({ Outcome::AcceptedByMailProgram, Outcome::AcceptedByMailProgram, Outcome::NotSent,
                Outcome::NotSent }));
        QCOMPARE(s->notSent, 2);
        QCOMPARE(s->undelivered(), 2);
        QVERIFY(s->finished.isValid());
        QCOMPARE(received(), QStringList({ "a@x.it", "b@x.it" }));
    }

    // Told once, before anything goes: No sends nothing, Yes sends without a
    // record.
    void journalUnwritable_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("problem");
        for (bool answer : { false, true }) {
            const char* a = answer ? "yes" : "no";
            QTest::addRow("damaged file, %s", a)
                << "damaged" << answer << "il file è danneggiato o non è un registro degli invii";
            QTest::addRow("folder in the way, %s", a)
                << "folder" << answer << "il file non può essere aperto né creato";
            // A file size limit stands for a full disk; SQLite reports the
            // refused write as an input/output error.
            QTest::addRow("write refused, %s", a) << "full" << answer << "errore di lettura o scrittura sul disco";
            QTest::addRow("read-only folder, %s", a)
                << "read-only" << answer << "il file o la sua cartella non consentono la scrittura";
        }
    }

    void journalUnwritable()
    {
        QFETCH(QString, damage);
        QFETCH(bool, answer);
        QFETCH(QString, problem);
        const QString path = DeliveryJournal::defaultPath();
        std::unique_ptr<FileSizeLimit> limit;
        if (damage == "damaged") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'x'));
        } else if (damage == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (damage == "full") {
            limit = std::make_unique<FileSizeLimit>(2048);
        } else {
            if (::geteuid() == 0)
                QSKIP("permissions do not stop root");
            {
                DeliveryJournal made;
            } // the file exists, the folder is then closed
            for (const char* f : { "", "-wal", "-shm" })
                QFile::remove(path + QLatin1String(f));
            QVERIFY(QFile::setPermissions(data_->path(), QFile::ReadOwner | QFile::ExeOwner));
        }
        answers_ = { answer };
        const QString failure
            = failureOf([] { SendMapiMessage("", "a@x.it,b@x.it", "", "m@x.it", "S", "T", "", false, true); });
        limit.reset();
        QFile::setPermissions(data_->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(asked_.size(), 1);
        QCOMPARE(asked_[0].problem, problem);
        QVERIFY(!asked_[0].started);
        QCOMPARE(failure, answer ? QString() : kProblem.arg("l'utente ha annullato la richiesta"));
        QCOMPARE(received(), answer ? QStringList({ "a@x.it", "b@x.it" }) : QStringList());
        QVERIFY(JournalRecorder::questionText(problem, false).contains(problem));
    }

    // The disk fills in the middle of a sending: asked once; No stops it.
    void journalStopsMidway_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("stop") << false;
        QTest::newRow("go on") << true;
    }

    void journalStopsMidway()
    {
        QFETCH(bool, answer);
        answers_ = { answer };
        CancellingProgress progress;
        std::unique_ptr<FileSizeLimit> limit;
        progress.onAdvance = [&](int done) {
            if (done == 1)
                limit = std::make_unique<FileSizeLimit>(QFileInfo(DeliveryJournal::defaultPath() + "-wal").size());
            if (done == 3)
                limit.reset(); // room again before the end
        };
        QCOMPARE(SendMapiMessage("", "a@x.it,b@x.it,c@x.it,d@x.it,e@x.it", "", "m@x.it", "S", "T", "", false, true), 0);
        limit.reset();
        QCOMPARE(asked_.size(), 1);
        QVERIFY(asked_[0].started);
        QCOMPARE(asked_[0].problem, QStringLiteral("errore di lettura o scrittura sul disco"));
        const auto s = lastSending();
        QVERIFY(s);
        QVERIFY(!s->running);
        const auto rows = rowsOf(s->id);
        QCOMPARE(rows.first().outcome, Outcome::AcceptedByMailProgram);
        if (answer) {
            QCOMPARE(received().size(), 5);
            QCOMPARE(progress.report.notSent, 0);
            // Sent without a record: uncertain, never "not sent".
            for (const auto& r : rows.mid(1)) {
                QCOMPARE(r.outcome, Outcome::Uncertain);
                QCOMPARE(r.reason, QStringLiteral("invio proseguito senza registrazione"));
            }
            return;
        }
        QVERIFY(received().size() < 5);
        QCOMPARE(progress.report.notSent, 5 - received().size());
        // What was written stays readable, and the sending is settled at
        // the next opening.
        for (const auto& r : rows)
            QVERIFY(r.outcome != Outcome::InFlight && r.outcome != Outcome::Pending && r.outcome != Outcome::Reserved);
    }

    // A sending whose program stopped: the one in flight is uncertain, those
    // reserved are not sent, unless the computer was restarted (a power cut
    // may have lost the outcomes written after the reservation).
    void recovery_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<QList<Outcome>>("after");
        const QList<Outcome> sent { Outcome::AcceptedByMailProgram, Outcome::Refused };
        QTest::newRow("program killed") << "killed"
                                        << sent
                + QList<Outcome> { Outcome::Uncertain, Outcome::NotSent, Outcome::NotSent, Outcome::NotSent };
        QTest::newRow("computer restarted")
            << "restarted"
            << sent + QList<Outcome> { Outcome::Uncertain, Outcome::Uncertain, Outcome::Uncertain, Outcome::NotSent };
        const QList<Outcome> untouched
            = sent + QList<Outcome> { Outcome::InFlight, Outcome::Reserved, Outcome::Reserved, Outcome::Pending };
        QTest::newRow("still sending elsewhere") << "alive" << untouched;
        // A data folder shared by several computers.
        QTest::newRow("another computer sending") << "other computer" << untouched;
        QTest::newRow("another computer, quiet for hours")
            << "other computer, quiet"
            << sent + QList<Outcome> { Outcome::Uncertain, Outcome::Uncertain, Outcome::Uncertain, Outcome::NotSent };
    }

    void recovery()
    {
        QFETCH(QString, who);
        QFETCH(QList<Outcome>, after);
        QProcess other;
        QString tag;
        const QString boot = ProcessTag::current().section(' ', 0, 0);
        if (who == "killed") {
            tag = boot + " 999999999 1";
        } else if (who == "restarted") {
            tag = "un-altro-avvio " + QString::number(::getpid()) + " 1";
        } else if (who.startsWith("other computer")) {
            tag = "un-altro-avvio 1 1 un-altro-computer";
        } else {
            other.start("sleep", { "30" });
            QVERIFY(other.waitForStarted());
            tag = ProcessTag::of(other.processId());
            QVERIFY(ProcessTag::alive(tag));
        }
        qint64 id = 0;
        {
            DeliveryJournal journal;
            QList<qint64> rows;
            id = journal.addSending(
                { QDateTime::currentDateTime(), 0, {}, "m@x.it", "S", "T", {}, Route::Sendmail, true },
                { "a@x.it", "b@x.it", "c@x.it", "d@x.it", "e@x.it", "f@x.it" }, rows);
            journal.setOutcomes(
                { { rows[0], Outcome::AcceptedByMailProgram, {} }, { rows[1], Outcome::Refused, "x" } });
            journal.markHandingOver({ rows[3], rows[4] }, { rows[2] }, true);
            SqlStatement(journal.database(), "UPDATE invii SET processo = ?1").bind(1, tag).execute();
            if (who.endsWith("quiet")) {
                SqlStatement(journal.database(), "UPDATE invii SET inizio = '2026-01-02T10:00:00'").execute();
                SqlStatement(journal.database(), "UPDATE destinatari SET quando = '2026-01-02T10:05:00'").execute();
            }
            DeliveryJournal::release(id);
        }
        DeliveryJournal reopened;
        QCOMPARE(outcomes(reopened.recipients(id, 0, 10)), after);
        const auto s = reopened.sending(id);
        const bool running = who == "alive" || who == "other computer";
        QCOMPARE(s->running, running);
        if (!running) {
            QCOMPARE(s->delivered, 1);
            QCOMPARE(s->refused, 1);
            QCOMPARE(s->uncertain, int(after.count(Outcome::Uncertain)));
            QCOMPARE(s->notSent, int(after.count(Outcome::NotSent)));
        }
        other.kill();
        other.waitForFinished();
    }

    // "Riprendi invio" writes only to those without a delivered outcome,
    // the uncertain ones when asked, and updates the same sending.
    void resumeSendsOnlyToUndelivered()
    {
        fail("b@x.it");
        {
            CancellingProgress progress;
            progress.cancelAfter = 3;
            QCOMPARE(SendMapiMessage("", "a@x.it,b@x.it,c@x.it,d@x.it,e@x.it", "Ufficio", "m@x.it", "Novità", "Testo",
                         "", false, true),
                0);
        }
        const qint64 id = lastSending()->id;
        {
            // As if the program had stopped while handing c@x.it over.
            DeliveryJournal journal;
            SqlStatement(journal.database(), "UPDATE destinatari SET esito = ?1 WHERE indirizzo = 'c@x.it'")
                .bind(1, qint64(Outcome::Uncertain))
                .execute();
            journal.recount(id);
            QCOMPARE(ResumeSending::recipients(journal, id, false), QStringList({ "b@x.it", "d@x.it", "e@x.it" }));
            QCOMPARE(
                ResumeSending::recipients(journal, id, true), QStringList({ "b@x.it", "d@x.it", "e@x.it", "c@x.it" }));
        }
        QFile::remove(data_->file("fail"));
        QDir(out()).removeRecursively();
        QDir().mkpath(out());
        {
            DeliveryJournal journal;
            QVERIFY(ResumeSending::send(id, ResumeSending::recipients(journal, id, false)));
        }
        QCOMPARE(received(), QStringList({ "b@x.it", "d@x.it", "e@x.it" }));
        auto s = lastSending();
        QCOMPARE(s->id, id); // no new sending
        QCOMPARE(s->subject, QStringLiteral("Novità"));
        QCOMPARE(s->delivered, 4);
        QCOMPARE(s->uncertain, 1);
        QCOMPARE(rowsOf(id).size(), 5);

        QVERIFY(ResumeSending::send(id, { "c@x.it" }));
        s = lastSending();
        QCOMPARE(s->delivered, 5);
        {
            DeliveryJournal journal;
            QVERIFY(ResumeSending::recipients(journal, id, true).isEmpty());
        }
        QVERIFY(!ResumeSending::send(id, {}));
    }

    // The window's lists read a page at a time as they are scrolled.
    void listsReadPages()
    {
        DeliveryJournal journal;
        QStringList to;
        for (int i = 0; i < 1200; ++i)
            to << QStringLiteral("iscritto%1@x.it").arg(i);
        QList<qint64> rows;
        qint64 last = 0;
        for (int i = 0; i < 250; ++i)
            last = journal.addSending(
                { QDateTime::currentDateTime(), 0, {}, "m@x.it", QString::number(i), "T", {}, Route::Sendmail, true },
                i == 249 ? to : QStringList { "a@x.it" }, rows);
        JournalSendingsModel sendings;
        sendings.load(&journal);
        QCOMPARE(sendings.rowCount(), JournalSendingsModel::kPage);
        QCOMPARE(sendings.sendingAt(0).id, last);
        QCOMPARE(sendings.data(sendings.index(0, JournalSendingsModel::Recipients), Qt::DisplayRole).toString(),
            QStringLiteral("1200"));
        QVERIFY(sendings.canFetchMore({}));
        sendings.fetchMore({});
        QCOMPARE(sendings.rowCount(), 250);
        QVERIFY(!sendings.canFetchMore({}));

        JournalRecipientsModel recipients;
        recipients.load(&journal, last);
        QList<int> counts { recipients.rowCount() };
        while (recipients.canFetchMore({})) {
            recipients.fetchMore({});
            counts << recipients.rowCount();
        }
        QCOMPARE(counts, QList<int>({ 500, 1000, 1200 }));
        QCOMPARE(recipients.recipientAt(1199).address, QStringLiteral("iscritto1199@x.it"));
        recipients.load(&journal, last, "iscritto11");
        QCOMPARE(recipients.rowCount(), 111); // 11, 110-119, 1100-1199
        QVERIFY(!recipients.canFetchMore({}));
    }

    void lineOfTheCard()
    {
        QCOMPARE(JournalLine::forCard(0), QString());
        QCOMPARE(JournalLine::forCard(3), QStringLiteral("Mai inviata"));
        QVERIFY(!QFile::exists(DeliveryJournal::defaultPath())); // looking creates nothing
        fail("b@x.it");
        {
            const Delivery::OriginScope origin({ 3, 0, false });
            SendMapiMessage("", "a@x.it,b@x.it,c@x.it", "", "m@x.it", "S", "T", "", false, true);
        }
        const QString line = JournalLine::forCard(3);
        QVERIFY2(QRegularExpression("^Ultimo invio: \\d\\d/\\d\\d/\\d{4} alle \\d\\d:\\d\\d a 2 destinatari "
                                    "\\(1 non consegnato\\)$")
                     .match(line)
                     .hasMatch(),
            qPrintable(line));
        QCOMPARE(JournalLine::forCard(4), QStringLiteral("Mai inviata"));
    }

    // Chosen to send without a record (the user's answer once): nothing
    // written, nothing asked.
    void unrecordedOrigin()
    {
        const Delivery::OriginScope origin({ 0, 0, true });
        QCOMPARE(SendMapiMessage("", "a@x.it", "", "m@x.it", "S", "T", "", false, true), 0);
        QVERIFY(!QFile::exists(DeliveryJournal::defaultPath()));
        QVERIFY(asked_.isEmpty());
    }
};

QTEST_MAIN(TestDeliveryJournal)
#include "test_delivery_journal.moc"
