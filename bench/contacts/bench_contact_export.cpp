// Export of 100,000 contacts to vCard 4.0, vCard 3.0 and CSV, against a bare
// loop that reads the same rows with sqlite3 and writes the same text, made
// beforehand, to the same kind of file: what is left is the cost of making
// the text (escaping, folding, UTF-8) and of reading through the archive.
//
//   bench_contact_export [contacts]
#include "bench_util.h"
#include "archives/archive_registry.h"
#include "contacts/export/contact_export.h"
#include "contacts/export/contact_writers.h"
#include "storage/card_archive.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {

const CardArchive& contacts() { return Archives::card(ArchiveKind::Contacts); }

void fill(const QString& path, int n)
{
    TSQLiteDatabase db(path);
    db.Execute(contacts().createStatement());
    db.StartTransaction();
    for (int i = 0; i < n; ++i) {
        const QByteArray k = QByteArray::number(i);
        QList<QByteArray> v(contacts().valueCount());
        v[0] = "Rossi Nicol\xF2 " + k;
        v[1] = "C" + k;
        v[2] = "Rossi, Bianchi & C. S.r.l.";
        v[3] = "Responsabile acquisti";
        v[4] = "nicolo" + k + "@example.it";
        v[5] = "Clienti";
        v[6] = "Via Garibaldi, 12";
        v[7] = "Forl\xEC";
        v[8] = "47121";
        v[9] = "FC";
        v[10] = "333 1234567";
        v[12] = "0543 123456";
        v[14] = "RSSNCL70A01D704X";
        v[18] = "Cliente dal 2010, pagamento a 30 giorni \x80 1.200,00.\r\nChiamare di mattina e chiedere dell'ufficio "
                "acquisti per gli ordini della stagione.";
        db.Execute(contacts().insert(v));
    }
    db.CommitTransaction();
}

// The text each format gives, card by card, made once outside the timing.
QList<QByteArray> texts(const QString& path, ContactExport::Format format)
{
    QList<QByteArray> out;
    TSQLiteDatabase db(path);
    auto rows = db.Query(contacts().all() + " ORDER BY ID");
    QList<QByteArray> card(contacts().valueCount());
    for (rows->First(); !rows->AtEnd(); rows->Next()) {
        for (int c = 0; c < card.size(); ++c)
            card[c] = rows->BlobTextAt(c + 1);
        switch (format) {
        case ContactExport::Format::VCard4:
            out << ContactWriters::vcard(card, ContactWriters::VCardVersion::V4);
            break;
        case ContactExport::Format::VCard3:
            out << ContactWriters::vcard(card, ContactWriters::VCardVersion::V3);
            break;
        default:
            out << ContactWriters::csvRow(card, ';');
        }
    }
    return out;
}

// Reads every row of the archive and writes the ready text of each card.
void bareLoop(const QString& path, const QList<QByteArray>& text, const QString& out)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM contatti ORDER BY ID", -1, &s, nullptr);
    QFile f(out);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    qsizetype i = 0;
    size_t bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        for (int c = 1; c < sqlite3_column_count(s); ++c)
            bytes += size_t(sqlite3_column_bytes(s, c)) + (sqlite3_column_blob(s, c) != nullptr);
        f.write(text[i++]);
    }
    f.close();
    sqlite3_finalize(s);
    sqlite3_close(db);
    if (bytes == 0)
        std::printf("(no rows)\n");
}

// What the export's reading costs alone: the same batches through the
// access layer, nothing written.
void readOnly(const QString& path)
{
    TSQLiteDatabase db(path);
    qint64 last = 0;
    size_t bytes = 0;
    for (;;) {
        auto rows = db.Query(contacts().all() + " WHERE ID > " + QByteArray::number(last) + " ORDER BY ID LIMIT 1000");
        if (rows->RowCount() == 0)
            break;
        for (rows->First(); !rows->AtEnd(); rows->Next()) {
            for (int c = 1; c <= contacts().valueCount(); ++c)
                bytes += size_t(rows->BlobTextAt(c).size());
            last = rows->IntegerAt(0);
        }
    }
    if (bytes == 0)
        std::printf("(no rows)\n");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString db = dir.filePath("Contatti.db");
    fill(db, n);
    std::printf("archive: %d contacts, %.1f MB\n", n, double(QFileInfo(db).size()) / 1e6);
    const struct {
        const char* name;
        ContactExport::Format format;
    } formats[] { { "vCard 4.0", ContactExport::Format::VCard4 }, { "vCard 3.0", ContactExport::Format::VCard3 },
        { "CSV", ContactExport::Format::CsvSemicolon } };
    for (const auto& f : formats) {
        const QString out = dir.filePath("out." + ContactExport::suffix(f.format));
        const QList<QByteArray> text = texts(db, f.format);
        const double bare = medianMs(5, [&] { bareLoop(db, text, out); });
        const double ours = medianMs(5, [&] {
            TSQLiteDatabase conn(db);
            ContactExport::write(conn, {}, f.format, out);
        });
        std::printf("\n%s: %.1f MB written\n", f.name, double(QFileInfo(out).size()) / 1e6);
        report("  bare loop (sqlite3 rows, ready text)", bare);
        report("  reading alone, through the access layer", medianMs(5, [&] { readOnly(db); }), bare);
        report("  ContactExport::write", ours, bare);
    }
    return 0;
}
