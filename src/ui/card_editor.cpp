#include "ui/card_editor.h"

#include "ui/card_accessory.h"

#include "archives/card_rules.h"
#include "storage/win1252.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/field_access.h"
#include "ui/form_look.h"
#include "ui/modal.h"
#include "ui/picked_card.h"
#include "ui/search_forms.h"
#include "ui/wiring.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QShowEvent>
#include <QToolButton>


namespace {
const QString kInsertCaption = QStringLiteral("Salvataggio dati non applicabile");
const QString kUpdateCaption = QStringLiteral("Aggiornamento dati non applicabile");
} // namespace

CardEditor::CardEditor(const ArchiveDefinition& definition, QWidget* parent)
    : QWidget(parent)
    , definition_(definition)
{
    setMinimumSize(800, 582);
    setWindowState(Qt::WindowMaximized);
    chrome_ = EditorChrome::build(this, 780, 540);
    position_ = chrome_.position;

    // Values edited only through the attachment and folder forms.
    for (const auto& f : ArchiveDefinition::accessoryColumns()) {
        auto* l = new QLabel(chrome_.container);
        l->setObjectName(f.control);
        l->hide();
    }
    auto* sfondo = new QToolButton(this);
    sfondo->setObjectName(QStringLiteral("btnSfondo"));
    sfondo->setIcon(QIcon(QStringLiteral(":/img/sfondo.png")));
    sfondo->hide();
}

CardEditor::~CardEditor() = default;

void CardEditor::finishSetup()
{
    definition_.check();
    const QList<QByteArray>& columns = archive().valueColumns();
    if (definition_.columnNames() != columns)
        throw WiringError(objectName() + QStringLiteral(": the fields do not match the columns of ")
            + QString::fromLatin1(archive().table()));
    fields_.clear();
    for (const auto& c : definition_.columns)
        fields_ << Wiring::child<QWidget>(this, c.control);
    for (const QString& kept : definition_.keptOnClear + QStringList { definition_.firstField })
        Wiring::child<QWidget>(this, kept);

    auto onClick = [this](const char* name, void (CardEditor::*slot)()) {
        connect(Wiring::child<QAbstractButton>(this, QLatin1String(name)), &QAbstractButton::clicked, this, slot);
    };
    auto onRelease = [this](const char* name, void (CardEditor::*slot)()) {
        FormLook::onRelease(Wiring::child<QWidget>(this, QLatin1String(name)), [this, slot] { (this->*slot)(); });
    };
    onClick("cmdSalva", &CardEditor::cmdSalvaClick);
    onClick("imgPrimo", &CardEditor::imgPrimoClick);
    onClick("imgIndietro", &CardEditor::imgIndietroClick);
    onClick("imgAvanti", &CardEditor::imgAvantiClick);
    onClick("imgUltimo", &CardEditor::imgUltimoClick);
    onRelease("cmdNuovo", &CardEditor::cmdNuovoMouseUp);
    onRelease("cmdElimina", &CardEditor::cmdEliminaMouseUp);
    onRelease("cmdEsci", &CardEditor::cmdEsciMouseUp);
    onRelease("cmdGuida", &CardEditor::cmdGuidaMouseUp);
    onRelease("cmdTrova", &CardEditor::cmdTrovaMouseUp);
    onRelease("cmdWeb", &CardEditor::cmdWebMouseUp);
    setSearches(quickSearch_, advancedSearch_);
    // Tools not registered on this editor keep their hints but cannot be
    // pressed; addAccessory enables each one it wires.
    for (const char* name : EditorChrome::accessoryButtons())
        Wiring::child<QWidget>(this, QLatin1String(name))->setEnabled(false);
}

HelpTopic CardEditor::help() const { return { definition_.helpTitle, Help::paragraphs(definition_.helpParagraphs) }; }

void CardEditor::setSearches(SearchFormBase* quick, SearchFormBase* advanced)
{
    quickSearch_ = quick;
    advancedSearch_ = advanced;
    Wiring::child<QWidget>(this, QStringLiteral("cmdTrova"))->setEnabled(quick != nullptr);
    Wiring::child<QWidget>(this, QStringLiteral("cmdWeb"))->setEnabled(advanced != nullptr);
}

std::optional<QList<QByteArray>> CardEditor::lastSearch() const
{
    std::optional<QList<QByteArray>> found;
    quint64 latest = 0;
    for (const SearchFormBase* form : { quickSearch_, advancedSearch_ }) {
        if (form && form->lastSearch().serial > latest && form->lastSearch().mode == definition_.searchMode) {
            latest = form->lastSearch().serial;
            found = form->lastSearch().conditions;
        }
    }
    return found;
}

QWidget* CardEditor::field(const QString& control) const
{
    for (int i = 0; i < fields_.size(); ++i)
        if (definition_.columns[i].control == control)
            return fields_[i];
    return Wiring::child<QWidget>(this, control);
}

QString CardEditor::fieldText(const QString& control) const { return FieldAccess::text(field(control)); }

void CardEditor::setFieldText(const QString& control, const QString& text)
{
    FieldAccess::setText(field(control), text);
}

