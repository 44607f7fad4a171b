#pragma once

#include <QString>
#include <QStringList>

// The two-letter Italian province codes a contact card may hold.
namespace ProvinceCodes {
const QStringList& all();
// text (any case, blanks around) as a province code, or empty when it is none.
QString codeOf(const QString& text);
} // namespace ProvinceCodes
