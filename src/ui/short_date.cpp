#include "ui/short_date.h"

#include "ui/app_locale.h"

namespace {
bool dayMonthYear = false;
}

QString ShortDate::format()
{
    return dayMonthYear ? QStringLiteral("dd/MM/yyyy") : AppLocale::italian().dateFormat(QLocale::ShortFormat);
}

QString ShortDate::text(const QDate& date) { return date.toString(format()); }

void ShortDate::useDayMonthYear() { dayMonthYear = true; }

void ShortDate::reset() { dayMonthYear = false; }
