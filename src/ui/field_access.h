#pragma once

#include <QString>

class QWidget;

// Reads and writes the text of any card field, whatever control holds it
// (one-line edit, memo, editable drop-down list, hidden label).
namespace FieldAccess {
QString text(const QWidget* field);
void setText(QWidget* field, const QString& text);
} // namespace FieldAccess
