#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A backup of everything the program keeps: one zip file holding the
// archives (copied through SQLite's online backup, so consistent while the
// program runs), the INI files and the other data files present, with a
// manifest (program, version, date, and the size and SHA-256 of each file).
// Restoring checks the whole backup first, keeps the replaced files aside
// and replaces nothing when a check fails.
namespace DataBackup {

struct File {
    enum class Kind { Database, Text };
    QString name; // beside the executable
    Kind kind = Kind::Text;
    QList<QByteArray> tables; // a database's tables, all of which must be there
    bool ownerOnly = false; // readable by its owner only (the password)
};
// The files a backup holds when they are present. A new data file of the
// program is one more line here.
const QList<File>& files();
const File* fileNamed(const QString& name);

inline constexpr const char* kManifestName = "velmaro-copia.json";

struct Manifest {
    struct Entry {
        QString name;
        qint64 size = 0;
        QByteArray sha256; // hexadecimal
    };
    QString program;
    QString version;
    QDateTime created;
    QList<Entry> entries;

    QByteArray toJson() const;
    // False when the text is no manifest of this program.
    static bool fromJson(const QByteArray& json, Manifest& out);
};

// Progress of long work: bytes done and in all; false stops the work.
using Progress = std::function<bool(qint64 done, qint64 total)>;

struct Created {
    QString error; // empty on success: a whole Italian sentence
    Manifest manifest;
};
// Writes the backup of the data folder into the zip at path (an empty file,
// replaced). work is a folder for the copies of the databases (the same disk
// as path, not the memory).
Created create(const QString& path, const QString& work, const QString& version, const Progress& progress = {});

struct Checked {
    QString error; // why the backup cannot be restored; empty when it can
    Manifest manifest;
    QString folder; // where its files were taken out, each checked
};
// Takes every file out of the backup into work and checks it: its size and
// SHA-256 against the manifest, and for a database its integrity and its
// tables. Nothing of the data folder is touched.
Checked check(const QString& path, const QString& work, const Progress& progress = {});

// Replaces the data files with those of a checked backup. The files replaced
// are first copied into aside (created); when a replacement fails, those
// already replaced are put back. An empty text, or why it failed.
QString restore(const Checked& checked, const QString& aside, const Progress& progress = {});

// True when a reminder is due: no backup yet, or the last one days or more
// ago; never when days is 0.
bool reminderDue(const QDateTime& lastBackup, int days, const QDateTime& now);

// When the last backup was made and after how many days without one the
// program reminds the user (0: never), kept in Messaggi.ini. Unreadable
// settings read as none made and the usual interval.
struct Settings {
    static constexpr int kDefaultDays = 7;
    QDateTime last;
    int days = kDefaultDays;
};
Settings settings();
// Failures are IniFileError.
void setLastBackup(const QDateTime& when);
void setReminderDays(int days);
// Whether the data folder holds an archive worth a backup.
bool hasData();
} // namespace DataBackup
