#include "archives/archive_registry.h"
#include "contacts/frm_rubrica.h"
#include "groups/frm_gruppi.h"
#include "mail/frm_invia_email.h"
#include "messages/frm_importa_data.h"
#include "messages/frm_newsletter.h"
#include "shell/frm_avvio.h"
#include "shell/frm_help_form.h"
#include "shell/frm_info.h"
#include "shell/frm_password.h"
#include "shell/frm_splash.h"
#include "shell/password_store.h"
#include "shell/startup.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void createsFormsInOrderAndShowsLogin();
    void loginOpensLauncher();
    void copyrightOpensSplash();
    void tileAndBack_data();
    void tileAndBack();
    void closingLauncherEndsProgram();
    void exitButtonEndsProgram();
    void loginExitEndsProgram_data();
    void loginExitEndsProgram();
    void everyPickerOpensItsForm_data();
    void everyPickerOpensItsForm();

private:
    // Runs the event loop until the program ends or the time runs out;
    // returns the exit code, or -1 on time-out.
    static int runLoop(const std::function<void()>& action);
    static void logIn();

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
};

void TestStartup::init()
{
    dir_ = std::make_unique<TempDataDir>();
    dialogs_ = std::make_unique<ScriptedDialogs>();
    Modal::install([](QDialog*) { return int(QDialog::Accepted); });
    Startup::createForms();
}

void TestStartup::cleanup()
{
    Startup::destroyForms();
    Modal::install({});
    dialogs_.reset();
    dir_.reset();
}

int TestStartup::runLoop(const std::function<void()>& action)
{
    // Another visible window keeps Qt from ending the loop by itself when
    // the launcher goes away; only an explicit end counts.
    QWidget other;
    other.show();
    QTimer::singleShot(0, action);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(-1); });
    return QCoreApplication::exec();
}

void TestStartup::logIn()
{
    PasswordStore().store(QStringLiteral("chiave"));
    Startup::showFirstForm();
    frmPassword->txtPassword->setText(QStringLiteral("Chiave"));
    QTest::mouseClick(frmPassword->cmdOK, Qt::LeftButton);
}

void TestStartup::createsFormsInOrderAndShowsLogin()
{
    // Every form of the program in creation order; those not built yet are
    // skipped, the others must come in this order.
    static const QStringList order { "frmPassword", "frmAvvio", "frmHelpForm", "frmInfo", "frmSplash",
        "frmRubrica", "frmCodFisc", "frmIban", "frmIva", "frmAllegatiRub", "frmCartellaRub", "frmExpRubrica",
        "frmRicercaRub", "frmAvanzateRub", "frmGruppi", "frmAllegatiGru", "frmCartellaGru", "frmRicercaGru",
        "frmAvanzateGru", "frmExpGruppi", "frmNewsletter", "frmImportaData", "frmAllegatiMes", "frmCartellaMes",
        "frmExpMessaggi", "frmRicercaMes", "frmAvanzateMes", "frmInviaEmail", "frmCambiaPassword",
        "frmCopiaSicurezza" };
    QCOMPARE(order.size(), 30);
    qsizetype previous = -1;
    QStringList names;
    for (QWidget* f : Startup::forms()) {
        names << f->objectName();
        const qsizetype at = order.indexOf(f->objectName());
        QVERIFY2(at > previous, qPrintable(f->objectName()));
        previous = at;
        QVERIFY2(!f->isVisible(), qPrintable(f->objectName()));
    }
    for (const char* mine : { "frmPassword", "frmAvvio", "frmHelpForm", "frmInfo", "frmSplash", "frmCambiaPassword" })
        QVERIFY2(names.contains(QLatin1String(mine)), mine);
    QCOMPARE(Startup::forms().first(), frmPassword);
    QCOMPARE(frmAvvio->tileForm(TfrmAvvio::Tile::Contatti), frmRubrica);
    QCOMPARE(frmAvvio->tileForm(TfrmAvvio::Tile::Gruppi), frmGruppi);
    QCOMPARE(frmAvvio->tileForm(TfrmAvvio::Tile::Messaggi), frmNewsletter);
    QCOMPARE(frmAvvio->tileForm(TfrmAvvio::Tile::InvioEmail), frmInviaEmail);
    QVERIFY(frmAvvio->imgCopia->isEnabled());
    for (QWidget* editor : std::initializer_list<QWidget*> { frmRubrica, frmGruppi, frmNewsletter })
        for (const char* tool : { "cmdAllega", "cmdAssocia", "cmdOttimizza", "cmdExcel", "cmdWord" })
            QVERIFY2(editor->findChild<QWidget*>(QLatin1String(tool))->isEnabled(), tool);

    Startup::showFirstForm();
    QVERIFY(frmPassword->isVisible());
    for (QWidget* f : Startup::forms())
        QVERIFY2(f == frmPassword || !f->isVisible(), qPrintable(f->objectName()));

    Startup::destroyForms();
    QVERIFY(Startup::forms().isEmpty());
    QVERIFY(!frmAvvio && !frmRubrica && !frmInviaEmail && !frmPassword && !frmSplash);
}

void TestStartup::loginOpensLauncher()
{
    logIn();
    QVERIFY(!frmPassword->isVisible());
    QVERIFY(frmAvvio->isVisible());
    QVERIFY(frmAvvio->windowState() & Qt::WindowMaximized);
    QCOMPARE(frmAvvio->windowTitle(), QStringLiteral(" Velmaro"));
    QCOMPARE(frmAvvio->minimumSize(), QSize(800, 582));
    QCOMPARE(dialogs_->count(), 0);
}

