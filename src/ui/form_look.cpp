#include "ui/form_look.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextEdit>

namespace {

void setBase(QWidget* field, const QColor& colour)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    // A read-only field keeps its own (grey) text.
    if (auto* e = qobject_cast<QLineEdit*>(field); !e || !e->isReadOnly())
        p.setColor(QPalette::Text, Qt::black);
    field->setPalette(p);
    if (auto* combo = qobject_cast<QComboBox*>(field)) {
        if (combo->lineEdit()) {
            combo->lineEdit()->setPalette(p);
        } else {
            // A drop-down list without typing is drawn as a button.
            p.setColor(QPalette::Button, colour);
            p.setColor(QPalette::ButtonText, Qt::black);
            field->setPalette(p);
        }
    }
}

class FocusColours final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            QWidget* w = static_cast<QWidget*>(watched);
            // A combo box's line edit reports focus for the combo.
            if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget()))
                w = combo;
            setBase(w, event->type() == QEvent::FocusIn ? FormLook::focusColour() : FormLook::idleColour());
        }
        return false;
    }
};

class EnterFilter final : public QObject {
public:
    EnterFilter(QObject* parent, FormLook::EnterChain chain)
        : QObject(parent)
        , chain_(std::move(chain))
    { }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        QWidget* w = static_cast<QWidget*>(watched);
        if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget()))
            w = combo;
        if (chain_.keepEnter.contains(w))
            return false;
        const qsizetype i = chain_.chain.indexOf(w);
        if (chain_.dropEnter.contains(w) && i < 0)
            return true;
        QWidget* target = (i >= 0 && i + 1 < chain_.chain.size()) ? chain_.chain[i + 1] : chain_.afterLast;
        if (!target)
            return chain_.dropEnter.contains(w); // the end of this chain: others may still act
        target->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    FormLook::EnterChain chain_;
};

class ReleaseFilter final : public QObject {
public:
    ReleaseFilter(QObject* parent, std::function<void()> action)
        : QObject(parent)
        , action_(std::move(action))
    { }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Enter || event->type() == QEvent::HoverEnter) {
            // When a modal form opened by this button closes, Qt enters the
            // button again wherever the mouse is, and no leave follows: it
            // would stay drawn raised. An entry without the mouse is none.
            if (!w->rect().contains(w->mapFromGlobal(QCursor::pos()))) {
                w->setAttribute(Qt::WA_UnderMouse, false);
                w->update();
                return true;
            }
            return false;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* m = static_cast<QMouseEvent*>(event);
            if (w->isEnabled() && w->rect().contains(m->position().toPoint())) {
                act(w);
                return true;
            }
        } else if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            // A keyboard user presses what the mouse releases: Space acts on
            // its release, like any button, Enter at once.
            const auto* k = static_cast<QKeyEvent*>(event);
            const bool space = k->key() == Qt::Key_Space && k->modifiers() == Qt::NoModifier;
            const bool enter = (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
                && (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
            if (!(space || enter) || !w->isEnabled())
                return false;
            if (k->isAutoRepeat())
                return true;
            auto* b = qobject_cast<QAbstractButton*>(w);
            if (event->type() == QEvent::KeyPress) {
                if (enter)
                    act(w);
                else if (b)
                    b->setDown(true);
            } else if (space) {
                act(w);
            }
            return true;
        }
        return false;
    }

private:
    void act(QWidget* w)
    {
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setDown(false);
        const QPointer<QWidget> guard(w);
        action_();
        // A modal form opened here swallowed the mouse's leaving: the
        // button would stay drawn raised until the mouse came back.
        if (guard && !w->rect().contains(w->mapFromGlobal(QCursor::pos()))) {
            w->setAttribute(Qt::WA_UnderMouse, false);
            w->update();
        }
    }

    std::function<void()> action_;
};

class LinkFocusMark final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* label = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::FocusIn && label->frameShape() == QFrame::NoFrame) {
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setLineWidth(1);
            label->setMargin(label->margin() - 1);
        } else if (event->type() == QEvent::FocusOut && label->frameShape() == QFrame::Box) {
            label->setFrameStyle(QFrame::NoFrame);
            label->setMargin(label->margin() + 1);
        }
        return false;
    }
};

