#pragma once

#include "ui/search_forms.h"

// The messages quick search (also the message picker of the send form) and
// the messages advanced search.
namespace MessageSearch {
const ListLineSpec& listLine();
SearchConfig config(bool advanced);
QList<QuickSearchForm::Criterion> criteria();
QList<AdvancedSearchForm::Field> advancedFields();
} // namespace MessageSearch

class TfrmRicercaMes : public QuickSearchForm {
    Q_OBJECT
public:
    explicit TfrmRicercaMes(QWidget* parent = nullptr);
};

class TfrmAvanzateMes : public AdvancedSearchForm {
    Q_OBJECT
public:
    explicit TfrmAvanzateMes(QWidget* parent = nullptr);
};

extern TfrmRicercaMes* frmRicercaMes;
extern TfrmAvanzateMes* frmAvanzateMes;
