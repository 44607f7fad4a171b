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
        return QFileDialog::getExistingDirectory(parent, caption, start);
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
