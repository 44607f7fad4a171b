#include "mail/frm_invia_email.h"
#include "mail/unsubscribe.h"
#include "storage/win1252.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

// The buttons the forms that send share for personalised messages, on the
// send form: "Campi", "Anteprima personalizzata" and the opt-out list.
class TestPersonalTools : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<TfrmInviaEmail> form_;

    QLineEdit* subject() const { return form_->findChild<QLineEdit*>("txtOggetto"); }
    QPlainTextEdit* body() const { return form_->findChild<QPlainTextEdit*>("txtTesto"); }
    // Chooses a field in the "Campi" menu.
    void chooseField(const QString& placeholder)
    {
        QMenu* menu = form_->findChild<QToolButton*>("cmdCampi")->menu();
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->text() == placeholder)
                a->trigger();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        form_ = std::make_unique<TfrmInviaEmail>();
        QVERIFY(showActive(form_.get()));
    }

    void cleanup()
    {
        form_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void fieldGoesWhereTheCursorIs()
    {
        QMenu* menu = form_->findChild<QToolButton*>("cmdCampi")->menu();
        emit menu->aboutToShow();
        QCOMPARE(menu->actions().size(), 19);
        QCOMPARE(menu->actions().first()->text(), QStringLiteral("{Cognome e nome}"));
        // Nothing chosen yet: the body.
        chooseField(QStringLiteral("{Azienda}"));
        QCOMPARE(body()->toPlainText(), QStringLiteral("{Azienda}"));
        subject()->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Novita per "));
        subject()->setCursorPosition(6);
        chooseField(QStringLiteral("{Città}"));
        QCOMPARE(subject()->text(), QStringLiteral("Novita{Città} per "));
        QCOMPARE(QApplication::focusWidget(), subject());
    }

    void previewShowsAChosenRecipient()
    {
        TestCards::store(ArchiveKind::Contacts,
            { { "varContatto", "Anna Bianchi" }, { "varAzienda", "Studio Bianchi" }, { "varEmail", "anna@x.it" } });
        form_->setFieldText(QStringLiteral("txtEmail"), QStringLiteral("anna@x.it,nessuno@x.it"));
        subject()->setText(QStringLiteral("Per {Azienda|voi}"));
        body()->setPlainText(QStringLiteral("Gentile {Cognome e nome|cliente},\nciao."));
        form_->findChild<QCheckBox*>("chkRiservato")->setChecked(true);
        QStringList seen;
        Modal::install([&](QDialog* d) {
            const auto look = [&] {
                seen << d->findChild<QLineEdit*>("txtOggetto")->text()
                     << d->findChild<QPlainTextEdit*>("txtTesto")->toPlainText()
                     << d->findChild<QLabel*>("lblScheda")->text();
            };
            look();
            d->findChild<QComboBox*>("cboDestinatario")->setCurrentIndex(1);
            look();
            return 0;
        });
        form_->findChild<QPushButton*>("cmdAnteprima")->click();
        Modal::install({});
        const QString closing = QStringLiteral("\n\n") + Unsubscribe::defaultText();
        QCOMPARE(seen,
            QStringList({ "Per Studio Bianchi", "Gentile Anna Bianchi,\nciao." + closing,
                "Campi dalla scheda in rubrica di Anna Bianchi.", "Per voi", "Gentile cliente,\nciao." + closing,
                "Nessuna scheda in rubrica con questo indirizzo: i campi prendono il testo alternativo, o restano "
                "vuoti." }));
    }

    void previewNeedsRecipients()
    {
        form_->findChild<QPushButton*>("cmdAnteprima")->click();
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Anteprima non applicabile"));
    }

    void optOutListOpens()
    {
        QString shown;
        Modal::install([&](QDialog* d) {
            shown = d->objectName();
            return 0;
        });
        form_->findChild<QPushButton*>("cmdEsclusi")->click();
        Modal::install({});
        QCOMPARE(shown, QStringLiteral("frmEsclusi"));
    }
};

QTEST_MAIN(TestPersonalTools)
#include "test_personal_tools.moc"
