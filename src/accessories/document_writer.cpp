#include "accessories/document_writer.h"

#include <QFile>
#include <QRegularExpression>

#include <zip.h>

#include <cstdlib>
#include <cstring>

namespace {

const char* const kContentTypes
    = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/word/document.xml\" "
      "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
      "</Types>";

const char* const kPackageRels
    = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
      "<Relationship Id=\"rId1\" "
      "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
      "Target=\"word/document.xml\"/>"
      "</Relationships>";

// Arial 10 (sizes are in half points).
const QString kFont = QStringLiteral("<w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\"/>");
const QString kSize = QStringLiteral("<w:sz w:val=\"20\"/><w:szCs w:val=\"20\"/>");

QString runProperties(bool bold)
{
    return QStringLiteral("<w:rPr>") + kFont + (bold ? QStringLiteral("<w:b/><w:bCs/>") : QString()) + kSize
        + QStringLiteral("</w:rPr>");
}

// One paragraph; each line of text becomes a run ending in a line break.
QString paragraph(const QString& text, const QString& alignment, bool bold)
{
    QString out = QStringLiteral("<w:p><w:pPr><w:jc w:val=\"") + alignment + QStringLiteral("\"/>")
        + runProperties(bold) + QStringLiteral("</w:pPr>");
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    for (int i = 0; i < lines.size(); ++i) {
        out += QStringLiteral("<w:r>") + runProperties(bold);
        if (i > 0)
            out += QStringLiteral("<w:br/>");
        const QStringList pieces = lines[i].split(QLatin1Char('\t'));
        for (int j = 0; j < pieces.size(); ++j) {
            if (j > 0)
                out += QStringLiteral("<w:tab/>");
            if (!pieces[j].isEmpty())
                out += QStringLiteral("<w:t xml:space=\"preserve\">") + DocumentWriter::xmlText(pieces[j])
                    + QStringLiteral("</w:t>");
        }
        out += QStringLiteral("</w:r>");
    }
    return out + QStringLiteral("</w:p>");
}

QString cell(const QString& text, int width)
{
    // One paragraph per line: a justified line ended by a line break is
    // stretched across the whole cell, the last line of a paragraph is not.
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString paragraphs;
    for (const QString& line : text.split(lineBreak))
        paragraphs += paragraph(line, QStringLiteral("both"), false);
    return QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/></w:tcPr>").arg(width) + paragraphs
        + QStringLiteral("</w:tc>");
}

QString zipError(zip_t* zip)
{
    return QString::fromLocal8Bit(zip_strerror(zip));
}

bool addPart(zip_t* zip, const char* name, const QByteArray& data)
{
    // libzip frees the copy once the archive is written.
    void* copy = std::malloc(size_t(std::max<qsizetype>(data.size(), 1)));
    if (!copy)
        return false;
    std::memcpy(copy, data.constData(), size_t(data.size()));
    zip_source_t* source = zip_source_buffer(zip, copy, zip_uint64_t(data.size()), 1);
    if (!source) {
        std::free(copy);
        return false;
    }
    if (zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

} // namespace

QString DocumentWriter::xmlText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
                const char32_t full = QChar::surrogateToUcs4(c, text[i + 1].unicode());
                if ((full & 0xFFFE) != 0xFFFE) // U+xFFFE and U+xFFFF are no characters
                    out += text.mid(i, 2);
                ++i;
            }
            continue;
        }
        if (QChar::isLowSurrogate(c) || c == 0xFFFE || c == 0xFFFF)
            continue;
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            continue;
        switch (c) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += QChar(c);
        }
    }
    return out;
}

QByteArray DocumentWriter::documentXml(const QString& title, const Rows& rows)
{
    constexpr int kLabelWidth = 3200; // twentieths of a point
    constexpr int kValueWidth = 6438;
    QString body = paragraph(title, QStringLiteral("center"), true) + paragraph(QString(), QStringLiteral("center"), true);
    if (!rows.isEmpty()) {
        body += QStringLiteral(
            "<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>"
            "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
            "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
            "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
            "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
            "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
            "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
            "</w:tblBorders><w:tblLook w:val=\"0000\"/></w:tblPr>");
        body += QStringLiteral("<w:tblGrid><w:gridCol w:w=\"%1\"/><w:gridCol w:w=\"%2\"/></w:tblGrid>")
                    .arg(kLabelWidth)
                    .arg(kValueWidth);
        for (const auto& row : rows)
            body += QStringLiteral("<w:tr>") + cell(row.first, kLabelWidth) + cell(row.second, kValueWidth)
                + QStringLiteral("</w:tr>");
        body += QStringLiteral("</w:tbl>");
        // A document must not end with a table.
        body += paragraph(QString(), QStringLiteral("both"), false);
    }
    const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                       "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
                                       "2006/main\"><w:body>")
        + body
        + QStringLiteral("<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                         "<w:pgMar w:top=\"1417\" w:right=\"1134\" w:bottom=\"1134\" w:left=\"1134\" "
                         "w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr>"
                         "</w:body></w:document>");
    return xml.toUtf8();
}

QString DocumentWriter::write(const QString& path, const QString& title, const Rows& rows)
{
    const QByteArray file = QFile::encodeName(path);
    int code = 0;
    zip_t* zip = zip_open(file.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!zip) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        const QString detail = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        return QStringLiteral("il documento non è stato scritto (%1).").arg(detail);
    }
    const bool added = addPart(zip, "[Content_Types].xml", kContentTypes)
        && addPart(zip, "_rels/.rels", kPackageRels) && addPart(zip, "word/document.xml", documentXml(title, rows));
    if (!added || zip_close(zip) != 0) {
        const QString detail = zipError(zip);
        // Nothing of a discarded archive reaches the disk.
        zip_discard(zip);
        return QStringLiteral("il documento non è stato scritto (%1).").arg(detail);
    }
    return {};
}
