#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The login: the program's main form and its first window. The right
// password opens the launcher; closing the form ends the program.
class TfrmPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPassword(QWidget* parent = nullptr);

    // Back from the change of password: empty box, visible, focused.
    void comeBack();
    // The change of password form btnCambiaPassword shows; the start-up
    // hands it over.
    void setChangeForm(QWidget* form) { changeForm_ = form; }

    QLabel* lblInfo = nullptr;
    QLineEdit* txtPassword = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* btnCambiaPassword = nullptr;
    QPushButton* cmdEsci = nullptr;

public slots:
    void txtPasswordChange();
    void cmdOKClick();
    void btnCambiaPasswordClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool centred_ = false;
    QPointer<QWidget> changeForm_;
};

extern TfrmPassword* frmPassword;
