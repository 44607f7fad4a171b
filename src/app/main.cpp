#include "contacts/contact_fields.h"
#include "shell/startup.h"
#include "ui/app_locale.h"
#include "ui/error_display.h"
#include "ui/private_send_window.h"
#include "ui/send_questions.h"

#include <QIcon>

int main(int argc, char** argv)
{
    AppLocale::install();
    VelmaroApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmaro"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmaro"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/img/logo.png")));
    Startup::installTranslations();
    PrivateSendWindow::install();
    SendQuestions::install();
    ContactFields::installPersonalFields();

    Startup::createForms();
    Startup::showFirstForm();
    const int code = app.exec();
    Startup::destroyForms();
    return code;
}
