#pragma once

#include <QDateTime>
#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

// A printed result list: two rules around a title, the lines in a small
// fixed-pitch font with page breaks, and a dated footer.
struct PrintRequest {
    QString rule; // the dashes above and below the title
    QString title;
    QStringList lines;
};

struct PrintItem {
    int page = 0;
    int x = 150;
    int y = 0;
    int pointSize = 8;
    QString text;
};

struct PageMetrics {
    int pageHeight = 0;
    int h8 = 0; // font heights at 8, 12 and 14 points, in device pixels
    int h12 = 0;
    int h14 = 0;
};

namespace PrintLayout {
QList<PrintItem> layout(const PrintRequest& request, const PageMetrics& metrics, const QString& footer);
// "Stampa eseguita in data " + short date + " alle ore " + time.
QString footer(const QDateTime& when);
int pageCount(const QList<PrintItem>& items);
} // namespace PrintLayout

// Every printout goes through here; tests record the requests instead.
class IPrinterService {
public:
    virtual ~IPrinterService() = default;
    virtual void print(const PrintRequest& request) = 0;
};

namespace Printing {
IPrinterService& get();
void install(IPrinterService* service);
inline void print(const PrintRequest& request) { get().print(request); }
} // namespace Printing

// The printing system as the print service sees it; tests steer it instead
// of depending on whether the machine has a printer.
struct PrinterQueue {
    QString name; // empty: no default printer is configured
    QPageSize pageSize; // the queue's default paper; invalid: the driver's
    bool acceptsJobs = true;
};

class IPrinterSystem {
public:
    virtual ~IPrinterSystem() = default;
    virtual PrinterQueue defaultQueue() = 0;
    // A printer aimed at the queue, ready to draw on.
    virtual std::unique_ptr<QPrinter> printerFor(const PrinterQueue& queue) = 0;
};

namespace PrinterSystem {
IPrinterSystem& get();
// Installs a replacement (tests); nullptr restores the system's queues.
void install(IPrinterSystem* system);
} // namespace PrinterSystem
