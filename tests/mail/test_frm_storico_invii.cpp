#include "../accessories/xlsx_docx_reader.h"
#include "archives/archive_registry.h"
#include "mail/delivery.h"
#include "mail/delivery_journal.h"
#include "mail/delivery_origin.h"
#include "mail/frm_invia_email.h"
#include "mail/frm_storico_invii.h"
#include "mail/mapi_mail.h"
#include "mail/private_send.h"
#include "messages/frm_newsletter.h"
#include "sent_messages.h"
#include "support/test_seams.h"
#include "ui/modal.h"
#include "ui/search_forms.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

// The "Storico invii" window and the two forms that lead to it and send,
// against a stand-in sendmail.
namespace {

using SentMessages::CancellingProgress;

QString cell(QTableView* view, int row, int column) { return view->model()->index(row, column).data().toString(); }

} // namespace

class TestFrmStoricoInvii : public QObject {
    Q_OBJECT

    QTemporaryDir bin_;
    QTemporaryDir home_;
    std::unique_ptr<TempDataDir> data_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;

    QString out() const { return data_->file(QStringLiteral("out")); }

    QStringList received() const { return SentMessages::to(out()); }

    void refuse(const QString& address)
    {
        QFile f(data_->file(QStringLiteral("fail")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(address.toUtf8());
    }

    void send(const QString& subject, const QString& list, bool privately)
    {
        SendMapiMessage("", list, "Ufficio", "ufficio@x.it", subject, "Testo", "", false, privately);
    }

    // Two sendings: a plain one, then a private one with a refusal.
    void twoSendings()
    {
        send("Primo", "anna@x.it,bruno@x.it", false);
        refuse("bruno@x.it");
        send("Secondo", "anna@x.it,bruno@x.it,carla@x.it", true);
        QFile::remove(data_->file(QStringLiteral("fail")));
    }

    struct Window {
        std::unique_ptr<TfrmStoricoInvii> form = std::make_unique<TfrmStoricoInvii>();
        QTableView* sendings() const { return form->findChild<QTableView*>("lstInvii"); }
        QTableView* recipients() const { return form->findChild<QTableView*>("lstDestinatari"); }
        QPushButton* button(const char* name) const { return form->findChild<QPushButton*>(name); }
        QString details() const { return form->findChild<QLabel*>("lblDettagli")->text(); }
        void choose(int row) const { sendings()->setCurrentIndex(sendings()->model()->index(row, 0)); }
    };

private slots:
    void initTestCase()
    {
        QFile f(bin_.filePath("sendmail"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nm=$(mktemp \"$VELMARO_TEST_DATA/out/XXXXXX\")\ncat > \"$m\"\n"
                "f=$(cat \"$VELMARO_TEST_DATA/fail\" 2>/dev/null)\n"
                "if [ -n \"$f\" ] && grep -qx \"To: $f\" \"$m\"; then rm \"$m\"; exit 67; fi\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("VELMARO_SENDMAIL", QFile::encodeName(bin_.filePath("sendmail")));
        // Exports go to the Documents folder of this home.
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath(".config")));
        QVERIFY(QDir(home_.path()).mkpath("Documents"));
    }

    void init()
    {
        data_ = std::make_unique<TempDataDir>();
        QDir().mkpath(out());
        qputenv("VELMARO_TEST_DATA", QFile::encodeName(data_->path()));
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        JournalQuestion::install();
    }

    void cleanup()
    {
        Delivery::installObserver(nullptr);
        desktop_.reset();
        dialogs_.reset();
        data_.reset();
    }

    void listsWithCounts()
    {
        twoSendings();
        Window w;
        QVERIFY(showActive(w.form.get()));
        QCOMPARE(w.form->windowTitle(), QStringLiteral(" Velmaro - Storico invii"));
        QTableView* s = w.sendings();
        QCOMPARE(s->model()->rowCount(), 2);
        QCOMPARE(cell(s, 0, 1), QStringLiteral("Secondo"));
        QCOMPARE(cell(s, 0, 3), QStringLiteral("riservato"));
        QCOMPARE(cell(s, 0, 4), QStringLiteral("sendmail"));
        QCOMPARE(QStringList({ cell(s, 0, 5), cell(s, 0, 6), cell(s, 0, 7), cell(s, 0, 8) }),
            QStringList({ "3", "2", "1", "0" }));
        QCOMPARE(cell(s, 1, 3), QStringLiteral("unico messaggio"));
        QCOMPARE(s->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Consegnati"));

        // The newest is chosen at once, with its recipients.
        QTableView* r = w.recipients();
        QCOMPARE(r->model()->rowCount(), 3);
        QCOMPARE(cell(r, 1, 0), QStringLiteral("bruno@x.it"));
        QCOMPARE(cell(r, 1, 1), QStringLiteral("rifiutato"));
        QCOMPARE(cell(r, 1, 2), QStringLiteral("destinatario sconosciuto"));
        QCOMPARE(cell(r, 0, 1), QStringLiteral("consegnato al programma di posta"));
        QVERIFY(w.details().contains(QStringLiteral("Mittente: Ufficio <ufficio@x.it>")));
        QVERIFY(w.button("cmdRiprendi")->isEnabled());

        w.choose(1);
        QCOMPARE(r->model()->rowCount(), 2);
        QVERIFY(!w.button("cmdRiprendi")->isEnabled()); // a plain sending is not resumed
    }

    // Typed as a user does: the filter narrows both lists.
    void filterByAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("subjects");
        QTest::addColumn<int>("recipients");
        QTest::newRow("both hold it") << "BRUNO@" << QStringList { "Secondo", "Primo" } << 1;
        QTest::newRow("only the private one") << "carla" << QStringList { "Secondo" } << 1;
        QTest::newRow("a part of the domain") << "x.it" << QStringList {} << 0;
        QTest::newRow("nothing typed") << "" << QStringList { "Secondo", "Primo" } << 3;
    }

    void filterByAddress()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, subjects);
        QFETCH(int, recipients);
        twoSendings();
        Window w;
        QVERIFY(showActive(w.form.get()));
        auto* filter = w.form->findChild<QLineEdit*>("txtFiltro");
        filter->setFocus();
        QCOMPARE(QApplication::focusWidget(), filter);
        QTest::keyClicks(QApplication::focusWidget(), "zz");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w.sendings()->model()->rowCount(), 0);
        QCOMPARE(w.details(), QStringLiteral("Nessun invio a un indirizzo che inizia con «zz»."));
        filter->clear();
        QTest::keyClicks(QApplication::focusWidget(), typed);
        // The lists follow the typing after a short pause.
        QTRY_COMPARE(w.recipients()->model()->rowCount(), recipients);
        QCOMPARE(w.sendings()->model()->rowCount(), subjects.size());
        QStringList shown;
        for (int i = 0; i < subjects.size(); ++i)
            shown << cell(w.sendings(), i, 1);
        QCOMPARE(shown, subjects);
    }

