#include "validators/frm_iban.h"

#include "storage/card_text.h"
#include "ui/dialogs.h"
#include "validators/iban.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
const QString resultCaption = QStringLiteral("Risultato controllo codice IBAN");
} // namespace

TfrmIban::TfrmIban(QWidget* parent)
    : CheckForm({ QStringLiteral("frmIban"), QStringLiteral(" Controllo coordinate bancarie IBAN"),
                    QStringLiteral("Immettere il codice IBAN nella casella sottostante e premere il pulsante di"),
                    QStringLiteral("controllo."), QStringLiteral("cmdCheckIban"), 40, 26, true },
        parent)
{
    cmdCheckIban = checkButton();
    connect(cmdCheckIban, &QPushButton::clicked, this, &TfrmIban::cmdCheckIbanClick);
}

void TfrmIban::txtCodiceChange()
{
    updateCheckButton();
    if (!txtCodice->text().isEmpty())
        upperCaseCode();
}

// Enter checks exactly when the button could be pressed: IBANs vary in length
// by country, so there is no single exact length to wait for.
bool TfrmIban::enterStartsCheck() const { return cmdCheckIban->isEnabled(); }

void TfrmIban::cmdCheckIbanClick()
{
    if (IbanIsValid(CardText::trimmed(txtCodice->text())))
        Dialogs::information(resultCaption, QStringLiteral("Il codice IBAN digitato è ESATTO."));
    else
        Dialogs::warning(resultCaption, QStringLiteral("Attenzione: il codice IBAN digitato è ERRATO!"));
    accept();
}
