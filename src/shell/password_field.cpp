#include "shell/password_field.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

bool isEnter(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

class EnterAction final : public QObject {
public:
    EnterAction(QObject* parent, std::function<void()> action)
        : QObject(parent)
        , action_(std::move(action))
    { }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (!isEnter(event))
            return false;
        action_();
        return true;
    }

private:
    std::function<void()> action_;
};

class FocusColour final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            auto* w = static_cast<QWidget*>(watched);
            QPalette p = w->palette();
            p.setColor(QPalette::Base, event->type() == QEvent::FocusIn ? QColor(Qt::yellow) : QColor(Qt::white));
            w->setPalette(p);
        }
        return false;
    }
};

} // namespace

QLineEdit* PasswordField::make(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(maxLength);
    QFont f = e->font();
    f.setBold(true);
    e->setFont(f);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    e->setPalette(p);
    e->installEventFilter(new FocusColour(e));
    return e;
}

void PasswordField::onEnter(QWidget* widget, std::function<void()> action)
{
    widget->installEventFilter(new EnterAction(widget, std::move(action)));
}

void PasswordField::clickOnEnter(QPushButton* button)
{
    button->setAutoDefault(false);
    onEnter(button, [button] {
        if (button->isEnabled())
            button->click();
    });
}

void PasswordField::moveFocusTo(QWidget* widget)
{
    widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    widget->setFocus(Qt::TabFocusReason);
}

void PasswordField::centre(QWidget* window)
{
    if (QScreen* screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}
