#include "storage/ini_file.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestIniFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path() const { return dir_.filePath(QStringLiteral("Messaggi.ini")); }

    void put(const QByteArray& bytes)
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static const QByteArray& sample()
    {
        static const QByteArray s = "; mittenti ricordati\r\n"
                                    "\r\n"
                                    "[Archivio Messaggi]\r\n"
                                    "Nome Mittente=Ufficio Vendite\r\n"
                                    "Email Mittente=vendite@esempio.it\r\n"
                                    "\r\n"
                                    "[Invio Email]\r\n"
                                    "Nome Mittente=Nicol\xF2 \x80uro\r\n"
                                    "Email Mittente=info@esempio.it\r\n"
                                    "Vuoto=\r\n";
        return s;
    }

private slots:
    void init() { QFile::remove(path()); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QByteArray s = sample();
        QTest::newRow("exact names") << s << "Archivio Messaggi"
                                     << "Nome Mittente"
                                     << "Ufficio Vendite";
        QTest::newRow("names in another case") << s << "INVIO email"
                                               << "email MITTENTE"
                                               << "info@esempio.it";
        QTest::newRow("Windows-1252 bytes") << s << "Invio Email"
                                            << "Nome Mittente"
                                            << "Nicolò €uro";
        QTest::newRow("empty value is no default") << s << "Invio Email"
                                                   << "Vuoto"
                                                   << "";
        QTest::newRow("missing key") << s << "Invio Email"
                                     << "Altro"
                                     << "<default>";
        QTest::newRow("missing section") << s << "Accesso"
                                         << "Valore"
                                         << "<default>";
        QTest::newRow("name that cannot be in the file") << s << "Invio Email"
                                                         << "Nome \u0151"
                                                         << "<default>";
        QTest::newRow("missing file") << QByteArray() << "Invio Email"
                                      << "Nome Mittente"
                                      << "<default>";
        QTest::newRow("blanks around names and value") << QByteArray("[ A ]\r\n  Uno =  1  \r\n") << "a"
                                                       << "uno"
                                                       << "1";
        QTest::newRow("LF line ends") << QByteArray("[Accesso]\nValore=0A1B\n") << "accesso"
                                      << "valore"
                                      << "0A1B";
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        if (!file.isEmpty())
            put(file);
        QCOMPARE(IniFile(path()).read(section, key, QStringLiteral("<default>")), expected);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entry"); // section, key, value
        QTest::addColumn<QByteArray>("expected");
        const QByteArray s = sample();
        QByteArray updated = s;
        updated.replace("Nome Mittente=Nicol\xF2 \x80uro", "Nome Mittente=Zo\xEB");
        QTest::newRow("update in another case keeps the rest")
            << s << QStringList { "invio EMAIL", "NOME mittente", "Zoë" } << updated;
        QTest::newRow("new key at the end of its section")
            << s << QStringList { "Archivio Messaggi", "Nuova", "x" }
            << QByteArray(s).replace("vendite@esempio.it\r\n", "vendite@esempio.it\r\nNuova=x\r\n");
        QTest::newRow("new section") << s << QStringList { "Accesso", "Valore", "A1" }
                                     << s + "\r\n[Accesso]\r\nValore=A1\r\n";
        QTest::newRow("new file gets CR LF") << QByteArray() << QStringList { "Invio Email", "Nome Mittente", "Nicolò" }
                                             << QByteArray("[Invio Email]\r\nNome Mittente=Nicol\xF2\r\n");
        QTest::newRow("LF file stays LF")
            << QByteArray("[Accesso]\nValore=00\n") << QStringList { "ACCESSO", "Valore", "FF" }
            << QByteArray("[Accesso]\nValore=FF\n");
        QTest::newRow("other keys keep their values, in the usual layout")
            << QByteArray("[A]\r\n  Uno =  1  \r\n\r\n\r\n[B]\r\nDue=2\r\n") << QStringList { "B", "Tre", "3" }
            << QByteArray("[A]\r\nUno=1\r\n\r\n[B]\r\nDue=2\r\nTre=3\r\n");
        QTest::newRow("empty value") << QByteArray("[Accesso]\r\nValore=00\r\n")
                                     << QStringList { "Accesso", "Valore", "" }
                                     << QByteArray("[Accesso]\r\nValore=\r\n");
    }

    void write()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entry);
        QFETCH(QByteArray, expected);
        if (!file.isEmpty())
            put(file);
        IniFile ini(path());
        ini.write(entry[0], entry[1], entry[2]);
        QCOMPARE(contents(), expected);
        QCOMPARE(ini.read(entry[0], entry[1]), entry[2]);
        ini.write(entry[0], entry[1], entry[2]); // the layout does not drift
        QCOMPARE(contents(), expected);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("entry");
        QTest::newRow("character outside Windows-1252") << QStringList { "Invio Email", "Nome Mittente", "Gy\u0151r" };
        QTest::newRow("line break would add a key") << QStringList { "Invio Email", "Nome Mittente", "x\r\nValore=1" };
        QTest::newRow("line break in a section") << QStringList { "A\n[B]", "K", "v" };
        QTest::newRow("'=' in a key") << QStringList { "A", "K=1", "v" };
    }

    void refused()
    {
        QFETCH(QStringList, entry);
        put(sample());
        QVERIFY_THROWS_EXCEPTION(IniFileError, IniFile(path()).write(entry[0], entry[1], entry[2]));
        QCOMPARE(contents(), sample());
    }

    void unwritableAndUnreadable()
    {
        const IniFile inFolderThatIsMissing(dir_.filePath(QStringLiteral("manca/Messaggi.ini")));
        QCOMPARE(inFolderThatIsMissing.read("A", "K", "d"), QStringLiteral("d"));
        QVERIFY_THROWS_EXCEPTION(IniFileError, inFolderThatIsMissing.write("A", "K", "v"));

        QDir(dir_.path()).mkdir(QStringLiteral("cartella.ini"));
        const IniFile folder(dir_.filePath(QStringLiteral("cartella.ini")));
        try {
            folder.read("A", "K");
            QFAIL("no exception");
        } catch (const IniFileError& e) {
            QVERIFY(e.message().startsWith(QStringLiteral("Impossibile leggere il file")));
            QCOMPARE(QString::fromUtf8(e.what()), e.message());
        }
    }

    void everyWindows1252CharacterRoundTrips()
    {
        QByteArray bytes;
        for (int b = 0x20; b < 0x100; ++b)
            if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) // unassigned
                bytes += char(b);
        // Framed: blanks at the ends of a value are trimmed on reading.
        put("[A]\r\nK=<" + bytes + ">\r\n");
        IniFile ini(path());
        const QString read = ini.read("A", "K");
        QCOMPARE(read.size(), bytes.size() + 2);
        QCOMPARE(read.mid(1, 3), QStringLiteral(" !\""));
        QVERIFY(read.contains(QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ")));
        ini.write("A", "K", read);
        QCOMPARE(contents(), "[A]\r\nK=<" + bytes + ">\r\n");
    }

    void failedWriteLeavesFileAsItWas_data()
    {
        QTest::addColumn<bool>("ownerOnly");
        QTest::newRow("plain") << false;
        QTest::newRow("owner only") << true;
    }

    void failedWriteLeavesFileAsItWas()
    {
        QFETCH(bool, ownerOnly);
        put(sample());
        IniFile ini(path());
        ini.setOwnerOnly(ownerOnly);
        {
            FileSizeLimit limit(16); // the disk is full after 16 bytes
            QVERIFY_THROWS_EXCEPTION(IniFileError, ini.write("Invio Email", "Nome Mittente", "Altro"));
        }
        QCOMPARE(contents(), sample());
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), QStringList { "Messaggi.ini" });
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_ini_file.moc"
