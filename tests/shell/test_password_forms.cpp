#include "support/file_size_limit.h"
#include "shell/crypt.h"
#include "shell/frm_cambia_password.h"
#include "shell/frm_password.h"
#include "shell/password_store.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QString wrong = QStringLiteral("Attenzione: password errata.");
const QString readError = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura "
                                         "della password. Si consiglia di reinstallare il software.");
const QString wrongOld = QStringLiteral("Attenzione: vecchia password errata.");
const QString notConfirmed = QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                                            "E' necessario reinserire entrambi i valori.");
const QString changed = QStringLiteral("Modifica della password avvenuta con successo.");
const QString writeError = QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica "
                                          "della password. Si consiglia di reinstallare il software.");

QWidget* focused() { return QApplication::focusWidget(); }

// Types as a user's keys arrive, into whatever has the focus; characters
// beyond ASCII as key events with text.
void type(const QString& text)
{
    QVERIFY(focused());
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(focused(), &press);
        QApplication::sendEvent(focused(), &release);
    }
}

void enter() { QTest::keyClick(focused(), Qt::Key_Return); }

void writeStored(const QByteArray& value)
{
    QFile f(PasswordStore::defaultPath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Accesso]\r\nValore=" + value + "\r\n");
}

} // namespace

class TestPasswordForms : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void login_data();
    void login();
    void wrongThenRight();
    void missingFileAdmitsNobody();
    void unreadableStoreLeavesFormAlone();
    void blanksCannotBeSubmitted();

    void changeRefusals_data();
    void changeRefusals();
    void changeSucceeds();
    void enterInConfirmationNeverSubmits();
    void unusableCharacterRefused();
    void failedWriteKeepsOldPassword();
    void leavingChangeReturnsToLogin();

private:
    void openChange();
    void fillChange(const QString& old, const QString& fresh, const QString& confirm);

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    int launcherShown_ = 0;
};

void TestPasswordForms::init()
{
    dir_ = std::make_unique<TempDataDir>();
    dialogs_ = std::make_unique<ScriptedDialogs>();
    launcherShown_ = 0;
    LauncherLink::install([this] { ++launcherShown_; });
    frmPassword = new TfrmPassword;
    frmCambiaPassword = new TfrmCambiaPassword;
    frmPassword->setChangeForm(frmCambiaPassword);
    frmCambiaPassword->setComeBack([] { frmPassword->comeBack(); });
    PasswordStore().store(QStringLiteral("Segreto"));
    QVERIFY(showActive(frmPassword));
    QCOMPARE(focused(), frmPassword->txtPassword);
}

void TestPasswordForms::cleanup()
{
    delete frmCambiaPassword;
    frmCambiaPassword = nullptr;
    delete frmPassword;
    frmPassword = nullptr;
    LauncherLink::install({});
    dialogs_.reset();
    dir_.reset();
}

void TestPasswordForms::login_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("admitted");
    QTest::newRow("lower case against upper case") << "segreto" << true;
    QTest::newRow("blanks at the ends") << "  SeGrEtO " << true;
    QTest::newRow("one letter short") << "segret" << false;
    QTest::newRow("blank inside") << "seg reto" << false;
}

void TestPasswordForms::login()
{
    QFETCH(QString, typed);
    QFETCH(bool, admitted);
    QCOMPARE(frmPassword->windowTitle(), QStringLiteral(" Velmaro - Autenticazione"));
    QVERIFY(!frmPassword->cmdOK->isEnabled());
    type(typed);
    QVERIFY(frmPassword->cmdOK->isEnabled());
    enter();
    QCOMPARE(launcherShown_, admitted ? 1 : 0);
    QCOMPARE(frmPassword->isVisible(), !admitted);
    QCOMPARE(dialogs_->count(), admitted ? 0 : 1);
    if (!admitted)
        QCOMPARE(dialogs_->last().text, wrong);
    // Never left in the box, whichever way it went.
    QCOMPARE(frmPassword->txtPassword->text(), QString());
}

