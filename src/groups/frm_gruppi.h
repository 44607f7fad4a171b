#pragma once

#include "ui/card_editor.h"

class SearchFormBase;

// The groups archive editor.
class TfrmGruppi : public CardEditor {
    Q_OBJECT
public:
    explicit TfrmGruppi(QWidget* parent = nullptr);

    // The contacts quick search that imgImporta opens; the start-up hands it
    // over.
    void setContactPicker(SearchFormBase* picker) { contactPicker_ = picker; }
    // Appends one member (a picked contact) to the two lists on screen.
    void appendMember(const QString& name, const QString& address);

public slots:
    void imgEmailMouseUp();
    void imgImportaMouseUp();

private:
    void buildFields();

    SearchFormBase* contactPicker_ = nullptr;
    // The picked contact's columns a member is made of.
    QByteArray contactName_;
    QByteArray contactAddress_;
};

extern TfrmGruppi* frmGruppi;
