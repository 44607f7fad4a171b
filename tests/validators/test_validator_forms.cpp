#include "support/test_seams.h"
#include "ui/modal.h"
#include "validators/check_launch.h"
#include "validators/frm_cod_fisc.h"
#include "validators/frm_iban.h"
#include "validators/frm_iva.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const char* const buttonNames[] = { "cmdCodFisc", "cmdPartitaIva", "cmdCheckIban" };

std::unique_ptr<CheckForm> makeForm(const QString& kind)
{
    if (kind == QLatin1String("codfisc"))
        return std::make_unique<TfrmCodFisc>();
    if (kind == QLatin1String("iva"))
        return std::make_unique<TfrmIva>();
    return std::make_unique<TfrmIban>();
}

QPushButton* buttonOf(CheckForm& form)
{
    for (const char* name : buttonNames)
        if (auto* button = form.findChild<QPushButton*>(QLatin1String(name)))
            return button;
    return nullptr;
}

// QTest::keyClicks aborts on non-ASCII characters.
void typeCharacter(QWidget* box, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(box, &press);
}

} // namespace

class TestValidatorForms : public QObject {
    Q_OBJECT
private slots:
    void threshold_data();
    void threshold();
    void enter_data();
    void enter();
    void verdicts_data();
    void verdicts();
    void upperCaseKeepsCaret();
    void typingStopsAtLimitButCallerTextIsKept();
    void vatFormRefusesNonDigits();
    void launch_data();
    void launch();
    void junkNeverCrashesForms();
};

void TestValidatorForms::threshold_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("codfisc 15") << "codfisc" << 15 << false;
    QTest::newRow("codfisc 16") << "codfisc" << 16 << true;
    QTest::newRow("iva 10") << "iva" << 10 << false;
    QTest::newRow("iva 11") << "iva" << 11 << true;
    QTest::newRow("iban 26") << "iban" << 26 << false;
    QTest::newRow("iban 27") << "iban" << 27 << true;
}

void TestValidatorForms::threshold()
{
    QFETCH(QString, kind);
    QFETCH(int, length);
    const auto form = makeForm(kind);
    QPushButton* button = buttonOf(*form);
    QCOMPARE(button->text(), QStringLiteral("Controlla"));
    QVERIFY(!button->isEnabled());
    QTest::keyClicks(form->txtCodice, QString(length, QLatin1Char('1')));
    QTEST(button->isEnabled(), "enabled");
    form->txtCodice->clear();
    QVERIFY(!button->isEnabled());
}

void TestValidatorForms::enter_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("codfisc 15") << "codfisc"
                                << "RSSMRA85T10A562" << QStringList {};
    QTest::newRow("codfisc 16") << "codfisc"
                                << "RSSMRA85T10A562S" << QStringList { "information" };
    QTest::newRow("codfisc 17") << "codfisc"
                                << "RSSMRA85T10A562SS" << QStringList {};
    QTest::newRow("iva 10") << "iva"
                            << "0090581100" << QStringList {};
    QTest::newRow("iva 11") << "iva"
                            << "00905811006" << QStringList { "message" };
    QTest::newRow("iban 22, no blanks") << "iban"
                                        << "DE89370400440532013000" << QStringList {};
    QTest::newRow("iban 27, blanks") << "iban"
                                     << "DE89 3704 0044 0532 0130 00" << QStringList { "information" };
}

void TestValidatorForms::enter()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    ScriptedDialogs dialogs;
    const auto form = makeForm(kind);
    form->txtCodice->setText(text);
    QSignalSpy finished(form.get(), &QDialog::finished);
    QTest::keyClick(form->txtCodice, Qt::Key_Return);
    QCOMPARE(dialogs.kinds(), shown);
    QCOMPARE(finished.size(), shown.isEmpty() ? 0 : 1);
}

