// From main to the login window painted, against a bare Qt program that
// shows one empty window, both offscreen, each a fresh process, median of 10.
// bench_startup runs itself with --velmaro and --bare; each child prints its
// milliseconds from main to the first paint.
#include "bench_util.h"
#include "shell/frm_password.h"
#include "shell/startup.h"
#include "storage/app_paths.h"
#include "ui/error_display.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

QElapsedTimer sinceMain;

// Ends the loop at the window's first paint and prints the time.
class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            std::printf("%.3f\n", double(sinceMain.nsecsElapsed()) / 1e6);
            QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool done_ = false;
};

int velmaro(int argc, char** argv)
{
    VelmaroApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmaro"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/img/logo.png")));
    QTemporaryDir data; // the archives stay out of the build tree
    AppPaths::setDataDir(data.path());
    Startup::installTranslations();
    Startup::createForms();
    FirstPaint paint;
    frmPassword->installEventFilter(&paint);
    Startup::showFirstForm();
    const int code = app.exec();
    Startup::destroyForms();
    return code;
}

int bare(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget w;
    FirstPaint paint;
    w.installEventFilter(&paint);
    w.show();
    return app.exec();
}

std::vector<double> runs(const QString& self, const char* mode, int n)
{
    std::vector<double> ms;
    for (int i = 0; i < n; ++i) {
        QProcess p;
        p.start(self, { QString::fromLatin1(mode) });
        p.waitForFinished(60000);
        ms.push_back(p.readAllStandardOutput().trimmed().toDouble());
    }
    std::sort(ms.begin(), ms.end());
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    sinceMain.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && std::strcmp(argv[1], "--velmaro") == 0)
        return velmaro(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--bare") == 0)
        return bare(argc, argv);

    QCoreApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    runs(self, "--velmaro", 1); // warm the file cache
    const std::vector<double> bareMs = runs(self, "--bare", 10);
    const std::vector<double> velmaroMs = runs(self, "--velmaro", 10);
    const double b = bareMs[bareMs.size() / 2];
    report("bare Qt window: main to first paint", b);
    report("Velmaro: main to login painted", velmaroMs[velmaroMs.size() / 2], b);
    return 0;
}
