#include "validators/frm_cod_fisc.h"

#include "ui/dialogs.h"
#include "validators/fiscal_code.h"

#include <QLineEdit>
#include <QPushButton>

namespace {
constexpr int codeLength = 16;
const QString resultCaption = QStringLiteral("Risultato controllo codice fiscale");
} // namespace

TfrmCodFisc::TfrmCodFisc(QWidget* parent)
    : CheckForm(
        { QStringLiteral("frmCodFisc"), QStringLiteral(" Controllo codice fiscale"),
            QStringLiteral("Immettere il codice fiscale nella casella sottostante e premere il"),
            QStringLiteral("pulsante di controllo."), QStringLiteral("cmdCodFisc"), codeLength, codeLength - 1, false },
        parent)
{
    cmdCodFisc = checkButton();
    connect(cmdCodFisc, &QPushButton::clicked, this, &TfrmCodFisc::cmdCodFiscClick);
}

void TfrmCodFisc::txtCodiceChange()
{
    if (!txtCodice->text().isEmpty())
        upperCaseCode();
    updateCheckButton();
}

bool TfrmCodFisc::enterStartsCheck() const { return txtCodice->text().size() == codeLength; }

void TfrmCodFisc::cmdCodFiscClick()
{
    // The box already holds upper case; blanks are characters of the code.
    const QString code = txtCodice->text();
    if (code.size() != codeLength) {
        Dialogs::information(resultCaption,
            QStringLiteral("Attenzione: il codice fiscale deve essere "
                           "composto da 16 caratteri alfanumerici."));
        txtCodice->setFocus();
        return;
    }
    if (FiscalCodeIsValid(code))
        Dialogs::information(resultCaption, QStringLiteral("Il codice fiscale digitato è VALIDO."));
    else
        Dialogs::warning(resultCaption, QStringLiteral("Attenzione: il codice fiscale digitato è ERRATO."));
    accept();
}
