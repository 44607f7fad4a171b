#include "mail/frm_invia_email.h"

#include "archives/archive_registry.h"
#include "mail/mail_compose.h"
#include "mail/mapi_mail.h"
#include "storage/win1252.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/field_access.h"
#include "ui/form_look.h"
#include "ui/help.h"
#include "ui/modal.h"
#include "ui/picked_card.h"
#include "ui/search_forms.h"
#include "ui/wiring.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

TfrmInviaEmail* frmInviaEmail = nullptr;

TfrmInviaEmail::TfrmInviaEmail(QWidget* parent)
    : QWidget(parent)
{
    // The picked cards' columns the message takes: a contact's name and
    // address, a group's names and addresses, and a message card's fields of
    // the same names as this form's.
    const ArchiveDefinition& contacts = Archives::get(ArchiveKind::Contacts);
    const ArchiveDefinition& groups = Archives::get(ArchiveKind::Groups);
    const ArchiveDefinition& messages = Archives::get(ArchiveKind::Messages);
    contactName_ = contacts.columnOf(QStringLiteral("txtContatto")).name;
    contactAddress_ = contacts.columnOf(QStringLiteral("txtEmail")).name;
    groupNames_ = groups.columnOf(QStringLiteral("txtDestinatari")).name;
    groupAddresses_ = groups.columnOf(QStringLiteral("txtEmail")).name;
    for (const char* control : { "txtMittente", "txtEmailMitt", "txtEmail", "txtOggetto", "txtTesto", "txtAllegato" })
        messageFields_.append({ QLatin1String(control), messages.columnOf(QLatin1String(control)).name });
    setObjectName(QStringLiteral("frmInviaEmail"));
    setWindowTitle(QStringLiteral(" Velmaro - Invio e-mail"));
    setMinimumSize(800, 582);
    setWindowState(Qt::WindowMaximized);
    build();
}

void TfrmInviaEmail::build()
{
    auto* container = new QGroupBox(this);
    container->setObjectName(QStringLiteral("grpContainer"));
    container->setFixedSize(780, 540);
    auto* outer = new QVBoxLayout(container);

    QLabel* info = EditorChrome::infoBar(container);
    auto* hints = new HintBar(info);
    hints->clearOn(this);
    hints->clearOn(container);

    QFrame* panTitolo = EditorChrome::whitePanel(container, "panTitolo", hints);
    auto* g1 = new QGridLayout(panTitolo);
    QLineEdit* txtMittente = EditorChrome::lineEdit(panTitolo, "txtMittente");
    QLineEdit* txtEmailMitt = EditorChrome::lineEdit(panTitolo, "txtEmailMitt");
    QToolButton* impMittente = EditorChrome::imageButton(panTitolo, "impMittente", "rubrica", "Rubrica");
    QToolButton* impMessaggio = EditorChrome::imageButton(panTitolo, "impMessaggio", "messaggi", "Messaggi");
    auto* cmdGuida = EditorChrome::imageButton(panTitolo, "cmdGuida", "guida", "Guida");
    g1->addWidget(new QLabel(QStringLiteral("Nome mittente:"), panTitolo), 0, 0);
    g1->addWidget(txtMittente, 0, 1);
    g1->addWidget(impMittente, 0, 2);
    g1->addWidget(new QLabel(QStringLiteral("E-mail mittente:"), panTitolo), 0, 3);
    g1->addWidget(txtEmailMitt, 0, 4);
    g1->addWidget(impMessaggio, 0, 5);
    g1->addWidget(cmdGuida, 0, 6);
    outer->addWidget(panTitolo);

    QFrame* panEmail = EditorChrome::whitePanel(container, "panEmail", hints);
    auto* g2 = new QGridLayout(panEmail);
    QPlainTextEdit* txtDestinatari = EditorChrome::memo(panEmail, "txtDestinatari", 52);
    QPlainTextEdit* txtEmail = EditorChrome::memo(panEmail, "txtEmail", 52);
    QToolButton* impSingolo = EditorChrome::imageButton(panEmail, "impSingolo", "rubrica", "Rubrica");
    QToolButton* impGruppo = EditorChrome::imageButton(panEmail, "impGruppo", "gruppi", "Gruppi");

    g2->addWidget(new QLabel(QStringLiteral("Nomi destinatari:"), panEmail), 0, 0, 1, 3);
    g2->addWidget(txtDestinatari, 1, 0, 1, 3);
    g2->addWidget(
        new QLabel(QStringLiteral("Indirizzi e-mail destinatari (separati da virgola):"), panEmail), 2, 0, 1, 3);
    g2->addWidget(txtEmail, 3, 0, 1, 3);
    auto* pickers = new QVBoxLayout;
    pickers->addWidget(impSingolo);
    pickers->addWidget(impGruppo);
    g2->addLayout(pickers, 1, 3, 3, 1);
    send_ = std::make_unique<SendBlock>(panEmail, g2, 4, hints, QString::fromLatin1(kIniSection));
    const SendBlock& message = *send_;
    QLineEdit* txtOggetto = message.txtOggetto;
    QPlainTextEdit* txtTesto = message.txtTesto;
    outer->addWidget(panEmail, 1);
    outer->addWidget(info);

    auto* sfondo = new QToolButton(this);
    sfondo->setObjectName(QStringLiteral("btnSfondo"));
    sfondo->setIcon(QIcon(QStringLiteral(":/img/sfondo.png")));
    sfondo->hide();

    hints->add(impSingolo, QStringLiteral(" Importa dati dalla rubrica dei contatti."));
    hints->add(impGruppo, QStringLiteral(" Importa dati dall'archivio dei gruppi destinatari."));
    hints->add(impMessaggio, QStringLiteral(" Importa dati dall'archivio dei messaggi."));
    hints->add(impMittente, QStringLiteral(" Importa dati mittente dalla rubrica dei contatti."));
    hints->add(cmdGuida, QStringLiteral(" Visualizza la guida in linea."));

    const QList<QWidget*> chain = { txtMittente, txtEmailMitt, txtDestinatari, txtEmail, txtOggetto, txtTesto };
    FormLook::setUpFieldChain({ chain, { txtTesto }, {}, nullptr });
    FormLook::installEnterChain({ { message.txtAllegato, txtMittente }, {}, {}, nullptr });

    FormLook::onRelease(message.btnEmail, [this] { btnEmailMouseUp(); });
    FormLook::onRelease(impSingolo, [this] { impSingoloMouseUp(); });
    FormLook::onRelease(impMittente, [this] { impMittenteMouseUp(); });
    FormLook::onRelease(impMessaggio, [this] { impMessaggioMouseUp(); });
    FormLook::onRelease(cmdGuida, [this] { cmdGuidaMouseUp(); });
    FormLook::onRelease(impGruppo, [this] { impGruppoMouseUp(); });
    FormLook::centreOnResize(this, container);
}

