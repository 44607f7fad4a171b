// The path field with browse and open buttons shared by the attached files,
// the folder and the two mail forms.
#include "support/test_seams.h"
#include "ui/path_chooser.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(PathChoice)

namespace {
PathChoice choiceNamed(const QString& name)
{
    if (name == "file")
        return PathChoice::attachedFile();
    if (name == "folder")
        return PathChoice::folder();
    return PathChoice::mailAttachment();
}
} // namespace

class TestPathChooser : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<QWidget> form_;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* open_ = nullptr;
    QTemporaryDir tmp_;

    void make(const QString& choice, const QString& initial = QString())
    {
        form_ = std::make_unique<QWidget>();
        path_ = new QLineEdit(initial, form_.get());
        browse_ = new QPushButton(form_.get());
        open_ = new QPushButton(form_.get());
        new PathChooser(path_, browse_, open_, choiceNamed(choice));
    }
    QString existingFile()
    {
        const QString f = tmp_.filePath("listino.pdf");
        QFile(f).open(QIODevice::WriteOnly);
        return f;
    }

private slots:
    void init()
    {
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
    }
    void cleanup()
    {
        form_.reset();
        desktop_.reset();
        dialogs_.reset();
    }

    void dialogsAreDressedPerUse_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("attached file") << "file"
                                       << "Selezionare un file e premere Apri:"
                                       << "Tutti i file (*)" << QColor(Qt::red);
        QTest::newRow("folder") << "folder"
                                << "Selezionare una cartella:"
                                << "" << QColor(Qt::red);
        QTest::newRow("mail attachment") << "mail"
                                         << "Selezionare il file da allegare al messaggio"
                                         << "" << QColor(Qt::gray);
    }
    void dialogsAreDressedPerUse()
    {
        QFETCH(QString, choice);
        QFETCH(QString, caption);
        QFETCH(QString, filter);
        QFETCH(QColor, colour);
        // A path already set: a file dialog starts in its folder, the folder
        // browser never preselects it.
        make(choice, existingFile());
        QVERIFY(path_->isReadOnly());
        QCOMPARE(path_->palette().color(QPalette::Text), colour);
        browse_->click();
        QCOMPARE(desktop_->fileDialogs + desktop_->folderDialogs, 1);
        QCOMPARE(desktop_->folderDialogs, choice == "folder" ? 1 : 0);
        QCOMPARE(desktop_->lastCaption, caption);
        QCOMPARE(desktop_->lastFilter, filter);
        QCOMPARE(desktop_->lastStart, choice == "folder" ? CardPaths::startFolder() : tmp_.path());
        QVERIFY(desktop_->lastStart != QDir::currentPath());
        QCOMPARE(path_->text(), existingFile()); // cancelled: unchanged
    }

    void refusedChoiceKeepsThePrevious_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("caption"); // empty: taken
        const QString file = "Selezione file non applicabile";
        QTest::newRow("semicolon") << "file"
                                   << "/srv/a;b.pdf" << file;
        QTest::newRow("folder with quote") << "folder"
                                           << "/srv/\"x\""
                                           << "Selezione cartella non applicabile";
        QTest::newRow("mail attachment") << "mail"
                                         << "/srv/a;b.pdf" << file;
        QTest::newRow("taken") << "file"
                               << "/srv/Città.pdf"
                               << "";
    }
    void refusedChoiceKeepsThePrevious()
    {
        QFETCH(QString, choice);
        QFETCH(QString, chosen);
        QFETCH(QString, caption);
        make(choice, "/srv/old");
        desktop_->nextFileName = chosen;
        desktop_->nextDirectory = chosen;
        browse_->click();
        if (caption.isEmpty()) {
            QCOMPARE(dialogs_->count(), 0);
            QCOMPARE(path_->text(), chosen);
        } else {
            QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
            QCOMPARE(dialogs_->last().caption, caption);
            QVERIFY2(dialogs_->last().text.contains(chosen), qPrintable(dialogs_->last().text));
            QCOMPARE(path_->text(), QStringLiteral("/srv/old"));
        }
    }

    void openChecksThePathFirst_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("desktopAnswer");
        QTest::addColumn<QString>("warning"); // caption; empty: opened without a word
        const QString file = "Apertura file non applicabile";
        const QString folder = "Apertura cartella non applicabile";
        QTest::newRow("existing file") << "file"
                                       << "FILE" << true << "";
        QTest::newRow("existing folder") << "folder"
                                         << "DIR" << true << "";
        QTest::newRow("deleted file") << "file"
                                      << "DIR/gone.pdf" << true << file;
        QTest::newRow("missing folder") << "folder"
                                        << "DIR/gone" << true << folder;
        QTest::newRow("no program could open it") << "file"
                                                  << "FILE" << false << file;
    }
    void openChecksThePathFirst()
    {
        QFETCH(QString, choice);
        QFETCH(QString, path);
        QFETCH(bool, desktopAnswer);
        QFETCH(QString, warning);
        path.replace("FILE", existingFile()).replace("DIR", tmp_.path());
        make(choice, "  " + path + " ");
        desktop_->openResult = desktopAnswer;
        QVERIFY(open_->isEnabled());
        open_->click();
        // A missing path never reaches the desktop; a refusal by it does.
        const bool reached = warning.isEmpty() || !desktopAnswer;
        QCOMPARE(desktop_->opened, reached ? QStringList { path } : QStringList {});
        if (warning.isEmpty()) {
            QCOMPARE(dialogs_->count(), 0);
        } else {
            QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
            QCOMPARE(dialogs_->last().caption, warning);
            QVERIFY(dialogs_->last().text.contains(path));
        }
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestPathChooser)
#include "test_path_chooser.moc"
