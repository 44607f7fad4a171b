#pragma once

#include <QDate>
#include <QString>

// The program-wide short date format: the program's (Italian) short format
// until a quick search is first shown, "dd/mm/yyyy" from then on for the
// rest of the run.
namespace ShortDate {
QString format();
QString text(const QDate& date);
void useDayMonthYear();
// Back to the Italian short format (tests).
void reset();
} // namespace ShortDate
