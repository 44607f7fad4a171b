#include "shell/password_store.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// velmaro-password, run as an installation runs it: from its own folder,
// without a terminal. It writes where the program reads: beside itself when
// it may write there, otherwise in the user's data folder, or in the folder
// named with --dati.
class TestPasswordTool : public QObject {
    Q_OBJECT
private slots:
    void init();
    void setsPassword_data();
    void setsPassword();
    void followsDataFolderRule_data();
    void followsDataFolderRule();

private:
    QProcessEnvironment environment(const QString& password) const;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QTemporaryDir> home_;
    QString tool_;
};

void TestPasswordTool::init()
{
    home_ = std::make_unique<QTemporaryDir>();
    dir_ = std::make_unique<QTemporaryDir>();
    tool_ = dir_->filePath(QStringLiteral("velmaro-password"));
    QVERIFY(QFile::copy(QStringLiteral(VELMARO_PASSWORD_TOOL), tool_));
}

void TestPasswordTool::setsPassword_data()
{
    QTest::addColumn<QString>("value"); // of VELMARO_PASSWORD; null: unset
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stored");
    QTest::newRow("from the environment") << QStringLiteral(" Città ") << 0 << QStringLiteral("CITTÀ");
    QTest::newRow("no terminal, no variable: instructions") << QString() << 2 << QString();
    QTest::newRow("blanks only") << QStringLiteral("   ") << 1 << QString();
    QTest::newRow("letter the file cannot hold") << QStringLiteral("łódź") << 1 << QString();
}

void TestPasswordTool::setsPassword()
{
    QFETCH(QString, value);
    QFETCH(int, exitCode);
    QFETCH(QString, stored);
    QProcess p;
    p.setProcessEnvironment(environment(value));
    p.start(tool_, {});
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), exitCode);
    const QString file = dir_->filePath(QStringLiteral("unins000.dll"));
    QCOMPARE(QFile::exists(file), !stored.isEmpty());
    if (stored.isEmpty()) {
        if (value.isNull())
            QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("VELMARO_PASSWORD")));
        return;
    }
    QCOMPARE(PasswordStore(file).stored(), stored);
    QCOMPARE(QFile::permissions(file) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

QProcessEnvironment TestPasswordTool::environment(const QString& password) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VELMARO_PASSWORD"));
    if (!password.isNull())
        env.insert(QStringLiteral("VELMARO_PASSWORD"), password);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home_->path());
    return env;
}

void TestPasswordTool::followsDataFolderRule_data()
{
    QTest::addColumn<bool>("programReadOnly");
    QTest::addColumn<bool>("chosen"); // --dati names a third folder
    QTest::addColumn<QString>("written"); // "program", "user" or "chosen"
    QTest::newRow("writable program folder: beside it") << false << false << "program";
    QTest::newRow("read-only program folder: the user's folder") << true << false << "user";
    QTest::newRow("--dati wins over a writable folder") << false << true << "chosen";
    QTest::newRow("--dati wins over a read-only folder") << true << true << "chosen";
}

void TestPasswordTool::followsDataFolderRule()
{
    QFETCH(bool, programReadOnly);
    QFETCH(bool, chosen);
    QFETCH(QString, written);
    // Read-only by its mode, which counts for root as well (CI runs as root).
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    if (programReadOnly)
        QVERIFY(QFile::setPermissions(dir_->path(), readOnly));
    QTemporaryDir office;
    QStringList arguments;
    if (chosen)
        arguments << QStringLiteral("--dati") << office.path();

    QProcess p;
    p.setProcessEnvironment(environment(QStringLiteral("segreta")));
    p.start(tool_, arguments);
    p.closeWriteChannel();
    const bool finished = p.waitForFinished(10000);
    QFile::setPermissions(dir_->path(), readOnly | QFileDevice::WriteOwner);
    QVERIFY(finished);
    QCOMPARE(p.exitCode(), 0);

    const QMap<QString, QString> folders { { QStringLiteral("program"), dir_->path() },
        { QStringLiteral("user"), home_->filePath(QStringLiteral("Velmaro")) },
        { QStringLiteral("chosen"), office.path() } };
    for (auto it = folders.cbegin(); it != folders.cend(); ++it) {
        const QString file = it.value() + QStringLiteral("/unins000.dll");
        QCOMPARE(QFile::exists(file), it.key() == written);
    }
    QCOMPARE(PasswordStore(folders.value(written) + QStringLiteral("/unins000.dll")).stored(), QStringLiteral("SEGRETA"));
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(folders.value(written)));
    // The user's folder is made only when it is the one used.
    QCOMPARE(QFileInfo::exists(folders.value(QStringLiteral("user"))), written == QLatin1String("user"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
        written == QLatin1String("program") ? 2 : 1);
}

QTEST_GUILESS_MAIN(TestPasswordTool)
#include "test_password_tool.moc"
