// Turns the Markdown manual into a PDF: make_manual <guida.md> <Guida.pdf>.
// Pictures are looked up relative to the Markdown file. Needs a platform
// with fonts; the build runs it with QT_QPA_PLATFORM=offscreen.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPalette>
#include <QPdfWriter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>

namespace {

struct Page {
    QSizeF size; // the printable area, in the writer's pixels
    qreal foot = 0; // room kept at the bottom for the page number
    QFont numberFont;
};

QList<QTextTable*> tablesOf(const QTextDocument& document)
{
    QList<QTextTable*> tables;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            tables << table;
    return tables;
}

// The document of the Markdown text, with its pictures and table look, laid
// out on the writer's pages. Tables listed in breakBefore start a new page.
// Null when a picture is missing.
std::unique_ptr<QTextDocument> build(
    const QString& markdown, const QUrl& base, const QSet<int>& breakBefore, QPdfWriter& writer, const Page& page)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10.5);
    document->setDefaultFont(font);
    document->setDefaultStyleSheet(QStringLiteral("h1, h2, h3 { color: #1d3461; }"));
    document->setMarkdown(markdown);

    // Pictures are loaded here, relative to the Markdown file, and handed to
    // the document. One that cannot be loaded would silently leave a hole in
    // the manual.
    int missing = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            const QString path = base.resolved(QUrl(name)).toLocalFile();
            const QImage picture(path);
            if (picture.isNull()) {
                std::fprintf(stderr, "make_manual: picture not found: %s\n", qPrintable(path));
                ++missing;
                continue;
            }
            document->addResource(QTextDocument::ImageResource, QUrl(name), picture);
            // Button glyphs sit in the middle of the line they belong to.
            QTextCursor cursor(document.get());
            cursor.setPosition(it.fragment().position());
            cursor.setPosition(it.fragment().position() + it.fragment().length(), QTextCursor::KeepAnchor);
            QTextImageFormat middle = format.toImageFormat();
            middle.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cursor.setCharFormat(middle);
        }
    }
    if (missing)
        return nullptr;

    // Tables full width, with some air and light rules; cell text wraps.
    const QList<QTextTable*> tables = tablesOf(*document);
    for (int t = 0; t < tables.size(); ++t) {
        QTextTableFormat format = tables[t]->format();
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setCellPadding(4);
        format.setCellSpacing(0);
        format.setBorder(0.5);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0xb9, 0xcb, 0xe6));
        format.setBorderCollapse(true);
        if (breakBefore.contains(t))
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        tables[t]->setFormat(format);
    }

    document->documentLayout()->setPaintDevice(&writer);
    QTextFrameFormat root = document->rootFrame()->frameFormat();
    root.setMargin(0);
    root.setBottomMargin(page.foot);
    document->rootFrame()->setFrameFormat(root);
    document->setPageSize(page.size);
    return document;
}

// The first table row whose lines fall on two pages, or the first row that
// is not on the page of the heading above it, as (table, row); row -1 when
// there is none. Rows too tall for a page are left as they are.
std::pair<int, int> firstSplitRow(QTextDocument& document)
{
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    const qreal pageHeight = document.pageSize().height();
    const QList<QTextTable*> tables = tablesOf(document);
    for (int t = 0; t < tables.size(); ++t) {
        QTextTable* table = tables[t];
        qreal headingTop = std::numeric_limits<qreal>::max();
        for (int r = 0; r < table->rows(); ++r) {
            qreal top = std::numeric_limits<qreal>::max();
            qreal bottom = 0;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                    const QTextBlock block = it.currentBlock();
                    if (!block.isValid())
                        continue;
                    // A line that did not fit is moved down inside its block,
                    // which keeps its place: the lines tell where it went.
                    const qreal origin = layout->blockBoundingRect(block).top();
                    const QTextLayout* lines = block.layout();
                    for (int l = 0; l < lines->lineCount(); ++l) {
                        top = std::min(top, origin + lines->lineAt(l).y());
                        bottom = std::max(bottom, origin + lines->lineAt(l).y() + lines->lineAt(l).height());
                    }
                }
            }
            if (bottom <= top || bottom - top > pageHeight * 0.9)
                continue;
            // The heading stays with the first row.
            if (r == 1)
                top = std::min(top, headingTop);
            if (r == 0)
                headingTop = top;
            if (int(top / pageHeight) != int((bottom - 1) / pageHeight))
                return { t, r };
        }
    }
    return { -1, -1 };
}