    void exportsTheShownList()
    {
        twoSendings();
        Window w;
        QVERIFY(showActive(w.form.get()));
        w.form->findChild<QLineEdit*>("txtFiltro")->setText("a");
        w.form->txtFiltroChange();
        w.choose(0);
        w.button("cmdEsporta")->click();
        QCOMPARE(desktop_->opened.size(), 1);
        const Workbook book = Workbook::read(desktop_->opened[0]);
        QVERIFY2(book.ok, qPrintable(book.error));
        QCOMPARE(book.sheetName, QStringLiteral("Storico invii"));
        QCOMPARE(book.rows, 2);
        QCOMPARE(book.cells.value("A1").text, QStringLiteral("Data invio"));
        QCOMPARE(book.cells.value("B2").text, QStringLiteral("Secondo"));
        QCOMPARE(book.cells.value("C2").text, QStringLiteral("anna@x.it"));
        QCOMPARE(book.cells.value("D2").text, QStringLiteral("consegnato al programma di posta"));
        QVERIFY(desktop_->opened[0].endsWith(".xlsx"));
    }

    // Never resumed silently: the uncertain ones are named and decided on,
    // then the whole resumption is confirmed.
    void resumeAsks()
    {
        {
            CancellingProgress cancel(1);
            send("Sconto del 20%2", "a@x.it,b@x.it,c@x.it,d@x.it", true);
        }
        {
            DeliveryJournal journal;
            SqlStatement(journal.database(), "UPDATE destinatari SET esito = ?1 WHERE indirizzo = 'c@x.it'")
                .bind(1, qint64(Journal::Outcome::Uncertain))
                .execute();
            journal.recount(1);
        }
        Window w;
        QVERIFY(showActive(w.form.get()));
        QVERIFY(w.button("cmdRiprendi")->isEnabled());

        dialogs_->answers = { true, false }; // include the uncertain, then No
        w.button("cmdRiprendi")->click();
        QCOMPARE(dialogs_->kinds(), QStringList({ "confirm", "confirm" }));
        QVERIFY(dialogs_->shown[0].text.startsWith("Per un indirizzo l'esito è incerto"));
        QVERIFY(dialogs_->shown[0].text.contains("\n\nc@x.it\n\n"));
        QCOMPARE(dialogs_->shown[1].text,
            QStringLiteral(
                "Inviare di nuovo il messaggio «Sconto del 20%2» ai 3 destinatari che non l'hanno ricevuto?"));
        QCOMPARE(received(), QStringList({ "a@x.it" }));

        dialogs_->clear();
        dialogs_->answers = { false, true }; // leave the uncertain out, confirm
        w.button("cmdRiprendi")->click();
        QVERIFY(dialogs_->shown[1].text.contains("ai 2 destinatari"));
        QCOMPARE(received(), QStringList({ "a@x.it", "b@x.it", "d@x.it" }));
        QCOMPARE(w.sendings()->model()->rowCount(), 1); // the same sending, brought up to date
        QCOMPARE(cell(w.sendings(), 0, 6), QStringLiteral("3"));
        QCOMPARE(cell(w.sendings(), 0, 8), QStringLiteral("1"));
        QVERIFY(w.button("cmdRiprendi")->isEnabled());

        dialogs_->clear();
        dialogs_->answers = { true, true };
        w.button("cmdRiprendi")->click();
        QVERIFY(dialogs_->shown[1].text.contains("all'unico destinatario"));
        QCOMPARE(received(), QStringList({ "a@x.it", "b@x.it", "c@x.it", "d@x.it" }));
        QVERIFY(!w.button("cmdRiprendi")->isEnabled());
    }

