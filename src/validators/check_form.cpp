#include "validators/check_form.h"

#include "storage/ascii.h"

#include <QColor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

CheckForm::CheckForm(const Dress& dress, QWidget* parent)
    : QDialog(parent)
    , typingLimit_(dress.typingLimit)
    , enableAbove_(dress.enableAbove)
{
    setObjectName(dress.objectName);
    setWindowTitle(dress.caption);

    lblInfo = new QLabel(dress.info, this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo02 = new QLabel(dress.info02, this);
    lblInfo02->setObjectName(QStringLiteral("lblInfo02"));

    // No maximum length on the box itself: it would cut a longer text placed
    // by the caller, and such a text must reach the check (and fail there).
    // The user's own typing and pasting stop at typingLimit instead.
    txtCodice = new QLineEdit(this);
    txtCodice->setObjectName(QStringLiteral("txtCodice"));
    txtCodice->installEventFilter(this);
    setBoxColour(Qt::white);

    button_ = new QPushButton(QStringLiteral("Controlla"), this);
    button_->setObjectName(dress.buttonName);
    button_->setEnabled(false);
    // Enter belongs to txtCodice; the button is pressed only by the rules of
    // each form, never as the dialog's default.
    button_->setAutoDefault(false);
    button_->setDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo);
    layout->addWidget(lblInfo02);
    layout->addWidget(txtCodice);
    layout->addLayout(buttons);
    if (!dress.resizable)
        layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(txtCodice, &QLineEdit::textEdited, this, [this] { limitTyping(); });
    connect(txtCodice, &QLineEdit::textChanged, this, [this] {
        if (!rewriting_)
            txtCodiceChange();
        previous_ = txtCodice->text();
    });
}

bool CheckForm::refuseKey(QKeyEvent*) { return false; }

void CheckForm::updateCheckButton() { button_->setEnabled(txtCodice->text().size() > enableAbove_); }

void CheckForm::upperCaseCode()
{
    const QString text = Ascii::upper(txtCodice->text());
    if (text == txtCodice->text())
        return;
    const int caret = txtCodice->cursorPosition();
    rewriting_ = true;
    txtCodice->setText(text);
    txtCodice->setCursorPosition(caret);
    rewriting_ = false;
}

// Typing or pasting that would make the text longer than the limit keeps only
// as much of the new characters as fits; a longer text the caller placed can
// still be shortened but not lengthened.
void CheckForm::limitTyping()
{
    const QString now = txtCodice->text();
    const qsizetype allowed = std::max<qsizetype>(typingLimit_, previous_.size());
    if (now.size() <= allowed)
        return;

    const qsizetype shorter = std::min(now.size(), previous_.size());
    qsizetype head = 0;
    while (head < shorter && now[head] == previous_[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && now[now.size() - 1 - tail] == previous_[previous_.size() - 1 - tail])
        ++tail;
    const qsizetype keep = allowed - head - tail;
    txtCodice->setText(now.left(head) + now.mid(head, keep) + now.right(tail));
    txtCodice->setCursorPosition(int(head + keep));
}

void CheckForm::setBoxColour(const QColor& colour)
{
    QPalette palette = txtCodice->palette();
    palette.setColor(QPalette::Base, colour);
    txtCodice->setPalette(palette);
}

bool CheckForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtCodice) {
        switch (event->type()) {
        case QEvent::FocusIn:
            setBoxColour(Qt::yellow);
            break;
        case QEvent::FocusOut:
            setBoxColour(Qt::white);
            break;
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (enterStartsCheck())
                    button_->click();
                return true;
            }
            // Tab, Escape and Delete move, close or edit; they type nothing.
            const bool typesCharacter = !key->text().isEmpty() && key->key() != Qt::Key_Tab
                && key->key() != Qt::Key_Backtab && key->key() != Qt::Key_Escape && key->key() != Qt::Key_Delete;
            if (typesCharacter && refuseKey(key))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CheckForm::setVisible(bool visible)
{
    // Centred on the desktop rather than over the owner; placed before the
    // first showing so the window does not jump.
    if (visible && !centred_) {
        centred_ = true;
        adjustSize();
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - rect().center());
    }
    QDialog::setVisible(visible);
}
