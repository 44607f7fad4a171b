#include "storage/sqlite_backup.h"

#include "storage/sqlite_table3.h"
#include "storage/win1252.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <memory>

namespace {

// Pages per slice: 4 MB with the usual page size, so progress moves and
// memory stays flat whatever the size of the file.
constexpr int kSlicePages = 1024;

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

[[noreturn]] void fail(const QString& what, sqlite3* db)
{
    throw ESQLiteException(what + QStringLiteral(": ") + Cp1252::decode(sqlite3_errmsg(db)));
}

Connection open(const QString& file, int flags)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, flags, nullptr);
    Connection db(raw);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("Impossibile aprire il file \"%1\"").arg(file), db.get());
    sqlite3_busy_timeout(db.get(), TSQLiteDatabase::kBusyTimeoutMs);
    return db;
}

} // namespace

void SQLiteBackup::copy(
    const QString& from, const QString& to, const std::function<void(qint64 done, qint64 total)>& progress)
{
    const Connection source = open(from, SQLITE_OPEN_READONLY);
    const Connection target = open(to, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
    if (!backup)
        fail(QStringLiteral("Impossibile copiare \"%1\"").arg(from), target.get());
    QElapsedTimer waiting;
    int rc = SQLITE_OK;
    for (;;) {
        rc = sqlite3_backup_step(backup, kSlicePages);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // Another connection is writing: wait for it as a statement would.
            if (!waiting.isValid())
                waiting.start();
            if (waiting.elapsed() > TSQLiteDatabase::kBusyTimeoutMs)
                break;
            sqlite3_sleep(20);
            continue;
        }
        waiting.invalidate();
        if (progress)
            progress(sqlite3_backup_pagecount(backup) - sqlite3_backup_remaining(backup),
                sqlite3_backup_pagecount(backup));
        if (rc != SQLITE_OK)
            break;
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        fail(QStringLiteral("Impossibile copiare \"%1\" in \"%2\"").arg(from, to), target.get());
}
