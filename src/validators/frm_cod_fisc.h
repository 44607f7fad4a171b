#pragma once

#include "validators/check_form.h"

class QPushButton;

// Fiscal code check: upper-cases as typed, checks 16 characters.
class TfrmCodFisc : public CheckForm {
    Q_OBJECT
public:
    explicit TfrmCodFisc(QWidget* parent = nullptr);

    QPushButton* cmdCodFisc = nullptr;

public slots:
    void cmdCodFiscClick();

protected:
    void txtCodiceChange() override;
    bool enterStartsCheck() const override;
};
