#pragma once

#include <QDialog>
#include <QString>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// What the three check forms share: two instruction lines, the code box
// txtCodice and one "Controlla" button that the box's length enables. The
// forms only report a verdict; they never hand anything back.
class CheckForm : public QDialog {
    Q_OBJECT
public:
    void setVisible(bool visible) override;

    QLabel* lblInfo = nullptr;
    QLabel* lblInfo02 = nullptr;
    QLineEdit* txtCodice = nullptr;

protected:
    struct Dress {
        QString objectName;
        QString caption;
        QString info;
        QString info02;
        QString buttonName;
        int typingLimit; // most characters the user can type or paste
        int enableAbove; // the button is enabled above this many characters
        bool resizable;
    };

    CheckForm(const Dress& dress, QWidget* parent);

    QPushButton* checkButton() const { return button_; }

    // Reacts to every change of txtCodice except the form's own rewrites.
    virtual void txtCodiceChange() = 0;
    // Whether Enter in txtCodice presses the button.
    virtual bool enterStartsCheck() const = 0;
    // A key that produces a character, other than Enter, reaching txtCodice;
    // true discards it.
    virtual bool refuseKey(QKeyEvent* event);

    void updateCheckButton();
    // Rewrites txtCodice with a-z in upper case, caret kept in place.
    void upperCaseCode();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void limitTyping();
    void setBoxColour(const QColor& colour);

    QPushButton* button_ = nullptr;
    int typingLimit_;
    int enableAbove_;
    bool rewriting_ = false;
    bool centred_ = false;
    QString previous_;
};
