#include "archives/archive_registry.h"
#include "contacts/export/contact_export.h"
#include "contacts/export/contact_writers.h"
#include "contacts/import/import_session.h"
#include "storage/card_archive.h"
#include "storage/card_text.h"
#include "storage/sqlite_table3.h"
#include "storage/win1252.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using Card = QHash<QByteArray, QByteArray>; // column -> stored bytes
using Format = ContactExport::Format;

const CardArchive& archive() { return Archives::card(ArchiveKind::Contacts); }

QList<QByteArray> valuesOf(const Card& card)
{
    QList<QByteArray> v;
    for (const QByteArray& c : archive().valueColumns())
        v << card.value(c);
    return v;
}

// The cards of an archive, each its value columns.
QList<QList<QByteArray>> cardsOf(TSQLiteDatabase& db)
{
    QList<QList<QByteArray>> out;
    auto t = db.Query(archive().all() + " ORDER BY ID");
    for (t->First(); !t->AtEnd(); t->Next()) {
        QList<QByteArray> card;
        for (int c = 1; c <= archive().valueCount(); ++c)
            card << t->BlobTextAt(c);
        out << card;
    }
    return out;
}

// Cards the editor accepts: trimmed, without ';' or '"', a name and an
// address, line breaks only in the note (as CR LF), province as typed.
const QList<Card> kCards {
    { { "varContatto", "Nicol\xF2 R\xE0v\xE0" }, { "varEmail", "nicolo@esempio.it" },
        { "varAzienda", "Rossi, Bianchi & C." }, { "varCitta", "Forl\xEC" }, { "varProv", "FC" },
        { "varCap", "47121" }, { "varIndirizzo", "Corso della Repubblica, 12" },
        { "varNote", "Prima riga\r\nSeconda riga: \x80 10,50\r\n\r\nEND:VCARD\r\nBEGIN:VCARD" } },
    { { "varContatto", "Rossi  Mario" }, { "varEmail", "m@x.it" }, { "varCodice", "C-001" },
        { "varQualifica", "Resp. acquisti, estero" }, { "varGruppo", "Clienti, Fornitori" },
        { "varCel", "tel:333 1" }, { "varCasa", "02 1" }, { "varUff", "+39 02 2" }, { "varFax", "02 3" },
        { "varCodFisc", "RSSMRA70A01F205X" }, { "varIva", "01234567890" },
        { "varIban", "IT60X0542811101000000123456" }, { "varPagamenti", "30 gg, bonifico \\ RiBa" },
        { "varNote", "C:\\percorso\\n non \xE8 un a capo" } },
    { { "varContatto", "Solo Nome" }, { "varEmail", "m@x.it" } }, // the same address again
    { { "varContatto", "Tab\tinterno \x81\x8D\x8F\x90\x9D" }, { "varEmail", "t@x.it" },
        { "varAzienda", "A ::: B" }, { "varProv", "ZZ" }, { "varCitta", "Citt\xE0\xA0" },
        { "varNote", QByteArray(400, '\xE8') + "\r\n" + QByteArray(300, 'a') } },
    { { "varContatto", "\xC0ngela \xAB\x9C\xBB" }, { "varEmail", "\xE0@x.it" }, { "varProv", "\xE8" "1" },
        { "varQualifica", "=QUOTED-PRINTABLE=" } },
};

// Exports the cards of a fresh archive, imports the file into another one
// and hands both archives' cards back.
std::pair<QList<QList<QByteArray>>, QList<QList<QByteArray>>> roundTrip(
    const QList<Card>& cards, Format format, QByteArray* file = nullptr)
{
    QTemporaryDir dir;
    TSQLiteDatabase from(dir.filePath("a.db"));
    from.Execute(archive().createStatement());
    from.StartTransaction();
    for (const Card& c : cards)
        from.Execute(archive().insert(valuesOf(c)));
    from.CommitTransaction();
    const QString path = dir.filePath("out." + ContactExport::suffix(format));
    QFile(path).open(QIODevice::WriteOnly);
    int written = 0;
    if (const QString error = ContactExport::write(from, {}, format, path, &written); !error.isEmpty())
        qFatal("%s", qPrintable(error));
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    if (file)
        *file = bytes;

    QString refusal;
    auto session = ImportSession::open(path, bytes, &refusal);
    while (!session->advance(1000)) { }
    TSQLiteDatabase to(dir.filePath("b.db"));
    to.Execute(archive().createStatement());
    session->store(to, true);
    return { cardsOf(from), cardsOf(to) };
}

} // namespace

