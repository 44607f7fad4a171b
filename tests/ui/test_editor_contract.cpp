// What every card editor and every search form does the same way, run once
// per archive. Tests of one editor keep only what is particular to it.
#include "accessories/card_files.h"
#include "accessories/exports.h"
#include "accessories/frm_export.h"
#include "archives/archive_registry.h"
#include "support/test_archives.h"
#include "support/test_seams.h"
#include "ui/card_accessory.h"
#include "ui/card_editor.h"
#include "ui/help.h"
#include "ui/modal.h"
#include "ui/search_forms.h"
#include "ui/wiring.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include <functional>

namespace {

class CountingAccessory final : public CardAccessory {
public:
    QString button() const override { return QStringLiteral("cmdOttimizza"); }
    void run(CardEditor& editor) override { runs << editor.objectName(); }
    QStringList runs;
};

// An editor fed a definition, with one line edit for each own field of the
// archive's registered definition: what a misspelt table meets.
class FedEditor final : public CardEditor {
public:
    FedEditor(const ArchiveDefinition& fed, const ArchiveDefinition& registered)
        : CardEditor(fed)
    {
        const int own = int(registered.columns.size() - ArchiveDefinition::accessoryColumns().size());
        for (const auto& c : registered.columns.mid(0, own))
            (new QLineEdit(chrome().container))->setObjectName(c.control);
        finishSetup();
    }
};

// The place of the first column that passes test.
int firstColumn(const ArchiveDefinition& d, const std::function<bool(const ArchiveDefinition::Column&)>& test)
{
    for (int i = 0; i < d.columns.size(); ++i)
        if (test(d.columns[i]))
            return i;
    return -1;
}

} // namespace

