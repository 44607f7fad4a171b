#include "storage/sqlite_table3.h"

#include "storage/ascii.h"

#include "storage/win1252.h"

#include <sqlite3.h>

#include <cmath>

namespace {

struct Finalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

unsigned char foldAscii(unsigned char c) { return Ascii::toUpper(c); }

// LIKE on the stored bytes: '%' and '_' as wildcards, A-Z folded, every other
// byte (accented letters included) matching only itself. The built-in LIKE
// reads the Windows-1252 bytes as broken UTF-8 and confuses them.
bool likeMatch(const unsigned char* p, size_t pn, const unsigned char* s, size_t sn, int escape)
{
    size_t pi = 0, si = 0;
    size_t starP = SIZE_MAX, starS = 0;
    while (si < sn) {
        if (pi < pn && p[pi] == '%') {
            starP = pi++;
            starS = si;
            continue;
        }
        if (pi < pn) {
            bool literal = false;
            size_t step = 1;
            unsigned char pc = p[pi];
            if (escape >= 0 && pc == escape && pi + 1 < pn) {
                literal = true;
                pc = p[pi + 1];
                step = 2;
            }
            if ((!literal && pc == '_') || foldAscii(pc) == foldAscii(s[si])) {
                pi += step;
                ++si;
                continue;
            }
        }
        if (starP != SIZE_MAX) {
            pi = starP + 1;
            si = ++starS;
            continue;
        }
        return false;
    }
    while (pi < pn && p[pi] == '%')
        ++pi;
    return pi == pn;
}

void likeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return; // NULL result
    int escape = -1;
    if (argc == 3) {
        const auto* e = sqlite3_value_text(argv[2]);
        if (!e || sqlite3_value_bytes(argv[2]) != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    const auto* pattern = sqlite3_value_text(argv[0]);
    const size_t pn = size_t(sqlite3_value_bytes(argv[0]));
    const auto* subject = sqlite3_value_text(argv[1]);
    const size_t sn = size_t(sqlite3_value_bytes(argv[1]));
    if (!pattern || !subject) {
        sqlite3_result_int(ctx, pn == 0 && sn == 0);
        return;
    }
    sqlite3_result_int(ctx, likeMatch(pattern, pn, subject, sn, escape) ? 1 : 0);
}

ColumnKind kindOfDeclared(const char* decl, int firstRowType)
{
    if (!decl)
        return static_cast<ColumnKind>(firstRowType);
    const QByteArray d(decl);
    if (d == "INTEGER" || d == "BOOLEAN")
        return ColumnKind::Integer;
    if (d == "NUMERIC" || d == "FLOAT" || d == "DOUBLE" || d == "REAL")
        return ColumnKind::Numeric;
    if (d == "BLOB")
        return ColumnKind::Blob;
    return ColumnKind::Text;
}

} // namespace

// ---------------------------------------------------------------------------
// TSQLiteTable

bool TSQLiteTable::Next()
{
    if (AtEnd())
        return false;
    ++current_;
    return true;
}

bool TSQLiteTable::First()
{
    if (rowCount_ == 0)
        return false;
    current_ = 0;
    return true;
}

bool TSQLiteTable::Last()
{
    if (rowCount_ == 0)
        return false;
    current_ = rowCount_ - 1;
    return true;
}

bool TSQLiteTable::GoTo(qint64 row)
{
    if (rowCount_ == 0 || row < 0 || row >= qint64(rowCount_))
        return false;
    current_ = quint32(row);
    return true;
}

int TSQLiteTable::ColumnIndex(const QString& name) const
{
    if (names_.isEmpty())
        throw ESQLiteException(QStringLiteral("Field ") + name + QStringLiteral(" Not found. Empty dataset"));
    const QString upper = name.toUpper();
    for (int i = 0; i < names_.size(); ++i)
        if (names_[i].compare(upper, Qt::CaseInsensitive) == 0)
            return i;
    throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + name);
}

const TSQLiteTable::Value& TSQLiteTable::at(int column) const
{
    if (AtEnd())
        throw ESQLiteException(QStringLiteral("Table is at End of File"));
    if (column < 0 || quint32(column) >= columnCount_)
        throw ESQLiteException(QStringLiteral("Field not found in dataset: ") + QString::number(column));
    return values_[size_t(current_) * columnCount_ + size_t(column)];
}

