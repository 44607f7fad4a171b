#pragma once

#include "ui/print_layout.h"

#include <QDateTime>
#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

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
