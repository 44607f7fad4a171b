#include "storage/card_archive.h"
#include "storage/card_text.h"
#include "storage/win1252.h"
#include "support/test_seams.h"

#include <QtTest>

namespace {
QList<QByteArray> values(const CardArchive& a, std::initializer_list<std::pair<const char*, QByteArray>> set)
{
    QList<QByteArray> v(a.valueCount());
    for (const auto& [column, value] : set)
        v[a.valueColumns().indexOf(column)] = value;
    return v;
}

qint32 insert(TSQLiteDatabase& db, const CardArchive& a, const QList<QByteArray>& v)
{
    db.Execute(a.insert(v));
    return qint32(db.LastInsertedRowId());
}

QList<qint64> ids(TSQLiteDatabase& db, const QByteArray& sql)
{
    QList<qint64> out;
    auto t = db.Query(sql);
    while (!t->AtEnd()) {
        out << t->IntegerAt(t->ColumnIndex("ID"));
        t->Next();
    }
    return out;
}
} // namespace

class TestCardArchive : public QObject {
    Q_OBJECT

private slots:
    void creationStatements()
    {
        QCOMPARE(Archives::card(ArchiveKind::Contacts).createStatement(),
            QByteArray("CREATE TABLE contatti (ID INTEGER PRIMARY KEY,varContatto BLOB,varCodice BLOB,"
                       "varAzienda BLOB,varQualifica BLOB,varEmail BLOB,varGruppo BLOB,varIndirizzo BLOB,"
                       "varCitta BLOB,varCap BLOB,varProv BLOB,varCel BLOB,varCasa BLOB,varUff BLOB,varFax "
                       "BLOB,varCodFisc BLOB,varIva BLOB,varIban BLOB,varPagamenti BLOB,varNote BLOB,varFile01 "
                       "BLOB,varFile02 BLOB,varFile03 BLOB,varDesc01 BLOB,varDesc02 BLOB,varDesc03 BLOB,"
                       "varCartella BLOB,varCartellaDesc BLOB COLLATE NOCASE,Ext TEXT)"));
        QCOMPARE(Archives::card(ArchiveKind::Groups).createStatement(),
            QByteArray("CREATE TABLE gruppi (ID INTEGER PRIMARY KEY,varGruppo BLOB,varTipologia BLOB,"
                       "varDescrizione BLOB,varDestinatari BLOB,varEmail BLOB,varInteressi BLOB,varPersona "
                       "BLOB,varValutazione BLOB,varNote BLOB,varFile01 BLOB,varFile02 BLOB,varFile03 BLOB,"
                       "varDesc01 BLOB,varDesc02 BLOB,varDesc03 BLOB,varCartella BLOB,varCartellaDesc BLOB "
                       "COLLATE NOCASE,Ext TEXT)"));
        QCOMPARE(Archives::card(ArchiveKind::Messages).createStatement(),
            QByteArray("CREATE TABLE messaggi (ID INTEGER PRIMARY KEY,varMittente BLOB,varEmailMitt BLOB,"
                       "varTipologia BLOB,varCreazione BLOB,varNote BLOB,varEmail BLOB,varOggetto BLOB,"
                       "varTesto BLOB,varAllegato BLOB,varFile01 BLOB,varFile02 BLOB,varFile03 BLOB,varDesc01 "
                       "BLOB,varDesc02 BLOB,varDesc03 BLOB,varCartella BLOB,varCartellaDesc BLOB COLLATE "
                       "NOCASE,Ext TEXT)"));
        QCOMPARE(Archives::card(ArchiveKind::Contacts).valueCount(), 27);
        QCOMPARE(Archives::card(ArchiveKind::Messages).valueCount(), 17);
    }

