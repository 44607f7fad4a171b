#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// How every exported file reaches the disk: written under a private
// temporary name in the target folder, then published under a fresh name
// made of a fixed title and a timestamp. An existing file is never replaced
// and a failed export leaves nothing behind. Used by the spreadsheet and
// document exports and usable by any other file the program hands the user
// (the printed-list PDF).
namespace ExportFile {
// The user's Documents folder, else the home folder, else the temporary
// folder: the first that exists and can be written.
QString folder();
// The first of these folders that exists and can be written; empty if none.
QString firstWritable(const QStringList& candidates);

// "title yyyy-MM-dd hh.mm.ss" (no characters a file system refuses).
QString baseName(const QString& title, const QDateTime& when);

// Writes the file's content to tempPath (the file exists, empty); returns an
// empty text on success or the reason of the failure.
using Writer = std::function<QString(const QString& tempPath)>;

struct Result {
    QString path; // the published file
    QString error; // empty on success: a whole Italian sentence
    bool ok() const { return error.isEmpty(); }
};

// Writes through writer and publishes the file in folder as
// "<baseName>.<suffix>", or "<baseName> (2).<suffix>", ... when that name
// is taken. The published file gets the usual permissions of a new file.
Result publish(const QString& folder, const QString& title, const QString& suffix, const Writer& writer,
    const QDateTime& when = QDateTime::currentDateTime());
} // namespace ExportFile
