#include "ui/mail_compose.h"
#include "ui/private_send_window.h"

#include "mail/frm_account_posta.h"
#include "mail/mail_account.h"
#include "storage/app_paths.h"
#include "storage/card_text.h"
#include "storage/ini_file.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/field_access.h"
#include "ui/form_look.h"
#include "ui/path_chooser.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
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
    b.cmdAccountPosta = TfrmAccountPosta::button(panel, hints);
    hints->add(b.btnEmail, QStringLiteral(" Invia il messaggio e-mail corrente."));

    grid->addWidget(new QLabel(QStringLiteral("Oggetto:"), panel), row, 0);
    grid->addWidget(b.txtOggetto, row, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Testo del messaggio:"), panel), row + 1, 0, 1, 4);
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
    send->addWidget(b.cmdAccountPosta);
    send->addStretch(1);
    send->addWidget(b.chkPreviewMsg);
    send->addWidget(b.chkRiservato);
    send->addWidget(b.btnEmail);
    grid->addLayout(send, row + 4, 0, 1, 4);

    FormLook::styleField(b.txtAllegato);
    new PathChooser(b.txtAllegato, cmdSfoglia, cmdApri, PathChoice::mailAttachment());
    return b;
}
