#include "mail/frm_account_posta.h"
#include "mail/frm_invia_email.h"
#include "mail/mail_account.h"
#include "mail/mail_password.h"
#include "mail/unsubscribe.h"
#include "mail_test_helpers.h"
#include "smtp_test_server.h"
#include "storage/ini_file.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// The "Account di posta" window and where it keeps what the user types:
// the settings in their own section of Messaggi.ini, the password in the
// secret store only.
namespace {

const QString kPassword = QStringLiteral("Segreta-2024!");

// The desktop's secret store, or its absence.
struct FakeStore final : ISecretStore {
    FakeStore() { MailPassword::installStore(this); }
    ~FakeStore() override { MailPassword::installStore(nullptr); }
    Result read(const QString& key, QString& secret) override
    {
        if (!available)
            return Result::Unavailable;
        if (!secrets.contains(key))
            return Result::NotFound;
        secret = secrets.value(key);
        return Result::Ok;
    }
    Result write(const QString& key, const QString& secret) override
    {
        if (!available)
            return Result::Unavailable;
        secrets.insert(key, secret);
        return Result::Ok;
    }
    Result remove(const QString& key) override
    {
        secrets.remove(key);
        return available ? Result::Ok : Result::Unavailable;
    }
    bool available = true;
    QHash<QString, QString> secrets;
};

QByteArray iniBytes(const TempDataDir& data)
{
    QFile f(data.file(QStringLiteral("Messaggi.ini")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using Unsubscribe::Options;

// Keys as they reach the focused widget; QTest::keyClicks takes Latin-1 only.
void type(const QString& keys)
{
    for (QChar c : keys)
        for (QEvent::Type t : { QEvent::KeyPress, QEvent::KeyRelease }) {
            QKeyEvent e(t, c == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &e);
        }
}

Options shownOptOut(const TfrmAccountPosta& w)
{
    return { w.chkIntestazioneCancellazione->isChecked(), w.chkRigaCancellazione->isChecked(),
        w.txtRigaCancellazione->text(), w.chkCancellazioneNonRiservati->isChecked() };
}

SmtpRoute::Timing quick()
{
    SmtpRoute::Timing t;
    t.timeouts = { 5000, 2000 };
    t.retryPauseMs = 10;
    return t;
}

} // namespace

Q_DECLARE_METATYPE(Unsubscribe::Options)

class TestFrmAccountPosta : public QObject {
    Q_OBJECT

    QTemporaryDir certs_;

    void fill(TfrmAccountPosta& w, int port, const QString& security)
    {
        w.txtNomeMittente->setText(QStringLiteral("Studio Bianchi"));
        w.txtEmailMittente->setText(QStringLiteral("studio@bianchi.it"));
        w.txtServer->setText(QStringLiteral("127.0.0.1"));
        w.cboSicurezza->setCurrentText(security);
        w.txtPorta->setValue(port);
        w.txtUtente->setText(QStringLiteral("studio@bianchi.it"));
        w.txtPassword->setText(kPassword);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(TestCertificates::selfSigned(certs_.path(), "server", "/CN=posta.bianchi.it"));
    }

    void init() { MailPassword::forgetAll(); }

    // Saved in a section of its own; the senders the forms remember stay as
    // they were; the password reaches the secret store and nothing else.
    void savesWithoutTheSecret_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("storeThere");
        QTest::newRow("remembered in the store") << true << true;
        QTest::newRow("for this session only") << false << true;
        QTest::newRow("no secret store") << true << false;
    }

    void savesWithoutTheSecret()
    {
        QFETCH(bool, remember);
        QFETCH(bool, storeThere);
        TempDataDir data;
        ScriptedDialogs dialogs;
        FakeStore store;
        store.available = storeThere;
        const IniFile ini(data.file(QStringLiteral("Messaggi.ini")));
        ini.write(QStringLiteral("Invio Email"), QStringLiteral("Email Mittente"), QStringLiteral("invio@x.it"));
        ini.write(QStringLiteral("Archivio Messaggi"), QStringLiteral("Email Mittente"), QStringLiteral("arch@x.it"));
        const QByteArray before = iniBytes(data);

        TfrmAccountPosta w;
        w.show();
        QCOMPARE(w.txtPorta->value(), 465);
        QVERIFY(w.chkUsaAccount->isChecked()); // a new account is there to be used
        fill(w, 587, QStringLiteral("STARTTLS"));
        w.chkRicordaPassword->setChecked(remember);
        w.txtPausa->setValue(2);
        w.txtDestinatariMessaggio->setValue(50);
        w.cmdSalva->click();
        QVERIFY(!w.isVisible());

        const QByteArray after = iniBytes(data);
        QVERIFY(!after.contains(kPassword.toUtf8()));
        QVERIFY(after.startsWith(before)); // the other sections untouched, the new one after them
        const MailAccount saved = MailAccountStore::load();
        QCOMPARE(saved.server, QStringLiteral("127.0.0.1"));
        QCOMPARE(saved.port, 587);
        QCOMPARE(saved.security, Smtp::Security::StartTls);
        QCOMPARE(saved.user, QStringLiteral("studio@bianchi.it"));
        QCOMPARE(saved.senderName, QStringLiteral("Studio Bianchi"));
        QCOMPARE(saved.pauseSeconds, 2);
        QCOMPARE(saved.recipientsPerMessage, 50);
        QCOMPARE(saved.rememberPassword, remember);
        QVERIFY(saved.inUse());
        QCOMPARE(store.secrets.value(MailPassword::key(saved)), remember && storeThere ? kPassword : QString());
        QCOMPARE(dialogs.count(), remember && !storeThere ? 1 : 0); // told the store is missing

        // This session knows it without asking; the next one asks once.
        ScriptedPasswordPrompt prompt(kPassword);
        QString password;
        QVERIFY(MailPassword::get(saved, password));
        QCOMPARE(password, kPassword);
        MailPassword::forgetAll();
        QVERIFY(MailPassword::get(saved, password));
        QVERIFY(MailPassword::get(saved, password));
        QCOMPARE(prompt.asked, remember && storeThere ? 0 : 1);

        // Shown again as saved.
        TfrmAccountPosta again;
        again.show();
        QCOMPARE(again.cboSicurezza->currentText(), QStringLiteral("STARTTLS"));
        QTRY_COMPARE(again.txtPassword->text(), kPassword); // asked of the store once the window is up
        QVERIFY(!again.lblAvviso->isVisible());
    }

    void choosingTheSecurity()
    {
        TempDataDir data;
        TfrmAccountPosta w;
        w.show();
        w.cboSicurezza->setCurrentText(QStringLiteral("STARTTLS"));
        QCOMPARE(w.txtPorta->value(), 587);
        w.cboSicurezza->setCurrentText(QStringLiteral("Nessuna"));
        QCOMPARE(w.txtPorta->value(), 25);
        QVERIFY(w.lblAvviso->isVisible());
        w.txtPorta->setValue(2525); // the user's own port stays
        w.cboSicurezza->setCurrentText(QStringLiteral("SSL/TLS"));
        QCOMPARE(w.txtPorta->value(), 2525);
        QVERIFY(!w.lblAvviso->isVisible());
    }

    void refusesIncompleteInput_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("no server") << "" << "a@x.it" << "txtServer"
                                   << "Attenzione: è necessario indicare il server di posta in uscita.";
        QTest::newRow("a server with a blank") << "smtp esempio.it" << "a@x.it" << "txtServer"
                                               << "Attenzione: il nome del server «smtp esempio.it» non è valido "
                                                  "(per esempio smtp.esempio.it).";
        QTest::newRow("a bad sender") << "smtp.x.it" << "mario rossi@x.it" << "txtEmailMittente"
                                      << "Attenzione: l'indirizzo e-mail del mittente «mario rossi@x.it» non è "
                                         "valido.";
    }

    void refusesIncompleteInput()
    {
        QFETCH(QString, server);
        QFETCH(QString, sender);
        QFETCH(QString, field);
        QFETCH(QString, text);
        TempDataDir data;
        ScriptedDialogs dialogs;
        TfrmAccountPosta w;
        QVERIFY(showActive(&w));
        w.txtServer->setText(server);
        w.txtEmailMittente->setText(sender);
        w.cmdSalva->click();
        QCOMPARE(dialogs.last().text, text);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Dati insufficienti"));
        QCOMPARE(QApplication::focusWidget()->objectName(), field);
        QVERIFY(w.isVisible());
        QVERIFY(!QFile::exists(data.file(QStringLiteral("Messaggi.ini"))));
    }

    // Closing with changes not saved asks first; No keeps the window.
    void closingAsksAboutChanges()
    {
        TempDataDir data;
        ScriptedDialogs dialogs;
        TfrmAccountPosta w;
        w.show();
        w.cmdChiudi->click();
        QCOMPARE(dialogs.count(), 0);
        w.show();
        w.txtServer->setText(QStringLiteral("smtp.x.it"));
        dialogs.answers = { false };
        w.cmdChiudi->click();
        QCOMPARE(dialogs.kinds(), QStringList { "confirm" });
        QVERIFY(w.isVisible());
        w.cmdChiudi->click(); // Yes
        QVERIFY(!w.isVisible());
    }

    // The opt-out extras: shown as stored (by default for private sendings
    // only); a change counts for "Chiudi" and is read back as saved.
    void optOutSettings_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<Unsubscribe::Options>("expected"); // header, closing line, its text, plain too
        const QString own = QStringLiteral("Per non ricevere più le offerte da 10 € scrivere «Basta».");
        QTest::newRow("no header") << "chkIntestazioneCancellazione"
                                   << " " << Options { false, true, "", false };
        QTest::newRow("no closing line") << "chkRigaCancellazione"
                                         << " " << Options { true, false, "", false };
        QTest::newRow("plain sendings too") << "chkCancellazioneNonRiservati"
                                            << " " << Options { true, true, "", true };
        QTest::newRow("own closing line") << "txtRigaCancellazione" << own << Options { true, true, own, false };
    }

