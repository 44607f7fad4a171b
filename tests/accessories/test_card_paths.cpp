// Path rules and the compaction routine, without any form.
#include "accessories/archive_compaction.h"
#include "storage/card_archive.h"
#include "storage/card_paths.h"
#include "support/test_seams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestCardPaths : public QObject {
    Q_OBJECT

private slots:
    void refusal_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason"); // part of the warning; empty: taken
        QTest::newRow("plain") << "/home/anna/Offerta 2024.pdf"
                               << "";
        QTest::newRow("accents and euro") << "/home/anna/Città €.pdf"
                                          << "";
        QTest::newRow("windows path") << "C:\\Documenti\\x.pdf"
                                      << "";
        QTest::newRow("semicolon") << "/srv/a;b.pdf"
                                   << "il carattere \u00ab;\u00bb";
        QTest::newRow("double quote") << "/srv/\"a\".pdf"
                                      << "il carattere \u00ab\"\u00bb";
        QTest::newRow("trailing blank") << "/srv/a.pdf "
                                        << "spazio";
        QTest::newRow("leading blank") << " /srv/a.pdf"
                                       << "spazio";
        QTest::newRow("no windows-1252 form") << "/srv/\u65e5\u672c.pdf"
                                              << "il carattere \u00ab\u65e5\u00bb";
        QTest::newRow("emoji") << "/srv/\U0001F600.pdf"
                               << "\U0001F600";
    }
    void refusal()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        const QString why = CardPaths::refusal(path, CardPaths::Kind::File);
        if (reason.isEmpty()) {
            QCOMPARE(why, QString());
        } else {
            QVERIFY2(why.contains(reason), qPrintable(why));
            QVERIFY(why.contains(QStringLiteral("\u00ab") + path + QStringLiteral("\u00bb")));
        }
    }

    void missing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("missing");
        QTest::newRow("existing file") << "FILE" << false << false;
        QTest::newRow("existing folder") << "DIR" << true << false;
        QTest::newRow("file where a folder is expected") << "FILE" << true << true;
        QTest::newRow("deleted file") << "DIR/gone.pdf" << false << true;
        QTest::newRow("windows path") << "C:\\Documenti\\x.pdf" << false << true;
        QTest::newRow("relative") << "x.pdf" << false << true;
        QTest::newRow("web address") << "https://example.it/x.pdf" << false << false;
        QTest::newRow("empty") << "" << false << false;
    }
    void missing()
    {
        QFETCH(QString, path);
        QFETCH(bool, folder);
        QFETCH(bool, missing);
        QTemporaryDir dir;
        const QString file = dir.filePath("x.pdf");
        QFile(file).open(QIODevice::WriteOnly);
        path.replace("FILE", file).replace("DIR", dir.path());
        QCOMPARE(CardPaths::isMissing(path, folder ? CardPaths::Kind::Folder : CardPaths::Kind::File), missing);
    }

    void startFolderIsNeverTheWorkingDirectory()
    {
        const QString start = CardPaths::startFolder();
        QVERIFY(QFileInfo(start).isDir());
        QVERIFY(start.startsWith(QDir::homePath()));
    }

    void vacuumRestoresTempStoreAfterFailure()
    {
        TempDataDir dir;
        const CardArchive& a = Archives::card(ArchiveKind::Messages);
        auto db = a.open();
        db->StartTransaction();
        try {
            ArchiveCompaction::vacuum(*db);
            QFAIL("VACUUM inside a transaction must fail");
        } catch (const ESQLiteException& e) {
            QVERIFY2(e.message().contains("cannot VACUUM from within a transaction"), qPrintable(e.message()));
        }
        auto t = db->Query("PRAGMA temp_store;");
        t->First();
        QCOMPARE(t->IntegerAt(0), qint64(2));
    }
};

QTEST_MAIN(TestCardPaths)
#include "test_card_paths.moc"
