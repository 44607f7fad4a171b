// What every quick search does the same way, run once per archive: the
// sorted list, find-in-list, choosing a line and printing.
#include "archives/archive_registry.h"
#include "storage/sqlite_table3.h"
#include "support/test_archives.h"
#include "support/test_seams.h"
#include "ui/form_look.h"
#include "ui/search_forms.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

class TestSearchContract : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingPrinter> printer_;
    std::unique_ptr<QuickSearchForm> form_;
    const ArchiveDefinition* archive_ = nullptr;

    // A card whose first listed column and searched column hold value.
    qint32 store(const QByteArray& value)
    {
        const CardArchive& a = archive_->card;
        QList<QByteArray> values(a.valueCount());
        const QByteArray listed = form_->config().line.columns().first();
        const QByteArray searched = form_->criteria().first().column;
        values[a.valueColumns().indexOf(listed)] = value;
        values[a.valueColumns().indexOf(searched)] = value;
        auto db = a.open();
        db->Execute(a.insert(values));
        return qint32(db->LastInsertedRowId());
    }
    template <typename T> T* in(const char* name) const { return form_->findChild<T*>(QLatin1String(name)); }
    void listAll()
    {
        in<QComboBox>("cboCriterio")->setCurrentIndex(0);
        in<QLineEdit>("txtCriterio")->setText(QStringLiteral(" "));
        in<QPushButton>("btnPopola")->click();
    }
    void find(const QString& key)
    {
        in<QLineEdit>("txtTrova")->setText(key);
        in<QPushButton>("btnTrova")->click();
    }

private slots:
    void init()
    {
        archive_ = TestArchives::fetch().definition;
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        printer_ = std::make_unique<RecordingPrinter>();
        form_ = std::make_unique<QuickSearchForm>(*archive_);
        form_->show();
    }
    void cleanup()
    {
        form_.reset();
        printer_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void everySearch_data() { TestArchives::addRows(); }

    void listIsSortedIgnoringCase_data() { everySearch_data(); }
    void listIsSortedIgnoringCase()
    {
        store("bianchi");
        store("Carli");
        store("Alfieri");
        listAll();
        const QStringList lines = form_->lines();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("Alfieri"));
        QVERIFY(lines[1].startsWith("bianchi"));
        QVERIFY(lines[2].startsWith("Carli"));
        QVERIFY(form_->findChild<QWidget*>("LabelCount")->property("text").toString().endsWith(" 3"));
    }

    void findWalksAndWraps_data() { everySearch_data(); }
    void findWalksAndWraps()
    {
        store("Rossi Anna");
        store("Bianchi");
        store("Rossi Bruno");
        listAll();
        find(QStringLiteral("ROSSI"));
        QCOMPARE(form_->selectedLine(), 1);
        find(QStringLiteral("ROSSI"));
        QCOMPARE(form_->selectedLine(), 2);
        find(QStringLiteral("ROSSI"));
        QCOMPARE(form_->selectedLine(), 1); // wrapped
    }

    void choosingHandsTheLinesOwnCard_data() { everySearch_data(); }
    void choosingHandsTheLinesOwnCard()
    {
        // Three equal lines: each still leads to its own card.
        const QList<qint32> ids = { store("Uguale"), store("Uguale"), store("Uguale") };
        for (int line = 0; line < 3; ++line) {
            QList<qint64> chosen;
            form_->setPick(QStringLiteral("parola"), [&](const TSQLiteTable& row) {
                chosen << row.IntegerAt(row.ColumnIndex(QStringLiteral("ID")));
            });
            form_->show();
            listAll();
            form_->selectLine(line);
            form_->lstRecordsDblClick();
            QCOMPARE(chosen, QList<qint64> { ids[line] });
            QCOMPARE(form_->mode(), QStringLiteral("parola"));
            QVERIFY(!form_->isVisible());
        }
    }

    void criterionListShowsTheFocus_data() { everySearch_data(); }
    void criterionListShowsTheFocus()
    {
        auto* criterion = in<QComboBox>("cboCriterio");
        QVERIFY(showActive(form_.get()));
        criterion->setFocus();
        QCOMPARE(criterion->palette().color(QPalette::Button), FormLook::focusColour());
        in<QLineEdit>("txtCriterio")->setFocus();
        QCOMPARE(criterion->palette().color(QPalette::Button), FormLook::idleColour());
    }

    void printAsksThenPrintsTheList_data() { everySearch_data(); }
    void printAsksThenPrintsTheList()
    {
        store("Uno");
        listAll();
        dialogs_->answers = { false, true };
        in<QPushButton>("btnStampa")->click();
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma operazione di stampa"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Si vuole stampare il presente elenco di voci?"));
        QVERIFY(printer_->requests.isEmpty());
        in<QPushButton>("btnStampa")->click();
        QCOMPARE(printer_->requests.size(), 1);
        QCOMPARE(printer_->requests[0].title, archive_->quick.printTitle);
        QCOMPARE(printer_->requests[0].rule, QString(24, QLatin1Char('-')));
        QCOMPARE(printer_->requests[0].lines, form_->lines());
    }
};

QTEST_MAIN(TestSearchContract)
#include "test_search_contract.moc"
