#pragma once

#include "accessories/export_profile.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class TSQLiteDatabase;

// The cells of the export grid: every card's exported fields, already cut to
// the grid's cell text, kept as Windows-1252 bytes in one buffer. A grid of
// 100,000 cards would otherwise cost a string object per cell.
class ExportTable {
public:
    // Called now and then while reading: rows read so far and the total.
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // Reads every card of the archive the profile names, in the order the
    // archive returns them, replacing what the table held. Storage failures
    // throw ESQLiteException and leave the table empty.
    void load(TSQLiteDatabase& db, const ExportProfile& profile, const Progress& progress = {});
    void clear();

    int rowCount() const { return columns_ == 0 ? 0 : int((ends_.size()) / columns_); }
    int columnCount() const { return columns_; }
    // Cell text of a card field (column 0 is the first exported field).
    QByteArray bytes(int row, int column) const;
    QString text(int row, int column) const;

private:
    int columns_ = 0;
    QByteArray data_;
    std::vector<quint32> ends_; // end offset of each cell in data_, row by row
};