    // The editor records the card's number and shows when it was last sent.
    void editorLineAndEntry()
    {
        const qint32 id = TestCards::store(ArchiveKind::Messages,
            { { "varEmailMitt", "ufficio@x.it" }, { "varEmail", "anna@x.it,bruno@x.it" }, { "varOggetto", "Saldi" },
                { "varTesto", "Testo" } });
        ModelessDialogs modeless;
        TfrmNewsletter editor;
        int opened = 0;
        editor.setHistoryOpener([&] { ++opened; });
        QVERIFY(showActive(&editor));
        auto* line = editor.findChild<QLabel*>("lblUltimoInvio");
        QCOMPARE(line->text(), QString());
        QVERIFY(editor.loadCardById(id));
        QCOMPARE(line->text(), QStringLiteral("Mai inviata"));

        editor.findChild<QCheckBox*>("chkPreviewMsg")->setChecked(false);
        editor.findChild<QCheckBox*>("chkRiservato")->setChecked(false);
        editor.btnEmailMouseUp();
        QCOMPARE(received(), QStringList({ "anna@x.it, bruno@x.it" }));
        QVERIFY2(line->text().startsWith("Ultimo invio: ") && line->text().endsWith(" a 2 destinatari"),
            qPrintable(line->text()));
        {
            DeliveryJournal journal;
            QCOMPARE(journal.sendings(0, 1).first().cardId, id);
        }
        QTest::mouseClick(editor.findChild<QToolButton*>("cmdStorico"), Qt::LeftButton);
        QCOMPARE(opened, 1);
        editor.clearCard();
        QCOMPARE(line->text(), QString());
    }