void TestPasswordForms::wrongThenRight()
{
    type(QStringLiteral("altra"));
    QTest::mouseClick(frmPassword->cmdOK, Qt::LeftButton);
    QCOMPARE(dialogs_->kinds(), QStringList { "message" });
    QCOMPARE(dialogs_->last().text, wrong);
    QCOMPARE(focused(), frmPassword->txtPassword);
    QVERIFY(!frmPassword->cmdOK->isEnabled());
    type(QStringLiteral("segreto"));
    enter();
    QCOMPARE(launcherShown_, 1);
    QCOMPARE(dialogs_->count(), 1);
}

void TestPasswordForms::missingFileAdmitsNobody()
{
    QFile::remove(PasswordStore::defaultPath());
    type(QStringLiteral("segreto"));
    enter();
    QCOMPARE(dialogs_->last().text, wrong);
    QCOMPARE(launcherShown_, 0);
}

void TestPasswordForms::unreadableStoreLeavesFormAlone()
{
    // A damaged value is not read as some other password.
    writeStored(Crypt::Scramble(QByteArray("SEGRETO")).left(6) + "ZZ");
    type(QStringLiteral("segreto"));
    enter();
    QCOMPARE(dialogs_->last().text, readError);
    QCOMPARE(frmPassword->txtPassword->text(), QStringLiteral("segreto"));
    QVERIFY(frmPassword->isVisible());
    QCOMPARE(launcherShown_, 0);
}

void TestPasswordForms::blanksCannotBeSubmitted()
{
    type(QStringLiteral("   "));
    QVERIFY(!frmPassword->cmdOK->isEnabled());
    enter();
    QCOMPARE(dialogs_->count(), 0);
    QCOMPARE(launcherShown_, 0);
}

void TestPasswordForms::openChange()
{
    QTest::mouseClick(frmPassword->btnCambiaPassword, Qt::LeftButton);
    QVERIFY(!frmPassword->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(frmCambiaPassword));
    QCOMPARE(frmCambiaPassword->windowTitle(), QStringLiteral(" Cambia password"));
    QCOMPARE(focused(), frmCambiaPassword->txtPasswordOld);
}

void TestPasswordForms::fillChange(const QString& old, const QString& fresh, const QString& confirm)
{
    // Enter walks the three boxes.
    type(old);
    enter();
    QCOMPARE(focused(), frmCambiaPassword->txtPasswordNew);
    type(fresh);
    enter();
    QCOMPARE(focused(), frmCambiaPassword->txtConferma);
    type(confirm);
}

void TestPasswordForms::changeRefusals_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("confirm");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::newRow("wrong old password") << "sbagliata" << "Nuova" << wrongOld << "txtPasswordOld";
    QTest::newRow("confirmation differs in case") << "segreto" << "NUOVA" << notConfirmed << "txtPasswordNew";
}

void TestPasswordForms::changeRefusals()
{
    QFETCH(QString, old);
    QFETCH(QString, confirm);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    openChange();
    fillChange(old, QStringLiteral("Nuova"), confirm);
    QTest::mouseClick(frmCambiaPassword->cmdOK, Qt::LeftButton);
    QCOMPARE(dialogs_->kinds(), QStringList { "message" });
    QCOMPARE(dialogs_->last().text, message);
    QCOMPARE(focused()->objectName(), focus);
    QCOMPARE(qobject_cast<QLineEdit*>(focused())->text(), QString());
    QVERIFY(frmCambiaPassword->isVisible());
    QVERIFY(!frmCambiaPassword->cmdOK->isEnabled());
    QVERIFY(PasswordStore().matches(QStringLiteral("segreto")));
}