class TestContactExport : public QObject {
    Q_OBJECT

private slots:
    void vcardText_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("4.0") << int(ContactWriters::VCardVersion::V4)
                             << QByteArray("BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Rossi\\, Mario\r\nN:Rossi\\, Mario;;;;\r\n"
                                           "ORG:Caff\xC3\xA8 \xE2\x82\xAC\r\nEMAIL:m@x.it\r\n"
                                           "TEL;TYPE=cell:333\r\nTEL;TYPE=work,fax;VALUE=text:tel:02\r\n"
                                           "ADR:;;Via Roma\\, 1;Roma;RM;00100;\r\n"
                                           "NOTE:a\\nb\\\\n\\;c\r\nX-VELMARO-IBAN:IT00\r\nEND:VCARD\r\n");
        QTest::newRow("3.0") << int(ContactWriters::VCardVersion::V3)
                             << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Rossi\\, Mario\r\nN:Rossi\\, Mario;;;;\r\n"
                                           "ORG:Caff\xC3\xA8 \xE2\x82\xAC\r\nEMAIL;TYPE=INTERNET:m@x.it\r\n"
                                           "TEL;TYPE=CELL:333\r\nTEL;TYPE=WORK,FAX;VALUE=text:tel:02\r\n"
                                           "ADR:;;Via Roma\\, 1;Roma;RM;00100;\r\n"
                                           "NOTE:a\\nb\\\\n\\;c\r\nX-VELMARO-IBAN:IT00\r\nEND:VCARD\r\n");
    }

    void vcardText()
    {
        QFETCH(int, version);
        QFETCH(QByteArray, expected);
        const Card card { { "varContatto", "Rossi, Mario" }, { "varAzienda", "Caff\xE8 \x80" },
            { "varEmail", "m@x.it" }, { "varCel", "333" }, { "varFax", "tel:02" }, { "varIndirizzo", "Via Roma, 1" },
            { "varCitta", "Roma" }, { "varProv", "RM" }, { "varCap", "00100" }, { "varNote", "a\r\nb\\n;c" },
            { "varIban", "IT00" } };
        QCOMPARE(ContactWriters::vcard(valuesOf(card), ContactWriters::VCardVersion(version)), expected);
    }

    void foldingKeepsCharactersWhole()
    {
        for (int shift = 0; shift < 4; ++shift) {
            const Card card { { "varContatto", "N" }, { "varEmail", "e@x.it" },
                { "varNote", QByteArray(shift, 'a') + QByteArray(200, '\x80') + QByteArray(90, '\xE8')
                        + QByteArray(80, ',') + QByteArray(80, '\\') } };
            const QByteArray v = ContactWriters::vcard(valuesOf(card), ContactWriters::VCardVersion::V4);
            QVERIFY(v.endsWith("\r\n"));
            QByteArray unfolded;
            for (const QByteArray& line : v.split('\n')) {
                if (line.isEmpty())
                    continue;
                QVERIFY(line.endsWith('\r'));
                const QByteArray text = line.chopped(1);
                QVERIFY2(text.size() <= 75, text.constData());
                // No line ends inside an escape: backslashes at its end come in pairs.
                qsizetype slashes = 0;
                while (slashes < text.size() && text[text.size() - 1 - slashes] == '\\')
                    ++slashes;
                QCOMPARE(slashes % 2, 0);
                if (text.startsWith(' ')) {
                    // A continuation never starts inside a character.
                    QVERIFY((static_cast<unsigned char>(text[1]) & 0xC0) != 0x80);
                    unfolded += text.mid(1);
                } else {
                    unfolded += '\n' + text;
                }
            }
            QString escaped = Cp1252::decode(card.value("varNote"));
            escaped.replace(u'\\', QLatin1String("\\\\")).replace(u',', QLatin1String("\\,"));
            QVERIFY(QString::fromUtf8(unfolded).contains(QStringLiteral("NOTE:") + escaped));
        }
    }

    void csvText()
    {
        const Card card { { "varContatto", "Rossi, Mario" }, { "varEmail", "m@x.it" }, { "varCitta", "Citt\xE0" },
            { "varNote", "a\r\nb" } };
        QCOMPARE(ContactWriters::csvHeadings(';'),
            QByteArray("Cognome e nome;Codice ID;Azienda;Qualifica;E-mail;Gruppo;Indirizzo;Citt\xC3\xA0;CAP;Prov.;"
                       "Cellulare;Tel. casa;Tel. uff.;Fax;Cod. fiscale;Partita Iva;IBAN;Pagamenti;Note\r\n"));
        QCOMPARE(ContactWriters::csvRow(valuesOf(card), ';'),
            QByteArray("Rossi, Mario;;;;m@x.it;;;Citt\xC3\xA0;;;;;;;;;;;\"a\r\nb\"\r\n"));
        QCOMPARE(ContactWriters::csvRow(valuesOf(card), ','),
            QByteArray("\"Rossi, Mario\",,,,m@x.it,,,Citt\xC3\xA0,,,,,,,,,,,\"a\r\nb\"\r\n"));
    }

    // What no card of the editor holds still reaches the file intact.
    void fileKeepsSemicolonsAndQuotes()
    {
        const Card card { { "varContatto", "A;\"B\"" }, { "varEmail", "e@x.it" }, { "varAzienda", "x;y,z\\" } };
        const QList<VCard> cards
            = VCardReader::read(ContactWriters::vcard(valuesOf(card), ContactWriters::VCardVersion::V3));
        QCOMPARE(cards.size(), 1);
        QCOMPARE(cards[0].properties[1].text, QStringLiteral("A;\"B\""));
        QCOMPARE(cards[0].properties[3].text, QStringLiteral("x;y,z\\"));
        const CsvTable t
            = CsvReader::read(ContactWriters::csvHeadings(',') + ContactWriters::csvRow(valuesOf(card), ','));
        QCOMPARE(t.rows[0].fields.value(0), QStringLiteral("A;\"B\""));
        QCOMPARE(t.rows[0].fields.value(2), QStringLiteral("x;y,z\\"));
    }

    void importGivesBackTheSameCards_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("vCard 4.0") << int(Format::VCard4);
        QTest::newRow("vCard 3.0") << int(Format::VCard3);
        QTest::newRow("CSV ;") << int(Format::CsvSemicolon);
        QTest::newRow("CSV ,") << int(Format::CsvComma);
    }

    void importGivesBackTheSameCards()
    {
        QFETCH(int, format);
        QByteArray file;
        const auto [exported, imported] = roundTrip(kCards, Format(format), &file);
        QCOMPARE(imported.size(), exported.size());
        for (qsizetype i = 0; i < exported.size(); ++i)
            QCOMPARE(imported[i], exported[i]);
        if (Format(format) == Format::CsvSemicolon || Format(format) == Format::CsvComma)
            QVERIFY(file.startsWith(ContactWriters::kUtf8Bom));
        QVERIFY(!file.contains("\n\n"));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(file);
        QVERIFY(!utf8.hasError());
    }

    // Random cards of what the editor accepts, each format.
    void randomCardsComeBack()
    {
        QRandomGenerator rng(26);
        const QList<QByteArray>& columns = archive().valueColumns();
        QList<Card> cards;
        for (int n = 0; n < 150; ++n) {
            Card card;
            for (int c = 0; c < 19; ++c) {
                QByteArray v;
                const int length = int(rng.bounded(12));
                for (int i = 0; i < length; ++i) {
                    char ch = char(rng.bounded(1, 256));
                    if (ch == ';' || ch == '"' || ((ch == '\r' || ch == '\n') && columns[c] != "varNote"))
                        ch = ' ';
                    if (ch == '\r' || ch == '\n') {
                        v += "\r\n";
                        continue;
                    }
                    v += ch;
                }
                if (columns[c] == "varProv") {
                    v = v.left(2);
                    for (char& ch : v) // as typed: a-z become capitals
                        if (ch >= 'a' && ch <= 'z')
                            ch = char(ch - 32);
                }
                v = CardText::trimmed(v);
                if (!v.isEmpty())
                    card.insert(columns[c], v);
            }
            if (card.value("varContatto").isEmpty())
                card.insert("varContatto", "N" + QByteArray::number(n));
            if (card.value("varEmail").isEmpty())
                card.insert("varEmail", "e@x.it");
            cards << card;
        }
        for (Format format : { Format::VCard4, Format::VCard3, Format::CsvSemicolon, Format::CsvComma }) {
            const auto [exported, imported] = roundTrip(cards, format);
            QCOMPARE(imported.size(), exported.size());
            for (qsizetype i = 0; i < exported.size(); ++i)
                QCOMPARE(imported[i], exported[i]);
        }
    }

    void searchResultOnly()
    {
        QTemporaryDir dir;
        TSQLiteDatabase db(dir.filePath("a.db"));
        db.Execute(archive().createStatement());
        db.StartTransaction();
        for (int i = 0; i < 2500; ++i)
            db.Execute(archive().insert(valuesOf(
                { { "varContatto", "C" + QByteArray::number(i) }, { "varEmail", "e@x.it" },
                    { "varCitta", i % 3 ? "Roma" : "Milano" } })));
        db.CommitTransaction();
        const QList<QByteArray> milano { CardArchive::likeCondition("varCitta", "Milano") };
        QCOMPARE(ContactExport::count(db, milano), 834);
        const QString path = dir.filePath("x.csv");
        QList<int> progress;
        int written = 0;
        QCOMPARE(ContactExport::write(db, milano, Format::CsvComma, path, &written,
                     [&](int done, int total) { progress << done << total; }),
            QString());
        QCOMPARE(written, 834);
        QCOMPARE(progress, QList<int>({ 834, 834 }));
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QCOMPARE(f.readAll().count("Milano"), 834);
    }
};

QTEST_GUILESS_MAIN(TestContactExport)
#include "test_contact_export.moc"
