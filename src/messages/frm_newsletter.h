#pragma once

#include "ui/card_editor.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class SearchFormBase;
class SendBlock;
class TfrmImportaData;

// The messages archive editor, which also sends the card on screen.
class TfrmNewsletter : public CardEditor {
    Q_OBJECT
public:
    explicit TfrmNewsletter(QWidget* parent = nullptr);
    ~TfrmNewsletter() override;

    // Where in Messaggi.ini the editor remembers its sender.
    static constexpr const char* kIniSection = "Archivio Messaggi";

    void appendRecipient(const QString& address);
    void setSender(const QString& name, const QString& address);

    // The pickers this editor opens; the start-up hands them over.
    void setContactPicker(SearchFormBase* picker) { contactPicker_ = picker; }
    void setDatePicker(TfrmImportaData* picker) { datePicker_ = picker; }
    void setGroupPicker(SearchFormBase* picker) { groupPicker_ = picker; }

public slots:
    void btnEmailMouseUp();
    void impSingoloMouseUp();
    void impMittenteMouseUp();
    void impCreazioneMouseUp();
    void imgGruppoMouseUp();

protected:
    void afterPrepare() override;
    void beforeLeave() override;

private:
    void build();

    void pickContact(const QString& mode, bool asSender);

    std::unique_ptr<SendBlock> send_;
    // The picked cards' columns the message takes.
    QByteArray contactName_;
    QByteArray contactAddress_;
    QByteArray groupAddresses_;
    SearchFormBase* contactPicker_ = nullptr;
    TfrmImportaData* datePicker_ = nullptr;
    SearchFormBase* groupPicker_ = nullptr;
};

extern TfrmNewsletter* frmNewsletter;
