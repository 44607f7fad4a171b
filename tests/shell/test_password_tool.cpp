#include "shell/password_store.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// velmaro-password, run as an installation runs it: from its own folder,
// without a terminal.
class TestPasswordTool : public QObject {
    Q_OBJECT
private slots:
    void init();
    void setsPassword_data();
    void setsPassword();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString tool_;
};

void TestPasswordTool::init()
{
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
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("VELMARO_PASSWORD"));
    if (!value.isNull())
        env.insert(QStringLiteral("VELMARO_PASSWORD"), value);
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
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

QTEST_GUILESS_MAIN(TestPasswordTool)
#include "test_password_tool.moc"
