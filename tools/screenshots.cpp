// Writes PNG screenshots of the main windows into the folder given:
// velmaro_screenshots <folder>. Run under a display (scripts/screenshots.sh
// uses xvfb-run). The archives go to a temporary folder, never beside the
// program; a few made-up contacts are stored there for the search pictures.

#include "archives/archive_registry.h"
#include "contacts/frm_rubrica.h"
#include "shell/frm_avvio.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/frm_password.h"
#include "shell/help_topics.h"
#include "shell/startup.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"
#include "storage/win1252.h"
#include "ui/error_display.h"
#include "ui/modal.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest/QTest>

#include <cstdio>
#include <functional>

namespace {

QString folder;
QString nextName;
// Run on a modal form after it is shown, before and after it is photographed.
std::function<void(QDialog*)> beforeShot;
std::function<void(QDialog*)> afterShot;
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

// The pointer rests in the screen's bottom-right corner, outside every
// window, so no control is photographed under it or lit by it.
void pointerAway()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        QCursor::setPos(screen->geometry().bottomRight());
}

void shoot(QWidget* w, const QString& name)
{
    pointerAway();
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

// A few made-up contacts, so the search finds something to list.
void storeSampleContacts()
{
    struct Sample {
        const char* name;
        const char* code;
        const char* company;
        const char* email;
        const char* group;
        const char* role;
        const char* address;
        const char* city;
        const char* postcode;
        const char* province;
        const char* mobile;
    };
    const Sample samples[] = {
        { "Bianchi Laura", "C001", "Studio Bianchi", "laura.bianchi@example.it", "Clienti", "Titolare", "Via Roma 12",
            "Milano", "20121", "MI", "333 123 4567" },
        { "Colombo Marco", "C002", "Colombo Impianti S.r.l.", "m.colombo@example.it", "Clienti", "Direttore tecnico",
            "Via Garibaldi 8", "Bergamo", "24121", "BG", "347 234 5678" },
        { "Esposito Giulia", "F001", "Cartoleria Esposito", "ordini@cartoleria.example.it", "Fornitori",
            "Responsabile ordini", "Corso Umberto I 45", "Napoli", "80138", "NA", "339 345 6789" },
        { "Ferrari Andrea", "C003", "Ferrari & Figli", "andrea.ferrari@example.it", "Clienti", "Amministratore",
            "Via Emilia Est 101", "Modena", "41121", "MO", "340 456 7890" },
        { "Greco Francesca", "S001", "", "francesca.greco@example.it", "Soci", "", "Via Sparano 3", "Bari", "70121",
            "BA", "328 567 8901" },
        { "Moretti Paolo", "C004", "Moretti Arredamenti", "info@moretti.example.it", "Clienti", "Titolare",
            "Corso Francia 220", "Torino", "10143", "TO", "335 678 9012" },
        { "Ricci Elena", "F002", "Tipografia Ricci", "elena.ricci@example.it", "Fornitori", "Commerciale",
            "Via dei Servi 17", "Firenze", "50122", "FI", "366 789 0123" },
        { "Rossi Giovanni", "S002", "", "giovanni.rossi@example.it", "Soci", "", "Via Nazionale 60", "Roma", "00184",
            "RM", "320 890 1234" },
    };
    const CardArchive& archive = Archives::card(ArchiveKind::Contacts);
    const QList<QByteArray>& columns = archive.valueColumns();
    auto db = archive.open();
    db->StartTransaction();
    for (const Sample& s : samples) {
        QList<QByteArray> values(columns.size());
        const auto set = [&](const char* column, const char* text) {
            values[columns.indexOf(column)] = Cp1252::encode(QString::fromUtf8(text));
        };
        set("varContatto", s.name);
        set("varCodice", s.code);
        set("varAzienda", s.company);
        set("varEmail", s.email);
        set("varGruppo", s.group);
        set("varQualifica", s.role);
        set("varIndirizzo", s.address);
        set("varCitta", s.city);
        set("varCap", s.postcode);
        set("varProv", s.province);
        set("varCel", s.mobile);
        db->Execute(archive.insert(values));
    }
    db->CommitTransaction();
}

// Fills in the contacts quick search as a user would: a criterion, a key
// typed into the focused field, then "Cerca in archivio".
void searchContacts(QDialog* dialog)
{
    auto* criterion = dialog->findChild<QComboBox*>(QStringLiteral("cboCriterio"));
    auto* key = dialog->findChild<QLineEdit*>(QStringLiteral("txtCriterio"));
    auto* search = dialog->findChild<QWidget*>(QStringLiteral("btnPopola"));
    if (dialog->objectName() != QLatin1String("frmRicercaRub") || !criterion || !key || !search) {
        std::fprintf(stderr, "screenshots: the contacts quick search lacks its controls\n");
        failed = true;
        return;
    }
    criterion->setCurrentIndex(criterion->findText(QStringLiteral("Gruppo")));
    dialog->activateWindow();
    key->setFocus();
    settle(100);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("clienti"));
    QTest::mouseClick(search, Qt::LeftButton);
    if (auto* list = dialog->findChild<QListView*>(QStringLiteral("lstRecords")))
        list->setCurrentIndex(list->model()->index(0, 0));
}

// Loads the chosen contact into the editor, as a double click on it does.
void pickFirstContact(QDialog* dialog)
{
    auto* list = dialog->findChild<QListView*>(QStringLiteral("lstRecords"));
    if (!list || list->model()->rowCount() == 0) {
        std::fprintf(stderr, "screenshots: the contacts quick search found nothing\n");
        failed = true;
        return;
    }
    const QPoint line = list->visualRect(list->model()->index(0, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);
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
        if (beforeShot)
            beforeShot(dialog);
        shoot(dialog, nextName);
        if (afterShot)
            afterShot(dialog);
        dialog->hide();
        return int(QDialog::Accepted);
    });

    storeSampleContacts();
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
            const HelpTopic topic = frmRubrica->help();
            frmHelpForm->showTopic(topic.title, topic.text);

            nextName = QStringLiteral("ricerca_rubrica");
            beforeShot = searchContacts;
            afterShot = pickFirstContact;
            QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("cmdTrova")), Qt::LeftButton);
            beforeShot = nullptr;
            afterShot = nullptr;
            shoot(form, QStringLiteral("rubrica_scheda"));
        }
        form->close();
    }

    frmAvvio->resize(800, 582);
    shoot(frmAvvio, QStringLiteral("avvio_minimo"));

    Startup::destroyForms();
    return failed ? 1 : 0;
}
