#pragma once

#include <QString>

#include <functional>

// Whole databases copied page by page through SQLite's online backup: the
// copy is consistent even while other connections have the file open, and
// copying into a file that is in use replaces its content under SQLite's
// own locking, so those connections see the new content at their next
// statement.
namespace SQLiteBackup {
// Copies the database in file from into file to (created when missing,
// its content replaced otherwise), a slice of pages at a time, waiting for
// another connection's lock as a statement does. progress gets the pages
// copied and the pages in all. Failures are ESQLiteException.
void copy(const QString& from, const QString& to,
    const std::function<void(qint64 done, qint64 total)>& progress = {});
} // namespace SQLiteBackup
