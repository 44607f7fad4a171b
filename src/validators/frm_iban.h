#pragma once

#include "validators/check_form.h"

class QPushButton;

// IBAN check: upper-cases as typed, blanks allowed between groups.
class TfrmIban : public CheckForm {
    Q_OBJECT
public:
    explicit TfrmIban(QWidget* parent = nullptr);

    QPushButton* cmdCheckIban = nullptr;

public slots:
    void cmdCheckIbanClick();

protected:
    void txtCodiceChange() override;
    bool enterStartsCheck() const override;
};