const QByteArray* TSQLiteTable::BlobAt(int column) const
{
    const Value& v = at(column);
    if (std::holds_alternative<std::monostate>(v))
        return nullptr;
    if (kinds_[column] != ColumnKind::Blob)
        throw ESQLiteException(QStringLiteral("Not a Blob field"));
    return &std::get<QByteArray>(v);
}

QByteArray TSQLiteTable::BlobTextAt(int column) const
{
    const QByteArray* b = BlobAt(column);
    return (b && !b->isEmpty()) ? *b : QByteArray();
}

qint64 TSQLiteTable::IntegerAt(int column) const
{
    const Value& v = at(column);
    if (std::holds_alternative<std::monostate>(v))
        return 0;
    switch (kinds_[column]) {
    case ColumnKind::Integer:
        return std::get<qint64>(v);
    case ColumnKind::Numeric:
        return qint64(std::trunc(std::get<double>(v)));
    default:
        throw ESQLiteException(QStringLiteral("Not an integer or numeric field"));
    }
}

// ---------------------------------------------------------------------------
// TSQLiteStatement

TSQLiteStatement::TSQLiteStatement(TSQLiteDatabase& db, sqlite3_stmt* stmt, QByteArray sql)
    : db_(db)
    , stmt_(stmt)
    , sql_(std::move(sql))
{ }

TSQLiteStatement::~TSQLiteStatement() { sqlite3_finalize(stmt_); }

void TSQLiteStatement::BindText(int index, const QByteArray& value)
{
    if (sqlite3_bind_text(stmt_, index, value.constData(), int(value.size()), SQLITE_STATIC) != SQLITE_OK)
        db_.RaiseLastError("Error executing SQL statement", sql_);
}

bool TSQLiteStatement::Step(const std::function<QByteArray()>& shownSql)
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // Ready to run again; the connection keeps the step's error text.
    sqlite3_reset(stmt_);
    db_.RaiseLastError("Error executing SQL statement", shownSql ? shownSql() : sql_);
}

void TSQLiteStatement::Reset() { sqlite3_reset(stmt_); }

int TSQLiteStatement::ColumnCount() const { return sqlite3_column_count(stmt_); }

QByteArray TSQLiteStatement::BytesAt(int column) const
{
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    const int n = sqlite3_column_bytes(stmt_, column);
    return p && n > 0 ? QByteArray::fromRawData(p, n) : QByteArray();
}

qint64 TSQLiteStatement::IntegerAt(int column) const { return sqlite3_column_int64(stmt_, column); }

double TSQLiteStatement::FloatAt(int column) const { return sqlite3_column_double(stmt_, column); }

// ---------------------------------------------------------------------------
// TSQLiteDatabase

void TSQLiteDatabase::Closer::operator()(sqlite3* db) const { sqlite3_close(db); }

TSQLiteDatabase::TSQLiteDatabase(const QString& fileName)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open(fileName.toUtf8().constData(), &raw);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        const QString detail = raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QStringLiteral("unknown error");
        db_.reset();
        throw ESQLiteException(
            QStringLiteral("Failed to open database ") + quoted(fileName) + QStringLiteral(" : ") + detail);
    }
    // Archives written by other programs quote values with double quotes.
    sqlite3_db_config(raw, SQLITE_DBCONFIG_DQS_DML, 1, nullptr);
    // Two copies of the program on one shared archive wait for each other.
    sqlite3_busy_timeout(raw, kBusyTimeoutMs);
    for (int args : { 2, 3 })
        sqlite3_create_function(
            raw, "like", args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, likeFunction, nullptr, nullptr);
    Execute("PRAGMA SYNCHRONOUS=NORMAL;");
    Execute("PRAGMA temp_store = MEMORY;");
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    if (inTransaction_) {
        try {
            Execute("ROLLBACK;");
        } catch (...) {
            // Closing the connection ends the transaction anyway.
        }
    }
}

void TSQLiteDatabase::RaiseLastError(const char* prefix, const QByteArray& sql) const
{
    // SQLite quotes tokens and names back from the statement, whose values
    // are Windows-1252 bytes: read as UTF-8 an "à" would become U+FFFD.
    const QString detail = sqlite3_errcode(db_.get()) != SQLITE_OK ? Cp1252::decode(sqlite3_errmsg(db_.get()))
                                                                   : QStringLiteral("No message");
    throw ESQLiteException(
        QString::fromLatin1(prefix) + QLatin1Char(' ') + quoted(Cp1252::decode(sql)) + QStringLiteral(" : ") + detail);
}

