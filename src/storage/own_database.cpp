#include "storage/own_database.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <iterator>
#include <sys/vfs.h>

bool OwnDatabase::onNetworkFileSystem(const QString& folder)
{
    struct statfs fs { };
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return false;
    // NFS, SMB, CIFS, SMB2, Coda, AFS (two), 9P, FUSE (sshfs and the like).
    static const unsigned long kShared[] = { 0x6969UL, 0x517BUL, 0xFF534D42UL, 0xFE534D42UL, 0x73757245UL, 0x5346414FUL,
        0x6B414653UL, 0x01021997UL, 0x65735546UL };
    const auto type = static_cast<unsigned long>(fs.f_type);
    return std::find(std::begin(kShared), std::end(kShared), type) != std::end(kShared);
}

std::unique_ptr<TSQLiteDatabase> OwnDatabase::open(const QString& path)
{
    auto db = std::make_unique<TSQLiteDatabase>(path);
    // The write-ahead log keeps its index in memory shared by the processes
    // of one computer: on a folder shared over the network by several
    // computers it would let them spoil the file, so there the classic
    // rollback journal is used.
    const bool shared = onNetworkFileSystem(QFileInfo(path).absolutePath());
    const QLatin1String wanted = shared ? QLatin1String("delete") : QLatin1String("wal");
    // The first statement that reads the file: a damaged or foreign file
    // fails here; a folder where the WAL files cannot be made answers with
    // another journal mode.
    SqlStatement mode(*db, shared ? QByteArray("PRAGMA journal_mode=DELETE;") : QByteArray("PRAGMA journal_mode=WAL;"));
    if (!mode.step() || mode.text(0).compare(wanted, Qt::CaseInsensitive) != 0)
        throw ESQLiteException(
            QStringLiteral("Failed to open database \"%1\" : write-ahead log not available").arg(path));
    return db;
}

void OwnDatabase::setDurable(TSQLiteDatabase& db, bool durable)
{
    db.Execute(durable ? QByteArray("PRAGMA synchronous=FULL;") : QByteArray("PRAGMA synchronous=NORMAL;"));
}

SqlStatement::SqlStatement(TSQLiteDatabase& db, const QByteArray& sql)
    : db_(db)
    , sql_(sql)
{
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &stmt_, nullptr) != SQLITE_OK || !stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        fail("Error executing SQL");
    }
}

SqlStatement::~SqlStatement() { sqlite3_finalize(stmt_); }

void SqlStatement::fail(const char* prefix) const
{
    const QString detail = sqlite3_errcode(db_.handle()) != SQLITE_OK ? QString::fromUtf8(sqlite3_errmsg(db_.handle()))
                                                                      : QStringLiteral("No message");
    throw ESQLiteException(QString::fromLatin1(prefix) + QStringLiteral(" \"") + QString::fromUtf8(sql_)
        + QStringLiteral("\" : ") + detail);
}

SqlStatement& SqlStatement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        fail("Could not bind a value to");
    return *this;
}

SqlStatement& SqlStatement::bind(int index, const QString& text)
{
    int rc = SQLITE_OK;
    if (text.isNull()) {
        rc = sqlite3_bind_null(stmt_, index);
    } else {
        const QByteArray utf8 = text.toUtf8();
        rc = sqlite3_bind_text64(
            stmt_, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    if (rc != SQLITE_OK)
        fail("Could not bind a value to");
    return *this;
}

bool SqlStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The error text belongs to the connection until the reset.
    const QString detail = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
    sqlite3_reset(stmt_);
    throw ESQLiteException(QStringLiteral("Error executing SQL statement \"") + QString::fromUtf8(sql_)
        + QStringLiteral("\" : ") + detail);
}

void SqlStatement::execute()
{
    if (step()) {
        sqlite3_reset(stmt_);
        fail("Error executing SQL statement");
    }
    sqlite3_reset(stmt_);
}

void SqlStatement::reset() { sqlite3_reset(stmt_); }

qint64 SqlStatement::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

QString SqlStatement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(stmt_, column)) : QString();
}

bool SqlStatement::isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