    void optOutSettings()
    {
        QFETCH(QString, control);
        QFETCH(QString, keys);
        QFETCH(Unsubscribe::Options, expected);
        TempDataDir data;
        ScriptedDialogs dialogs;
        TfrmAccountPosta w;
        QVERIFY(showActive(&w));
        QCOMPARE(shownOptOut(w), Options {});
        QCOMPARE(w.txtRigaCancellazione->placeholderText(), Unsubscribe::defaultText());
        w.findChild<QWidget*>(control)->setFocus();
        type(keys);
        QCOMPARE(w.txtRigaCancellazione->isEnabled(), expected.closingLine);
        dialogs.answers = { false };
        w.cmdChiudi->click();
        QCOMPARE(dialogs.kinds(), QStringList { "confirm" });

        w.chkUsaAccount->setChecked(false); // no server needed
        w.cmdSalva->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(Unsubscribe::load(), expected);
        TfrmAccountPosta again;
        again.show();
        QCOMPARE(shownOptOut(again), expected);
        again.cmdChiudi->click();
        QCOMPARE(dialogs.count(), 1); // as saved: nothing to ask
    }

    // The send form reaches the window beside its sending controls, and
    // proposes the account's sender until it remembers one of its own.
    void reachedFromTheSendForm()
    {
        TempDataDir data;
        MailAccount account;
        account.senderName = QStringLiteral("Studio Bianchi");
        account.senderAddress = QStringLiteral("studio@bianchi.it");
        MailAccountStore::save(account);
        QStringList opened;
        Modal::install([&opened](QDialog* d) {
            opened << d->objectName();
            return int(QDialog::Rejected);
        });
        {
            TfrmInviaEmail form;
            form.show();
            QCOMPARE(form.fieldText(QStringLiteral("txtMittente")), QStringLiteral("Studio Bianchi"));
            QCOMPARE(form.fieldText(QStringLiteral("txtEmailMitt")), QStringLiteral("studio@bianchi.it"));
            form.findChild<QPushButton*>(QStringLiteral("cmdAccountPosta"))->click();
            QCOMPARE(opened, QStringList { "frmAccountPosta" });
            form.setSender(QStringLiteral("Mario"), QStringLiteral("mario@x.it"));
            form.close();
        }
        TfrmInviaEmail again;
        again.show();
        QCOMPARE(again.fieldText(QStringLiteral("txtEmailMitt")), QStringLiteral("mario@x.it"));
        Modal::install({});
    }

