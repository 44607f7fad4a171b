#pragma once

#include "ui/card_editor.h"

#include <functional>

class QCheckBox;
class QLabel;
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
    // Opens the "Storico invii" window; the start-up hands it over.
    void setHistoryOpener(std::function<void()> open) { openHistory_ = std::move(open); }

public slots:
    void btnEmailMouseUp();
    void impSingoloMouseUp();
    void impMittenteMouseUp();
    void impCreazioneMouseUp();
    void imgGruppoMouseUp();
    void cmdStoricoMouseUp();

protected:
    void afterPrepare() override;
    void beforeLeave() override;

private:
    void build();

    void pickContact(const QString& mode, bool asSender);
    void addHistory();
    void showLastSending();

    std::unique_ptr<SendBlock> send_;
    // The picked cards' columns the message takes.
    QByteArray contactName_;
    QByteArray contactAddress_;
    QByteArray groupAddresses_;
    SearchFormBase* contactPicker_ = nullptr;
    TfrmImportaData* datePicker_ = nullptr;
    SearchFormBase* groupPicker_ = nullptr;
    std::function<void()> openHistory_;
    QLabel* lblUltimoInvio_ = nullptr;
};

extern TfrmNewsletter* frmNewsletter;
