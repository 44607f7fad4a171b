#pragma once

#include <QDate>
#include <QString>

// The program-wide short date format: the system's until a quick search is
// first shown, "dd/mm/yyyy" from then on for the rest of the run.
namespace ShortDate {
QString format();
QString text(const QDate& date);
void useDayMonthYear();
// Back to the system's format (tests).
void reset();
} // namespace ShortDate
