#pragma once

#include <QString>

#include <functional>

class HintBar;
class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;

// Pieces the two forms that send mail (the message card editor and the send
// form) share.
namespace MailCompose {

// The three checks before a message is handed on, in order; on the first
// empty (trimmed) field: the "Dati insufficienti" warning, focus to the
// field, false. fieldOf maps "txtEmailMitt", "txtEmail", "txtTesto" to the
// form's controls.
bool readyToSend(const std::function<QWidget*(const QString&)>& fieldOf);

// The remembered sender of one section of Messaggi.ini.
struct Sender {
    QString name;
    QString address;
};
Sender rememberedSender(const QString& section);
void rememberSender(const QString& section, const Sender& sender);

} // namespace MailCompose

// The lower part of both forms that send mail: subject, body, the file to
// attach with its browse and open buttons, and the sending controls (the
// preview and private sending boxes and the send button), laid out in a grid
// from a row on. The private sending choice is remembered in the form's
// section of Messaggi.ini.
class SendBlock {
public:
    SendBlock(QWidget* panel, QGridLayout* grid, int row, HintBar* hints, const QString& section);

    QLineEdit* txtOggetto = nullptr;
    QPlainTextEdit* txtTesto = nullptr;
    QLineEdit* txtAllegato = nullptr;
    QCheckBox* chkPreviewMsg = nullptr;
    QCheckBox* chkRiservato = nullptr; // private sending
    QToolButton* btnEmail = nullptr;
    // The row of the sending controls, where a form may add its own.
    QHBoxLayout* sendRow = nullptr;

    // The boxes as ticked, settled before sending: private sending with
    // preview cannot be, and the user is asked (PrivateSendChoice::settle).
    // False when the user gave up sending.
    bool settle(bool& preview, bool& privately) const;
};
