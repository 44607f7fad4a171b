#include "mail/opt_out.h"
#include "storage/sqlite_table3.h"
#include "support/test_seams.h"

#include <QtTest>

// The list of addresses that asked not to receive mailings, and the rule by
// which a recipient list is compared with it.
class TestOptOut : public QObject {
    Q_OBJECT

private slots:
    void addListRemove()
    {
        TempDataDir data;
        OptOutList list;
        QCOMPARE(list.path(), data.file(QStringLiteral("Esclusioni.db")));
        const QDateTime monday(QDate(2024, 3, 4), QTime(9, 30, 0));
        QCOMPARE(
            list.add({ " Anna@X.it ", "Bruno Neri <BRUNO@x.it>", "anna@x.it" }, QStringLiteral("telefonata"), monday),
            2);
        // Listed again later: the first request's date and note stay.
        QCOMPARE(
            list.add({ "ANNA@x.IT", "carla@x.it" }, QStringLiteral("modulo web\r\nriga due"), monday.addDays(1)), 1);
        const QList<OptOutList::Entry> all = list.entries();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all[0].address, QStringLiteral("anna@x.it"));
        QCOMPARE(all[0].added, monday);
        QCOMPARE(all[0].note, QStringLiteral("telefonata"));
        QCOMPARE(all[1].address, QStringLiteral("bruno@x.it"));
        QCOMPARE(all[2].note, QStringLiteral("modulo web  riga due"));

        QCOMPARE(list.listed({ "a@y.it", "CARLA@X.IT ", "Anna <anna@x.it>" }),
            QStringList({ "CARLA@X.IT ", "Anna <anna@x.it>" }));
        QCOMPARE(list.entries(QStringLiteral("WEB")).size(), 1);
        QCOMPARE(list.entries(QStringLiteral("x.it")).size(), 3);
        QCOMPARE(list.remove({ "Anna@x.it", "nessuno@x.it" }), 1);
        QCOMPARE(list.count(), 2);
        QCOMPARE(list.keys(), QSet<QString>({ "bruno@x.it", "carla@x.it" }));
    }

    void keptInItsOwnFileAsUtf8()
    {
        TempDataDir data;
        OptOutList().add({ "zoë@x.it" }, QStringLiteral("richiesta di Nicolò: «basta» €"));
        TSQLiteDatabase db(data.file(QStringLiteral("Esclusioni.db")));
        const auto row = db.Prepare("SELECT indirizzo, nota, typeof(nota) FROM esclusi;");
        QVERIFY(row->Step());
        QCOMPARE(row->BytesAt(0), QStringLiteral("zoë@x.it").toUtf8());
        QCOMPARE(row->BytesAt(1), QStringLiteral("richiesta di Nicolò: «basta» €").toUtf8());
        QCOMPARE(row->BytesAt(2), QByteArray("text"));
        // No archive file is created or touched.
        QCOMPARE(QDir(data.path()).entryList(QDir::Files), QStringList({ "Esclusioni.db" }));
    }

    void readingCreatesNothing()
    {
        TempDataDir data;
        OptOutList list;
        QVERIFY(list.keys().isEmpty());
        QVERIFY(list.listed({ "a@x.it" }).isEmpty());
        QVERIFY(list.entries().isEmpty());
        QCOMPARE(list.count(), 0);
        QVERIFY(!QFile::exists(list.path()));
    }

    void unreadableFileFails()
    {
        TempDataDir data;
        QFile f(data.file(QStringLiteral("Esclusioni.db")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        // A damaged list must stop a sending rather than let it pass as empty.
        QVERIFY_THROWS_EXCEPTION(ESQLiteException, OptOutList().keys());
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("addresses");
        QTest::addColumn<QStringList>("rejected");
        QTest::newRow("one a line") << "a@x.it\r\nB@x.it\n\nc@x.it\n"
                                    << QStringList { "a@x.it", "b@x.it", "c@x.it" } << QStringList {};
        QTest::newRow("commas and semicolons")
            << "a@x.it, b@x.it;c@x.it;" << QStringList { "a@x.it", "b@x.it", "c@x.it" } << QStringList {};
        QTest::newRow("blanks and tabs") << "a@x.it b@x.it\tc@x.it" << QStringList { "a@x.it", "b@x.it", "c@x.it" }
                                         << QStringList {};
        QTest::newRow("named entries") << "Anna Bianchi <Anna@x.it>\n\"Neri, B.\" <b@x.it>"
                                       << QStringList { "anna@x.it", "b@x.it" } << QStringList { "\"Neri" };
        QTest::newRow("each once") << "a@x.it\nA@X.IT\n a@x.it " << QStringList { "a@x.it" } << QStringList {};
        QTest::newRow("not addresses") << "a@x.it\nMario Rossi\nb@\n@x.it b@x.it" << QStringList { "a@x.it", "b@x.it" }
                                       << QStringList { "Mario Rossi", "b@", "@x.it" };
        QTest::newRow("nothing") << " \n, ;" << QStringList {} << QStringList {};
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, addresses);
        QFETCH(QStringList, rejected);
        const OptOut::Parsed p = OptOut::parse(text);
        QCOMPARE(p.addresses, addresses);
        QCOMPARE(p.rejected, rejected);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QStringList>("excluded");
        QTest::newRow("nothing listed") << "a@x.it,b@x.it"
                                        << "a@x.it,b@x.it" << QStringList {};
        QTest::newRow("other case and blanks") << "a@x.it, ANNA@X.IT ,b@x.it,  Bruno@X.it"
                                               << "a@x.it,b@x.it" << QStringList { "ANNA@X.IT", "Bruno@X.it" };
        QTest::newRow("named entry") << "Anna <anna@x.it>,c@x.it"
                                     << "c@x.it" << QStringList { "Anna <anna@x.it>" };
        QTest::newRow("all") << "anna@x.it,,bruno@x.it,"
                             << "" << QStringList { "anna@x.it", "bruno@x.it" };
        QTest::newRow("no address kept as it is") << "mario rossi,anna@x.it"
                                                  << "mario rossi" << QStringList { "anna@x.it" };
    }

    void filter()
    {
        QFETCH(QString, list);
        QFETCH(QString, kept);
        QFETCH(QStringList, excluded);
        const OptOut::Filtered f = OptOut::filter(list, { "anna@x.it", "bruno@x.it" });
        QCOMPARE(f.list, kept);
        QCOMPARE(f.excluded, excluded);
        QCOMPARE(f.kept, int(kept.split(QLatin1Char(','), Qt::SkipEmptyParts).size()));
    }
};

QTEST_GUILESS_MAIN(TestOptOut)
#include "test_opt_out.moc"
