#pragma once

#include <QLocale>

// The program speaks Italian whatever the system's language: calendars,
// dates, numbers and Qt's own texts.
namespace AppLocale {
// Italian as used in Italy.
QLocale italian();
// Makes it the default of every widget created afterwards; called before
// the first form is built.
void install();
} // namespace AppLocale
