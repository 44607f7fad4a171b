#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// Reads back what the export writers produced, with libzip and
// QXmlStreamReader only, so the tests need no office program.
namespace PackageReader {
// The entry's bytes; empty and ok=false when the file or entry is missing.
QByteArray entry(const QString& zipPath, const char* name, bool* ok = nullptr);
} // namespace PackageReader

struct SheetCell {
    QString text;
    QString type; // the c element's t attribute
    bool bold = false;
    bool textFormat = false; // number format "@"
};

struct Workbook {
    bool ok = false;
    QString error;
    QString sheetName;
    QHash<QString, SheetCell> cells; // by reference, "A1"
    int rows = 0; // row elements
    QList<double> widths; // of the columns listed, in order
    static Workbook read(const QString& path);
};

struct DocumentContent {
    bool ok = false;
    QString error;
    QString title;
    bool titleCentred = false;
    bool titleBold = false;
    QString titleFont;
    int paragraphsBeforeTable = 0;
    QList<QStringList> rows; // cell texts, line breaks and paragraphs as "\n"
    int justifiedLineBreaks = 0; // line breaks inside justified paragraphs
    static DocumentContent read(const QString& path);
};