class CentreFilter final : public QObject {
public:
    CentreFilter(QObject* parent, QWidget* container)
        : QObject(parent)
        , container_(container)
    { }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if ((event->type() == QEvent::Resize || event->type() == QEvent::Show) && container_)
            FormLook::centre(static_cast<QWidget*>(watched), container_);
        return false;
    }

private:
    QPointer<QWidget> container_;
};

} // namespace

QColor FormLook::idleColour() { return QColor(192, 220, 192); }
QColor FormLook::focusColour() { return QColor(Qt::yellow); }

void FormLook::styleField(QWidget* field)
{
    QFont f = field->font();
    f.setBold(true);
    field->setFont(f);
    field->setAutoFillBackground(true);
    setBase(field, field->hasFocus() ? focusColour() : idleColour());
    auto* filter = new FocusColours(field);
    field->installEventFilter(filter);
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(filter);
}

void FormLook::installEnterChain(const EnterChain& chain)
{
    QList<QWidget*> all = chain.chain;
    for (QWidget* w : chain.dropEnter)
        if (!all.contains(w))
            all << w;
    if (all.isEmpty())
        return;
    auto* filter = new EnterFilter(all.first(), chain);
    for (QWidget* w : all) {
        w->installEventFilter(filter);
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
            combo->lineEdit()->installEventFilter(filter);
    }
}

void FormLook::setUpFieldChain(const EnterChain& chain)
{
    for (qsizetype i = 0; i + 1 < chain.chain.size(); ++i)
        QWidget::setTabOrder(chain.chain[i], chain.chain[i + 1]);
    for (QWidget* w : chain.chain)
        styleField(w);
    installEnterChain(chain);
}

void FormLook::onRelease(QWidget* widget, std::function<void()> action)
{
    widget->installEventFilter(new ReleaseFilter(widget, std::move(action)));
    widget->setCursor(Qt::PointingHandCursor);
}

void FormLook::keyboardLink(QLabel* label)
{
    label->setFocusPolicy(Qt::TabFocus);
    // A label draws no focus mark of its own: a thin frame in its text colour
    // shows where the keyboard is. The frame takes the place of one pixel of
    // margin, so the text does not move. (A style sheet would do it too, but
    // would reset the colours the links change on hover.)
    label->setMargin(label->margin() + 1);
    label->installEventFilter(new LinkFocusMark(label));
}

void FormLook::tileBackground(QWidget* widget, const QPixmap& picture)
{
    if (picture.isNull())
        return;
    QPalette p = widget->palette();
    p.setBrush(QPalette::Window, QBrush(picture));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void FormLook::centre(QWidget* form, QWidget* container)
{
    container->move(form->width() / 2 - container->width() / 2 - 4, form->height() / 2 - container->height() / 2 - 18);
}

void FormLook::centreOnResize(QWidget* form, QWidget* container)
{
    form->installEventFilter(new CentreFilter(form, container));
    centre(form, container);
}

HintBar::HintBar(QLabel* bar)
    : QObject(bar)
    , bar_(bar)
{ }

void HintBar::add(QWidget* widget, const QString& hint)
{
    hints_.insert(widget, hint);
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

void HintBar::clearOn(QWidget* area)
{
    hints_.insert(area, QString());
    area->setMouseTracking(true);
    area->installEventFilter(this);
}

bool HintBar::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() != QEvent::Enter && event->type() != QEvent::MouseMove) || !bar_)
        return false;
    const auto it = hints_.constFind(watched);
    if (it == hints_.constEnd())
        return false;
    if (event->type() == QEvent::MouseMove && it->isEmpty()) {
        // A move over a button that ignores it reaches the panel behind it:
        // the button's own hint stays.
        auto* area = static_cast<QWidget*>(watched);
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        for (QWidget* w = area->childAt(pos); w && w != area; w = w->parentWidget())
            if (hints_.contains(w))
                return false;
    }
    if (bar_->text() != *it)
        bar_->setText(*it);
    return false;
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }
