#include "accessories/spreadsheet_writer.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <vector>

namespace {

QString reason(lxw_error error) { return QString::fromUtf8(lxw_strerror(error)); }

QString writeFailed(const QString& detail)
{
    return QStringLiteral("la cartella di lavoro non è stata scritta (%1).").arg(detail);
}

} // namespace

double SpreadsheetWriter::fittedWidth(qsizetype longest)
{
    // One character of the default font per character of text, a little
    // room on either side, and no more than the spreadsheet allows.
    return std::clamp(double(longest) + 2.0, 4.0, 255.0);
}

QString SpreadsheetWriter::write(const QString& path, const SheetContent& sheet, const QString& tempDir,
    const Progress& progress)
{
    if (sheet.rows < 0 || sheet.columns <= 0 || !sheet.text)
        return writeFailed(QStringLiteral("nessuna colonna da scrivere"));

    const QByteArray file = QFile::encodeName(path);
    QByteArray tmp = QFile::encodeName(QDir::toNativeSeparators(tempDir));
    lxw_workbook_options options {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tmp.isEmpty() ? nullptr : tmp.data();
    lxw_workbook* book = workbook_new_opt(file.constData(), &options);
    if (!book)
        return writeFailed(QStringLiteral("impossibile creare il file"));

    // From here on the workbook must be closed whatever happens, or its
    // temporary files stay behind.
    QString error;
    const QByteArray name = sheet.name.toUtf8();
    lxw_worksheet* ws = workbook_add_worksheet(book, name.constData());
    if (!ws)
        error = writeFailed(QStringLiteral("nome del foglio non valido"));

    lxw_format* textFormat = workbook_add_format(book);
    format_set_num_format_index(textFormat, 49); // built-in "@", text
    lxw_format* boldFormat = workbook_add_format(book);
    format_set_num_format_index(boldFormat, 49);
    format_set_bold(boldFormat);

    const int boldColumns = std::max(sheet.columns, sheet.boldLast + 1);
    std::vector<qsizetype> longest(size_t(sheet.columns), 0);
    for (int r = 0; ws && error.isEmpty() && r < sheet.rows; ++r) {
        const int lastColumn = r == 0 ? boldColumns : sheet.columns;
        for (int c = 0; c < lastColumn; ++c) {
            const bool bold = r == 0 && c >= sheet.boldFirst && c <= sheet.boldLast;
            lxw_format* format = bold ? boldFormat : textFormat;
            lxw_error rc;
            if (c >= sheet.columns) {
                // Bold but empty heading cells past the data, as the export
                // has always marked them.
                rc = worksheet_write_blank(ws, lxw_row_t(r), lxw_col_t(c), format);
            } else {
                const QString text = sheet.text(r, c);
                longest[size_t(c)] = std::max(longest[size_t(c)], text.size() + (bold ? text.size() / 8 : 0));
                // Always a string cell: "00123", "=SUM(...)" and "+39 ..."
                // stay exactly as typed.
                rc = worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), text.toUtf8().constData(), format);
            }
            if (rc != LXW_NO_ERROR) {
                error = writeFailed(QStringLiteral("riga %1, colonna %2: %3").arg(r + 1).arg(c + 1).arg(reason(rc)));
                break;
            }
        }
        if (progress && (r % 500) == 499)
            progress(r + 1, sheet.rows);
    }
    for (int c = 0; ws && error.isEmpty() && c < sheet.columns; ++c) {
        const lxw_error rc = worksheet_set_column(
            ws, lxw_col_t(c), lxw_col_t(c), fittedWidth(longest[size_t(c)]), nullptr);
        if (rc != LXW_NO_ERROR)
            error = writeFailed(reason(rc));
    }
    const lxw_error closed = workbook_close(book);
    if (error.isEmpty() && closed != LXW_NO_ERROR)
        error = writeFailed(reason(closed));
    if (progress && error.isEmpty())
        progress(sheet.rows, sheet.rows);
    return error;
}
