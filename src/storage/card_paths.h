#pragma once

#include <QString>

// Rules for the paths a card refers to (attached files, associated folder,
// a message's attachment): what the archive can keep as it is, and what can
// be checked before the path is handed to the desktop.
namespace CardPaths {

enum class Kind { File, Folder };

// Why a chosen path would not come back unchanged from the archive (a ';' or
// '"' becomes a blank, blanks at either end are trimmed, a character without
// a Windows-1252 form cannot be stored); an empty text when it would.
QString refusal(const QString& path, Kind kind);

// A path on this computer, as opposed to a "mailto:" or web address. A
// Windows drive path ("C:\...") counts as local: it simply does not exist here.
bool isLocal(const QString& path);

// A local path that names nothing on disk, or not a folder where a folder
// is expected.
bool isMissing(const QString& path, Kind kind);

// Where the folder browser starts: the user's desktop folder, else home.
QString startFolder();

} // namespace CardPaths
