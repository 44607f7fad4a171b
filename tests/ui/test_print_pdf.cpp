#include "support/test_seams.h"
#include "ui/print_list.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A printing system the test sets up: a default queue or none, and a
// "printer" that writes the job into a PDF file the test then reads.
class SteeredPrinterSystem final : public IPrinterSystem {
public:
    explicit SteeredPrinterSystem(QString output)
        : output_(std::move(output))
    {
        PrinterSystem::install(this);
    }
    ~SteeredPrinterSystem() override { PrinterSystem::install(nullptr); }

    PrinterQueue defaultQueue() override { return queue; }
    std::unique_ptr<QPrinter> printerFor(const PrinterQueue& q) override
    {
        printedOn << q.name;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(output_);
        return printer;
    }

    PrinterQueue queue;
    QStringList printedOn;

private:
    QString output_;
};

QStringList manyLines()
{
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << QStringLiteral("Contatto %1  Cod. ID: C%1  Città: Forlì").arg(i);
    return lines;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPrintPdf : public QObject {
    Q_OBJECT

private slots:
    void listBecomesAPdfWithoutPrinter()
    {
        QTemporaryDir home;
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
        SteeredPrinterSystem system(home.filePath("unused.pdf"));
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        Printing::print({ QString(24, '-'), QStringLiteral("Rubrica contatti"), manyLines() });

        QCOMPARE(system.printedOn, QStringList {});
        QCOMPARE(desktop.opened.size(), 1);
        const QString pdf = desktop.opened.first();
        QVERIFY2(pdf.startsWith(home.path()), qPrintable(pdf));
        QVERIFY(dialogs.last().text.contains(pdf));
        const QByteArray bytes = readAll(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(bytes.count("/Type /Page\n") + bytes.count("/Type /Page ") + bytes.count("/Type/Page") >= 2
            || bytes.count("/Page") >= 3); // 200 lines do not fit one landscape page
    }

    // The job goes out on the paper the queue is loaded with, turned to
    // landscape, whatever the locale's usual paper is.
    void printerPaper_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::newRow("Letter") << QPageSize::Letter;
        QTest::newRow("A3") << QPageSize::A3;
        QTest::newRow("A4") << QPageSize::A4;
    }

    void printerPaper()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QTemporaryDir dir;
        SteeredPrinterSystem system(dir.filePath("job.pdf"));
        system.queue = { QStringLiteral("Ufficio"), QPageSize(paper), true };
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        Printing::print({ QString(24, '-'), QStringLiteral("Rubrica contatti"), manyLines() });

        QCOMPARE(system.printedOn, QStringList { "Ufficio" });
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(desktop.opened, QStringList {});
        const QByteArray bytes = readAll(dir.filePath("job.pdf"));
        const auto box = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                             .match(QString::fromLatin1(bytes));
        QVERIFY2(box.hasMatch(), "no page size in the job");
        const QSizeF points = QPageSize(paper).size(QPageSize::Point);
        QVERIFY2(qAbs(box.captured(1).toDouble() - points.height()) < 1.5
                && qAbs(box.captured(2).toDouble() - points.width()) < 1.5,
            qPrintable(box.captured(0)));
        QVERIFY(!QApplication::overrideCursor());
    }

    void queueRefusingJobs()
    {
        QTemporaryDir dir;
        SteeredPrinterSystem system(dir.filePath("job.pdf"));
        system.queue = { QStringLiteral("Ufficio"), QPageSize(QPageSize::A4), false };
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        Printing::print({ QString(24, '-'), QStringLiteral("Rubrica contatti"), manyLines() });

        QCOMPARE(system.printedOn, QStringList {});
        QCOMPARE(dialogs.kinds(), QStringList { "message" });
        QCOMPARE(dialogs.last().text,
            QStringLiteral("La stampante predefinita «Ufficio» non accetta lavori di stampa: l'elenco non è "
                           "stato stampato."));
        QCOMPARE(desktop.opened, QStringList {});
        QVERIFY(!QFile::exists(dir.filePath("job.pdf")));
    }
};

QTEST_MAIN(TestPrintPdf)
#include "test_print_pdf.moc"
