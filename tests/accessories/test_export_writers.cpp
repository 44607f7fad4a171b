#include "accessories/document_writer.h"
#include "accessories/export_profile.h"
#include "accessories/spreadsheet_writer.h"
#include "archives/archive_registry.h"
#include "storage/export_file.h"
#include "xlsx_docx_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A sheet of headings and rows given as lists.
SheetContent sheetOf(const QList<QStringList>& grid, int boldLast)
{
    SheetContent s;
    s.name = QStringLiteral("Rubrica contatti");
    s.rows = int(grid.size());
    s.columns = int(grid.value(0).size());
    s.text = [grid](int r, int c) { return grid[r][c]; };
    s.boldFirst = 1;
    s.boldLast = boldLast;
    return s;
}

QString writeBook(const QTemporaryDir& dir, const SheetContent& sheet)
{
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    const QString error = SpreadsheetWriter::write(path, sheet, dir.path());
    return error.isEmpty() ? path : QString();
}

} // namespace

class TestExportWriters : public QObject {
    Q_OBJECT

private slots:
    void cellText_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QByteArray>("shown");
        const QByteArray x248(248, 'x');
        QTest::newRow("short, trimmed") << QByteArray("  Rossi \r\n") << QByteArray("Rossi");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("250 whole, trimmed") << (' ' + x248 + ' ') << x248;
        QTest::newRow("251 cut, blanks kept") << (' ' + x248 + "yz") << (' ' + x248 + "y...");
        QTest::newRow("cp1252 bytes count once") << QByteArray(251, '\xe0') << (QByteArray(250, '\xe0') + "...");
    }
    void cellText()
    {
        QFETCH(QByteArray, field);
        QFETCH(QByteArray, shown);
        QCOMPARE(ExportText::cellText(field), shown);
    }

    // Values that a spreadsheet would love to reinterpret stay text.
    void cellsStayText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("leading zeros") << QStringLiteral("00123") << QStringLiteral("00123");
        QTest::newRow("formula") << QStringLiteral("=1+1") << QStringLiteral("=1+1");
        QTest::newRow("phone") << QStringLiteral("+39 02 1234567") << QStringLiteral("+39 02 1234567");
        QTest::newRow("accents and euro") << QStringLiteral("Città €") << QStringLiteral("Città €");
        // XML cannot carry the control character itself; the workbook must
        // stay readable and keep the rest of the text.
        QTest::newRow("control character") << QStringLiteral("a\x01z") << QStringLiteral("a_x0001_z");
    }
    void cellsStayText()
    {
        QFETCH(QString, value);
        QFETCH(QString, readBack);
        QTemporaryDir dir;
        const QString path = writeBook(dir, sheetOf({ { " N.", "Nome" }, { "1", value } }, 1));
        QVERIFY(!path.isEmpty());
        const Workbook book = Workbook::read(path);
        QVERIFY2(book.ok, qPrintable(book.error));
        const SheetCell cell = book.cells.value(QStringLiteral("B2"));
        QCOMPARE(cell.text, readBack);
        QVERIFY(cell.type == QLatin1String("inlineStr") || cell.type == QLatin1String("s"));
        QVERIFY(cell.textFormat);
        QVERIFY(!cell.bold);
    }

    void headingsBoldAsFarAsAsked()
    {
        QTemporaryDir dir;
        // Three columns, bold up to K1 as the groups and messages sheets ask.
        const QString path = writeBook(
            dir, sheetOf({ { "N.", "Nome gruppo", "Note" }, { "1", "Amici", "" }, { "2", "Clienti", "x" } }, 10));
        QVERIFY(!path.isEmpty());
        const Workbook book = Workbook::read(path);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.sheetName, QStringLiteral("Rubrica contatti"));
        QCOMPARE(book.rows, 3);
        QCOMPARE(book.cells.value("A1").text, QStringLiteral("N."));
        QVERIFY(!book.cells.value("A1").bold);
        for (const char* ref : { "B1", "C1", "D1", "H1", "K1" })
            QVERIFY2(book.cells.value(QLatin1String(ref)).bold, ref);
        QVERIFY(!book.cells.contains("L1"));
        QVERIFY(!book.cells.value("B2").bold);
        // Columns fitted to their longest text.
        QCOMPARE(book.widths.size(), 3);
        const double fitted = SpreadsheetWriter::fittedWidth(QStringLiteral("Nome gruppo").size() + 1);
        QVERIFY(book.widths[1] >= fitted && book.widths[1] < fitted + 1); // the file adds a little padding
        QVERIFY(book.widths[0] < book.widths[1]);
    }

    void headingsOnly()
    {
        QTemporaryDir dir;
        const QString path = writeBook(dir, sheetOf({ { "N.", "Nome" } }, 1));
        QVERIFY(!path.isEmpty());
        const Workbook book = Workbook::read(path);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.rows, 1);
        QCOMPARE(book.cells.value("B1").text, QStringLiteral("Nome"));
        // Nothing but the workbook stays in the folder.
        QCOMPARE(filesIn(dir.path()), QStringList { "book.xlsx" });
    }

    void document_data()
    {
        QTest::addColumn<int>("kind");
        for (const ArchiveDefinition* d : Archives::all())
            QTest::newRow(d->table.constData()) << int(d->kind);
    }
    void document()
    {
        QFETCH(int, kind);
        const ExportProfile& p = ExportProfile::of(Archives::get(ArchiveKind(kind)));
        const QStringList values { QStringLiteral("Rossi & <Figli> \"srl\""), QStringLiteral("riga 1\r\nriga 2\nriga 3"),
            QStringLiteral("a\x01\x02z\tb"), QString() };
        DocumentWriter::Rows rows;
        for (int i = 0; i < p.rows.size(); ++i)
            rows.append({ p.rows[i].label, values[i % values.size()] });
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("card.docx"));
        QCOMPARE(DocumentWriter::write(path, p.documentTitle, rows), QString());

        const DocumentContent doc = DocumentContent::read(path);
        QVERIFY2(doc.ok, qPrintable(doc.error));
        QCOMPARE(doc.title, p.documentTitle);
        QVERIFY(doc.titleCentred);
        QVERIFY(doc.titleBold);
        QCOMPARE(doc.titleFont, QStringLiteral("Arial"));
        QCOMPARE(doc.paragraphsBeforeTable, 2); // title and the empty line
        QCOMPARE(doc.rows.size(), p.rows.size());
        for (int i = 0; i < p.rows.size(); ++i) {
            QCOMPARE(doc.rows[i].size(), 2);
            QCOMPARE(doc.rows[i][0], p.rows[i].label);
        }
        QCOMPARE(doc.rows[0][1], values[0]);
        QCOMPARE(doc.rows[1][1], QStringLiteral("riga 1\nriga 2\nriga 3"));
        QCOMPARE(doc.rows[2][1], QStringLiteral("az\tb"));
        QCOMPARE(doc.rows[3][1], QString());
        QCOMPARE(filesIn(dir.path()), QStringList { "card.docx" });
    }

    void xmlTextDropsWhatXmlCannotHold()
    {
        const QString text = QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xFFFE)
            + QStringLiteral("\x0b") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("<&>");
        QCOMPARE(DocumentWriter::xmlText(text), QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600")
                + QStringLiteral("&lt;&amp;&gt;"));
    }

    void publishNeverReplaces()
    {
        QTemporaryDir dir;
        const QDateTime when(QDate(2026, 12, 8), QTime(12, 46, 39));
        const QString base = ExportFile::baseName(QStringLiteral("Rubrica contatti"), when);
        QCOMPARE(base, QStringLiteral("Rubrica contatti 2026-12-08 12.46.39"));
        QFile existing(dir.filePath(base + QStringLiteral(".xlsx")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("keep me");
        existing.close();

        auto writer = [](const QString& temp) {
            QFile f(temp);
            if (!f.open(QIODevice::WriteOnly))
                return QStringLiteral("open");
            f.write("new");
            return QString();
        };
        const auto first = ExportFile::publish(dir.path(), QStringLiteral("Rubrica contatti"), "xlsx", writer, when);
        QVERIFY2(first.ok(), qPrintable(first.error));
        QCOMPARE(QFileInfo(first.path).fileName(), base + QStringLiteral(" (2).xlsx"));
        const auto second = ExportFile::publish(dir.path(), QStringLiteral("Rubrica contatti"), "xlsx", writer, when);
        QCOMPARE(QFileInfo(second.path).fileName(), base + QStringLiteral(" (3).xlsx"));

        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("keep me"));
        QFile published(first.path);
        QVERIFY(published.open(QIODevice::ReadOnly));
        QCOMPARE(published.readAll(), QByteArray("new"));
        QCOMPARE(filesIn(dir.path()).size(), 3); // no temporary left over
    }

    void failedWriteLeavesNothing()
    {
        QTemporaryDir dir;
        const auto result = ExportFile::publish(dir.path(), QStringLiteral("Scheda contatto"), "docx",
            [](const QString& temp) {
                QFile f(temp);
                if (f.open(QIODevice::WriteOnly))
                    f.write("half a document");
                return QStringLiteral("disco pieno.");
            });
        QVERIFY(!result.ok());
        QVERIFY(result.error.contains(QStringLiteral("disco pieno.")));
        QVERIFY(result.path.isEmpty());
        QCOMPARE(filesIn(dir.path()), QStringList());
    }

    void unwritableFolder()
    {
        QTemporaryDir dir;
        // A file where the folder should be: nothing can be created in it,
        // even for a privileged user.
        const QString notADir = dir.filePath(QStringLiteral("Documenti"));
        QFile f(notADir);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        bool called = false;
        const auto result = ExportFile::publish(notADir, QStringLiteral("Scheda"), "docx", [&](const QString&) {
            called = true;
            return QString();
        });
        QVERIFY(!result.ok());
        QVERIFY(!called);
        QVERIFY(result.error.contains(QStringLiteral("Documenti")));
        QCOMPARE(filesIn(dir.path()), QStringList { "Documenti" });

        QCOMPARE(ExportFile::firstWritable({ QString(), notADir, dir.filePath("missing"), dir.path() }),
            QDir::cleanPath(dir.path()));
    }

    // The real writers through the helper: a failing one leaves no partial file.
    void failingWorkbookLeavesNothing()
    {
        QTemporaryDir dir;
        SheetContent s = sheetOf({ { "N.", "Nome" }, { "1", QString(40000, QLatin1Char('x')) } }, 1);
        const auto result = ExportFile::publish(dir.path(), QStringLiteral("Rubrica contatti"), "xlsx",
            [&](const QString& temp) { return SpreadsheetWriter::write(temp, s, dir.path()); });
        QVERIFY(!result.ok());
        QCOMPARE(filesIn(dir.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestExportWriters)
#include "test_export_writers.moc"
