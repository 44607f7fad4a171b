#include "archives/archive_registry.h"
#include "mail/mail_recorder.h"
#include "messages/frm_importa_data.h"
#include "messages/frm_newsletter.h"
#include "storage/card_archive.h"
#include "storage/ini_file.h"
#include "support/test_seams.h"
#include "ui/modal.h"
#include "ui/search_forms.h"
#include "ui/short_date.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

int storedMessages() { return TestCards::count(ArchiveKind::Messages); }

QByteArray stored(qint32 id, const char* column) { return TestCards::stored(ArchiveKind::Messages, id, column); }

} // namespace

class TestFrmNewsletter : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ModelessDialogs> modeless_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<MailRecorder> mail_;
    std::unique_ptr<TfrmNewsletter> form_;
    std::unique_ptr<QuickSearchForm> contacts_;
    std::unique_ptr<TfrmImportaData> dates_;

    QLineEdit* edit(const char* name) const { return form_->findChild<QLineEdit*>(QLatin1String(name)); }
    QPlainTextEdit* memo(const char* name) const { return form_->findChild<QPlainTextEdit*>(QLatin1String(name)); }
    QString position() const { return form_->findChild<QLabel*>("lblPosizione")->text(); }
    void release(const char* name)
    {
        QTest::mouseClick(form_->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
    }
    void save() { form_->findChild<QToolButton*>("cmdSalva")->click(); }
    void fill(const QString& sender, const QString& to, const QString& body)
    {
        edit("txtEmailMitt")->setText(sender);
        memo("txtEmail")->setPlainText(to);
        memo("txtTesto")->setPlainText(body);
    }
    void showForm() { QVERIFY(showActive(form_.get())); }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        mail_ = std::make_unique<MailRecorder>();
        form_ = std::make_unique<TfrmNewsletter>();
        contacts_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Contacts));
        dates_ = std::make_unique<TfrmImportaData>();
        form_->setContactPicker(contacts_.get());
        form_->setDatePicker(dates_.get());
        modeless_ = std::make_unique<ModelessDialogs>();
        showForm();
    }

    void cleanup()
    {
        modeless_.reset();
        dates_.reset();
        contacts_.reset();
        form_.reset();
        mail_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
        ShortDate::reset();
    }

    void requiredFields_data()
    {
        QTest::addColumn<bool>("send");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        const QString save = "Salvataggio dati non applicabile";
        const QString send = "Dati insufficienti";
        QTest::newRow("save sender") << false << " "
                                     << "a@x"
                                     << "t" << save
                                     << "Attenzione: per salvare la scheda corrente è necessario indicare "
                                        "l'indirizzo e-mail del mittente."
                                     << "txtEmailMitt";
        QTest::newRow("save recipients") << false << "m@x"
                                         << ""
                                         << "t" << save
                                         << "Attenzione: per salvare la scheda corrente è necessario indicare "
                                            "l'indirizzo e-mail di almeno un destinatario."
                                         << "txtEmail";
        QTest::newRow("save body of blanks") << false << "m@x"
                                             << "a@x"
                                             << "  \n  " << save
                                             << "Attenzione: per salvare la scheda corrente è necessario indicare il "
                                                "testo del messaggio."
                                             << "txtTesto";
        QTest::newRow("send sender") << true << ""
                                     << ""
                                     << "" << send
                                     << "Attenzione: per poter inviare il presente messaggio è necessario indicare "
                                        "l'indirizzo e-mail del mittente."
                                     << "txtEmailMitt";
        QTest::newRow("send recipients") << true << "m@x"
                                         << " "
                                         << "t" << send
                                         << "Attenzione: per poter inviare il presente messaggio è necessario "
                                            "indicare l'indirizzo e-mail di almeno un destinatario."
                                         << "txtEmail";
        QTest::newRow("send body of blanks") << true << "m@x"
                                             << "a@x"
                                             << "   " << send
                                             << "Attenzione: per poter inviare il presente messaggio è necessario "
                                                "immettere il testo del messaggio."
                                             << "txtTesto";
    }

    void requiredFields()
    {
        QFETCH(bool, send);
        QFETCH(QString, sender);
        QFETCH(QString, to);
        QFETCH(QString, body);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        fill(sender, to, body);
        edit("txtOggetto")->setFocus();
        if (send)
            release("btnEmail");
        else
            save();
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QCOMPARE(dialogs_->last().caption, caption);
        QCOMPARE(dialogs_->last().text, text);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(storedMessages(), 0);
        QCOMPARE(mail_->count(), 0);
    }

    void refusedSaveStillScrubs()
    {
        fill("m@x", "a@x; b@y", "");
        edit("txtOggetto")->setText("Il \"nuovo\" listino");
        save();
        QCOMPARE(dialogs_->count(), 1);
        QCOMPARE(memo("txtEmail")->toPlainText(), QStringLiteral("a@x  b@y"));
        QCOMPARE(edit("txtOggetto")->text(), QStringLiteral("Il  nuovo  listino"));
    }

    void insertAndSenderKeptAcrossNewAndDelete()
    {
        edit("txtMittente")->setText("Ufficio");
        fill("ufficio@x.it", "a@x", "  Buongiorno\n");
        edit("txtTipologia")->setText("Promo");
        save();
        QCOMPARE(dialogs_->last().text, QStringLiteral("La scheda n. 1 è stata inserita in archivio."));
        QCOMPARE(stored(1, "varTesto"), QByteArray("Buongiorno"));
        QCOMPARE(memo("txtTesto")->toPlainText(), QStringLiteral("Buongiorno")); // reloaded trimmed
        release("cmdNuovo");
        QCOMPARE(position(), QString());
        QCOMPARE(edit("txtTipologia")->text(), QString());
        QCOMPARE(edit("txtMittente")->text(), QStringLiteral("Ufficio"));
        QCOMPARE(QApplication::focusWidget(), edit("txtTipologia"));
        form_->findChild<QToolButton*>("imgPrimo")->click();
        release("cmdElimina");
        QCOMPARE(storedMessages(), 0);
        QCOMPARE(position(), QString());
        QCOMPARE(edit("txtEmailMitt")->text(), QStringLiteral("ufficio@x.it"));
    }

    void senderRememberedAcrossShowings()
    {
        QCOMPARE(edit("txtMittente")->text(), QString()); // first run: nothing remembered
        edit("txtMittente")->setText("  Anna Bianchi ");
        edit("txtEmailMitt")->setText("anna@x.it");
        form_->close();
        const IniFile ini(dir_->file("Messaggi.ini"));
        QCOMPARE(ini.read("archivio messaggi", "nome mittente"), QStringLiteral("Anna Bianchi"));
        QFile raw(dir_->file("Messaggi.ini"));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QVERIFY(raw.readAll().contains("[Archivio Messaggi]\r\nNome Mittente=Anna Bianchi\r\n"));
        edit("txtMittente")->clear();
        showForm();
        QCOMPARE(edit("txtMittente")->text(), QStringLiteral("Anna Bianchi"));
        QCOMPARE(edit("txtEmailMitt")->text(), QStringLiteral("anna@x.it"));
    }

    void sendHandsTheScreenOverAndStoresNothing()
    {
        edit("txtMittente")->setText(" Ufficio ");
        fill(" ufficio@x.it", "a@x,b@y,c@z", "Testo\nsu due righe");
        edit("txtOggetto")->setText("Novità");
        form_->findChild<QLabel*>("lblFile01")->setText("/tmp/ignorato.pdf");
        form_->findChild<QCheckBox*>("chkPreviewMsg")->setChecked(false);
        release("btnEmail");
        QCOMPARE(mail_->count(), 1);
        const auto& s = mail_->last();
        QCOMPARE(s.recipients.size(), 1);
        QCOMPARE(s.recipients[0].lpszAddress, QStringLiteral("a@x,b@y,c@z"));
        QCOMPARE(s.recipients[0].ulRecipClass, MAPI_TO);
        QCOMPARE(s.originator.lpszName, QStringLiteral(" Ufficio "));
        QCOMPARE(s.originator.lpszAddress, QStringLiteral("SMTP: ufficio@x.it"));
        QCOMPARE(s.message.lpszSubject, QStringLiteral("Novità"));
        QVERIFY(s.message.lpszNoteText.contains(QStringLiteral("su due righe")));
        QCOMPARE(s.files.size(), 0); // only the attachment to send travels
        QCOMPARE(s.flags, 0u);
        QCOMPARE(storedMessages(), 0);
        QCOMPARE(dialogs_->count(), 0);

        mail_->result = MAPI_USER_ABORT;
        form_->findChild<QCheckBox*>("chkPreviewMsg")->setChecked(true);
        release("btnEmail");
        QCOMPARE(mail_->last().flags, MAPI_DIALOG);
        QCOMPARE(dialogs_->kinds(), QStringList { "error" });
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("l'utente ha annullato la richiesta")));
    }

    void attachmentField()
    {
        auto* apri = form_->findChild<QPushButton*>("cmdApri");
        QVERIFY(!apri->isEnabled());
        QTemporaryDir dir;
        const QString file = dir.filePath("listino.pdf");
        QFile(file).open(QIODevice::WriteOnly);
        desktop_->nextFileName = file;
        form_->findChild<QPushButton*>("cmdSfoglia")->click();
        QCOMPARE(edit("txtAllegato")->text(), file);
        QVERIFY(apri->isEnabled());
        apri->click();
        QCOMPARE(desktop_->opened, QStringList { file });
        QVERIFY(edit("txtAllegato")->isReadOnly());
        edit("txtAllegato")->setFocus();
        QTest::keyClick(edit("txtAllegato"), Qt::Key_Backspace);
        QCOMPARE(edit("txtAllegato")->text(), QString());
        QVERIFY(!apri->isEnabled());
    }

    void pickingFromContacts()
    {
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Bruno Bassi" }, { "varEmail", " b@y " } });

        memo("txtEmail")->setPlainText(" a@x ");
        release("impSingolo");
        QVERIFY(contacts_->isVisible());
        QCOMPARE(contacts_->mode(), QStringLiteral("newsletter"));
        contacts_->findChild<QLineEdit*>("txtCriterio")->setText("bruno");
        contacts_->findChild<QPushButton*>("btnPopola")->click();
        contacts_->selectLine(0);
        contacts_->lstRecordsDblClick();
        QVERIFY(!contacts_->isVisible());
        QCOMPARE(memo("txtEmail")->toPlainText(), QStringLiteral("a@x,b@y"));

        release("impMittente");
        QCOMPARE(contacts_->mode(), QStringLiteral("mitt_newsletter"));
        contacts_->findChild<QLineEdit*>("txtCriterio")->setText("bruno");
        contacts_->findChild<QPushButton*>("btnPopola")->click();
        contacts_->selectLine(0);
        contacts_->lstRecordsDblClick();
        QCOMPARE(edit("txtMittente")->text(), QStringLiteral("Bruno Bassi"));
        QCOMPARE(edit("txtEmailMitt")->text(), QStringLiteral("b@y"));
    }

    void creationDatePicker()
    {
        edit("txtCreazione")->setText("scritta a mano");
        release("impCreazione");
        QVERIFY(dates_->isVisible());
        dates_->close(); // the close box changes nothing
        QCOMPARE(edit("txtCreazione")->text(), QStringLiteral("scritta a mano"));

        ShortDate::useDayMonthYear(); // as after a quick search was shown
        release("impCreazione");
        dates_->findChild<QPushButton*>("cmdImporta")->click();
        QCOMPARE(edit("txtCreazione")->text(), QDate::currentDate().toString("dd/MM/yyyy"));
        QVERIFY(!dates_->isVisible());

        release("impCreazione");
        dates_->calendar()->setSelectedDate(QDate(2024, 3, 5));
        dates_->findChild<QPushButton*>("cmdImporta")->click();
        QCOMPARE(edit("txtCreazione")->text(), QStringLiteral("05/03/2024"));
        release("impCreazione");
        dates_->findChild<QPushButton*>("cmdImporta")->click();
        QCOMPARE(edit("txtCreazione")->text(), QStringLiteral("05/03/2024")); // the last picked day is kept
        QCOMPARE(position(), QString()); // nothing is stored
    }

    void enterChain()
    {
        edit("txtNote")->setFocus();
        QTest::keyClick(edit("txtNote"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), memo("txtEmail"));
        QTest::keyClicks(memo("txtEmail"), "a@x");
        QTest::keyClick(memo("txtEmail"), Qt::Key_Return);
        QCOMPARE(memo("txtEmail")->toPlainText(), QStringLiteral("a@x")); // no line break
        QCOMPARE(QApplication::focusWidget(), edit("txtOggetto"));
        edit("txtAllegato")->setFocus();
        QTest::keyClick(edit("txtAllegato"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), edit("txtMittente"));
        QTest::keyClick(edit("txtMittente"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), edit("txtEmailMitt"));
    }
};

QTEST_MAIN(TestFrmNewsletter)
#include "test_frm_newsletter.moc"
