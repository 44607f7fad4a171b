#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;

// The about window: the program, its maker, a mail link and a web link.
class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget* parent = nullptr);

    // The "mailto:" text the mail link hands to the shell.
    static QString mailText();

    QGroupBox* grpInfo = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* imgEmail = nullptr;
    QLabel* lblWeb = nullptr;
    QLabel* imgWeb = nullptr;
    // Where this run keeps its archives and password.
    QLabel* lblDati = nullptr;
    QPushButton* cmdOK = nullptr;

public slots:
    void lblEmailClick();
    void lblWebClick();
    void cmdOKClick();

protected:
    void showEvent(QShowEvent* event) override;
};

extern TfrmInfo* frmInfo;