void TestPasswordForms::changeSucceeds()
{
    openChange();
    fillChange(QStringLiteral(" SEGRETO"), QStringLiteral("Città nuova "), QStringLiteral("Città nuova"));
    QTest::mouseClick(frmCambiaPassword->cmdOK, Qt::LeftButton);
    QCOMPARE(dialogs_->last().text, changed);
    QVERIFY(!frmCambiaPassword->isVisible());
    QVERIFY(frmPassword->isVisible());
    QCOMPARE(frmPassword->txtPassword->text(), QString());
    QVERIFY(!frmPassword->cmdOK->isEnabled());
    QVERIFY(QTest::qWaitForWindowActive(frmPassword));
    QCOMPARE(focused(), frmPassword->txtPassword);

    QVERIFY(!PasswordStore().matches(QStringLiteral("segreto")));
    type(QStringLiteral("città NUOVA"));
    enter();
    QCOMPARE(launcherShown_, 1);
    QCOMPARE(PasswordStore().stored(), QStringLiteral("CITTÀ NUOVA"));
}

void TestPasswordForms::enterInConfirmationNeverSubmits()
{
    openChange();
    type(QStringLiteral("segreto"));
    enter();
    enter();
    // With a box empty OK is off: Enter goes back to the start.
    QCOMPARE(focused(), frmCambiaPassword->txtConferma);
    enter();
    QCOMPARE(focused(), frmCambiaPassword->txtPasswordOld);

    frmCambiaPassword->txtPasswordNew->setFocus();
    type(QStringLiteral("nuova"));
    enter();
    type(QStringLiteral("nuova"));
    enter();
    QCOMPARE(focused(), frmCambiaPassword->cmdOK);
    QCOMPARE(dialogs_->count(), 0);
    QVERIFY(PasswordStore().matches(QStringLiteral("segreto")));
    // Enter on the button itself is the user's choice.
    enter();
    QCOMPARE(dialogs_->last().text, changed);
    QVERIFY(PasswordStore().matches(QStringLiteral("nuova")));
}

void TestPasswordForms::unusableCharacterRefused()
{
    openChange();
    fillChange(QStringLiteral("segreto"), QStringLiteral("łódź"), QStringLiteral("łódź"));
    QTest::mouseClick(frmCambiaPassword->cmdOK, Qt::LeftButton);
    QCOMPARE(dialogs_->count(), 1);
    QVERIFY(dialogs_->last().text.contains(QStringLiteral("\"ł\"")));
    QCOMPARE(focused(), frmCambiaPassword->txtPasswordNew);
    QVERIFY(PasswordStore().matches(QStringLiteral("segreto")));
}

void TestPasswordForms::failedWriteKeepsOldPassword()
{
    openChange();
    fillChange(QStringLiteral("segreto"), QStringLiteral("nuova"), QStringLiteral("nuova"));
    {
        FileSizeLimit limit(8);
        QTest::mouseClick(frmCambiaPassword->cmdOK, Qt::LeftButton);
    }
    QCOMPARE(dialogs_->kinds(), QStringList { "message" });
    QCOMPARE(dialogs_->last().text, writeError);
    QVERIFY(frmCambiaPassword->isVisible());
    QCOMPARE(frmCambiaPassword->txtPasswordNew->text(), QStringLiteral("nuova"));
    QVERIFY(PasswordStore().matches(QStringLiteral("segreto")));
}

void TestPasswordForms::leavingChangeReturnsToLogin()
{
    type(QStringLiteral("qualcosa"));
    openChange();
    type(QStringLiteral("segreto"));
    QTest::mouseClick(frmCambiaPassword->cmdEsci, Qt::LeftButton);
    QVERIFY(!frmCambiaPassword->isVisible());
    QVERIFY(frmPassword->isVisible());
    QCOMPARE(frmPassword->txtPassword->text(), QString());

    QCOMPARE(dialogs_->count(), 0);
}

QTEST_MAIN(TestPasswordForms)
#include "test_password_forms.moc"
