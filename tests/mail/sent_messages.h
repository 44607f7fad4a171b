#pragma once

#include "mail/private_send.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <functional>

// What the journal tests share: the addresses a stand-in sendmail received,
// and a progress window that cancels.
namespace SentMessages {

// The "To:" line of every message file in folder, sorted.
inline QStringList to(const QString& folder)
{
    QStringList out;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files)) {
        QFile in(f.filePath());
        if (!in.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : in.readAll().split('\n'))
            if (line.startsWith("To: "))
                out << QString::fromUtf8(line.mid(4).trimmed());
    }
    out.sort();
    return out;
}

// Installs itself for its lifetime; after cancelAfter messages (never when
// negative) asks to stop, and tells onAdvance after each.
struct CancellingProgress final : PrivateSend::IProgress {
    explicit CancellingProgress(int after = -1)
        : cancelAfter(after)
    {
        PrivateSend::installProgress(this);
    }
    ~CancellingProgress() override { PrivateSend::installProgress(nullptr); }
    void start(int) override { }
    bool advance(int done, int) override
    {
        if (onAdvance)
            onAdvance(done);
        return cancelAfter < 0 || done < cancelAfter;
    }
    void finish(const PrivateSend::Report& r) override { report = r; }
    int cancelAfter;
    std::function<void(int)> onAdvance;
    PrivateSend::Report report;
};

} // namespace SentMessages
