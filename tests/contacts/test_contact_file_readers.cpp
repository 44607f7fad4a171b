#include "contacts/import/contact_mapping.h"
#include "contacts/import/csv_reader.h"
#include "contacts/import/heading_table.h"
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

// The heading rows of the usual exports, as the programs write them.
const QString kDesktopItalian = QStringLiteral(
    "Nome,Cognome,Nome visualizzato,Soprannome,Indirizzo email principale,Indirizzo email secondario,Nome schermo,"
    "Tel. ufficio,Tel. abitazione,Numero fax,Numero cercapersone,Numero cellulare,Indirizzo abitazione,"
    "Indirizzo abitazione 2,Città abitazione,Provincia abitazione,CAP abitazione,Nazione abitazione,"
    "Indirizzo ufficio,Indirizzo ufficio 2,Città ufficio,Provincia ufficio,CAP ufficio,Nazione ufficio,"
    "Pagina web 1,Pagina web 2,Qualifica,Reparto,Organizzazione,Anno di nascita,Mese di nascita,Giorno di nascita,"
    "Personalizzato 1,Personalizzato 2,Personalizzato 3,Personalizzato 4,Note,");
const QString kDesktopEnglish = QStringLiteral(
    "First Name,Last Name,Display Name,Nickname,Primary Email,Secondary Email,Screen Name,Work Phone,Home Phone,"
    "Fax Number,Pager Number,Mobile Number,Home Address,Home Address 2,Home City,Home State,Home ZipCode,"
    "Home Country,Work Address,Work Address 2,Work City,Work State,Work ZipCode,Work Country,Web Page 1,Web Page 2,"
    "Job Title,Department,Organization,Birth Year,Birth Month,Birth Day,Custom 1,Custom 2,Custom 3,Custom 4,Notes,");
const QString kOfficeItalian = QStringLiteral(
    "\"Titolo\",\"Nome\",\"Secondo nome\",\"Cognome\",\"Titolo straniero\",\"Società\",\"Reparto\",\"Posizione\","
    "\"Via (uff.)\",\"Via (uff.) 2\",\"Via (uff.) 3\",\"Città (uff.)\",\"Provincia (uff.)\",\"CAP (uff.)\","
    "\"Paese (uff.)\",\"Via (ab.)\",\"Via (ab.) 2\",\"Via (ab.) 3\",\"Città (ab.)\",\"Provincia (ab.)\","
    "\"CAP (ab.)\",\"Paese (ab.)\",\"Altra via\",\"Altra via 2\",\"Altra via 3\",\"Altra città\","
    "\"Altra provincia\",\"Altro CAP\",\"Altro paese\",\"Telefono assistente\",\"Fax (uff.)\","
    "\"Telefono (uff.)\",\"Telefono (uff.) 2\",\"Richiamata automatica\",\"Telefono auto\","
    "\"Telefono principale società\",\"Fax (ab.)\",\"Telefono (ab.)\",\"Telefono (ab.) 2\",\"ISDN\","
    "\"Cellulare\",\"Altro fax\",\"Altro telefono\",\"Cercapersone\",\"Telefono principale\","
    "\"Radiotelefono\",\"Telefono TTY/TDD\",\"Telex\",\"Account\",\"Anniversario\",\"Nome assistente\","
    "\"Dati fatturazione\",\"Compleanno\",\"Casella postale (uff.)\",\"Categorie\",\"Figli\","
    "\"Server di elenchi in linea\",\"Indirizzo posta elettronica\",\"Tipo posta elettronica\","
    "\"Nome visualizzato posta elettronica\",\"Indirizzo posta elettronica 2\",\"Tipo posta elettronica 2\","
    "\"Nome visualizzato posta elettronica 2\",\"Indirizzo posta elettronica 3\",\"Tipo posta elettronica 3\","
    "\"Nome visualizzato posta elettronica 3\",\"Sesso\",\"Numero ID governativo\",\"Hobby\","
    "\"Casella postale (ab.)\",\"Iniziali\",\"Disponibilità Internet\",\"Parole chiave\",\"Lingua\",\"Luogo\","
    "\"Nome manager\",\"Indennità trasferta\",\"Note\",\"Ufficio\",\"Numero ID organizzazione\","
    "\"Altra casella postale\",\"Priorità\",\"Privato\",\"Professione\",\"Presentato da\",\"Riservatezza\","
    "\"Nome coniuge\",\"Utente 1\",\"Utente 2\",\"Utente 3\",\"Utente 4\",\"Pagina Web\"");
