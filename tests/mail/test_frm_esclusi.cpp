#include "../accessories/xlsx_docx_reader.h"
#include "mail/opt_out.h"
#include "support/test_seams.h"
#include "mail/frm_esclusi.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

// "Indirizzi esclusi dagli invii" as a user works it.
class TestFrmEsclusi : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<TfrmEsclusi> form_;

    template <typename T> T* child(const char* name) const { return form_->findChild<T*>(QLatin1String(name)); }
    QString count() const { return child<QLabel>("lblConteggio")->text(); }
    QStringList addresses() const
    {
        QStringList out;
        for (int r = 0; r < form_->model()->rowCount(); ++r)
            out << form_->model()->text(r, 0);
        return out;
    }
    void open()
    {
        form_ = std::make_unique<TfrmEsclusi>();
        QVERIFY(showActive(form_.get()));
    }
    // Keys as they arrive, into whatever has the focus.
    void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }

private slots:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(home_.path()));
        QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("Documents")));
    }

    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        OptOutList().add(
            { "anna@x.it", "bruno@x.it" }, QStringLiteral("telefonata"), QDateTime(QDate(2024, 5, 2), QTime(10, 15)));
        OptOutList().add({ "carla@y.it" }, QStringLiteral("modulo web"), QDateTime(QDate(2024, 6, 1), QTime(9, 0)));
        open();
    }

    void cleanup()
    {
        form_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void listsWithDateAndNote()
    {
        QCOMPARE(addresses(), QStringList({ "anna@x.it", "bruno@x.it", "carla@y.it" }));
        QCOMPARE(form_->model()->text(2, 1), QStringLiteral("01/06/2024 09:00"));
        QCOMPARE(form_->model()->text(2, 2), QStringLiteral("modulo web"));
        QCOMPARE(count(), QStringLiteral("3 indirizzi esclusi"));
    }

    void pasteMany()
    {
        child<QPlainTextEdit>("txtIndirizzi")->setFocus();
        QApplication::clipboard()->setText(
            QStringLiteral("Dario Neri <Dario@Z.it>\r\nemma@z.it; ANNA@x.it\nnon un indirizzo\nfabio@"));
        QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
        child<QLineEdit>("txtNota")->setFocus();
        type(QStringLiteral("lettera del 3 maggio"));
        child<QPushButton>("cmdAggiungi")->click();
        QCOMPARE(addresses(), QStringList({ "anna@x.it", "bruno@x.it", "carla@y.it", "dario@z.it", "emma@z.it" }));
        QCOMPARE(form_->model()->text(3, 2), QStringLiteral("lettera del 3 maggio"));
        QCOMPARE(dialogs_->last().kind, QStringLiteral("warning"));
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("2 indirizzi sono stati aggiunti all'elenco degli esclusi.\n1 indirizzo era già "
                           "nell'elenco.\n\nNon sono indirizzi e-mail e non sono stati aggiunti (2):\nnon un "
                           "indirizzo\nfabio@"));
        // What was no address stays, to be mended.
        QCOMPARE(child<QPlainTextEdit>("txtIndirizzi")->toPlainText(), QStringLiteral("non un indirizzo\nfabio@"));
        QCOMPARE(count(), QStringLiteral("5 indirizzi esclusi"));
    }

    void addNothing()
    {
        child<QPushButton>("cmdAggiungi")->click();
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Aggiunta non applicabile"));
        QCOMPARE(OptOutList().count(), 3);
    }

    void searchAndRemove()
    {
        child<QLineEdit>("txtCerca")->setFocus();
        type(QStringLiteral("X.IT"));
        QCOMPARE(addresses(), QStringList({ "anna@x.it", "bruno@x.it" }));
        QCOMPARE(count(), QStringLiteral("2 mostrati su 3 indirizzi esclusi"));
        auto* list = child<QTableView>("lstEsclusi");
        list->selectAll();
        dialogs_->answers = { false };
        child<QPushButton>("cmdRimuovi")->click();
        QCOMPARE(OptOutList().count(), 3);
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Rimuovere 2 indirizzi dall'elenco? Riceveranno di nuovo le comunicazioni."));
        list->selectAll();
        child<QPushButton>("cmdRimuovi")->click();
        QCOMPARE(OptOutList().keys(), QSet<QString>({ "carla@y.it" }));
        QCOMPARE(count(), QStringLiteral("0 mostrati su 1 indirizzo escluso"));
        child<QPushButton>("cmdRimuovi")->click();
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Rimozione non applicabile"));
    }

    void exportsWhatIsShown()
    {
        child<QLineEdit>("txtCerca")->setText(QStringLiteral("telefonata"));
        child<QPushButton>("cmdEsporta")->click();
        QCOMPARE(desktop_->opened.size(), 1);
        const Workbook book = Workbook::read(desktop_->opened.first());
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.sheetName, QStringLiteral("Indirizzi esclusi"));
        QCOMPARE(book.cells.value("A1").text, QStringLiteral("Indirizzo"));
        QVERIFY(book.cells.value("C1").bold);
        QCOMPARE(book.cells.value("A3").text, QStringLiteral("bruno@x.it"));
        QCOMPARE(book.cells.value("B3").text, QStringLiteral("02/05/2024 10:15"));
        QCOMPARE(book.rows, 3);
        QFile::remove(desktop_->opened.first());
    }
};

QTEST_MAIN(TestFrmEsclusi)
#include "test_frm_esclusi.moc"
