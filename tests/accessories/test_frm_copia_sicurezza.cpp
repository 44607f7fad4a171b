#include "accessories/data_backup.h"
#include "accessories/frm_copia_sicurezza.h"
#include "shell/frm_avvio.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

class TestFrmCopiaSicurezza : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> home_;
    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<TfrmCopiaSicurezza> form_;

    QString documents() const { return home_->documents(); }
    void click(const char* name) { form_->findChild<QPushButton*>(QLatin1String(name))->click(); }

private slots:
    void init()
    {
        home_ = std::make_unique<TempHome>();
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        form_ = std::make_unique<TfrmCopiaSicurezza>();
        form_->setVersion(QStringLiteral("9.9"));
    }

    void cleanup()
    {
        form_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
        home_.reset();
    }

    // With neither Documents, home nor the temporary folder writable the
    // user chooses where the backup goes: never the folder the program was
    // started in.
    void nowhereWritableAsksForAFolder_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("a folder chosen") << true;
        QTest::newRow("the choice cancelled") << false;
    }

    void nowhereWritableAsksForAFolder()
    {
        QFETCH(bool, chosen);
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Prima" }, { "varEmail", "a@x.it" } });
        QTemporaryDir root;
        const QString folder = root.filePath("scelta"), started = root.filePath("avvio");
        QDir().mkpath(folder);
        QDir().mkpath(started);
        const QByteArray home = qgetenv("HOME"), tmp = qgetenv("TMPDIR");
        qputenv("HOME", QFile::encodeName(root.filePath("manca")));
        qputenv("TMPDIR", QFile::encodeName(root.filePath("manca")));
        desktop_->nextDirectory = chosen ? folder : QString();
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(started);
        form_->show();
        click("cmdCopia");
        QDir::setCurrent(cwd);
        qputenv("HOME", home);
        qputenv("TMPDIR", tmp);
        QCOMPARE(desktop_->folderDialogs, 1);
        QCOMPARE(QDir(started).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList {});
        QCOMPARE(QDir(folder).entryList({ "*.zip" }, QDir::Files).size(), chosen ? 1 : 0);
    }

    void backupThenRestore()
    {
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Prima" }, { "varEmail", "a@x.it" } });
        form_->show();
        auto* last = form_->findChild<QLabel*>("lblUltima");
        QCOMPARE(last->text(), QStringLiteral("Non è ancora stata fatta nessuna copia di sicurezza."));
        click("cmdCopia");
        const QStringList zips = QDir(documents()).entryList({ "*.zip" }, QDir::Files);
        QCOMPARE(zips.size(), 1);
        QVERIFY(zips.first().startsWith(QStringLiteral("Velmaro copia di sicurezza ")));
        const QString zip = QDir(documents()).filePath(zips.first());
        QCOMPARE(int(QFile::permissions(zip) & 0x0077), 0);
        QCOMPARE(dialogs_->last().kind, QStringLiteral("message"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("La copia di sicurezza è stata salvata nel file «%1».").arg(zip));
        QVERIFY(last->text().startsWith(QStringLiteral("Ultima copia di sicurezza: ")));
        QVERIFY(DataBackup::settings().last.isValid());
        // Nothing left behind but the backup.
        QCOMPARE(QDir(documents()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), zips);

        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Dopo" }, { "varEmail", "b@x.it" } });
        int restarted = 0;
        form_->setAfterRestore([&] { ++restarted; });
        desktop_->nextFileName = zip;
        click("cmdRipristina");
        QCOMPARE(desktop_->lastFilter, QStringLiteral("Copie di sicurezza (*.zip);;Tutti i file (*)"));
        QCOMPARE(dialogs_->shown[dialogs_->count() - 2].kind, QStringLiteral("confirm"));
        QVERIFY(dialogs_->shown[dialogs_->count() - 2].text.contains(QStringLiteral("Contatti.db")));
        QVERIFY(dialogs_->last().text.startsWith(QStringLiteral("Ripristino completato")));
        QCOMPARE(restarted, 1);
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 1);
        const QStringList aside = QDir(dir_->path()).entryList({ "Dati sostituiti il *" }, QDir::Dirs);
        QCOMPARE(aside.size(), 1);
        QVERIFY(QFile::exists(QDir(dir_->path()).filePath(aside.first() + "/Contatti.db")));
        // No work folder left beside the data.
        QCOMPARE(QDir(dir_->path()).entryList({ ".velmaro*" }, QDir::AllEntries | QDir::Hidden).size(), 0);
    }

    void answeringNoOrADamagedFileChangesNothing()
    {
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Prima" }, { "varEmail", "a@x.it" } });
        form_->show();
        click("cmdCopia");
        const QString zip = QDir(documents()).filePath(QDir(documents()).entryList({ "*.zip" }, QDir::Files).first());
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Dopo" }, { "varEmail", "b@x.it" } });
        desktop_->nextFileName = zip;
        dialogs_->answers = { false };
        click("cmdRipristina");
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 2);

        QFile broken(QDir(documents()).filePath("rotto.zip"));
        broken.open(QIODevice::WriteOnly);
        broken.write("PK rotto");
        broken.close();
        desktop_->nextFileName = broken.fileName();
        click("cmdRipristina");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Ripristino non applicabile"));
        QVERIFY(dialogs_->last().text.endsWith(QStringLiteral("Nessun dato è stato modificato.")));
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 2);
        QCOMPARE(QDir(dir_->path()).entryList({ "Dati sostituiti il *" }, QDir::Dirs).size(), 0);
    }

    void reminderSettingAndLauncher()
    {
        QCOMPARE(TfrmCopiaSicurezza::reminder(), QString()); // nothing to back up yet
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Prima" }, { "varEmail", "a@x.it" } });
        QCOMPARE(TfrmCopiaSicurezza::reminder(),
            QStringLiteral("Non è ancora stata fatta una copia di sicurezza dei dati: fare clic qui per farla."));
        DataBackup::setLastBackup(QDateTime::currentDateTime().addDays(-10));
        QCOMPARE(TfrmCopiaSicurezza::reminder(),
            QStringLiteral("L'ultima copia di sicurezza dei dati è di 10 giorni fa: fare clic qui per farne una."));

        form_->show();
        auto* days = form_->findChild<QSpinBox*>("spnGiorni");
        QCOMPARE(days->value(), DataBackup::Settings::kDefaultDays);
        days->setValue(30);
        QCOMPARE(DataBackup::settings().days, 30);
        QCOMPARE(TfrmCopiaSicurezza::reminder(), QString());
        days->setValue(3);
        form_->hide();

        TfrmAvvio launcher;
        launcher.setBackupForm(form_.get(), &TfrmCopiaSicurezza::reminder);
        launcher.show();
        auto* line = launcher.findChild<QLabel*>("lblPromemoria");
        QVERIFY(line->isVisible());
        QVERIFY(line->text().startsWith(QStringLiteral("L'ultima copia di sicurezza dei dati è di 10 giorni fa")));
        QDialog* opened = nullptr;
        Modal::install([&](QDialog* d) {
            opened = d;
            DataBackup::setLastBackup(QDateTime::currentDateTime());
            return 0;
        });
        QTest::mouseClick(line, Qt::LeftButton);
        Modal::install({});
        QCOMPARE(opened, form_.get());
        QVERIFY(!line->isVisible());
    }
};

QTEST_MAIN(TestFrmCopiaSicurezza)
#include "test_frm_copia_sicurezza.moc"
