// Importing contacts files into an archive of 100,000 contacts. The preview
// (reading and judging every row, a slice at a time) against the bare
// reader (the same file read and split into fields, nothing kept), in time
// and in peak memory; the first rows shown; a mapping changed; and storing
// against a bare sqlite3 loop inserting the same rows in one transaction.
// Every memory figure comes from a child process of its own, so no run
// inherits another's peak.
//
//   bench_contact_import              every scenario
//   bench_contact_import --child ...  (internal)
#include "archives/archive_registry.h"
#include "bench_util.h"
#include "contacts/import/csv_reader.h"
#include "contacts/import/import_session.h"
#include "contacts/import/vcard_reader.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

const CardArchive& contacts() { return Archives::card(ArchiveKind::Contacts); }

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

// A million rows of two letters: the smallest rows there are.
QByteArray tinyRows(int n)
{
    QByteArray out = "Nome\r\n";
    out.reserve(4 * n + 8);
    for (int i = 0; i < n; ++i)
        out += "ab\r\n";
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

// The same rows through one prepared statement with bound values; ms.
double bareInsert(const QString& path, const ImportSession& session)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    QByteArray sql = "INSERT INTO " + contacts().table() + " (" + contacts().valueColumns().join(',') + ") VALUES (";
    for (int i = 0; i < contacts().valueCount(); ++i)
        sql += i ? ",?" : "?";
    sql += ")";
    // The rows as they will be stored, taken out of the timing.
    QList<QList<QByteArray>> rows;
    for (qsizetype i = 0; i < session.size(); ++i)
        if (session.status(i) == ImportRow::Status::Ready)
            rows << session.row(i).values;
    QElapsedTimer t;
    t.start();
    sqlite3_exec(db, "BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr);
    for (const auto& values : rows) {
        for (int c = 0; c < values.size(); ++c)
            sqlite3_bind_text(s, c + 1, values[c].constData(), int(values[c].size()), SQLITE_STATIC);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    return ms;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// Child: one scenario on the file; prints "ms baseMiB peakMiB [extra]".
int child(const QString& what, const QString& file, const QString& base, const QString& work)
{
    AppPaths::setDataDir(QFileInfo(base).absolutePath());
    QByteArray bytes = readFile(file);
    const double before = procStatusMiB("VmRSS");
    QElapsedTimer t;
    t.start();
    QString extra;
    if (what == "bare") {
        // Read and split into fields only, as the preview reads.
        qint64 fields = 0;
        if (file.endsWith(".vcf")) {
            VCardReader::Stream stream(bytes);
            VCard card;
            while (stream.next(card))
                fields += card.properties.size();
        } else {
            const CsvReader::Layout layout = CsvReader::layout(bytes);
            CsvReader::Stream stream(bytes, layout);
            CsvRow row;
            while (stream.next(row))
                fields += row.fields.size();
        }
        extra = QString::number(fields);
    } else {
        TSQLiteDatabase db(base);
        QString refusal;
        auto session = ImportSession::open(file, std::move(bytes), &refusal);
        session->setExisting(ContactImport::existingEmails(db));
        // The window's first slice: the preview rows show after it.
        while (!session->advance(150) && session->size() < 20) { }
        const double first = double(t.nsecsElapsed()) / 1e6;
        while (!session->advance(40)) { }
        extra = QStringLiteral("%1 %2").arg(first, 0, 'f', 1).arg(session->count(ImportRow::Status::Ready));
        if (what == "remap") {
            // A column sent elsewhere: every row judged again.
            ContactMapping::Mapping m = session->mapping();
            m.last().target = ContactMapping::kIgnore;
            t.restart();
            session->setMapping(m);
            while (!session->advance(40)) { }
        } else if (what == "store") {
            QFile::remove(work);
            QFile::copy(base, work);
            QElapsedTimer s;
            {
                TSQLiteDatabase target(work);
                s.start();
                session->store(target, false);
            }
            const double stored = double(s.nsecsElapsed()) / 1e6;
            QFile::remove(work);
            QFile::copy(base, work);
            extra += QStringLiteral(" %1 %2").arg(stored, 0, 'f', 1).arg(bareInsert(work, *session), 0, 'f', 1);
        }
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    std::printf("%.1f %.1f %.1f %s\n", ms, before, procStatusMiB("VmHWM"), qPrintable(extra));
    return 0;
}

QList<QByteArray> run(const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), QStringList { "--child" } + args);
    p.waitForFinished(-1);
    QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    return lines.last().split(' ');
}

// Medians of three runs of a scenario: time, peak memory above the process
// before the work (the file already read), and the scenario's extra figures.
struct Figures {
    double ms = 0, peakMiB = 0;
    QList<QByteArray> extra;
};

Figures measure(const QString& what, const QString& file, const QString& base, const QString& work)
{
    std::vector<double> ms, peak;
    Figures f;
    for (int i = 0; i < 3; ++i) {
        const QList<QByteArray> r = run({ what, file, base, work });
        ms.push_back(r.value(0).toDouble());
        peak.push_back(r.value(2).toDouble() - r.value(1).toDouble());
        f.extra = r.mid(3);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(peak.begin(), peak.end());
    f.ms = ms[1];
    f.peakMiB = peak[1];
    return f;
}

void scenario(const char* name, const QByteArray& bytes, const QString& suffix, const QString& dir,
    const QString& base, bool full)
{
    const QString file = dir + "/file." + suffix;
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    out.close();
    const double mb = double(bytes.size()) / (1 << 20);
    std::printf("\n%s: %.1f MiB\n", name, mb);
    const Figures bare = measure("bare", file, base, dir + "/work.db");
    std::printf("  %-46s %9.1f ms   peak +%7.1f MiB (%.2fx the file)\n", "bare reader (read and split only)",
        bare.ms, bare.peakMiB, bare.peakMiB / mb);
    const Figures preview = measure("preview", file, base, dir + "/work.db");
    std::printf("  %-46s %9.1f ms   peak +%7.1f MiB (%.2fx the file)   %.2fx the bare time\n",
        "preview (read, map, judge every row)", preview.ms, preview.peakMiB, preview.peakMiB / mb, preview.ms / bare.ms);
    std::printf("  %-46s %9s ms   (%s rows ready)\n", "  first preview rows shown after",
        preview.extra.value(0).constData(), preview.extra.value(1).constData());
    if (!full)
        return;
    const Figures remap = measure("remap", file, base, dir + "/work.db");
    std::printf("  %-46s %9.1f ms   peak +%7.1f MiB (%.2fx the file)\n", "a column's mapping changed, all judged again",
        remap.ms, remap.peakMiB, remap.peakMiB / mb);
    const Figures store = measure("store", file, base, dir + "/work.db");
    const double stored = store.extra.value(2).toDouble();
    const double bareInsertMs = store.extra.value(3).toDouble();
    std::printf("  %-46s %9.1f ms\n", "bare sqlite3 loop, one transaction", bareInsertMs);
    std::printf("  %-46s %9.1f ms   (%.2fx the bare loop)\n", "store through the archive", stored,
        stored / bareInsertMs);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 6 && args[1] == "--child")
        return child(args[2], args[3], args[4], args[5]);
    QTemporaryDir dir;
    AppPaths::setDataDir(dir.path());
    const QString base = dir.filePath("base.db");
    fillArchive(base, 100000);
    std::printf("archive: 100,000 contacts\n");
    scenario("10,000-contact vCard 3.0 file", vcardFile(10000), "vcf", dir.path(), base, false);
    scenario("100,000-row CSV file", csvFile(100000), "csv", dir.path(), base, true);
    scenario("1,000,000-row CSV file", csvFile(1000000), "csv", dir.path(), base, false);
    scenario("1,000,000 rows of two letters", tinyRows(1000000), "csv", dir.path(), base, false);
    return 0;
}
