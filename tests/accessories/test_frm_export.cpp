#include "accessories/export_profile.h"
#include "archives/archive_registry.h"
#include "accessories/exports.h"
#include "accessories/frm_export.h"
#include "contacts/frm_rubrica.h"
#include "shell/frm_help_form.h"
#include "support/test_seams.h"
#include "ui/card_editor.h"
#include "ui/help.h"
#include "xlsx_docx_reader.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// The smallest editor of an archive: one memo per own field of its
// definition, the position label and the two export buttons. The exports
// need nothing else, so the archives are tested alike.
class ExportTestEditor : public CardEditor {
public:
    explicit ExportTestEditor(ArchiveKind kind)
        : CardEditor(Archives::get(kind))
    {
        const int own = int(definition().columns.size() - ArchiveDefinition::accessoryColumns().size());
        for (const auto& c : definition().columns.mid(0, own)) {
            auto* memo = new QPlainTextEdit(chrome().container);
            memo->setObjectName(c.control);
            chrome().body->addWidget(memo);
        }
        finishSetup();
    }
};

qint32 storeCard(ArchiveKind kind, const QHash<QByteArray, QByteArray>& values)
{
    const CardArchive& a = Archives::card(kind);
    QList<QByteArray> v;
    for (const QByteArray& column : a.valueColumns())
        v << values.value(column);
    auto db = a.open();
    db->Execute(a.insert(v));
    return qint32(db->LastInsertedRowId());
}

void deleteCard(ArchiveKind kind, qint32 id) { Archives::card(kind).open()->Execute(Archives::card(kind).deleteCard(id)); }

void addKinds()
{
    QTest::addColumn<int>("kind");
    for (const ArchiveDefinition* d : Archives::all())
        QTest::newRow(d->table.constData()) << int(d->kind);
}

} // namespace

