#include "contacts/frm_esporta_contatti.h"
#include "contacts/frm_rubrica.h"
#include "support/test_seams.h"
#include "ui/modal.h"
#include "ui/search_forms.h"

#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TestFrmEsportaContatti : public QObject {
    Q_OBJECT

    std::unique_ptr<TempHome> home_;
    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<TfrmRubrica> editor_;
    std::unique_ptr<QuickSearchForm> quick_;

    QString documents() const { return home_->documents(); }

    // Presses the toolbar button and lets act drive the export window.
    void exportWith(const std::function<void(QDialog*)>& act)
    {
        Modal::install([&](QDialog* d) {
            act(d);
            return d->result();
        });
        QTest::mouseClick(editor_->findChild<QToolButton*>("cmdEsportaContatti"), Qt::LeftButton);
        Modal::install({});
    }

    QByteArray onlyExport() const
    {
        const QStringList files = QDir(documents()).entryList(QDir::Files);
        if (files.size() != 1)
            return "<" + QByteArray::number(files.size()) + " files>";
        QFile f(QDir(documents()).filePath(files.first()));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void init()
    {
        home_ = std::make_unique<TempHome>();
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Rossi Mario" }, { "varEmail", "m@x.it" }, { "varCitta", "Milano" } });
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Bianchi Anna" }, { "varEmail", "a@x.it" }, { "varCitta", "Roma" } });
        editor_ = std::make_unique<TfrmRubrica>();
        quick_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Contacts));
        editor_->setSearches(quick_.get(), nullptr);
        editor_->show();
    }

    void cleanup()
    {
        editor_.reset();
        quick_.reset();
        dialogs_.reset();
        dir_.reset();
        home_.reset();
    }

    void allContactsToCsv()
    {
        exportWith([](QDialog* d) {
            QCOMPARE(d->findChild<QRadioButton*>("optTutti")->text(),
                QStringLiteral("Tutti i contatti dell'archivio (2)"));
            QVERIFY(!d->findChild<QRadioButton*>("optRicerca")->isEnabled());
            QVERIFY(!d->findChild<QComboBox*>("cboSeparatore")->isEnabled());
            d->findChild<QRadioButton*>("optCsv")->setChecked(true);
            QVERIFY(d->findChild<QComboBox*>("cboSeparatore")->isEnabled());
            d->findChild<QComboBox*>("cboSeparatore")->setCurrentIndex(1);
            d->findChild<QPushButton*>("cmdEsporta")->click();
        });
        const QByteArray file = onlyExport();
        QVERIFY(file.startsWith("\xEF\xBB\xBF" "Cognome e nome,Codice ID,"));
        QVERIFY(file.contains("\r\nRossi Mario,,,,m@x.it,,,Milano,"));
        QVERIFY(file.contains("\r\nBianchi Anna,"));
        QCOMPARE(dialogs_->last().kind, QStringLiteral("message"));
        QVERIFY(dialogs_->last().text.startsWith(QStringLiteral("Contatti esportati: 2.\nIl file è stato salvato come «")));
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("Contatti ")));
    }

    // The last search made from the editor; one made for another form
    // (a picker) is not the editor's.
    void lastSearchResultToVCard()
    {
        quick_->setPick(QStringLiteral("rubrica"), {});
        SearchDriver::search(quick_.get(), QStringLiteral("Città"), QStringLiteral("Roma"));
        quick_->setPick(QStringLiteral("gruppi"), {});
        SearchDriver::search(quick_.get(), QStringLiteral("Città"), QStringLiteral("Milano"));
        quick_->close();
        exportWith([](QDialog* d) {
            QVERIFY(!d->findChild<QRadioButton*>("optRicerca")->isEnabled());
            d->findChild<QPushButton*>("cmdAnnulla")->click();
        });
        quick_->setPick(QStringLiteral("rubrica"), {});
        SearchDriver::search(quick_.get(), QStringLiteral("Città"), QStringLiteral("Roma"));
        quick_->close();
        exportWith([](QDialog* d) {
            auto* found = d->findChild<QRadioButton*>("optRicerca");
            QCOMPARE(found->text(), QStringLiteral("Solo i contatti trovati dall'ultima ricerca (1)"));
            found->setChecked(true);
            d->findChild<QRadioButton*>("optVCard3")->setChecked(true);
            d->findChild<QPushButton*>("cmdEsporta")->click();
        });
        const QByteArray file = onlyExport();
        QVERIFY(file.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bianchi Anna\r\n"));
        QCOMPARE(file.count("BEGIN:VCARD"), 1);
    }

    void emptyArchiveIsRefused()
    {
        dir_ = std::make_unique<TempDataDir>();
        exportWith([](QDialog* d) { d->findChild<QPushButton*>("cmdEsporta")->click(); });
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Esportazione dati non applicabile"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Attenzione: non ci sono contatti da esportare."));
        QCOMPARE(QDir(documents()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
};

QTEST_MAIN(TestFrmEsportaContatti)
#include "test_frm_esporta_contatti.moc"
