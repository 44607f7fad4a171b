#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Private sending: one message per recipient address, each with only that
// address in "To:", so no reader of a newsletter learns the others'.
namespace PrivateSend {

// The addresses of a comma-separated list in list order, each once
// (compared without regard to case), empty entries skipped; repeated counts
// the entries left out as repeats. False, with the offending entry in bad,
// when an entry is no address.
bool recipients(const QString& list, QStringList& out, QString& bad, int* repeated = nullptr);

struct Refusal {
    QString address;
    QString reason;
};

struct Report {
    int total = 0;
    int handedOver = 0;
    QList<Refusal> refused;
    int notSent = 0; // left over by a cancel, or by stopReason
    int repeated = 0; // addresses listed more than once, sent once
    bool privately = true; // one message per recipient, or one for all
    bool toServer = false; // handed to the mail server itself, not to a mail program
    QString stopReason; // why the sending stopped early, when the user did not cancel it
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
    // Now and then while a step waits on something slow (a server); false
    // when the user asked to stop.
    virtual bool idle() { return true; }
    // The sending failed before anything was handed over: the window goes
    // without a summary, the failure is reported as an error instead.
    virtual void abandon() { }
};

IProgress* progress();
void installProgress(IProgress* progress);

} // namespace PrivateSend
