#pragma once

#include "ui/search_forms.h"

// The groups quick search (also the group picker of the messages editor and
// the send form) and the groups advanced search.
namespace GroupSearch {
const ListLineSpec& listLine();
SearchConfig config(bool advanced);
QList<QuickSearchForm::Criterion> criteria();
QList<AdvancedSearchForm::Field> advancedFields();
} // namespace GroupSearch

class TfrmRicercaGru : public QuickSearchForm {
    Q_OBJECT
public:
    explicit TfrmRicercaGru(QWidget* parent = nullptr);
};

class TfrmAvanzateGru : public AdvancedSearchForm {
    Q_OBJECT
public:
    explicit TfrmAvanzateGru(QWidget* parent = nullptr);
};

extern TfrmRicercaGru* frmRicercaGru;
extern TfrmAvanzateGru* frmAvanzateGru;
