#include "storage/app_paths.h"

#include "storage/card_text.h"

#include <QCoreApplication>

namespace {
QString overrideDir;
}

QString AppPaths::dataDir()
{
    if (!overrideDir.isEmpty())
        return overrideDir;
    return QCoreApplication::applicationDirPath();
}

QString AppPaths::beside(const QString& name) { return CardText::trimmed(dataDir() + QLatin1Char('/') + name); }

void AppPaths::setDataDir(const QString& dir) { overrideDir = dir; }
