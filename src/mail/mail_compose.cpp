#include "mail/mail_compose.h"

#include "mail/private_send_window.h"
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
    return { ini.read(section, kNameKey), ini.read(section, kAddressKey) };
}

void MailCompose::rememberSender(const QString& section, const Sender& sender)
{
    const IniFile ini(iniPath());
    ini.write(section, kNameKey, CardText::trimmed(sender.name));
    ini.write(section, kAddressKey, CardText::trimmed(sender.address));
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

    grid->addWidget(new QLabel(QStringLiteral("Oggetto:"), panel), row, 0);
    grid->addWidget(txtOggetto, row, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Testo del messaggio:"), panel), row + 1, 0, 1, 4);
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
    sendRow = new QHBoxLayout;
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