const QString kOfficeEnglish = QStringLiteral(
    "Title,First Name,Middle Name,Last Name,Suffix,Company,Department,Job Title,Business Street,Business Street 2,"
    "Business Street 3,Business City,Business State,Business Postal Code,Business Country/Region,Home Street,"
    "Home Street 2,Home Street 3,Home City,Home State,Home Postal Code,Home Country/Region,Other Street,"
    "Other Street 2,Other Street 3,Other City,Other State,Other Postal Code,Other Country/Region,"
    "Assistant's Phone,Business Fax,Business Phone,Business Phone 2,Callback,Car Phone,Company Main Phone,"
    "Home Fax,Home Phone,Home Phone 2,ISDN,Mobile Phone,Other Fax,Other Phone,Pager,Primary Phone,Radio Phone,"
    "TTY/TDD Phone,Telex,Account,Anniversary,Assistant's Name,Billing Information,Birthday,"
    "Business Address PO Box,Categories,Children,Directory Server,E-mail Address,E-mail Type,"
    "E-mail Display Name,E-mail 2 Address,E-mail 2 Type,E-mail 2 Display Name,E-mail 3 Address,E-mail 3 Type,"
    "E-mail 3 Display Name,Gender,Government ID Number,Hobby,Home Address PO Box,Initials,Internet Free Busy,"
    "Keywords,Language,Location,Manager's Name,Mileage,Notes,Office Location,Organizational ID Number,"
    "Other Address PO Box,Priority,Private,Profession,Referred By,Sensitivity,Spouse,User 1,User 2,User 3,User 4,"
    "Web Page");
const QString kWebmailOlder = QStringLiteral(
    "Name,Given Name,Additional Name,Family Name,Yomi Name,Given Name Yomi,Additional Name Yomi,Family Name Yomi,"
    "Name Prefix,Name Suffix,Initials,Nickname,Short Name,Maiden Name,Birthday,Gender,Location,"
    "Billing Information,Directory Server,Mileage,Occupation,Hobby,Sensitivity,Priority,Subject,Notes,Language,"
    "Photo,Group Membership,E-mail 1 - Type,E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
    "Phone 2 - Value,Phone 3 - Type,Phone 3 - Value,Address 1 - Type,Address 1 - Formatted,Address 1 - Street,"
    "Address 1 - City,Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,Address 1 - Country,"
    "Address 1 - Extended Address,Organization 1 - Type,Organization 1 - Name,Organization 1 - Yomi Name,"
    "Organization 1 - Title,Organization 1 - Department,Organization 1 - Symbol,Organization 1 - Location,"
    "Organization 1 - Job Description,Website 1 - Type,Website 1 - Value");
const QString kWebmailNewer = QStringLiteral(
    "First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Middle Name,Phonetic Last Name,Name Prefix,"
    "Name Suffix,Nickname,File As,Organization Name,Organization Title,Organization Department,Birthday,Notes,"
    "Photo,Labels,E-mail 1 - Label,E-mail 1 - Value,E-mail 2 - Label,E-mail 2 - Value,Phone 1 - Label,"
    "Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Address 1 - Label,Address 1 - Formatted,"
    "Address 1 - Street,Address 1 - City,Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,"
    "Address 1 - Country,Address 1 - Extended Address,Address 2 - Label,Address 2 - Formatted,"
    "Address 2 - Street,Address 2 - City,Address 2 - PO Box,Address 2 - Region,Address 2 - Postal Code,"
    "Address 2 - Country,Address 2 - Extended Address,Website 1 - Label,Website 1 - Value");

