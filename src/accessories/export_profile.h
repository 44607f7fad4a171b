#pragma once

#include "archives/archive_definition.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What the spreadsheet and document exports need to know of one archive,
// computed from its definition; the export code itself is written once.
struct ExportProfile {
    struct Column {
        QString heading; // as the grid shows it (leading blank included)
        QByteArray column; // archive column
        int width = 0; // grid column width in pixels
    };
    struct Row {
        QString label; // left cell of the document table
        QString control; // editor control whose text goes into the right cell
    };

    CardArchive archive;

    // Spreadsheet export window.
    QString objectName; // "frmExpRubrica", ...
    QString caption;
    QString sheetName;
    QString numberHeading = QStringLiteral(" N."); // grid column 0
    int numberWidth = 50;
    QList<Column> columns; // grid columns 1 ...
    int lastBoldColumn = 0; // header cells B1 up to this column (0-based) are bold
    QString helpTitle;
    QString helpText;

    // Document export of the card on screen.
    QString documentTitle;
    QString documentFileTitle; // file names: this text and a timestamp
    QList<Row> rows;
    QString requiredControl; // empty: no field is required
    QString requiredText;

    // Throws WiringError when the definition does not add up or exports a
    // column its archive lacks.
    static ExportProfile of(const ArchiveDefinition& definition);

    // "SELECT varA,varB,... FROM table": only the exported columns, so member
    // lists and message bodies are never read into memory.
    QByteArray gridQuery() const;
    // Grid width in columns, the number column included.
    int gridColumns() const { return int(columns.size()) + 1; }
};

namespace ExportText {
// The longest field a grid cell shows whole; longer ones are cut and get "...".
constexpr int kCellLimit = 250;
// The grid's text of one stored field (Windows-1252 bytes): up to the limit
// with blanks at both ends removed, longer ones cut to the limit and "...".
QByteArray cellText(const QByteArray& field);
} // namespace ExportText