class TestFrmExport : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<ModelessDialogs> modeless_;
    std::unique_ptr<CardEditor> editor_;

    QString documents() const { return home_.filePath(QStringLiteral("Documents")); }

    void open(ArchiveKind kind)
    {
        editor_ = std::make_unique<ExportTestEditor>(kind);
        Accessories::addExports(*editor_);
        QVERIFY(showActive(editor_.get()));
    }
    void release(QWidget* parent, const char* name)
    {
        QWidget* w = parent->findChild<QWidget*>(QLatin1String(name));
        QVERIFY2(w, name);
        QTest::mouseClick(w, Qt::LeftButton);
    }
    // Presses cmdExcel; the export window it shows.
    TfrmExport* showGrid()
    {
        QTest::mouseClick(editor_->findChild<QWidget*>("cmdExcel"), Qt::LeftButton);
        auto* w = editor_->findChild<TfrmExport*>();
        return w && w->isVisible() ? w : nullptr;
    }
    QStringList column(TfrmExport* w, int c) const
    {
        QStringList out;
        for (int r = 0; r < w->model()->rowCount(); ++r)
            out << w->model()->index(r, c).data().toString();
        return out;
    }
    QStringList exported() const { return QDir(documents()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void initTestCase()
    {
        // Exports go to the Documents folder of this home.
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath(QStringLiteral(".config"))));
        QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("Documents")));
    }

    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        modeless_ = std::make_unique<ModelessDialogs>();
        for (const QString& f : exported())
            QFile::remove(QDir(documents()).filePath(f));
    }

    void cleanup()
    {
        editor_.reset();
        modeless_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void grid_data() { addKinds(); }
    void grid()
    {
        QFETCH(int, kind);
        const ArchiveKind k = ArchiveKind(kind);
        const ExportProfile& p = ExportProfile::of(Archives::get(k));
        const QByteArray first = p.columns[0].column;
        const QByteArray last = p.columns.last().column;
        const QByteArray x250(250, 'x');
        const qint32 a = storeCard(k, { { first, "  Primo " }, { last, x250 } });
        storeCard(k, { { first, "Secondo" }, { last, x250 + 'y' } });
        storeCard(k, { { first, "Terzo \xe8" } });
        open(k);

        TfrmExport* w = showGrid();
        QVERIFY(w);
        QCOMPARE(w->objectName(), p.objectName);
        QCOMPARE(w->windowTitle(), p.caption);
        QCOMPARE(w->model()->columnCount(), p.gridColumns());
        QCOMPARE(w->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral(" N."));
        QCOMPARE(w->model()->headerData(1, Qt::Horizontal).toString(), p.columns[0].heading);
        QCOMPARE(w->grdRecords->columnWidth(p.gridColumns() - 1), p.columns.last().width);
        QCOMPARE(column(w, 0), (QStringList { "1", "2", "3" }));
        QCOMPARE(column(w, 1), (QStringList { "Primo", "Secondo", "Terzo è" }));
        const QStringList cut = column(w, p.gridColumns() - 1);
        QCOMPARE(cut[0], QString(x250));
        QCOMPARE(cut[1], QString(x250) + QStringLiteral("..."));
        QCOMPARE(w->model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(223, 235, 255));
        QCOMPARE(w->model()->index(1, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(249, 255, 225));

        // Numbering stays 1 ... N after a card is deleted.
        w->close();
        deleteCard(k, a);
        w = showGrid();
        QVERIFY(w);
        QCOMPARE(column(w, 0), (QStringList { "1", "2" }));
        QCOMPARE(column(w, 1), (QStringList { "Secondo", "Terzo è" }));

        // No stale rows once every card is gone: headings only.
        QTest::keyClick(w, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->model()->rowCount(), 0);
        Archives::card(k).open()->Execute("DELETE FROM " + Archives::card(k).table());
        w = showGrid();
        QVERIFY(w);
        QCOMPARE(w->model()->rowCount(), 0);
        QCOMPARE(w->model()->headerData(1, Qt::Horizontal).toString(), p.columns[0].heading);
        QCOMPARE(dialogs_->count(), 0);
    }

    void archiveThatCannotBeOpened()
    {
        storeCard(ArchiveKind::Groups, { { "varGruppo", "Amici" } });
        open(ArchiveKind::Groups);
        TfrmExport* w = showGrid();
        QVERIFY(w);
        QCOMPARE(w->model()->rowCount(), 1);
        w->close();
        // A folder where the archive should be: the failure is reported and
        // the old rows are not shown as if they were the archive.
        QVERIFY(QFile::remove(dir_->file("Gruppi.db")));
        QVERIFY(QDir(dir_->path()).mkdir("Gruppi.db"));
        w = showGrid();
        QVERIFY(w);
        QCOMPARE(w->model()->rowCount(), 0);
        QCOMPARE(dialogs_->kinds(), QStringList { "error" });
    }

    void workbook_data() { addKinds(); }
    void workbook()
    {
        QFETCH(int, kind);
        const ArchiveKind k = ArchiveKind(kind);
        const ExportProfile& p = ExportProfile::of(Archives::get(k));
        storeCard(k, { { p.columns[0].column, "00123" }, { p.columns[1].column, "Citt\xe0 \x80" } });
        storeCard(k, { { p.columns[0].column, "=1+1" } });
        open(k);
        TfrmExport* w = showGrid();
        QVERIFY(w);
        release(w, "lblExcel");
        QCOMPARE(dialogs_->count(), 0);
        QCOMPARE(exported().size(), 1);
        QCOMPARE(desktop_->opened, QStringList { QDir(documents()).filePath(exported()[0]) });
        QVERIFY(exported()[0].startsWith(p.sheetName + QLatin1Char(' ')));
        QVERIFY(exported()[0].endsWith(QStringLiteral(".xlsx")));

        const Workbook book = Workbook::read(desktop_->opened[0]);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.sheetName, p.sheetName);
        QCOMPARE(book.rows, 3);
        QCOMPARE(book.cells.value("A1").text, QStringLiteral("N."));
        QVERIFY(!book.cells.value("A1").bold);
        QCOMPARE(book.cells.value("B1").text, p.columns[0].heading.trimmed());
        const QString lastBold = QString(QChar('A' + p.lastBoldColumn)) + QLatin1Char('1');
        const QString pastBold = QString(QChar('A' + p.lastBoldColumn + 1)) + QLatin1Char('1');
        QVERIFY(book.cells.value(lastBold).bold);
        QVERIFY(!book.cells.contains(pastBold));
        QCOMPARE(book.cells.value("A2").text, QStringLiteral("1"));
        QCOMPARE(book.cells.value("B2").text, QStringLiteral("00123"));
        QCOMPARE(book.cells.value("C2").text, QStringLiteral("Città €"));

        // A second export in the same second gets its own file.
        release(w, "imgExcel");
        QCOMPARE(exported().size(), 2);
    }

    void workbookThatCannotBeOpened()
    {
        open(ArchiveKind::Messages);
        desktop_->openResult = false;
        TfrmExport* w = showGrid();
        QVERIFY(w);
        release(w, "imgExcel");
        QCOMPARE(dialogs_->kinds(), QStringList { "message" });
        QVERIFY(dialogs_->last().text.contains(exported().value(0)));
    }

    void help()
    {
        TfrmHelpForm help;
        Help::install([&help](const HelpTopic& t) { help.showTopic(t.title, t.text); });
        open(ArchiveKind::Groups);
        TfrmExport* w = showGrid();
        QVERIFY(w);
        release(w, "lblGuida");
        Help::install({});
        QVERIFY(help.isVisible());
        QCOMPARE(help.panTitle->text(), QStringLiteral("Esportazione archivio gruppi destinatari"));
        QCOMPARE(help.memTopic->toPlainText().count(QStringLiteral("\n\n")), 3); // four paragraphs
    }

    // The editor's texts as they stand on screen, saved or not.
    void document()
    {
        const ArchiveKind k = ArchiveKind::Groups;
        const ExportProfile& p = ExportProfile::of(Archives::get(k));
        open(k);
        editor_->setFieldText(p.rows[0].control, QStringLiteral("  Rossi & <Figli>  "));
        editor_->setFieldText(p.rows.last().control, QStringLiteral("uno\ndue"));
        editor_->setFieldText(p.rows[1].control, QStringLiteral("   "));
        release(editor_.get(), "cmdWord");
        QCOMPARE(dialogs_->count(), 0);
        QCOMPARE(exported().size(), 1);
        QVERIFY(exported()[0].startsWith(p.documentFileTitle + QLatin1Char(' ')));
        QCOMPARE(desktop_->opened, QStringList { QDir(documents()).filePath(exported()[0]) });

        const DocumentContent doc = DocumentContent::read(desktop_->opened[0]);
        QVERIFY2(doc.ok, qPrintable(doc.error));
        QCOMPARE(doc.title, p.documentTitle);
        QCOMPARE(doc.rows.size(), p.rows.size());
        QCOMPARE(doc.rows[0], (QStringList { p.rows[0].label, QStringLiteral("Rossi & <Figli>") }));
        QCOMPARE(doc.rows[1][1], QString());
        QCOMPARE(doc.rows.last()[1], QStringLiteral("uno\ndue"));
    }

    void documentRefusedWithoutName_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("ending");
        QTest::newRow("contacts") << int(ArchiveKind::Contacts) << QStringLiteral("il nome del contatto.");
        QTest::newRow("groups") << int(ArchiveKind::Groups) << QStringLiteral("il nome del gruppo.");
    }
    void documentRefusedWithoutName()
    {
        QFETCH(int, kind);
        QFETCH(QString, ending);
        const ExportProfile& p = ExportProfile::of(Archives::get(ArchiveKind(kind)));
        open(ArchiveKind(kind));
        editor_->setFieldText(p.rows[0].control, QStringLiteral(" \r\n "));
        editor_->setFieldText(p.rows[1].control, QStringLiteral("altro"));
        editor_->field(p.rows[1].control)->setFocus();
        release(editor_.get(), "cmdWord");
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Esportazione dati non applicabile"));
        QVERIFY(dialogs_->last().text.startsWith(
            QStringLiteral("Attenzione: per poter esportare la scheda corrente in Microsoft Word è necessario")));
        QVERIFY(dialogs_->last().text.endsWith(ending));
        QCOMPARE(QApplication::focusWidget(), editor_->field(p.requiredControl));
        QCOMPARE(exported(), QStringList());
        QCOMPARE(desktop_->opened, QStringList());
    }

    // The real contacts editor: its buttons come alive and refuse a card
    // without a name.
    void contactsEditor()
    {
        TfrmRubrica form;
        QVERIFY(!form.findChild<QWidget*>("cmdExcel")->isEnabled());
        Accessories::addExports(form);
        QVERIFY(showActive(&form));
        QVERIFY(form.findChild<QWidget*>("cmdExcel")->isEnabled());
        release(&form, "cmdWord");
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QCOMPARE(QApplication::focusWidget(), form.field(QStringLiteral("txtContatto")));
        release(&form, "cmdExcel");
        QVERIFY(form.findChild<TfrmExport*>(QStringLiteral("frmExpRubrica")));
    }
};

QTEST_MAIN(TestFrmExport)
#include "test_frm_export.moc"
