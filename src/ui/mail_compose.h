#pragma once

#include <QString>

#include <functional>

class HintBar;
class QCheckBox;
class QGridLayout;
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

// The lower part of both forms: subject, body, the file to attach with its
// browse and open buttons, the preview box and the send button, laid out in
// grid from row on.
struct MessageBlock {
    QLineEdit* txtOggetto = nullptr;
    QPlainTextEdit* txtTesto = nullptr;
    QLineEdit* txtAllegato = nullptr;
    QCheckBox* chkPreviewMsg = nullptr;
    QCheckBox* chkRiservato = nullptr; // private sending
    QToolButton* btnEmail = nullptr;
    QToolButton* cmdCampi = nullptr; // inserts a personalised field at the cursor
    QPushButton* cmdAnteprima = nullptr; // "Anteprima personalizzata"
    QPushButton* cmdEsclusi = nullptr; // the list of excluded addresses
};
MessageBlock buildMessageBlock(QWidget* panel, QGridLayout* grid, int row, HintBar* hints);

} // namespace MailCompose
