#include "accessories/export_table.h"

#include "storage/sqlite_table3.h"
#include "storage/win1252.h"

#include <sqlite3.h>

#include <memory>

namespace {

struct Finalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

[[noreturn]] void fail(sqlite3* db, const QByteArray& sql)
{
    throw ESQLiteException(QStringLiteral("Error executing SQL \"") + Cp1252::decode(sql) + QStringLiteral("\" : ")
            + QString::fromUtf8(sqlite3_errmsg(db)),
        sqlite3_extended_errcode(db));
}

Statement prepare(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK || !raw) {
        sqlite3_finalize(raw);
        fail(db, sql);
    }
    return Statement(raw);
}

} // namespace

void ExportTable::clear()
{
    data_ = QByteArray();
    ends_ = {};
}

void ExportTable::load(TSQLiteDatabase& db, const ExportProfile& profile, const Progress& progress)
{
    clear();
    columns_ = int(profile.columns.size());
    sqlite3* h = db.handle();

    // Stepped here rather than through Query(): the grid keeps only the cut
    // cell texts, never a full copy of every field. The cells' size is
    // reckoned first so that the buffer is allocated once: growing it would
    // leave copies of it in the heap.
    const int limit = ExportText::kCellLimit + 3;
    QByteArray sizeSql = "SELECT COUNT(*)";
    for (const auto& c : profile.columns)
        sizeSql += ",TOTAL(MIN(LENGTH(" + c.column + ")," + QByteArray::number(limit) + "))";
    sizeSql += " FROM " + CardArchive::of(profile.kind).table();
    Statement size = prepare(h, sizeSql);
    if (sqlite3_step(size.get()) != SQLITE_ROW)
        fail(h, sizeSql);
    const qint64 total = sqlite3_column_int64(size.get(), 0);
    double bytes = 0;
    for (int c = 1; c <= columns_; ++c)
        bytes += sqlite3_column_double(size.get(), c);
    size.reset();
    // LENGTH counts a text's characters as UTF-8: close to the bytes of
    // Windows-1252 text, and a little room covers the difference.
    if (bytes < double(UINT32_MAX))
        data_.reserve(qsizetype(bytes * 1.02) + 4096);

    const QByteArray sql = profile.gridQuery();
    Statement stmt = prepare(h, sql);
    ends_.reserve(size_t(total) * size_t(columns_));
    try {
        qint64 done = 0;
        int rc;
        while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
            for (int c = 0; c < columns_; ++c) {
                const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt.get(), c));
                const int n = sqlite3_column_bytes(stmt.get(), c);
                data_ += ExportText::cellText(QByteArray::fromRawData(p ? p : "", p ? n : 0));
                if (data_.size() > qsizetype(UINT32_MAX))
                    throw ESQLiteException(QStringLiteral("L'archivio è troppo grande per essere esportato."));
                ends_.push_back(quint32(data_.size()));
            }
            if (progress && (++done % 1000) == 0)
                progress(done, total);
        }
        if (rc != SQLITE_DONE)
            fail(h, sql);
    } catch (...) {
        clear();
        throw;
    }
}

QByteArray ExportTable::bytes(int row, int column) const
{
    const size_t i = size_t(row) * size_t(columns_) + size_t(column);
    if (row < 0 || column < 0 || column >= columns_ || i >= ends_.size())
        return {};
    const quint32 begin = i == 0 ? 0 : ends_[i - 1];
    return data_.mid(begin, ends_[i] - begin);
}

QString ExportTable::text(int row, int column) const { return Cp1252::decode(bytes(row, column)); }
