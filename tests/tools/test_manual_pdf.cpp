// The built manual, read back with pdftotext: every cell of every table of
// its source is in the PDF, its words in reading order within one column of
// one page, and every row's cells on one page.
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Word {
    QString text;
    QRectF box;
};
using Pages = QList<QList<Word>>;

QString folded(const QString& text)
{
    // pdftotext gives ligatures ("ﬁ") where the source has two letters.
    QString out = text.normalized(QString::NormalizationForm_KC);
    out.remove(QRegularExpression(QStringLiteral("\\s")));
    return out;
}

// The words of the PDF, page by page, with their boxes.
Pages readPdf(const QString& pdf, QString& error)
{
    QTemporaryDir dir;
    const QString html = dir.filePath(QStringLiteral("manuale.html"));
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, html });
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        error = QStringLiteral("pdftotext (Debian package poppler-utils) could not read %1: %2")
                    .arg(pdf, QString::fromLocal8Bit(tool.readAllStandardError()) + tool.errorString());
        return {};
    }
    QFile file(html);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("no output from pdftotext");
        return {};
    }
    Pages pages;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            pages.append(QList<Word>());
        } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
            const auto a = xml.attributes();
            const QPointF topLeft(a.value("xMin").toDouble(), a.value("yMin").toDouble());
            const QPointF bottomRight(a.value("xMax").toDouble(), a.value("yMax").toDouble());
            pages.last().append({ folded(xml.readElementText()), QRectF(topLeft, bottomRight) });
        }
    }
    if (xml.hasError())
        error = xml.errorString();
    return pages;
}

// Whether text (blanks left out) reads on the page from word `current` on,
// its first `at` characters read already: word after word along a line, or
// on from line to line starting under the cell's first word (at `left`), as
// a left-aligned table cell wraps. Both ways are tried, since a neighbouring
// cell's word may fit as well.
bool readsFrom(const QList<Word>& page, const Word& current, qreal left, const QString& text, qsizetype at)
{
    if (at >= text.size())
        return true;
    const qreal h = current.box.height();
    const Word* along = nullptr;
    const Word* below = nullptr;
    for (const Word& w : page) {
        const bool sameLine = qAbs(w.box.top() - current.box.top()) < h / 2 && w.box.left() >= current.box.right() - 0.5
            && w.box.left() - current.box.right() < 1.5 * h;
        if (sameLine && (!along || w.box.left() < along->box.left()))
            along = &w;
        const bool lineBelow = w.box.top() > current.box.top() + h / 2 && w.box.top() < current.box.bottom() + 1.5 * h
            && qAbs(w.box.left() - left) < h;
        if (lineBelow && (!below || w.box.top() < below->box.top()))
            below = &w;
    }
    for (const Word* next : { along, below })
        if (next && !next->text.isEmpty() && text.mid(at).startsWith(next->text)
            && readsFrom(page, *next, left, text, at + next->text.size()))
            return true;
    return false;
}

// The pages on which the text reads whole.
QSet<int> pagesWith(const Pages& pages, const QString& text)
{
    QSet<int> found;
    for (int p = 0; p < pages.size(); ++p)
        for (int i = 0; i < pages[p].size() && !found.contains(p); ++i)
            if (!pages[p][i].text.isEmpty() && text.startsWith(pages[p][i].text)
                && readsFrom(pages[p], pages[p][i], pages[p][i].box.left(), text, pages[p][i].text.size()))
                found.insert(p);
    return found;
}

QString cellText(const QTextTableCell& cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    // Pictures (button glyphs) have no text in the PDF.
    return cursor.selectedText().remove(QChar::ObjectReplacementCharacter);
}

} // namespace

class TestManualPdf : public QObject {
    Q_OBJECT

private slots:
    void everyTableCellIsInThePdf()
    {
        QFile source(QStringLiteral(VELMARO_MANUAL_SOURCE));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QTextDocument document;
        document.setMarkdown(QString::fromUtf8(source.readAll()));

        QString error;
        const Pages pages = readPdf(QStringLiteral(VELMARO_MANUAL_PDF), error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(pages.size() > 1);

        QStringList problems;
        int tables = 0;
        int cells = 0;
        for (QTextFrame* frame : document.rootFrame()->childFrames()) {
            auto* table = qobject_cast<QTextTable*>(frame);
            if (!table)
                continue;
            ++tables;
            for (int r = 0; r < table->rows(); ++r) {
                QSet<int> rowPages;
                bool first = true;
                QStringList texts;
                for (int c = 0; c < table->columns(); ++c) {
                    const QString text = folded(cellText(table->cellAt(r, c)));
                    if (text.isEmpty())
                        continue;
                    ++cells;
                    texts << cellText(table->cellAt(r, c)).simplified();
                    const QSet<int> found = pagesWith(pages, text);
                    if (found.isEmpty())
                        problems << QStringLiteral("missing: %1").arg(texts.last());
                    rowPages = first ? found : rowPages.intersect(found);
                    first = false;
                }
                if (!first && rowPages.isEmpty() && !texts.isEmpty())
                    problems << QStringLiteral("row not on one page: %1").arg(texts.join(QStringLiteral(" | ")));
            }
        }
        QVERIFY(tables >= 8);
        QVERIFY(cells > 100);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestManualPdf)
#include "test_manual_pdf.moc"