    // "Prova" shows an unknown certificate's owner and fingerprint, and
    // trusting it lets the login and the test message through.
    void trustsACertificateAndSendsATest()
    {
        TempDataDir data;
        ScriptedDialogs dialogs;
        FakeStore store;
        SmtpTestServer server({ "tls", certs_.filePath("server.crt"), certs_.filePath("server.key"),
            "studio@bianchi.it", kPassword });
        TfrmAccountPosta w;
        w.setTiming(quick());
        w.show();
        fill(w, server.port(), QStringLiteral("SSL/TLS"));
        dialogs.answers = { false };
        w.cmdProva->click();
        const QString fingerprint = TestCertificates::fingerprint(certs_.filePath("server.crt"));
        QCOMPARE(dialogs.kinds(), QStringList { "confirm" });
        QVERIFY(dialogs.last().text.contains(fingerprint));
        QVERIFY(dialogs.last().text.contains(QStringLiteral("Intestato a: CN=posta.bianchi.it")));
        QVERIFY(MailAccountStore::trustedFingerprint(QStringLiteral("127.0.0.1"), server.port()).isEmpty());
        QCOMPARE(server.count("AUTH"), 0);

        dialogs.clear();
        w.cmdProva->click(); // Yes this time
        QCOMPARE(dialogs.kinds(), QStringList({ "confirm", "information" }));
        QCOMPARE(dialogs.last().text,
            QStringLiteral("Collegamento riuscito: il server 127.0.0.1 (porta %1) ha accettato l'accesso di "
                           "studio@bianchi.it. Non è stato inviato alcun messaggio.")
                .arg(server.port()));
        QCOMPARE(MailAccountStore::trustedFingerprint(QStringLiteral("127.0.0.1"), server.port()), fingerprint);
        QVERIFY(server.received().isEmpty());

        dialogs.clear();
        w.cmdMessaggioProva->click();
        QCOMPARE(dialogs.kinds(), QStringList { "information" });
        QCOMPARE(server.received().size(), 1);
        QCOMPARE(server.received().first().recipients, QStringList { "studio@bianchi.it" });

        w.txtPassword->setText(QStringLiteral("sbagliata"));
        dialogs.clear();
        w.cmdProva->click();
        QCOMPARE(dialogs.kinds(), QStringList { "warning" });
        QVERIFY(dialogs.last().text.startsWith(QStringLiteral("Il server di posta ha rifiutato l'accesso")));
    }
};

QTEST_MAIN(TestFrmAccountPosta)
#include "test_frm_account_posta.moc"
