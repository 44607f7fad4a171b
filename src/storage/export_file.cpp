#include "storage/export_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString writeError(const QString& folder, const QString& detail)
{
    return QStringLiteral("Impossibile scrivere il file di esportazione nella cartella \u00ab%1\u00bb: %2")
        .arg(QDir::toNativeSeparators(folder), detail);
}

// Moves from to to unless to exists: 0, or the errno of the failure.
int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without the flag: a hard link fails on an existing name
    // just the same.
    if (::link(from.constData(), to.constData()) != 0)
        return errno;
    ::unlink(from.constData());
    return 0;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

QString ExportFile::firstWritable(const QStringList& candidates)
{
    for (const QString& dir : candidates) {
        if (dir.isEmpty())
            continue;
        const QFileInfo info(dir);
        if (info.isDir() && info.isWritable())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QString ExportFile::folder()
{
    const QString found = firstWritable({ QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QDir::homePath(), QDir::tempPath() });
    return found.isEmpty() ? QDir::tempPath() : found;
}

QString ExportFile::baseName(const QString& title, const QDateTime& when)
{
    return title + QLatin1Char(' ') + when.toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
}

ExportFile::Result ExportFile::publish(
    const QString& folder, const QString& title, const QString& suffix, const Writer& writer, const QDateTime& when)
{
    Result result;
    const QDir dir(folder);
    QTemporaryFile temp(dir.filePath(QStringLiteral(".velmaro-export-XXXXXX.tmp")));
    if (!dir.exists() || !temp.open()) {
        result.error = writeError(folder, dir.exists() ? temp.errorString() : QStringLiteral("la cartella non esiste."));
        return result;
    }
    temp.close();
    // The temporary file is removed when temp goes, unless it was published.
    const QString tempPath = temp.fileName();
    const QString failure = writer(tempPath);
    if (!failure.isEmpty()) {
        result.error = writeError(folder, failure);
        return result;
    }
    const QByteArray from = QFile::encodeName(tempPath);
    ::chmod(from.constData(), newFileMode());

    const QString base = baseName(title, when);
    for (int n = 1; n < 1000; ++n) {
        const QString name = n == 1 ? base + QLatin1Char('.') + suffix
                                    : QStringLiteral("%1 (%2).%3").arg(base).arg(n).arg(suffix);
        const QString target = dir.filePath(name);
        const int error = renameNoReplace(from, QFile::encodeName(target));
        if (error == 0) {
            temp.setAutoRemove(false);
            result.path = target;
            return result;
        }
        if (error != EEXIST) {
            result.error = writeError(folder, systemError(error) + QLatin1Char('.'));
            return result;
        }
    }
    result.error = writeError(folder, QStringLiteral("troppi file con lo stesso nome."));
    return result;
}
