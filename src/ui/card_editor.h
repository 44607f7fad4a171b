#pragma once

#include "storage/card_archive.h"
#include "ui/editor_chrome.h"
#include "ui/help.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class CardAccessory;
class QLabel;
class SearchFormBase;

// Everything that makes one archive's editor different from the others; the
// life cycle (prepare, new, save, delete, navigation, leave), the toolbar,
// the searches and the accessories are shared and driven by it.
struct ArchiveProfile {
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
    // The editor's own fields, in column order. The eight attachment and
    // folder columns that follow them are the shared hidden labels.
    QList<Field> fields;
    QStringList keptOnClear; // controls that a cleared card keeps
    QString firstField; // focus after clearing
    QList<Required> required; // checked in this order
    HelpTopic help;
    // The word the editor's own searches are opened with ("rubrica", ...),
    // and the forms, looked up only when a button is pressed so the order in
    // which the program creates its forms does not matter. A search without
    // a form leaves its button disabled.
    QString searchMode;
    std::function<SearchFormBase*()> quickSearch;
    std::function<SearchFormBase*()> advancedSearch;

    // The hidden labels of attached files and folder, in column order.
    static const QList<Field>& accessoryFields();
    // Own fields followed by the hidden labels: one per value column.
    QList<Field> allFields() const;
};

// One card editor. Subclasses add their panels to chrome().body (with the
// controls the profile names) and then call finishSetup().
class CardEditor : public QWidget {
    Q_OBJECT
public:
    explicit CardEditor(ArchiveProfile profile, QWidget* parent = nullptr);
    ~CardEditor() override;

    const ArchiveProfile& profile() const { return profile_; }
    const CardArchive& archive() const { return CardArchive::of(profile_.kind); }

    // Any field of the card, the hidden labels included, or another named
    // control of the form.
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
    // the card becomes that stored card. A row holding only some columns
    // (the advanced searches' lists) loads the card by its number.
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
    void cmdTrovaMouseUp();
    void cmdWebMouseUp();
    void cmdGuidaMouseUp();

signals:
    void cardLoaded();
    void cardCleared();

protected:
    const EditorChrome::Parts& chrome() const { return chrome_; }
    // Finds every field of the profile (throwing WiringError for a missing
    // one or for fields that do not match the archive's columns) and wires
    // the toolbar.
    void finishSetup();
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
    void openSearch(const std::function<SearchFormBase*()>& form);

    ArchiveProfile profile_;
    QList<ArchiveProfile::Field> allFields_;
    EditorChrome::Parts chrome_;
    QList<QWidget*> fields_;
    QLabel* position_ = nullptr;
    std::unique_ptr<TSQLiteDatabase> db_;
    std::unique_ptr<TSQLiteTable> result_;
    qint32 currentId_ = 0;
    std::vector<std::shared_ptr<CardAccessory>> accessories_;
};
