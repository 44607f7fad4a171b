#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include <QLabel>
class QWidget;

// Look and feel shared by every form: field colours, the Enter chain, hints
// in the information bar, image buttons acting on release, busy cursor,
// tiled backgrounds and the centred container.
namespace FormLook {
QColor idleColour(); // light green, fields at rest
QColor focusColour(); // yellow, the field being edited

// Bold black text; yellow while focused, light green otherwise.
void styleField(QWidget* field);

// Enter in chain[i] moves the focus to chain[i + 1] (the last one stays,
// unless wrapTo is given). Widgets in keepEnter take Enter as a line break;
// widgets in dropEnter swallow it without moving.
struct EnterChain {
    QList<QWidget*> chain;
    QList<QWidget*> keepEnter;
    QList<QWidget*> dropEnter;
    QWidget* afterLast = nullptr;
};
void installEnterChain(const EnterChain& chain);
// The usual set-up of a form's fields: Tab follows the chain, every field of
// it gets the field colours, and Enter moves along it.
void setUpFieldChain(const EnterChain& chain);

// Runs action when any mouse button is released over widget (image buttons),
// and when the widget has the keyboard focus, on Space (released) or Enter.
void onRelease(QWidget* widget, std::function<void()> action);
// A label acting as a link becomes reachable with Tab, with a focus mark, so
// that the keyboard can do what its mouse release does.
void keyboardLink(QLabel* label);

// Tiles the widget's background with the picture.
void tileBackground(QWidget* widget, const QPixmap& picture);

// Keeps container centred in form: left = w/2 - cw/2 - 4, top = h/2 - ch/2 - 18.
void centreOnResize(QWidget* form, QWidget* container);
void centre(QWidget* form, QWidget* container);
} // namespace FormLook

// The navy information bar: a hint per button, emptied over the background.
class HintBar : public QObject {
    Q_OBJECT
public:
    explicit HintBar(QLabel* bar);
    void add(QWidget* widget, const QString& hint);
    void clearOn(QWidget* area);
    QLabel* bar() const { return bar_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QLabel> bar_;
    QHash<QObject*, QString> hints_;
};

// Hourglass cursor for the lifetime of the object.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
