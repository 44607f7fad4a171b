#include "archives/archive_registry.h"
#include "mail/frm_invia_email.h"
#include "mail/mail_recorder.h"
#include "storage/card_archive.h"
#include "storage/ini_file.h"
#include "support/test_seams.h"
#include "ui/modal.h"
#include "ui/search_forms.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class TestFrmInviaEmail : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ModelessDialogs> modeless_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<MailRecorder> mail_;
    std::unique_ptr<TfrmInviaEmail> form_;
    std::unique_ptr<QuickSearchForm> contacts_;

    QLineEdit* edit(const char* name) const { return form_->findChild<QLineEdit*>(QLatin1String(name)); }
    QPlainTextEdit* memo(const char* name) const { return form_->findChild<QPlainTextEdit*>(QLatin1String(name)); }
    void release(const char* name)
    {
        QTest::mouseClick(form_->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
    }
    void showForm() { QVERIFY(showActive(form_.get())); }
    void pickContact(const char* mode, const QString& key)
    {
        release(mode);
        contacts_->findChild<QLineEdit*>("txtCriterio")->setText(key);
        contacts_->findChild<QPushButton*>("btnPopola")->click();
        contacts_->selectLine(0);
        contacts_->lstRecordsDblClick();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        mail_ = std::make_unique<MailRecorder>();
        form_ = std::make_unique<TfrmInviaEmail>();
        contacts_ = std::make_unique<QuickSearchForm>(Archives::get(ArchiveKind::Contacts));
        form_->setContactPicker(contacts_.get());
        modeless_ = std::make_unique<ModelessDialogs>();
        showForm();
    }

    void cleanup()
    {
        modeless_.reset();
        contacts_.reset();
        form_.reset();
        mail_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void warningsInOrder_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("focus");
        QTest::newRow("sender") << " "
                                << "a@x"
                                << "t"
                                << "txtEmailMitt";
        QTest::newRow("recipients") << "m@x"
                                    << ""
                                    << "t"
                                    << "txtEmail";
        QTest::newRow("body of blanks") << "m@x"
                                        << "a@x"
                                        << "   "
                                        << "txtTesto";
    }

    void warningsInOrder()
    {
        QFETCH(QString, sender);
        QFETCH(QString, to);
        QFETCH(QString, body);
        QFETCH(QString, focus);
        edit("txtEmailMitt")->setText(sender);
        memo("txtEmail")->setPlainText(to);
        memo("txtTesto")->setPlainText(body);
        edit("txtOggetto")->setFocus();
        release("btnEmail");
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Dati insufficienti"));
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(mail_->count(), 0);
    }

    void pickingContactsGrowsBothLists()
    {
        for (const auto& [name, address] : { std::pair<QByteArray, QByteArray> { "Anna Rossi", "a@x" },
                 { "Bruno Bassi", " b@y " }, { "Carla Senzamail", "" } })
            TestCards::store(ArchiveKind::Contacts, { { "varContatto", name }, { "varEmail", address } });
        pickContact("impSingolo", "anna");
        QCOMPARE(contacts_->mode(), QStringLiteral("invia"));
        pickContact("impSingolo", "bruno");
        QCOMPARE(memo("txtDestinatari")->toPlainText(), QStringLiteral("Anna Rossi,Bruno Bassi"));
        QCOMPARE(memo("txtEmail")->toPlainText(), QStringLiteral("a@x,b@y"));
        pickContact("impSingolo", "carla");
        QCOMPARE(memo("txtEmail")->toPlainText(), QStringLiteral("a@x,b@y,")); // no address: trailing comma
        pickContact("impMittente", "bruno");
        QCOMPARE(contacts_->mode(), QStringLiteral("mitt_invia"));
        QCOMPARE(edit("txtMittente")->text(), QStringLiteral("Bruno Bassi"));
        QCOMPARE(edit("txtEmailMitt")->text(), QStringLiteral("b@y"));
    }

    void sendPassesTheFieldsUntrimmed()
    {
        edit("txtMittente")->setText("Ufficio ");
        edit("txtEmailMitt")->setText("u@x.it");
        memo("txtDestinatari")->setPlainText("Anna,Bruno");
        memo("txtEmail")->setPlainText("a@x,b@y");
        memo("txtTesto")->setPlainText("Ciao");
        form_->findChild<QCheckBox*>("chkPreviewMsg")->setChecked(false);
        release("btnEmail");
        QCOMPARE(mail_->count(), 1);
        QCOMPARE(mail_->last().recipients.value(0).lpszName, QStringLiteral("Anna,Bruno"));
        QCOMPARE(mail_->last().recipients.value(0).lpszAddress, QStringLiteral("a@x,b@y"));
        QCOMPARE(mail_->last().originator.lpszName, QStringLiteral("Ufficio "));
        QCOMPARE(mail_->last().message.lpszSubject, QStringLiteral("<Nessun oggetto>"));
        QCOMPARE(memo("txtTesto")->toPlainText(), QStringLiteral("Ciao")); // nothing is cleared
        QCOMPARE(dialogs_->count(), 0);
    }

    void privateSendingMode_data()
    {
        QTest::addColumn<bool>("privately");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<bool>("answer"); // to the question, when asked
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("flags"); // -1: nothing submitted
        QTest::newRow("unticked") << false << false << true << 0 << 0;
        QTest::newRow("unticked, preview") << false << true << true << 0 << int(MAPI_DIALOG);
        QTest::newRow("ticked") << true << false << true << 0 << int(MAIL_PRIVATE);
        QTest::newRow("ticked, preview, Yes") << true << true << true << 1 << int(MAIL_PRIVATE);
        QTest::newRow("ticked, preview, No") << true << true << false << 1 << -1;
    }

    void privateSendingMode()
    {
        QFETCH(bool, privately);
        QFETCH(bool, preview);
        QFETCH(bool, answer);
        QFETCH(int, questions);
        QFETCH(int, flags);
        edit("txtEmailMitt")->setText("u@x.it");
        memo("txtEmail")->setPlainText("a@x,b@y");
        memo("txtTesto")->setPlainText("Ciao");
        auto* box = form_->findChild<QCheckBox*>("chkRiservato");
        QVERIFY(box);
        QVERIFY(!box->isChecked()); // a file without the key reads as unticked
        box->setChecked(privately);
        form_->findChild<QCheckBox*>("chkPreviewMsg")->setChecked(preview);
        dialogs_->answers = { answer };
        release("btnEmail");
        QCOMPARE(dialogs_->kinds(), QStringList(questions, QStringLiteral("confirm")));
        QCOMPARE(mail_->count(), flags < 0 ? 0 : 1);
        if (flags >= 0) {
            QCOMPARE(int(mail_->last().flags), flags);
            QCOMPARE(mail_->last().recipients.value(0).lpszAddress, QStringLiteral("a@x,b@y"));
        }
        QCOMPARE(IniFile(dir_->file("Messaggi.ini")).read("Invio Email", "Invio riservato"),
            privately ? QStringLiteral("1") : QString());
    }

    void senderSavedOnCloseAndFieldsKept()
    {
        int launcher = 0;
        LauncherLink::install([&] { ++launcher; });
        edit("txtMittente")->setText(" Segreteria ");
        edit("txtEmailMitt")->setText("s@x.it");
        edit("txtOggetto")->setText("Oggetto tenuto");
        form_->close();
        QCOMPARE(launcher, 1);
        QCOMPARE(
            IniFile(dir_->file("Messaggi.ini")).read("Invio Email", "Nome Mittente"), QStringLiteral("Segreteria"));
        QCOMPARE(IniFile(dir_->file("Messaggi.ini")).read("Archivio Messaggi", "Nome Mittente"), QString());
        edit("txtMittente")->setText("cambiato");
        showForm();
        QCOMPARE(edit("txtMittente")->text(), QStringLiteral("Segreteria"));
        QCOMPARE(edit("txtOggetto")->text(), QStringLiteral("Oggetto tenuto"));
        LauncherLink::install({});
    }
};

QTEST_MAIN(TestFrmInviaEmail)
#include "test_frm_invia_email.moc"
