#include "groups/group_lists.h"

#include <QtTest>

class TestGroupLists : public QObject {
    Q_OBJECT

private slots:
    void pastedLines_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("one line unchanged") << " a@x.it " << "," << " a@x.it ";
        QTest::newRow("CR LF addresses") << "a@x.it\r\nb@y.it\r\n" << "," << "a@x.it,b@y.it";
        QTest::newRow("names, blanks and empty lines") << " Rossi Mario \n\n\tBianchi Anna\r" << ", "
                                                       << "Rossi Mario, Bianchi Anna";
        QTest::newRow("paragraph separator") << QString("a@x") + QChar(0x2029) + "b@y" << "," << "a@x,b@y";
        QTest::newRow("only line breaks") << "\r\n\n" << "," << "";
    }

    void pastedLines()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, separator);
        QFETCH(QString, inserted);
        QCOMPARE(GroupLists::joinPastedLines(pasted, separator), inserted);
    }

    void mailtoLimit()
    {
        // "mailto:" (7) + list: the last length that can still be handed over.
        const QString fits(GroupLists::kLongestMailto - 7, QLatin1Char('a'));
        QVERIFY(GroupLists::mailtoFits(fits));
        QVERIFY(!GroupLists::mailtoFits(fits + QLatin1Char('a')));
        // Blanks and accented letters travel percent-encoded.
        QCOMPARE(GroupLists::mailtoLength(QStringLiteral("a b")), 7 + 5);
        QCOMPARE(GroupLists::mailtoLength(QStringLiteral("è")), 7 + 6);
    }
};

QTEST_MAIN(TestGroupLists)
#include "test_group_lists.moc"
