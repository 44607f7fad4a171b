#include "storage/card_archive.h"

#include "storage/app_paths.h"
#include "storage/wiring_error.h"

namespace {

QByteArray number(qint32 id) { return QByteArray::number(id); }

void requireCount(const QByteArray& table, qsizetype values, qsizetype columns)
{
    if (values != columns)
        throw WiringError(QStringLiteral("%1: %2 values for %3 columns")
                              .arg(QString::fromLatin1(table))
                              .arg(values)
                              .arg(columns));
}

} // namespace

CardArchive::CardArchive(ArchiveKind kind, QString fileName, QByteArray table, QList<QByteArray> columns)
    : kind_(kind)
    , fileName_(std::move(fileName))
    , table_(std::move(table))
    , columns_(std::move(columns))
{
    // The last value column (the folder's description) sorts without regard
    // to case.
    create_ = "CREATE TABLE " + table_ + " (ID INTEGER PRIMARY KEY,";
    for (int i = 0; i < columns_.size(); ++i)
        create_ += columns_[i] + (i + 1 == columns_.size() ? " BLOB COLLATE NOCASE," : " BLOB,");
    create_ += "Ext TEXT)";
}

QString CardArchive::path() const { return AppPaths::beside(fileName_); }

std::unique_ptr<TSQLiteDatabase> CardArchive::open(bool* tableExisted) const
{
    auto db = std::make_unique<TSQLiteDatabase>(path());
    const bool existed = db->HasTable(table_);
    if (!existed)
        db->Execute(create_);
    if (tableExisted)
        *tableExisted = existed;
    return db;
}

QByteArray CardArchive::literal(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\'')
            out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

QByteArray CardArchive::insert(const QList<QByteArray>& values) const
{
    requireCount(table_, values.size(), columns_.size());
    QByteArray sql = "INSERT INTO " + table_ + " (ID,";
    for (const QByteArray& c : columns_)
        sql += c + ',';
    sql += "Ext) VALUES (NULL,";
    for (const QByteArray& v : values)
        sql += literal(v) + ',';
    sql += "'')";
    return sql;
}

QByteArray CardArchive::update(qint32 id, const QList<QByteArray>& values) const
{
    requireCount(table_, values.size(), columns_.size());
    QByteArray sql = "UPDATE " + table_ + " SET ";
    for (int i = 0; i < columns_.size(); ++i) {
        if (i > 0)
            sql += ',';
        sql += columns_[i] + '=' + literal(values.value(i));
    }
    sql += " WHERE ID=" + number(id) + ';';
    return sql;
}

QByteArray CardArchive::deleteCard(qint32 id) const { return "DELETE FROM " + table_ + " WHERE ID=" + number(id); }
QByteArray CardArchive::byId(qint32 id) const { return "SELECT * FROM " + table_ + " WHERE ID=" + number(id); }
QByteArray CardArchive::first() const { return "SELECT * FROM " + table_ + " LIMIT 1 OFFSET 0"; }
QByteArray CardArchive::previous(qint32 id) const
{
    return "SELECT * FROM " + table_ + " WHERE ID <= " + number(id) + " ORDER BY ID DESC LIMIT 1 OFFSET 1";
}
QByteArray CardArchive::next(qint32 id) const
{
    return "SELECT * FROM " + table_ + " WHERE ID > " + number(id) + " ORDER BY ID LIMIT 1";
}
QByteArray CardArchive::last() const
{
    return "SELECT * FROM " + table_ + " WHERE ID = (SELECT MAX(ID) FROM " + table_ + ")";
}
QByteArray CardArchive::all() const { return "SELECT * FROM " + table_; }

QByteArray CardArchive::likeCondition(const QByteArray& column, const QByteArray& text)
{
    return column + " LIKE " + literal('%' + text + '%');
}

QByteArray CardArchive::contains(const QByteArray& column, const QByteArray& text) const
{
    return all() + " WHERE " + likeCondition(column, text);
}

QByteArray CardArchive::matchingAll(const QList<QByteArray>& conditions) const
{
    if (conditions.isEmpty())
        return all();
    return all() + " WHERE " + conditions.join(" AND ");
}

QByteArray CardArchive::matchingAll(const QList<QByteArray>& conditions, const QList<QByteArray>& columns) const
{
    QByteArray sql = "SELECT ID";
    for (const QByteArray& c : columns)
        sql += ", " + c;
    sql += " FROM " + table_;
    if (!conditions.isEmpty())
        sql += " WHERE " + conditions.join(" AND ");
    return sql;
}

QByteArray CardArchive::compact() { return "VACUUM;"; }
