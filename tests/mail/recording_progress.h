#pragma once

#include "mail/private_send.h"

#include <QList>

// Watches a private sending as the progress window would, and cancels
// after a given number of messages when asked to.
struct RecordingProgress final : PrivateSend::IProgress {
    RecordingProgress() { PrivateSend::installProgress(this); }
    ~RecordingProgress() override { PrivateSend::installProgress(nullptr); }
    void start(int total) override { started = total; }
    bool advance(int done, int) override
    {
        steps << done;
        return cancelAfter < 0 || done < cancelAfter;
    }
    void finish(const PrivateSend::Report& r) override
    {
        report = r;
        ++finished;
    }
    void abandon() override { ++abandoned; }
    int started = -1;
    int abandoned = 0;
    int cancelAfter = -1;
    int finished = 0;
    QList<int> steps;
    PrivateSend::Report report;
};
