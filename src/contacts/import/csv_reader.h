#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

struct CsvRow {
    int line = 0;         // where the row starts, from 1
    qsizetype offset = 0; // the same, in bytes of the file
    QStringList fields;
    QStringList problems;
};

struct CsvTable {
    QChar separator = u',';
    QString encoding;
    QStringList headings; // the first row
    QList<CsvRow> rows;   // the others, blank lines left out
};

// RFC 4180 text: quoted fields may hold separators, doubled quotes and line
// breaks. The separator is ',' or ';', whichever the heading row uses more.
// Never fails: what cannot be read becomes a problem of its row.
namespace CsvReader {

// No address book exports more columns, or a longer heading row; a file
// that has them is no contacts file.
inline constexpr int kMaxColumns = 500;
inline constexpr qsizetype kMaxHeadingBytes = 32 * 1024;

// What the heading row says about the whole file.
struct Layout {
    QChar separator = u',';
    bool utf8 = true;
    QString encoding; // "UTF-8" or "Windows-1252"
    QStringList headings;
    qsizetype firstRow = 0; // where the row after the headings starts
    int firstLine = 1;
    // Why the file cannot be a contacts file (too many columns, a heading
    // row too long); empty when it can.
    QString refusal;
};
Layout layout(QByteArrayView bytes);

// The rows of a file one at a time, from any row's offset on; fields beyond
// the headings are counted, not kept.
class Stream {
public:
    Stream(QByteArrayView bytes, const Layout& layout, qsizetype offset, int line);
    Stream(QByteArrayView bytes, const Layout& layout);
    // The next row; false at the end of the file.
    bool next(CsvRow& row);
    qsizetype offset() const { return pos_; }

private:
    QByteArrayView bytes_;
    const Layout& layout_;
    qsizetype pos_;
    int line_;
    QByteArray field_;
};

CsvTable read(const QByteArray& bytes);
QChar detectSeparator(QStringView text);
} // namespace CsvReader
