#include "contacts/frm_importa_contatti.h"
#include "contacts/frm_rubrica.h"
#include "storage/card_archive.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

namespace {
const QByteArray kCsv = "Nome;Cognome;E-mail;Compleanno\r\n"
                        "Mario;Rossi;mario@rossi.it;1970\r\n"
                        "Anna;Bianchi;gia@presente.it;\r\n"
                        "Senza;Posta;;\r\n"
                        "Jan;Kowalski\xC5\x82;jan@x.pl;\r\n";

QStringList listLines(QDialog* d)
{
    QStringList out;
    const QAbstractItemModel* m = d->findChild<QListView*>("lstScartati")->model();
    for (int i = 0; i < m->rowCount(); ++i)
        out << m->index(i, 0).data().toString();
    return out;
}
} // namespace

class TestFrmImportaContatti : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<TfrmRubrica> form_;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_->file(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    // Opens the preview on the file and lets act drive it; the dialog's result.
    int importFile(const QString& path, const std::function<void(QDialog*)>& act)
    {
        desktop_->nextFileName = path;
        int result = -1;
        Modal::install([&](QDialog* d) {
            act(d);
            result = d->result();
            return result;
        });
        QTest::mouseClick(form_->findChild<QToolButton*>("cmdImportaContatti"), Qt::LeftButton);
        Modal::install({});
        return result;
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Esistente" }, { "varEmail", "gia@presente.it" } });
        form_ = std::make_unique<TfrmRubrica>();
        form_->show();
    }

    void cleanup()
    {
        form_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void previewThenImport()
    {
        const QString path = writeFile("contatti.csv", kCsv);
        QStringList refused;
        QString summary, mappedBirthday;
        const int result = importFile(path, [&](QDialog* d) {
            summary = d->findChild<QLabel*>("lblLetti")->text();
            mappedBirthday = d->findChild<QComboBox*>("cboColonna4")->currentText();
            refused = listLines(d);
            auto* preview = d->findChild<QTableWidget*>("tblAnteprima");
            QCOMPARE(preview->item(0, 2)->text(), QStringLiteral("Rossi Mario"));
            // Every heading is shown whole.
            for (int c = 0; c < preview->columnCount(); ++c)
                QVERIFY2(preview->columnWidth(c) >= preview->horizontalHeader()->sectionSizeHint(c),
                    qPrintable(preview->horizontalHeaderItem(c)->text()));
            d->findChild<QPushButton*>("cmdImporta")->click();
        });
        QCOMPARE(desktop_->lastFilter, QStringLiteral("File di contatti (*.vcf *.csv);;Tutti i file (*)"));
        QCOMPARE(summary, QStringLiteral("Contatti letti: 4. Da importare: 1; duplicati: 1; non importabili: 2."));
        QCOMPARE(mappedBirthday, QStringLiteral("Aggiungi alle note"));
        QCOMPARE(refused,
            QStringList({ QStringLiteral("Riga 3: l'indirizzo e-mail è già in archivio"),
                QStringLiteral("Riga 4: manca l'indirizzo e-mail"),
                QStringLiteral("Riga 5: il carattere «ł» del campo «Cognome e nome» non può essere salvato in "
                               "archivio") }));
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Contatti aggiunti: 1.\nContatti non importati: 3."));
        QCOMPARE(dialogs_->last().kind, QStringLiteral("message")); // a result, like every other
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 2);
        // The editor shows the first imported card.
        QCOMPARE(form_->fieldText("txtContatto"), QStringLiteral("Rossi Mario"));
        QCOMPARE(form_->fieldText("txtNote"), QStringLiteral("Compleanno: 1970"));
    }

    void changedMappingAndDuplicates()
    {
        const QString path = writeFile("contatti.csv", kCsv);
        QString summary;
        importFile(path, [&](QDialog* d) {
            d->findChild<QComboBox*>("cboColonna4")->setCurrentIndex(0); // not imported
            d->findChild<QCheckBox*>("chkDuplicati")->setChecked(true);
            summary = d->findChild<QLabel*>("lblLetti")->text();
            d->findChild<QPushButton*>("cmdImporta")->click();
        });
        // The counts follow the tick.
        QCOMPARE(summary,
            QStringLiteral("Contatti letti: 4. Da importare: 2; duplicati: 1; non importabili: 2."));
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 3);
        QCOMPARE(form_->fieldText("txtNote"), QString());
    }

    void wheelLeavesTheMappingAlone()
    {
        const QString path = writeFile("contatti.csv", kCsv);
        importFile(path, [&](QDialog* d) {
            auto* combo = d->findChild<QComboBox*>("cboColonna3");
            const int before = combo->currentIndex();
            for (int delta : { -120, 120, 120 }) {
                QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(combo, &wheel);
            }
            QCOMPARE(combo->currentIndex(), before);
            // Keys still choose.
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Down);
            QCOMPARE(combo->currentIndex(), before + 1);
            d->findChild<QPushButton*>("cmdAnnulla")->click();
        });
    }

    void fileOfNoContactsIsRefusedBeforeAnyWindow()
    {
        QByteArray wide;
        for (int i = 0; i < 100000; ++i)
            wide += "x,";
        bool shown = false;
        importFile(writeFile("sbagliato.csv", wide), [&](QDialog*) { shown = true; });
        QVERIFY(!shown);
        QCOMPARE(dialogs_->count(), 1);
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Importa contatti"));
        QVERIFY(dialogs_->last().text.startsWith(
            QStringLiteral("Attenzione: il file «sbagliato.csv» non sembra un elenco di contatti")));
    }

    void largeFileShowsItsFirstRowsWhileReading()
    {
        // Large enough that the first slice of reading does not reach its end
        // (the sanitizers' build reads more slowly).
#if defined(__SANITIZE_ADDRESS__)
        constexpr int rows = 30000;
#else
        constexpr int rows = 100000;
#endif
        const auto file = [&](const char* name, int n) {
            QByteArray big = "Cognome e nome;E-mail\r\n";
            for (int i = 0; i < n; ++i)
                big += "Contatto " + QByteArray::number(i) + ";c" + QByteArray::number(i) + "@x.it\r\n";
            return writeFile(name, big);
        };
        // Left while reading: nothing stored. Eight times as large, so that
        // however quick the reading, the first slice cannot reach the end.
        importFile(file("grandissimo.csv", rows * 8), [&](QDialog* d) {
            QCOMPARE(d->findChild<QTableWidget*>("tblAnteprima")->rowCount(), 20);
            QCOMPARE(d->findChild<QTableWidget*>("tblAnteprima")->item(0, 2)->text(), QStringLiteral("Contatto 0"));
            QVERIFY(d->findChild<QLabel*>("lblLetti")->text().startsWith(QStringLiteral("Lettura del file in corso")));
            QVERIFY(!d->findChild<QPushButton*>("cmdImporta")->isEnabled());
            d->findChild<QPushButton*>("cmdAnnulla")->click();
        });
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 1);
        // Read to the end while the window is painted, then stored.
        importFile(file("grande.csv", rows), [&](QDialog* d) {
            auto* bar = d->findChild<QProgressBar*>("barProgresso");
            QElapsedTimer t;
            t.start();
            while (!d->findChild<QPushButton*>("cmdImporta")->isEnabled() && t.elapsed() < 120000)
                QCoreApplication::processEvents();
            QCOMPARE(bar->value(), bar->maximum());
            QCOMPARE(d->findChild<QLabel*>("lblLetti")->text(),
                QStringLiteral("Contatti letti: %1. Da importare: %1; duplicati: 0; non importabili: 0.").arg(rows));
            d->findChild<QPushButton*>("cmdImporta")->click();
        });
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), rows + 1);
    }

    void duplicatesCountAsImportedWhenTicked()
    {
        importFile(writeFile("contatti.csv", kCsv), [&](QDialog* d) {
            auto* label = d->findChild<QLabel*>("lblLetti");
            d->findChild<QCheckBox*>("chkDuplicati")->setChecked(true);
            QCOMPARE(label->text(),
                QStringLiteral("Contatti letti: 4. Da importare: 2; duplicati: 1; non importabili: 2."));
            QCOMPARE(listLines(d).size(), 2);
            d->findChild<QCheckBox*>("chkDuplicati")->setChecked(false);
            QCOMPARE(label->text(),
                QStringLiteral("Contatti letti: 4. Da importare: 1; duplicati: 1; non importabili: 2."));
            QCOMPARE(listLines(d).size(), 3);
            d->findChild<QPushButton*>("cmdAnnulla")->click();
        });
    }

    void cancelStoresNothing()
    {
        const QString vcf = writeFile("uno.vcf", "BEGIN:VCARD\nVERSION:3.0\nN:Verdi;Luca\nEMAIL:l@v.it\nEND:VCARD\n");
        const int result = importFile(vcf, [](QDialog* d) {
            QVERIFY(d->findChild<QTableWidget*>("tblColonne")->isHidden());
            d->findChild<QPushButton*>("cmdAnnulla")->click();
        });
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(TestCards::count(ArchiveKind::Contacts), 1);
        QCOMPARE(dialogs_->count(), 0);
    }
};

QTEST_MAIN(TestFrmImportaContatti)
#include "test_frm_importa_contatti.moc"
