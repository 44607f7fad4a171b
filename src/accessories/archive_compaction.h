#pragma once

class TSQLiteDatabase;

namespace ArchiveCompaction {
// Rebuilds the archive behind db with VACUUM, returning the space of deleted
// cards to the file system. db must not be inside a transaction (SQLite
// refuses). The copy is built in a temporary file rather than in memory, so
// a large archive does not need its own size in RAM; the connection's
// temp_store setting is restored afterwards. Failures are ESQLiteException
// with SQLite's own text.
void vacuum(TSQLiteDatabase& db);
} // namespace ArchiveCompaction
