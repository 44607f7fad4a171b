#include "mail/delivery_journal.h"
#include "storage/app_paths.h"
#include "storage/own_database.h"
#include "support/test_seams.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// A private sending of 500 recipients, run in a child process that is
// killed (SIGKILL) at 20 random moments and each time resumed: in the end
// every recipient has received the message exactly once, apart from the at
// most one per kill left "esito incerto" (which the user decides on; here
// they are left out), and the journal is intact.
class TestJournalKill : public QObject {
    Q_OBJECT

    static constexpr int kRecipients = 500;
    static constexpr int kKills = 20;

private slots:
    void killedAndResumed()
    {
        TempDataDir data;
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        const QString out = data.file("out"), tmp = data.file("tmp");
        QDir().mkpath(out);
        QDir().mkpath(tmp);
        // A message counts once it is whole: written aside, then moved in.
        const QString sendmail = bin.filePath("sendmail");
        {
            QFile f(sendmail);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\nt=$(mktemp \"$VELMARO_TEST_DATA/tmp/XXXXXX\")\ncat > \"$t\"\n"
                    "mv \"$t\" \"$VELMARO_TEST_DATA/out/\"\n");
            f.close();
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QStringList addresses;
        for (int i = 0; i < kRecipients; ++i)
            addresses << QStringLiteral("iscritto%1@esempio.it").arg(i, 3, 10, QLatin1Char('0'));
        const QString list = data.file("destinatari.txt");
        {
            QFile f(list);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(addresses.join('\n').toUtf8());
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELMARO_TEST_DATA", data.path());
        env.insert("VELMARO_SENDMAIL", sendmail);

        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        QRandomGenerator random(seed);
        const auto sendingExists = [] {
            DeliveryJournal journal; // opening settles what the killed child left
            return !journal.sendings(0, 1).isEmpty();
        };
        const auto run = [&](bool kill) {
            QProcess child;
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const bool resume = sendingExists();
            child.start(QStringLiteral(JOURNAL_SEND_CHILD),
                { resume ? "resume" : "send", resume ? QStringLiteral("1") : list });
            if (!child.waitForStarted())
                return false;
            if (kill) {
                // Anywhere from before the first message to well into the sending.
                child.waitForReadyRead(5000);
                QTest::qWait(int(random.bounded(150)));
                child.kill();
                child.waitForFinished();
                return true;
            }
            return child.waitForFinished(60000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
        };

        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kKills; ++i)
            QVERIFY(run(true));
        QVERIFY(run(false));
        // Stand-ins the killed children left running finish on their own.
        for (int i = 0; i < 100 && !QDir(tmp).isEmpty(); ++i)
            QTest::qWait(50);
        QTest::qWait(100);
        qInfo("%d kills and the last resumption in %lld ms", kKills, timer.elapsed());

        QHash<QString, int> received;
        for (const QFileInfo& f : QDir(out).entryInfoList(QDir::Files)) {
            QFile in(f.filePath());
            QVERIFY(in.open(QIODevice::ReadOnly));
            for (const QByteArray& line : in.readAll().split('\n'))
                if (line.startsWith("To: "))
                    ++received[QString::fromUtf8(line.mid(4).trimmed())];
        }

        DeliveryJournal journal;
        {
            SqlStatement check(journal.database(), "PRAGMA integrity_check");
            QVERIFY(check.step());
            QCOMPARE(check.text(0), QStringLiteral("ok"));
        }
        const auto sendings = journal.sendings(0, 10);
        QCOMPARE(sendings.size(), 1);
        const auto rows = journal.recipients(sendings.first().id, 0, 2 * kRecipients);
        QCOMPARE(rows.size(), kRecipients);
        int uncertain = 0;
        for (const auto& r : rows) {
            const int times = received.value(r.address);
            if (r.outcome == Journal::Outcome::Uncertain) {
                ++uncertain;
                QVERIFY2(times <= 1, qPrintable(r.address));
            } else {
                QCOMPARE(r.outcome, Journal::Outcome::AcceptedByMailProgram);
                QVERIFY2(times == 1, qPrintable(QStringLiteral("%1 received %2 times").arg(r.address).arg(times)));
            }
        }
        QVERIFY(uncertain <= kKills);
        QCOMPARE(sendings.first().uncertain, uncertain);
        QCOMPARE(sendings.first().delivered, kRecipients - uncertain);
        int total = 0;
        for (int n : received)
            total += n;
        QVERIFY(total <= kRecipients);
        qInfo("%d uncertain, %d received", uncertain, total);
    }
};

QTEST_GUILESS_MAIN(TestJournalKill)
#include "test_journal_kill.moc"
