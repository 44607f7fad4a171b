#include "archives/archive_registry.h"
#include "contacts/import/import_session.h"
#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const CardArchive& archive() { return Archives::card(ArchiveKind::Contacts); }

// A file of assorted rows: ready, duplicates in the file and in the archive,
// refused ones, warnings, quoted breaks.
QByteArray assortedCsv()
{
    QByteArray out = "Nome;Cognome;E-mail;Note;Tel. casa\r\n";
    for (int i = 0; i < 500; ++i) {
        const QByteArray n = QByteArray::number(i);
        switch (i % 8) {
        case 0: out += "Mario;Rossi" + n + ";m" + n + "@x.it;\"riga\r\nseconda\";02 " + n + "\r\n"; break;
        case 1: out += "Anna;Bianchi;m" + QByteArray::number(i - 1) + "@X.it;;\r\n"; break; // earlier in the file
        case 2: out += "Gia;Presente;gia@presente.it;;\r\n"; break;                         // in the archive
        case 3: out += "Senza;Posta;;;\r\n"; break;
        case 4: out += "Jan;Kowalski\xC5\x82;j" + n + "@x.pl;;\r\n"; break;                // not storable
        case 5: out += "Luca;Verdi;l" + n + "@x.it;;1;oltre\r\n"; break;                   // a warning
        case 6: // NUL inside a value (refused) and at its end (trimmed away)
            out += QByteArray("Nul;In\0mezzo;n", 15) + n + QByteArray("@x.it;;\x01\0\r\nNul;Fine\0;f", 22) + n
                + QByteArray("@x.it;;\r\nNul;\"Prima\0;\";g", 23) + n + "@x.it;;\r\n";
            break;
        default: out += "\r\n;;\r\n"; break;                                                // blank, then empty
        }
    }
    return out;
}

QByteArray assortedVCards()
{
    QByteArray out;
    for (int i = 0; i < 300; ++i) {
        const QByteArray n = QByteArray::number(i);
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi" + n + ";Mario\r\n";
        if (i % 3)
            out += "EMAIL:v" + QByteArray::number(i / 2) + "@x.it\r\n";
        if (i % 5 == 0)
            out += "senza due punti\r\n";
        out += "NOTE:piegata su due \r\n righe\r\nEND:VCARD\r\n";
    }
    return out;
}

QList<QByteArrayList> cards(TSQLiteDatabase& db)
{
    QList<QByteArrayList> out;
    auto t = db.Query(archive().all());
    for (t->First(); !t->AtEnd(); t->Next()) {
        QByteArrayList card;
        for (int c = 1; c <= archive().valueCount(); ++c)
            card << t->BlobTextAt(c);
        out << card;
    }
    return out;
}

EmailSet archiveEmails()
{
    EmailSet s;
    s.insert(QStringLiteral("gia@presente.it"));
    return s;
}

// Judges a whole file in slices of at most 64 rows.
std::unique_ptr<ImportSession> judged(const QString& name, const QByteArray& bytes)
{
    QString refusal;
    auto s = ImportSession::open(name, bytes, &refusal);
    if (!s)
        qFatal("refused: %s", qPrintable(refusal));
    s->setExisting(archiveEmails());
    int slices = 0;
    while (!s->advance(0))
        ++slices;
    return s;
}

qint64 elapsedMs(const std::function<void()>& body)
{
    QElapsedTimer t;
    t.start();
    body();
    return t.elapsed();
}

// Far above what reading these inputs costs (well under a second), far
// below what a cost growing with the square of their size took (40 s to
// several minutes).
constexpr qint64 kBudgetMs = 15000;

// The sanitizers' build runs every character through checks: there the
// inputs are an eighth as large, for memory errors rather than time.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kScale = 8;
#else
constexpr int kScale = 1;
#endif

} // namespace

