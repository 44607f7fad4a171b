#include "support/test_seams.h"
#include "ui/print_list.h"

#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

// Without a configured printer the list becomes a PDF the viewer opens.
class TestPrintPdf : public QObject {
    Q_OBJECT

private slots:
    void listBecomesAPdfWithoutPrinter()
    {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a default printer is configured here");
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        QStringList lines;
        for (int i = 0; i < 200; ++i)
            lines << QStringLiteral("Contatto %1  Cod. ID: C%1  Città: Forlì").arg(i);
        Printing::print({ QString(24, '-'), QStringLiteral("Rubrica contatti"), lines });

        QCOMPARE(desktop.opened.size(), 1);
        const QString pdf = desktop.opened.first();
        QVERIFY2(pdf.startsWith(home.path()), qPrintable(pdf));
        QVERIFY(dialogs.last().text.contains(pdf));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ") + bytes.count("/Type/Page") >= 2
            || bytes.count("/Page") >= 3); // 200 lines do not fit one landscape page
    }
};

QTEST_MAIN(TestPrintPdf)
#include "test_print_pdf.moc"
