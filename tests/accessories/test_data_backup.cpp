#include "accessories/data_backup.h"
#include "archives/archive_registry.h"
#include "mail/delivery_journal.h"
#include "mail/opt_out.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"
#include "support/test_seams.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

namespace {

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

QByteArray hexSha(const QByteArray& bytes) { return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(); }

// Every data file as its bytes, to see that nothing changed.
QHash<QString, QByteArray> dataFiles()
{
    QHash<QString, QByteArray> out;
    for (const DataBackup::File& f : DataBackup::files())
        if (QFileInfo(AppPaths::beside(f.name)).isFile())
            out.insert(f.name, contentOf(AppPaths::beside(f.name)));
    return out;
}

QStringList names(TSQLiteDatabase& db)
{
    QStringList out;
    auto t = db.Query("SELECT varContatto FROM contatti ORDER BY ID");
    for (t->First(); !t->AtEnd(); t->Next())
        out << QString::fromLatin1(t->BlobTextAt(0));
    return out;
}

// A zip of the given entries with a manifest that describes them truly.
void writeBackup(const QString& path, const QList<std::pair<QString, QByteArray>>& entries)
{
    DataBackup::Manifest m;
    m.program = QStringLiteral("Velmaro");
    m.version = QStringLiteral("0");
    m.created = QDateTime::currentDateTime();
    for (const auto& [name, bytes] : entries)
        m.entries.append({ name, bytes.size(), hexSha(bytes) });
    int code = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    QList<QByteArray> keep { m.toJson() };
    for (const auto& e : entries)
        keep << e.second;
    zip_file_add(zip, DataBackup::kManifestName, zip_source_buffer(zip, keep[0].constData(), keep[0].size(), 0), 0);
    for (qsizetype i = 0; i < entries.size(); ++i)
        zip_file_add(zip, entries[i].first.toUtf8().constData(),
            zip_source_buffer(zip, keep[i + 1].constData(), keep[i + 1].size(), 0), 0);
    zip_close(zip);
}

} // namespace

class TestDataBackup : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> data_;
    QTemporaryDir out_;

    QString backupPath() const { return out_.filePath("copia.zip"); }

    void makeBackup()
    {
        const DataBackup::Created c = DataBackup::create(backupPath(), out_.filePath("lavoro"), "1.2.3");
        QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
    }

