#pragma once

#include <QString>

#include <functional>

// A one-sheet workbook of text cells, as the spreadsheet export hands it over:
// row 0 holds the headings, every cell is written as text (nothing becomes a
// number, a date or a formula), a range of heading cells is bold and every
// column is as wide as its longest text.
struct SheetContent {
    QString name;
    int rows = 0; // heading row included
    int columns = 0;
    std::function<QString(int row, int column)> text;
    int boldFirst = 1; // heading cells boldFirst ... boldLast (0-based) are bold;
    int boldLast = 0; // boldLast may lie past the last column
};

namespace SpreadsheetWriter {
// Called every few hundred rows: rows written so far and the total.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Writes the workbook to path (replacing whatever is there: callers give a
// private temporary name). Rows are streamed to temporary files in tempDir,
// so memory does not grow with the sheet. Returns an empty text on success,
// otherwise the reason in Italian.
QString write(const QString& path, const SheetContent& sheet, const QString& tempDir, const Progress& progress = {});

// Column width, in characters, that fits a text of this length.
double fittedWidth(qsizetype longest);
} // namespace SpreadsheetWriter
