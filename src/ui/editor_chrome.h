#pragma once

#include <QList>
#include <QString>

class QBoxLayout;
class QGroupBox;
class QLabel;
class QWidget;
class QFrame;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class HintBar;

// The frame every card editor shares: toolbar boxes with their buttons, the
// navigation arrows around lblPosizione, help, delete, exit and the navy
// information bar panInfo, with the standard hints.
namespace EditorChrome {
struct Parts {
    QGroupBox* container = nullptr; // grpContainer
    QBoxLayout* body = nullptr; // where the editor puts its panels
    QLabel* position = nullptr; // lblPosizione
    QLabel* info = nullptr; // panInfo
    HintBar* hints = nullptr;
};
// The toolbar buttons of the shared accessories (exports, attachments,
// folder, compaction).
const QList<const char*>& accessoryButtons();
// Builds the frame inside form, sized width x height; the editor adds its
// panels to parts.body afterwards.
Parts build(QWidget* form, int width, int height);
// A button glyph from the resources, or the text when the picture is missing.
void dress(QWidget* button, const QString& glyph, const QString& fallbackText);
// An image button beside a field, dressed with its glyph.
QToolButton* imageButton(QWidget* parent, const char* name, const char* glyph, const char* text);
// A white panel holding a group of fields; moving the mouse over it empties
// the hint bar, when one is given.
QFrame* whitePanel(QWidget* parent, const char* name, HintBar* hints = nullptr);
// A one-line edit and a memo with a vertical scroll bar (Tab leaves it).
QLineEdit* lineEdit(QWidget* parent, const char* name);
QPlainTextEdit* memo(QWidget* parent, const char* name, int fixedHeight = 0);
// The same for a list of recipients joined by separator: a paste keeps it
// one line, its entries apart (ListMemo).
QPlainTextEdit* listMemo(QWidget* parent, const char* name, const QString& separator, int fixedHeight = 0);
// The navy information bar panInfo, with white text.
QLabel* infoBar(QWidget* parent);
} // namespace EditorChrome
