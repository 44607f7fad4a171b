#include "ui/app_locale.h"

QLocale AppLocale::italian() { return QLocale(QLocale::Italian, QLocale::Italy); }

void AppLocale::install() { QLocale::setDefault(italian()); }
