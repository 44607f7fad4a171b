#pragma once

#include "storage/card_archive.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class CardAccessory;

class QLabel;

// What makes one archive's editor different from the others; the life cycle
// itself (prepare, new, save, delete, navigation, leave) is shared.
struct CardEditorConfig {
    struct Field {
        QString control; // object name of the control holding the value
        QByteArray column; // archive column
        QString label; // how a message names the field
    };
    struct Required {
        QString control;
        QString insertText; // refusal when saving a new card
        QString updateText; // refusal when saving a stored card
    };
    ArchiveKind kind = ArchiveKind::Contacts;
    QList<Field> fields; // in field order, one per value column
    QStringList keptOnClear; // controls that a cleared card keeps
    QString firstField; // focus after clearing
    QList<Required> required; // checked in this order
};

// One card editor. Subclasses build their controls (named as the config
// says, plus lblPosizione and the standard buttons) and call finishSetup().
class CardEditor : public QWidget {
    Q_OBJECT
public:
    explicit CardEditor(CardEditorConfig config, QWidget* parent = nullptr);
    ~CardEditor() override;

    const CardEditorConfig& config() const { return config_; }
    const CardArchive& archive() const { return CardArchive::of(config_.kind); }

    QWidget* field(const QString& control) const;
    QString fieldText(const QString& control) const;
    void setFieldText(const QString& control, const QString& text);
    // The card number shown, or 0 for a new card.
    qint32 shownId() const;
    bool isNewCard() const;

    // Loads the stored card with this number (searches and pickers); false
    // when it no longer exists.
    bool loadCardById(qint32 id);
    // Shows the current row of a result read elsewhere (a search's choice):
    // the card becomes that stored card.
    void showStoredCard(const TSQLiteTable& row);
    void clearCard();
    // Opens the archive anew, creating the table if it is missing, and when
    // the table existed queries the first card. Used before hand-overs.
    bool reopenArchive();

    // What accessories work with: the editor's own connection (opened when
    // there is none yet).
    TSQLiteDatabase& connection();
    // Registers a toolbar tool; its button is enabled from now on and runs it.
    void addAccessory(std::shared_ptr<CardAccessory> accessory);

public slots:
    void FormShow();
    void cmdNuovoMouseUp();
    void cmdSalvaClick();
    void cmdEliminaMouseUp();
    void imgPrimoClick();
    void imgIndietroClick();
    void imgAvantiClick();
    void imgUltimoClick();
    void cmdEsciMouseUp();

signals:
    void cardLoaded();
    void cardCleared();

protected:
    // Finds the fields by name and connects the standard buttons
    // (cmdNuovo, cmdSalva, cmdElimina, imgPrimo, imgIndietro, imgAvanti,
    // imgUltimo, cmdEsci) where the subclass created them.
    void finishSetup();
    // Tiles the background, centres the container; called on every showing.
    virtual void prepareLook() { }
    // After Prepare has shown the empty card (restoring remembered values).
    virtual void afterPrepare() { }
    // First step of Leave (storing remembered values); failures are swallowed.
    virtual void beforeLeave() { }
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class Move { First, Previous, Next, Last };
    bool openArchive();
    void navigate(Move move);
    void loadRow(const TSQLiteTable& row);
    void scrubFields();
    bool refusedByRequired(bool inserting);
    bool encodeFields(bool inserting, QList<QByteArray>& values);
    void insertCard();
    void updateCard();

    CardEditorConfig config_;
    QList<QWidget*> fields_;
    QLabel* position_ = nullptr;
    std::unique_ptr<TSQLiteDatabase> db_;
    std::unique_ptr<TSQLiteTable> result_;
    qint32 currentId_ = 0;
    std::vector<std::shared_ptr<CardAccessory>> accessories_;
};
