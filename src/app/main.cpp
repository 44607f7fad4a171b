#include "app/command_line.h"
#include "mail/private_send_window.h"
#include "shell/startup.h"
#include "storage/app_paths.h"
#include "ui/app_locale.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"

#include <QIcon>

#ifndef VELMARO_DESKTOP_ID
#define VELMARO_DESKTOP_ID "velmaro"
#endif

namespace {

const QString program = QStringLiteral("Velmaro");

QString description()
{
    return QStringLiteral("Archivio di contatti, gruppi di destinatari e messaggi con invio di newsletter.\n\n"
                          "Archivi, password e mittenti ricordati stanno nella cartella del programma\n"
                          "quando vi si può scrivere, altrimenti in\n  %1\n"
                          "--dati indica un'altra cartella.")
        .arg(AppPaths::userDataDir());
}

QStringList arguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace

int main(int argc, char** argv)
{
    // Help and version are printed without opening a display.
    if (CommandLine::asksToPrint(arguments(argc, argv))) {
        QCoreApplication core(argc, argv);
        CommandLine::prepare(program);
        return CommandLine(core.arguments()).printRequested(description()).value_or(0);
    }

    AppLocale::install();
    VelmaroApplication app(argc, argv);
    CommandLine::prepare(program);
    QGuiApplication::setDesktopFileName(QStringLiteral(VELMARO_DESKTOP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/img/logo.png")));

    // Qt has taken its own options (-platform, -style) out by now.
    const CommandLine line(app.arguments());
    if (const auto status = line.printRequested(description())) {
        if (line.failed()) // started from a menu, nobody reads the terminal
            Dialogs::message(line.errorText());
        return *status;
    }
    if (!line.dataDir().isEmpty())
        AppPaths::setDataDir(line.dataDir());

    PrivateSendWindow::install();
    Startup::createForms();
    Startup::showFirstForm();
    const int code = app.exec();
    Startup::destroyForms();
    return code;
}
