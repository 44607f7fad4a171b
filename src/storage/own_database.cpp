#include "storage/own_database.h"

#include <QFile>
#include <QFileInfo>

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
    : stmt_(db.Prepare(sql))
    , sql_(sql)
{ }

SqlStatement::~SqlStatement() = default;

SqlStatement& SqlStatement::bind(int index, qint64 value)
{
    stmt_->BindInteger(index, value);
    return *this;
}

SqlStatement& SqlStatement::bind(int index, const QString& text)
{
    if (text.isNull()) {
        stmt_->BindNull(index);
        return *this;
    }
    if (bound_.size() <= size_t(index))
        bound_.resize(size_t(index) + 1);
    // The layer binds without copying: the bytes live here until rebound.
    bound_[size_t(index)] = text.toUtf8();
    stmt_->BindText(index, bound_[size_t(index)]);
    return *this;
}

bool SqlStatement::step() { return stmt_->Step(); }

void SqlStatement::execute()
{
    const bool row = stmt_->Step();
    stmt_->Reset();
    if (row)
        throw ESQLiteException(QStringLiteral("Error executing SQL statement \"%1\" : a row where none was expected")
                                   .arg(QString::fromUtf8(sql_)));
}

void SqlStatement::reset() { stmt_->Reset(); }

qint64 SqlStatement::integer(int column) const { return stmt_->IntegerAt(column); }

QString SqlStatement::text(int column) const { return QString::fromUtf8(stmt_->BytesAt(column)); }

bool SqlStatement::isNull(int column) const { return stmt_->IsNullAt(column); }