    void navigationTexts()
    {
        const auto& c = Archives::card(ArchiveKind::Contacts);
        QCOMPARE(c.first(), QByteArray("SELECT * FROM contatti LIMIT 1 OFFSET 0"));
        QCOMPARE(c.previous(5), QByteArray("SELECT * FROM contatti WHERE ID <= 5 ORDER BY ID DESC LIMIT 1 OFFSET 1"));
        QCOMPARE(c.next(5), QByteArray("SELECT * FROM contatti WHERE ID > 5 ORDER BY ID LIMIT 1"));
        QCOMPARE(c.last(), QByteArray("SELECT * FROM contatti WHERE ID = (SELECT MAX(ID) FROM contatti)"));
        QCOMPARE(c.deleteCard(7), QByteArray("DELETE FROM contatti WHERE ID=7"));
        QCOMPARE(c.byId(12), QByteArray("SELECT * FROM contatti WHERE ID=12"));
        const QByteArray ins = c.insert(QList<QByteArray>(27));
        QVERIFY(ins.startsWith("INSERT INTO contatti (ID,varContatto,varCodice,"));
        QVERIFY(ins.endsWith("varCartellaDesc,Ext) VALUES (NULL,'','','','','','','','','','','','','','','','',"
                             "'','','','','','','','','','','','')"));
        const QByteArray upd = c.update(4, values(c, { { "varContatto", "D'Amico" } }));
        QVERIFY(upd.startsWith("UPDATE contatti SET varContatto='D''Amico',varCodice='',"));
        QVERIFY(upd.endsWith(",varCartellaDesc='' WHERE ID=4;"));
    }

    void navigationOverGaps()
    {
        TempDataDir dir;
        const auto& c = Archives::card(ArchiveKind::Contacts);
        bool existed = true;
        auto db = c.open(&existed);
        QVERIFY(!existed);
        QVERIFY(QFileInfo::exists(dir.file("Contatti.db")));
        for (int i = 1; i <= 9; ++i)
            insert(*db, c, values(c, { { "varContatto", QByteArray::number(i) } }));
        for (int id : { 1, 2, 4, 6, 7, 8 })
            db->Execute(c.deleteCard(id));
        QCOMPARE(ids(*db, c.first()), QList<qint64> { 3 });
        QCOMPARE(ids(*db, c.previous(5)), QList<qint64> { 3 });
        QCOMPARE(ids(*db, c.next(5)), QList<qint64> { 9 });
        QCOMPARE(ids(*db, c.next(9)), QList<qint64> {});
        QCOMPARE(ids(*db, c.previous(3)), QList<qint64> {});
        QCOMPARE(ids(*db, c.last()), QList<qint64> { 9 });
        db.reset();
        c.open(&existed);
        QVERIFY(existed);
    }

    void numberingAfterDelete()
    {
        TempDataDir dir;
        const auto& c = Archives::card(ArchiveKind::Groups);
        auto db = c.open();
        for (int i = 1; i <= 7; ++i)
            insert(*db, c, values(c, { { "varGruppo", "g" } }));
        db->Execute(c.deleteCard(7));
        QCOMPARE(insert(*db, c, values(c, { { "varGruppo", "g" } })), 7);
        db->Execute(c.deleteCard(3));
        QCOMPARE(insert(*db, c, values(c, { { "varGruppo", "g" } })), 8);
    }

