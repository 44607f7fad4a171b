#include "groups/group_lists.h"

#include <QtTest>

class TestGroupLists : public QObject {
    Q_OBJECT

private slots:
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
