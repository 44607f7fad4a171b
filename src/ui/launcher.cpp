#include "ui/launcher.h"

#include <QProcess>

Launcher::Result Launcher::run(const QString& program, const QString& argument, int waitMs, QObject* owner)
{
    auto* process = new QProcess(owner);
    process->setProgram(program);
    process->setArguments({ argument });
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start();
    if (!process->waitForStarted(-1)) {
        delete process;
        return { Result::Kind::NotStarted, 0 };
    }
    if (!process->waitForFinished(waitMs) && process->state() != QProcess::NotRunning) {
        // Deleting it would kill it.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return { Result::Kind::StillRunning, 0 };
    }
    const Result r = process->exitStatus() == QProcess::NormalExit ? Result { Result::Kind::Exited, process->exitCode() }
                                                                   : Result { Result::Kind::Crashed, 0 };
    delete process;
    return r;
}
