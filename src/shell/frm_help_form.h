#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The one help window every form shows its topic in. It keeps the last
// topic until a caller sets another.
class TfrmHelpForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmHelpForm(QWidget* parent = nullptr);

    // Sets the title and the text (paragraphs separated by "\r\n\r\n") and
    // shows the window modally.
    int showTopic(const QString& title, const QString& text);

    QLabel* panTitle = nullptr;
    QPlainTextEdit* memTopic = nullptr;
    QPushButton* cmdOK = nullptr;
    QLabel* lblPDF = nullptr;
    QLabel* imgPDF = nullptr;

public slots:
    void cmdOKClick();
    void lblPDFClick();
};

extern TfrmHelpForm* frmHelpForm;
