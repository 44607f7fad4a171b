#include "ui/list_find.h"
#include "ui/list_line.h"
#include "ui/print_list.h"
#include "ui/search_forms.h"
#include "ui/short_date.h"

#include <QtTest>

class TestSearchLogic : public QObject {
    Q_OBJECT

private slots:
    void findWalksAndWraps()
    {
        const QStringList lines = { "Bianchi", "Rossi Anna", "Verdi", "ROSSI Bruno", "Neri", "Rossetti" };
        ListFind find;
        int sel = -1;
        QList<int> picked;
        for (int click = 0; click < 4; ++click) {
            sel = find.next(lines, sel, QStringLiteral("ros"));
            picked << sel;
        }
        QCOMPARE(picked, (QList<int> { 1, 3, 5, 1 }));
        // A new key starts again from the top, the selected line included.
        QCOMPARE(find.next(lines, 3, QStringLiteral("neri")), 4);
        QCOMPARE(find.next(lines, 4, QStringLiteral("bianchi")), 0);
        QCOMPARE(find.next(lines, 0, QStringLiteral("bianchi")), 0); // the only match, found again
        QCOMPARE(find.next(lines, 0, QStringLiteral("zzz")), -1);
        QCOMPARE(find.next(lines, 0, QString()), -1); // an empty key never matches
    }

    void findComparesAsciiCaseOnly()
    {
        ListFind find;
        const QStringList lines = { "CITTÀ", "città" };
        QCOMPARE(find.next(lines, -1, QStringLiteral("CITTà")), 1);
        QCOMPARE(ListFind::lowerAscii(QStringLiteral("ÀBC")), QStringLiteral("Àbc"));
    }

    void lineBuilding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expectedStart");
        QTest::newRow("short") << "  Rossi  " << QStringLiteral("Rossi") + QString(30, ' ') + "  Cod. ID: ";
        QTest::newRow("36 chars") << QString(35, 'a') + "b" << QString(35, 'a') + "  Cod. ID: ";
        QTest::newRow("empty") << "" << QString(35, ' ') + "  Cod. ID: ";
    }

    void lineBuilding()
    {
        QFETCH(QString, name);
        QFETCH(QString, expectedStart);
        const ListLineSpec layout({ { "varContatto", {}, 35 }, { {}, "  Cod. ID: ", 11 }, { "varCodice", {}, 20 },
            { {}, "  Note: ", -1 }, { "varNote", {}, -1 } });
        const QString line = layout.build({ name, "C1", " nota lunga oltre ogni limite " });
        QVERIFY2(line.startsWith(expectedStart), qPrintable(line));
        QCOMPARE(line.size(), 35 + 11 + 20 + 8 + 28);
        QVERIFY(line.endsWith("  Note: nota lunga oltre ogni limite"));
    }

    void printLayoutBreaksPages()
    {
        PageMetrics m { 1000, 10, 15, 18 };
        QStringList lines;
        for (int i = 0; i < 60; ++i)
            lines << QString::number(i);
        const auto items = PrintLayout::layout({ "----", "Rubrica contatti", lines }, m, "piede");
        QCOMPARE(items[0].y, 36);
        QCOMPARE(items[0].pointSize, 14);
        QCOMPARE(items[1].text, QStringLiteral("Rubrica contatti"));
        QCOMPARE(items[1].y, 51);
        QCOMPARE(items[2].y, 66);
        QCOMPARE(items[3].y, 96); // first line
        QCOMPARE(items[3].pointSize, 8);
        // Lines go on while y < 1000 - 30: 96, 116, ..., 956 (44 lines).
        QCOMPARE(items[3 + 43].y, 956);
        QCOMPARE(items[3 + 43].page, 0);
        QCOMPARE(items[3 + 44].page, 1);
        QCOMPARE(items[3 + 44].y, 20);
        for (const PrintItem& it : items)
            QCOMPARE(it.x, 150);
        const PrintItem footer = items.last();
        QCOMPARE(footer.text, QStringLiteral("piede"));
        QCOMPARE(footer.page, 1);
        QCOMPARE(footer.y, 20 + 16 * 20 + 150);
        QCOMPARE(items[items.size() - 2].text, QString(20, '_'));
        QCOMPARE(PrintLayout::pageCount(items), 2);
    }

    void footerNeverFallsOffThePage()
    {
        PageMetrics m { 300, 10, 15, 18 };
        QStringList lines;
        for (int i = 0; i < 8; ++i)
            lines << QString::number(i);
        const auto items = PrintLayout::layout({ "-", "t", lines }, m, "piede");
        QCOMPARE(items.last().page, 1);
        QVERIFY(items.last().y + 10 <= 300);
    }

    void footerUsesTheProgramDateFormat()
    {
        ShortDate::useDayMonthYear();
        QCOMPARE(PrintLayout::footer(QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7))),
            QStringLiteral("Stampa eseguita in data 09/03/2026 alle ore 14:05:07"));
        ShortDate::reset();
    }

    void appendingPickedValues_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("result");
        QTest::newRow("empty") << "  "
                               << ","
                               << "b@y";
        QTest::newRow("trimmed") << " a@x "
                                 << ","
                                 << "a@x,b@y";
        QTest::newRow("names") << "Anna"
                               << ", "
                               << "Anna, b@y";
    }

    void appendingPickedValues()
    {
        QFETCH(QString, field);
        QFETCH(QString, separator);
        QFETCH(QString, result);
        QCOMPARE(PickerText::appended(field, "b@y", separator), result);
    }
};

QTEST_MAIN(TestSearchLogic)
#include "test_search_logic.moc"
