#include "ui/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace {

class QtDesktop final : public IDesktop {
public:
    bool open(const QString& target) override
    {
        const QString t = target.trimmed();
        QUrl url;
        if (t.contains(QLatin1Char(':')) && !QFileInfo(t).isAbsolute())
            url = QUrl(t, QUrl::TolerantMode); // mailto:, http:, https:
        else
            url = QUrl::fromLocalFile(QDir::cleanPath(t));
        return QDesktopServices::openUrl(url);
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
