#include "shell/frm_password.h"

#include "shell/password_field.h"
#include "shell/password_store.h"
#include "storage/card_text.h"
#include "ui/dialogs.h"
#include "ui/modal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPassword* frmPassword = nullptr;

TfrmPassword::TfrmPassword(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QStringLiteral(" Velmaro - Autenticazione"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    auto* top = new QHBoxLayout;
    auto* logo = new QLabel(this);
    logo->setPixmap(QPixmap(QStringLiteral(":/img/logo.png"))
                        .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    top->addWidget(logo, 0, Qt::AlignTop);
    auto* fields = new QVBoxLayout;
    lblInfo = new QLabel(QStringLiteral("Immettere la password e premere OK."), this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    fields->addWidget(lblInfo);
    txtPassword = PasswordField::make(this, "txtPassword");
    txtPassword->setMinimumWidth(260);
    fields->addWidget(txtPassword);
    top->addLayout(fields, 1);
    layout->addLayout(top);

    auto* buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setEnabled(false);
    btnCambiaPassword = new QPushButton(QStringLiteral("Cambia password"), this);
    btnCambiaPassword->setObjectName(QStringLiteral("btnCambiaPassword"));
    cmdEsci = new QPushButton(QStringLiteral("Esci"), this);
    cmdEsci->setObjectName(QStringLiteral("cmdEsci"));
    buttons->addWidget(btnCambiaPassword);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdEsci);
    layout->addLayout(buttons);
    for (QPushButton* b : { cmdOK, btnCambiaPassword, cmdEsci })
        PasswordField::clickOnEnter(b);
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, btnCambiaPassword);
    setTabOrder(btnCambiaPassword, cmdEsci);

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::txtPasswordChange);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::cmdOKClick);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::btnCambiaPasswordClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::cmdEsciClick);
    PasswordField::onEnter(txtPassword, [this] {
        if (!CardText::trimmed(txtPassword->text()).isEmpty())
            cmdOK->click();
    });

    setFixedSize(sizeHint());
}

void TfrmPassword::txtPasswordChange()
{
    cmdOK->setEnabled(!CardText::trimmed(txtPassword->text()).isEmpty());
}

void TfrmPassword::cmdOKClick()
{
    bool right = false;
    try {
        right = PasswordStore().matches(txtPassword->text());
    } catch (...) {
        Dialogs::message(QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura "
                                        "della password. Si consiglia di reinstallare il software."));
        return;
    }
    if (!right) {
        Dialogs::message(QStringLiteral("Attenzione: password errata."));
        txtPassword->clear();
        txtPassword->setFocus();
        return;
    }
    LauncherLink::show();
    hide();
    // The password is not left behind in a hidden window.
    txtPassword->clear();
}

void TfrmPassword::btnCambiaPasswordClick()
{
    if (!changeForm_)
        return;
    changeForm_->show();
    changeForm_->raise();
    changeForm_->activateWindow();
    hide();
}

void TfrmPassword::cmdEsciClick() { close(); }

void TfrmPassword::comeBack()
{
    txtPassword->clear();
    show();
    raise();
    activateWindow();
    txtPassword->setFocus();
}

void TfrmPassword::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        PasswordField::centre(this);
    }
    txtPassword->setFocus();
}

void TfrmPassword::closeEvent(QCloseEvent* event)
{
    // The main form: closing it ends the program, whatever else is open.
    event->accept();
    QCoreApplication::exit(0);
}
