#include "shell/maker.h"

#include "ui/desktop.h"
#include "ui/form_look.h"

QString Maker::webAddress() { return QStringLiteral("https://www.velmaro.example"); }

QString Maker::infoAddress() { return QStringLiteral("info@velmaro.example"); }

void Maker::openWebPage()
{
    BusyCursor busy;
    Desktop::open(webAddress());
}
