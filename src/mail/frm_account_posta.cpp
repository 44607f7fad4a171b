#include "mail/frm_account_posta.h"

#include "mail/mail_password.h"
#include "mail/mime_message.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Account di posta");

QString sentence(const QString& problem) { return problem.left(1).toUpper() + problem.mid(1) + QLatin1Char('.'); }

QLineEdit* edit(QWidget* parent, const char* name, const QString& placeholder = {})
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setPlaceholderText(placeholder);
    FormLook::styleField(e);
    return e;
}

QSpinBox* number(QWidget* parent, const char* name, int lowest, int highest, const QString& none = {})
{
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(lowest, highest);
    if (!none.isEmpty())
        s->setSpecialValueText(none);
    FormLook::styleField(s);
    return s;
}

QPushButton* plainButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    // Enter in a field must not press a button of its own accord.
    b->setAutoDefault(false);
    return b;
}

// Hourglass while the server is asked; lifted before any box is shown.
class Waiting {
public:
    Waiting() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Waiting() { lift(); }
    void lift()
    {
        if (on_)
            QApplication::restoreOverrideCursor();
        on_ = false;
    }

private:
    bool on_ = true;
};

} // namespace

TfrmAccountPosta::TfrmAccountPosta(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAccountPosta"));
    setWindowTitle(QStringLiteral(" Velmaro - Account di posta"));
    auto* layout = new QVBoxLayout(this);

    auto* intro = new QLabel(QStringLiteral("Con un account di posta Velmaro spedisce direttamente attraverso il server "
                                            "del proprio fornitore, senza altri programmi. I dati si trovano nelle "
                                            "istruzioni del fornitore (di solito porta 465 con SSL/TLS, oppure 587 con "
                                            "STARTTLS; come nome utente l'indirizzo e-mail completo)."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* sender = new QGroupBox(QStringLiteral("Mittente"), this);
    auto* f1 = new QFormLayout(sender);
    txtNomeMittente = edit(sender, "txtNomeMittente");
    txtEmailMittente = edit(sender, "txtEmailMittente", QStringLiteral("nome@esempio.it"));
    f1->addRow(QStringLiteral("Nome mittente:"), txtNomeMittente);
    f1->addRow(QStringLiteral("E-mail mittente:"), txtEmailMittente);
    layout->addWidget(sender);

    auto* server = new QGroupBox(QStringLiteral("Server di posta in uscita (SMTP)"), this);
    auto* f2 = new QFormLayout(server);
    txtServer = edit(server, "txtServer", QStringLiteral("smtp.esempio.it"));
    txtPorta = number(server, "txtPorta", 1, 65535);
    cboSicurezza = new QComboBox(server);
    cboSicurezza->setObjectName(QStringLiteral("cboSicurezza"));
    for (Smtp::Security s : { Smtp::Security::Tls, Smtp::Security::StartTls, Smtp::Security::None })
        cboSicurezza->addItem(MailAccountStore::securityName(s), int(s));
    // One line: a wrapped label that appears in a shown window is squeezed
    // over its neighbours. Its room is kept while it is hidden, so the
    // window does not jump.
    lblAvviso = new QLabel(
        QStringLiteral("Attenzione: senza sicurezza password e messaggi viaggiano in chiaro sulla rete."), server);
    lblAvviso->setObjectName(QStringLiteral("lblAvviso"));
    lblAvviso->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    QSizePolicy keepRoom = lblAvviso->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    lblAvviso->setSizePolicy(keepRoom);
    auto* port = new QHBoxLayout;
    port->addWidget(txtPorta);
    port->addWidget(new QLabel(QStringLiteral("Sicurezza:"), server));
    port->addWidget(cboSicurezza, 1);
    txtUtente = edit(server, "txtUtente", QStringLiteral("di solito l'indirizzo e-mail completo"));
    txtPassword = edit(server, "txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    chkRicordaPassword = new QCheckBox(QStringLiteral(" Ricorda la password "), server);
    chkRicordaPassword->setObjectName(QStringLiteral("chkRicordaPassword"));
    f2->addRow(QStringLiteral("Server:"), txtServer);
    f2->addRow(QStringLiteral("Porta:"), port);
    f2->addRow(lblAvviso);
    f2->addRow(QStringLiteral("Nome utente:"), txtUtente);
    f2->addRow(QStringLiteral("Password:"), txtPassword);
    f2->addRow(QString(), chkRicordaPassword);
    layout->addWidget(server);

    auto* sending = new QGroupBox(QStringLiteral("Invio"), this);
    auto* f3 = new QFormLayout(sending);
    txtPausa = number(sending, "txtPausa", 0, 3600);
    txtPausa->setSuffix(QStringLiteral(" s"));
    txtDestinatariMessaggio = number(sending, "txtDestinatariMessaggio", 0, 100000, QStringLiteral("nessun limite"));
    txtMessaggiConnessione = number(sending, "txtMessaggiConnessione", 0, 100000, QStringLiteral("nessun limite"));
    chkUsaAccount = new QCheckBox(QStringLiteral(" Usa questo account per l'invio diretto "), sending);
    chkUsaAccount->setObjectName(QStringLiteral("chkUsaAccount"));
    f3->addRow(QStringLiteral("Pausa tra i messaggi (invio riservato):"), txtPausa);
    f3->addRow(QStringLiteral("Destinatari per messaggio:"), txtDestinatariMessaggio);
    f3->addRow(QStringLiteral("Messaggi per connessione:"), txtMessaggiConnessione);
    f3->addRow(chkUsaAccount);
    layout->addWidget(sending);

    auto* optOut = new QGroupBox(QStringLiteral("Cancellazione dalla lista"), this);
    auto* v4 = new QVBoxLayout(optOut);
    const auto check = [optOut](const char* name, const QString& caption) {
        auto* c = new QCheckBox(caption, optOut);
        c->setObjectName(QLatin1String(name));
        return c;
    };
    chkIntestazioneCancellazione = check("chkIntestazioneCancellazione",
        QStringLiteral(" Intestazione List-Unsubscribe (il pulsante «Annulla iscrizione» dei programmi di posta) "));
    chkRigaCancellazione = check("chkRigaCancellazione", QStringLiteral(" Riga in fondo al testo: "));
    // Empty means the default line, which the placeholder shows.
    txtRigaCancellazione = edit(optOut, "txtRigaCancellazione", Unsubscribe::defaultText());
    txtRigaCancellazione->setToolTip(Unsubscribe::defaultText());
    chkCancellazioneNonRiservati = check("chkCancellazioneNonRiservati",
        QStringLiteral(" Anche negli invii non riservati (altrimenti solo negli invii riservati) "));
    v4->addWidget(chkIntestazioneCancellazione);
    auto* line = new QHBoxLayout;
    line->addWidget(chkRigaCancellazione);
    line->addWidget(txtRigaCancellazione, 1);
    v4->addLayout(line);
    v4->addWidget(chkCancellazioneNonRiservati);
    layout->addWidget(optOut);

    auto* buttons = new QHBoxLayout;
    cmdProva = plainButton(this, "cmdProva", QStringLiteral("Prova"));
    cmdMessaggioProva = plainButton(this, "cmdMessaggioProva", QStringLiteral("Invia messaggio di prova"));
    cmdSalva = plainButton(this, "cmdSalva", QStringLiteral("Salva"));
    cmdChiudi = plainButton(this, "cmdChiudi", QStringLiteral("Chiudi"));
    buttons->addWidget(cmdProva);
    buttons->addWidget(cmdMessaggioProva);
    buttons->addStretch(1);
    buttons->addWidget(cmdSalva);
    buttons->addWidget(cmdChiudi);
    layout->addLayout(buttons);

    const QList<QWidget*> chain = { txtNomeMittente, txtEmailMittente, txtServer, txtPorta, cboSicurezza, txtUtente,
        txtPassword, chkRicordaPassword, txtPausa, txtDestinatariMessaggio, txtMessaggiConnessione, chkUsaAccount,
        chkIntestazioneCancellazione, chkRigaCancellazione, txtRigaCancellazione, chkCancellazioneNonRiservati };
    for (int i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
    FormLook::installEnterChain({ { txtNomeMittente, txtEmailMittente, txtServer, txtPorta, txtUtente, txtPassword },
        {}, {}, nullptr });

    connect(cboSicurezza, &QComboBox::currentIndexChanged, this, [this] { cboSicurezzaChange(); });
    connect(chkRigaCancellazione, &QCheckBox::toggled, txtRigaCancellazione, &QWidget::setEnabled);
    connect(cmdProva, &QPushButton::clicked, this, [this] { ErrorDisplay::guard([this] { cmdProvaClick(); }); });
    connect(cmdMessaggioProva, &QPushButton::clicked, this,
        [this] { ErrorDisplay::guard([this] { cmdMessaggioProvaClick(); }); });
    connect(cmdSalva, &QPushButton::clicked, this, [this] { ErrorDisplay::guard([this] { cmdSalvaClick(); }); });
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    lblAvviso->setVisible(false);
}

void TfrmAccountPosta::open(QWidget* parent)
{
    TfrmAccountPosta window(parent);
    Modal::run(&window);
}

QPushButton* TfrmAccountPosta::button(QWidget* parent, HintBar* hints)
{
    QPushButton* b = plainButton(parent, "cmdAccountPosta", QStringLiteral("Account di posta..."));
    hints->add(b, QStringLiteral(" Imposta l'account di posta per l'invio diretto."));
    QObject::connect(b, &QPushButton::clicked, b, [b] { ErrorDisplay::guard([b] { open(b->window()); }); });
    return b;
}

void TfrmAccountPosta::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmAccountPosta::FormShow()
{
    ErrorDisplay::guard([this] {
        const MailAccount account = MailAccountStore::load();
        showAccount(account, QString());
        showOptOut(Unsubscribe::load());
        if (account.server.isEmpty())
            return;
        // The secret store may take a moment (or ask the user to unlock
        // it): asked once the window is up, not while it is being shown.
        QTimer::singleShot(0, this, [this, account] {
            ErrorDisplay::guard([&] {
                Waiting waiting;
                const QString password = MailPassword::known(account);
                if (txtPassword->text().isEmpty() && shownPassword_.isEmpty()) {
                    txtPassword->setText(password);
                    shownPassword_ = password;
                }
            });
        });
    });
}

void TfrmAccountPosta::showAccount(const MailAccount& a, const QString& password)
{
    txtNomeMittente->setText(a.senderName);
    txtEmailMittente->setText(a.senderAddress);
    txtServer->setText(a.server);
    security_ = a.security;
    {
        const QSignalBlocker quiet(cboSicurezza);
        cboSicurezza->setCurrentIndex(cboSicurezza->findData(int(a.security)));
    }
    txtPorta->setValue(a.port);
    txtUtente->setText(a.user);
    txtPassword->setText(password);
    chkRicordaPassword->setChecked(a.rememberPassword);
    txtPausa->setValue(a.pauseSeconds);
    txtDestinatariMessaggio->setValue(a.recipientsPerMessage);
    txtMessaggiConnessione->setValue(a.messagesPerConnection);
    // A new account is there to be used.
    chkUsaAccount->setChecked(a.useForDirect || a.server.isEmpty());
    lblAvviso->setVisible(a.security == Smtp::Security::None);
    shown_ = onScreen();
    shownPassword_ = password;
}

MailAccount TfrmAccountPosta::onScreen() const
{
    MailAccount a;
    a.senderName = txtNomeMittente->text().trimmed();
    a.senderAddress = txtEmailMittente->text().trimmed();
    a.server = txtServer->text().trimmed();
    a.port = txtPorta->value();
    a.security = Smtp::Security(cboSicurezza->currentData().toInt());
    a.user = txtUtente->text().trimmed();
    a.rememberPassword = chkRicordaPassword->isChecked();
    a.pauseSeconds = txtPausa->value();
    a.recipientsPerMessage = txtDestinatariMessaggio->value();
    a.messagesPerConnection = txtMessaggiConnessione->value();
    a.useForDirect = chkUsaAccount->isChecked();
    return a;
}

void TfrmAccountPosta::showOptOut(const Unsubscribe::Options& o)
{
    chkIntestazioneCancellazione->setChecked(o.header);
    chkRigaCancellazione->setChecked(o.closingLine);
    txtRigaCancellazione->setText(o.text);
    txtRigaCancellazione->setEnabled(o.closingLine);
    chkCancellazioneNonRiservati->setChecked(o.plainToo);
    shownOptOut_ = optOutOnScreen();
}

Unsubscribe::Options TfrmAccountPosta::optOutOnScreen() const
{
    Unsubscribe::Options o;
    o.header = chkIntestazioneCancellazione->isChecked();
    o.closingLine = chkRigaCancellazione->isChecked();
    o.text = txtRigaCancellazione->text().trimmed();
    o.plainToo = chkCancellazioneNonRiservati->isChecked();
    return o;
}

bool TfrmAccountPosta::changed() const
{
    return onScreen() != shown_ || optOutOnScreen() != shownOptOut_ || txtPassword->text() != shownPassword_;
}

void TfrmAccountPosta::cboSicurezzaChange()
{
    const auto chosen = Smtp::Security(cboSicurezza->currentData().toInt());
    // The usual port follows the choice, unless the user typed another.
    if (txtPorta->value() == MailAccountStore::usualPort(security_))
        txtPorta->setValue(MailAccountStore::usualPort(chosen));
    security_ = chosen;
    lblAvviso->setVisible(chosen == Smtp::Security::None);
}

bool TfrmAccountPosta::ready(bool trying, bool sending)
{
    const auto refuse = [](QWidget* field, const QString& text) {
        Dialogs::warning(QStringLiteral("Dati insufficienti"), text);
        field->setFocus(Qt::OtherFocusReason);
        return false;
    };
    const QString address = txtEmailMittente->text().trimmed();
    MimeMail::Mailbox box;
    if (sending && address.isEmpty())
        return refuse(txtEmailMittente,
            QStringLiteral("Attenzione: per inviare un messaggio di prova è necessario indicare l'indirizzo e-mail "
                           "del mittente."));
    if (!address.isEmpty() && !MimeMail::parseMailbox(address, box))
        return refuse(txtEmailMittente,
            QStringLiteral("Attenzione: l'indirizzo e-mail del mittente «%1» non è valido.").arg(address));
    const QString host = txtServer->text().trimmed();
    if (host.isEmpty() && (trying || chkUsaAccount->isChecked()))
        return refuse(txtServer, QStringLiteral("Attenzione: è necessario indicare il server di posta in uscita."));
    for (QChar c : host)
        if (c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('@') || c == QLatin1Char('?')
            || c == QLatin1Char('#'))
            return refuse(txtServer,
                QStringLiteral("Attenzione: il nome del server «%1» non è valido (per esempio smtp.esempio.it).")
                    .arg(host));
    return true;
}

bool TfrmAccountPosta::reach(bool sayWhenFine)
{
    const MailAccount account = onScreen();
    Smtp::Server server = SmtpRoute::serverOf(account, txtPassword->text());
    // Two rounds at most: the second after the user trusted a certificate.
    for (int round = 0; round < 2; ++round) {
        Waiting waiting;
        const Smtp::Outcome o = SmtpRoute::probe(server, timing_);
        waiting.lift();
        const QString where = QStringLiteral("%1 (porta %2)").arg(server.host).arg(server.port);
        if (o.failure == Smtp::Failure::None) {
            if (sayWhenFine)
                Dialogs::information(kCaption,
                    server.user.isEmpty()
                        ? QStringLiteral("Collegamento riuscito: il server %1 risponde. Non è stato inviato alcun "
                                         "messaggio.")
                              .arg(where)
                        : QStringLiteral("Collegamento riuscito: il server %1 ha accettato l'accesso di %2. Non è "
                                         "stato inviato alcun messaggio.")
                              .arg(where, server.user));
            return true;
        }
        QString question;
        if (o.failure == Smtp::Failure::Untrusted)
            question = QStringLiteral("Il certificato del server %1 non è riconosciuto come affidabile: non è "
                                      "rilasciato da un'autorità nota oppure non è intestato a questo nome.\n\n"
                                      "Intestato a: %2\nRilasciato da: %3\nImpronta SHA-256: %4\n\n"
                                      "Fidarsi di questo certificato per questo server? Rispondere Sì solo se "
                                      "l'impronta è quella indicata dal fornitore di posta.")
                           .arg(where, o.certificate.owner, o.certificate.issuer, o.certificate.fingerprint);
        else if (o.failure == Smtp::Failure::CertificateChanged)
            question = QStringLiteral("Il certificato del server %1 è cambiato da quando è stato accettato.\n\n"
                                      "Impronta accettata: %2\nImpronta attuale: %3\nIntestato a: %4\n\n"
                                      "Può trattarsi del rinnovo del certificato, ma anche di un tentativo di "
                                      "intercettare la posta. Fidarsi del nuovo certificato?")
                           .arg(where, server.trustedFingerprint, o.certificate.fingerprint, o.certificate.owner);
        if (question.isEmpty() || o.certificate.isNull()) {
            Dialogs::warning(kCaption, sentence(SmtpRoute::problemText(o, server, timing_)));
            return false;
        }
        if (!Dialogs::confirm(QStringLiteral("Certificato del server"), question, true))
            return false;
        MailAccountStore::trust(server.host, server.port, o.certificate.fingerprint);
        server.trustedFingerprint = o.certificate.fingerprint;
    }
    return false;
}

void TfrmAccountPosta::cmdProvaClick()
{
    if (ready(true, false))
        reach(true);
}

void TfrmAccountPosta::cmdMessaggioProvaClick()
{
    if (!ready(true, true) || !reach(false))
        return;
    const MailAccount account = onScreen();
    MapiRecipDesc from, to;
    from.lpszName = account.senderName.isEmpty() ? account.senderAddress : account.senderName;
    from.lpszAddress = QStringLiteral("SMTP:") + account.senderAddress;
    to.ulRecipClass = MAPI_TO;
    to.lpszName = to.lpszAddress = account.senderAddress;
    MapiMessage m;
    m.lpszSubject = QStringLiteral("Velmaro: messaggio di prova");
    m.lpszNoteText = QStringLiteral("Questo messaggio di prova è stato inviato da Velmaro attraverso il server %1 "
                                    "con l'account %2.\n\nSe è arrivato, l'account di posta è impostato "
                                    "correttamente.\n")
                         .arg(account.server, account.user.isEmpty() ? account.senderAddress : account.user);
    m.lpOriginator = &from;
    m.nRecipCount = 1;
    m.lpRecips = &to;
    PrivateSend::Report report;
    QString problem;
    Waiting waiting;
    const quint32 r = SmtpRoute::send({ account, txtPassword->text(), m, false, false, timing_ }, report, problem);
    waiting.lift();
    if (r != SUCCESS_SUCCESS)
        Dialogs::warning(kCaption, sentence(problem.isEmpty() ? MapiErrorText(r) : problem));
    else if (report.handedOver == 1)
        Dialogs::information(kCaption,
            QStringLiteral("Messaggio di prova consegnato al server di posta per %1: controllare che arrivi nella "
                           "casella di posta.")
                .arg(account.senderAddress));
    else
        Dialogs::warning(kCaption,
            QStringLiteral("Il server di posta non ha accettato il messaggio di prova per %1: %2")
                .arg(account.senderAddress,
                    report.refused.isEmpty() ? report.stopReason : report.refused.first().reason));
}

void TfrmAccountPosta::cmdSalvaClick()
{
    if (!ready(false, false))
        return;
    const MailAccount account = onScreen();
    const Unsubscribe::Options optOut = optOutOnScreen();
    // Each part counts as saved once written: should a later one fail, the
    // question on closing is about what is still unsaved.
    MailAccountStore::save(account);
    shown_ = account;
    Unsubscribe::save(optOut);
    shownOptOut_ = optOut;
    const bool kept = MailPassword::keep(account, txtPassword->text());
    shownPassword_ = txtPassword->text();
    if (!kept)
        Dialogs::information(kCaption,
            QStringLiteral("Il portachiavi del desktop non è disponibile: la password resterà in memoria fino alla "
                           "chiusura di Velmaro e sarà chiesta di nuovo al primo invio dopo il prossimo avvio."));
    accept();
}

void TfrmAccountPosta::done(int result)
{
    if (result == QDialog::Rejected && changed()
        && !Dialogs::confirm(kCaption, QStringLiteral("Le modifiche all'account di posta non sono state salvate. "
                                                      "Chiudere senza salvarle?")))
        return;
    QDialog::done(result);
}

namespace {

class Prompt final : public IPasswordPrompt {
public:
    bool ask(const MailAccount& account, QString& password) override
    {
        QInputDialog dialog(QApplication::activeWindow());
        dialog.setObjectName(QStringLiteral("frmPasswordPosta"));
        dialog.setWindowTitle(kCaption);
        dialog.setLabelText(QStringLiteral("Password dell'account di posta %1 sul server %2:")
                                .arg(account.user.trimmed(), account.server.trimmed()));
        dialog.setTextEchoMode(QLineEdit::Password);
        // The hourglass of the send button would hide that the box waits.
        int lifted = 0;
        for (; QApplication::overrideCursor(); ++lifted)
            QApplication::restoreOverrideCursor();
        const bool given = Modal::run(&dialog) == QDialog::Accepted;
        for (; lifted > 0; --lifted)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        password = given ? dialog.textValue() : QString();
        return given && !password.isEmpty();
    }
};

} // namespace

void AccountPasswordPrompt::install()
{
    static Prompt prompt;
    MailPassword::installPrompt(&prompt);
}
