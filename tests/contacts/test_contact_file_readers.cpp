#include "contacts/import/contact_mapping.h"
#include "contacts/import/csv_reader.h"
#include "contacts/import/vcard_reader.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
using Values = QHash<QByteArray, QString>;

QList<QByteArray> keys(const Values& v)
{
    QList<QByteArray> k = v.keys();
    std::sort(k.begin(), k.end());
    return k;
}
} // namespace

class TestContactFileReaders : public QObject {
    Q_OBJECT

private slots:
    void vcardToContact_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Values>("expected");

        // A phone's 2.1 export: quoted-printable in UTF-8 with a soft break,
        // bare type parameters, a grouped property.
        QTest::newRow("2.1 phone") << QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\n"
                                                 "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Nicol=C3=B2;Fran=\r\n"
                                                 "cesca;;;\r\n"
                                                 "FN:Francesca Nicolò\r\n"
                                                 "TEL;CELL;PREF:+39 333 1234567\r\n"
                                                 "TEL;WORK;VOICE:02 555 1234\r\n"
                                                 "TEL;HOME:02 777 1234\r\n"
                                                 "TEL;WORK;FAX:02 555 9999\r\n"
                                                 "item1.EMAIL;INTERNET:f.nicolo@esempio.it\r\n"
                                                 "NOTE;ENCODING=QUOTED-PRINTABLE:Prima riga=0D=0ASeconda\r\n"
                                                 "END:VCARD\r\n")
                                  << Values { { "varContatto", QStringLiteral("Nicolò Francesca") },
                                         { "varCel", "+39 333 1234567" }, { "varUff", "02 555 1234" },
                                         { "varCasa", "02 777 1234" }, { "varFax", "02 555 9999" },
                                         { "varEmail", "f.nicolo@esempio.it" },
                                         { "varNote", "Prima riga\r\nSeconda" } };
        QTest::newRow("2.1 cp1252 charset")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=WINDOWS-1252:Citt\xE0;Lu\xEC\nEMAIL:l@x.it\nEND:VCARD\n")
            << Values { { "varContatto", QStringLiteral("Città Luì") }, { "varEmail", "l@x.it" } };
        // 3.0 as desktop programs write it: folded lines, escapes, TYPE lists.
        QTest::newRow("3.0 folded, escaped")
            << QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rossi;Mario;;Dott.;\r\nFN:Dott. Mario Rossi\r\n"
                          "ORG:Rossi\\, Bianchi & C. S.r.l.;Vendite\r\n"
                          "TITLE:Direttore\r\n"
                          "EMAIL;TYPE=INTERNET,WORK:mario@rossi.it\r\n"
                          "EMAIL;TYPE=INTERNET,HOME:mario@casa.it\r\n"
                          "TEL;TYPE=CELL:333 1\r\nTEL;TYPE=CELL:333 2\r\n"
                          "ADR;TYPE=WORK:;Scala B;Via Roma\\, 1;Milano;mi;20121;Italia\r\n"
                          "NOTE:Cliente dal 2010\\nchiamare\\; di mattina. Una nota molto lunga che il p\r\n"
                          " rogramma ha piegato\r\n"
                          "URL:https://rossi.it\r\n"
                          "X-ABUID:1234\r\n"
                          "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg\r\n  AAQSkZJRg\r\n"
                          "END:VCARD\r\n")
            << Values { { "varContatto", "Rossi Mario" }, { "varAzienda", "Rossi, Bianchi & C. S.r.l., Vendite" },
                   { "varQualifica", "Direttore" }, { "varEmail", "mario@rossi.it" }, { "varCel", "333 1" },
                   { "varIndirizzo", "Via Roma, 1, Scala B" }, { "varCitta", "Milano" }, { "varCap", "20121" },
                   { "varProv", "MI" },
                   { "varNote",
                       "Cliente dal 2010\r\nchiamare; di mattina. Una nota molto lunga che il programma ha piegato\r\n"
                       "E-mail: mario@casa.it\r\nCellulare: 333 2\r\nSito: https://rossi.it" } };
        QTest::newRow("4.0, FN only, foreign region")
            << QByteArray("BEGIN:VCARD\nVERSION:4.0\nFN:Anna Weber\nEMAIL;TYPE=\"work,pref\":anna@weber.de\n"
                          "TEL;VALUE=uri;TYPE=\"voice,work\":tel:+49-30-1234\n"
                          "ADR;TYPE=home:;;Hauptstr. 5;Berlin;Berlin;10115;Germania\nEND:VCARD\n")
            << Values { { "varContatto", "Anna Weber" }, { "varEmail", "anna@weber.de" },
                   { "varUff", "+49-30-1234" }, { "varIndirizzo", "Hauptstr. 5" }, { "varCitta", "Berlin" },
                   { "varCap", "10115" }, { "varNote", "Provincia: Berlin\r\nPaese: Germania" } };
    }

    void vcardToContact()
    {
        QFETCH(QByteArray, file);
        QFETCH(Values, expected);
        const QList<VCard> cards = VCardReader::read(file);
        QCOMPARE(cards.size(), 1);
        const ImportedContact c = ContactMapping::fromVCard(cards.first());
        QCOMPARE(keys(c.values), keys(expected));
        QCOMPARE(c.values, expected);
        QCOMPARE(c.line, cards.first().line);
        QVERIFY2(c.problems.isEmpty(), qPrintable(c.problems.join(u'|')));
    }

    void vcardProblemsStayWithTheirCard()
    {
        const QByteArray file = "junk before\nBEGIN:VCARD\nFN:Uno\nsenza due punti\nEND:VCARD\n"
                                "BEGIN:VCARD\nFN:Due\nAGENT:\nBEGIN:VCARD\nFN:Agente\nEND:VCARD\nEMAIL:d@x.it\n"
                                "END:VCARD\nBEGIN:VCARD\nFN:Tre\nN;CHARSET=NON-ESISTE:A;B\n";
        const QList<VCard> cards = VCardReader::read(file);
        QCOMPARE(cards.size(), 3);
        QCOMPARE(cards[0].line, 2);
        QCOMPARE(cards[0].problems.size(), 1);
        QVERIFY(cards[0].problems[0].startsWith("riga 4"));
        QVERIFY(cards[1].problems.isEmpty());
        QCOMPARE(ContactMapping::fromVCard(cards[1]).values.value("varContatto"), QStringLiteral("Due"));
        QCOMPARE(ContactMapping::fromVCard(cards[1]).values.value("varEmail"), QStringLiteral("d@x.it"));
        QCOMPARE(cards[2].problems.size(), 2); // unknown charset, missing END
        QCOMPARE(ContactMapping::fromVCard(cards[2]).values.value("varContatto"), QStringLiteral("A B"));
    }

    void csvRecords_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QList<int>>("lines");

        QTest::newRow("bom, semicolons, quoted breaks")
            << QByteArray("\xEF\xBB\xBFNome;Cognome;Note\r\nLuca;\"De; Santis\";\"riga 1\r\nriga \"\"2\"\"\"\r\n"
                          "\r\nMaria;Neri;\r\n")
            << QChar(u';') << QStringLiteral("UTF-8")
            << QList<QStringList> { { "Nome", "Cognome", "Note" }, { "Luca", "De; Santis", "riga 1\r\nriga \"2\"" },
                   { "Maria", "Neri", "" } }
            << QList<int> { 2, 5 };
        QTest::newRow("windows-1252, commas, no final break")
            << QByteArray("Name,E-mail,City\nNiccol\xF2,n@x.it,\"Forl\xEC, FC\"\n,,\nZo\x80,z@x.it,X") << QChar(u',')
            << QStringLiteral("Windows-1252")
            << QList<QStringList> { { "Name", "E-mail", "City" }, { QStringLiteral("Niccolò"), "n@x.it", QStringLiteral("Forlì, FC") },
                   { "", "", "" }, { QStringLiteral("Zo€"), "z@x.it", "X" } }
            << QList<int> { 2, 3, 4 };
        QTest::newRow("quoted separator in heading does not count")
            << QByteArray("\"a;b;c\",d\n1,2\n") << QChar(u',') << QStringLiteral("UTF-8")
            << QList<QStringList> { { "a;b;c", "d" }, { "1", "2" } } << QList<int> { 2 };
    }

    void csvRecords()
    {
        QFETCH(QByteArray, file);
        QFETCH(QChar, separator);
        QFETCH(QString, encoding);
        QFETCH(QList<QStringList>, rows);
        QFETCH(QList<int>, lines);
        const CsvTable t = CsvReader::read(file);
        QCOMPARE(t.separator, separator);
        QCOMPARE(t.encoding, encoding);
        QCOMPARE(t.headings, rows.first());
        QCOMPARE(t.rows.size(), rows.size() - 1);
        for (qsizetype i = 0; i < t.rows.size(); ++i) {
            QCOMPARE(t.rows[i].fields, rows[i + 1]);
            QCOMPARE(t.rows[i].line, lines[i]);
            QVERIFY(t.rows[i].problems.isEmpty());
        }
    }

    void csvRowProblems()
    {
        const CsvTable t = CsvReader::read("a,b\n1,2,3\n1,2,,\n\"open,4\n");
        QCOMPARE(t.rows.size(), 3);
        QCOMPARE(t.rows[0].fields, QStringList({ "1", "2" }));
        QCOMPARE(t.rows[0].problems.size(), 1); // a third value is dropped: say so
        QVERIFY(t.rows[1].problems.isEmpty());  // empty trailing fields are no loss
        QCOMPARE(t.rows[2].fields, QStringList({ "open,4\n" }));
        QCOMPARE(t.rows[2].problems.size(), 1);
    }

    void headingTargets_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QByteArray>("target");
        const QList<std::pair<const char*, QByteArray>> cases {
            { "Cognome e nome", "varContatto" }, { "First Name", ContactMapping::kGivenName },
            { "Last Name", ContactMapping::kFamilyName }, { "E-mail Address", "varEmail" },
            { "  EMAIL ", "varEmail" }, { "E-mail 1 - Value", "varEmail" }, { "Tel. uff.", "varUff" },
            { "Business Phone", "varUff" }, { "Mobile Phone", "varCel" }, { "Cellulare", "varCel" },
            { "Città", "varCitta" }, { "CITTA'", "varCitta" }, { "Citta", "varCitta" }, { "C.A.P.", "varCap" },
            { "Home Postal Code", "varCap" }, { "Provincia", "varProv" }, { "Società", "varAzienda" },
            { "Job Title", "varQualifica" }, { "Partita IVA", "varIva" }, { "Notes", "varNote" },
            { "varIban", "varIban" }, { "Birthday", ContactMapping::kJoinNote }, { "", ContactMapping::kJoinNote },
        };
        for (const auto& [h, t] : cases)
            QTest::newRow(h) << QString::fromUtf8(h) << t;
    }

    void headingTargets()
    {
        QFETCH(QString, heading);
        QFETCH(QByteArray, target);
        QCOMPARE(ContactMapping::targetOf(heading), target);
    }

    void csvToContacts()
    {
        const CsvTable t = CsvReader::read("First Name,Last Name,Name,E-mail Address,E-mail 2 Address,Home State,"
                                           "Birthday,Mobile Phone,Notes\n"
                                           "Mario,Rossi,Mario Rossi,m@r.it,m2@r.it,to,1970-01-01,333,\"a\nb\"\n"
                                           ",,Ditta X,x@x.it,,Lazio,,,\n");
        const QList<QByteArray> targets = ContactMapping::guessTargets(t.headings);
        QCOMPARE(targets[4], QByteArray(ContactMapping::kJoinNote)); // the second e-mail
        const QList<ImportedContact> c = ContactMapping::fromCsv(t, targets);
        QCOMPARE(c.size(), 2);
        QCOMPARE(c[0].values,
            (Values { { "varContatto", "Rossi Mario" }, { "varEmail", "m@r.it" }, { "varProv", "TO" },
                { "varCel", "333" },
                { "varNote", "a\r\nb\r\nE-mail 2 Address: m2@r.it\r\nBirthday: 1970-01-01" } }));
        QCOMPARE(c[1].values,
            (Values { { "varContatto", "Ditta X" }, { "varEmail", "x@x.it" }, { "varNote", "Provincia: Lazio" } }));
        QCOMPARE(c[1].line, 4); // the first row spans two lines

        // A column the user sends nowhere is not read at all.
        QList<QByteArray> changed = targets;
        changed[8] = ContactMapping::kIgnore;
        QVERIFY(!ContactMapping::fromCsv(t, changed)[0].values.value("varNote").startsWith("a"));
    }

    void junkNeverCrashes()
    {
        QRandomGenerator rng(18);
        QList<QByteArray> samples;
        for (int i = 0; i < 200; ++i) {
            QByteArray b(int(rng.bounded(2000)), Qt::Uninitialized);
            for (char& c : b)
                c = char(rng.bounded(256));
            samples << b << "BEGIN:VCARD\n" + b << "N;ENCODING=QUOTED-PRINTABLE:=" + b.left(3);
        }
        const QByteArray card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:A;B\r\nEMAIL:a@b.it\r\nEND:VCARD\r\n";
        for (int cut = 0; cut < card.size(); ++cut)
            samples << card.left(cut);
        samples << "a,b\n\"" + QByteArray(10 * 1024 * 1024, 'x') << "BEGIN:VCARD\nNOTE:" + QByteArray(10 * 1024 * 1024, ';');
        for (const QByteArray& s : samples) {
            const CsvTable t = CsvReader::read(s);
            ContactMapping::fromCsv(t, ContactMapping::guessTargets(t.headings));
            ContactMapping::fromVCards(VCardReader::read(s));
        }
    }
};

QTEST_GUILESS_MAIN(TestContactFileReaders)
#include "test_contact_file_readers.moc"
