#include "ui/desktop.h"

#include "ui/launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

// QDesktopServices::openUrl answers true as soon as xdg-open has started, so a
// file no program is set for would pass in silence. xdg-open's exit status
// says it: 0 opened, 3 no program for it, 4 the program failed. Without a
// desktop session it waits for the program it starts; one still running
// after this long has opened the file.
constexpr int kOpenerDecisionMs = 2000;

bool runOpener(const QString& opener, const QString& argument)
{
    // Owned by the application: a viewer that outlives the wait is left
    // running, and at the end of the program only the waiting xdg-open goes.
    const Launcher::Result r = Launcher::run(opener, argument, kOpenerDecisionMs, QCoreApplication::instance());
    return r.kind == Launcher::Result::Kind::StillRunning
        || (r.kind == Launcher::Result::Kind::Exited && r.exitCode == 0);
}

class QtDesktop final : public IDesktop {
public:
    bool open(const QString& target) override
    {
        const QString t = target.trimmed();
        QUrl url;
        QString argument;
        if (t.contains(QLatin1Char(':')) && !QFileInfo(t).isAbsolute()) {
            url = QUrl(t, QUrl::TolerantMode); // mailto:, http:, https:
            argument = QString::fromLatin1(url.toEncoded());
        } else {
            argument = QFileInfo(QDir::cleanPath(t)).absoluteFilePath();
            url = QUrl::fromLocalFile(argument);
        }
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty())
            return QDesktopServices::openUrl(url);
        return runOpener(opener, argument);
    }
    QString openFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    }
    QString existingDirectory(QWidget* parent, const QString& caption, const QString& start) override
    {
        // Qt's own dialog, so that the button for making a new folder can be
        // taken away; folders only, resizable.
        QFileDialog dialog(parent, caption, start);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly);
        if (auto* newFolder = dialog.findChild<QWidget*>(QStringLiteral("newFolderButton")))
            newFolder->hide();
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    }
};

IDesktop* installed = nullptr;

} // namespace

IDesktop& Desktop::get()
{
    static QtDesktop real;
    return installed ? *installed : real;
}

void Desktop::install(IDesktop* desktop) { installed = desktop; }

QString Desktop::cannotOpenText(const QString& target)
{
    const QFileInfo info(target.trimmed());
    const QString path = QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.isDir())
        return QStringLiteral("Attenzione: non è stato possibile aprire la cartella \u00ab%1\u00bb: nessun programma "
                              "risulta impostato per aprire le cartelle.")
            .arg(path);
    return QStringLiteral("Attenzione: non è stato possibile aprire il file \u00ab%1\u00bb: nessun programma risulta "
                          "impostato per aprire questo tipo di file.")
        .arg(path);
}
