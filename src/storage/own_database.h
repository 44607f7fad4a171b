#pragma once

#include "storage/sqlite_table3.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// A database file of the program's own, beside the archives but not one of
// them: UTF-8 text (the archives' Windows-1252 contract does not apply),
// write-ahead logging so that readers never wait for a writer and a killed
// process loses no committed transaction.
namespace OwnDatabase {
// Opens (creating) the file and switches it to WAL (to the rollback journal
// on a network file system). Throws ESQLiteException, also when the file is
// not a database or the folder cannot be written.
std::unique_ptr<TSQLiteDatabase> open(const QString& path);
// Whether folder lies on a file system shared over the network.
bool onNetworkFileSystem(const QString& folder);
// Whether each commit waits for the disk (FULL) or only for the operating
// system (NORMAL): the first survives a power cut, the second only a crash
// of the program, and is many times faster.
void setDurable(TSQLiteDatabase& db, bool durable);
} // namespace OwnDatabase

// One prepared statement with bound values, stepped row by row (no copy of
// the whole result), for UTF-8 text: the layer's statement, keeping alive the
// bytes it was given until they are bound again.
class SqlStatement {
public:
    SqlStatement(TSQLiteDatabase& db, const QByteArray& sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Parameters count from 1, as in SQL.
    SqlStatement& bind(int index, qint64 value);
    SqlStatement& bind(int index, const QString& text); // a null QString binds NULL
    // Next row: true while there is one; false when done. Throws on failure.
    bool step();
    // Runs a statement that yields no row, then resets it for the next use.
    void execute();
    // Ready to run again with new values (bindings kept until rebound).
    void reset();

    qint64 integer(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;

private:
    std::unique_ptr<TSQLiteStatement> stmt_;
    QByteArray sql_;
    std::vector<QByteArray> bound_; // by parameter index
};
