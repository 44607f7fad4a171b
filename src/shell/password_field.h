#pragma once

#include <functional>

class QLineEdit;
class QPushButton;
class QWidget;

// What the login and change-of-password forms share: masked boxes that turn
// yellow while focused, Enter rules, a centred window.
namespace PasswordField {
constexpr int maxLength = 230;

// A masked box (bold bullets, at most maxLength characters); white, yellow
// while focused.
QLineEdit* make(QWidget* parent, const char* name);
// Enter in widget runs action and goes no further: no button is ever
// clicked behind the user's back.
void onEnter(QWidget* widget, std::function<void()> action);
// A button with the focus is clicked by Enter, as the space bar does.
void clickOnEnter(QPushButton* button);
// Enter moving on like Tab: the focus goes to widget with the focus mark a
// keyboard move shows (a button draws it only after one).
void moveFocusTo(QWidget* widget);
// Moves a window to the middle of its screen.
void centre(QWidget* window);
} // namespace PasswordField
