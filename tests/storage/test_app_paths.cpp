#include "storage/app_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Where the data goes. The suite runs as root in CI: a read-only folder is
// one whose mode grants no writing, which the rule honours for root too.
class TestAppPaths : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void writableFolder_data();
    void writableFolder();
    void rule_data();
    void rule();
    void userFolderCreatedOnFirstUse();
    void decidedOncePerRun();
    void manualLookup_data();
    void manualLookup();

private:
    std::unique_ptr<QTemporaryDir> tmp_;
    QString program_; // made read-only by the rows that want it
    QString home_;
};

void TestAppPaths::init()
{
    tmp_ = std::make_unique<QTemporaryDir>();
    program_ = tmp_->filePath(QStringLiteral("programma"));
    home_ = tmp_->filePath(QStringLiteral("dati-utente"));
    QVERIFY(QDir().mkpath(program_));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home_));
}

void TestAppPaths::cleanup()
{
    QFile::setPermissions(program_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AppPaths::setInstallFolders({}, {});
    AppPaths::setDataDir({});
    qunsetenv("XDG_DATA_HOME");
}

namespace {
const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
    | QFile::ReadOther | QFile::ExeOther;
const QFile::Permissions writable = readOnly | QFile::WriteOwner;
} // namespace

void TestAppPaths::writableFolder_data()
{
    QTest::addColumn<QString>("name"); // under the temporary folder
    QTest::addColumn<int>("permissions"); // -1: leave as made
    QTest::addColumn<bool>("expected");
    QTest::newRow("owner may write") << "programma" << int(writable) << true;
    QTest::newRow("nobody may write") << "programma" << int(readOnly) << false;
    QTest::newRow("missing") << "manca" << -1 << false;
    QTest::newRow("a file") << "file" << -1 << false;
    QTest::newRow("empty name") << "" << -1 << false;
}

void TestAppPaths::writableFolder()
{
    QFETCH(QString, name);
    QFETCH(int, permissions);
    QFETCH(bool, expected);
    QFile file(tmp_->filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (permissions >= 0)
        QVERIFY(QFile::setPermissions(program_, QFile::Permissions(permissions)));
    QCOMPARE(AppPaths::isWritableFolder(name.isEmpty() ? QString() : tmp_->filePath(name)), expected);
}

void TestAppPaths::rule_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("program"); // "@": the temporary program folder
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<QString>("expected"); // "@", "home" or the chosen folder
    QTest::addColumn<int>("place");
    const int chosen = int(AppPaths::DataPlace::Chosen);
    const int beside = int(AppPaths::DataPlace::BesideProgram);
    const int user = int(AppPaths::DataPlace::UserFolder);
    QTest::newRow("writable program folder: beside it") << "" << "@" << true << "@" << beside;
    QTest::newRow("read-only program folder: the user's") << "" << "@" << false << "home" << user;
    QTest::newRow("chosen wins over a writable one") << "/srv/ufficio" << "@" << true << "/srv/ufficio" << chosen;
    QTest::newRow("chosen wins over a read-only one") << "/srv/ufficio/" << "@" << false << "/srv/ufficio" << chosen;
    QTest::newRow("system folder, even for root") << "" << "/usr/bin" << true << "home" << user;
}

void TestAppPaths::rule()
{
    QFETCH(QString, chosen);
    QFETCH(QString, program);
    QFETCH(bool, programWritable);
    QFETCH(QString, expected);
    QFETCH(int, place);
    QVERIFY(QFile::setPermissions(program_, programWritable ? writable : readOnly));
    const QString programDir = program == QLatin1String("@") ? program_ : program;
    const AppPaths::DataFolder got = AppPaths::choose(chosen, programDir, home_);
    const QString want = expected == QLatin1String("@") ? program_ : expected == QLatin1String("home") ? home_ : expected;
    QCOMPARE(got.path, want);
    QCOMPARE(int(got.place), place);
}

void TestAppPaths::userFolderCreatedOnFirstUse()
{
    QVERIFY(QFile::setPermissions(program_, readOnly));
    AppPaths::setInstallFolders(program_, {});
    const QString expected = home_ + QStringLiteral("/Velmaro");
    QCOMPARE(AppPaths::userDataDir(), expected);
    QVERIFY(!QFileInfo::exists(expected));
    QCOMPARE(AppPaths::beside(QStringLiteral("Contatti.db")), expected + QStringLiteral("/Contatti.db"));
    QVERIFY(QFileInfo(expected).isDir());
    // Cards hold personal data: the folder is the user's only.
    QCOMPARE(QFile::permissions(expected) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    QCOMPARE(int(AppPaths::dataFolder().place), int(AppPaths::DataPlace::UserFolder));
    QVERIFY(QDir(program_).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System));
}

void TestAppPaths::decidedOncePerRun()
{
    AppPaths::setInstallFolders(program_, {});
    QCOMPARE(AppPaths::dataDir(), program_);
    // The folder turning read-only later does not move the archives.
    QVERIFY(QFile::setPermissions(program_, readOnly));
    QCOMPARE(AppPaths::dataDir(), program_);
    // A folder named at start is a new decision.
    AppPaths::setDataDir(tmp_->path());
    QCOMPARE(AppPaths::dataDir(), tmp_->path());
    AppPaths::setDataDir({});
    QCOMPARE(AppPaths::dataDir(), home_ + QStringLiteral("/Velmaro"));
}

void TestAppPaths::manualLookup_data()
{
    QTest::addColumn<bool>("besideProgram");
    QTest::addColumn<bool>("inDocs");
    QTest::addColumn<QString>("expected"); // "program", "docs" or empty
    QTest::newRow("beside the program first") << true << true << "program";
    QTest::newRow("the system's documentation") << false << true << "docs";
    QTest::newRow("nowhere") << false << false << "";
}

void TestAppPaths::manualLookup()
{
    QFETCH(bool, besideProgram);
    QFETCH(bool, inDocs);
    QFETCH(QString, expected);
    const QString docs = tmp_->filePath(QStringLiteral("doc"));
    QVERIFY(QDir().mkpath(docs));
    for (const auto& [where, wanted] : { std::pair { program_, besideProgram }, std::pair { docs, inDocs } }) {
        QFile f(where + QStringLiteral("/Guida.pdf"));
        if (wanted)
            QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // The data folder is elsewhere: the manual is never looked for there.
    AppPaths::setDataDir(tmp_->path());
    AppPaths::setInstallFolders(program_, docs);
    QCOMPARE(AppPaths::manualFolders(), (QStringList { program_, docs }));
    const QString want = expected.isEmpty() ? QString()
        : (expected == QLatin1String("program") ? program_ : docs) + QStringLiteral("/Guida.pdf");
    QCOMPARE(AppPaths::manual(), want);
}

QTEST_GUILESS_MAIN(TestAppPaths)
#include "test_app_paths.moc"
