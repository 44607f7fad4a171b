#include "mail/personalisation.h"
#include "mail/placeholders.h"
#include "storage/win1252.h"
#include "support/test_seams.h"

#include <QtTest>

// Placeholders in subject and body, and the contact card each recipient's
// values come from.
namespace {

// The pieces in a compact form: text runs as they are, fields as
// [name] or [name|fallback].
QString shape(const QList<Placeholders::Piece>& pieces)
{
    QString out;
    for (const Placeholders::Piece& p : pieces)
        out += p.field
            ? (p.hasFallback ? QStringLiteral("[%1|%2]").arg(p.name, p.fallback) : QStringLiteral("[%1]").arg(p.name))
            : QStringLiteral("'%1'").arg(p.text);
    return out;
}

QByteArray cp(const QString& text) { return Cp1252::encode(text); }

} // namespace

class TestPersonalisation : public QObject {
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("none") << "Gentile cliente,"
                              << "'Gentile cliente,'";
        QTest::newRow("one") << "Gentile {Cognome e nome},"
                             << "'Gentile '[Cognome e nome]','";
        QTest::newRow("fallback") << "{Azienda|gentile cliente}"
                                  << "[Azienda|gentile cliente]";
        QTest::newRow("blanks trimmed") << "{ Azienda | gentile cliente }"
                                        << "[Azienda|gentile cliente]";
        QTest::newRow("empty fallback") << "{Azienda|}"
                                        << "[Azienda|]";
        QTest::newRow("bar in fallback") << "{Azienda|a|b}"
                                         << "[Azienda|a|b]";
        QTest::newRow("two adjacent") << "{Città}{Prov.}"
                                      << "[Città][Prov.]";
        QTest::newRow("empty braces") << "a {} b { } c"
                                      << "'a {} b { } c'";
        QTest::newRow("blank name") << "{|x}"
                                    << "'{|x}'";
        QTest::newRow("doubled braces") << "{{Azienda}}"
                                        << "'{'[Azienda]'}'";
        QTest::newRow("unclosed") << "{Azienda e {Città}"
                                  << "'{Azienda e '[Città]";
        QTest::newRow("line break inside") << "{Cognome\ne nome}"
                                           << "'{Cognome\ne nome}'";
        QTest::newRow("lone closing") << "} {Città} }"
                                      << "'} '[Città]' }'";
        QTest::newRow("too long") << "{" + QString(250, QLatin1Char('x')) + "}"
                                  << "'{" + QString(250, QLatin1Char('x')) + "}'";
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, pieces);
        const QList<Placeholders::Piece> parsed = Placeholders::parse(text);
        QCOMPARE(shape(parsed), pieces);
        QString joined;
        for (const auto& p : parsed)
            joined += p.text;
        QCOMPARE(joined, text);
        QCOMPARE(Placeholders::any(text), pieces.contains(QLatin1Char('[')));
    }

    // One recipient's texts against the cards of a small archive.
    void expand_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("body");
        const QString anna = QStringLiteral("anna@x.it");
        QTest::newRow("known field") << anna << "Gentile {Cognome e nome},"
                                     << "Gentile Anna Bianchi,"
                                     << "Gentile Anna Bianchi,";
        QTest::newRow("name without regard to case") << anna << "{azienda}"
                                                     << "Studio Bianchi"
                                                     << "Studio Bianchi";
        QTest::newRow("name without accents") << anna << "{CITTA}"
                                              << "Forlì"
                                              << "Forlì";
        QTest::newRow("fallback unused") << anna << "{Azienda|gentile cliente}"
                                         << "Studio Bianchi"
                                         << "Studio Bianchi";
        QTest::newRow("empty field, fallback") << anna << "{Qualifica|cliente}"
                                               << "cliente"
                                               << "cliente";
        QTest::newRow("empty field, none") << anna << "[{Qualifica}]"
                                           << "[]"
                                           << "[]";
        QTest::newRow("line breaks in a value") << anna << "Note: {Note}."
                                                << "Note: riga uno riga  due."
                                                << "Note: riga uno\r\nriga \ndue.";
        QTest::newRow("braces in a value") << anna << "{Codice ID}"
                                           << "{Azienda} {Città|x}"
                                           << "{Azienda} {Città|x}";
        QTest::newRow("accents and euro") << anna << "{Città}: {Indirizzo}"
                                          << "Forlì: Via dell'Euro € 5"
                                          << "Forlì: Via dell'Euro € 5";
        QTest::newRow("address case and blanks") << " ANNA@X.IT "
                                                 << "{Azienda}"
                                                 << "Studio Bianchi"
                                                 << "Studio Bianchi";
        QTest::newRow("named entry") << "Anna <Anna@x.it>"
                                     << "{Azienda}"
                                     << "Studio Bianchi"
                                     << "Studio Bianchi";
        QTest::newRow("no card, fallback") << "nessuno@x.it"
                                           << "Gentile {Azienda|cliente}"
                                           << "Gentile cliente"
                                           << "Gentile cliente";
        QTest::newRow("no card, none") << "nessuno@x.it"
                                       << "Gentile {Azienda},"
                                       << "Gentile ,"
                                       << "Gentile ,";
        QTest::newRow("two cards: the first") << "mario@x.it"
                                              << "{Azienda}"
                                              << "Rossi Srl"
                                              << "Rossi Srl";
        QTest::newRow("second address of a card") << "ufficio@bianchi.it"
                                                  << "{Azienda}"
                                                  << "Studio Bianchi"
                                                  << "Studio Bianchi";
        QTest::newRow("unknown left as written") << anna << "{Aziend} {Azienda}"
                                                 << "{Aziend} Studio Bianchi"
                                                 << "{Aziend} Studio Bianchi";
    }

    void expand()
    {
        QFETCH(QString, address);
        QFETCH(QString, text);
        QFETCH(QString, subject);
        QFETCH(QString, body);
        TempDataDir data;
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Anna Bianchi" }, { "varAzienda", "Studio Bianchi" },
                { "varEmail", "anna@x.it, ufficio@bianchi.it" }, { "varCitta", cp(QStringLiteral("Forlì")) },
                { "varIndirizzo", cp(QStringLiteral("Via dell'Euro € 5")) }, { "varNote", "riga uno\r\nriga \ndue" },
                { "varCodice", cp(QStringLiteral("{Azienda} {Città|x}")) } });
        TestCards::store(ArchiveKind::Contacts, { { "varAzienda", "Rossi Srl" }, { "varEmail", "Mario@X.it" } });
        TestCards::store(ArchiveKind::Contacts, { { "varAzienda", "Altra Srl" }, { "varEmail", "mario@x.it" } });
        Personalisation p(text, text);
        p.loadContacts();
        QCOMPARE(p.subjectFor(address), subject);
        QCOMPARE(p.bodyFor(address), body);
        QCOMPARE(p.hasCard(address), !address.startsWith(QLatin1String("nessuno")));
    }

    void unknownNamedOnce()
    {
        Personalisation p(QStringLiteral("{Aziend} per {Città}"), QStringLiteral("{Foo|x} {Aziend} {FOO|x}"));
        QCOMPARE(p.unknown(), QStringList({ "{Aziend}", "{Foo|x}", "{FOO|x}" }));
        QVERIFY(p.subjectPersonal());
        QVERIFY(p.bodyPersonal());
        Personalisation none(QStringLiteral("Novità {}"), QStringLiteral("Prezzi { dal 1° maggio"));
        QVERIFY(!none.any());
        QVERIFY(none.unknown().isEmpty());
    }

    void missingArchiveIsNoCard()
    {
        TempDataDir data;
        Personalisation p(QStringLiteral("{Azienda|cliente}"), QString());
        p.loadContacts();
        QCOMPARE(p.subjectFor(QStringLiteral("a@x.it")), QStringLiteral("cliente"));
        // Looking up cards never creates the archive.
        QVERIFY(!QFile::exists(data.file(QStringLiteral("Contatti.db"))));
    }

    void everyCaptionIsAField()
    {
        const QList<PersonalFields::Field> fields = PersonalFields::all();
        QCOMPARE(fields.size(), 19);
        for (const char* caption : { "Cognome e nome", "Azienda", "Qualifica", "Città", "Prov.", "Note" })
            QVERIFY2(PersonalFields::find(fields, QString::fromUtf8(caption)), caption);
    }
};

QTEST_GUILESS_MAIN(TestPersonalisation)
#include "test_personalisation.moc"
