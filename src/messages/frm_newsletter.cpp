#include "messages/frm_newsletter.h"

#include "archives/archive_registry.h"
#include "mail/mail_compose.h"
#include "mail/mapi_mail.h"
#include "messages/frm_importa_data.h"
#include "storage/card_text.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"
#include "ui/picked_card.h"
#include "ui/search_forms.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

TfrmNewsletter* frmNewsletter = nullptr;

TfrmNewsletter::TfrmNewsletter(QWidget* parent)
    : CardEditor(Archives::get(ArchiveKind::Messages), parent)
    , contactName_(Archives::get(ArchiveKind::Contacts).columnOf(QStringLiteral("txtContatto")).name)
    , contactAddress_(Archives::get(ArchiveKind::Contacts).columnOf(QStringLiteral("txtEmail")).name)
    , groupAddresses_(Archives::get(ArchiveKind::Groups).columnOf(QStringLiteral("txtEmail")).name)
{
    setObjectName(QStringLiteral("frmNewsletter"));
    setWindowTitle(QStringLiteral(" Velmaro - Archivio messaggi"));
    build();
    finishSetup();
}

TfrmNewsletter::~TfrmNewsletter() = default;

void TfrmNewsletter::build()
{
    const EditorChrome::Parts& chrome = this->chrome();
    QWidget* host = chrome.container;
    HintBar* hints = chrome.hints;

    QFrame* panTitolo = EditorChrome::whitePanel(host, "panTitolo", hints);
    auto* g1 = new QGridLayout(panTitolo);
    QLineEdit* txtMittente = EditorChrome::lineEdit(panTitolo, "txtMittente");
    QLineEdit* txtEmailMitt = EditorChrome::lineEdit(panTitolo, "txtEmailMitt");
    QLineEdit* txtTipologia = EditorChrome::lineEdit(panTitolo, "txtTipologia");
    QLineEdit* txtCreazione = EditorChrome::lineEdit(panTitolo, "txtCreazione");
    QLineEdit* txtNote = EditorChrome::lineEdit(panTitolo, "txtNote");
    QToolButton* impMittente = EditorChrome::imageButton(panTitolo, "impMittente", "rubrica", "Rubrica");
    QToolButton* impCreazione = EditorChrome::imageButton(panTitolo, "impCreazione", "calendario", "Data");
    g1->addWidget(new QLabel(QStringLiteral("Nome mittente:"), panTitolo), 0, 0);
    g1->addWidget(txtMittente, 0, 1);
    g1->addWidget(impMittente, 0, 2);
    g1->addWidget(new QLabel(QStringLiteral("E-mail mittente:"), panTitolo), 0, 3);
    g1->addWidget(txtEmailMitt, 0, 4, 1, 2);
    g1->addWidget(new QLabel(QStringLiteral("Tipologia messaggio:"), panTitolo), 1, 0);
    g1->addWidget(txtTipologia, 1, 1);
    g1->addWidget(new QLabel(QStringLiteral("Data creazione:"), panTitolo), 1, 3);
    g1->addWidget(txtCreazione, 1, 4);
    g1->addWidget(impCreazione, 1, 5);
    g1->addWidget(new QLabel(QStringLiteral("Note:"), panTitolo), 2, 0);
    g1->addWidget(txtNote, 2, 1, 1, 5);
    chrome.body->addWidget(panTitolo);

    QFrame* panEmail = EditorChrome::whitePanel(host, "panEmail", hints);
    auto* g2 = new QGridLayout(panEmail);
    QPlainTextEdit* txtEmail = EditorChrome::memo(panEmail, "txtEmail");
    txtEmail->setFixedHeight(52);
    QToolButton* impSingolo = EditorChrome::imageButton(panEmail, "impSingolo", "rubrica", "Rubrica");
    QToolButton* imgGruppo = EditorChrome::imageButton(panEmail, "imgGruppo", "gruppi", "Gruppi");

    auto* recipients = new QHBoxLayout;
    recipients->addWidget(txtEmail, 1);
    auto* pickers = new QVBoxLayout;
    pickers->addWidget(impSingolo);
    pickers->addWidget(imgGruppo);
    recipients->addLayout(pickers);
    g2->addWidget(
        new QLabel(QStringLiteral("Indirizzi e-mail destinatari (separati da virgola):"), panEmail), 0, 0, 1, 4);
    g2->addLayout(recipients, 1, 0, 1, 4);
    send_ = std::make_unique<SendBlock>(panEmail, g2, 2, hints, QString::fromLatin1(kIniSection));
    const SendBlock& message = *send_;
    // Smaller pickers and tighter rows leave the room to the message body.
    for (QToolButton* picker : { impMittente, impCreazione, impSingolo, imgGruppo })
        picker->setIconSize(QSize(24, 24));
    for (QGridLayout* g : { g1, g2 })
        g->setVerticalSpacing(3);
    QLineEdit* txtOggetto = message.txtOggetto;
    QPlainTextEdit* txtTesto = message.txtTesto;
    chrome.body->addWidget(panEmail, 1);

    hints->add(impSingolo, QStringLiteral(" Importa dati dalla rubrica dei contatti."));
    hints->add(imgGruppo, QStringLiteral(" Importa dati dall'archivio dei gruppi destinatari."));
    hints->add(impMittente, QStringLiteral(" Importa dati mittente dalla rubrica dei contatti."));
    hints->add(impCreazione, QStringLiteral(" Seleziona una data dal calendario."));

    const QList<QWidget*> chain
        = { txtMittente, txtEmailMitt, txtTipologia, txtCreazione, txtNote, txtEmail, txtOggetto, txtTesto };
    FormLook::setUpFieldChain({ chain, { txtTesto }, {}, nullptr });
    FormLook::installEnterChain({ { message.txtAllegato, txtMittente }, {}, {}, nullptr });

    FormLook::onRelease(message.btnEmail, [this] { btnEmailMouseUp(); });
    FormLook::onRelease(impSingolo, [this] { impSingoloMouseUp(); });
    FormLook::onRelease(impMittente, [this] { impMittenteMouseUp(); });
    FormLook::onRelease(impCreazione, [this] { impCreazioneMouseUp(); });

    FormLook::onRelease(imgGruppo, [this] { imgGruppoMouseUp(); });
}