void TestValidatorForms::verdicts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("boxKind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("closes");

    const QString cf = QStringLiteral("Risultato controllo codice fiscale");
    const QString cfLength
        = QStringLiteral("Attenzione: il codice fiscale deve essere composto da 16 caratteri alfanumerici.");
    QTest::newRow("codfisc valid") << "codfisc"
                                   << "mrtmtt25d09f205z"
                                   << "information" << cf << "Il codice fiscale digitato è VALIDO." << true;
    QTest::newRow("codfisc wrong") << "codfisc"
                                   << "RSSMRA85T10 562S"
                                   << "warning" << cf << "Attenzione: il codice fiscale digitato è ERRATO." << true;
    QTest::newRow("codfisc 17 from caller") << "codfisc"
                                            << "RSSMRA85T10A562SX"
                                            << "information" << cf << cfLength << false;

    const QString iva = QStringLiteral("Risultato controllo partita IVA");
    const QString ivaValid = QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\n\n"
                                            "E' stato rilasciato dall'Ufficio IVA del Comune di %1.");
    const QString ivaWrong
        = QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!\n\nNon è quindi possibile "
                         "fornire informazioni relative all'Ufficio IVA che lo ha rilasciato.");
    QTest::newRow("iva valid") << "iva"
                               << "00905811006"
                               << "message"
                               << "" << ivaValid.arg("Roma 2") << true;
    QTest::newRow("iva accented office") << "iva"
                                         << "00000000406"
                                         << "message"
                                         << "" << ivaValid.arg(QStringLiteral("Forlì")) << true;
    QTest::newRow("iva no office") << "iva"
                                   << "00000000000"
                                   << "message"
                                   << "" << ivaValid.arg("") << true;
    QTest::newRow("iva wrong") << "iva"
                               << "00905811007"
                               << "warning" << iva << ivaWrong << true;
    QTest::newRow("iva pasted letter") << "iva"
                                       << "0090581100A"
                                       << "warning" << iva << ivaWrong << true;
    QTest::newRow("iva 12 from caller") << "iva"
                                        << "009058110060"
                                        << "message"
                                        << ""
                                        << "Attenzione: la partita IVA deve essere composta da 11 caratteri numerici."
                                        << false;

    const QString ib = QStringLiteral("Risultato controllo codice IBAN");
    QTest::newRow("iban valid") << "iban"
                                << "iban fr14 2004 1010 0505 0001 3m02 606"
                                << "information" << ib << "Il codice IBAN digitato è ESATTO." << true;
    QTest::newRow("iban with plus") << "iban"
                                    << "IT60+X054 2811 1010 0000 0123 456"
                                    << "warning" << ib << "Attenzione: il codice IBAN digitato è ERRATO!" << true;
}

void TestValidatorForms::verdicts()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(bool, closes);
    ScriptedDialogs dialogs;
    const auto form = makeForm(kind);
    form->show();
    form->txtCodice->setText(text);
    QCOMPARE(form->txtCodice->text().size(), text.size()); // never cut
    QSignalSpy finished(form.get(), &QDialog::finished);
    buttonOf(*form)->click();

    QCOMPARE(dialogs.count(), 1);
    QTEST(dialogs.last().kind, "boxKind");
    QTEST(dialogs.last().caption, "caption");
    QTEST(dialogs.last().text, "message");
    QCOMPARE(finished.size(), closes ? 1 : 0);
    QCOMPARE(form->isVisible(), !closes);
}

void TestValidatorForms::upperCaseKeepsCaret()
{
    for (auto* form : { static_cast<CheckForm*>(new TfrmCodFisc), static_cast<CheckForm*>(new TfrmIban) }) {
        QTest::keyClicks(form->txtCodice, QStringLiteral("rs mr"));
        form->txtCodice->setCursorPosition(2);
        QTest::keyClicks(form->txtCodice, QStringLiteral("x"));
        QCOMPARE(form->txtCodice->text(), QStringLiteral("RSX MR"));
        QCOMPARE(form->txtCodice->cursorPosition(), 3);
        delete form;
    }
}

void TestValidatorForms::typingStopsAtLimitButCallerTextIsKept()
{
    TfrmCodFisc form;
    QLineEdit* box = form.txtCodice;
    QTest::keyClicks(box, QStringLiteral("RSSMRA85T10A562SXYZ"));
    QCOMPARE(box->text(), QStringLiteral("RSSMRA85T10A562S"));

    // A paste keeps what fits.
    box->setText(QStringLiteral("RSSMRA85T10A56"));
    box->setCursorPosition(2);
    QApplication::clipboard()->setText(QStringLiteral("abcd"));
    box->paste();
    QCOMPARE(box->text(), QStringLiteral("RSABSMRA85T10A56"));

    // A longer text from the caller cannot grow but can shrink.
    box->setText(QStringLiteral("RSSMRA85T10A562SXY"));
    QTest::keyClicks(box, QStringLiteral("Z"));
    QCOMPARE(box->text(), QStringLiteral("RSSMRA85T10A562SXY"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("RSSMRA85T10A562SX"));
}

void TestValidatorForms::vatFormRefusesNonDigits()
{
    ScriptedDialogs dialogs;
    TfrmIva form;
    QLineEdit* box = form.txtCodice;
    QTest::keyClicks(box, QStringLiteral("12"));
    for (const QString& key :
        { QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("è"), QStringLiteral("\u0661") }) {
        dialogs.clear();
        typeCharacter(box, key);
        QCOMPARE(box->text(), QStringLiteral("12"));
        QCOMPARE(dialogs.kinds(), QStringList { "message" });
        QCOMPARE(
            dialogs.last().text, QStringLiteral("Attenzione: carattere non valido. Digitare solo valori numerici."));
    }
    dialogs.clear();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Left);
    QTest::keyClick(box, Qt::Key_Delete);
    QCOMPARE(box->text(), QString());
    QCOMPARE(dialogs.count(), 0);
}