// A file of that heading row and one row with the given values under their
// headings, the others empty.
QByteArray fileOf(const QString& headingRow, const QList<std::pair<QString, QString>>& values)
{
    const CsvTable t = CsvReader::read(headingRow.toUtf8());
    QStringList row(t.headings.size());
    for (const auto& [heading, value] : values) {
        const qsizetype at = t.headings.indexOf(heading);
        if (at < 0)
            qFatal("no heading %s", qPrintable(heading));
        row[at] = u'"' + QString(value).replace(u'"', QLatin1String("\"\"")) + u'"';
    }
    return (headingRow + QStringLiteral("\r\n") + row.join(t.separator) + QStringLiteral("\r\n")).toUtf8();
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
        QCOMPARE(keys(c.values()), keys(expected));
        QCOMPARE(c.values(), expected);
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
        QCOMPARE(ContactMapping::fromVCard(cards[1]).values().value("varContatto"), QStringLiteral("Due"));
        QCOMPARE(ContactMapping::fromVCard(cards[1]).values().value("varEmail"), QStringLiteral("d@x.it"));
        QCOMPARE(cards[2].problems.size(), 2); // unknown charset, missing END
        QCOMPARE(ContactMapping::fromVCard(cards[2]).values().value("varContatto"), QStringLiteral("A B"));
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
            { "Cognome e nome", "txtContatto" }, { "First Name", ContactMapping::kGivenName },
            { "Last Name", ContactMapping::kFamilyName }, { "E-mail Address", "txtEmail" },
            { "  EMAIL ", "txtEmail" }, { "E-mail 1 - Value", "txtEmail" }, { "Tel. uff.", "txtUff" },
            { "Business Phone", "txtUff" }, { "Mobile Phone", "txtCel" }, { "Cellulare", "txtCel" },
            { "Città", "txtCitta" }, { "CITTA'", "txtCitta" }, { "Citta", "txtCitta" }, { "C.A.P.", "txtCap" },
            { "Home Postal Code", "txtCap" }, { "Provincia", "txtProv" }, { "Società", "txtAzienda" },
            { "Job Title", "txtQualifica" }, { "Partita IVA", "txtIva" }, { "Notes", "txtNote" },
            { "varIban", "txtIban" }, { "Birthday", ContactMapping::kJoinNote }, { "", ContactMapping::kJoinNote },
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
        const ContactMapping::Mapping targets = ContactMapping::guessMapping(t.headings);
        QCOMPARE(targets[4].target, QByteArray("txtEmail")); // the second e-mail, to the note when the first is there
        const QList<ImportedContact> c = ContactMapping::fromCsv(t, targets);
        QCOMPARE(c.size(), 2);
        QCOMPARE(c[0].values(),
            (Values { { "varContatto", "Rossi Mario" }, { "varEmail", "m@r.it" }, { "varProv", "TO" },
                { "varCel", "333" },
                { "varNote", "a\r\nb\r\nE-mail 2 Address: m2@r.it\r\nBirthday: 1970-01-01" } }));
        QCOMPARE(c[1].values(),
            (Values { { "varContatto", "Ditta X" }, { "varEmail", "x@x.it" }, { "varNote", "Provincia: Lazio" } }));
        QCOMPARE(c[1].line, 4); // the first row spans two lines

        // A column the user sends nowhere is not read at all.
        ContactMapping::Mapping changed = targets;
        changed[8].target = ContactMapping::kIgnore;
        QVERIFY(!ContactMapping::fromCsv(t, changed)[0].values().value("varNote").startsWith("a"));
    }

    void headingTableRows_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QByteArray>("target");
        for (const HeadingTable::Row& r : HeadingTable::rows())
            QTest::newRow(r.heading) << QString::fromUtf8(r.heading) << QByteArray(r.target);
    }

    // Every row of the table is reached by its own heading: no two rows
    // collide once accents, case, punctuation and numbers are set aside.
    void headingTableRows()
    {
        QFETCH(QString, heading);
        QFETCH(QByteArray, target);
        QCOMPARE(ContactMapping::targetOf(heading), target);
        QCOMPARE(ContactMapping::targetOf(heading.toUpper() + QStringLiteral("  ")), target);
    }

    void usualExports_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Values>("expected");

        QTest::newRow("desktop mail program, Italian: home address, second e-mail")
            << fileOf(kDesktopItalian,
                   { { "Nome", "Mario" }, { "Cognome", "Rossi" }, { "Nome visualizzato", "Mario Rossi" },
                       { "Indirizzo email principale", "mario@rossi.it" },
                       { "Indirizzo email secondario", "m.rossi@casa.it" }, { "Tel. ufficio", "02 1234" },
                       { "Tel. abitazione", "02 5678" }, { "Numero fax", "02 9999" },
                       { "Numero cellulare", "333 1234567" }, { "Indirizzo abitazione", "Via Roma 1" },
                       { "Indirizzo abitazione 2", "Scala B" }, { "Città abitazione", "Milano" },
                       { "Provincia abitazione", "mi" }, { "CAP abitazione", "20121" },
                       { "Nazione abitazione", "Italia" }, { "Indirizzo ufficio", "Corso Como 5" },
                       { "Città ufficio", "Milano" }, { "Qualifica", "Impiegato" }, { "Reparto", "Vendite" },
                       { "Organizzazione", "Rossi Srl" }, { "Anno di nascita", "1970" }, { "Note", "Cliente storico" } })
            << Values { { "varContatto", "Rossi Mario" }, { "varEmail", "mario@rossi.it" }, { "varUff", "02 1234" },
                   { "varCasa", "02 5678" }, { "varFax", "02 9999" }, { "varCel", "333 1234567" },
                   { "varIndirizzo", "Via Roma 1, Scala B" }, { "varCitta", "Milano" }, { "varProv", "MI" },
                   { "varCap", "20121" }, { "varQualifica", "Impiegato" }, { "varAzienda", "Rossi Srl" },
                   { "varNote",
                       "Cliente storico\r\nIndirizzo email secondario: m.rossi@casa.it\r\nReparto: Vendite\r\n"
                       "Anno di nascita: 1970\r\nIndirizzo ufficio: Corso Como 5, Milano" } };
        QTest::newRow("desktop mail program, English: only the work address")
            << fileOf(kDesktopEnglish,
                   { { "First Name", "Anna" }, { "Last Name", "Bianchi" }, { "Primary Email", "anna@bianchi.it" },
                       { "Work Phone", "06 111" }, { "Home Country", "Italy" }, { "Work Address", "Via Po 3" },
                       { "Work Address 2", "Interno 4" }, { "Work City", "Roma" }, { "Work State", "Lazio" },
                       { "Work ZipCode", "00100" }, { "Work Country", "Italy" }, { "Job Title", "Avvocato" } })
            << Values { { "varContatto", "Bianchi Anna" }, { "varEmail", "anna@bianchi.it" }, { "varUff", "06 111" },
                   { "varIndirizzo", "Via Po 3, Interno 4" }, { "varCitta", "Roma" }, { "varCap", "00100" },
                   { "varQualifica", "Avvocato" }, { "varNote", "Provincia: Lazio" } };
        QTest::newRow("office mail program, Italian: both addresses, categories")
            << fileOf(kOfficeItalian,
                   { { "Titolo", "Dott." }, { "Nome", "Luca" }, { "Secondo nome", "Maria" }, { "Cognome", "Verdi" },
                       { "Società", "Verdi & C." }, { "Reparto", "Acquisti" }, { "Posizione", "Responsabile" },
                       { "Via (uff.)", "Via Dante 2" }, { "Città (uff.)", "Torino" }, { "Provincia (uff.)", "TO" },
                       { "CAP (uff.)", "10121" }, { "Via (ab.)", "Via Verdi 8" }, { "Città (ab.)", "Chieri" },
                       { "Provincia (ab.)", "TO" }, { "CAP (ab.)", "10023" }, { "Paese (ab.)", "Italia" },
                       { "Fax (uff.)", "011 999" }, { "Telefono (uff.)", "011 123" }, { "Telefono (ab.)", "011 456" },
                       { "Cellulare", "347 000" }, { "Categorie", "Fornitori" },
                       { "Indirizzo posta elettronica", "luca@verdi.it" }, { "Tipo posta elettronica", "SMTP" },
                       { "Nome visualizzato posta elettronica", "Luca Verdi (luca@verdi.it)" },
                       { "Indirizzo posta elettronica 2", "l.verdi@gmail.example" }, { "Ufficio", "Stanza 12" },
                       { "Note", "Riga 1\nRiga 2" } })
            << Values { { "varContatto", "Verdi Luca Maria" }, { "varAzienda", "Verdi & C." },
                   { "varQualifica", "Responsabile" }, { "varEmail", "luca@verdi.it" }, { "varGruppo", "Fornitori" },
                   { "varIndirizzo", "Via Verdi 8" }, { "varCitta", "Chieri" }, { "varProv", "TO" },
                   { "varCap", "10023" }, { "varFax", "011 999" }, { "varUff", "011 123" }, { "varCasa", "011 456" },
                   { "varCel", "347 000" },
                   { "varNote",
                       "Riga 1\r\nRiga 2\r\nTitolo: Dott.\r\nReparto: Acquisti\r\n"
                       "Indirizzo posta elettronica 2: l.verdi@gmail.example\r\nUfficio: Stanza 12\r\n"
                       "Indirizzo ufficio: Via Dante 2, 10121 Torino (TO)" } };
        QTest::newRow("office mail program, English: work address, other address to the note")
            << fileOf(kOfficeEnglish,
                   { { "First Name", "John" }, { "Last Name", "Smith" }, { "Company", "Smith Ltd" },
                       { "Job Title", "CEO" }, { "Business Street", "1 High St" }, { "Business City", "London" },
                       { "Business Postal Code", "EC1A 1AA" }, { "Business Country/Region", "United Kingdom" },
                       { "Other City", "Bath" }, { "Business Phone", "+44 20 1" }, { "Mobile Phone", "+44 7700 1" },
                       { "Home Fax", "+44 20 2" }, { "E-mail Address", "john@smith.example" },
                       { "E-mail Type", "SMTP" }, { "Categories", "Clienti;Estero" } })
            << Values { { "varContatto", "Smith John" }, { "varAzienda", "Smith Ltd" }, { "varQualifica", "CEO" },
                   { "varIndirizzo", "1 High St" }, { "varCitta", "London" }, { "varCap", "EC1A 1AA" },
                   { "varUff", "+44 20 1" }, { "varCel", "+44 7700 1" }, { "varFax", "+44 20 2" },
                   { "varEmail", "john@smith.example" }, { "varGruppo", "Clienti;Estero" },
                   { "varNote", "Other City: Bath\r\nPaese: United Kingdom" } };
        QTest::newRow("a second column for a field fills it when the first is empty")
            << fileOf(kOfficeEnglish,
                   { { "Last Name", "Gialli" }, { "E-mail 2 Address", "g@gialli.it" }, { "Business Fax", "1" },
                       { "Home Fax", "2" } })
            << Values { { "varContatto", "Gialli" }, { "varEmail", "g@gialli.it" }, { "varFax", "1" },
                   { "varNote", "Home Fax: 2" } };
        QTest::newRow("webmail, older layout: phones and address by type, several values in one field")
            << fileOf(kWebmailOlder,
                   { { "Name", "Paola Neri" }, { "Given Name", "Paola" }, { "Family Name", "Neri" },
                       { "Group Membership", "* myContacts ::: Amici" }, { "E-mail 1 - Type", "* Home" },
                       { "E-mail 1 - Value", "paola@neri.it ::: paola@lavoro.it" },
                       { "Phone 1 - Type", "Mobile" }, { "Phone 1 - Value", "333 1 ::: 333 2" },
                       { "Phone 2 - Type", "Work" }, { "Phone 2 - Value", "051 1" },
                       { "Phone 3 - Type", "Pager" }, { "Phone 3 - Value", "9" }, { "Address 1 - Type", "Work" },
                       { "Address 1 - Formatted", "Via Indipendenza 1\n40121 Bologna BO" },
                       { "Address 1 - Street", "Via Indipendenza 1" }, { "Address 1 - City", "Bologna" },
                       { "Address 1 - Region", "BO" }, { "Address 1 - Postal Code", "40121" },
                       { "Address 1 - Country", "IT" }, { "Organization 1 - Type", "Work" },
                       { "Organization 1 - Name", "Neri Spa" }, { "Organization 1 - Title", "Architetto" } })
            << Values { { "varContatto", "Neri Paola" }, { "varEmail", "paola@neri.it" }, { "varCel", "333 1" },
                   { "varUff", "051 1" }, { "varIndirizzo", "Via Indipendenza 1" }, { "varCitta", "Bologna" },
                   { "varProv", "BO" }, { "varCap", "40121" }, { "varAzienda", "Neri Spa" },
                   { "varQualifica", "Architetto" },
                   { "varNote",
                       "Group Membership: * myContacts ::: Amici\r\nE-mail: paola@lavoro.it\r\n"
                       "Cellulare: 333 2\r\nPager: 9" } };
        QTest::newRow("webmail, newer layout: home and work address, fax by label")
            << fileOf(kWebmailNewer,
                   { { "First Name", "Giulia" }, { "Middle Name", "Anna" }, { "Last Name", "De Luca" },
                       { "Organization Name", "Studio De Luca" }, { "Organization Title", "Notaio" },
                       { "Organization Department", "Atti" }, { "Labels", "myContacts" },
                       { "E-mail 1 - Label", "* Work" }, { "E-mail 1 - Value", "giulia@deluca.it" },
                       { "E-mail 2 - Label", "Home" }, { "E-mail 2 - Value", "giulia@casa.it" },
                       { "Phone 1 - Label", "Work Fax" }, { "Phone 1 - Value", "081 9" },
                       { "Phone 2 - Label", "Casa" }, { "Phone 2 - Value", "081 2" }, { "Address 1 - Label", "Work" },
                       { "Address 1 - Street", "Via Toledo 10" }, { "Address 1 - City", "Napoli" },
                       { "Address 1 - Postal Code", "80134" }, { "Address 2 - Label", "Home" },
                       { "Address 2 - Street", "Via Caracciolo 3" }, { "Address 2 - City", "Napoli" },
                       { "Address 2 - Region", "NA" }, { "Address 2 - Postal Code", "80122" } })
            << Values { { "varContatto", "De Luca Giulia Anna" }, { "varAzienda", "Studio De Luca" },
                   { "varQualifica", "Notaio" }, { "varEmail", "giulia@deluca.it" }, { "varFax", "081 9" },
                   { "varCasa", "081 2" }, { "varIndirizzo", "Via Caracciolo 3" }, { "varCitta", "Napoli" },
                   { "varProv", "NA" }, { "varCap", "80122" },
                   { "varNote",
                       "Organization Department: Atti\r\nLabels: myContacts\r\nE-mail 2 - Value: giulia@casa.it\r\n"
                       "Indirizzo ufficio: Via Toledo 10, 80134 Napoli" } };
    }

    void usualExports()
    {
        QFETCH(QByteArray, file);
        QFETCH(Values, expected);
        const CsvTable t = CsvReader::read(file);
        QCOMPARE(t.rows.size(), 1);
        const QList<ImportedContact> c = ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings));
        QCOMPARE(keys(c[0].values()), keys(expected));
        QCOMPARE(c[0].values(), expected);
    }

    void phonesByLabel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<Values>("expected");
        QTest::newRow("mobile") << "Mobile" << Values { { "varCel", "1" } };
        QTest::newRow("preferred mark") << "* Cellulare" << Values { { "varCel", "1" } };
        QTest::newRow("work") << "Work" << Values { { "varUff", "1" } };
        QTest::newRow("work fax") << "Work Fax" << Values { { "varFax", "1" } };
        QTest::newRow("home fax") << "Fax casa" << Values { { "varFax", "1" } };
        QTest::newRow("home") << "home" << Values { { "varCasa", "1" } };
        QTest::newRow("main") << "Main" << Values { { "varCasa", "1" } };
        QTest::newRow("no label") << "" << Values { { "varCasa", "1" } };
        QTest::newRow("other") << "Other" << Values { { "varNote", "Other: 1" } };
        QTest::newRow("custom, several values")
            << QStringLiteral("Portineria ::: Mobile") << Values { { "varNote", "Portineria: 1" }, { "varCel", "2" } };
    }

    void phonesByLabel()
    {
        QFETCH(QString, label);
        QFETCH(Values, expected);
        QByteArray file = "Phone 1 - Label,Phone 1 - Value\n\"" + label.toUtf8() + "\",\"1";
        if (label.contains(QLatin1String(":::")))
            file += " ::: 2";
        const CsvTable t = CsvReader::read(file + "\"\n");
        const ContactMapping::Mapping m = ContactMapping::guessMapping(t.headings);
        QCOMPARE(m[1], (ContactMapping::ColumnMap { ContactMapping::kPhoneByLabel, 0, true }));
        QCOMPARE(ContactMapping::fromCsv(t, m)[0].values(), expected);

        // A label column sent nowhere leaves the numbers without a label.
        ContactMapping::Mapping unlabelled = m;
        unlabelled[0].target = ContactMapping::kIgnore;
        QCOMPARE(ContactMapping::fromCsv(t, unlabelled)[0].values().value("varCasa"), QStringLiteral("1"));
    }

    void provinceAsTyped_data()
    {
        QTest::addColumn<QString>("region");
        QTest::addColumn<Values>("expected");
        QTest::newRow("code") << " rm " << Values { { "varProv", "RM" } };
        QTest::newRow("two letters not a code") << "zz" << Values { { "varProv", "ZZ" } };
        QTest::newRow("accented kept as typed") << QStringLiteral("è1") << Values { { "varProv", QStringLiteral("è1") } };
        QTest::newRow("no Unicode capitals") << QStringLiteral("ß") << Values { { "varProv", QStringLiteral("ß") } };
        QTest::newRow("region name") << "Toscana" << Values { { "varNote", "Provincia: Toscana" } };
    }

    void provinceAsTyped()
    {
        QFETCH(QString, region);
        QFETCH(Values, expected);
        const CsvTable t = CsvReader::read("Prov.\n" + region.toUtf8() + "\n");
        QCOMPARE(ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings))[0].values(), expected);
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
            ContactMapping::fromCsv(t, ContactMapping::guessMapping(t.headings));
            ContactMapping::fromVCards(VCardReader::read(s));
        }
    }
};

QTEST_GUILESS_MAIN(TestContactFileReaders)
#include "test_contact_file_readers.moc"