qint32 CardEditor::shownId() const { return position_->text().trimmed().toInt(); }

bool CardEditor::isNewCard() const { return position_->text().trimmed().isEmpty(); }

// ---------------------------------------------------------------------------
// Archive access

bool CardEditor::openArchive()
{
    // Dropping the old connection first rolls back anything a failed save
    // left open and releases the file.
    result_.reset();
    db_.reset();
    bool existed = false;
    db_ = archive().open(&existed);
    return existed;
}

bool CardEditor::reopenArchive()
{
    if (!openArchive())
        return false;
    result_ = db_->Query(archive().first());
    result_->First();
    return true;
}

TSQLiteDatabase& CardEditor::connection()
{
    if (!db_)
        openArchive();
    return *db_;
}

void CardEditor::addAccessory(std::shared_ptr<CardAccessory> accessory)
{
    QWidget* b = Wiring::child<QWidget>(this, accessory->button());
    b->setEnabled(true);
    CardAccessory* raw = accessory.get();
    FormLook::onRelease(b, [this, raw] { ErrorDisplay::guard([this, raw] { raw->run(*this); }); });
    accessories_.push_back(std::move(accessory));
}

void CardEditor::showStoredCard(const TSQLiteTable& row)
{
    const QStringList& names = row.ColumnNames();
    for (const auto& c : definition_.columns)
        if (!names.contains(QString::fromLatin1(c.name).toUpper())) {
            // A card deleted since the search leaves the empty card, and says so.
            if (!loadCardById(qint32(row.IntegerAt(row.ColumnIndex(QStringLiteral("ID"))))))
                PickedCard::reportGone();
            return;
        }
    loadRow(row);
}

void CardEditor::loadRow(const TSQLiteTable& row)
{
    currentId_ = qint32(row.IntegerAt(row.ColumnIndex(QStringLiteral("ID"))));
    QStringList texts;
    for (const auto& c : definition_.columns)
        texts << Cp1252::decode(row.BlobTextAt(row.ColumnIndex(QString::fromLatin1(c.name))));
    // Only a fully read card reaches the screen.
    position_->setText(QString::number(currentId_));
    for (int i = 0; i < fields_.size(); ++i)
        FieldAccess::setText(fields_[i], texts[i]);
    emit cardLoaded();
}

bool CardEditor::loadCardById(qint32 id)
{
    if (!openArchive())
        return false;
    auto table = db_->Query(archive().byId(id));
    if (table->RowCount() == 0)
        return false;
    result_ = std::move(table);
    result_->First();
    loadRow(*result_);
    return true;
}

void CardEditor::clearCard()
{
    position_->clear();
    for (int i = 0; i < fields_.size(); ++i)
        if (!definition_.keptOnClear.contains(definition_.columns[i].control))
            FieldAccess::setText(fields_[i], QString());
    field(definition_.firstField)->setFocus(Qt::OtherFocusReason);
    emit cardCleared();
}

// ---------------------------------------------------------------------------
// Life cycle

void CardEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void CardEditor::FormShow()
{
    ErrorDisplay::guard([this] {
        if (auto* sfondo = findChild<QToolButton*>(QStringLiteral("btnSfondo")))
            FormLook::tileBackground(this, sfondo->icon().pixmap(64, 64));
        clearCard();
        openArchive();
        afterPrepare();
    });
}

void CardEditor::cmdNuovoMouseUp() { clearCard(); }

void CardEditor::imgPrimoClick() { navigate(Move::First); }
void CardEditor::imgIndietroClick() { navigate(Move::Previous); }
void CardEditor::imgAvantiClick() { navigate(Move::Next); }
void CardEditor::imgUltimoClick() { navigate(Move::Last); }

void CardEditor::navigate(Move move)
{
    ErrorDisplay::guard([this, move] {
        if (!openArchive())
            return; // a new, empty archive: nothing to show
        const CardArchive& a = archive();
        QByteArray sql;
        switch (move) {
        case Move::First:
            sql = a.first();
            break;
        case Move::Last:
            sql = a.last();
            break;
        case Move::Previous:
            sql = isNewCard() ? a.first() : a.previous(shownId());
            break;
        case Move::Next:
            sql = isNewCard() ? a.first() : a.next(shownId());
            break;
        }
        auto table = db_->Query(sql);
        if (table->RowCount() == 0)
            return; // at either end the card on screen stays
        result_ = std::move(table);
        result_->First();
        loadRow(*result_);
    });
}

void CardEditor::scrubFields()
{
    for (QWidget* f : std::as_const(fields_)) {
        const QString text = FieldAccess::text(f);
        const QString clean = CardRules::scrubbed(text);
        if (clean != text)
            FieldAccess::setText(f, clean);
    }
}

QStringList CardEditor::fieldTexts() const
{
    QStringList texts;
    for (const QWidget* f : fields_)
        texts << FieldAccess::text(f);
    return texts;
}

bool CardEditor::refusedByRequired(bool inserting)
{
    const int missing = CardRules(definition_).missingRequired(fieldTexts());
    if (missing < 0)
        return false;
    const auto& r = definition_.required[missing];
    Dialogs::warning(inserting ? kInsertCaption : kUpdateCaption, inserting ? r.insertText : r.updateText);
    field(r.control)->setFocus(Qt::OtherFocusReason);
    return true;
}

