#include "validators/fiscal_code.h"
#include "validators/iban.h"
#include "validators/vat_number.h"

#include <QtTest>

class TestValidators : public QObject {
    Q_OBJECT
private slots:
    void fiscalCode_data();
    void fiscalCode();
    void vatNumber_data();
    void vatNumber();
    void vatOfficeTable();
    void iban_data();
    void iban();
    void ibanMod97LongTexts();
    void junkNeverCrashes();
};

void TestValidators::fiscalCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("valid");
    // Public examples: the stock "Mario Rossi" code of many tutorials, the
    // worked example of the Italian Wikipedia article "Codice fiscale" and the
    // one of http://madvero.it/articoli/ilcodicefiscale.asp.
    QTest::newRow("Mario Rossi") << "RSSMRA85T10A562S" << true;
    QTest::newRow("wikipedia") << "MRTMTT25D09F205Z" << true;
    QTest::newRow("madvero") << "RSSFNC80T31F205U" << true;
    QTest::newRow("omocodia") << "RSSMRA85T10ARSNO" << true;
    QTest::newRow("wrong check letter") << "RSSMRA85T10A562T" << false;
    QTest::newRow("15 characters") << "RSSMRA85T10A562" << false;
    QTest::newRow("17 characters") << "RSSMRA85T10A562SS" << false;
    // ':' replaces an 'A' that counts 0 in an even place: still valid.
    QTest::newRow("colon counts 0") << "RSSMRA85T10:562S" << true;
    // No value outside '0'...'Z': never valid, never read out of the tables.
    QTest::newRow("lower-case letter") << "RSSMRA85T10a562S" << false;
    QTest::newRow("lower-case check") << "RSSMRA85T10A562s" << false;
    QTest::newRow("bracket after Z") << "RSSMRA85T10[562S" << false;
    QTest::newRow("blank") << "RSSMRA85T10 562S" << false;
    QTest::newRow("accented letter") << "RSSMRA85T10È562S" << false;
}

void TestValidators::fiscalCode()
{
    QFETCH(QString, code);
    QTEST(FiscalCodeIsValid(code), "valid");
}

void TestValidators::vatNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("office");
    // As published by the companies on their own sites and invoices.
    QTest::newRow("Eni") << "00905811006" << true << "Roma 2";
    QTest::newRow("Telecom Italia") << "00488410010" << true << "Torino";
    QTest::newRow("Ferrari") << "00159560366" << true << "Modena";
    QTest::newRow("Enel fiscal code") << "00811720580" << true << "Roma 1";
    QTest::newRow("eleven zeros") << "00000000000" << true << "";
    // 2d for d >= 5 counts its digit sum: 18 -> 9, 10 -> 1.
    QTest::newRow("doubled 9 counts 9") << "09000000001" << true << "";
    QTest::newRow("doubled 9 is not 18") << "09000000002" << false << "";
    QTest::newRow("doubled 5 counts 1") << "05000000009" << true << "";
    QTest::newRow("office 101") << "00000001016" << true << "Bologna 2";
    QTest::newRow("office 120") << "00000001206" << true << "Bologna 2";
    QTest::newRow("office 102") << "00000001024" << true << "Napoli 2";
    QTest::newRow("office 121") << "00000001214" << true << "Napoli 2";
    QTest::newRow("office 103 unknown") << "00000001032" << true << "";
    QTest::newRow("wrong check digit") << "00905811007" << false << "";
    QTest::newRow("10 digits") << "0090581100" << false << "";
    QTest::newRow("letter") << "0090581100A" << false << "";
    QTest::newRow("sign") << "+0905811006" << false << "";
    QTest::newRow("arabic-indic digits") << QString(11, QChar(0x0660)) << false << "";
}

void TestValidators::vatNumber()
{
    QFETCH(QString, number);
    QFETCH(bool, valid);
    QCOMPARE(PartitaIvaIsValid(number), valid);
    if (valid)
        QTEST(VatOfficeName(number.mid(7, 3)), "office");
}

