#include "storage/error_summary.h"
#include "storage/sqlite_table3.h"
#include "support/test_seams.h"
#include "ui/error_display.h"

#include <QTemporaryDir>
#include <QtTest>

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