bool CardEditor::encodeFields(bool inserting, QList<QByteArray>& values)
{
    const CardRules rules(definition_);
    const auto refused = rules.encode(fieldTexts(), values);
    if (!refused)
        return true;
    // The archives hold Windows-1252 text only: refuse rather than store
    // something else in the user's place.
    Dialogs::warning(inserting ? kInsertCaption : kUpdateCaption,
        QStringLiteral("Attenzione: ") + rules.reason(*refused)
            + QStringLiteral(". Sostituirlo o eliminarlo e salvare di nuovo."));
    QWidget* f = fields_[refused->column];
    if (f->isVisible() || f->focusPolicy() != Qt::NoFocus)
        f->setFocus(Qt::OtherFocusReason);
    return false;
}

void CardEditor::cmdSalvaClick()
{
    ErrorDisplay::guard([this] {
        openArchive();
        scrubFields();
        if (isNewCard())
            insertCard();
        else
            updateCard();
    });
}

void CardEditor::insertCard()
{
    QList<QByteArray> values;
    if (refusedByRequired(true) || !encodeFields(true, values))
        return;
    {
        // A failure keeps the card on screen and is reported by the caller's
        // guard, so nothing the user typed is lost.
        BusyCursor busy;
        db_->ExecuteInTransaction(archive().insert(values));
        // The card is stored from here on: should reloading it fail, the next
        // Save must update it, not insert it a second time.
        currentId_ = qint32(db_->LastInsertedRowId());
        position_->setText(QString::number(currentId_));
        result_ = db_->Query(archive().byId(currentId_));
        result_->First();
        loadRow(*result_);
    }
    Dialogs::message(QStringLiteral("La scheda n. ") + position_->text().trimmed()
        + QStringLiteral(" è stata inserita in archivio."));
}

void CardEditor::updateCard()
{
    QList<QByteArray> values;
    if (refusedByRequired(false) || !encodeFields(false, values))
        return;
    bool gone = false;
    {
        BusyCursor busy;
        result_ = db_->Query(archive().byId(shownId()));
        gone = result_->RowCount() == 0;
        if (!gone) {
            result_->First();
            currentId_ = qint32(result_->IntegerAt(result_->ColumnIndex(QStringLiteral("ID"))));
            db_->ExecuteInTransaction(archive().update(currentId_, values));
        }
    }
    if (gone) {
        // Deleted meanwhile (another copy of the program on a shared
        // folder): offer to keep what is on screen as a new card.
        if (Dialogs::confirm(QStringLiteral("Scheda non presente in archivio"),
                QStringLiteral("Attenzione: la scheda n. %1 non è più presente in archivio (potrebbe essere stata "
                               "eliminata da un'altra postazione). Si vogliono salvare i dati visualizzati come "
                               "nuova scheda?")
                    .arg(shownId()))) {
            position_->clear();
            insertCard();
        }
        return;
    }
    Dialogs::message(QStringLiteral("Le modifiche apportate alla scheda n. ") + position_->text().trimmed()
        + QStringLiteral(" sono state inserite in archivio."));
}

void CardEditor::cmdEliminaMouseUp()
{
    if (isNewCard()) {
        Dialogs::warning(QStringLiteral("Eliminazione dati non applicabile"),
            QStringLiteral("Attenzione: la cancellazione non è applicabile in quanto la scheda corrente "
                           "non è ancora stata inserita in archivio."));
        return;
    }
    ErrorDisplay::guard([this] {
        const qint32 n = shownId();
        if (!Dialogs::confirm(QStringLiteral("Conferma cancellazione scheda"),
                QStringLiteral("Si intende proprio cancellare la scheda corrente?")))
            return;
        if (!db_)
            openArchive();
        db_->ExecuteInTransaction(archive().deleteCard(n));
        result_ = db_->Query(archive().first());
        result_->First();
        clearCard();
    });
}

void CardEditor::cmdEsciMouseUp() { close(); }

void CardEditor::openSearch(SearchFormBase* form)
{
    if (!form)
        return;
    clearCard();
    // The hand-over swallows its failures; a chosen card comes back here.
    ErrorDisplay::swallow([this, form] {
        reopenArchive();
        SearchFormBase::openAs(form, definition_.searchMode, [this](const TSQLiteTable& row) { showStoredCard(row); });
    });
}

void CardEditor::cmdTrovaMouseUp() { openSearch(quickSearch_); }
void CardEditor::cmdWebMouseUp() { openSearch(advancedSearch_); }
void CardEditor::cmdGuidaMouseUp() { Help::show(help()); }

void CardEditor::closeEvent(QCloseEvent* event)
{
    ErrorDisplay::swallow([this] { beforeLeave(); });
    ErrorDisplay::swallow([this] { reopenArchive(); });
    // The launcher comes back even when the archive could not be reopened,
    // so the program never ends up without a window.
    ErrorDisplay::swallow([] { LauncherLink::show(); });
    event->accept();
}
