#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class Personalisation;

// "Anteprima personalizzata": the subject and body as one chosen recipient
// will receive them, fields filled from that recipient's contact card.
class TfrmAnteprima : public QDialog {
    Q_OBJECT
public:
    struct Message {
        QString recipients; // the comma-separated list of the form
        QString subject;
        QString body;
        bool privately = false;
    };
    TfrmAnteprima(const Message& message, QWidget* parent = nullptr);
    ~TfrmAnteprima() override;

    // Opens the window modally; refuses a message without recipients.
    static void open(const Message& message, QWidget* parent);

    // Shows the recipient at this line of the list.
    void showRecipient(int index);

private:
    Message message_;
    QStringList addresses_;
    QStringList excluded_;
    std::unique_ptr<Personalisation> texts_; // subject, and body with the closing line when it is added
    std::unique_ptr<Personalisation> name_; // the card's first field, naming it
    QComboBox* cboDestinatario_ = nullptr;
    QLabel* lblScheda_ = nullptr;
    QLineEdit* txtOggetto_ = nullptr;
    QPlainTextEdit* txtTesto_ = nullptr;
};
