#include "ui/print_list.h"

#include "storage/export_file.h"
#include "storage/app_error.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/form_look.h"
#include "ui/short_date.h"

#include <QDateTime>
#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <cups/cups.h>

namespace {

QFont courier(int size)
{
    QFont f(QStringLiteral("Courier New"), size);
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(false);
    f.setUnderline(false);
    return f;
}

void draw(QPrinter& printer, const PrintRequest& request)
{
    // The fixed offsets of the layout are meant for a 600 dpi device.
    printer.setResolution(600);
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Impossibile avviare la stampa.");
    PageMetrics m;
    m.pageHeight = printer.pageLayout().paintRectPixels(printer.resolution()).height();
    m.h8 = QFontMetrics(courier(8), &printer).height();
    m.h12 = QFontMetrics(courier(12), &printer).height();
    m.h14 = QFontMetrics(courier(14), &printer).height();
    const auto items = PrintLayout::layout(request, m, PrintLayout::footer(QDateTime::currentDateTime()));
    int page = 0;
    painter.setPen(Qt::black);
    for (const PrintItem& item : items) {
        while (page < item.page) {
            printer.newPage();
            ++page;
        }
        painter.setFont(courier(item.pointSize));
        painter.drawText(QPoint(item.x, item.y + QFontMetrics(painter.font(), &printer).ascent()), item.text);
    }
    painter.end();
}

class QtPrinterService final : public IPrinterService {
public:
    void print(const PrintRequest& request) override
    {
        const PrinterQueue queue = PrinterSystem::get().defaultQueue();
        if (!queue.name.isEmpty()) {
            // CUPS takes a job for a queue that refuses jobs and drops it, and
            // Qt reports success: the user would wait for paper that never comes.
            if (!queue.acceptsJobs) {
                Dialogs::message(QStringLiteral("La stampante predefinita «%1» non accetta lavori di stampa: "
                                                "l'elenco non è stato stampato.")
                                     .arg(queue.name));
                return;
            }
            BusyCursor busy;
            const std::unique_ptr<QPrinter> printer = PrinterSystem::get().printerFor(queue);
            printer->setColorMode(QPrinter::Color);
            // Qt keeps the locale's paper (A4) whatever the queue is loaded with.
            if (queue.pageSize.isValid())
                printer->setPageSize(queue.pageSize);
            printer->setPageOrientation(QPageLayout::Landscape);
            printer->setDocName(request.title);
            draw(*printer, request);
            return;
        }
        // No printer configured: the same pages become a PDF the viewer opens,
        // under a fresh name (two prints in one second keep both) and never
        // half-written.
        QString file;
        {
            BusyCursor busy;
            const ExportFile::Result result = ExportFile::publish(ExportFile::folder(),
                QStringLiteral("Velmaro - ") + request.title, QStringLiteral("pdf"), [&request](const QString& temp) {
                    QPrinter printer(QPrinter::HighResolution);
                    printer.setOutputFormat(QPrinter::PdfFormat);
                    printer.setOutputFileName(temp);
                    printer.setPageOrientation(QPageLayout::Landscape);
                    try {
                        draw(printer, request);
                    } catch (const std::exception& e) {
                        return QString::fromUtf8(e.what());
                    }
                    return QString();
                });
            if (!result.ok())
                throw AppError(result.error);
            file = result.path;
        }
        Dialogs::message(QStringLiteral("Nessuna stampante predefinita: l'elenco è stato salvato nel file\n%1")
                             .arg(QDir::toNativeSeparators(file)));
        Desktop::open(file);
    }
};

IPrinterService* installed = nullptr;

class CupsPrinterSystem final : public IPrinterSystem {
public:
    PrinterQueue defaultQueue() override
    {
        // With no printer configured QPrinter silently becomes a PDF printer
        // without a file, so the queue is asked for first.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return {};
        PrinterQueue queue;
        queue.name = info.printerName();
        queue.pageSize = info.defaultPageSize();
        const QByteArray name = queue.name.toUtf8();
        if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr)) {
            const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
            queue.acceptsJobs = !accepting || qstrcmp(accepting, "false") != 0;
            cupsFreeDests(1, dest);
        }
        return queue;
    }

    std::unique_ptr<QPrinter> printerFor(const PrinterQueue& queue) override
    {
        return std::make_unique<QPrinter>(QPrinterInfo::printerInfo(queue.name), QPrinter::HighResolution);
    }
};

IPrinterSystem* installedSystem = nullptr;

} // namespace

IPrinterSystem& PrinterSystem::get()
{
    static CupsPrinterSystem real;
    return installedSystem ? *installedSystem : real;
}

void PrinterSystem::install(IPrinterSystem* system) { installedSystem = system; }

IPrinterService& Printing::get()
{
    static QtPrinterService real;
    return installed ? *installed : real;
}

void Printing::install(IPrinterService* service) { installed = service; }
