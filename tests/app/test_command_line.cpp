#include "app/command_line.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void reads_data();
    void reads();
    void printsWithoutDisplay_data();
    void printsWithoutDisplay();

private:
    QTemporaryDir tmp_;
};

void TestCommandLine::initTestCase()
{
    CommandLine::prepare(QStringLiteral("Velmaro"));
    QVERIFY(QDir().mkpath(tmp_.filePath(QStringLiteral("ufficio"))));
}

void TestCommandLine::reads_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program's name
    QTest::addColumn<bool>("asksToPrint");
    QTest::addColumn<QString>("dataDir"); // relative to the temporary folder
    QTest::addColumn<QString>("error"); // a part of it; empty: none
    QTest::newRow("nothing") << QStringList {} << false << "" << "";
    QTest::newRow("long option") << QStringList { "--dati", "@/ufficio" } << false << "ufficio" << "";
    QTest::newRow("short option, trailing slash") << QStringList { "-d", "@/ufficio/" } << false << "ufficio" << "";
    QTest::newRow("with '='") << QStringList { "--dati=@/ufficio/../ufficio" } << false << "ufficio" << "";
    QTest::newRow("relative to the working folder") << QStringList { "--dati", "ufficio" } << false << "ufficio"
                                                    << "";
    QTest::newRow("missing folder") << QStringList { "--dati", "@/manca" } << false << ""
                                    << "La cartella dei dati non esiste: ";
    QTest::newRow("a file, not a folder") << QStringList { "--dati", "@/file" } << false << ""
                                          << "La cartella dei dati non esiste: ";
    QTest::newRow("no folder after it") << QStringList { "--dati" } << false << "" << "--dati";
    QTest::newRow("empty folder name") << QStringList { "--dati", "" } << false << "" << "--dati";
    QTest::newRow("unknown option, in Italian") << QStringList { "--boh" } << false << "" << "Opzione sconosciuta";
    QTest::newRow("stray argument") << QStringList { "Contatti.db" } << false << ""
                                    << "Argomento non previsto: Contatti.db";
    QTest::newRow("help") << QStringList { "--help" } << true << "" << "";
    QTest::newRow("version, short") << QStringList { "-v" } << true << "" << "";
    // Qt's own options are words, not rows of letters: no "h" in it.
    QTest::newRow("a Qt option with an h") << QStringList { "-qwindowgeometry", "800x600" } << false << ""
                                           << "qwindowgeometry";
    QTest::newRow("help after an unknown option") << QStringList { "-platform", "xcb", "-h" } << true << ""
                                                  << "platform";
}

void TestCommandLine::reads()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, asksToPrint);
    QFETCH(QString, dataDir);
    QFETCH(QString, error);
    QFile file(tmp_.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QStringList all { QStringLiteral("velmaro") };
    for (const QString& a : arguments)
        all << QString(a).replace(QLatin1Char('@'), tmp_.path());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(tmp_.path());
    const CommandLine line(all);
    QDir::setCurrent(previous);

    QCOMPARE(CommandLine::asksToPrint(all), asksToPrint);
    QCOMPARE(line.dataDir(), dataDir.isEmpty() ? QString() : tmp_.filePath(dataDir));
    QCOMPARE(line.failed(), !error.isEmpty());
    QVERIFY2(line.errorText().contains(error), qPrintable(line.errorText()));
    if (!asksToPrint && error.isEmpty())
        QVERIFY(!line.printRequested(QString()).has_value());
}

void TestCommandLine::printsWithoutDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("printed"); // lines or parts of the output
    const QString velmaro = QStringLiteral(VELMARO_PROGRAM);
    const QString tool = QStringLiteral(VELMARO_PASSWORD_TOOL);
    const QString version = QStringLiteral(VELMARO_EXPECTED_VERSION);
    QTest::newRow("velmaro --version") << velmaro << QStringList { "--version" } << 0
                                       << QStringList { "Velmaro " + version + "\n" };
    QTest::newRow("velmaro --help") << velmaro << QStringList { "--help" } << 0
                                    << QStringList { "Utilizzo: ", "Opzioni:", "-d, --dati <cartella>",
                                           "Mostra la versione ed esce.", "@/.local/share/Velmaro" };
    QTest::newRow("velmaro-password --version") << tool << QStringList { "--version" } << 0
                                                << QStringList { "velmaro-password " + version + "\n" };
    QTest::newRow("velmaro-password --help") << tool << QStringList { "-h" } << 0
                                             << QStringList { "Utilizzo: ", "unins000.dll", "VELMARO_PASSWORD" };
    QTest::newRow("velmaro-password, unknown option") << tool << QStringList { "--boh" } << 2
                                                      << QStringList { "Opzione sconosciuta", "--help" };
}

void TestCommandLine::printsWithoutDisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, printed);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("HOME"), tmp_.path());
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    const QString out = QString::fromUtf8(exitCode == 0 ? p.readAllStandardOutput() : p.readAllStandardError());
    for (const QString& part : printed)
        QVERIFY2(out.contains(QString(part).replace(QLatin1Char('@'), tmp_.path())), qPrintable(out));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