TfrmInviaEmail::~TfrmInviaEmail() = default;

QWidget* TfrmInviaEmail::field(const QString& name) const { return Wiring::child<QWidget>(this, name); }
QString TfrmInviaEmail::fieldText(const QString& name) const { return FieldAccess::text(field(name)); }
void TfrmInviaEmail::setFieldText(const QString& name, const QString& text) { FieldAccess::setText(field(name), text); }

void TfrmInviaEmail::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmInviaEmail::FormShow()
{
    ErrorDisplay::guard([this] {
        if (auto* sfondo = findChild<QToolButton*>(QStringLiteral("btnSfondo")))
            FormLook::tileBackground(this, sfondo->icon().pixmap(64, 64));
        const auto sender = MailCompose::rememberedSender(QString::fromLatin1(kIniSection));
        setSender(sender.name, sender.address);
    });
}

void TfrmInviaEmail::closeEvent(QCloseEvent* event)
{
    ErrorDisplay::swallow([this] {
        MailCompose::rememberSender(QString::fromLatin1(kIniSection),
            { fieldText(QStringLiteral("txtMittente")), fieldText(QStringLiteral("txtEmailMitt")) });
    });
    ErrorDisplay::swallow([] { LauncherLink::show(); });
    event->accept();
}

void TfrmInviaEmail::btnEmailMouseUp()
{
    if (!MailCompose::readyToSend([this](const QString& name) { return field(name); }))
        return;
    bool preview = false;
    bool privately = false;
    if (!send_->settle(preview, privately))
        return;
    ErrorDisplay::guard([&] {
        SendMapiMessage(fieldText(QStringLiteral("txtDestinatari")), fieldText(QStringLiteral("txtEmail")),
            fieldText(QStringLiteral("txtMittente")), fieldText(QStringLiteral("txtEmailMitt")),
            fieldText(QStringLiteral("txtOggetto")), fieldText(QStringLiteral("txtTesto")),
            fieldText(QStringLiteral("txtAllegato")), preview, privately);
    });
}

void TfrmInviaEmail::appendRecipient(const QString& name, const QString& address)
{
    const QString comma = QStringLiteral(",");
    setFieldText(QStringLiteral("txtDestinatari"),
        PickerText::appended(fieldText(QStringLiteral("txtDestinatari")), name, comma));
    setFieldText(
        QStringLiteral("txtEmail"), PickerText::appended(fieldText(QStringLiteral("txtEmail")), address, comma));
}

void TfrmInviaEmail::setSender(const QString& name, const QString& address)
{
    setFieldText(QStringLiteral("txtMittente"), name);
    setFieldText(QStringLiteral("txtEmailMitt"), address);
}

void TfrmInviaEmail::pickContact(const QString& mode, bool asSender)
{
    SearchFormBase::openAs(contactPicker_, mode, [this, asSender](const TSQLiteTable& row) {
        const QString name = PickerText::column(row, contactName_);
        const QString address = PickerText::column(row, contactAddress_);
        if (asSender)
            setSender(name, address);
        else
            appendRecipient(name, address);
    });
}

void TfrmInviaEmail::impGruppoMouseUp()
{
    // A picked group's member names and addresses join the recipients.
    SearchFormBase::openAs(groupPicker_, QStringLiteral("invia"), [this](const TSQLiteTable& row) {
        if (const auto lists
            = PickedCard::columns(Archives::card(ArchiveKind::Groups), row, { groupNames_, groupAddresses_ }))
            appendRecipient(lists->value(0), lists->value(1));
    });
}

void TfrmInviaEmail::impSingoloMouseUp() { pickContact(QStringLiteral("invia"), false); }
void TfrmInviaEmail::impMittenteMouseUp() { pickContact(QStringLiteral("mitt_invia"), true); }
void TfrmInviaEmail::cmdGuidaMouseUp() { Help::show(helpTopic()); }

void TfrmInviaEmail::impMessaggioMouseUp()
{
    SearchFormBase::openAs(messagePicker_, QStringLiteral("invia"), [this](const TSQLiteTable& row) {
        const auto card = PickedCard::reload(Archives::card(ArchiveKind::Messages), row);
        if (!card)
            return;
        // Values as stored, blanks included; the names list is the user's own.
        for (const auto& [control, column] : std::as_const(messageFields_))
            setFieldText(control, Cp1252::decode(card->BlobTextAt(card->ColumnIndex(QString::fromLatin1(column)))));
    });
}
