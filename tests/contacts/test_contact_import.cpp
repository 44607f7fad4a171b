#include "archives/archive_registry.h"
#include "contacts/import/contact_import.h"
#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"
#include "storage/win1252.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
using Values = QHash<QByteArray, QString>;

const CardArchive& archive() { return Archives::card(ArchiveKind::Contacts); }

ImportedContact contact(int line, Values values)
{
    return ImportedContact::withValues(line, values);
}

QString column(const ImportRow& row, const char* name) { return row.texts.value(archive().valueColumns().indexOf(name)); }

QStringList storedNames(TSQLiteDatabase& db)
{
    QStringList out;
    auto t = db.Query("select varContatto from contatti order by ID;");
    for (t->First(); !t->AtEnd(); t->Next())
        out << Cp1252::decode(t->BlobTextAt(0));
    return out;
}
} // namespace

class TestContactImport : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<TSQLiteDatabase> db_;

private slots:
    void init()
    {
        QFile::remove(dir_.filePath("c.db"));
        db_ = std::make_unique<TSQLiteDatabase>(dir_.filePath("c.db"));
        db_->Execute(archive().createStatement());
        QList<QByteArray> v(archive().valueCount());
        v[0] = "Esistente";
        v[4] = "Gia@Presente.it";
        db_->Execute(archive().insert(v));
    }
    void cleanup() { db_.reset(); }

    void rowsAreJudgedAsTheEditorWould_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");

        using S = ImportRow::Status;
        QTest::newRow("ready") << Values { { "varContatto", "A" }, { "varEmail", "a@x.it" } }
                               << int(S::Ready) << QString();
        QTest::newRow("no name") << Values { { "varEmail", "b@x.it" } } << int(S::MissingRequired)
                                 << QStringLiteral("manca il nome del contatto");
        QTest::newRow("blank e-mail") << Values { { "varContatto", "C" }, { "varEmail", " \t" } }
                                      << int(S::MissingRequired) << QStringLiteral("manca l'indirizzo e-mail");
        QTest::newRow("scrubbed to nothing")
            << Values { { "varContatto", "\";" }, { "varEmail", "d@x.it" } }
            << int(S::MissingRequired) << QStringLiteral("manca il nome del contatto");
        QTest::newRow("already in the archive, other case")
            << Values { { "varContatto", "E" }, { "varEmail", " gia@presente.IT" } }
            << int(S::Duplicate) << QStringLiteral("l'indirizzo e-mail è già in archivio");
        QTest::newRow("character without a Windows-1252 form")
            << Values { { "varContatto", "F" }, { "varEmail", "f@x.it" },
                   { "varCitta", QStringLiteral("Łódź") } }
            << int(S::NotStorable)
            << QStringLiteral("il carattere «Ł» del campo «Città» non può essere salvato in archivio");
        QTest::newRow("emoji in the note")
            << Values { { "varContatto", "G" }, { "varEmail", "g@x.it" },
                   { "varNote", QStringLiteral("ciao \U0001F600") } }
            << int(S::NotStorable)
            << QStringLiteral("il carattere «\U0001F600» del campo «Note» non può essere salvato in archivio");
        QTest::newRow("NUL") << Values { { "varContatto", QString::fromUtf8("H\0h", 3) }, { "varEmail", "h@x.it" } }
                             << int(S::NotStorable)
                             << QStringLiteral("il carattere «\u2400» del campo «Cognome e nome» non può essere "
                                               "salvato in archivio");
    }

    void rowsAreJudgedAsTheEditorWould()
    {
        QFETCH(Values, values);
        QFETCH(int, status);
        QFETCH(QString, reason);
        const ImportPlan plan = ContactImport::prepare({ contact(7, values) }, ContactImport::existingEmails(*db_));
        QCOMPARE(plan.rows.size(), 1);
        QCOMPARE(int(plan.rows[0].status), status);
        QCOMPARE(plan.rows[0].reason, reason);
        QCOMPARE(plan.rows[0].line, 7);
        QCOMPARE(plan.rows[0].texts.size(), archive().valueCount());
    }

    void storesTrimmedScrubbedCp1252InOneGo()
    {
        const ImportPlan plan = ContactImport::prepare(
            { contact(2, { { "varContatto", "  Nicolò \"Nico\" Rossi; " }, { "varEmail", "n@x.it" } }),
                contact(3, { { "varContatto", "Altro" }, { "varEmail", "gia@presente.it" } }),
                contact(4, { { "varContatto", "Terzo" }, { "varEmail", "N@x.it" } }),
                contact(5, { { "varContatto", "Quarto" } }) },
            ContactImport::existingEmails(*db_));
        QCOMPARE(column(plan.rows[0], "varContatto"), QStringLiteral("Nicolò  Nico  Rossi"));
        QCOMPARE(int(plan.rows[2].status), int(ImportRow::Status::Duplicate)); // twice in the same file
        QCOMPARE(plan.count(ImportRow::Status::Duplicate), 2);

        QList<int> progress;
        const ImportOutcome out
            = ContactImport::store(*db_, plan, false, [&](int done, int total) { progress << done << total; });
        QCOMPARE(out.added, 1);
        QCOMPARE(out.skipped, 3);
        QCOMPARE(out.firstId, 2);
        QCOMPARE(progress, QList<int>({ 1, 1 }));
        QCOMPARE(storedNames(*db_), QStringList({ "Esistente", QStringLiteral("Nicolò  Nico  Rossi") }));
        // The same bytes and the same storage class as a card saved in the editor.
        auto t = db_->Query("select varContatto from contatti where ID=2;");
        QCOMPARE(t->BlobTextAt(0), QByteArray("Nicol\xF2  Nico  Rossi"));
        auto same = db_->Query("select count(*) from contatti a, contatti b where a.ID=1 and b.ID=2 and "
                               "typeof(a.varContatto)=typeof(b.varContatto) and typeof(a.varFile01)=typeof(b.varFile01) "
                               "and typeof(a.Ext)=typeof(b.Ext);");
        QCOMPARE(same->IntegerAt(0), 1);

        const ImportOutcome again = ContactImport::store(*db_, plan, true);
        QCOMPARE(again.added, 3);
        QCOMPARE(again.firstId, 3);
        QCOMPARE(storedNames(*db_).size(), 5);
    }

    void failingInsertStoresNothing()
    {
        db_->Execute("CREATE TRIGGER refuse BEFORE INSERT ON contatti WHEN NEW.varEmail = 'boom@x.it' "
                     "BEGIN SELECT RAISE(ABORT, 'rifiutato'); END;");
        const ImportPlan plan = ContactImport::prepare({ contact(2, { { "varContatto", "A" }, { "varEmail", "a@x.it" } }),
                                                           contact(3, { { "varContatto", "B" }, { "varEmail", "boom@x.it" } }),
                                                           contact(4, { { "varContatto", "C" }, { "varEmail", "c@x.it" } }) },
            {});
        QVERIFY_THROWS_EXCEPTION(ESQLiteException, ContactImport::store(*db_, plan, false));
        QVERIFY(!db_->InTransaction());
        QCOMPARE(storedNames(*db_), QStringList({ "Esistente" }));
        // The connection is usable for the next import.
        db_->Execute("DROP TRIGGER refuse;");
        QCOMPARE(ContactImport::store(*db_, plan, false).added, 3);
    }
};

QTEST_GUILESS_MAIN(TestContactImport)
#include "test_contact_import.moc"