    void valuesStoredAsTheirOwnText_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("apostrophe") << QByteArray("D'Amico");
        QTest::newRow("column name") << QByteArray("varEmail");
        QTest::newRow("column name other case") << QByteArray("VARCONTATTO");
        QTest::newRow("line breaks") << QByteArray("riga 1\r\nriga 2");
        QTest::newRow("sql text") << QByteArray("x'); DROP TABLE contatti; --");
        QByteArray high;
        for (int b = 0x80; b < 0x100; ++b)
            high += char(b);
        QTest::newRow("high bytes") << high;
    }

    void valuesStoredAsTheirOwnText()
    {
        QFETCH(QByteArray, value);
        TempDataDir dir;
        const auto& c = Archives::card(ArchiveKind::Contacts);
        auto db = c.open();
        const qint32 id = insert(*db, c, values(c, { { "varContatto", value }, { "varEmail", "a@b.it" } }));
        auto t = db->Query(c.byId(id));
        QCOMPARE(t->BlobTextAt(t->ColumnIndex("varContatto")), value);
        db->Execute(c.update(id, values(c, { { "varContatto", "x" }, { "varEmail", value } })));
        t = db->Query(c.byId(id));
        QCOMPARE(t->BlobTextAt(t->ColumnIndex("varEmail")), value);
        QCOMPARE(t->BlobTextAt(t->ColumnIndex("varContatto")), QByteArray("x"));
        QCOMPARE(db->Query(c.all())->RowCount(), 1u);
    }

    void searchKeys_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QList<qint64>>("found");
        QTest::newRow("double quote") << QByteArray("\"") << QList<qint64> {};
        QTest::newRow("apostrophe") << QByteArray("'") << QList<qint64> { 2 };
        QTest::newRow("apostrophe name") << QByteArray("d'am") << QList<qint64> { 2 };
        QTest::newRow("percent wildcard") << QByteArray("10%") << QList<qint64> { 3, 4 };
        QTest::newRow("underscore wildcard") << QByteArray("r_ss") << QList<qint64> { 1 };
        QTest::newRow("blanks") << QByteArray("") << QList<qint64> { 1, 2, 3, 4 };
        QTest::newRow("sql in key") << QByteArray("' OR 1=1 --") << QList<qint64> {};
    }

    void searchKeys()
    {
        QFETCH(QByteArray, key);
        QFETCH(QList<qint64>, found);
        TempDataDir dir;
        const auto& c = Archives::card(ArchiveKind::Contacts);
        auto db = c.open();
        for (const char* name : { "Rossi", "D'Amico", "sconto 10", "10 e 10" })
            insert(*db, c, values(c, { { "varContatto", name } }));
        QCOMPARE(ids(*db, c.contains("varContatto", key)), found);
    }

    void conditionsJoinedByAnd()
    {
        TempDataDir dir;
        const auto& c = Archives::card(ArchiveKind::Contacts);
        auto db = c.open();
        insert(*db, c, values(c, { { "varContatto", "Rossi" }, { "varCitta", "Roma" } }));
        insert(*db, c, values(c, { { "varContatto", "Rossi" }, { "varCitta", "Milano" } }));
        const QByteArray sql = c.matchingAll(
            { CardArchive::likeCondition("varContatto", "ross"), CardArchive::likeCondition("varCitta", "mil") });
        QCOMPARE(ids(*db, sql), QList<qint64> { 2 });
        QCOMPARE(ids(*db, c.matchingAll({})).size(), 2);
    }

    void scrubbingThenTrimming_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("scrubbed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("quotes") << QStringLiteral("a\"b;c") << QStringLiteral("a b c") << QStringLiteral("a b c");
        QTest::newRow("only specials") << QStringLiteral(";\";") << QStringLiteral("   ") << QString();
        QTest::newRow("surrounding") << QStringLiteral("  x  y \t") << QStringLiteral("  x  y \t")
                                     << QStringLiteral("x  y");
        QTest::newRow("inner line break") << QStringLiteral("\r\nuno\r\ndue\r\n")
                                          << QStringLiteral("\r\nuno\r\ndue\r\n") << QStringLiteral("uno\r\ndue");
        QTest::newRow("apostrophe kept") << QStringLiteral("D'Amico") << QStringLiteral("D'Amico")
                                         << QStringLiteral("D'Amico");
    }

    void scrubbingThenTrimming()
    {
        QFETCH(QString, screen);
        QFETCH(QString, scrubbed);
        QFETCH(QString, stored);
        QCOMPARE(CardText::scrubbed(screen), scrubbed);
        QCOMPARE(CardText::trimmed(CardText::scrubbed(screen)), stored);
    }

    void windows1252RoundTrip()
    {
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, char(b));
            const QString text = Cp1252::decode(one);
            QCOMPARE(text.size(), 1);
            QByteArray back;
            QVERIFY2(Cp1252::tryEncode(text, back), qPrintable(QString::number(b)));
            QCOMPARE(back, one);
        }
        QCOMPARE(Cp1252::decode("\x80"), QStringLiteral("\u20ac"));
        QByteArray out = "untouched";
        QVERIFY(!Cp1252::tryEncode(QStringLiteral("Łódź"), out));
        QCOMPARE(out, QByteArray("untouched"));
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("Città Łódź")), QStringLiteral("Ł"));
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("ok \U0001F600")), QStringLiteral("\U0001F600"));
        QCOMPARE(Cp1252::firstUnencodable(QStringLiteral("Città € œ")), QString());
    }
};

QTEST_GUILESS_MAIN(TestCardArchive)
#include "test_card_archive.moc"
