#include "xlsx_docx_reader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

QByteArray PackageReader::entry(const QString& zipPath, const char* name, bool* ok)
{
    if (ok)
        *ok = false;
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &code);
    if (!zip)
        return {};
    QByteArray data;
    zip_stat_t st;
    if (zip_stat(zip, name, 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(zip, name, 0)) {
            data.resize(qsizetype(st.size));
            const zip_int64_t n = zip_fread(f, data.data(), st.size);
            zip_fclose(f);
            if (ok)
                *ok = n == zip_int64_t(st.size);
        }
    }
    zip_discard(zip);
    return data;
}

namespace {

// By local name, whatever the prefix ("w:val" and "val" alike).
QString attr(const QXmlStreamReader& xml, const char* name)
{
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == QLatin1String(name))
            return a.value().toString();
    return {};
}

} // namespace

Workbook Workbook::read(const QString& path)
{
    Workbook book;
    bool ok = false;
    const QByteArray workbookXml = PackageReader::entry(path, "xl/workbook.xml", &ok);
    if (!ok) {
        book.error = QStringLiteral("no xl/workbook.xml");
        return book;
    }
    QXmlStreamReader wb(workbookXml);
    while (!wb.atEnd()) {
        wb.readNext();
        if (wb.isStartElement() && wb.name() == QLatin1String("sheet"))
            book.sheetName = attr(wb, "name");
    }

    // Styles: which cell formats are bold and which are text.
    QList<bool> boldFont;
    QList<bool> xfBold;
    QList<bool> xfText;
    QXmlStreamReader st(PackageReader::entry(path, "xl/styles.xml"));
    QString section;
    while (!st.atEnd()) {
        st.readNext();
        if (st.isStartElement()) {
            const auto n = st.name();
            if (n == QLatin1String("fonts") || n == QLatin1String("cellXfs") || n == QLatin1String("cellStyleXfs"))
                section = n.toString();
            else if (n == QLatin1String("font") && section == QLatin1String("fonts"))
                boldFont << false;
            else if (n == QLatin1String("b") && section == QLatin1String("fonts") && !boldFont.isEmpty())
                boldFont.last() = true;
            else if (n == QLatin1String("xf") && section == QLatin1String("cellXfs")) {
                xfBold << boldFont.value(attr(st, "fontId").toInt());
                xfText << (attr(st, "numFmtId") == QLatin1String("49"));
            }
        } else if (st.isEndElement() && st.name().toString() == section) {
            section.clear();
        }
    }

    QXmlStreamReader ws(PackageReader::entry(path, "xl/worksheets/sheet1.xml", &ok));
    if (!ok) {
        book.error = QStringLiteral("no sheet1.xml");
        return book;
    }
    QString ref;
    while (!ws.atEnd()) {
        ws.readNext();
        if (!ws.isStartElement())
            continue;
        const auto n = ws.name();
        if (n == QLatin1String("row")) {
            ++book.rows;
        } else if (n == QLatin1String("col")) {
            book.widths << attr(ws, "width").toDouble();
        } else if (n == QLatin1String("c")) {
            ref = attr(ws, "r");
            SheetCell cell;
            cell.type = attr(ws, "t");
            const int s = attr(ws, "s").toInt();
            cell.bold = xfBold.value(s);
            cell.textFormat = xfText.value(s);
            book.cells.insert(ref, cell);
        } else if (n == QLatin1String("t")) {
            book.cells[ref].text += ws.readElementText();
        } else if (n == QLatin1String("v") || n == QLatin1String("f")) {
            book.cells[ref].text += QStringLiteral("<%1>").arg(n.toString()) + ws.readElementText();
        }
    }
    if (ws.hasError()) {
        book.error = ws.errorString();
        return book;
    }
    book.ok = true;
    return book;
}

DocumentContent DocumentContent::read(const QString& path)
{
    DocumentContent doc;
    bool ok = false;
    QXmlStreamReader xml(PackageReader::entry(path, "word/document.xml", &ok));
    if (!ok) {
        doc.error = QStringLiteral("no word/document.xml");
        return doc;
    }
    int paragraphs = 0;
    bool inTable = false;
    bool inCell = false;
    int cellParagraphs = 0;
    bool justified = false;
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        const auto n = xml.name();
        if (xml.isStartElement()) {
            if (n == QLatin1String("tbl")) {
                inTable = true;
                doc.paragraphsBeforeTable = paragraphs;
            } else if (n == QLatin1String("tr")) {
                doc.rows.append(QStringList());
            } else if (n == QLatin1String("tc")) {
                inCell = true;
                text.clear();
                cellParagraphs = 0;
            } else if (n == QLatin1String("p")) {
                if (!inTable)
                    ++paragraphs;
                else if (cellParagraphs++ > 0)
                    text += QLatin1Char('\n');
                justified = false;
            } else if (n == QLatin1String("jc") && inTable) {
                justified = attr(xml, "val") == QLatin1String("both");
            } else if (n == QLatin1String("t")) {
                text += xml.readElementText();
            } else if (n == QLatin1String("br")) {
                text += QLatin1Char('\n');
                doc.justifiedLineBreaks += justified ? 1 : 0;
            } else if (n == QLatin1String("tab")) {
                text += QLatin1Char('\t');
            } else if (!inTable && paragraphs == 1) {
                if (n == QLatin1String("jc"))
                    doc.titleCentred = attr(xml, "val") == QLatin1String("center");
                else if (n == QLatin1String("b"))
                    doc.titleBold = true;
                else if (n == QLatin1String("rFonts"))
                    doc.titleFont = attr(xml, "ascii");
            }
        } else if (xml.isEndElement()) {
            if (n == QLatin1String("tc")) {
                doc.rows.last() << text;
                inCell = false;
            } else if (n == QLatin1String("tbl")) {
                inTable = false;
            } else if (n == QLatin1String("p") && !inTable && paragraphs == 1 && doc.title.isEmpty()) {
                doc.title = text;
                text.clear();
            }
        }
    }
    Q_UNUSED(inCell);
    if (xml.hasError()) {
        doc.error = xml.errorString();
        return doc;
    }
    doc.ok = true;
    return doc;
}
