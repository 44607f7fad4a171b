#include "contacts/frm_rubrica.h"
#include "storage/card_archive.h"
#include "support/test_seams.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

qint32 storeContact(const QByteArray& name, const QByteArray& email = "x@y.it")
{
    return TestCards::store(ArchiveKind::Contacts, { { "varContatto", name }, { "varEmail", email } });
}

QByteArray storedValue(qint32 id, const char* column) { return TestCards::stored(ArchiveKind::Contacts, id, column); }

int storedCount() { return TestCards::count(ArchiveKind::Contacts); }

} // namespace

class TestFrmRubrica : public QObject {
    Q_OBJECT

    std::unique_ptr<TempDataDir> dir_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<RecordingDesktop> desktop_;
    std::unique_ptr<TfrmRubrica> form_;

    QLineEdit* edit(const char* name) const { return form_->findChild<QLineEdit*>(QLatin1String(name)); }
    QString position() const { return form_->findChild<QLabel*>("lblPosizione")->text(); }
    void click(const char* name) { form_->findChild<QToolButton*>(QLatin1String(name))->click(); }
    void release(const char* name, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(form_->findChild<QWidget*>(QLatin1String(name)), button);
    }
    void showForm() { QVERIFY(showActive(form_.get())); }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDataDir>();
        dialogs_ = std::make_unique<ScriptedDialogs>();
        desktop_ = std::make_unique<RecordingDesktop>();
        form_ = std::make_unique<TfrmRubrica>();
        showForm();
    }

    void cleanup()
    {
        form_.reset();
        desktop_.reset();
        dialogs_.reset();
        dir_.reset();
    }

    void emptyArchive()
    {
        QVERIFY(QFileInfo::exists(dir_->file("Contatti.db")));
        QCOMPARE(position(), QString());
        QCOMPARE(QApplication::focusWidget(), edit("txtContatto"));
        for (const char* arrow : { "imgPrimo", "imgIndietro", "imgAvanti", "imgUltimo" })
            click(arrow);
        QCOMPARE(position(), QString());
        release("cmdElimina");
        QCOMPARE(dialogs_->count(), 1);
        QCOMPARE(dialogs_->last().kind, QStringLiteral("warning"));
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Eliminazione dati non applicabile"));
    }

    void insertShowsTheNewNumber()
    {
        for (int i = 0; i < 11; ++i)
            storeContact("old");
        const auto& a = Archives::card(ArchiveKind::Contacts);
        a.open()->Execute(a.deleteCard(11)); // the highest number is given again
        edit("txtContatto")->setText("  Rossi Mario \"Ciccio\"; ");
        edit("txtEmail")->setText("mario@rossi.it");
        form_->findChild<QPlainTextEdit*>("txtNote")->setPlainText("riga 1\nriga 2\n");
        click("cmdSalva");
        QCOMPARE(dialogs_->kinds(), QStringList { "message" });
        QCOMPARE(dialogs_->last().text, QStringLiteral("La scheda n. 11 è stata inserita in archivio."));
        QCOMPARE(position(), QStringLiteral("11"));
        QCOMPARE(storedValue(11, "varContatto"), QByteArray("Rossi Mario  Ciccio"));
        QCOMPARE(storedValue(11, "varNote"), QByteArray("riga 1\r\nriga 2"));
        QCOMPARE(edit("txtContatto")->text(), QStringLiteral("Rossi Mario  Ciccio")); // reloaded trimmed
    }

    void updateKeepsScreenUntrimmed()
    {
        const qint32 id = storeContact("Bianchi");
        click("imgPrimo");
        QCOMPARE(position(), QString::number(id));
        edit("txtContatto")->setText(" D'Amico; Anna ");
        click("cmdSalva");
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Le modifiche apportate alla scheda n. %1 sono state inserite in archivio.").arg(id));
        QCOMPARE(storedValue(id, "varContatto"), QByteArray("D'Amico  Anna"));
        QCOMPARE(edit("txtContatto")->text(), QStringLiteral(" D'Amico  Anna ")); // scrubbed, not reloaded
    }

    void requiredFields_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");
        QTest::newRow("insert no name") << false << "   "
                                        << "a@b.it"
                                        << "Salvataggio dati non applicabile"
                                        << "Attenzione: per salvare la scheda corrente è necessario indicare il nome "
                                           "del contatto."
                                        << "txtContatto";
        QTest::newRow("insert no email") << false << "Rossi"
                                         << ""
                                         << "Salvataggio dati non applicabile"
                                         << "Attenzione: per salvare la scheda corrente è necessario indicare "
                                            "l'indirizzo e-mail del contatto."
                                         << "txtEmail";
        QTest::newRow("update no name") << true << ""
                                        << "a@b.it"
                                        << "Aggiornamento dati non applicabile"
                                        << "Attenzione: per salvare le modifiche alla scheda corrente è necessario "
                                           "indicare il nome del contatto."
                                        << "txtContatto";
        QTest::newRow("update no email") << true << "Rossi"
                                         << " \t"
                                         << "Aggiornamento dati non applicabile"
                                         << "Attenzione: per salvare le modifiche alla scheda corrente è necessario "
                                            "indicare l'indirizzo e-mail del contatto."
                                         << "txtEmail";
    }

    void requiredFields()
    {
        QFETCH(bool, stored);
        QFETCH(QString, name);
        QFETCH(QString, email);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, focus);
        if (stored) {
            storeContact("Verdi");
            click("imgUltimo");
        }
        edit("txtCodice")->setFocus();
        edit("txtContatto")->setText(name);
        edit("txtEmail")->setText(email);
        click("cmdSalva");
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QCOMPARE(dialogs_->last().caption, caption);
        QCOMPARE(dialogs_->last().text, text);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(storedCount(), stored ? 1 : 0);
        if (stored)
            QCOMPARE(storedValue(1, "varContatto"), QByteArray("Verdi"));
    }

    void navigationOverGaps()
    {
        for (int i = 1; i <= 9; ++i)
            storeContact(QByteArray::number(i));
        const auto& a = Archives::card(ArchiveKind::Contacts);
        for (int id : { 1, 2, 4, 6, 7, 8 })
            a.open()->Execute(a.deleteCard(id));
        click("imgAvanti"); // a new card falls back to the first one
        QCOMPARE(position(), QStringLiteral("3"));
        click("imgAvanti");
        QCOMPARE(position(), QStringLiteral("5"));
        QCOMPARE(edit("txtContatto")->text(), QStringLiteral("5"));
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("3"));
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("3"));
        click("imgUltimo");
        QCOMPARE(position(), QStringLiteral("9"));
        click("imgAvanti");
        QCOMPARE(position(), QStringLiteral("9"));
        release("cmdNuovo");
        click("imgIndietro");
        QCOMPARE(position(), QStringLiteral("3"));
        QCOMPARE(dialogs_->count(), 0);
    }

    void deleteAsksFirst()
    {
        storeContact("Uno");
        storeContact("Due");
        click("imgUltimo");
        dialogs_->answers = { false };
        release("cmdElimina");
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Conferma cancellazione scheda"));
        QCOMPARE(dialogs_->last().text, QStringLiteral("Si intende proprio cancellare la scheda corrente?"));
        QCOMPARE(storedCount(), 2);
        QCOMPARE(position(), QStringLiteral("2"));
        dialogs_->answers = { true };
        release("cmdElimina", Qt::RightButton); // any mouse button
        QCOMPARE(storedCount(), 1);
        QCOMPARE(position(), QString()); // an empty card, not a neighbour
        QCOMPARE(edit("txtContatto")->text(), QString());
    }

    void failedSaveKeepsTheCard()
    {
        const qint32 id = storeContact("Neri");
        click("imgPrimo");
        const auto& a = Archives::card(ArchiveKind::Contacts);
        a.open()->Execute("CREATE TRIGGER bloccata BEFORE UPDATE ON contatti BEGIN SELECT RAISE(ABORT, 'bloccata'); END");
        edit("txtAzienda")->setText("Neri S.r.l.");
        click("cmdSalva");
        QCOMPARE(dialogs_->kinds(), QStringList { "error" });
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("bloccata")));
        QCOMPARE(edit("txtAzienda")->text(), QStringLiteral("Neri S.r.l."));
        QCOMPARE(position(), QString::number(id));
        QCOMPARE(storedValue(id, "varAzienda"), QByteArray());
    }

    void characterOutsideTheArchiveCodePage()
    {
        edit("txtContatto")->setText("Łukasz Nowak");
        edit("txtEmail")->setText("l@n.pl");
        edit("txtCitta")->setText("Città €");
        click("cmdSalva");
        QCOMPARE(dialogs_->kinds(), QStringList { "warning" });
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("«Ł»")));
        QVERIFY(dialogs_->last().text.contains(QStringLiteral("«Cognome e nome»")));
        QCOMPARE(QApplication::focusWidget(), edit("txtContatto"));
        QCOMPARE(storedCount(), 0);
        QCOMPARE(edit("txtContatto")->text(), QStringLiteral("Łukasz Nowak"));
        edit("txtContatto")->setText("Lukasz Nowak");
        click("cmdSalva");
        QCOMPARE(storedValue(1, "varCitta"), QByteArray("Citt\xe0 \x80"));
    }

    void leaveAndShowAgainStartsEmpty()
    {
        int launcherShown = 0;
        LauncherLink::install([&] { ++launcherShown; });
        storeContact("Gialli");
        click("imgPrimo");
        release("cmdEsci");
        QVERIFY(!form_->isVisible());
        QCOMPARE(launcherShown, 1);
        showForm();
        QCOMPARE(position(), QString());
        QCOMPARE(edit("txtContatto")->text(), QString());
        LauncherLink::install({});
    }

    void storageFailureOnNavigationReachesTheErrorBox()
    {
        {
            const auto& a = Archives::card(ArchiveKind::Contacts);
            auto db = a.open();
            db->Execute("DROP TABLE contatti");
            db->Execute("CREATE TABLE contatti (ID INTEGER PRIMARY KEY, altro BLOB)");
            db->Execute("INSERT INTO contatti (altro) VALUES ('x')");
        }
        click("imgPrimo");
        QCOMPARE(dialogs_->kinds(), QStringList { "error" });
        QCOMPARE(dialogs_->last().text, QStringLiteral("Field not found in dataset: varContatto"));
        QCOMPARE(position(), QString());
    }

    // Field rules.

    void provinceUpperCasedAsTyped()
    {
        auto* prov = form_->findChild<QComboBox*>("txtProv");
        QCOMPARE(prov->count(), 112);
        prov->setFocus();
        // As a user's keys arrive: at the focused widget, the combo.
        QTest::keyClicks(QApplication::focusWidget(), "mix");
        QCOMPARE(prov->currentText(), QStringLiteral("MI"));
        edit("txtContatto")->setText("Rossi");
        edit("txtEmail")->setText("r@x.it");
        click("cmdSalva");
        QCOMPARE(TestCards::stored(ArchiveKind::Contacts, position().toInt(), "varProv"), QByteArray("MI"));
    }

    void upperCaseKeepsTheCaret()
    {
        QLineEdit* cf = edit("txtCodFisc");
        cf->setText("RSSMRA80A01H501U");
        cf->setCursorPosition(3);
        cf->selectAll();
        cf->insert("rssmra80a01h501u"); // as a paste does
        QCOMPARE(cf->text(), QStringLiteral("RSSMRA80A01H501U"));
        QCOMPARE(cf->cursorPosition(), 16);
        edit("txtIban")->setText("it60x0542811101000000123456");
        QCOMPARE(edit("txtIban")->text(), QStringLiteral("IT60X0542811101000000123456"));
    }

    void vatFieldTakesDigitsOnly()
    {
        QLineEdit* iva = edit("txtIva");
        iva->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "12a3 ");
        QCOMPARE(iva->text(), QStringLiteral("123"));
        QCOMPARE(dialogs_->count(), 2);
        QCOMPARE(dialogs_->last().caption, QStringLiteral("Carattere non valido"));
        QCOMPARE(dialogs_->last().text,
            QStringLiteral("Attenzione: indicare il numero di partita IVA digitando solo valori numerici."));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QCOMPARE(iva->text(), QStringLiteral("12"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(iva->text(), QStringLiteral("2"));
        QCOMPARE(dialogs_->count(), 2);
        // Tab leaves the field without a warning.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit("txtIban"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), iva);
        QCOMPARE(dialogs_->count(), 2);
    }

    void enterChainAndColours()
    {
        QLineEdit* name = edit("txtContatto");
        name->setFocus();
        QCOMPARE(name->palette().color(QPalette::Base), FormLook::focusColour());
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), edit("txtCodice"));
        QCOMPARE(name->palette().color(QPalette::Base), FormLook::idleColour());
        QVERIFY(name->font().bold());
        edit("txtFax")->setFocus();
        QTest::keyClick(edit("txtFax"), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), edit("txtCodFisc"));
        edit("txtPagamenti")->setFocus();
        QTest::keyClick(edit("txtPagamenti"), Qt::Key_Return);
        auto* note = form_->findChild<QPlainTextEdit*>("txtNote");
        QCOMPARE(QApplication::focusWidget(), note);
        QTest::keyClicks(note, "a");
        QTest::keyClick(note, Qt::Key_Return);
        QTest::keyClicks(note, "b");
        QCOMPARE(note->toPlainText(), QStringLiteral("a\nb"));
        QCOMPARE(QApplication::focusWidget(), note);
    }

    void hintsShowAndClear()
    {
        auto* info = form_->findChild<QLabel*>("panInfo");
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(form_->findChild<QWidget*>("cmdSalva"), &enter);
        QCOMPARE(info->text(),
            QStringLiteral(" Salva in archivio i dati relativi alla scheda corrente oppure aggiorna "
                           "la scheda esistente."));
        QCoreApplication::sendEvent(form_->findChild<QWidget*>("panNote"), &enter);
        QCOMPARE(info->text(), QString());
        QCoreApplication::sendEvent(form_->findChild<QWidget*>("imgUltimo"), &enter);
        QCOMPARE(info->text(), QStringLiteral(" Visualizza l'ultima scheda in archivio"));
        // A move the button ignores reaches the box behind it: the hint stays.
        auto* box = form_->findChild<QWidget*>("grpFrecce");
        const QPoint over = form_->findChild<QWidget*>("imgUltimo")->geometry().center();
        QMouseEvent move(QEvent::MouseMove, over, box->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &move);
        QCOMPARE(info->text(), QStringLiteral(" Visualizza l'ultima scheda in archivio"));
        QMouseEvent away(QEvent::MouseMove, QPoint(1, 1), box->mapToGlobal(QPoint(1, 1)), Qt::NoButton, Qt::NoButton,
            Qt::NoModifier);
        QCoreApplication::sendEvent(box, &away);
        QCOMPARE(info->text(), QString());
    }

    void checkButtonsOpenTheRightForm_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("caption");
        QTest::newRow("empty fiscal code") << "imgCodFisc"
                                           << "txtCodFisc"
                                           << ""
                                           << "frmCodFisc"
                                           << "";
        QTest::newRow("numeric fiscal code") << "imgCodFisc"
                                             << "txtCodFisc"
                                             << "01234567890"
                                             << "frmIva"
                                             << " Controllo codice fiscale numerico / partita IVA";
        QTest::newRow("personal fiscal code") << "imgCodFisc"
                                              << "txtCodFisc"
                                              << "RSSMRA80A01H501U"
                                              << "frmCodFisc"
                                              << "";
        QTest::newRow("vat") << "imgIva"
                             << "txtIva"
                             << "01234567890"
                             << "frmIva"
                             << "";
        QTest::newRow("iban") << "imgIban"
                              << "txtIban"
                              << "IT60X0542811101000000123456"
                              << "frmIban"
                              << "";
    }

    void checkButtonsOpenTheRightForm()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, form);
        QFETCH(QString, caption);
        edit(qPrintable(field))->setText(value);
        QString shownForm, shownCaption, shownValue;
        Modal::install([&](QDialog* d) {
            shownForm = d->objectName();
            shownCaption = d->windowTitle();
            shownValue = d->findChild<QLineEdit*>("txtCodice")->text();
            return 0;
        });
        release(qPrintable(button));
        Modal::install({});
        QCOMPARE(shownForm, form);
        QCOMPARE(shownValue, value);
        if (!caption.isEmpty())
            QCOMPARE(shownCaption, caption);
        QCOMPARE(form_->findChildren<QDialog*>().size(), 0); // destroyed after use
    }

    void mailButtonHandsTheAddressToTheShell()
    {
        release("imgEmail");
        edit("txtEmail")->setText("  anna@example.it ");
        release("imgEmail", Qt::RightButton);
        QCOMPARE(desktop_->opened, (QStringList { "mailto:", "mailto:anna@example.it" }));
    }
};

QTEST_MAIN(TestFrmRubrica)
#include "test_frm_rubrica.moc"
