// Files the program hands to the desktop: one no program is set for is
// reported with its full path (the real xdg-open decides), and an exported
// file never lands in a folder nobody chose.
#include "accessories/exports.h"
#include "accessories/frm_card_paths.h"
#include "archives/archive_registry.h"
#include "contacts/frm_rubrica.h"
#include "shell/frm_help_form.h"
#include "storage/app_paths.h"
#include "support/test_seams.h"
#include "ui/desktop.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A desktop as bare as a fresh account's: no session, no handler anywhere,
// so Debian's xdg-open has nothing to open a file with and exits non-zero.
void bareDesktop(const QTemporaryDir& home)
{
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.filePath("system")));
    for (const char* v : { "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID",
             "DISPLAY", "WAYLAND_DISPLAY", "BROWSER" })
        qunsetenv(v);
}

} // namespace

class TestDesktopOpen : public QObject {
    Q_OBJECT

private slots:
    void realOpenerAnswers()
    {
        QTemporaryDir home;
        bareDesktop(home);
        const QString file = home.filePath("documento.velmaroprova");
        writeFile(file, "\x01\x02 dati");
        QVERIFY(!Desktop::open(file));

        // With a program set for the kind of file, the file reaches it by its
        // full path and the answer is yes.
        qputenv("DISPLAY", ":99"); // xdg-open looks for programs only with one
        QDir().mkpath(home.filePath("data/applications"));
        QDir().mkpath(home.filePath("config"));
        const QString script = home.filePath("apri.sh");
        writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + QFile::encodeName(home.filePath("aperto")) + "\"\n");
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        writeFile(home.filePath("data/applications/velmaro-prova.desktop"),
            "[Desktop Entry]\nType=Application\nName=Prova\nExec=" + QFile::encodeName(script) + " %f\n");
        writeFile(home.filePath("config/mimeapps.list"),
            "[Default Applications]\napplication/octet-stream=velmaro-prova.desktop\n");
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(home.path());
        const bool opened = Desktop::open(QStringLiteral("documento.velmaroprova"));
        QDir::setCurrent(cwd);
        QVERIFY(opened);
        QFile seen(home.filePath("aperto"));
        QVERIFY(seen.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(seen.readAll()), file);
    }

    // Where the user meets it: each says which file and that no program is
    // set for it.
    void noProgramForTheFile_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("attached file, Apri") << "attachment";
        QTest::newRow("associated folder, Apri") << "folder";
        QTest::newRow("manual from the help") << "manual";
        QTest::newRow("document export") << "export";
    }

    void noProgramForTheFile()
    {
        QFETCH(QString, route);
        QTemporaryDir home;
        bareDesktop(home);
        TempDataDir data;
        ScriptedDialogs dialogs;
        QString target;
        if (route == "attachment" || route == "folder") {
            const bool file = route == "attachment";
            target = file ? home.filePath("listino.velmaroprova") : home.filePath("Pratiche");
            if (file)
                writeFile(target, "x");
            else
                QDir().mkpath(target);
            const ArchiveDefinition& contacts = Archives::get(ArchiveKind::Contacts);
            std::unique_ptr<CardPathsForm> form(
                file ? CardPathsForm::attachedFiles(contacts, nullptr) : CardPathsForm::folder(contacts, nullptr));
            QStringList values(form->slotCount() * 2);
            values[0] = target;
            form->setValues(values);
            form->show();
            QTest::mouseClick(form->findChild<QPushButton*>("cmdApri01"), Qt::LeftButton);
            QCOMPARE(dialogs.kinds(), QStringList { "warning" });
        } else if (route == "manual") {
            target = data.file(QStringLiteral("Guida.pdf"));
            writeFile(target, "%PDF-1.4\n");
            AppPaths::setInstallFolders(data.path(), data.file(QStringLiteral("doc")));
            TfrmHelpForm help;
            QTest::mouseClick(help.findChild<QWidget*>("lblPDF"), Qt::LeftButton);
            AppPaths::setInstallFolders({}, {});
            QCOMPARE(dialogs.kinds(), QStringList { "message" });
        } else {
            QDir().mkpath(home.filePath("Documents"));
            TfrmRubrica editor;
            Accessories::addExports(editor);
            QVERIFY(showActive(&editor));
            editor.findChild<QLineEdit*>("txtContatto")->setText(QStringLiteral("Rossi Mario"));
            QTest::mouseClick(editor.findChild<QWidget*>("cmdWord"), Qt::LeftButton);
            const QStringList files = QDir(home.filePath("Documents")).entryList(QDir::Files);
            QCOMPARE(files.size(), 1);
            target = home.filePath("Documents/" + files[0]);
            QCOMPARE(dialogs.kinds(), QStringList { "warning" });
            QVERIFY(dialogs.last().text.contains(QStringLiteral("è stato salvato, ma non è stato possibile aprirlo")));
        }
        const QString told = dialogs.last().text;
        QVERIFY2(told.contains(QDir::toNativeSeparators(target)), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("nessun programma")), qPrintable(told));
        QVERIFY(!QApplication::overrideCursor());
    }

    // Documents, home and the temporary folder in turn; never the folder the
    // program was started in.
    void exportFolder_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("Documents missing") << "home";
        QTest::newRow("nothing writable, a folder chosen") << "chosen";
        QTest::newRow("nothing writable, the choice cancelled") << "cancelled";
    }

    void exportFolder()
    {
        QFETCH(QString, situation);
        QTemporaryDir root;
        TempDataDir data;
        ScriptedDialogs dialogs;
        RecordingDesktop desktop;
        const QString home = root.filePath("casa");
        const QString chosen = root.filePath("scelta");
        const QString started = root.filePath("avvio");
        QDir().mkpath(chosen);
        QDir().mkpath(started);
        if (situation == "home")
            QDir().mkpath(home);
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath("config")));
        qputenv("TMPDIR", QFile::encodeName(root.filePath("manca")));
        desktop.nextDirectory = situation == "chosen" ? chosen : QString();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(started);
        {
            TfrmRubrica editor;
            Accessories::addExports(editor);
            QVERIFY(showActive(&editor));
            editor.findChild<QLineEdit*>("txtContatto")->setText(QStringLiteral("Rossi Mario"));
            QTest::mouseClick(editor.findChild<QWidget*>("cmdWord"), Qt::LeftButton);
        }
        QDir::setCurrent(cwd);
        qunsetenv("TMPDIR");

        QCOMPARE(QDir(started).entryList(QDir::Files | QDir::Hidden), QStringList {});
        const QString folder = situation == "home" ? home : chosen;
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), situation == "cancelled" ? 0 : 1);
        QCOMPARE(desktop.folderDialogs, situation == "home" ? 0 : 1);
        QCOMPARE(dialogs.kinds(), QStringList { "message" });
        if (situation == "home") {
            // Not where the help says: the user is told where it went.
            QVERIFY(dialogs.last().text.startsWith(QStringLiteral("La cartella Documenti (")));
            QVERIFY(dialogs.last().text.endsWith(QDir(home).filePath(files[0])));
        } else {
            QVERIFY(dialogs.last().text.startsWith(QStringLiteral("Non è possibile salvare il file")));
        }
        QCOMPARE(desktop.opened,
            situation == "cancelled" ? QStringList {} : QStringList { QDir(folder).filePath(files.value(0)) });
    }
};

QTEST_MAIN(TestDesktopOpen)
#include "test_desktop_open.moc"
