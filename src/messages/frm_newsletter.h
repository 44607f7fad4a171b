#pragma once

#include "ui/card_editor.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// The messages archive editor, which also sends the card on screen.
class TfrmNewsletter : public CardEditor {
    Q_OBJECT
public:
    explicit TfrmNewsletter(QWidget* parent = nullptr);

    // Picks applied by the contacts quick search.
    void appendRecipient(const QString& address);
    void setSender(const QString& name, const QString& address);

public slots:
    void btnEmailMouseUp();
    void impSingoloMouseUp();
    void impMittenteMouseUp();
    void impCreazioneMouseUp();
    void cmdGuidaMouseUp();

protected:
    void prepareLook() override;
    void afterPrepare() override;
    void beforeLeave() override;

private:
    void build();

    QCheckBox* chkPreviewMsg_ = nullptr;
};

extern TfrmNewsletter* frmNewsletter;