private slots:
    void init()
    {
        data_ = std::make_unique<TempDataDir>();
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Prima" }, { "varEmail", "a@x.it" } });
        TestCards::store(ArchiveKind::Messages, { { "varOggetto", "Oggetto" } });
        writeFile(AppPaths::beside("Messaggi.ini"), "[Archivio Messaggi]\r\nMittente=Io\r\n");
        writeFile(AppPaths::beside("unins000.dll"), "[Accesso]\r\nValore=xyz\r\n");
        QFile::setPermissions(AppPaths::beside("unins000.dll"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(backupPath());
    }

    void cleanup() { data_.reset(); }

    // Made while an editor holds the archive open; restored over changed
    // data, which the same connection then sees; the replaced files aside.
    void backupAndRestoreWhileTheArchiveIsOpen()
    {
        auto editor = Archives::card(ArchiveKind::Contacts).open();
        editor->Query("SELECT * FROM contatti");
        QList<qint64> progress;
        const DataBackup::Created c = DataBackup::create(backupPath(), out_.filePath("lavoro"), "1.2.3",
            [&](qint64 done, qint64 total) {
                progress << done;
                return done <= total;
            });
        QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
        QVERIFY(!progress.isEmpty());
        QStringList listed;
        for (const auto& e : c.manifest.entries)
            listed << e.name;
        // Groups.db was never made: only the files present.
        QCOMPARE(listed, QStringList({ "Contatti.db", "Messaggi.db", "Messaggi.ini", "unins000.dll" }));
        QCOMPARE(c.manifest.version, QStringLiteral("1.2.3"));
        const QByteArray iniSha = c.manifest.entries[2].sha256;
        QCOMPARE(iniSha, hexSha(contentOf(AppPaths::beside("Messaggi.ini"))));

        QList<QByteArray> second(Archives::card(ArchiveKind::Contacts).valueCount());
        second[0] = "Seconda";
        second[4] = "b@x.it";
        editor->Execute(Archives::card(ArchiveKind::Contacts).insert(second));
        writeFile(AppPaths::beside("Messaggi.ini"), "[Archivio Messaggi]\r\nMittente=Altro\r\n");
        const QHash<QString, QByteArray> changed = dataFiles();

        const DataBackup::Checked checked = DataBackup::check(backupPath(), out_.filePath("verifica"));
        QVERIFY2(checked.error.isEmpty(), qPrintable(checked.error));
        QCOMPARE(checked.manifest.created, c.manifest.created);
        const QString aside = QDir(data_->path()).filePath("Prima del ripristino");
        QCOMPARE(DataBackup::restore(checked, aside), QString());

        QCOMPARE(names(*editor), QStringList({ "Prima" }));
        QCOMPARE(contentOf(AppPaths::beside("Messaggi.ini")), QByteArray("[Archivio Messaggi]\r\nMittente=Io\r\n"));
        const QFileDevice::Permissions password = QFile::permissions(AppPaths::beside("unins000.dll"));
        QVERIFY(password.testFlags(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(int(password & 0x0077), 0); // neither group nor others
        // The replaced files, as they were.
        QCOMPARE(contentOf(QDir(aside).filePath("Messaggi.ini")), changed.value("Messaggi.ini"));
        TSQLiteDatabase kept(QDir(aside).filePath("Contatti.db"));
        QCOMPARE(names(kept), QStringList({ "Prima", "Seconda" }));
        QVERIFY(!QFile::exists(QDir(aside).filePath("Gruppi.db")));
        // The editor's connection goes on writing into the restored file.
        editor->Execute("DELETE FROM contatti");
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 0);
    }

    void damagedBackupReplacesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not a zip") << "text" << "non è una copia di sicurezza leggibile";
        QTest::newRow("a byte changed in the zip") << "flip" << "";
        QTest::newRow("no manifest") << "nomanifest" << "manca l'elenco dei file";
        QTest::newRow("archive fails its integrity check") << "corrupt" << "l'archivio «Contatti.db» è danneggiato.";
        QTest::newRow("archive without its table") << "notable"
                                                   << "nell'archivio «Contatti.db» manca la tabella «contatti».";
        QTest::newRow("a file the program does not keep") << "unknown" << "contiene un file sconosciuto («../x.db»).";
        QTest::newRow("size and checksum do not match") << "checksum" << "il file «Messaggi.ini» è danneggiato";
    }

    void damagedBackupReplacesNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        makeBackup();
        const QByteArray db = contentOf(AppPaths::beside("Contatti.db"));
        if (kind == "text") {
            writeFile(backupPath(), "non sono uno zip");
        } else if (kind == "flip") {
            QByteArray zip = contentOf(backupPath());
            zip[zip.size() / 2] = char(zip[zip.size() / 2] ^ 0x55);
            writeFile(backupPath(), zip);
        } else if (kind == "nomanifest") {
            zip_t* zip = zip_open(QFile::encodeName(backupPath()).constData(), 0, nullptr);
            zip_delete(zip, zip_name_locate(zip, DataBackup::kManifestName, 0));
            zip_close(zip);
        } else if (kind == "corrupt") {
            QByteArray broken = db;
            for (qsizetype i = 100; i < broken.size(); i += 7)
                broken[i] = char(0xA5);
            writeBackup(backupPath(), { { "Contatti.db", broken } });
        } else if (kind == "notable") {
            QTemporaryDir tmp;
            TSQLiteDatabase other(tmp.filePath("x.db"));
            other.Execute("CREATE TABLE altro (ID INTEGER PRIMARY KEY)");
            writeBackup(backupPath(), { { "Contatti.db", contentOf(tmp.filePath("x.db")) } });
        } else if (kind == "unknown") {
            writeBackup(backupPath(), { { "Contatti.db", db }, { "../x.db", db } });
        } else if (kind == "checksum") {
            writeBackup(backupPath(), { { "Contatti.db", db }, { "Messaggi.ini", "x" } });
            // The same entry, other bytes.
            zip_t* zip = zip_open(QFile::encodeName(backupPath()).constData(), 0, nullptr);
            static const char other[] = "y";
            zip_file_replace(zip, zip_name_locate(zip, "Messaggi.ini", 0), zip_source_buffer(zip, other, 1, 0), 0);
            zip_close(zip);
        }
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Dopo" }, { "varEmail", "d@x.it" } });
        const QHash<QString, QByteArray> before = dataFiles();

        const DataBackup::Checked checked = DataBackup::check(backupPath(), out_.filePath("verifica"));
        QVERIFY(checked.error.startsWith(QStringLiteral("Il file «copia.zip» non può essere ripristinato: ")));
        QVERIFY2(checked.error.contains(reason), qPrintable(checked.error));
        const QString aside = QDir(data_->path()).filePath("Prima del ripristino");
        QCOMPARE(DataBackup::restore(checked, aside), checked.error);
        QCOMPARE(dataFiles(), before);
        QVERIFY(!QFile::exists(aside));
    }

    // A file that cannot be replaced halfway: those already replaced go back.
    void failureHalfwayPutsEverythingBack()
    {
        makeBackup();
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Dopo" }, { "varEmail", "d@x.it" } });
        const DataBackup::Checked checked = DataBackup::check(backupPath(), out_.filePath("verifica"));
        QVERIFY(checked.error.isEmpty());
        QFile::remove(AppPaths::beside("Messaggi.ini"));
        QDir().mkdir(AppPaths::beside("Messaggi.ini")); // neither copied aside nor replaced
        const QByteArray password = contentOf(AppPaths::beside("unins000.dll"));
        const QString error = DataBackup::restore(checked, out_.filePath("via"));
        QVERIFY(error.startsWith(QStringLiteral("Il ripristino non è riuscito e i dati sono rimasti quelli di prima")));
        // The archives hold what they held (their headers may count one more change).
        QCOMPARE(contentOf(AppPaths::beside("unins000.dll")), password);
        QVERIFY(QFileInfo(AppPaths::beside("Messaggi.ini")).isDir());
        auto messages = Archives::card(ArchiveKind::Messages).open();
        QCOMPARE(messages->Query("SELECT count(*) FROM messaggi")->IntegerAt(0), 1);
        auto db = Archives::card(ArchiveKind::Contacts).open();
        QCOMPARE(names(*db), QStringList({ "Prima", "Dopo" }));
    }

    // The delivery journal (write-ahead log) and the opt-out list are data
    // too: in the backup and back after a restore.
    void journalAndOptOutListRestored()
    {
        {
            OptOutList list;
            QCOMPARE(list.add({ "via@x.it" }, "telefonata"), 1);
            DeliveryJournal journal;
            DeliveryJournal::Header h;
            h.started = QDateTime::currentDateTime();
            h.subject = QStringLiteral("Novità");
            QList<qint64> rows;
            journal.addSending(h, { "a@x.it" }, rows);
        }
        const DataBackup::Created c = DataBackup::create(backupPath(), out_.filePath("lavoro"), "1.2.3");
        QVERIFY2(c.error.isEmpty(), qPrintable(c.error));
        QStringList listed;
        for (const auto& e : c.manifest.entries)
            listed << e.name;
        QVERIFY(listed.contains("Invii.db"));
        QVERIFY(listed.contains("Esclusioni.db"));

        OptOutList().remove({ "via@x.it" });
        const DataBackup::Checked checked = DataBackup::check(backupPath(), out_.filePath("verifica"));
        QVERIFY2(checked.error.isEmpty(), qPrintable(checked.error));
        QCOMPARE(DataBackup::restore(checked, out_.filePath("prima")), QString());
        QCOMPARE(OptOutList().listed({ "VIA@x.it" }).size(), 1);
        QCOMPARE(DeliveryJournal().sendings(0, 10).size(), 1);
    }

    void emptyDataFolderMakesNoBackup()
    {
        data_ = std::make_unique<TempDataDir>();
        const DataBackup::Created c = DataBackup::create(backupPath(), out_.filePath("lavoro"), "1");
        QCOMPARE(c.error, QStringLiteral("Nella cartella dei dati non c'è nessun archivio da copiare."));
    }

    void stoppedBackup()
    {
        const DataBackup::Created c
            = DataBackup::create(backupPath(), out_.filePath("lavoro"), "1", [](qint64, qint64) { return false; });
        QCOMPARE(c.error, QStringLiteral("operazione interrotta."));
    }

    void reminder_data()
    {
        QTest::addColumn<QDateTime>("last");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("due");
        const QDateTime now(QDate(2024, 5, 20), QTime(10, 0));
        QTest::newRow("never made") << QDateTime() << 7 << true;
        QTest::newRow("reminder off") << QDateTime() << 0 << false;
        QTest::newRow("6 days ago") << now.addDays(-6) << 7 << false;
        QTest::newRow("7 days ago") << now.addDays(-7) << 7 << true;
        QTest::newRow("in the future (clock changed)") << now.addDays(3) << 7 << false;
    }

    void reminder()
    {
        QFETCH(QDateTime, last);
        QFETCH(int, days);
        QFETCH(bool, due);
        QCOMPARE(DataBackup::reminderDue(last, days, QDateTime(QDate(2024, 5, 20), QTime(10, 0))), due);
    }
};

QTEST_GUILESS_MAIN(TestDataBackup)
#include "test_data_backup.moc"
