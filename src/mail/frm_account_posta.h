#pragma once

#include "mail/mail_account.h"
#include "mail/smtp_route.h"
#include "mail/unsubscribe.h"

#include <QDialog>

class HintBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Account di posta": the office's mail account for direct sending, tried
// on the spot ("Prova", "Invia messaggio di prova") and kept by "Salva"; the
// password goes to the desktop's secret store, never to a file.
class TfrmAccountPosta : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAccountPosta(QWidget* parent = nullptr);

    // A fresh window, shown modally and destroyed afterwards.
    static void open(QWidget* parent);
    // The button that opens it, beside the sending controls of the forms
    // that send mail.
    static QPushButton* button(QWidget* parent, HintBar* hints);

    // Timeouts and pauses of the tries (tests shorten them).
    void setTiming(const SmtpRoute::Timing& timing) { timing_ = timing; }

    QLineEdit* txtNomeMittente = nullptr;
    QLineEdit* txtEmailMittente = nullptr;
    QLineEdit* txtServer = nullptr;
    QSpinBox* txtPorta = nullptr;
    QComboBox* cboSicurezza = nullptr;
    QLabel* lblAvviso = nullptr;
    QLineEdit* txtUtente = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* chkRicordaPassword = nullptr;
    QSpinBox* txtPausa = nullptr;
    QSpinBox* txtDestinatariMessaggio = nullptr;
    QSpinBox* txtMessaggiConnessione = nullptr;
    QCheckBox* chkUsaAccount = nullptr;
    QCheckBox* chkIntestazioneCancellazione = nullptr;
    QCheckBox* chkRigaCancellazione = nullptr;
    QLineEdit* txtRigaCancellazione = nullptr;
    QCheckBox* chkCancellazioneNonRiservati = nullptr;
    QPushButton* cmdProva = nullptr;
    QPushButton* cmdMessaggioProva = nullptr;
    QPushButton* cmdSalva = nullptr;
    QPushButton* cmdChiudi = nullptr;

public slots:
    void FormShow();
    void cboSicurezzaChange();
    void cmdProvaClick();
    void cmdMessaggioProvaClick();
    void cmdSalvaClick();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    MailAccount onScreen() const;
    void showAccount(const MailAccount& account, const QString& password);
    Unsubscribe::Options optOutOnScreen() const;
    void showOptOut(const Unsubscribe::Options& options);
    // The input checks; on the first failing one a warning, focus there.
    // trying: a server is needed; sending: a sender address too.
    bool ready(bool trying, bool sending);
    // Connects and logs in with what is on screen, settling an untrusted
    // certificate with the user; true when the server took the login.
    bool reach(bool sayWhenFine);
    bool changed() const;

    SmtpRoute::Timing timing_;
    MailAccount shown_;
    QString shownPassword_;
    Unsubscribe::Options shownOptOut_;
    Smtp::Security security_ = Smtp::Security::Tls;
};

// Asks for the account's password when it is known nowhere (no secret
// store, or nothing remembered), once per run.
namespace AccountPasswordPrompt {
void install();
}