// The Markdown text with table `table` cut before its row `row` (row 0 is the
// heading): the rows from there on become a table of their own, under the
// same heading.
QString splitTable(const QString& markdown, int table, int row)
{
    QStringList lines = markdown.split(QLatin1Char('\n'));
    int t = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1Char('|')) || (i > 0 && lines[i - 1].startsWith(QLatin1Char('|'))))
            continue;
        if (++t != table)
            continue;
        // The heading, the separator line, then the rows from 1 on.
        const int at = i + row + 1;
        lines.insert(at, lines[i + 1]);
        lines.insert(at, lines[i]);
        lines.insert(at, QString());
        break;
    }
    return lines.join(QLatin1Char('\n'));
}

// Qt lets a table row run across a page end, its cells' lines split between
// two pages. A table is therefore cut before a row that would be split, and
// its second part, under a repeated heading, starts a new page; a table whose
// first row would be split starts a new page whole.
std::unique_ptr<QTextDocument> layOut(const QString& source, const QUrl& base, QPdfWriter& writer, const Page& page)
{
    QString markdown = source;
    QSet<int> breakBefore;
    for (int round = 0; round < 200; ++round) {
        auto document = build(markdown, base, breakBefore, writer, page);
        if (!document)
            return nullptr;
        const auto [table, row] = firstSplitRow(*document);
        if (row < 0)
            return document;
        if (row <= 1) {
            breakBefore.insert(table);
            continue;
        }
        markdown = splitTable(markdown, table, row);
        QSet<int> shifted;
        for (int b : breakBefore)
            shifted.insert(b > table ? b + 1 : b);
        shifted.insert(table + 1);
        breakBefore = shifted;
    }
    std::fprintf(stderr, "make_manual: cannot keep the table rows whole\n");
    return nullptr;
}

// Draws the laid-out document page by page, with the page number at the foot.
bool print(QTextDocument& document, QPdfWriter& writer, const Page& page)
{
    QPainter painter(&writer);
    if (!painter.isActive())
        return false;
    const int pages = document.pageCount();
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            writer.newPage();
        painter.save();
        const QRectF view(0, p * page.size.height(), page.size.width(), page.size.height());
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        context.palette.setColor(QPalette::Text, Qt::black);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(page.numberFont);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, page.size.height() - page.foot, page.size.width(), page.foot),
            Qt::AlignRight | Qt::AlignBottom, QString::number(p + 1));
    }
    return painter.end();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_manual <guida.md> <Guida.pdf>\n");
        return 2;
    }

    QFile source(args[1]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "make_manual: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    const QString markdown = QString::fromUtf8(source.readAll());
    const QUrl base = QUrl::fromLocalFile(QFileInfo(args[1]).absoluteFilePath());

    const QString target = args[2];
    const QString partial = target + QStringLiteral(".part");
    bool printed = false;
    {
        QPdfWriter writer(partial);
        writer.setTitle(QStringLiteral("Velmaro - Guida"));
        writer.setCreator(QStringLiteral("Velmaro"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(25, 20, 25, 15), QPageLayout::Millimeter));
        Page page;
        page.size = writer.pageLayout().paintRectPixels(writer.resolution()).size();
        page.numberFont = QFont(QStringLiteral("DejaVu Sans"));
        page.numberFont.setPointSizeF(9);
        page.foot = QFontMetricsF(page.numberFont, &writer).height() * 2.5;
        const auto document = layOut(markdown, base, writer, page);
        if (!document) {
            QFile::remove(partial);
            return 1;
        }
        printed = print(*document, writer, page);
    }
    // Only a complete manual replaces the old one.
    QFile::remove(target);
    if (!printed || !QFile::rename(partial, target)) {
        QFile::remove(partial);
        std::fprintf(stderr, "make_manual: cannot write %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