void TestValidatorForms::launch_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("code");

    const QStringList cf = { " Controllo codice fiscale",
        "Immettere il codice fiscale nella casella sottostante e premere il", "pulsante di controllo." };
    const QStringList numeric = { " Controllo codice fiscale numerico / partita IVA",
        "Immettere il codice fiscale numerico o la partita IVA nella casella",
        "sottostante e premere il pulsante di controllo." };
    const QStringList iva = { " Controllo partita IVA ",
        "Immettere la partita IVA nella casella sottostante e premere il", "pulsante di controllo." };
    const QStringList iban = { " Controllo coordinate bancarie IBAN",
        "Immettere il codice IBAN nella casella sottostante e premere il pulsante di", "controllo." };

    QTest::newRow("codfisc empty") << "codfisc"
                                   << "   "
                                   << "frmCodFisc" << cf << "";
    QTest::newRow("codfisc letters") << "codfisc"
                                     << " rssmra85t10a562s "
                                     << "frmCodFisc" << cf << "RSSMRA85T10A562S";
    QTest::newRow("codfisc numeric") << "codfisc"
                                     << " 00811720580\t"
                                     << "frmIva" << numeric << "00811720580";
    QTest::newRow("codfisc short numeric") << "codfisc"
                                           << "123"
                                           << "frmIva" << numeric << "123";
    QTest::newRow("codfisc digits, blank") << "codfisc"
                                           << "00811 720580"
                                           << "frmCodFisc" << cf << "00811 720580";
    QTest::newRow("codfisc other digits") << "codfisc"
                                          << "\u0660\u0661"
                                          << "frmCodFisc" << cf << "\u0660\u0661";
    QTest::newRow("iva") << "iva"
                         << " 00905811006 "
                         << "frmIva" << iva << "00905811006";
    QTest::newRow("iban") << "iban"
                          << " it60 x054 2811 1010 0000 0123 456 "
                          << "frmIban" << iban << "IT60 X054 2811 1010 0000 0123 456";
}

void TestValidatorForms::launch()
{
    QFETCH(QString, entry);
    QFETCH(QString, field);
    QWidget owner;
    QString objectName, code;
    QStringList captions;
    QObject* parent = nullptr;
    QPointer<QDialog> shown;
    Modal::install([&](QDialog* dialog) {
        auto* form = qobject_cast<CheckForm*>(dialog);
        if (!form)
            return 0;
        objectName = form->objectName();
        captions = { form->windowTitle(), form->lblInfo->text(), form->lblInfo02->text() };
        code = form->txtCodice->text();
        parent = form->parent();
        shown = form;
        return 0;
    });
    if (entry == QLatin1String("codfisc"))
        runFiscalCodeCheck(&owner, field);
    else if (entry == QLatin1String("iva"))
        runVatCheck(&owner, field);
    else
        runIbanCheck(&owner, field);
    Modal::install({});

    QTEST(objectName, "objectName");
    QTEST(captions, "captions");
    QTEST(code, "code");
    QCOMPARE(parent, &owner);
    QVERIFY(shown.isNull()); // destroyed after showing
}

void TestValidatorForms::junkNeverCrashesForms()
{
    QStringList junk = { QString(), "èèèèèèèèèèèèèèèè", QString(10000, QLatin1Char('z')),
        QString(10000, QLatin1Char('+')), QString(1, QChar(0xD800)) };
    QString everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += QChar(b);
    junk << everyByte << everyByte.mid(32, 16) << everyByte.mid(160, 11) << everyByte.mid(200, 40);

    ScriptedDialogs dialogs;
    for (const QString& kind : { QStringLiteral("codfisc"), QStringLiteral("iva"), QStringLiteral("iban") }) {
        for (const QString& text : junk) {
            const auto form = makeForm(kind);
            form->txtCodice->setText(text);
            dialogs.clear();
            buttonOf(*form)->setEnabled(true);
            buttonOf(*form)->click();
            QCOMPARE(dialogs.count(), 1);
            QVERIFY(!dialogs.last().text.contains("VALIDO") && !dialogs.last().text.contains("ESATTO"));
        }
    }
}

QTEST_MAIN(TestValidatorForms)
#include "test_validator_forms.moc"
