#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// Change of the password, reached from the login only: the old password,
// the new one and its confirmation. Closing it returns to the login.
class TfrmCambiaPassword : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCambiaPassword(QWidget* parent = nullptr);

    // What closing the form leads back to (the login's comeBack); the
    // start-up hands it over.
    void setComeBack(std::function<void()> comeBack) { comeBack_ = std::move(comeBack); }

    QLineEdit* txtPasswordOld = nullptr;
    QLineEdit* txtPasswordNew = nullptr;
    QLineEdit* txtConferma = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdEsci = nullptr;

public slots:
    void txtPasswordChange();
    void cmdOKClick();
    void cmdEsciClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool centred_ = false;
    std::function<void()> comeBack_;
};

extern TfrmCambiaPassword* frmCambiaPassword;
