// Writes PNG screenshots of the main windows into the folder given:
// velmaro_screenshots <folder>. Run under a display (scripts/screenshots.sh
// uses xvfb-run). The archives go to a temporary folder, never beside the
// program.

#include "contacts/frm_rubrica.h"
#include "shell/frm_avvio.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "contacts/contact_fields.h"
#include "shell/frm_password.h"
#include "shell/help_topics.h"
#include "shell/startup.h"
#include "storage/app_paths.h"
#include "ui/error_display.h"
#include "ui/modal.h"

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest/QTest>

#include <cstdio>

namespace {

QString folder;
QString nextName;
bool failed = false;

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

void shoot(QWidget* w, const QString& name)
{
    settle(400);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(path)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
        failed = true;
        return;
    }
    std::printf("%s\n", qPrintable(path));
}

QString tileControl(TfrmAvvio::Tile tile)
{
    switch (tile) {
    case TfrmAvvio::Tile::Contatti:
        return QStringLiteral("imgPazienti");
    case TfrmAvvio::Tile::Gruppi:
        return QStringLiteral("imgAppuntamenti");
    case TfrmAvvio::Tile::Messaggi:
        return QStringLiteral("imgInterventi");
    case TfrmAvvio::Tile::InvioEmail:
        return QStringLiteral("imgRicevute");
    }
    return {};
}

void place(QWidget* w, const QSize& size)
{
    // There is no window manager to maximise the window; give it a size.
    w->setWindowState(Qt::WindowNoState);
    w->resize(size);
}

} // namespace

int main(int argc, char** argv)
{
    VelmaroApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmaro"));
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: velmaro_screenshots <folder>\n");
        return 2;
    }
    folder = app.arguments().at(1);
    QDir().mkpath(folder);

    QTemporaryDir data;
    AppPaths::setDataDir(data.path());
    Startup::installTranslations();

    // Modal windows are shown, photographed and closed instead of waiting.
    Modal::install([](QDialog* dialog) {
        dialog->show();
        shoot(dialog, nextName);
        dialog->hide();
        return int(QDialog::Accepted);
    });

    Startup::createForms();
    const QSize size(1100, 720);

    // The login first, as the program opens; the launcher is shown directly.
    Startup::showFirstForm();
    shoot(frmPassword, QStringLiteral("autenticazione"));
    frmPassword->hide();
    place(frmAvvio, size);
    frmAvvio->bringBack();
    shoot(frmAvvio, QStringLiteral("avvio"));

    nextName = QStringLiteral("guida");
    frmAvvio->imgGuidaMouseUp();
    nextName = QStringLiteral("informazioni");
    frmAvvio->imgInfoMouseUp();
    nextName = QStringLiteral("presentazione");
    frmAvvio->imgCopyrightMouseUp();

    // Every form the launcher can open, and the contacts help topic.
    const struct {
        TfrmAvvio::Tile tile;
        const char* name;
    } tiles[] = { { TfrmAvvio::Tile::Contatti, "rubrica" }, { TfrmAvvio::Tile::Gruppi, "gruppi" },
        { TfrmAvvio::Tile::Messaggi, "messaggi" }, { TfrmAvvio::Tile::InvioEmail, "invia_email" } };
    for (const auto& t : tiles) {
        QWidget* form = frmAvvio->tileForm(t.tile);
        if (!form)
            continue;
        place(form, size);
        frmAvvio->bringBack();
        QTest::mouseClick(frmAvvio->findChild<QWidget*>(tileControl(t.tile)), Qt::LeftButton);
        shoot(form, QString::fromLatin1(t.name));
        if (form == frmRubrica) {
            nextName = QStringLiteral("guida_rubrica");
            const HelpTopic topic = ContactFields::helpTopic();
            frmHelpForm->showTopic(topic.title, topic.text);
        }
        form->close();
    }

    frmAvvio->resize(800, 582);
    shoot(frmAvvio, QStringLiteral("avvio_minimo"));

    Startup::destroyForms();
    return failed ? 1 : 0;
}
