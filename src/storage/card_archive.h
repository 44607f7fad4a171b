#pragma once

#include "storage/sqlite_table3.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

enum class ArchiveKind { Contacts, Groups, Messages };

// The fixed description of one archive file and the SQL texts built from it.
// Values are Windows-1252 bytes; every one is written as a single-quoted
// literal, so no value can ever be read as a column name or end the literal.
// Built from an archive's definition (archives/archive_definition.h).
class CardArchive {
public:
    CardArchive() = default;
    CardArchive(ArchiveKind kind, QString fileName, QByteArray table, QList<QByteArray> columns);

    ArchiveKind kind() const { return kind_; }
    const QString& fileName() const { return fileName_; }
    const QByteArray& table() const { return table_; }
    const QByteArray& createStatement() const { return create_; }
    // Value columns in field order (without ID and Ext).
    const QList<QByteArray>& valueColumns() const { return columns_; }
    int valueCount() const { return int(columns_.size()); }

    QString path() const;

    // Opens the file and makes sure the table exists. tableExisted tells the
    // caller whether it may query (false: the table was just created empty).
    std::unique_ptr<TSQLiteDatabase> open(bool* tableExisted = nullptr) const;

    // Every value column's value, in field order; another count of values
    // throws WiringError.
    QByteArray insert(const QList<QByteArray>& values) const;
    QByteArray update(qint32 id, const QList<QByteArray>& values) const;
    QByteArray deleteCard(qint32 id) const;
    QByteArray byId(qint32 id) const;
    QByteArray first() const;
    QByteArray previous(qint32 id) const;
    QByteArray next(qint32 id) const;
    QByteArray last() const;
    QByteArray all() const;
    QByteArray contains(const QByteArray& column, const QByteArray& text) const;
    // Several conditions of likeCondition() joined by AND.
    QByteArray matchingAll(const QList<QByteArray>& conditions) const;
    // The same, reading only ID and the given columns.
    QByteArray matchingAll(const QList<QByteArray>& conditions, const QList<QByteArray>& columns) const;
    bool hasColumn(const QByteArray& column) const { return columns_.contains(column); }
    static QByteArray compact();

    // column LIKE '%text%' with text quoted safely; '%' and '_' in text stay
    // wildcards.
    static QByteArray likeCondition(const QByteArray& column, const QByteArray& text);
    // text as an SQL string literal: single quotes, inner apostrophes doubled.
    static QByteArray literal(const QByteArray& text);

private:
    ArchiveKind kind_ = ArchiveKind::Contacts;
    QString fileName_;
    QByteArray table_;
    QList<QByteArray> columns_;
    QByteArray create_;
};