void TfrmNewsletter::imgGruppoMouseUp()
{
    // A picked group's whole address list joins the recipients.
    SearchFormBase::openAs(groupPicker_, QStringLiteral("newsletter"), [this](const TSQLiteTable& row) {
        if (const auto lists = PickedCard::columns(Archives::card(ArchiveKind::Groups), row, { groupAddresses_ }))
            appendRecipient(lists->value(0));
    });
}

void TfrmNewsletter::afterPrepare()
{
    const auto sender = MailCompose::rememberedSender(QString::fromLatin1(kIniSection));
    setSender(sender.name, sender.address);
}

void TfrmNewsletter::beforeLeave()
{
    MailCompose::rememberSender(QString::fromLatin1(kIniSection),
        { fieldText(QStringLiteral("txtMittente")), fieldText(QStringLiteral("txtEmailMitt")) });
}

void TfrmNewsletter::btnEmailMouseUp()
{
    if (!MailCompose::readyToSend([this](const QString& name) { return field(name); }))
        return;
    bool preview = false;
    bool privately = false;
    if (!send_->settle(preview, privately))
        return;
    ErrorDisplay::guard([&] {
        SendMapiMessage(QString(), fieldText(QStringLiteral("txtEmail")), fieldText(QStringLiteral("txtMittente")),
            fieldText(QStringLiteral("txtEmailMitt")), fieldText(QStringLiteral("txtOggetto")),
            fieldText(QStringLiteral("txtTesto")), fieldText(QStringLiteral("txtAllegato")), preview, privately);
    });
}

void TfrmNewsletter::appendRecipient(const QString& address)
{
    setFieldText(QStringLiteral("txtEmail"),
        PickerText::appended(fieldText(QStringLiteral("txtEmail")), address, QStringLiteral(",")));
}

void TfrmNewsletter::setSender(const QString& name, const QString& address)
{
    setFieldText(QStringLiteral("txtMittente"), name);
    setFieldText(QStringLiteral("txtEmailMitt"), address);
}

void TfrmNewsletter::pickContact(const QString& mode, bool asSender)
{
    SearchFormBase::openAs(contactPicker_, mode, [this, asSender](const TSQLiteTable& row) {
        const QString address = PickerText::column(row, contactAddress_);
        if (asSender)
            setSender(PickerText::column(row, contactName_), address);
        else
            appendRecipient(address);
    });
}

void TfrmNewsletter::impSingoloMouseUp() { pickContact(QStringLiteral("newsletter"), false); }
void TfrmNewsletter::impMittenteMouseUp() { pickContact(QStringLiteral("mitt_newsletter"), true); }

void TfrmNewsletter::impCreazioneMouseUp()
{
    if (!datePicker_)
        return;
    datePicker_->setPick(QStringLiteral("messaggi"),
        [this](const QString& date) { setFieldText(QStringLiteral("txtCreazione"), date); });
    Modal::run(datePicker_);
}
