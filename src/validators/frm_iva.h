#pragma once

#include "validators/check_form.h"

class QPushButton;

// VAT number check, also used for numeric fiscal codes: digits only, checks
// 11 of them and names the issuing office.
class TfrmIva : public CheckForm {
    Q_OBJECT
public:
    explicit TfrmIva(QWidget* parent = nullptr);

    // Captions for a company's numeric fiscal code; the check is the same.
    void dressForNumericFiscalCode();

    QPushButton* cmdPartitaIva = nullptr;

public slots:
    void cmdPartitaIvaClick();

protected:
    void txtCodiceChange() override;
    bool enterStartsCheck() const override;
    bool refuseKey(QKeyEvent* event) override;
};
