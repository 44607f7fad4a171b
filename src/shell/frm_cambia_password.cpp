#include "shell/frm_cambia_password.h"

#include "shell/password_field.h"
#include "shell/password_store.h"
#include "storage/card_text.h"
#include "storage/win1252.h"
#include "ui/dialogs.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmCambiaPassword* frmCambiaPassword = nullptr;

namespace {
bool blank(const QLineEdit* e) { return CardText::trimmed(e->text()).isEmpty(); }
} // namespace

TfrmCambiaPassword::TfrmCambiaPassword(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmCambiaPassword"));
    setWindowTitle(QStringLiteral(" Cambia password"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    auto* form = new QFormLayout;
    txtPasswordOld = PasswordField::make(this, "txtPasswordOld");
    txtPasswordNew = PasswordField::make(this, "txtPasswordNew");
    txtConferma = PasswordField::make(this, "txtConferma");
    txtPasswordOld->setMinimumWidth(240);
    form->addRow(QStringLiteral("Vecchia password:"), txtPasswordOld);
    form->addRow(QStringLiteral("Nuova password:"), txtPasswordNew);
    form->addRow(QStringLiteral("Conferma nuova pw:"), txtConferma);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setEnabled(false);
    cmdEsci = new QPushButton(QStringLiteral("Esci"), this);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdEsci);
    layout->addLayout(buttons);
    for (QPushButton* b : { cmdOK, cmdEsci })
        PasswordField::clickOnEnter(b);
    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdOK);
    setTabOrder(cmdOK, cmdEsci);

    for (QLineEdit* e : { txtPasswordOld, txtPasswordNew, txtConferma })
        connect(e, &QLineEdit::textChanged, this, &TfrmCambiaPassword::txtPasswordChange);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdOKClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmCambiaPassword::cmdEsciClick);
    PasswordField::onEnter(txtPasswordOld, [this] { txtPasswordNew->setFocus(); });
    PasswordField::onEnter(txtPasswordNew, [this] { txtConferma->setFocus(); });
    // Only moves on: the change is made by OK alone.
    PasswordField::onEnter(txtConferma, [this] {
        if (cmdOK->isEnabled())
            cmdOK->setFocus();
        else
            txtPasswordOld->setFocus();
    });

    setFixedSize(sizeHint());
}

void TfrmCambiaPassword::txtPasswordChange()
{
    cmdOK->setEnabled(!blank(txtPasswordOld) && !blank(txtPasswordNew) && !blank(txtConferma));
}

void TfrmCambiaPassword::cmdOKClick()
{
    try {
        const PasswordStore store;
        if (!store.matches(txtPasswordOld->text())) {
            Dialogs::message(QStringLiteral("Attenzione: vecchia password errata."));
            txtPasswordOld->clear();
            txtPasswordOld->setFocus();
            return;
        }
        const QString typed = CardText::trimmed(txtPasswordNew->text());
        if (typed != CardText::trimmed(txtConferma->text())) {
            Dialogs::message(QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                                            "E' necessario reinserire entrambi i valori."));
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus();
            return;
        }
        // The file holds Windows-1252 only: such a character would come
        // back as another one and lock everybody out.
        const QString unusable = Cp1252::firstUnencodable(PasswordStore::comparisonForm(typed));
        if (!unusable.isEmpty()) {
            Dialogs::message(QStringLiteral("Attenzione: il carattere \"%1\" non può essere usato in una password. "
                                            "Scegliere un'altra password.")
                                 .arg(unusable));
            txtPasswordNew->clear();
            txtConferma->clear();
            txtPasswordNew->setFocus();
            return;
        }
        store.store(typed);
    } catch (...) {
        Dialogs::message(QStringLiteral("Attenzione: si è verificato un errore durante la procedura di modifica "
                                        "della password. Si consiglia di reinstallare il software."));
        return;
    }
    Dialogs::message(QStringLiteral("Modifica della password avvenuta con successo."));
    close();
}

void TfrmCambiaPassword::cmdEsciClick() { close(); }

void TfrmCambiaPassword::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        PasswordField::centre(this);
    }
    for (QLineEdit* e : { txtPasswordOld, txtPasswordNew, txtConferma })
        e->clear();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::closeEvent(QCloseEvent* event)
{
    // Every way out leads back to the login with an empty box.
    for (QLineEdit* e : { txtPasswordOld, txtPasswordNew, txtConferma })
        e->clear();
    event->accept();
    if (comeBack_)
        comeBack_();
}