void TSQLiteDatabase::Execute(const QByteArray& sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.constData(), -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        RaiseLastError("Error executing SQL", sql);
    }
    Statement stmt(raw);
    if (!stmt)
        RaiseLastError("Could not prepare SQL statement", sql);
    if (sqlite3_step(stmt.get()) != SQLITE_DONE)
        RaiseLastError("Error executing SQL statement", sql);
}

std::unique_ptr<TSQLiteStatement> TSQLiteDatabase::Prepare(const QByteArray& sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        RaiseLastError("Error executing SQL", sql);
    }
    if (!raw)
        RaiseLastError("Could not prepare SQL statement", sql);
    return std::unique_ptr<TSQLiteStatement>(new TSQLiteStatement(*this, raw, sql));
}

std::unique_ptr<TSQLiteTable> TSQLiteDatabase::Query(const QByteArray& sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.get(), sql.constData(), -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        RaiseLastError("Error executing SQL", sql);
    }
    Statement stmt(raw);
    if (!stmt)
        RaiseLastError("Could not prepare SQL statement", sql);

    auto table = std::make_unique<TSQLiteTable>();
    sqlite3_stmt* s = stmt.get();
    int rc = sqlite3_step(s);
    while (rc != SQLITE_DONE) {
        if (rc == SQLITE_ROW) {
            if (table->rowCount_ == 0) {
                const int n = sqlite3_column_count(s);
                table->columnCount_ = quint32(n);
                table->kinds_.reserve(size_t(n));
                for (int c = 0; c < n; ++c) {
                    table->names_ << QString::fromUtf8(sqlite3_column_name(s, c)).toUpper();
                    table->kinds_.push_back(kindOfDeclared(sqlite3_column_decltype(s, c), sqlite3_column_type(s, c)));
                }
            }
            ++table->rowCount_;
            const int n = int(table->columnCount_);
            for (int c = 0; c < n; ++c) {
                if (sqlite3_column_type(s, c) == SQLITE_NULL) {
                    table->values_.emplace_back();
                    continue;
                }
                switch (table->kinds_[c]) {
                case ColumnKind::Integer:
                    table->values_.emplace_back(qint64(sqlite3_column_int64(s, c)));
                    break;
                case ColumnKind::Numeric:
                    table->values_.emplace_back(sqlite3_column_double(s, c));
                    break;
                case ColumnKind::Blob: {
                    const void* data = sqlite3_column_blob(s, c);
                    const int bytes = sqlite3_column_bytes(s, c);
                    if (bytes <= 0)
                        table->values_.emplace_back();
                    else
                        table->values_.emplace_back(QByteArray(static_cast<const char*>(data), bytes));
                    break;
                }
                default: {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
                    table->values_.emplace_back(QByteArray(text ? text : ""));
                    break;
                }
                }
            }
        } else if (rc == SQLITE_BUSY) {
            throw ESQLiteException(QStringLiteral("Could not prepare SQL statement ") + quoted(Cp1252::decode(sql))
                + QStringLiteral(" : SQLite is Busy"));
        } else {
            RaiseLastError("Could not retrieve data", sql);
        }
        rc = sqlite3_step(s);
    }
    table->current_ = 0;
    return table;
}

bool TSQLiteDatabase::HasTable(const QByteArray& name)
{
    const QByteArray lower = Ascii::lower(name);
    const auto table
        = Query("select [sql] from sqlite_master where [type] = 'table' and lower(name) = '" + lower + "' ");
    return table->RowCount() > 0;
}

qint64 TSQLiteDatabase::LastInsertedRowId() const { return sqlite3_last_insert_rowid(db_.get()); }

void TSQLiteDatabase::StartTransaction()
{
    if (inTransaction_)
        throw ESQLiteException(QStringLiteral("Transaction already open"));
    Execute("BEGIN TRANSACTION;");
    inTransaction_ = true;
}

void TSQLiteDatabase::CommitTransaction()
{
    Execute("COMMIT;");
    inTransaction_ = false;
}

void TSQLiteDatabase::RollbackTransaction()
{
    if (!inTransaction_)
        return;
    // The flag goes first: should SQLite have ended the transaction itself,
    // the failed ROLLBACK must not leave the connection believed busy.
    inTransaction_ = false;
    Execute("ROLLBACK;");
}
