#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Private sending: one message per recipient address, each with only that
// address in "To:", so no reader of a newsletter learns the others'.
namespace PrivateSend {

// The addresses of a comma-separated list in list order, each once
// (compared without regard to case), empty entries skipped. False, with the
// offending entry in bad, when an entry is no address.
bool recipients(const QString& list, QStringList& out, QString& bad);

struct Refusal {
    QString address;
    QString reason;
};

struct Report {
    int total = 0;
    int handedOver = 0;
    QList<Refusal> refused;
    int notSent = 0; // left over by a cancel
    int excluded = 0; // taken out before sending: they asked not to be written to
};

// The plain summary the user reads once the sending is over.
QString summary(const Report& report);

// What the sending loop tells between two messages; the window the user
// watches, installed by the user interface. Without one the loop runs
// through and the summary is not shown.
class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void start(int total) = 0;
    // After each message; false asks to stop before the next one.
    virtual bool advance(int done, int total) = 0;
    virtual void finish(const Report& report) = 0;
};

IProgress* progress();
void installProgress(IProgress* progress);

} // namespace PrivateSend