void TestStartup::copyrightOpensSplash()
{
    QList<QDialog*> shown;
    Modal::install([&shown](QDialog* d) {
        shown << d;
        return int(QDialog::Accepted);
    });
    logIn();
    QTest::mouseClick(frmAvvio->imgCopyright, Qt::RightButton);
    QCOMPARE(shown, QList<QDialog*> { frmSplash });
}

void TestStartup::tileAndBack_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QString>("form");
    QTest::newRow("contacts picture") << "imgPazienti" << Qt::LeftButton << "frmRubrica";
    QTest::newRow("contacts caption, right button") << "btnPazienti" << Qt::RightButton << "frmRubrica";
    QTest::newRow("groups picture") << "imgAppuntamenti" << Qt::LeftButton << "frmGruppi";
    QTest::newRow("groups caption") << "btnAppuntamenti" << Qt::LeftButton << "frmGruppi";
    QTest::newRow("messages") << "imgInterventi" << Qt::LeftButton << "frmNewsletter";
    QTest::newRow("send form, right button") << "btnRicevute" << Qt::RightButton << "frmInviaEmail";
}

void TestStartup::tileAndBack()
{
    QFETCH(QString, control);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QString, form);
    logIn();
    QWidget* editor = nullptr;
    for (QWidget* f : Startup::forms())
        if (f->objectName() == form)
            editor = f;
    QVERIFY(editor);

    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(frmAvvio->findChild<QWidget*>(control), button);
        QVERIFY(editor->isVisible());
        QVERIFY(!frmAvvio->isVisible());

        editor->close();
        QVERIFY(!editor->isVisible());
        QVERIFY(frmAvvio->isVisible());
    }
    QCOMPARE(dialogs_->count(), 0);
}

void TestStartup::closingLauncherEndsProgram()
{
    // Although the main form, the login, is only hidden.
    logIn();
    QCOMPARE(runLoop([] { frmAvvio->close(); }), 0);
}

void TestStartup::exitButtonEndsProgram()
{
    logIn();
    QCOMPARE(runLoop([] { QTest::mouseClick(frmAvvio->imgEsci, Qt::RightButton); }), 0);
}

void TestStartup::loginExitEndsProgram_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("Esci") << true;
    QTest::newRow("window closed") << false;
}

void TestStartup::loginExitEndsProgram()
{
    QFETCH(bool, button);
    Startup::showFirstForm();
    QCOMPARE(runLoop([button] {
        if (button)
            QTest::mouseClick(frmPassword->cmdEsci, Qt::LeftButton);
        else
            frmPassword->close();
    }),
        0);
}

void TestStartup::everyPickerOpensItsForm_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("mode"); // the word in the opened form's lblMemory
    // Every editor's searches and tools, as its archive's definition names
    // them; the editors are found among the forms the start-up makes.
    for (const ArchiveDefinition* a : Archives::all()) {
        const QString table = QString::fromLatin1(a->table);
        const auto row = [&](const char* button, const QString& opened, const QString& mode) {
            QTest::addRow("%s %s", qPrintable(table), button) << table << QString::fromLatin1(button) << opened << mode;
        };
        row("cmdTrova", a->quick.objectName, a->searchMode);
        row("cmdWeb", a->advanced.objectName, a->searchMode);
        row("cmdAllega", a->filesForm, QString());
        row("cmdAssocia", a->folderForm, QString());
        row("cmdExcel", a->exports.objectName, QString());
    }
    // The pickers the start-up hands over from one form to another.
    const auto pick = [](const char* form, const char* button, const char* opened, const char* mode) {
        QTest::addRow("%s %s", form, button) << form << button << opened << mode;
    };
    pick("frmGruppi", "imgImporta", "frmRicercaRub", "gruppi");
    pick("frmNewsletter", "impSingolo", "frmRicercaRub", "newsletter");
    pick("frmNewsletter", "impMittente", "frmRicercaRub", "mitt_newsletter");
    pick("frmNewsletter", "imgGruppo", "frmRicercaGru", "newsletter");
    pick("frmNewsletter", "impCreazione", "frmImportaData", "messaggi");
    pick("frmInviaEmail", "impSingolo", "frmRicercaRub", "invia");
    pick("frmInviaEmail", "impMittente", "frmRicercaRub", "mitt_invia");
    pick("frmInviaEmail", "impMessaggio", "frmRicercaMes", "invia");
    pick("frmInviaEmail", "impGruppo", "frmRicercaGru", "invia");
}

void TestStartup::everyPickerOpensItsForm()
{
    QFETCH(QString, form);
    QFETCH(QString, button);
    QFETCH(QString, opened);
    QFETCH(QString, mode);
    QStringList shown;
    QStringList modes;
    Modal::install([&](QDialog* d) {
        shown << d->objectName();
        if (auto* memory = d->findChild<QLabel*>(QStringLiteral("lblMemory")))
            modes << memory->text();
        return int(QDialog::Rejected);
    });
    QWidget* owner = nullptr;
    for (QWidget* f : Startup::forms()) {
        auto* editor = qobject_cast<CardEditor*>(f);
        if (f->objectName() == form || (editor && QString::fromLatin1(editor->definition().table) == form))
            owner = f;
    }
    QVERIFY2(owner, qPrintable(form));
    QVERIFY(showActive(owner));
    QWidget* control = owner->findChild<QWidget*>(button);
    QVERIFY2(control && control->isEnabled(), qPrintable(button));
    QTest::mouseClick(control, Qt::LeftButton);
    QCOMPARE(shown, QStringList { opened });
    if (!mode.isEmpty())
        QCOMPARE(modes, QStringList { mode });
    QCOMPARE(dialogs_->count(), 0);
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
