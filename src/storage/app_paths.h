#pragma once

#include <QString>

// Files the program keeps (archives, INI files, the manual) live beside the
// executable. Tests point this at a temporary folder instead.
namespace AppPaths {
// The folder, without a trailing separator.
QString dataDir();
// dataDir() + "/" + name, trimmed of surrounding blanks and control characters.
QString beside(const QString& name);
// An empty text restores the executable's own folder.
void setDataDir(const QString& dir);
} // namespace AppPaths
