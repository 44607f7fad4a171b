#include "accessories/export_table.h"

#include "storage/sqlite_table3.h"
#include "storage/win1252.h"

void ExportTable::clear()
{
    data_ = QByteArray();
    ends_ = {};
}

void ExportTable::load(TSQLiteDatabase& db, const ExportProfile& profile, const Progress& progress)
{
    clear();
    columns_ = int(profile.columns.size());

    // Stepped here rather than through Query(): the grid keeps only the cut
    // cell texts, never a full copy of every field. The cells' size is
    // reckoned first so that the buffer is allocated once: growing it would
    // leave copies of it in the heap.
    const int limit = ExportText::kCellLimit + 3;
    QByteArray sizeSql = "SELECT COUNT(*)";
    for (const auto& c : profile.columns)
        sizeSql += ",TOTAL(MIN(LENGTH(" + c.column + ")," + QByteArray::number(limit) + "))";
    sizeSql += " FROM " + profile.archive.table();
    qint64 total = 0;
    double bytes = 0;
    if (const auto size = db.Prepare(sizeSql); size->Step()) {
        total = size->IntegerAt(0);
        for (int c = 1; c <= columns_; ++c)
            bytes += size->FloatAt(c);
    }
    // LENGTH counts a text's characters as UTF-8: close to the bytes of
    // Windows-1252 text, and a little room covers the difference.
    if (bytes < double(UINT32_MAX))
        data_.reserve(qsizetype(bytes * 1.02) + 4096);

    const auto rows = db.Prepare(profile.gridQuery());
    ends_.reserve(size_t(total) * size_t(columns_));
    try {
        qint64 done = 0;
        while (rows->Step()) {
            for (int c = 0; c < columns_; ++c) {
                data_ += ExportText::cellText(rows->BytesAt(c));
                if (data_.size() > qsizetype(UINT32_MAX))
                    throw ESQLiteException(QStringLiteral("L'archivio è troppo grande per essere esportato."));
                ends_.push_back(quint32(data_.size()));
            }
            if (progress && (++done % 1000) == 0)
                progress(done, total);
        }
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
