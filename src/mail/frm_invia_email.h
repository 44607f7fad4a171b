#pragma once

#include <QByteArray>
#include <QList>
#include <QWidget>

#include <memory>
#include <utility>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class SearchFormBase;
class SendBlock;
struct HelpTopic;

// Composes and sends one message without storing it in an archive.
class TfrmInviaEmail : public QWidget {
    Q_OBJECT
public:
    explicit TfrmInviaEmail(QWidget* parent = nullptr);
    ~TfrmInviaEmail() override;

    // A control of the form; throws WiringError when there is none.
    QWidget* field(const QString& name) const;
    QString fieldText(const QString& name) const;
    void setFieldText(const QString& name, const QString& text);

    void appendRecipient(const QString& name, const QString& address);
    void setSender(const QString& name, const QString& address);

    // The contact picker this form opens; the start-up hands it over.
    void setContactPicker(SearchFormBase* picker) { contactPicker_ = picker; }
    // The messages quick search, whose chosen card fills the message.
    void setMessagePicker(SearchFormBase* picker) { messagePicker_ = picker; }
    void setGroupPicker(SearchFormBase* picker) { groupPicker_ = picker; }
    static HelpTopic helpTopic();

    static constexpr const char* kIniSection = "Invio Email";

public slots:
    void FormShow();
    void btnEmailMouseUp();
    void impSingoloMouseUp();
    void impMittenteMouseUp();
    void impMessaggioMouseUp();
    void impGruppoMouseUp();
    void cmdGuidaMouseUp();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void pickContact(const QString& mode, bool asSender);

    std::unique_ptr<SendBlock> send_;
    QByteArray contactName_;
    QByteArray contactAddress_;
    QByteArray groupNames_;
    QByteArray groupAddresses_;
    QList<std::pair<QString, QByteArray>> messageFields_; // control, column
    SearchFormBase* contactPicker_ = nullptr;
    SearchFormBase* messagePicker_ = nullptr;
    SearchFormBase* groupPicker_ = nullptr;
};

extern TfrmInviaEmail* frmInviaEmail;
