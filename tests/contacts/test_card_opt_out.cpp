#include "contacts/frm_rubrica.h"
#include "mail/frm_esclusi.h"
#include "mail/opt_out.h"
#include "support/test_seams.h"
#include "ui/modal.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

// The contacts editor's side of the opt-out list: the note in the
// information bar and the one-button exclusion.
class TestCardOptOut : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<TfrmRubrica> form_;

    QLabel* note() const { return form_->findChild<QLabel*>("lblEscluso"); }
    void release(const char* name)
    {
        QTest::mouseClick(form_->findChild<QWidget*>(QLatin1String(name)), Qt::LeftButton);
    }
    // The hint the button writes into the bar.
    QString hintOf(const char* name)
    {
        QWidget* b = form_->findChild<QWidget*>(QLatin1String(name));
        QTest::mouseMove(b);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(b, &enter);
        return form_->findChild<QLabel*>("panInfo")->text();
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        TestCards::store(
            ArchiveKind::Contacts, { { "varContatto", "Anna Bianchi" }, { "varEmail", "Anna@X.it, ufficio@x.it" } });
        TestCards::store(ArchiveKind::Contacts, { { "varContatto", "Senza indirizzo" } });
        OptOutList().add({ "anna@x.it" }, QStringLiteral("telefonata"));
        form_ = std::make_unique<TfrmRubrica>();
        QVERIFY(showActive(form_.get()));
    }

    void cleanup()
    {
        form_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void noteFollowsTheCard()
    {
        QVERIFY(note()->isHidden());
        release("imgPrimo");
        QVERIFY(note()->isVisible());
        QCOMPARE(note()->text(), QStringLiteral("Escluso dagli invii: anna@x.it"));
        QCOMPARE(
            hintOf("cmdEscludi"), QStringLiteral(" Riammette agli invii l'indirizzo e-mail della scheda corrente."));
        // The note also follows the address as it is typed.
        auto* email = form_->findChild<QLineEdit*>("txtEmail");
        email->setText(QStringLiteral("ufficio@x.it"));
        QVERIFY(note()->isHidden());
        QCOMPARE(
            hintOf("cmdEscludi"), QStringLiteral(" Esclude dagli invii l'indirizzo e-mail della scheda corrente."));
        email->setText(QStringLiteral(" ANNA@x.it "));
        QVERIFY(note()->isVisible());
        QCOMPARE(note()->text(), QStringLiteral("Escluso dagli invii: ha chiesto di non ricevere comunicazioni"));
        release("cmdNuovo");
        QVERIFY(note()->isHidden());
    }

    void oneButtonExcludesAndLetsIn()
    {
        release("imgPrimo");
        dialogs_->answers = { false };
        release("cmdEscludi");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma riammissione"));
        QCOMPARE(OptOutList().count(), 1);
        hintOf("cmdEscludi");
        release("cmdEscludi");
        QCOMPARE(OptOutList().count(), 0);
        QVERIFY(note()->isHidden());
        // The hint under the pointer says at once what the button now does.
        QCOMPARE(form_->findChild<QLabel*>("panInfo")->text(),
            QStringLiteral(" Esclude dagli invii l'indirizzo e-mail della scheda corrente."));
        // Excluding asks nothing and takes every address of the card.
        dialogs_->clear();
        release("cmdEscludi");
        QCOMPARE(dialogs_->count(), 0);
        const QList<OptOutList::Entry> entries = OptOutList().entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[1].address, QStringLiteral("ufficio@x.it"));
        QCOMPARE(entries[1].note, QStringLiteral("Dalla rubrica: Anna Bianchi"));
        QCOMPARE(note()->text(), QStringLiteral("Esclusi dagli invii: anna@x.it, ufficio@x.it"));
    }

    void cardWithoutAddress()
    {
        release("imgUltimo");
        release("cmdEscludi");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Esclusione non applicabile"));
        QCOMPARE(OptOutList().count(), 1);
    }

    void listOpensFromTheToolbar()
    {
        QString shown;
        Modal::install([&](QDialog* d) {
            shown = d->objectName();
            return 0;
        });
        // Until the start-up says how, the button opens nothing.
        QVERIFY(!form_->findChild<QWidget*>("cmdEsclusi")->isEnabled());
        form_->setOptOutWindow([](QWidget* parent) { TfrmEsclusi::open(parent); });
        release("cmdEsclusi");
        Modal::install({});
        QCOMPARE(shown, QStringLiteral("frmEsclusi"));
    }
};

QTEST_MAIN(TestCardOptOut)
#include "test_card_opt_out.moc"
