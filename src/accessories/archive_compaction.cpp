#include "accessories/archive_compaction.h"

#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"

void ArchiveCompaction::vacuum(TSQLiteDatabase& db)
{
    auto setting = db.Query("PRAGMA temp_store;");
    setting->First();
    const QByteArray previous = QByteArray::number(setting->IntegerAt(0));
    db.Execute("PRAGMA temp_store = FILE;");
    try {
        db.Execute(CardArchive::compact());
    } catch (...) {
        try {
            db.Execute("PRAGMA temp_store = " + previous + ";");
        } catch (...) {
            // The VACUUM's own failure is the one to report.
        }
        throw;
    }
    db.Execute("PRAGMA temp_store = " + previous + ";");
}
