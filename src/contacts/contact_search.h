#pragma once

#include "ui/search_forms.h"

// The contacts quick search (also the contact picker of the other forms)
// and the contacts advanced search.
namespace ContactSearch {
const ListLineSpec& listLine();
SearchConfig config(bool advanced);
QList<QuickSearchForm::Criterion> criteria();
QList<AdvancedSearchForm::Field> advancedFields();
} // namespace ContactSearch

class TfrmRicercaRub : public QuickSearchForm {
    Q_OBJECT
public:
    explicit TfrmRicercaRub(QWidget* parent = nullptr);
};

class TfrmAvanzateRub : public AdvancedSearchForm {
    Q_OBJECT
public:
    explicit TfrmAvanzateRub(QWidget* parent = nullptr);
};

extern TfrmRicercaRub* frmRicercaRub;
extern TfrmAvanzateRub* frmAvanzateRub;
