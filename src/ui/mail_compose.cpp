#include "ui/mail_compose.h"
#include "ui/private_send_window.h"

#include "mail/personalisation.h"
#include "storage/app_paths.h"
#include "storage/card_text.h"
#include "storage/ini_file.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/field_access.h"
#include "ui/form_look.h"
#include "ui/frm_anteprima.h"
#include "ui/frm_esclusi.h"
#include "ui/path_chooser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

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
    return { ini.read(section, kNameKey), ini.read(section, kAddressKey) };
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

// The block's buttons for personalised fields and the opt-out list.
void addPersonalTools(QWidget* panel, MailCompose::MessageBlock& b, HintBar* hints)
{
    b.cmdCampi = new QToolButton(panel);
    b.cmdCampi->setObjectName(QStringLiteral("cmdCampi"));
    b.cmdCampi->setText(QStringLiteral("Campi"));
    b.cmdCampi->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(b.cmdCampi);
    menu->setObjectName(QStringLiteral("mnuCampi"));
    b.cmdCampi->setMenu(menu);
    auto* last = new LastTextField(b.txtOggetto, b.txtTesto);
    // Filled when opened: the captions are the contact card's as they are now.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, last] {
        menu->clear();
        for (const PersonalFields::Field& f : PersonalFields::all()) {
            const QString placeholder = QLatin1Char('{') + f.caption + QLatin1Char('}');
            menu->addAction(placeholder, last, [last, placeholder] { last->insert(placeholder); });
        }
    });
    hints->add(b.cmdCampi, QStringLiteral(" Inserisce al cursore un campo della scheda del destinatario."));

    b.cmdAnteprima = new QPushButton(QStringLiteral("Anteprima personalizzata"), panel);
    b.cmdAnteprima->setObjectName(QStringLiteral("cmdAnteprima"));
    hints->add(b.cmdAnteprima, QStringLiteral(" Mostra oggetto e testo come li riceverà un destinatario scelto."));
    QCheckBox* privately = b.chkRiservato;
    QObject::connect(b.cmdAnteprima, &QPushButton::clicked, panel, [panel, privately] {
        ErrorDisplay::guard([&] {
            TfrmAnteprima::open({ formText(panel, "txtEmail"), formText(panel, "txtOggetto"),
                                    formText(panel, "txtTesto"), privately->isChecked() },
                panel->window());
        });
    });

    b.cmdEsclusi = new QPushButton(QStringLiteral("Indirizzi esclusi"), panel);
    b.cmdEsclusi->setObjectName(QStringLiteral("cmdEsclusi"));
    hints->add(b.cmdEsclusi, QStringLiteral(" Elenco degli indirizzi esclusi dagli invii."));
    QObject::connect(b.cmdEsclusi, &QPushButton::clicked, panel,
        [panel] { ErrorDisplay::guard([&] { TfrmEsclusi::open(panel->window()); }); });
}

} // namespace

MailCompose::MessageBlock MailCompose::buildMessageBlock(QWidget* panel, QGridLayout* grid, int row, HintBar* hints)
{
    MessageBlock b;
    b.txtOggetto = EditorChrome::lineEdit(panel, "txtOggetto");
    b.txtTesto = EditorChrome::memo(panel, "txtTesto");
    b.txtAllegato = EditorChrome::lineEdit(panel, "txtAllegato");
    auto* cmdSfoglia = new QPushButton(QStringLiteral("..."), panel);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    auto* cmdApri = new QPushButton(QStringLiteral("Apri"), panel);
    cmdApri->setObjectName(QStringLiteral("cmdApri"));
    b.chkPreviewMsg = new QCheckBox(QStringLiteral(" Visualizza anteprima "), panel);
    b.chkPreviewMsg->setObjectName(QStringLiteral("chkPreviewMsg"));
    b.chkPreviewMsg->setChecked(true);
    b.chkRiservato = new QCheckBox(PrivateSendChoice::caption(), panel);
    b.chkRiservato->setObjectName(QStringLiteral("chkRiservato"));
    b.btnEmail = EditorChrome::imageButton(panel, "btnEmail", "invia", "Invia");
    hints->add(b.btnEmail, QStringLiteral(" Invia il messaggio e-mail corrente."));
    addPersonalTools(panel, b, hints);

    grid->addWidget(new QLabel(QStringLiteral("Oggetto:"), panel), row, 0);
    grid->addWidget(b.txtOggetto, row, 1, 1, 3);
    auto* bodyRow = new QHBoxLayout;
    bodyRow->addWidget(new QLabel(QStringLiteral("Testo del messaggio:"), panel));
    bodyRow->addStretch(1);
    bodyRow->addWidget(b.cmdCampi);
    bodyRow->addWidget(b.cmdAnteprima);
    grid->addLayout(bodyRow, row + 1, 0, 1, 4);
    // The body is what the user mostly writes: it takes the room left.
    b.txtTesto->setMinimumHeight(7 * b.txtTesto->fontMetrics().lineSpacing());
    grid->addWidget(b.txtTesto, row + 2, 0, 1, 4);
    grid->setRowStretch(row + 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("File allegato:"), panel), row + 3, 0);
    auto* attach = new QHBoxLayout;
    attach->addWidget(b.txtAllegato, 1);
    attach->addWidget(cmdSfoglia);
    attach->addWidget(cmdApri);
    grid->addLayout(attach, row + 3, 1, 1, 3);
    auto* send = new QHBoxLayout;
    send->addWidget(b.cmdEsclusi);
    send->addStretch(1);
    send->addWidget(b.chkPreviewMsg);
    send->addWidget(b.chkRiservato);
    send->addWidget(b.btnEmail);
    grid->addLayout(send, row + 4, 0, 1, 4);

    FormLook::styleField(b.txtAllegato);
    new PathChooser(b.txtAllegato, cmdSfoglia, cmdApri, PathChoice::mailAttachment());
    return b;
}
