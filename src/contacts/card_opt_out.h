#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class CardEditor;
class HintBar;
class QGroupBox;
class QLabel;
class QToolButton;

// The contacts editor's part in the opt-out list: a note in the information
// bar when the card's address is excluded from mailings, a button that
// excludes it or lets it in again, and one that opens the whole list.
class CardOptOut : public QObject {
    Q_OBJECT
public:
    // Adds the two buttons to toolbar and the note to the information bar.
    CardOptOut(CardEditor* editor, QGroupBox* toolbar, QLabel* infoBar, HintBar* hints);

    // The card's addresses that are on the list, as shown in the note.
    QStringList excluded() const { return excluded_; }
    // The window of the whole list belongs to the mail forms: the start-up
    // hands over how to open it, and the button works from then on.
    void setListWindow(std::function<void(QWidget* parent)> open);

public slots:
    void refresh();
    void cmdEscludiMouseUp();
    void cmdEsclusiMouseUp();

private:
    QString cardAddresses() const;

    CardEditor* editor_;
    HintBar* hints_;
    QPointer<QToolButton> cmdEscludi_;
    QPointer<QToolButton> cmdEsclusi_;
    std::function<void(QWidget*)> openList_;
    QPointer<QLabel> lblEscluso_;
    QStringList excluded_;
};
