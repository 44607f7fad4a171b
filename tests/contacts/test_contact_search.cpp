#include "archives/archive_registry.h"
#include "contacts/frm_rubrica.h"
#include "storage/card_archive.h"
#include "support/test_seams.h"
#include "ui/modal.h"
#include "ui/search_forms.h"
#include "ui/short_date.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {

qint32 store(std::initializer_list<std::pair<const char*, QByteArray>> set)
{
    return TestCards::store(ArchiveKind::Contacts, set);
}

} // namespace

class TestContactSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ModelessDialogs> modeless_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingPrinter> printer_;
    std::unique_ptr<TfrmRubrica> editor_;
    std::unique_ptr<QuickSearchForm> quick_;
    std::unique_ptr<AdvancedSearchForm> advanced_;

    template <typename T> T* in(QWidget* form, const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    void search(const QString& criterion, const QString& key) { SearchDriver::search(quick_.get(), criterion, key); }

    void doubleClick(SearchFormBase* form, int row) { SearchDriver::doubleClick(form, row); }

    PickTarget toEditor()
    {
        return [this](const TSQLiteTable& row) { editor_->showStoredCard(row); };
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        printer_ = std::make_unique<RecordingPrinter>();
        editor_ = std::make_unique<TfrmRubrica>();
        quick_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Contacts));
        advanced_ = std::make_unique<AdvancedSearchForm>(Archives::get(ArchiveKind::Contacts));
        frmRubrica = editor_.get();
        editor_->setSearches(quick_.get(), advanced_.get());
        // Modal showings become plain ones: the test drives the form.
        modeless_ = std::make_unique<ModelessDialogs>();
        editor_->show();
    }

    void cleanup()
    {
        modeless_.reset();
        frmRubrica = nullptr;
        advanced_.reset();
        quick_.reset();
        editor_.reset();
        printer_.reset();
        dialogs_.reset();
        dir_.reset();
        ShortDate::reset();
    }

    void everyCriterionSearchesItsColumn()
    {
        const auto criteria = QuickSearchForm::criteriaOf(Archives::get(ArchiveKind::Contacts));
        QCOMPARE(criteria.size(), 19);
        for (int i = 0; i < criteria.size(); ++i)
            store({ { criteria[i].column.constData(), "chiave" + QByteArray::number(100 + i) } });
        quick_->show();
        for (int i = 0; i < criteria.size(); ++i) {
            search(criteria[i].item, QStringLiteral("CHIAVE%1").arg(100 + i));
            QCOMPARE(quick_->lines().size(), 1);
            QCOMPARE(in<QLabel>(quick_.get(), "LabelCount")->text(), QStringLiteral("Totale schede : 1"));
        }
    }

    void keys_data()
    {
        QTest::addColumn<QString>("criterion");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found");
        QTest::newRow("ascii case") << "Città"
                                    << "roma" << 3;
        QTest::newRow("accent exact") << "Città"
                                      << "Città" << 1;
        QTest::newRow("accent other case") << "Città"
                                           << "CITTÀ" << 0;
        QTest::newRow("percent") << "Note"
                                 << "10%" << 2;
        QTest::newRow("blanks list all") << "Note"
                                         << "   " << 5;
        QTest::newRow("double quote") << "Note"
                                      << "\"" << 0;
        QTest::newRow("apostrophe") << "Cognome e nome contatto"
                                    << "d'a" << 1;
        QTest::newRow("outside code page") << "Note"
                                           << "Ł" << 0;
    }

    void keys()
    {
        QFETCH(QString, criterion);
        QFETCH(QString, key);
        QFETCH(int, found);
        store({ { "varContatto", "Rossi" }, { "varCitta", "Roma" }, { "varNote", "sconto 10" } });
        store({ { "varContatto", "Bianchi" }, { "varCitta", "ROMA" }, { "varNote", "10 e lode" } });
        store({ { "varContatto", "D'Amico" }, { "varCitta", "Romagnano" } });
        store({ { "varContatto", "Verdi" }, { "varCitta", "Citt\xe0" } });
        store({ { "varContatto", "Neri" }, { "varCitta", "Milano" } });
        quick_->show();
        search(criterion, key);
        QCOMPARE(quick_->lines().size(), found);
        QCOMPARE(in<QLabel>(quick_.get(), "LabelCount")->text(), QStringLiteral("Totale schede : %1").arg(found));
        QCOMPARE(dialogs_->count(), 0);
    }

    void searchButtonEnabling()
    {
        quick_->show();
        auto* btn = in<QPushButton>(quick_.get(), "btnPopola");
        in<QLineEdit>(quick_.get(), "txtCriterio")->setText(" ");
        QVERIFY(btn->isEnabled()); // one blank is enough
        in<QLineEdit>(quick_.get(), "txtCriterio")->clear();
        QVERIFY(!btn->isEnabled());
        in<QComboBox>(quick_.get(), "cboCriterio")->setCurrentIndex(3);
        QVERIFY(btn->isEnabled());
        QVERIFY(!in<QComboBox>(quick_.get(), "cboCriterio")->isEditable());
    }

    void listIsSortedIgnoringCase()
    {
        store({ { "varContatto", "bianchi" } });
        store({ { "varContatto", "Alfieri" } });
        store({ { "varContatto", "Carli" } });
        quick_->show();
        search("Cognome e nome contatto", " ");
        const QStringList lines = quick_->lines();
        QVERIFY(lines[0].startsWith("Alfieri"));
        QVERIFY(lines[1].startsWith("bianchi"));
        QVERIFY(lines[2].startsWith("Carli"));
    }

    void chooseLoadsIntoTheEditorAndSaveUpdates()
    {
        const QByteArray longName = QByteArray(35, 'N') + "ome lungo";
        store({ { "varContatto", "Primo" }, { "varEmail", "p@x.it" } });
        const qint32 id = store({ { "varContatto", longName }, { "varEmail", "l@x.it" }, { "varNote", "  nota  " } });
        quick_->setPick("rubrica", toEditor());
        quick_->show();
        search("Cognome e nome contatto", "ome lungo");
        doubleClick(quick_.get(), 0);
        QVERIFY(!quick_->isVisible());
        QCOMPARE(in<QLabel>(editor_.get(), "lblPosizione")->text(), QString::number(id));
        QCOMPARE(in<QLineEdit>(editor_.get(), "txtContatto")->text(), QString::fromLatin1(longName));
        in<QLineEdit>(editor_.get(), "txtAzienda")->setText("Nuova S.p.A.");
        in<QToolButton>(editor_.get(), "cmdSalva")->click();
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Le modifiche apportate alla scheda n. %1 sono state inserite in archivio.").arg(id));
    }

    void identicalLinesPickTheirOwnCard_data()
    {
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<int>("line");
        QTest::newRow("quick, first line") << false << 0;
        QTest::newRow("quick, second line") << false << 1;
        QTest::newRow("advanced, second line") << true << 1;
    }

    void identicalLinesPickTheirOwnCard()
    {
        QFETCH(bool, advanced);
        QFETCH(int, line);
        // Equal in every piece of the line: they differ beyond the cut widths.
        store({ { "varContatto", QByteArray(35, 'X') + "1" }, { "varNote", "b" } });
        store({ { "varContatto", QByteArray(35, 'X') + "2" }, { "varNote", "a" } });
        SearchFormBase* form = advanced ? static_cast<SearchFormBase*>(advanced_.get()) : quick_.get();
        form->setPick("rubrica", toEditor());
        form->show();
        if (advanced)
            in<QPushButton>(form, "cmdTrova")->click();
        else
            search("Note", " ");
        QCOMPARE(form->lines().size(), 2);
        QCOMPARE(form->lines()[0], form->lines()[1]);
        doubleClick(form, line);
        // The list keeps the archive's order among equal lines.
        QCOMPARE(in<QLabel>(editor_.get(), "lblPosizione")->text(), QString::number(line + 1));
        QCOMPARE(in<QLineEdit>(editor_.get(), "txtContatto")->text(), QString(35, 'X') + QString::number(line + 1));
    }

    void editorHandsOverAndCloseLeavesAnEmptyCard()
    {
        store({ { "varContatto", "Rossi" }, { "varEmail", "r@x.it" } });
        in<QToolButton>(editor_.get(), "imgPrimo")->click();
        QTest::mouseClick(in<QWidget>(editor_.get(), "cmdTrova"), Qt::LeftButton);
        QVERIFY(quick_->isVisible());
        QCOMPARE(quick_->mode(), QStringLiteral("rubrica"));
        QCOMPARE(ShortDate::format(), QStringLiteral("dd/MM/yyyy"));
        quick_->close();
        QCOMPARE(in<QLabel>(editor_.get(), "lblPosizione")->text(), QString());
        QCOMPARE(in<QLineEdit>(editor_.get(), "txtContatto")->text(), QString());
    }

    void doubleClickWithoutSelectionDoesNothing()
    {
        store({ { "varContatto", "Rossi" } });
        quick_->setPick("rubrica", toEditor());
        quick_->show();
        search("Cognome e nome contatto", "ross");
        quick_->lstRecordsDblClick();
        QVERIFY(quick_->isVisible());
        QCOMPARE(in<QLabel>(editor_.get(), "lblPosizione")->text(), QString());
    }

    void findInEmptyListAndPrint()
    {
        quick_->show();
        in<QPushButton>(quick_.get(), "btnTrova")->click();
        QCOMPARE(dialogs_->last().text, QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
        in<QPushButton>(quick_.get(), "btnStampa")->click();
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Operazione di stampa non applicabile: la lista non contiene nessuna voce."));
        QVERIFY(printer_->requests.isEmpty());

        store({ { "varContatto", "Rossi" } });
        search("Cognome e nome contatto", "r");
        dialogs_->answers = { false };
        in<QPushButton>(quick_.get(), "btnStampa")->click();
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma operazione di stampa"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Si vuole stampare il presente elenco di voci?"));
        QVERIFY(!dialogs_->last().questionIcon);
        QVERIFY(printer_->requests.isEmpty());
        in<QPushButton>(quick_.get(), "btnStampa")->click();
        QCOMPARE(printer_->requests.size(), 1);
        QCOMPARE(printer_->requests[0].title, QStringLiteral("Rubrica contatti"));
        QCOMPARE(printer_->requests[0].rule, QString(24, '-'));
        QCOMPARE(printer_->requests[0].lines, quick_->lines());
    }

    void advancedJoinsFieldsWithAnd()
    {
        store({ { "varContatto", "Uno" }, { "varAzienda", "Alfa SpA" }, { "varCitta", "Milano" } });
        store({ { "varContatto", "Due" }, { "varAzienda", "Beta SPA" }, { "varCitta", "Roma" } });
        store({ { "varContatto", "Tre" }, { "varAzienda", "Gamma srl" }, { "varCitta", "MILANO" } });
        advanced_->setPick("rubrica", toEditor());
        advanced_->show();
        in<QLineEdit>(advanced_.get(), "txtAzienda")->setText("spa");
        in<QLineEdit>(advanced_.get(), "txtCitta")->setText("milano");
        in<QPushButton>(advanced_.get(), "cmdTrova")->click();
        QCOMPARE(advanced_->lines().size(), 1);
        QVERIFY(advanced_->lines()[0].startsWith("Uno"));
        QVERIFY(in<QWidget>(advanced_.get(), "grpElenco")->isVisible());
        QVERIFY(!in<QWidget>(advanced_.get(), "grpCriteri")->isVisible());
        QVERIFY(!in<QPushButton>(advanced_.get(), "cmdTrova")->isEnabled());

        in<QPushButton>(advanced_.get(), "cmdIndietro")->click();
        QVERIFY(in<QWidget>(advanced_.get(), "grpCriteri")->isVisible());
        QCOMPARE(in<QLineEdit>(advanced_.get(), "txtAzienda")->text(), QStringLiteral("spa")); // kept
        in<QLineEdit>(advanced_.get(), "txtAzienda")->clear();
        in<QPushButton>(advanced_.get(), "cmdTrova")->click();
        QCOMPARE(advanced_->lines().size(), 2);

        in<QPushButton>(advanced_.get(), "cmdIndietro")->click();
        in<QLineEdit>(advanced_.get(), "txtCitta")->clear();
        in<QLineEdit>(advanced_.get(), "txtNote")->setText("\"");
        in<QPushButton>(advanced_.get(), "cmdTrova")->click();
        QCOMPARE(advanced_->lines().size(), 0);
        QCOMPARE(in<QLabel>(advanced_.get(), "LabelCount")->text(), QStringLiteral("Totale schede : 0"));
        QCOMPARE(dialogs_->count(), 0);
        in<QLineEdit>(advanced_.get(), "txtNote")->clear();

        in<QPushButton>(advanced_.get(), "cmdIndietro")->click();
        in<QPushButton>(advanced_.get(), "cmdTrova")->click();
        QCOMPARE(advanced_->lines().size(), 3); // all empty: every card
        const int due = int(advanced_->lines().indexOf(QRegularExpression("^Due.*")));
        doubleClick(advanced_.get(), due);
        QVERIFY(!advanced_->isVisible());
        QCOMPARE(in<QLabel>(editor_.get(), "lblPosizione")->text(), QStringLiteral("2"));
    }

    void advancedPrintWording()
    {
        store({ { "varContatto", "Uno" } });
        advanced_->show();
        in<QPushButton>(advanced_.get(), "cmdTrova")->click();
        in<QPushButton>(advanced_.get(), "cmdStampa")->click();
        QCOMPARE(dialogs_->last().text, QStringLiteral("Si vuole stampare il presente elenco contatti?"));
        QVERIFY(dialogs_->last().questionIcon);
        QCOMPARE(printer_->requests.value(0).title, QStringLiteral("Elenco contatti"));
        QCOMPARE(printer_->requests.value(0).rule, QString(17, '-'));
    }
};

QTEST_MAIN(TestContactSearch)
#include "test_contact_search.moc"
