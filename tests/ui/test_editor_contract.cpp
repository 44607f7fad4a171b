// What every card editor and every search form does the same way, run once
// per archive. Tests of one editor keep only what is particular to it.
#include "contacts/contact_fields.h"
#include "contacts/contact_search.h"
#include "contacts/frm_rubrica.h"
#include "groups/frm_gruppi.h"
#include "groups/group_search.h"
#include "messages/frm_newsletter.h"
#include "messages/message_search.h"
#include "storage/card_archive.h"
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

struct Archive {
    ArchiveKind kind;
    std::function<CardEditor*()> editor;
    std::function<QuickSearchForm*()> quick;
    std::function<AdvancedSearchForm*()> advanced;
};

// One row per archive; a new archive is one more row.
const QList<std::pair<const char*, Archive>>& archives()
{
    static const QList<std::pair<const char*, Archive>> list = {
        { "contacts",
            { ArchiveKind::Contacts, [] { return new TfrmRubrica; }, [] { return new TfrmRicercaRub; },
                [] { return new TfrmAvanzateRub; } } },
        { "groups",
            { ArchiveKind::Groups, [] { return new TfrmGruppi; }, [] { return new TfrmRicercaGru; },
                [] { return new TfrmAvanzateGru; } } },
        { "messages",
            { ArchiveKind::Messages, [] { return new TfrmNewsletter; }, [] { return new TfrmRicercaMes; },
                [] { return new TfrmAvanzateMes; } } },
    };
    return list;
}

class CountingAccessory final : public CardAccessory {
public:
    QString button() const override { return QStringLiteral("cmdOttimizza"); }
    void run(CardEditor& editor) override { runs << editor.objectName(); }
    QStringList runs;
};

// A profile whose control name is misspelt.
class MisspeltEditor final : public CardEditor {
public:
    explicit MisspeltEditor(ArchiveProfile profile, bool misspell = true)
        : CardEditor(std::move(profile))
    {
        for (const auto& f : profile_fields())
            (new QLineEdit(chrome().container))
                ->setObjectName(misspell && f == QLatin1String("txtNote") ? QStringLiteral("txtNota") : f);
        finishSetup();
    }
    QStringList profile_fields() const
    {
        QStringList names;
        for (const auto& f : profile().fields)
            names << f.control;
        return names;
    }
};

} // namespace

