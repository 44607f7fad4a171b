#pragma once

#include <QString>
#include <QStringList>

// Where the files the program keeps (archives, INI files, the password)
// live, and where its manual is.
//
// The data folder is, in this order: the folder named at start (command
// line) or by a test; the executable's own folder when this user may write
// there (the portable install: copy the folder and everything comes along);
// otherwise the user's own data folder, created on first use. A program in
// the system's folders (/usr/bin) never keeps data beside itself.
namespace AppPaths {

enum class DataPlace { Chosen, BesideProgram, UserFolder };

struct DataFolder {
    QString path; // without a trailing separator
    DataPlace place = DataPlace::Chosen;
};

// The rule itself, on given folders; nothing is created or written.
DataFolder choose(const QString& chosen, const QString& programDir, const QString& userDir);
// Whether this process may create files in dir. For root the folder's own
// mode must grant writing to somebody as well: root's privilege to ignore
// permissions is not an invitation to fill a folder made read-only.
bool isWritableFolder(const QString& dir);
// Folders of the operating system's own programs.
bool isSystemFolder(const QString& dir);

// The executable's folder (a test may pretend another).
QString programDir();
// The user's data folder: QStandardPaths::AppDataLocation of a program
// named Velmaro, whichever of the programs asks.
QString userDataDir();

// Where this run keeps its data: decided once, and the user's data folder is
// created the first time it is asked for.
DataFolder dataFolder();
// dataFolder().path.
QString dataDir();
// dataDir() + "/" + name, trimmed of surrounding blanks and control characters.
QString beside(const QString& name);
// Names the data folder (the command line, tests); an empty text goes back
// to the rule.
void setDataDir(const QString& dir);

// Guida.pdf beside the executable, else in the system's documentation
// folder; empty when neither has it.
QString manual();
// The folders manual() looks in, in order.
QStringList manualFolders();

// For tests: pretend the executable and the documentation live elsewhere
// (empty texts restore the real ones).
void setInstallFolders(const QString& programDir, const QString& docDir);

} // namespace AppPaths
