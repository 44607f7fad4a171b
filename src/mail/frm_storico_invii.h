#pragma once

#include <QDialog>

#include <memory>

class DeliveryJournal;
class JournalRecipientsModel;
class JournalSendingsModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

// "Storico invii": the sendings, newest first, with their counts; the chosen
// sending's recipients with their outcome; a filter by address; the shown
// recipients exported to a spreadsheet; and "Riprendi invio" for a private
// sending that did not reach everybody.
class TfrmStoricoInvii final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStoricoInvii(QWidget* parent = nullptr);
    ~TfrmStoricoInvii() override;

    // Opens a window of its own, modally, and destroys it when closed.
    static void open(QWidget* parent);

public slots:
    void FormShow();
    void txtFiltroChange();
    void lstInviiClick();
    void cmdRiprendiClick();
    void cmdEsportaClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    void reload(qint64 keep = 0);
    qint64 chosenSending() const;
    void showChosen();

    std::unique_ptr<DeliveryJournal> journal_;
    JournalSendingsModel* sendings_ = nullptr;
    JournalRecipientsModel* recipients_ = nullptr;
    QLineEdit* txtFiltro_ = nullptr;
    QTableView* lstInvii_ = nullptr;
    QTableView* lstDestinatari_ = nullptr;
    QLabel* lblDettagli_ = nullptr;
    QPushButton* cmdRiprendi_ = nullptr;
    QPushButton* cmdEsporta_ = nullptr;
    QTimer* filterDelay_ = nullptr;
};

// The question the mail back end asks when the journal cannot be written,
// installed for the whole run.
namespace JournalQuestion {
void install();
} // namespace JournalQuestion
