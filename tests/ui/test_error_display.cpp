#include "storage/error_summary.h"
#include "storage/sqlite_table3.h"
#include "support/test_seams.h"
#include "ui/error_display.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>


#include <memory>

// The error box shows a storage failure readably: SQLite's text and the
// statement's opening, the whole message behind "details".
class TestErrorDisplay : public QObject {
    Q_OBJECT

private slots:
    void summary_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown"); // empty: the message itself, no details
        const QString values = QStringLiteral("'Rossi', 'Via Roma 1', '") + QString(5000, 'n') + QStringLiteral("')");
        QTest::newRow("plain") << "Field ID Not found. Empty dataset"
                               << "";
        QTest::newRow("short statement") << "Error executing SQL \"SELEC x\" : near \"SELEC\": syntax error"
                                         << "";
        QTest::newRow("long statement")
            << "Error executing SQL statement \"INSERT INTO contatti (varContatto, varIndirizzo, varNote) VALUES ("
                + values + "\" : UNIQUE constraint failed: contatti.ID"
            << QStringLiteral(
                   "Error executing SQL statement \"INSERT INTO contatti (varContatto, varIndirizzo, varNote) "
                   "VALUES ('Rossi', 'Via Roma 1', 'nnnnnnnnnn\u2026\" : UNIQUE constraint failed: "
                   "contatti.ID");
        QTest::newRow("statement on several lines")
            << "Could not retrieve data \"SELECT *\r\nFROM messaggi\nWHERE varNote LIKE '%x%'\" : disk I/O error"
            << "Could not retrieve data \"SELECT *\u2026\" : disk I/O error";
        QTest::newRow("double quotes inside")
            << "Error executing SQL \"SELECT \"a\" : \"b\"\n, 1\" : no such column: b"
            << "Error executing SQL \"SELECT \"a\" : \"b\"\u2026\" : no such column: b";
        QTest::newRow("long text without a statement") << QString(400, 'x') << QString(300, 'x') + QChar(0x2026);
    }

    void summary()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        const ErrorSummary::Text text = ErrorSummary::of(message);
        QCOMPARE(text.shown, shown.isEmpty() ? message : shown);
        QCOMPARE(text.details, shown.isEmpty() ? QString() : message);
    }

    // The common failures, met on real archives, lead with an Italian
    // sentence; SQLite's own text stays, whole in the details.
    void commonFailuresInItalian_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("lead");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("in use elsewhere") << "busy" << "L'archivio è in uso da un'altra postazione"
                                          << "database is locked";
        QTest::newRow("read-only") << "readonly" << "L'archivio è di sola lettura"
                                   << "attempt to write a readonly database";
        QTest::newRow("disk full") << "full" << "Il disco è pieno"
                                   << "database or disk is full";
        QTest::newRow("damaged file") << "damaged" << "Il file dell'archivio è danneggiato"
                                      << "file is not a database";
        QTest::newRow("cannot open") << "missing folder" << "Impossibile aprire il file dell'archivio"
                                     << "unable to open database file";
    }

    void commonFailuresInItalian()
    {
        QFETCH(QString, situation);
        QFETCH(QString, lead);
        QFETCH(QString, sqlite);
        QTemporaryDir dir;
        const QString file = dir.filePath("a.db");
        {
            TSQLiteDatabase db(file);
            db.Execute("CREATE TABLE contatti (ID INTEGER PRIMARY KEY, varNote BLOB)");
        }
        std::unique_ptr<TSQLiteDatabase> other;
        if (situation == "busy") {
            other = std::make_unique<TSQLiteDatabase>(file);
            other->Execute("BEGIN IMMEDIATE;");
        } else if (situation == "damaged") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        ScriptedDialogs dialogs;
        QVERIFY(!ErrorDisplay::guard([&] {
            TSQLiteDatabase db(situation == "missing folder" ? dir.filePath("manca/a.db") : file);
            db.Query("PRAGMA busy_timeout = 50;");
            if (situation == "readonly")
                db.Execute("PRAGMA query_only = 1;");
            if (situation == "full")
                db.Query("PRAGMA max_page_count = 2;");
            db.Execute("INSERT INTO contatti (varNote) VALUES ('" + QByteArray(8000, 'n') + "')");
        }));
        QCOMPARE(dialogs.kinds(), QStringList { "error" });
        const auto box = dialogs.last();
        QVERIFY2(box.text.startsWith(lead), qPrintable(box.text));
        QVERIFY2(box.text.contains(sqlite), qPrintable(box.text));
        QVERIFY2(box.details.endsWith(QStringLiteral(" : ") + sqlite), qPrintable(box.details));
    }

    void storageFailureReachesTheBoxReadably()
    {
        QTemporaryDir dir;
        ScriptedDialogs dialogs;
        const QByteArray note = "Citt\xe0 di Forl\xec " + QByteArray(20000, 'n');
        QVERIFY(!ErrorDisplay::guard([&] {
            TSQLiteDatabase db(dir.filePath("a.db"));
            db.Execute("CREATE TABLE contatti (ID INTEGER PRIMARY KEY, varNote BLOB)");
            db.Execute("INSERT INTO contatti (varNote, varCitt\xe0) VALUES ('" + note + "', 'Forl\xec')");
        }));
        QCOMPARE(dialogs.kinds(), QStringList { "error" });
        const auto box = dialogs.last();
        QVERIFY2(box.text.size() < 250, qPrintable(box.text));
        QVERIFY2(box.text.endsWith(QStringLiteral(" : table contatti has no column named varCitt\u00e0")),
            qPrintable(box.text));
        QVERIFY(box.text.startsWith(QStringLiteral("Error executing SQL \"INSERT INTO contatti (varNote, ")));
        QVERIFY(box.details.contains(
            QStringLiteral("Citt\u00e0 di Forl\u00ec ") + QString(20000, 'n') + "', 'Forl\u00ec')"));
        QVERIFY(box.details.endsWith(box.text.mid(box.text.lastIndexOf(QStringLiteral("\" : ")))));
    }
};

QTEST_MAIN(TestErrorDisplay)
#include "test_error_display.moc"
