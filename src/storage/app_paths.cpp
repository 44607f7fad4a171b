#include "storage/app_paths.h"

#include "storage/card_text.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString manualName = QStringLiteral("Guida.pdf");
const QString systemDocDir = QStringLiteral("/usr/share/doc/velmaro");

QString chosenDir;
QString fakeProgramDir;
QString fakeDocDir;
// Decided once a run, so the archives never move while it goes on.
std::optional<AppPaths::DataFolder> decided;

QString withoutTrailingSlash(const QString& dir) { return dir.size() > 1 && dir.endsWith(u'/') ? dir.chopped(1) : dir; }

} // namespace

bool AppPaths::isWritableFolder(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(dir);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    // The kernel's answer covers read-only file systems and access lists.
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    return ::geteuid() != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

bool AppPaths::isSystemFolder(const QString& dir)
{
    const QString clean = QDir::cleanPath(dir);
    for (const QString& root : { QStringLiteral("/usr"), QStringLiteral("/bin"), QStringLiteral("/sbin") }) {
        if (clean == root || clean.startsWith(root + u'/'))
            return true;
    }
    return false;
}

AppPaths::DataFolder AppPaths::choose(const QString& chosen, const QString& programDir, const QString& userDir)
{
    if (!chosen.isEmpty())
        return { withoutTrailingSlash(chosen), DataPlace::Chosen };
    if (!isSystemFolder(programDir) && isWritableFolder(programDir))
        return { withoutTrailingSlash(programDir), DataPlace::BesideProgram };
    return { withoutTrailingSlash(userDir), DataPlace::UserFolder };
}

QString AppPaths::programDir()
{
    return fakeProgramDir.isEmpty() ? QCoreApplication::applicationDirPath() : fakeProgramDir;
}

QString AppPaths::userDataDir()
{
    // AppDataLocation follows the asking program's name; velmaro-password
    // must find the same folder as the program.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Velmaro");
}

AppPaths::DataFolder AppPaths::dataFolder()
{
    if (!decided) {
        decided = choose(chosenDir, programDir(), userDataDir());
        if (decided->place == DataPlace::UserFolder && !QFileInfo::exists(decided->path)) {
            // Cards hold personal data: the folder is the user's only. A
            // failure shows when a file is first opened there.
            QDir().mkpath(QFileInfo(decided->path).path());
            QDir().mkdir(decided->path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    return *decided;
}

QString AppPaths::dataDir() { return dataFolder().path; }

QString AppPaths::beside(const QString& name) { return CardText::trimmed(dataDir() + QLatin1Char('/') + name); }

void AppPaths::setDataDir(const QString& dir)
{
    chosenDir = dir;
    decided.reset();
}

QStringList AppPaths::manualFolders()
{
    return { programDir(), fakeDocDir.isEmpty() ? systemDocDir : fakeDocDir };
}

QString AppPaths::manual()
{
    for (const QString& dir : manualFolders()) {
        const QString path = dir + u'/' + manualName;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

void AppPaths::setInstallFolders(const QString& programDir, const QString& docDir)
{
    fakeProgramDir = programDir;
    fakeDocDir = docDir;
    decided.reset();
}
