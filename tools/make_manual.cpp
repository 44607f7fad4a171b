// Turns the Markdown manual into a PDF: make_manual <guida.md> <Guida.pdf>.
// Pictures are looked up relative to the Markdown file. Needs a platform
// with fonts; the build runs it with QT_QPA_PLATFORM=offscreen.

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <cstdio>

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

    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10.5);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(QStringLiteral("h1, h2, h3 { color: #1d3461; }"));
    document.setMarkdown(markdown);

    // Pictures are loaded here, relative to the Markdown file, and handed to
    // the document: printing works on a copy that would not find them. One
    // that cannot be loaded would silently leave a hole in the manual.
    const QUrl base = QUrl::fromLocalFile(QFileInfo(args[1]).absoluteFilePath());
    int missing = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
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
            document.addResource(QTextDocument::ImageResource, QUrl(name), picture);
            // Button glyphs sit in the middle of the line they belong to.
            QTextCursor cursor(&document);
            cursor.setPosition(it.fragment().position());
            cursor.setPosition(it.fragment().position() + it.fragment().length(), QTextCursor::KeepAnchor);
            QTextImageFormat middle = format.toImageFormat();
            middle.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            cursor.setCharFormat(middle);
        }
    }
    if (missing)
        return 1;

    // Tables full width, with some air and light rules.
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        QTextTableFormat format = table->format();
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        format.setCellPadding(4);
        format.setCellSpacing(0);
        format.setBorder(0.5);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0xb9, 0xcb, 0xe6));
        format.setBorderCollapse(true);
        table->setFormat(format);
        // Qt moves a table row to the next page only when every cell of it
        // would start there; a cell whose lines may break would leave the
        // row cut in two across the page end. Unbreakable cell text moves
        // whole, so the row moves whole.
        for (int r = 0; r < table->rows(); ++r) {
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                    QTextBlock block = it.currentBlock();
                    if (!block.isValid())
                        continue;
                    QTextCursor cursor(block);
                    QTextBlockFormat unbroken = block.blockFormat();
                    unbroken.setNonBreakableLines(true);
                    cursor.setBlockFormat(unbroken);
                }
            }
        }
    }

    const QString target = args[2];
    const QString partial = target + QStringLiteral(".part");
    {
        QPdfWriter writer(partial);
        writer.setTitle(QStringLiteral("Velmaro - Guida"));
        writer.setCreator(QStringLiteral("Velmaro"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(
            QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
        document.print(&writer);
    }
    // Only a complete manual replaces the old one.
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        std::fprintf(stderr, "make_manual: cannot write %s\n", qPrintable(target));
        return 1;
    }
    return 0;
}