class TestEditorContract : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<CardEditor> editor_;
    ArchiveKind kind_ = ArchiveKind::Contacts;

    void open()
    {
        QFETCH(QString, archive);
        for (const auto& [name, a] : archives())
            if (archive == QLatin1String(name)) {
                kind_ = a.kind;
                editor_.reset(a.editor());
            }
        QVERIFY(showActive(editor_.get()));
    }
    const ArchiveProfile& profile() const { return editor_->profile(); }
    QString position() const { return editor_->findChild<QLabel*>("lblPosizione")->text(); }
    void click(const char* name) { editor_->findChild<QAbstractButton*>(QLatin1String(name))->click(); }
    void release(const char* name) { QTest::mouseClick(editor_->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton); }
    // Every own field gets a value, so only what a test empties is missing.
    void fillAll(const QString& prefix = QStringLiteral("v"))
    {
        for (const auto& f : profile().fields)
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

    void everyArchive_data()
    {
        QTest::addColumn<QString>("archive");
        for (const auto& [name, a] : archives())
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    // Building every editor and search form checks its wiring.
    void everyFormIsWired_data() { everyArchive_data(); }
    void everyFormIsWired()
    {
        open();
        QCOMPARE(profile().allFields().size(), editor_->archive().valueCount());
        for (const auto& f : ArchiveProfile::accessoryFields()) {
            auto* label = editor_->findChild<QLabel*>(f.control);
            QVERIFY2(label && label->isHidden(), qPrintable(f.control));
        }
        for (const auto& [name, a] : archives())
            if (a.kind == kind_) {
                if (a.quick)
                    std::unique_ptr<QuickSearchForm>(a.quick());
                if (a.advanced)
                    std::unique_ptr<AdvancedSearchForm>(a.advanced());
            }
    }

    void misspeltControlIsRefused()
    {
        MisspeltEditor rightlySpelt(ContactFields::profile(), false);
        const auto build = [](const ArchiveProfile& p) { MisspeltEditor editor(p); };
        QVERIFY_THROWS_EXCEPTION(WiringError, build(ContactFields::profile()));
        ArchiveProfile wrongColumn = ContactFields::profile();
        wrongColumn.fields[1].column = "varCodiceX";
        QVERIFY_THROWS_EXCEPTION(WiringError, build(wrongColumn));
        const auto search = [] {
            QuickSearchForm form(ContactSearch::config(false), { { QStringLiteral("Nome"), "varNome" } });
        };
        QVERIFY_THROWS_EXCEPTION(WiringError, search());
    }

    void requiredFieldsInOrder_data() { everyArchive_data(); }
    void requiredFieldsInOrder()
    {
        open();
        for (bool inserting : { true, false }) {
            if (!inserting)
                QVERIFY(saveNew(QStringLiteral("stored")) > 0);
            for (const auto& r : profile().required) {
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
        const QString first = profile().fields.first().control;
        editor_->setFieldText(first, QStringLiteral("  a;b\"c  "));
        editor_->setFieldText(QStringLiteral("lblDesc02"), QStringLiteral(" descr "));
        click("cmdSalva");
        const qint32 id = position().toInt();
        QCOMPARE(dialogs_->last().text, QStringLiteral("La scheda n. %1 è stata inserita in archivio.").arg(id));
        QCOMPARE(TestCards::stored(kind_, id, profile().fields.first().column.constData()), QByteArray("a b c"));
        QCOMPARE(TestCards::stored(kind_, id, "varDesc02"), QByteArray("descr"));

        // An update keeps the scrubbed, untrimmed text on screen.
        editor_->setFieldText(first, QStringLiteral(" x;y "));
        click("cmdSalva");
        QCOMPARE(editor_->fieldText(first), QStringLiteral(" x y "));
        QCOMPARE(TestCards::stored(kind_, id, profile().fields.first().column.constData()), QByteArray("x y"));
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
        QCOMPARE(TestCards::stored(kind_, 3, profile().fields.first().column.constData()), QByteArray("<none>"));
        QCOMPARE(saveNew("d"), 3);
    }

    void navigationSkipsGaps_data() { everyArchive_data(); }
    void navigationSkipsGaps()
    {
        open();
        for (const char* p : { "a", "b", "c", "d", "e" })
            saveNew(QString::fromLatin1(p));
        auto db = CardArchive::of(kind_).open();
        db->Execute(CardArchive::of(kind_).deleteCard(2));
        db->Execute(CardArchive::of(kind_).deleteCard(4));
        release("cmdNuovo");
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("1")); // a new card goes to the lowest
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("1"));
        click("imgAvanti");
        QCOMPARE(position(), QStringLiteral("3"));
        QCOMPARE(editor_->fieldText(profile().fields.first().control), QStringLiteral("c ") + profile().fields.first().control);
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
        QTest::addColumn<QString>("archive");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        for (const auto& [name, a] : archives()) {
            QTest::addRow("%s, outside Windows-1252", name) << QString::fromLatin1(name) << QStringLiteral("Łódź")
                                                            << QStringLiteral("Ł");
            QTest::addRow("%s, NUL", name) << QString::fromLatin1(name) << QStringLiteral("a") + QChar(0) + "b"
                                           << QStringLiteral("\u2400");
        }
    }
    void unstorableCharacterIsRefused()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        open();
        fillAll();
        const auto& f = profile().fields.last();
        editor_->setFieldText(f.control, text);
        click("cmdSalva");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Salvataggio dati non applicabile"));
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("«%1» del campo «%2»").arg(shown, f.label)));
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
        CardArchive::of(kind_).open()->Execute(CardArchive::of(kind_).deleteCard(id));
        const QString first = profile().fields.first().control;
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
        QCOMPARE(TestCards::stored(kind_, 3, profile().fields.first().column.constData()), QByteArray("modificata"));
    }

    // The insert is committed but reading the card back fails: the card is
    // stored, so the next Save must not insert it again.
    void failedReloadDoesNotInsertTwice_data() { everyArchive_data(); }
    void failedReloadDoesNotInsertTwice()
    {
        open();
        const CardArchive& a = CardArchive::of(kind_);
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
        QCOMPARE(editor_->fieldText(profile().firstField).isEmpty(), !profile().keptOnClear.contains(profile().firstField));
    }

    void toolbarFollowsTheProfile_data() { everyArchive_data(); }
    void toolbarFollowsTheProfile()
    {
        open();
        QList<HelpTopic> shown;
        Help::install([&shown](const HelpTopic& t) { shown << t; });
        release("cmdGuida");
        Help::install({});
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, profile().help.title);
        QVERIFY(!shown[0].text.isEmpty());

        QCOMPARE(editor_->findChild<QWidget*>("cmdTrova")->isEnabled(), bool(profile().quickSearch));
        QCOMPARE(editor_->findChild<QWidget*>("cmdWeb")->isEnabled(), bool(profile().advancedSearch));
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