class TestEditorContract : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<CardEditor> editor_;
    ArchiveKind kind_ = ArchiveKind::Contacts;

    void open()
    {
        const TestArchive& a = TestArchives::fetch();
        kind_ = a.kind();
        editor_.reset(a.makeEditor());
        QVERIFY(showActive(editor_.get()));
    }
    const ArchiveDefinition& definition() const { return editor_->definition(); }
    // The editor's own fields: every column but the attachment and folder ones.
    QList<ArchiveDefinition::Column> fields() const
    {
        return definition().columns.mid(0, definition().columns.size() - ArchiveDefinition::accessoryColumns().size());
    }
    QString position() const { return editor_->findChild<QLabel*>("lblPosizione")->text(); }
    void click(const char* name) { editor_->findChild<QAbstractButton*>(QLatin1String(name))->click(); }
    void release(const char* name) { QTest::mouseClick(editor_->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton); }
    // Every own field gets a value, so only what a test empties is missing.
    void fillAll(const QString& prefix = QStringLiteral("v"))
    {
        for (const auto& f : fields())
            editor_->setFieldText(f.control, prefix + QStringLiteral(" ") + f.control);
    }
    qint32 saveNew(const QString& prefix)
    {
        release("cmdNuovo");
        fillAll(prefix);
        click("cmdSalva");
        return position().toInt();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        editor_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void everyArchive_data() { TestArchives::addRows(); }

    // The real editor and every form built from the archive's definition:
    // each control a table names exists, each column is the archive's.
    void everyFormIsWired_data() { everyArchive_data(); }
    void everyFormIsWired()
    {
        open();
        QCOMPARE(definition().columnNames(), editor_->archive().valueColumns());
        for (const auto& c : definition().columns)
            QVERIFY2(editor_->findChild<QWidget*>(c.control) == editor_->field(c.control), qPrintable(c.control));
        for (const auto& c : ArchiveDefinition::accessoryColumns()) {
            auto* label = editor_->findChild<QLabel*>(c.control);
            QVERIFY2(label && label->isHidden(), qPrintable(c.control));
        }
        const ExportProfile exported = ExportProfile::of(definition());
        QVERIFY(!exported.rows.isEmpty());
        for (const auto& row : exported.rows)
            QVERIFY2(editor_->findChild<QWidget*>(row.control), qPrintable(row.control));
        for (const auto& column : exported.columns)
            QVERIFY2(editor_->archive().hasColumn(column.column), column.column.constData());
        Accessories::addCardFiles(*editor_);
        Accessories::addExports(*editor_);
        QuickSearchForm quick(definition());
        AdvancedSearchForm advanced(definition());
        TfrmExport grid(definition());
        QCOMPARE(quick.objectName(), definition().quick.objectName);
        QCOMPARE(advanced.objectName(), definition().advanced.objectName);
        QCOMPARE(grid.objectName(), definition().exports.objectName);
        // A control the forms' own code asks for by a wrong name is as loud.
        QVERIFY_THROWS_EXCEPTION(WiringError, editor_->field(QStringLiteral("txtNessuno")));
    }

    // One misspelt name in each table of a definition: building the form
    // that reads the table refuses it, in every build.
    void oneTypoPerTableIsRefused_data()
    {
        QTest::addColumn<int>("archive");
        QTest::addColumn<QString>("table");
        for (int a = 0; a < TestArchives::all().size(); ++a)
            for (const char* table : { "field", "required", "kept on clear", "first field", "document", "accessory label",
                     "list line", "quick search", "advanced search", "export" })
                QTest::addRow("%s/%s", qPrintable(TestArchives::all()[a].name()), table) << a << QString::fromLatin1(table);
    }
    void oneTypoPerTableIsRefused()
    {
        QFETCH(QString, table);
        const ArchiveDefinition& registered = *TestArchives::fetch().definition;
        ArchiveDefinition d = registered;
        const auto misspell = [&d](const std::function<bool(const ArchiveDefinition::Column&)>& test) {
            const int i = firstColumn(d, test);
            QVERIFY(i >= 0);
            d.columns[i].name += 'X';
        };
        std::function<void()> build = [&] { FedEditor editor(d, registered); };
        if (table == QLatin1String("field"))
            d.columns[0].control += QLatin1Char('X');
        else if (table == QLatin1String("required"))
            d.required.last().control += QLatin1Char('X');
        else if (table == QLatin1String("kept on clear"))
            d.keptOnClear << QStringLiteral("txtNessuno");
        else if (table == QLatin1String("first field"))
            d.firstField += QLatin1Char('X');
        else if (table == QLatin1String("document"))
            d.exports.requiredControl = QStringLiteral("txtNessuno");
        else if (table == QLatin1String("accessory label"))
            d.columns.last().control += QLatin1Char('X');
        else if (table == QLatin1String("list line")) {
            misspell([](const auto& c) { return c.line.at >= 0; });
            build = [&] { QuickSearchForm form(d); };
        } else if (table == QLatin1String("quick search")) {
            misspell([](const auto& c) { return !c.search.isEmpty() && c.line.at < 0; });
            build = [&] { QuickSearchForm form(d); };
        } else if (table == QLatin1String("advanced search")) {
            misspell([](const auto& c) { return c.advanced && c.line.at < 0; });
            build = [&] { AdvancedSearchForm form(d); };
        } else if (table == QLatin1String("export")) {
            misspell([](const auto& c) { return !c.exportHeading.isEmpty(); });
            build = [&] { TfrmExport grid(d); };
        }
        // The registered definition itself builds.
        FedEditor rightlySpelt(registered, registered);
        QVERIFY_THROWS_EXCEPTION(WiringError, build());
    }

    void requiredFieldsInOrder_data() { everyArchive_data(); }
    void requiredFieldsInOrder()
    {
        open();
        for (bool inserting : { true, false }) {
            if (!inserting)
                QVERIFY(saveNew(QStringLiteral("stored")) > 0);
            for (const auto& r : definition().required) {
                fillAll();
                // Blanks count as empty.
                editor_->setFieldText(r.control, QStringLiteral("   "));
                dialogs_->clear();
                click("cmdSalva");
                QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
                QCOMPARE(dialogs_->last().caption,
                    inserting ? QStringLiteral("Salvataggio dati non applicabile")
                              : QStringLiteral("Aggiornamento dati non applicabile"));
                QCOMPARE(dialogs_->last().text, inserting ? r.insertText : r.updateText);
                QCOMPARE(QApplication::focusWidget(), editor_->field(r.control));
            }
        }
        QCOMPARE(TestCards::count(kind_), 1);
    }

    void savingScrubsAndTrims_data() { everyArchive_data(); }
    void savingScrubsAndTrims()
    {
        open();
        fillAll();
        const QString first = fields().first().control;
        editor_->setFieldText(first, QStringLiteral("  a;b\"c  "));
        editor_->setFieldText(QStringLiteral("lblDesc02"), QStringLiteral(" descr "));
        click("cmdSalva");
        const qint32 id = position().toInt();
        QCOMPARE(dialogs_->last().text, QStringLiteral("La scheda n. %1 è stata inserita in archivio.").arg(id));
        QCOMPARE(TestCards::stored(kind_, id, fields().first().name.constData()), QByteArray("a b c"));
        QCOMPARE(TestCards::stored(kind_, id, "varDesc02"), QByteArray("descr"));

        // An update keeps the scrubbed, untrimmed text on screen.
        editor_->setFieldText(first, QStringLiteral(" x;y "));
        click("cmdSalva");
        QCOMPARE(editor_->fieldText(first), QStringLiteral(" x y "));
        QCOMPARE(TestCards::stored(kind_, id, fields().first().name.constData()), QByteArray("x y"));
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Le modifiche apportate alla scheda n. %1 sono state inserite in archivio.").arg(id));
    }

    void numberingAfterDeletingTheTopCard_data() { everyArchive_data(); }
    void numberingAfterDeletingTheTopCard()
    {
        open();
        QCOMPARE(saveNew("a"), 1);
        QCOMPARE(saveNew("b"), 2);
        QCOMPARE(saveNew("c"), 3);
        dialogs_->answers = { true };
        release("cmdElimina");
        QCOMPARE(position(), QString());
        QCOMPARE(TestCards::stored(kind_, 3, fields().first().name.constData()), QByteArray("<none>"));
        QCOMPARE(saveNew("d"), 3);
    }

    void navigationSkipsGaps_data() { everyArchive_data(); }
    void navigationSkipsGaps()
    {
        open();
        for (const char* p : { "a", "b", "c", "d", "e" })
            saveNew(QString::fromLatin1(p));
        auto db = Archives::card(kind_).open();
        db->Execute(Archives::card(kind_).deleteCard(2));
        db->Execute(Archives::card(kind_).deleteCard(4));
        release("cmdNuovo");
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("1")); // a new card goes to the lowest
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("1"));
        click("imgAvanti");
        QCOMPARE(position(), QStringLiteral("3"));
        QCOMPARE(editor_->fieldText(fields().first().control), QStringLiteral("c ") + fields().first().control);
        click("imgAvanti");
        click("imgAvanti");
        QCOMPARE(position(), QStringLiteral("5"));
        click("imgPrimo");
        QCOMPARE(position(), QStringLiteral("1"));
        click("imgUltimo");
        QCOMPARE(position(), QStringLiteral("5"));
    }

    void deleteAsksFirst_data() { everyArchive_data(); }
    void deleteAsksFirst()
    {
        open();
        release("cmdElimina");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Eliminazione dati non applicabile"));
        const qint32 id = saveNew("a");
        dialogs_->answers = { false };
        release("cmdElimina");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma cancellazione scheda"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Si intende proprio cancellare la scheda corrente?"));
        QCOMPARE(position(), QString::number(id));
        QCOMPARE(TestCards::count(kind_), 1);
        release("cmdElimina");
        QCOMPARE(TestCards::count(kind_), 0);
        QCOMPARE(position(), QString());
    }

    void unstorableCharacterIsRefused_data()
    {
        QTest::addColumn<int>("archive");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        for (int a = 0; a < TestArchives::all().size(); ++a) {
            const QByteArray name = TestArchives::all()[a].name().toLatin1();
            QTest::addRow("%s, outside Windows-1252", name.constData()) << a << QStringLiteral("Łódź")
                                                                         << QStringLiteral("Ł");
            QTest::addRow("%s, NUL", name.constData()) << a << QStringLiteral("a") + QChar(0) + "b"
                                                       << QStringLiteral("\u2400");
        }
    }
    void unstorableCharacterIsRefused()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        open();
        fillAll();
        const auto f = fields().last();
        editor_->setFieldText(f.control, text);
        click("cmdSalva");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Salvataggio dati non applicabile"));
        QVERIFY2(dialogs_->last().text.contains(QStringLiteral("«%1» del campo «%2»").arg(shown, f.label)),
            qPrintable(dialogs_->last().text));
        QCOMPARE(TestCards::count(kind_), 0);
        QCOMPARE(editor_->fieldText(f.control), text);
    }

    // A card deleted meanwhile by another copy of the program.
    void staleCardCanBeSavedAsNew_data() { everyArchive_data(); }
    void staleCardCanBeSavedAsNew()
    {
        open();
        const qint32 id = saveNew("a");
        saveNew("b");
        click("imgPrimo");
        Archives::card(kind_).open()->Execute(Archives::card(kind_).deleteCard(id));
        const QString first = fields().first().control;
        editor_->setFieldText(first, QStringLiteral("modificata"));
        dialogs_->answers = { false };
        click("cmdSalva");
        QCOMPARE(dialogs_->last().kind, QStringLiteral("confirm"));
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("non è più presente in archivio")));
        QCOMPARE(position(), QString::number(id)); // No: nothing changes
        QCOMPARE(editor_->fieldText(first), QStringLiteral("modificata"));
        QCOMPARE(TestCards::count(kind_), 1);
        dialogs_->answers = { true };
        click("cmdSalva");
        QCOMPARE(position(), QStringLiteral("3"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("La scheda n. 3 è stata inserita in archivio."));
        QCOMPARE(TestCards::stored(kind_, 3, fields().first().name.constData()), QByteArray("modificata"));
    }

    // The insert is committed but reading the card back fails: the card is
    // stored, so the next Save must not insert it again.
    void failedReloadDoesNotInsertTwice_data() { everyArchive_data(); }
    void failedReloadDoesNotInsertTwice()
    {
        open();
        const CardArchive& a = Archives::card(kind_);
        a.open()->Execute("CREATE TRIGGER sposta AFTER INSERT ON " + a.table() + " BEGIN UPDATE " + a.table()
            + " SET ID = NEW.ID + 100 WHERE ID = NEW.ID; END");
        fillAll();
        click("cmdSalva");
        QCOMPARE(dialogs_->last().kind, QStringLiteral("error"));
        QCOMPARE(position(), QStringLiteral("1"));
        QCOMPARE(TestCards::count(kind_), 1);
        dialogs_->answers = { false };
        click("cmdSalva");
        QCOMPARE(TestCards::count(kind_), 1);
    }

    void leaveShowsTheLauncherAndComesBackEmpty_data() { everyArchive_data(); }
    void leaveShowsTheLauncherAndComesBackEmpty()
    {
        open();
        int launcher = 0;
        LauncherLink::install([&launcher] { ++launcher; });
        saveNew("a");
        release("cmdEsci");
        LauncherLink::install({});
        QCOMPARE(launcher, 1);
        QVERIFY(!editor_->isVisible());
        QVERIFY(showActive(editor_.get()));
        QCOMPARE(position(), QString());
        QCOMPARE(editor_->fieldText(definition().firstField).isEmpty(),
            !definition().keptOnClear.contains(definition().firstField));
    }

    void toolbarFollowsTheDefinition_data() { everyArchive_data(); }
    void toolbarFollowsTheDefinition()
    {
        open();
        QList<HelpTopic> shown;
        Help::install([&shown](const HelpTopic& t) { shown << t; });
        release("cmdGuida");
        Help::install({});
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, definition().helpTitle);
        QVERIFY(!shown[0].text.isEmpty());

        // The searches are the start-up's to hand over.
        QVERIFY(!editor_->findChild<QWidget*>("cmdTrova")->isEnabled());
        QVERIFY(!editor_->findChild<QWidget*>("cmdWeb")->isEnabled());
        QuickSearchForm quick(definition());
        editor_->setSearches(&quick, nullptr);
        QVERIFY(editor_->findChild<QWidget*>("cmdTrova")->isEnabled());
        QVERIFY(!editor_->findChild<QWidget*>("cmdWeb")->isEnabled());
        editor_->setSearches(nullptr, nullptr);
        QVERIFY(!editor_->findChild<QWidget*>("cmdOttimizza")->isEnabled());
        auto tool = std::make_shared<CountingAccessory>();
        editor_->addAccessory(tool);
        QVERIFY(editor_->findChild<QWidget*>("cmdOttimizza")->isEnabled());
        release("cmdOttimizza");
        QCOMPARE(tool->runs, QStringList { editor_->objectName() });
    }
};

QTEST_MAIN(TestEditorContract)
#include "test_editor_contract.moc"
