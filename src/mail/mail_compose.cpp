#include "mail/mail_compose.h"

#include "mail/frm_account_posta.h"
#include "mail/mail_account.h"
#include "mail/frm_anteprima.h"
#include "mail/frm_esclusi.h"
#include "mail/personalisation.h"
#include "mail/private_send_window.h"
#include "storage/app_paths.h"
#include "storage/card_text.h"
#include "storage/ini_file.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/field_access.h"
#include "ui/form_look.h"
#include "ui/path_chooser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <utility>

namespace {
const QString kNameKey = QStringLiteral("Nome Mittente");
const QString kAddressKey = QStringLiteral("Email Mittente");
QString iniPath() { return AppPaths::beside(QStringLiteral("Messaggi.ini")); }
} // namespace

bool MailCompose::readyToSend(const std::function<QWidget*(const QString&)>& fieldOf)
{
    static const struct {
        const char* field;
        const char* text;
    } checks[] = {
        { "txtEmailMitt",
            "Attenzione: per poter inviare il presente messaggio è necessario indicare l'indirizzo e-mail del "
            "mittente." },
        { "txtEmail",
            "Attenzione: per poter inviare il presente messaggio è necessario indicare l'indirizzo e-mail di "
            "almeno un destinatario." },
        { "txtTesto",
            "Attenzione: per poter inviare il presente messaggio è necessario immettere il testo del messaggio." },
    };
    for (const auto& c : checks) {
        QWidget* field = fieldOf(QLatin1String(c.field));
        if (CardText::trimmed(FieldAccess::text(field)).isEmpty()) {
            Dialogs::warning(QStringLiteral("Dati insufficienti"), QString::fromUtf8(c.text));
            field->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return true;
}

MailCompose::Sender MailCompose::rememberedSender(const QString& section)
{
    const IniFile ini(iniPath());
    Sender sender { ini.read(section, kNameKey), ini.read(section, kAddressKey) };
    if (sender.name.isEmpty() && sender.address.isEmpty()) {
        const MailAccount account = MailAccountStore::load();
        sender = { account.senderName, account.senderAddress };
    }
    return sender;
}

void MailCompose::rememberSender(const QString& section, const Sender& sender)
{
    const IniFile ini(iniPath());
    ini.write(section, kNameKey, CardText::trimmed(sender.name));
    ini.write(section, kAddressKey, CardText::trimmed(sender.address));
}

namespace {

// Remembers which of the two texts had the cursor last, for the field
// button; the body until the subject is chosen.
class LastTextField : public QObject {
public:
    LastTextField(QLineEdit* subject, QPlainTextEdit* body)
        : QObject(body)
        , subject_(subject)
        , body_(body)
    {
        subject->installEventFilter(this);
        body->installEventFilter(this);
    }

    void insert(const QString& text)
    {
        if (last_ == subject_) {
            subject_->insert(text);
            subject_->setFocus(Qt::OtherFocusReason);
        } else {
            body_->insertPlainText(text);
            body_->setFocus(Qt::OtherFocusReason);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            last_ = watched;
        return false;
    }

private:
    QLineEdit* subject_;
    QPlainTextEdit* body_;
    QObject* last_ = nullptr;
};

// The form's own control of that name (the recipients live outside the
// block).
QString formText(QWidget* panel, const char* name)
{
    return FieldAccess::text(panel->window()->findChild<QWidget*>(QLatin1String(name)));
}

} // namespace

void SendBlock::addPersonalTools(QWidget* panel, HintBar* hints)
{
    cmdCampi = new QToolButton(panel);
    cmdCampi->setObjectName(QStringLiteral("cmdCampi"));
    cmdCampi->setText(QStringLiteral("Campi"));
    cmdCampi->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(cmdCampi);
    menu->setObjectName(QStringLiteral("mnuCampi"));
    cmdCampi->setMenu(menu);
    auto* last = new LastTextField(txtOggetto, txtTesto);
    // Filled when opened, from the contact card's fields.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, last] {
        menu->clear();
        for (const PersonalFields::Field& f : PersonalFields::all()) {
            const QString placeholder = QLatin1Char('{') + f.caption + QLatin1Char('}');
            menu->addAction(placeholder, last, [last, placeholder] { last->insert(placeholder); });
        }
    });
    hints->add(cmdCampi, QStringLiteral(" Inserisce al cursore un campo della scheda del destinatario."));

    cmdAnteprima = new QPushButton(QStringLiteral("Anteprima personalizzata"), panel);
    cmdAnteprima->setObjectName(QStringLiteral("cmdAnteprima"));
    hints->add(cmdAnteprima, QStringLiteral(" Mostra oggetto e testo come li riceverà un destinatario scelto."));
    QCheckBox* privately = chkRiservato;
    QObject::connect(cmdAnteprima, &QPushButton::clicked, panel, [panel, privately] {
        ErrorDisplay::guard([&] {
            TfrmAnteprima::open({ formText(panel, "txtEmail"), formText(panel, "txtOggetto"),
                                    formText(panel, "txtTesto"), privately->isChecked() },
                panel->window());
        });
    });

    cmdEsclusi = new QPushButton(QStringLiteral("Indirizzi esclusi"), panel);
    cmdEsclusi->setObjectName(QStringLiteral("cmdEsclusi"));
    hints->add(cmdEsclusi, QStringLiteral(" Elenco degli indirizzi esclusi dagli invii."));
    QObject::connect(cmdEsclusi, &QPushButton::clicked, panel,
        [panel] { ErrorDisplay::guard([&] { TfrmEsclusi::open(panel->window()); }); });
}

SendBlock::SendBlock(QWidget* panel, QGridLayout* grid, int row, HintBar* hints, const QString& section)
{
    txtOggetto = EditorChrome::lineEdit(panel, "txtOggetto");
    txtTesto = EditorChrome::memo(panel, "txtTesto");
    txtAllegato = EditorChrome::lineEdit(panel, "txtAllegato");
    auto* cmdSfoglia = new QPushButton(QStringLiteral("..."), panel);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    auto* cmdApri = new QPushButton(QStringLiteral("Apri"), panel);
    cmdApri->setObjectName(QStringLiteral("cmdApri"));
    chkPreviewMsg = new QCheckBox(QStringLiteral(" Visualizza anteprima "), panel);
    chkPreviewMsg->setObjectName(QStringLiteral("chkPreviewMsg"));
    chkPreviewMsg->setChecked(true);
    chkRiservato = new QCheckBox(PrivateSendChoice::caption(), panel);
    chkRiservato->setObjectName(QStringLiteral("chkRiservato"));
    btnEmail = EditorChrome::imageButton(panel, "btnEmail", "invia", "Invia");
    hints->add(btnEmail, QStringLiteral(" Invia il messaggio e-mail corrente."));
    cmdAccountPosta = TfrmAccountPosta::button(panel, hints);
    addPersonalTools(panel, hints);

    grid->addWidget(new QLabel(QStringLiteral("Oggetto:"), panel), row, 0);
    grid->addWidget(txtOggetto, row, 1, 1, 3);
    auto* bodyRow = new QHBoxLayout;
    bodyRow->addWidget(new QLabel(QStringLiteral("Testo del messaggio:"), panel));
    bodyRow->addStretch(1);
    bodyRow->addWidget(cmdCampi);
    bodyRow->addWidget(cmdAnteprima);
    grid->addLayout(bodyRow, row + 1, 0, 1, 4);
    // The body is what the user mostly writes: it takes the room left.
    txtTesto->setMinimumHeight(7 * txtTesto->fontMetrics().lineSpacing());
    grid->addWidget(txtTesto, row + 2, 0, 1, 4);
    grid->setRowStretch(row + 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("File allegato:"), panel), row + 3, 0);
    auto* attach = new QHBoxLayout;
    attach->addWidget(txtAllegato, 1);
    attach->addWidget(cmdSfoglia);
    attach->addWidget(cmdApri);
    grid->addLayout(attach, row + 3, 1, 1, 3);
    // Pictures, not captions: with both check boxes the row has no room for
    // more words (the caption stays the button's accessible name and tip).
    for (const auto& [button, picture] : { std::pair { cmdEsclusi, ":/img/esclusi.png" },
             std::pair { cmdAccountPosta, ":/img/email.png" } }) {
        const QString caption = button->text().remove(QLatin1String("..."));
        button->setAccessibleName(caption);
        button->setToolTip(caption);
        button->setText(QString());
        button->setIcon(QIcon(QString::fromLatin1(picture)));
        button->setIconSize(QSize(24, 24));
    }
    sendRow = new QHBoxLayout;
    sendRow->addWidget(cmdEsclusi);
    sendRow->addWidget(cmdAccountPosta);
    sendRow->addStretch(1);
    sendRow->addWidget(chkPreviewMsg);
    sendRow->addWidget(chkRiservato);
    sendRow->addWidget(btnEmail);
    grid->addLayout(sendRow, row + 4, 0, 1, 4);

    FormLook::styleField(txtAllegato);
    new PathChooser(txtAllegato, cmdSfoglia, cmdApri, PathChoice::mailAttachment());
    PrivateSendChoice::bind(chkRiservato, section);
}

bool SendBlock::settle(bool& preview, bool& privately) const
{
    preview = chkPreviewMsg->isChecked();
    privately = chkRiservato->isChecked();
    return PrivateSendChoice::settle(privately, preview);
}
