#include "shell/crypt.h"
#include "shell/password_store.h"
#include "storage/ini_file.h"
#include "support/test_seams.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestPasswordStore : public QObject {
    Q_OBJECT
private slots:
    void scrambleVectors_data();
    void scrambleVectors();
    void everyByteRoundTrips();
    void unscrambleRefusesDamage_data();
    void unscrambleRefusesDamage();
    void overlongOrUnencodableRefused();

    void comparisonForm_data();
    void comparisonForm();

    void storeKeepsOtherContentAndIsPrivate();
};

void TestPasswordStore::scrambleVectors_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("hex");
    // Worked out by hand from the key sequence 8953, (c + key) × 40503 + 27361.
    QTest::newRow("empty") << "" << "";
    QTest::newRow("one letter") << "A"
                                << "63";
    QTest::newRow("two letters") << "AB"
                                 << "6389";
    QTest::newRow("word") << "PASSWORD"
                          << "72514E0F2284C52A";
    QTest::newRow("with blank and digits") << "VELMARO 2026"
                                           << "740893EB058D73D7EFC0B51D";
    QTest::newRow("accented capital") << QStringLiteral("CITTÀ") << "61C6D4515C";
    QTest::newRow("euro sign, 0x80") << QStringLiteral("€URO") << "A2EE4E65";
}

void TestPasswordStore::scrambleVectors()
{
    QFETCH(QString, plain);
    QFETCH(QString, hex);
    QCOMPARE(Crypt::Scramble(plain), hex);
    QCOMPARE(Crypt::Unscramble(hex), plain);
    QCOMPARE(Crypt::Unscramble(hex.toLower()), plain);
    // An odd last character is ignored.
    QCOMPARE(Crypt::Unscramble(hex + QLatin1Char('7')), plain);
}

void TestPasswordStore::everyByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 255; ++b)
        all.append(char(b));
    const QByteArray hex = Crypt::Scramble(all);
    QCOMPARE(hex.size(), all.size() * 2);
    for (char c : hex)
        QVERIFY(QByteArrayLiteral("0123456789ABCDEF").contains(c));
    QCOMPARE(Crypt::Unscramble(hex), all);
    // The last byte value too, at the front where the key is known.
    const QByteArray last(1, char(255));
    QCOMPARE(Crypt::Unscramble(Crypt::Scramble(last)), last);
    QCOMPARE(Crypt::Scramble(all), hex); // no salt
}

void TestPasswordStore::unscrambleRefusesDamage_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::newRow("letter past F") << QByteArray("63G1");
    QTest::newRow("blank inside a pair") << QByteArray("6 89");
    QTest::newRow("sign") << QByteArray("-1");
    QTest::newRow("prefix") << QByteArray("0x63");
}

void TestPasswordStore::unscrambleRefusesDamage()
{
    QFETCH(QByteArray, hex);
    QVERIFY_THROWS_EXCEPTION(CryptError, Crypt::Unscramble(hex));
}

void TestPasswordStore::overlongOrUnencodableRefused()
{
    QCOMPARE(Crypt::Scramble(QByteArray(255, 'X')).size(), 510);
    QVERIFY_THROWS_EXCEPTION(CryptError, Crypt::Scramble(QByteArray(256, 'X')));
    QVERIFY_THROWS_EXCEPTION(CryptError, Crypt::Scramble(QStringLiteral("ŁÓDŹ")));
}

void TestPasswordStore::comparisonForm_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("form");
    QTest::newRow("sharp s stays, length kept") << QStringLiteral("straße") << QStringLiteral("STRAßE");
    QTest::newRow("micro stays") << QStringLiteral("µ") << QStringLiteral("µ");
    QTest::newRow("grave") << QStringLiteral("è") << QStringLiteral("È");
    QTest::newRow("y diaeresis to 0x9F") << QStringLiteral("ÿ") << QStringLiteral("Ÿ");
    QTest::newRow("caron and ligature") << QStringLiteral("šœž") << QStringLiteral("ŠŒŽ");
    QTest::newRow("division sign stays") << QStringLiteral("a÷b") << QStringLiteral("A÷B");
    QTest::newRow("blanks at the ends go") << QStringLiteral("  Segreto\t ") << QStringLiteral("SEGRETO");
}

void TestPasswordStore::comparisonForm()
{
    QFETCH(QString, typed);
    QFETCH(QString, form);
    QCOMPARE(PasswordStore::comparisonForm(typed), form);
}

void TestPasswordStore::storeKeepsOtherContentAndIsPrivate()
{
    TempDataDir dir;
    const QString path = dir.file(QStringLiteral("unins000.dll"));
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; installazione\r\n[Setup]\r\nLingua=it\r\n\r\n[Accesso]\r\nValore=63\r\n");
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    }
    QCOMPARE(PasswordStore().path(), path);
    PasswordStore().store(QStringLiteral(" nuova "));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.startsWith("; installazione\r\n"));
    QVERIFY(text.contains("[Setup]\r\nLingua=it\r\n"));
    QVERIFY(text.contains("[Accesso]\r\nValore=" + Crypt::Scramble(QByteArray("NUOVA")) + "\r\n"));
    QCOMPARE(f.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(PasswordStore().matches(QStringLiteral("Nuova")));

    // A new file comes out private too, with CR LF.
    const QString fresh = dir.file(QStringLiteral("altro.dll"));
    PasswordStore(fresh).store(QStringLiteral("a"));
    QFile g(fresh);
    QVERIFY(g.open(QIODevice::ReadOnly));
    QCOMPARE(g.readAll(), QByteArray("[Accesso]\r\nValore=63\r\n"));
    QCOMPARE(g.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QTEST_GUILESS_MAIN(TestPasswordStore)
#include "test_password_store.moc"