void TestValidators::vatOfficeTable()
{
    QStringList named;
    for (int code = 0; code < 1000; ++code)
        if (!VatOfficeName(QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'))).isEmpty())
            named << QString::number(code);
    QCOMPARE(named.size(), 104);
    QCOMPARE(named.mid(101), (QStringList { "102", "120", "121" }));
    QCOMPARE(VatOfficeName("040"), QStringLiteral("Forlì"));
    QCOMPARE(VatOfficeName("096"), QStringLiteral("Monza (Milano 2)"));
    QCOMPARE(VatOfficeName("1"), QString());
    QCOMPARE(VatOfficeName("0011"), QString());
}

void TestValidators::iban_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    // Examples of the SWIFT IBAN Registry (ISO 13616 registration authority).
    for (const char* example : { "IT60X0542811101000000123456", "DE89370400440532013000", "GB29NWBK60161331926819",
             "FR1420041010050500013M02606", "ES9121000418450200051332", "NL91ABNA0417164300", "BE68539007547034",
             "CH9300762011623852957", "SM86U0322509800000000270100", "MT84MALT011000012345MTLCAST001S",
             "NO9386011117947" })
        QTest::newRow(example) << example << true;
    QTest::newRow("print format") << "IT60 X054 2811 1010 0000 0123 456" << true;
    QTest::newRow("leading IBAN") << "IBAN IT60 X054 2811 1010 0000 0123 456" << true;
    QTest::newRow("lower case") << "iban gb29 nwbk 6016 1331 9268 19" << true;
    QTest::newRow("wrong check digits") << "IT61X0542811101000000123456" << false;
    QTest::newRow("one digit wrong") << "DE89370400440532013001" << false;
    QTest::newRow("empty") << "" << false;
    // A sign at the start of a window would be read as part of the number
    // and leave the remainder unchanged: it must rescue no text.
    QTest::newRow("plus") << "IT60+X0542811101000000123456" << false;
    QTest::newRow("minus") << "IT60-X0542811101000000123456" << false;
    QTest::newRow("dashes") << "DE89-3704-0044-0532-0130-00" << false;
    QTest::newRow("dot") << "DE89.370400440532013000" << false;
    QTest::newRow("colon after IBAN") << "IBAN: IT60X0542811101000000123456" << false;
    QTest::newRow("no-break space") << QStringLiteral("DE89\u00A0370400440532013000") << false;
}

void TestValidators::iban()
{
    QFETCH(QString, text);
    QTEST(IbanIsValid(text), "valid");
}

void TestValidators::ibanMod97LongTexts()
{
    // Long division one digit at a time shares none of the windows'
    // bookkeeping, so it checks every carry across window boundaries.
    const auto longDivision = [](const QString& digits) {
        int r = 0;
        for (const QChar c : digits)
            r = (r * 10 + (c.unicode() - u'0')) % 97;
        return r;
    };
    QString mixed;
    for (int i = 0; i < 10000; ++i)
        mixed += QChar(u'0' + (i * 7 + i / 13) % 10);
    for (const QString& digits : { QString(10000, QLatin1Char('9')), mixed, mixed.left(4999),
             QStringLiteral("0000000000000000000096"), QStringLiteral("12") })
        QCOMPARE(IbanMod97(digits), longDivision(digits.mid(4) + digits.left(4)));
    QCOMPARE(IbanMod97("IT61X0542811101000000123456"), 2);
    QCOMPARE(IbanMod97(""), 0);
    QCOMPARE(IbanMod97("DE89 370400440532013000"), 0);
}

void TestValidators::junkNeverCrashes()
{
    QStringList junk = { QString(), "                ", "\t\r\n", QStringLiteral("ÀÈÌÒÙàèìòù ÄÖÜß"), "IBANIBAN",
        "-2147483648", QString(10000, QLatin1Char('A')), QString(10000, QLatin1Char('+')),
        QString(10000, QChar(0x00E8)), QString(1, QChar(0xD800)) };
    QString everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte += QChar(b);
        for (int length : { 1, 3, 11, 16, 27 })
            junk << QString(length, QChar(b));
    }
    junk << everyByte << everyByte.left(16) << everyByte.mid(48, 16);

    for (const QString& text : junk) {
        const int remainder = IbanMod97(text);
        QVERIFY(remainder >= 0 && remainder < 97);
        if (PartitaIvaIsValid(text))
            QCOMPARE(text, QString(11, QLatin1Char('0')));
        if (FiscalCodeIsValid(text))
            QCOMPARE(text.size(), 16);
        if (IbanIsValid(text) || remainder != 0)
            for (const QChar c : text)
                QVERIFY(c.isDigit() || c == u' ' || (c.toUpper() >= u'A' && c.toUpper() <= u'Z'));
        VatOfficeName(text);
    }
}

QTEST_APPLESS_MAIN(TestValidators)
#include "test_validators.moc"
