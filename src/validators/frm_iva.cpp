#include "validators/frm_iva.h"

#include "storage/ascii.h"

#include "ui/dialogs.h"
#include "validators/vat_number.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int numberLength = 11;
} // namespace

TfrmIva::TfrmIva(QWidget* parent)
    : CheckForm({ QStringLiteral("frmIva"), QStringLiteral(" Controllo partita IVA "),
                    QStringLiteral("Immettere la partita IVA nella casella sottostante e premere il"),
                    QStringLiteral("pulsante di controllo."), QStringLiteral("cmdPartitaIva"), numberLength,
                    numberLength - 1, true },
        parent)
{
    cmdPartitaIva = checkButton();
    connect(cmdPartitaIva, &QPushButton::clicked, this, &TfrmIva::cmdPartitaIvaClick);
}

void TfrmIva::dressForNumericFiscalCode()
{
    setWindowTitle(QStringLiteral(" Controllo codice fiscale numerico / partita IVA"));
    lblInfo->setText(QStringLiteral("Immettere il codice fiscale numerico o la partita IVA nella casella"));
    lblInfo02->setText(QStringLiteral("sottostante e premere il pulsante di controllo."));
}

void TfrmIva::txtCodiceChange() { updateCheckButton(); }

bool TfrmIva::enterStartsCheck() const { return txtCodice->text().size() == numberLength; }

bool TfrmIva::refuseKey(QKeyEvent* event)
{
    const QString typed = event->text();
    const QChar c = typed.front();
    if (typed.size() == 1 && (Ascii::isDigit(c.unicode()) || c == u'\b'))
        return false;
    Dialogs::message(QStringLiteral("Attenzione: carattere non valido. Digitare solo valori numerici."));
    return true;
}

void TfrmIva::cmdPartitaIvaClick()
{
    // Letters can still arrive by pasting; they only make the number wrong,
    // so their case does not matter.
    const QString number = txtCodice->text();
    if (number.size() != numberLength) {
        Dialogs::message(QStringLiteral("Attenzione: la partita IVA deve essere composta da 11 caratteri numerici."));
        txtCodice->setFocus();
        return;
    }
    if (PartitaIvaIsValid(number)) {
        Dialogs::message(QStringLiteral("Il numero di partita IVA digitato risulta VALIDO.\n\n"
                                        "E' stato rilasciato dall'Ufficio IVA del Comune di ")
            + VatOfficeName(number.mid(7, 3)) + QLatin1Char('.'));
    } else {
        Dialogs::warning(QStringLiteral("Risultato controllo partita IVA"),
            QStringLiteral("Attenzione: il numero di partita IVA digitato risulta ERRATO!\n\n"
                           "Non è quindi possibile fornire informazioni relative "
                           "all'Ufficio IVA che lo ha rilasciato."));
    }
    accept();
}