class TestImportSession : public QObject {
    Q_OBJECT

private slots:
    void slicesJudgeAsTheWholeFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("csv") << "a.csv" << assortedCsv();
        QTest::newRow("vcard") << "a.vcf" << assortedVCards();
    }

    // Rows judged a slice at a time, and read again from the file when
    // shown, are what reading the whole file at once gives.
    void slicesJudgeAsTheWholeFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        const auto s = judged(name, file);
        QList<ImportedContact> whole;
        if (s->kind() == ImportSession::Kind::Csv) {
            const CsvTable t = CsvReader::read(file);
            whole = ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings));
        } else {
            whole = ContactMapping::fromVCards(VCardReader::read(file));
        }
        const ImportPlan plan = ContactImport::prepare(whole, archiveEmails());
        QCOMPARE(s->size(), plan.rows.size());
        QSet<int> statuses;
        for (qsizetype i = 0; i < s->size(); ++i) {
            const ImportRow row = s->row(i);
            const ImportRow& expected = plan.rows[i];
            QCOMPARE(s->line(i), expected.line);
            QCOMPARE(int(s->status(i)), int(expected.status));
            QCOMPARE(row.status, expected.status);
            QCOMPARE(row.reason, expected.reason);
            QCOMPARE(row.problems, expected.problems);
            QCOMPARE(row.texts, expected.texts);
            QCOMPARE(s->problemCount(i), int(expected.problems.size()));
            statuses << int(expected.status);
        }
        for (auto status : { ImportRow::Status::Ready, ImportRow::Status::Duplicate,
                 ImportRow::Status::MissingRequired })
            QCOMPARE(s->count(status), plan.count(status));
        QVERIFY(statuses.size() >= 3);
        QCOMPARE(s->bytesDone(), s->bytesTotal());
    }

    void storesWhatThePlanStores()
    {
        QTemporaryDir dir;
        TSQLiteDatabase viaSession(dir.filePath("a.db"));
        TSQLiteDatabase viaPlan(dir.filePath("b.db"));
        const QByteArray file = assortedCsv();
        const auto s = judged("a.csv", file);
        const CsvTable t = CsvReader::read(file);
        const ImportPlan plan = ContactImport::prepare(
            ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings)), archiveEmails());
        for (bool duplicates : { false, true }) {
            for (TSQLiteDatabase* db : { &viaSession, &viaPlan })
                db->Execute("DROP TABLE IF EXISTS contatti");
            viaSession.Execute(archive().createStatement());
            viaPlan.Execute(archive().createStatement());
            const ImportOutcome a = s->store(viaSession, duplicates);
            const ImportOutcome b = ContactImport::store(viaPlan, plan, duplicates);
            QCOMPARE(a.added, b.added);
            QCOMPARE(a.skipped, b.skipped);
            QVERIFY(a.added > 0);
            QCOMPARE(cards(viaSession), cards(viaPlan));
        }
    }

    void aNewMappingJudgesAgain()
    {
        auto s = judged("a.csv", "Nome;Posta\r\nMario;m@x.it\r\nAnna;\r\n");
        QCOMPARE(s->count(ImportRow::Status::Ready), 0); // "Posta" is no known heading
        ContactMapping::Mapping m = s->mapping();
        m[1].target = "txtEmail";
        s->setMapping(m);
        QVERIFY(!s->finished());
        QVERIFY(s->advance(1000));
        QCOMPARE(s->size(), 2);
        QCOMPARE(s->count(ImportRow::Status::Ready), 1);
        QCOMPARE(s->row(0).texts.value(archive().valueColumns().indexOf("varEmail")), QStringLiteral("m@x.it"));
    }

    void noContactsFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal");
        const QString intro = QStringLiteral("Attenzione: il file «x.csv» non sembra un elenco di contatti: ");
        const QString outro = QStringLiteral(", più di quanto esporti qualunque rubrica o programma di posta.");
        QByteArray columns;
        for (int i = 0; i < 100000; ++i)
            columns += "a,";
        QTest::newRow("100,000 columns in 200 KB")
            << columns << intro + QStringLiteral("la prima riga è lunga più di 32 KB") + outro;
        QByteArray wide;
        for (int i = 0; i < 501; ++i)
            wide += "a;";
        QTest::newRow("501 columns in 1 KB") << wide + "\n1;2\n"
                                             << intro + QStringLiteral("la prima riga ha più di 500 colonne") + outro;
        QTest::newRow("4 MB without a line break")
            << QByteArray(4 << 20, 'x') << intro + QStringLiteral("la prima riga è lunga più di 32 KB") + outro;
        QTest::newRow("a quote never closed in the first row")
            << "\"Nome,E-mail\n" + QByteArray(1 << 20, '\n')
            << intro + QStringLiteral("la prima riga è lunga più di 32 KB") + outro;
    }

    void noContactsFileIsRefusedAtOnce()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        QString said;
        std::unique_ptr<ImportSession> s;
        const qint64 ms = elapsedMs([&] { s = ImportSession::open("/tmp/x.csv", file, &said); });
        QVERIFY(!s);
        QCOMPARE(said, refusal);
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
    }

    void widestAcceptedFile()
    {
        QByteArray wide;
        for (int i = 0; i < 500; ++i)
            wide += "h" + QByteArray::number(i) + ";";
        wide.chop(1);
        QString said;
        QVERIFY(ImportSession::open("x.csv", wide + "\n1;2\n", &said));
        QVERIFY(said.isEmpty());
    }

    // The inputs that took from 40 s to several minutes when a cost grew with
    // the square of their size.
    void largeInputsCostWhatTheirReadingDoes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("rows");

        // Quoted-printable soft breaks after a property without ':' (1.2 MB).
        QByteArray softBreaks = "BEGIN:VCARD\r\nN:A;B\r\nX-NOTA;ENCODING=QUOTED-PRINTABLE=\r\n";
        for (int i = 0; i < 110000 / kScale; ++i)
            softBreaks += "abcdefgh=\r\n";
        softBreaks += "fine\r\nEND:VCARD\r\n";
        QTest::newRow("vCard soft breaks") << "a.vcf" << softBreaks << 1;

        // One field of 32 MB of line breaks.
        QByteArray breaks = "Nome;E-mail;Note\r\nA;a@x.it;\"x";
        breaks.reserve(breaks.size() + (32 << 20) / kScale + 8);
        for (int i = 0; i < (16 << 20) / kScale; ++i)
            breaks += "\r\n";
        breaks += "y\"\r\n";
        QTest::newRow("32 MB of line breaks in a field") << "b.csv" << breaks << 1;

        // A stray quote: the rest of a 24 MB file is one field.
        QByteArray stray = "Nome;E-mail;Note\r\n\"A;a@x.it;nota\r\n";
        while (stray.size() < (24 << 20) / kScale)
            stray += "Mario;m@x.it;riga\r\n";
        QTest::newRow("a quote never closed") << "c.csv" << stray << 1;
    }

    void largeInputsCostWhatTheirReadingDoes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(int, rows);
        std::unique_ptr<ImportSession> s;
        const qint64 ms = elapsedMs([&] {
            QString refusal;
            s = ImportSession::open(name, file, &refusal);
            QVERIFY(s);
            while (!s->advance(100)) { }
            // Showing the row reads and judges it once more.
            QVERIFY(!s->row(0).texts.isEmpty());
        });
        QCOMPARE(s->size(), rows);
        QVERIFY2(ms < kBudgetMs, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    }
};

QTEST_GUILESS_MAIN(TestImportSession)
#include "test_import_session.moc"
