#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

// The real message boxes, answered from a timer as soon as they are up.
namespace {

struct Seen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int width = 0;
    QString caption, text, details;
    bool found = false;
};

// Records the next modal box and presses button on it. Gives up after a few
// seconds, so a box that never shows cannot leave a timer behind for long.
void answerNextBox(Seen& seen, QMessageBox::StandardButton button)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, &seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box && ++*tries < 500)
            return;
        poll->stop();
        poll->deleteLater();
        if (!box)
            return;
        seen = { box->icon(), box->width(), box->windowTitle(), box->text(), box->detailedText(), true };
        box->button(button)->click();
    });
    poll->start(10);
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void resultBoxIsPlain()
    {
        Seen seen;
        answerNextBox(seen, QMessageBox::Ok);
        Dialogs::message(QStringLiteral("La scheda n. 1 è stata inserita in archivio."));
        QVERIFY(seen.found);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        QCOMPARE(seen.caption, QStringLiteral("Velmaro"));
    }

    void confirmationFitsItsCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("answer");
        QTest::newRow("print") << "Conferma operazione di stampa" << true;
        QTest::newRow("long caption, No") << "Conferma eliminazione definitiva della scheda dall'archivio" << false;
    }

    void confirmationFitsItsCaption()
    {
        QFETCH(QString, caption);
        QFETCH(bool, answer);
        Seen seen;
        answerNextBox(seen, answer ? QMessageBox::Yes : QMessageBox::No);
        QCOMPARE(Dialogs::confirm(caption, QStringLiteral("Stampare?")), answer);
        QVERIFY(seen.found);
        QCOMPARE(seen.caption, caption);
        QFont bold = QApplication::font();
        bold.setBold(true);
        QVERIFY2(
            seen.width >= QFontMetrics(bold).horizontalAdvance(caption) + 100, qPrintable(QString::number(seen.width)));
    }

    void errorBoxKeepsTheFullTextInItsDetails()
    {
        Seen seen;
        answerNextBox(seen, QMessageBox::Ok);
        Dialogs::error(QStringLiteral("breve"), QStringLiteral("tutto il testo"));
        QVERIFY(seen.found);
        QCOMPARE(seen.icon, QMessageBox::Critical);
        QCOMPARE(seen.text, QStringLiteral("breve"));
        QCOMPARE(seen.details, QStringLiteral("tutto il testo"));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
