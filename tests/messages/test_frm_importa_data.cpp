#include "messages/frm_importa_data.h"
#include "ui/short_date.h"

#include <QAbstractItemModel>
#include <QCalendarWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

// The date picker reads Italian on a system in another language (the suite
// runs under LC_ALL=C.UTF-8).
class TestFrmImportaData : public QObject {
    Q_OBJECT

private slots:
    void italianCalendarWithoutWeekNumbers()
    {
        TfrmImportaData form;
        QCalendarWidget* calendar = form.calendar();
        calendar->setSelectedDate(QDate(2024, 3, 5));
        form.show();
        QCOMPARE(calendar->verticalHeaderFormat(), QCalendarWidget::NoVerticalHeader);
        auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
        QVERIFY(month);
        QCOMPARE(month->text().toLower(), QStringLiteral("marzo"));
        const QAbstractItemModel* days
            = calendar->findChild<QTableView*>(QStringLiteral("qt_calendar_calendarview"))->model();
        QStringList header;
        for (int c = 0; c < days->columnCount(); ++c)
            header << days->data(days->index(0, c)).toString().toLower();
        QCOMPARE(header, QStringList({ "lun", "mar", "mer", "gio", "ven", "sab", "dom" }));
    }

    void shortDateIsItalianUntilAQuickSearch()
    {
        ShortDate::reset();
        QCOMPARE(ShortDate::text(QDate(2024, 3, 5)), QStringLiteral("05/03/24"));
        ShortDate::useDayMonthYear();
        QCOMPARE(ShortDate::text(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
        ShortDate::reset();
    }
};

QTEST_MAIN(TestFrmImportaData)
#include "test_frm_importa_data.moc"
