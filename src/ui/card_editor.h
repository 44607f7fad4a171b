#pragma once

#include "archives/archive_definition.h"
#include "ui/editor_chrome.h"
#include "ui/help.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CardAccessory;
class QLabel;
class SearchFormBase;

// One card editor: everything that makes one archive's editor different
// from the others comes from its archive's definition; the life cycle
// (prepare, new, save, delete, navigation, leave), the toolbar, the searches
// and the accessories are shared and driven by it. Subclasses add their
// panels to chrome().body (with the controls the definition names) and then
// call finishSetup().
class CardEditor : public QWidget {
    Q_OBJECT
public:
    // definition: a completed one (archives/archive_registry.h).
    explicit CardEditor(const ArchiveDefinition& definition, QWidget* parent = nullptr);
    ~CardEditor() override;

    const ArchiveDefinition& definition() const { return definition_; }
    const CardArchive& archive() const { return definition_.card; }
    HelpTopic help() const;

    // The editor's own searches, opened with the definition's mode word; the
    // start-up hands them over. A search not handed over leaves its button
    // disabled.
    void setSearches(SearchFormBase* quick, SearchFormBase* advanced);
    // The conditions of the last search made from this editor's own searches
    // (opened with its mode word), so its result can be taken up again; none
    // before the first.
    std::optional<QList<QByteArray>> lastSearch() const;

    // Any field of the card, the hidden labels included, or another named
    // control of the form; throws WiringError when there is none.
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
    // Finds every control the definition names (throwing WiringError for a
    // missing one or a table that does not add up) and wires the toolbar.
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
    QStringList fieldTexts() const;
    bool refusedByRequired(bool inserting);
    bool encodeFields(bool inserting, QList<QByteArray>& values);
    void insertCard();
    void updateCard();
    void openSearch(SearchFormBase* form);

    ArchiveDefinition definition_;
    EditorChrome::Parts chrome_;
    QList<QWidget*> fields_;
    QLabel* position_ = nullptr;
    std::unique_ptr<TSQLiteDatabase> db_;
    std::unique_ptr<TSQLiteTable> result_;
    qint32 currentId_ = 0;
    std::vector<std::shared_ptr<CardAccessory>> accessories_;
    SearchFormBase* quickSearch_ = nullptr;
    SearchFormBase* advancedSearch_ = nullptr;
};
