#pragma once

#include "storage/app_error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class TSQLiteDatabase;

// The one exception type of every storage failure.
class ESQLiteException : public AppError {
public:
    using AppError::AppError;
};

// SQLite's fundamental type codes; anything but 1, 2 and 4 is read as text.
enum class ColumnKind : int { Integer = 1, Numeric = 2, Text = 3, Blob = 4, Null = 5 };

// The complete result of one query, copied into memory, walked with a cursor.
// It keeps no link to the connection or to SQLite once Query has returned.
class TSQLiteTable {
public:
    quint32 RowCount() const { return rowCount_; }
    quint32 ColumnCount() const { return columnCount_; }
    bool AtEnd() const { return current_ >= rowCount_; }
    bool Next();
    bool First();
    bool Last();
    bool GoTo(qint64 row);
    quint32 CurrentRow() const { return current_; }

    // Upper-cased names as SQLite reported them, in column order.
    const QStringList& ColumnNames() const { return names_; }
    ColumnKind Kind(int column) const { return kinds_.at(column); }

    int ColumnIndex(const QString& name) const;
    // The blob bytes of the current row, owned by the table; nullptr for an
    // empty entry (SQL NULL or zero bytes).
    const QByteArray* BlobAt(int column) const;
    QByteArray BlobTextAt(int column) const;
    qint64 IntegerAt(int column) const;

private:
    friend class TSQLiteDatabase;
    using Value = std::variant<std::monostate, qint64, double, QByteArray>;

    const Value& at(int column) const;

    std::vector<Value> values_;
    quint32 rowCount_ = 0;
    quint32 columnCount_ = 0;
    QStringList names_;
    std::vector<ColumnKind> kinds_;
    quint32 current_ = 0;
};

// One prepared statement of a connection, for the readers that must not copy
// a whole result into memory (the export grid) and the writers that run one
// statement for many cards (the contacts import). Rows are read in place,
// one at a time; values are bound by position (1 for the first "?").
class TSQLiteStatement {
public:
    ~TSQLiteStatement();
    TSQLiteStatement(const TSQLiteStatement&) = delete;
    TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;

    // Binds text (Windows-1252 bytes, stored as a text value, as the quoted
    // literals of the archive statements are). The bytes are not copied: they
    // must stay alive until the next Step or Reset.
    void BindText(int index, const QByteArray& value);
    // Runs the statement up to its next row: true on a row, false when it has
    // finished. A failure raises "Error executing SQL statement" with the
    // statement's text, or with the text shownSql makes where the caller has
    // a more telling one (the statement with its values written in).
    bool Step(const std::function<QByteArray()>& shownSql = {});
    // Ready to run again; the bound values stay.
    void Reset();

    int ColumnCount() const;
    // Values of the current row. The bytes are SQLite's own, valid until the
    // next Step, Reset or the statement's end; empty for NULL.
    QByteArray BytesAt(int column) const;
    qint64 IntegerAt(int column) const;
    double FloatAt(int column) const;

private:
    friend class TSQLiteDatabase;
    TSQLiteStatement(TSQLiteDatabase& db, sqlite3_stmt* stmt, QByteArray sql);

    TSQLiteDatabase& db_;
    sqlite3_stmt* stmt_;
    QByteArray sql_;
};

// One open connection to one database file. SQL texts are passed to SQLite
// byte for byte (Windows-1252 values); only the file name is converted.
class TSQLiteDatabase {
public:
    explicit TSQLiteDatabase(const QString& fileName);
    ~TSQLiteDatabase();
    TSQLiteDatabase(const TSQLiteDatabase&) = delete;
    TSQLiteDatabase& operator=(const TSQLiteDatabase&) = delete;

    void Execute(const QByteArray& sql);
    std::unique_ptr<TSQLiteTable> Query(const QByteArray& sql);
    // Prepares the first statement of sql for stepping; the statement must
    // not outlive the connection.
    std::unique_ptr<TSQLiteStatement> Prepare(const QByteArray& sql);
    bool HasTable(const QByteArray& name);
    qint64 LastInsertedRowId() const;
    void StartTransaction();
    void CommitTransaction();
    // Ends an open transaction storing nothing of it; no-op without one.
    void RollbackTransaction();
    bool InTransaction() const { return inTransaction_; }

    // How long a statement waits for another connection's lock.
    static constexpr int kBusyTimeoutMs = 2000;

private:
    friend class TSQLiteStatement;
    [[noreturn]] void RaiseLastError(const char* prefix, const QByteArray& sql) const;

    struct Closer {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Closer> db_;
    bool inTransaction_ = false;
};
