#include "validators/check_launch.h"

#include "storage/ascii.h"

#include "storage/card_text.h"
#include "ui/modal.h"
#include "validators/frm_cod_fisc.h"
#include "validators/frm_iban.h"
#include "validators/frm_iva.h"

#include <QLineEdit>
#include <QPointer>

namespace {

bool onlyDigits(const QString& text) { return Ascii::allDigits(text); }

// Shows the form and destroys it, unless its owner already took it along.
void runAndDestroy(CheckForm* form, const QString& value)
{
    const QPointer<CheckForm> guard(form);
    form->txtCodice->setText(value);
    Modal::run(form);
    delete guard.data();
}

} // namespace

void runFiscalCodeCheck(QWidget* owner, const QString& codFiscField)
{
    const QString code = CardText::trimmed(codFiscField);
    if (onlyDigits(code)) {
        auto* form = new TfrmIva(owner);
        form->dressForNumericFiscalCode();
        runAndDestroy(form, code);
    } else {
        runAndDestroy(new TfrmCodFisc(owner), code);
    }
}

void runVatCheck(QWidget* owner, const QString& iva) { runAndDestroy(new TfrmIva(owner), CardText::trimmed(iva)); }

void runIbanCheck(QWidget* owner, const QString& iban) { runAndDestroy(new TfrmIban(owner), CardText::trimmed(iban)); }