    // A message taken from a card keeps the card's number while its subject
    // and body are the card's.
    void sendFormRecordsThePickedCard()
    {
        const qint32 id = TestCards::store(ArchiveKind::Messages,
            { { "varEmailMitt", "ufficio@x.it" }, { "varEmail", "anna@x.it" }, { "varOggetto", "Saldi" },
                { "varTesto", "Testo" } });
        ModelessDialogs modeless;
        QuickSearchForm picker(Archives::get(ArchiveKind::Messages));
        TfrmInviaEmail form;
        form.setMessagePicker(&picker);
        QVERIFY(showActive(&form));
        form.findChild<QCheckBox*>("chkPreviewMsg")->setChecked(false);
        QTest::mouseClick(form.findChild<QWidget*>("impMessaggio"), Qt::LeftButton);
        SearchDriver::search(&picker, "Oggetto", " ");
        SearchDriver::doubleClick(&picker, 0);
        QCOMPARE(form.fieldText("txtOggetto"), QStringLiteral("Saldi"));
        const auto lastCard = [] {
            DeliveryJournal journal;
            return journal.sendings(0, 1).first().cardId;
        };
        form.btnEmailMouseUp();
        QCOMPARE(lastCard(), id);
        form.setFieldText("txtTesto", "Un altro testo");
        form.btnEmailMouseUp();
        QCOMPARE(lastCard(), 0);
        QCOMPARE(received().size(), 2);
    }

    // The send form opens the window itself and records its sendings; the
    // journal unwritable asks first, and No sends nothing.
    void sendFormEntryAndQuestion()
    {
        TfrmInviaEmail form;
        QVERIFY(showActive(&form));
        form.setFieldText("txtEmailMitt", "ufficio@x.it");
        form.setFieldText("txtEmail", "anna@x.it");
        form.setFieldText("txtTesto", "Testo");
        form.findChild<QCheckBox*>("chkPreviewMsg")->setChecked(false);
        form.btnEmailMouseUp();
        QCOMPARE(received(), QStringList({ "anna@x.it" }));

        int rows = -1;
        Modal::install([&](QDialog* d) {
            if (d->objectName() == "frmStoricoInvii") {
                d->show();
                rows = d->findChild<QTableView*>("lstInvii")->model()->rowCount();
            }
            return 0;
        });
        QTest::mouseClick(form.findChild<QToolButton*>("cmdStorico"), Qt::LeftButton);
        Modal::install({});
        QCOMPARE(rows, 1);

        // A damaged journal: asked once, No sends nothing.
        for (const char* suffix : { "", "-wal", "-shm" })
            QFile::remove(DeliveryJournal::defaultPath() + suffix);
        QFile damaged(DeliveryJournal::defaultPath());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(8192, 'x'));
        damaged.close();
        dialogs_->clear();
        dialogs_->answers = { false };
        form.btnEmailMouseUp();
        QCOMPARE(dialogs_->kinds(), QStringList({ "confirm", "error" }));
        QCOMPARE(dialogs_->shown[0].caption, QStringLiteral("Storico invii"));
        QVERIFY(dialogs_->shown[0].text.contains("Inviare comunque il messaggio senza registrarlo?"));
        QVERIFY(dialogs_->shown[1].text.contains("l'utente ha annullato la richiesta"));
        QCOMPARE(received(), QStringList({ "anna@x.it" }));
    }
};

QTEST_MAIN(TestFrmStoricoInvii)
#include "test_frm_storico_invii.moc"
