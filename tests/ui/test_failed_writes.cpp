// A write that fails (a trigger refusing it, another workstation holding the
// archive) is undone at once in every editor: the next action really happens
// and another copy of the program can write right after the error box.
#include "accessories/card_files.h"
#include "archives/archive_registry.h"
#include "storage/card_archive.h"
#include "support/test_archives.h"
#include "support/test_seams.h"
#include "ui/card_editor.h"
#include "ui/modal.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const TestArchive& contacts()
{
    for (const TestArchive& a : TestArchives::all())
        if (a.kind() == ArchiveKind::Contacts)
            return a;
    return TestArchives::all().first();
}

const CardArchive& archiveOf(ArchiveKind kind) { return Archives::card(kind); }

// Another copy of the program on the same archive, which does not wait.
std::unique_ptr<TSQLiteDatabase> outsider(ArchiveKind kind)
{
    auto db = archiveOf(kind).open();
    db->Query("PRAGMA busy_timeout = 0;");
    return db;
}

} // namespace

class TestFailedWrites : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<CardEditor> editor_;
    ArchiveKind kind_ = ArchiveKind::Contacts;

    void open(const TestArchive& archive)
    {
        kind_ = archive.kind();
        editor_.reset(archive.makeEditor());
        QVERIFY(showActive(editor_.get()));
    }
    // A card with every required field filled.
    void fill(const QString& note)
    {
        for (const auto& r : editor_->definition().required)
            editor_->setFieldText(r.control, QStringLiteral("dato di ") + r.control);
        editor_->setFieldText(QStringLiteral("txtNote"), note);
    }
    qint32 storeCard(const QString& note)
    {
        QTest::mouseClick(editor_->findChild<QWidget*>("cmdNuovo"), Qt::LeftButton);
        fill(note);
        save();
        return editor_->shownId();
    }
    void save() { editor_->findChild<QAbstractButton*>("cmdSalva")->click(); }
    void release(const char* name) { QTest::mouseClick(editor_->findChild<QWidget*>(name), Qt::LeftButton); }
    void refuse(const char* when)
    {
        outsider(kind_)->Execute(QByteArray("CREATE TRIGGER rifiuta BEFORE ") + when + " ON " + archiveOf(kind_).table()
            + " BEGIN SELECT RAISE(ABORT, 'scrittura rifiutata'); END;");
    }
    // Right after the error: another workstation writes without waiting, and
    // takes the trigger away.
    void outsiderWrites()
    {
        try {
            auto db = outsider(kind_);
            db->Execute("DROP TRIGGER IF EXISTS rifiuta;");
            QList<QByteArray> values(archiveOf(kind_).valueCount());
            values[archiveOf(kind_).valueColumns().indexOf("varNote")] = "da un'altra postazione";
            db->Execute(archiveOf(kind_).insert(values));
        } catch (const ESQLiteException& e) {
            QFAIL(qPrintable(QStringLiteral("another workstation cannot write: ") + e.message()));
        }
    }
    QStringList notes()
    {
        QStringList out;
        auto all = archiveOf(kind_).open()->Query("SELECT varNote FROM " + archiveOf(kind_).table() + " ORDER BY ID");
        for (all->First(); !all->AtEnd(); all->Next())
            out << QString::fromLatin1(all->BlobTextAt(0));
        return out;
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        Modal::install({});
        editor_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    // The write refused by a trigger, then the following action.
    void followingActionHappens_data()
    {
        TestArchives::addRows({ "update, then delete", "insert, then save again", "delete, then navigate" });
    }

    void followingActionHappens()
    {
        const QString failing = QString::fromLatin1(QTest::currentDataTag()).section('/', 1).section(',', 0, 0);
        open(TestArchives::fetch());
        const qint32 id = storeCard(QStringLiteral("prima"));
        QVERIFY(id > 0);
        dialogs_->clear();

        if (failing == "update") {
            refuse("UPDATE");
            editor_->setFieldText(QStringLiteral("txtNote"), QStringLiteral("modificata"));
            save();
        } else if (failing == "insert") {
            refuse("INSERT");
            release("cmdNuovo");
            fill(QStringLiteral("nuova"));
            save();
        } else {
            refuse("DELETE");
            release("cmdElimina");
        }
        QCOMPARE(dialogs_->kinds().last(), QStringLiteral("error"));
        outsiderWrites();
        if (QTest::currentTestFailed())
            return;

        if (failing == "update") {
            // The delete the issue saw silently undone.
            release("cmdElimina");
            QCOMPARE(TestCards::stored(kind_, id, "varNote"), QByteArray("<none>"));
            QCOMPARE(notes(), QStringList { "da un'altra postazione" });
            release("imgPrimo");
            QVERIFY(editor_->shownId() != id);
        } else if (failing == "insert") {
            save();
            QCOMPARE(notes(), (QStringList { "prima", "da un'altra postazione", "nuova" }));
        } else {
            release("imgPrimo");
            QCOMPARE(editor_->shownId(), id);
            QCOMPARE(notes(), (QStringList { "prima", "da un'altra postazione" }));
        }
        // Nothing left open on the editor's side either.
        QVERIFY(!editor_->connection().InTransaction());
        outsider(kind_)->Execute(
            "DELETE FROM " + archiveOf(kind_).table() + " WHERE varNote = 'da un''altra postazione'");
    }

    // The archive held by another workstation past the wait (a real lock, not
    // a trigger), at save and at compaction: the user is told, and once the
    // other lets go the next save goes through.
    void archiveHeldElsewhere_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("save") << "save";
        QTest::newRow("compaction") << "compaction";
    }

    void archiveHeldElsewhere()
    {
        QFETCH(QString, action);
        open(contacts());
        Accessories::addCardFiles(*editor_);
        storeCard(QStringLiteral("prima"));
        dialogs_->clear();
        auto other = outsider(kind_);
        other->Execute("BEGIN IMMEDIATE;");
        if (action == "save") {
            release("cmdNuovo");
            fill(QStringLiteral("nuova"));
            save();
        } else {
            release("cmdOttimizza");
        }
        QCOMPARE(dialogs_->kinds().last(), QStringLiteral("error"));
        QVERIFY2(
            dialogs_->last().text.startsWith(QStringLiteral("L'archivio è in uso")), qPrintable(dialogs_->last().text));
        other->Execute("ROLLBACK;");
        outsiderWrites();
        if (QTest::currentTestFailed())
            return;
        release("cmdNuovo");
        fill(QStringLiteral("dopo"));
        save();
        QCOMPARE(dialogs_->kinds().last(), QStringLiteral("message"));
        QCOMPARE(notes(), (QStringList { "prima", "da un'altra postazione", "dopo" }));
    }

    // The import after a failed save: once refused with "Transaction already
    // open".
    void importAfterAFailedSave()
    {
        open(contacts());
        RecordingDesktop desktop;
        const QString csv = dir_->file(QStringLiteral("contatti.csv"));
        {
            QFile f(csv);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Nome,E-mail\r\nAnna Uno,anna@uno.it\r\nBruno Due,bruno@due.it\r\n");
        }
        refuse("INSERT");
        release("cmdNuovo");
        fill(QStringLiteral("nuova"));
        save();
        QCOMPARE(dialogs_->kinds(), QStringList { "error" });
        outsiderWrites();
        if (QTest::currentTestFailed())
            return;

        desktop.nextFileName = csv;
        Modal::install([](QDialog* preview) {
            preview->findChild<QPushButton*>(QStringLiteral("cmdImporta"))->click();
            return preview->result();
        });
        release("cmdImportaContatti");
        QCOMPARE(dialogs_->kinds(), (QStringList { "error", "message" }));
        QCOMPARE(TestCards::count(kind_), 3);
        QVERIFY(!editor_->connection().InTransaction());
    }
};

QTEST_MAIN(TestFailedWrites)
#include "test_failed_writes.moc"
