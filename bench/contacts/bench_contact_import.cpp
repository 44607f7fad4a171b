// Importing contacts files into an archive of 100,000 contacts: reading and
// judging the file (the preview) and storing it, against a bare sqlite3 loop
// inserting the same rows in one transaction.
#include "bench_util.h"
#include "contacts/import/contact_import.h"
#include "contacts/import/contact_mapping.h"
#include "contacts/import/csv_reader.h"
#include "contacts/import/vcard_reader.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <sqlite3.h>

namespace {

const CardArchive& contacts() { return CardArchive::of(ArchiveKind::Contacts); }

long peakKb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

QByteArray vcardFile(int n)
{
    QByteArray out;
    for (int i = 0; i < n; ++i)
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi" + QByteArray::number(i) + ";Mario;;;\r\nFN:Mario Rossi\r\n"
               "ORG:Rossi S.r.l.\r\nTITLE:Impiegato\r\nEMAIL;TYPE=INTERNET:nuovo" + QByteArray::number(i)
            + "@example.it\r\nTEL;TYPE=CELL:333 1234567\r\nTEL;TYPE=WORK:02 1234567\r\n"
              "ADR;TYPE=WORK:;;Via Garibaldi\\, 12;Milano;MI;20121;Italia\r\n"
              "NOTE:Cliente dal 2010\\, chiamare di mattina e chiedere dell'ufficio acquisti per gli or\r\n dini.\r\n"
              "END:VCARD\r\n";
    return out;
}

QByteArray csvFile(int n)
{
    QByteArray out = "Nome;Cognome;E-mail;Azienda;Cellulare;Indirizzo;Città;CAP;Provincia;Note\r\n";
    for (int i = 0; i < n; ++i)
        out += "Mario;Rossi" + QByteArray::number(i) + ";nuovo" + QByteArray::number(i)
            + "@example.it;Rossi S.r.l.;333 1234567;\"Via Garibaldi, 12\";Milano;20121;MI;\"Cliente dal 2010\r\n"
              "chiamare di mattina\"\r\n";
    return out;
}

void fillArchive(const QString& path, int n)
{
    TSQLiteDatabase db(path);
    db.Execute(contacts().createStatement());
    db.StartTransaction();
    for (int i = 0; i < n; ++i) {
        QList<QByteArray> v(contacts().valueCount());
        v[0] = "Bianchi " + QByteArray::number(i);
        v[4] = "esistente" + QByteArray::number(i) + "@example.it";
        v[7] = "Roma";
        db.Execute(contacts().insert(v));
    }
    db.CommitTransaction();
}

// The same rows through one prepared statement with bound values.
void bareInsert(const QString& path, const ImportPlan& plan)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    QByteArray sql = "INSERT INTO " + contacts().table() + " (" + contacts().valueColumns().join(',') + ") VALUES (";
    for (int i = 0; i < contacts().valueCount(); ++i)
        sql += i ? ",?" : "?";
    sql += ")";
    sqlite3_exec(db, "PRAGMA SYNCHRONOUS=NORMAL; BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
    for (const ImportRow& r : plan.rows) {
        if (r.status != ImportRow::Status::Ready)
            continue;
        for (int c = 0; c < r.values.size(); ++c)
            sqlite3_bind_blob(s, c + 1, r.values[c].constData(), int(r.values[c].size()), SQLITE_STATIC);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void measure(const char* name, const QByteArray& file, bool vcard, const QString& base, const QString& work)
{
    std::printf("\n%s: %.1f MB, peak memory before %ld MB\n", name, file.size() / 1e6, peakKb() / 1024);
    ImportPlan plan;
    const double preview = medianMs(3, [&] {
        TSQLiteDatabase db(base);
        QList<ImportedContact> read;
        if (vcard) {
            read = ContactMapping::fromVCards(VCardReader::read(file));
        } else {
            const CsvTable t = CsvReader::read(file);
            read = ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings));
        }
        plan = ContactImport::prepare(read, ContactImport::existingEmails(db));
    });
    std::printf("  %d rows ready, peak memory %ld MB\n", plan.count(ImportRow::Status::Ready), peakKb() / 1024);
    report("  preview (read, map, judge)", preview);
    auto fresh = [&] {
        QFile::remove(work);
        QFile::copy(base, work);
    };
    double bare = 0, store = 0;
    for (int run = 0; run < 3; ++run) {
        fresh();
        bare += medianMs(1, [&] { bareInsert(work, plan); }) / 3;
        fresh();
        store += medianMs(1, [&] {
            TSQLiteDatabase db(work);
            ContactImport::store(db, plan, false);
        }) / 3;
    }
    report("  bare sqlite3 loop, one transaction", bare);
    report("  store through the archive", store, bare);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    const QString base = dir.filePath("base.db");
    const QString work = dir.filePath("work.db");
    fillArchive(base, 100000);
    measure("10,000-contact vCard 3.0 file", vcardFile(10000), true, base, work);
    measure("100,000-row CSV file", csvFile(100000), false, base, work);
    return 0;
}
