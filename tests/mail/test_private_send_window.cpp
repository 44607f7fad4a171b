#include "storage/ini_file.h"
#include "support/test_seams.h"
#include "mail/private_send_window.h"

#include <QCheckBox>
#include <QFile>
#include <QProgressDialog>
#include <QtTest>

// The window of a private sending, and the remembered choice.
class TestPrivateSendWindow : public QObject {
    Q_OBJECT

private slots:
    void windowCountsCancelsAndSums()
    {
        ScriptedDialogs dialogs;
        PrivateSendWindow window;
        QApplication::setOverrideCursor(Qt::WaitCursor); // the send button's hourglass
        window.start(3);
        QVERIFY(!QApplication::overrideCursor()); // off while the window shows
        QVERIFY(window.dialog());
        QCOMPARE(window.dialog()->maximum(), 3);
        QVERIFY(window.advance(1, 3));
        QCOMPARE(window.dialog()->labelText(), QStringLiteral("1 di 3"));
        QCOMPARE(window.dialog()->value(), 1);
        window.dialog()->cancel();
        QVERIFY(!window.advance(2, 3));

        PrivateSend::Report report;
        report.total = 3;
        report.handedOver = 2;
        report.notSent = 1;
        window.finish(report);
        QVERIFY(!window.dialog());
        QCOMPARE(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor,
            Qt::WaitCursor);
        QApplication::restoreOverrideCursor();
        QCOMPARE(dialogs.kinds(), QStringList { "message" });
        QCOMPARE(dialogs.last().text, PrivateSend::summary(report));
    }

    void choiceRoundTripsThroughMessaggiIni()
    {
        TempDataDir dir;
        const QString ini = dir.file(QStringLiteral("Messaggi.ini"));
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("; mittenti\r\n[Invio Email]\r\nNome Mittente=Ufficio\r\nEmail Mittente=u@x.it\r\n\r\n"
                    "[Archivio Messaggi]\r\nNome Mittente=Segreteria\r\n");
        }
        QVERIFY(!PrivateSendChoice::remembered(QStringLiteral("Invio Email"))); // older file: unticked

        QCheckBox box;
        PrivateSendChoice::bind(&box, QStringLiteral("Invio Email"));
        QVERIFY(!box.isChecked());
        box.setChecked(true);
        QVERIFY(PrivateSendChoice::remembered(QStringLiteral("Invio Email")));
        QVERIFY(!PrivateSendChoice::remembered(QStringLiteral("Archivio Messaggi")));
        QCheckBox again;
        PrivateSendChoice::bind(&again, QStringLiteral("Invio Email"));
        QVERIFY(again.isChecked());

        const IniFile file(ini);
        QCOMPARE(file.read("Invio Email", "Nome Mittente"), QStringLiteral("Ufficio"));
        QCOMPARE(file.read("Invio Email", "Email Mittente"), QStringLiteral("u@x.it"));
        QCOMPARE(file.read("Archivio Messaggi", "Nome Mittente"), QStringLiteral("Segreteria"));
        QFile raw(ini);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().startsWith("; mittenti\r\n"));
    }
};

QTEST_MAIN(TestPrivateSendWindow)
#include "test_private_send_window.moc"
