#include "storage/sqlite_table3.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

class TestSQLiteTable3 : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    template <typename F> static QString failureOf(F&& body)
    {
        try {
            body();
        } catch (const ESQLiteException& e) {
            return e.message();
        }
        return QStringLiteral("<no failure>");
    }

private slots:
    void cursorWalksRows()
    {
        TSQLiteDatabase db(file("cursor.db"));
        db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, v BLOB)");
        for (int i = 0; i < 3; ++i)
            db.Execute("INSERT INTO t (v) VALUES ('x')");
        auto t = db.Query("SELECT * FROM t");
        QCOMPARE(t->RowCount(), 3u);
        QVERIFY(!t->AtEnd());
        QCOMPARE(t->IntegerAt(0), 1);
        QVERIFY(t->Next());
        QVERIFY(t->Next());
        QCOMPARE(t->IntegerAt(0), 3);
        QVERIFY(t->Next()); // past the last row: at end
        QVERIFY(t->AtEnd());
        QVERIFY(!t->Next());
        QCOMPARE(failureOf([&] { t->IntegerAt(0); }), QStringLiteral("Table is at End of File"));
        QCOMPARE(failureOf([&] { t->BlobAt(1); }), QStringLiteral("Table is at End of File"));
        QVERIFY(t->Last());
        QCOMPARE(t->IntegerAt(0), 3);
        QVERIFY(!t->GoTo(3)); // equal to the row count: refused, cursor stays
        QVERIFY(!t->GoTo(-1));
        QCOMPARE(t->CurrentRow(), 2u);
        QVERIFY(t->GoTo(1));
        QCOMPARE(t->IntegerAt(0), 2);
        QVERIFY(t->First());
        QCOMPARE(t->IntegerAt(0), 1);
    }

    void emptyResult()
    {
        TSQLiteDatabase db(file("empty.db"));
        db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, v BLOB)");
        auto t = db.Query("SELECT * FROM t");
        QCOMPARE(t->RowCount(), 0u);
        QVERIFY(t->AtEnd());
        QVERIFY(!t->First());
        QVERIFY(!t->Last());
        QVERIFY(!t->GoTo(0));
        QCOMPARE(failureOf([&] { t->ColumnIndex("ID"); }), QStringLiteral("Field ID Not found. Empty dataset"));
    }

    void valuesByKind()
    {
        TSQLiteDatabase db(file("kinds.db"));
        db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, b BLOB, i INTEGER, li int, r REAL, "
                   "n NUMERIC, tx TEXT, bo BOOLEAN)");
        db.Execute("INSERT INTO t VALUES (NULL, '', 42, 7, 2.75, -3.9, 'abc', 1)");
        db.Execute("INSERT INTO t (b) VALUES (NULL)");
        auto t = db.Query("SELECT *, 5 AS e FROM t");
        QCOMPARE(t->Kind(t->ColumnIndex("b")), ColumnKind::Blob);
        QCOMPARE(t->Kind(t->ColumnIndex("i")), ColumnKind::Integer);
        QCOMPARE(t->Kind(t->ColumnIndex("li")), ColumnKind::Text); // only the exact type names count; "int" is text
        QCOMPARE(t->Kind(t->ColumnIndex("r")), ColumnKind::Numeric);
        QCOMPARE(t->Kind(t->ColumnIndex("bo")), ColumnKind::Integer);
        QCOMPARE(t->Kind(t->ColumnIndex("e")), ColumnKind::Integer); // expression: first row's type
        QCOMPARE(t->ColumnNames().first(), QStringLiteral("ID"));

        // An empty blob reads back exactly like NULL.
        QVERIFY(t->BlobAt(t->ColumnIndex("b")) == nullptr);
        QCOMPARE(t->BlobTextAt(t->ColumnIndex("b")), QByteArray());
        QCOMPARE(t->IntegerAt(t->ColumnIndex("i")), 42);
        QCOMPARE(t->IntegerAt(t->ColumnIndex("r")), 2);
        QCOMPARE(t->IntegerAt(t->ColumnIndex("n")), -3); // truncated toward zero
        QCOMPARE(
            failureOf([&] { t->IntegerAt(t->ColumnIndex("tx")); }), QStringLiteral("Not an integer or numeric field"));
        QCOMPARE(failureOf([&] { t->BlobAt(t->ColumnIndex("tx")); }), QStringLiteral("Not a Blob field"));
        QCOMPARE(failureOf([&] { t->ColumnIndex("nessuna"); }), QStringLiteral("Field not found in dataset: nessuna"));
        QVERIFY(t->Next());
        QCOMPARE(t->IntegerAt(t->ColumnIndex("i")), 0); // NULL integer is 0
        QVERIFY(t->BlobAt(t->ColumnIndex("b")) == nullptr);
    }

    void blobTextKeepsEveryByte()
    {
        TSQLiteDatabase db(file("bytes.db"));
        db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, v BLOB)");
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            if (b != '\'')
                all += char(b);
        db.Execute("INSERT INTO t (v) VALUES ('" + all + "')");
        auto t = db.Query("SELECT * FROM t");
        QCOMPARE(t->BlobTextAt(t->ColumnIndex("V")), all);
    }

    void failureMessages_data()
    {
        QTest::addColumn<QByteArray>("sql");
        QTest::addColumn<bool>("query");
        QTest::addColumn<QString>("message");
        QTest::newRow("prepare") << QByteArray("SELEC x") << false
                                 << QStringLiteral("Error executing SQL \"SELEC x\" : near \"SELEC\": syntax error");
        QTest::newRow("no statement") << QByteArray("  -- only a comment") << false
                                      << QStringLiteral("Could not prepare SQL statement \"  -- only a comment\" : "
                                                        "No message");
        QTest::newRow("execute with rows")
            << QByteArray("SELECT 1") << false
            << QStringLiteral("Error executing SQL statement \"SELECT 1\" : another row available");
        QTest::newRow("query prepare") << QByteArray("SELECT * FROM missing") << true
                                       << QStringLiteral("Error executing SQL \"SELECT * FROM missing\" : no such "
                                                         "table: missing");
        QTest::newRow("Windows-1252 quoted back")
            << QByteArray("SELECT * FROM citt\xe0") << true
            << QStringLiteral("Error executing SQL \"SELECT * FROM citt\u00e0\" : no such table: citt\u00e0");
        QTest::newRow("query step")
            << QByteArray("SELECT abs(-9223372036854775807 - 1)") << true
            << QStringLiteral("Could not retrieve data \"SELECT abs(-9223372036854775807 - 1)\" : integer overflow");
    }

    void failureMessages()
    {
        QFETCH(QByteArray, sql);
        QFETCH(bool, query);
        QFETCH(QString, message);
        TSQLiteDatabase db(file("fail.db"));
        QCOMPARE(failureOf([&] {
            if (query)
                db.Query(sql);
            else
                db.Execute(sql);
        }),
            message);
    }

    // A prepared statement runs many times with new values and reads rows in
    // place; its failures read like the others, in Windows-1252.
    void preparedStatement()
    {
        TSQLiteDatabase db(file("prepared.db"));
        db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, v BLOB, w BLOB CONSTRAINT \"verific\xe0\" "
                   "CHECK (w <> 'no'))");
        auto insert = db.Prepare("INSERT INTO t (v, w) VALUES (?, ?)");
        const QByteArray values[] = { "Citt\xe0", QByteArray(), QByteArray("a\0b", 3) };
        const QByteArray ok = "si";
        for (const QByteArray& v : values) {
            insert->BindText(1, v);
            insert->BindText(2, ok);
            QVERIFY(!insert->Step());
            insert->Reset();
        }
        const QByteArray refused = "no";
        insert->BindText(2, refused);
        QCOMPARE(failureOf([&] { insert->Step(); }),
            QStringLiteral("Error executing SQL statement \"INSERT INTO t (v, w) VALUES (?, ?)\" : CHECK constraint "
                           "failed: verificà"));
        QCOMPARE(failureOf([&] { insert->Step([] { return QByteArray("INSERT ... 'no'"); }); }),
            QStringLiteral("Error executing SQL statement \"INSERT ... 'no'\" : CHECK constraint failed: verificà"));

        auto rows = db.Prepare("SELECT ID, v, ID / 2.0 FROM t ORDER BY ID");
        QCOMPARE(rows->ColumnCount(), 3);
        QList<QByteArray> read;
        while (rows->Step()) {
            const QByteArray inPlace = rows->BytesAt(1); // SQLite's, until the next step
            read << QByteArray(inPlace.constData(), inPlace.size());
            QCOMPARE(rows->IntegerAt(0), qint64(read.size()));
            QCOMPARE(rows->FloatAt(2), read.size() / 2.0);
        }
        QCOMPARE(read, (QList<QByteArray> { values[0], QByteArray(), values[2] }));
        QCOMPARE(failureOf([&] { db.Prepare("SELEC x"); }),
            QStringLiteral("Error executing SQL \"SELEC x\" : near \"SELEC\": syntax error"));
        QCOMPARE(failureOf([&] { db.Prepare("-- nulla"); }),
            QStringLiteral("Could not prepare SQL statement \"-- nulla\" : No message"));
    }

    void openFailure()
    {
        const QString name = dir_.filePath("no/such/folder/x.db");
        QCOMPARE(failureOf([&] { TSQLiteDatabase db(name); }),
            QStringLiteral("Failed to open database \"%1\" : unable to open database file").arg(name));
    }

    void transactions()
    {
        const QString f = file("tx.db");
        {
            TSQLiteDatabase db(f);
            db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, v BLOB)");
            db.StartTransaction();
            QCOMPARE(failureOf([&] { db.StartTransaction(); }), QStringLiteral("Transaction already open"));
            db.Execute("INSERT INTO t (v) VALUES ('kept?')");
            QCOMPARE(failureOf([&] { db.Execute("INSERT INTO nowhere VALUES (1)"); }).left(19),
                QStringLiteral("Error executing SQL"));
            QVERIFY(db.InTransaction()); // a failed statement leaves it open
        } // destroyed: rolled back
        TSQLiteDatabase again(f);
        again.StartTransaction(); // the file is not locked any more
        QCOMPARE(again.Query("SELECT * FROM t")->RowCount(), 0u);
        again.Execute("INSERT INTO t (v) VALUES ('x')");
        again.CommitTransaction();
        QVERIFY(!again.InTransaction());
        QCOMPARE(again.LastInsertedRowId(), 1);
    }

    void hasTableIgnoresCase()
    {
        TSQLiteDatabase db(file("has.db"));
        QVERIFY(!db.HasTable("contatti"));
        db.Execute("CREATE TABLE contatti (ID INTEGER PRIMARY KEY)");
        QVERIFY(db.HasTable("CONTATTI"));
        QVERIFY(db.HasTable("Contatti"));
    }

    void doubleQuotedLiteralsAndTwoStatements()
    {
        TSQLiteDatabase db(file("dqs.db"));
        db.Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, v BLOB)");
        db.Execute("INSERT INTO t (v) VALUES (\"doppio\")");
        // Only the first of two statements runs.
        db.Execute("INSERT INTO t (v) VALUES ('uno'); INSERT INTO t (v) VALUES ('due')");
        auto t = db.Query("SELECT v FROM t ORDER BY ID; SELECT 1");
        QCOMPARE(t->RowCount(), 2u);
        QCOMPARE(t->BlobTextAt(0), QByteArray("doppio"));
        QVERIFY(t->Next());
        QCOMPARE(t->BlobTextAt(0), QByteArray("uno"));
    }

    void likeIsByteWise_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("ascii folded") << QByteArray("Rossi Mario") << QByteArray("%ROSSI%") << true;
        QTest::newRow("accent exact") << QByteArray("Citt\xe0") << QByteArray("%\xe0%") << true;
        QTest::newRow("accent other") << QByteArray("Citt\xe0") << QByteArray("%\xe8%") << false;
        QTest::newRow("accent case") << QByteArray("\xc8 vero") << QByteArray("%\xe8%") << false;
        QTest::newRow("percent literal text") << QByteArray("sconto 10% netto") << QByteArray("%10%%") << true;
        QTest::newRow("underscore") << QByteArray("ab") << QByteArray("a_") << true;
        QTest::newRow("underscore too short") << QByteArray("a") << QByteArray("a_") << false;
        QTest::newRow("empty key") << QByteArray("") << QByteArray("%%") << true;
        QTest::newRow("backtracking") << QByteArray("aaab") << QByteArray("%a%b") << true;
        QTest::newRow("no match") << QByteArray("verdi") << QByteArray("%rossi%") << false;
    }

    void likeIsByteWise()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, pattern);
        QFETCH(bool, matches);
        TSQLiteDatabase db(file("like.db"));
        db.Execute("DROP TABLE IF EXISTS t");
        db.Execute("CREATE TABLE t (v BLOB)");
        db.Execute("INSERT INTO t VALUES ('" + value + "')");
        QCOMPARE(db.Query("SELECT * FROM t WHERE v LIKE '" + pattern + "'")->RowCount(), matches ? 1u : 0u);
    }

    void busyTimeoutWaitsForALock()
    {
        const QString f = file("busy.db");
        TSQLiteDatabase a(f);
        a.Execute("CREATE TABLE t (v BLOB)");
        sqlite3* raw = nullptr;
        QCOMPARE(sqlite3_open(f.toUtf8().constData(), &raw), SQLITE_OK);
        sqlite3_exec(raw, "BEGIN IMMEDIATE; INSERT INTO t VALUES ('x');", nullptr, nullptr, nullptr);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(failureOf([&] { a.Execute("INSERT INTO t VALUES ('y')"); }).endsWith("database is locked"));
        QVERIFY(timer.elapsed() >= TSQLiteDatabase::kBusyTimeoutMs / 2); // it waited, not failed at once
        sqlite3_exec(raw, "COMMIT;", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        a.Execute("INSERT INTO t VALUES ('y')");
    }
};

QTEST_GUILESS_MAIN(TestSQLiteTable3)
#include "test_sqlite_table3.moc"
