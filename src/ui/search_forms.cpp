#include "ui/search_forms.h"

#include "storage/card_text.h"
#include "storage/win1252.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"
#include "ui/picked_card.h"
#include "ui/short_date.h"
#include "ui/wiring.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStringListModel>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

QLabel* textLine(QWidget* parent, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* edit(QWidget* parent, const QString& name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    FormLook::styleField(e);
    return e;
}


// A search column the archive lacks would list empty values or fail at the
// first search: refuse it when the form is built.
void requireColumn(const CardArchive& a, const QByteArray& column)
{
    if (!a.hasColumn(column))
        throw WiringError(QStringLiteral("search form: table %1 has no column %2")
                              .arg(QString::fromLatin1(a.table()), QString::fromLatin1(column)));
}

} // namespace

QString PickerText::appended(const QString& fieldText, const QString& x, const QString& separator)
{
    const QString t = CardText::trimmed(fieldText);
    return t.isEmpty() ? x : t + separator + x;
}

QString PickerText::column(const TSQLiteTable& row, const QByteArray& column)
{
    return CardText::trimmed(Cp1252::decode(row.BlobTextAt(row.ColumnIndex(QString::fromLatin1(column)))));
}

// ---------------------------------------------------------------------------
// The searches of an archive, from its definition

ListLineSpec SearchConfig::lineOf(const ArchiveDefinition& definition)
{
    QList<ListLineSpec::Piece> pieces;
    for (const auto& c : definition.listed()) {
        if (!c.line.lead.isEmpty())
            pieces.append({ {}, c.line.lead, c.line.leadWidth });
        pieces.append({ c.name, {}, c.line.width });
    }
    return ListLineSpec(pieces);
}

SearchConfig SearchConfig::of(const ArchiveDefinition& definition, bool advanced)
{
    definition.check();
    const ArchiveDefinition::SearchForm& form = advanced ? definition.advanced : definition.quick;
    SearchConfig c;
    c.archive = definition.card;
    c.line = lineOf(definition);
    c.printRule = QString(form.printRule, QLatin1Char('-'));
    c.printTitle = form.printTitle;
    c.printQuestion = form.printQuestion;
    c.printQuestionIcon = form.printQuestionIcon;
    return c;
}

QList<QuickSearchForm::Criterion> QuickSearchForm::criteriaOf(const ArchiveDefinition& definition)
{
    QList<Criterion> list;
    for (const auto& c : definition.columns)
        if (!c.search.isEmpty())
            list.append({ c.search, c.name });
    return list;
}

QList<AdvancedSearchForm::Field> AdvancedSearchForm::fieldsOf(const ArchiveDefinition& definition)
{
    QList<Field> list;
    for (const auto& c : definition.columns)
        if (c.advanced)
            list.append({ c.control, c.search, c.name });
    return list;
}

QuickSearchForm::QuickSearchForm(const ArchiveDefinition& definition, QWidget* parent)
    : QuickSearchForm(SearchConfig::of(definition, false), criteriaOf(definition), parent)
{
    setObjectName(definition.quick.objectName);
}

AdvancedSearchForm::AdvancedSearchForm(const ArchiveDefinition& definition, QWidget* parent)
    : AdvancedSearchForm(SearchConfig::of(definition, true), fieldsOf(definition), definition.advancedTitle,
        { QStringLiteral("Immettere nei campi prescelti una o più parole consecutive presenti nella scheda"),
            QStringLiteral("(o nelle schede) %1 da cercare e premere il pulsante Trova.").arg(definition.advancedCards),
            QStringLiteral("Lasciare in bianco gli altri campi."),
            QStringLiteral("Per ogni ricerca è possibile utilizzare uno o più campi contemporaneamente.") },
        parent)
{
    setObjectName(definition.advanced.objectName);
}

// ---------------------------------------------------------------------------
// SearchFormBase

SearchFormBase::SearchFormBase(SearchConfig config, QWidget* parent)
    : QDialog(parent)
    , config_(std::move(config))
{
    setWindowFlags(
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
    for (const QByteArray& column : config_.line.columns())
        requireColumn(config_.archive, column);
    memory_ = new QLabel(this);
    memory_->setObjectName(QStringLiteral("lblMemory"));
    memory_->hide();
}

void SearchFormBase::setPick(const QString& mode, PickTarget target)
{
    memory_->setText(mode);
    target_ = std::move(target);
}

QString SearchFormBase::mode() const { return memory_->text(); }

void SearchFormBase::openAs(SearchFormBase* form, const QString& mode, PickTarget target)
{
    if (!form)
        return;
    form->setPick(mode, std::move(target));
    Modal::run(form);
}

QListView* SearchFormBase::makeList(QWidget* parent, int scrollExtent)
{
    // A model and view, not one widget item per line: large archives list
    // tens of thousands of lines.
    list_ = new QListView(parent);
    list_->setObjectName(QStringLiteral("lstRecords"));
    model_ = new QStringListModel(list_);
    list_->setModel(model_);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    list_->setFont(mono);
    list_->setMinimumWidth(200);
    Q_UNUSED(scrollExtent); // the view scrolls over the longest line
    connect(list_, &QListView::doubleClicked, this, &SearchFormBase::listDoubleClicked);
    return list_;
}

QLabel* SearchFormBase::makeCount(QWidget* parent)
{
    count_ = new QLabel(parent);
    count_->setObjectName(QStringLiteral("LabelCount"));
    setCount(0);
    return count_;
}

QStringList SearchFormBase::lines() const { return model_->stringList(); }

int SearchFormBase::selectedLine() const
{
    const QModelIndexList sel = list_->selectionModel()->selectedIndexes();
    return sel.isEmpty() ? -1 : sel.first().row();
}

void SearchFormBase::selectLine(int row)
{
    const QModelIndex index = model_->index(row);
    list_->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    list_->setCurrentIndex(index);
    list_->scrollTo(index);
}

void SearchFormBase::setCount(int count)
{
    count_->setText(QStringLiteral("Totale schede : ") + QString::number(count));
}

void SearchFormBase::clearList() { model_->setStringList({}); }

bool SearchFormBase::replaceConnection()
{
    result_.reset();
    db_.reset();
    bool existed = false;
    db_ = config_.archive.open(&existed);
    return existed;
}

void SearchFormBase::reopenQueryingFirst()
{
    if (replaceConnection()) {
        result_ = db_->Query(config_.archive.first());
        result_->First();
    }
}

bool SearchFormBase::encodeKey(const QString& key, QByteArray& bytes)
{
    // No stored text holds a NUL, and it would end the statement.
    return !key.contains(QChar(0)) && Cp1252::tryEncode(key, bytes);
}

void SearchFormBase::rememberSearch(QList<QByteArray> conditions)
{
    static quint64 searches = 0;
    lastSearch_ = { std::move(conditions), mode(), ++searches };
}

void SearchFormBase::showResult(std::unique_ptr<TSQLiteTable> rows)
{
    result_ = std::move(rows);
    QStringList lines;
    rowOfLine_.clear();
    if (result_ && result_->First()) {
        lines.reserve(result_->RowCount());
        // Column positions are looked up once, not once per row.
        QList<int> columns;
        for (const auto& p : config_.line.pieces())
            if (!p.column.isEmpty())
                columns << result_->ColumnIndex(QString::fromLatin1(p.column));
        QList<QString> values(columns.size());
        QStringList built;
        built.reserve(result_->RowCount());
        do {
            for (int i = 0; i < columns.size(); ++i)
                values[i] = Cp1252::decode(result_->BlobTextAt(columns[i]));
            built << config_.line.build(values);
        } while (result_->Next() && !result_->AtEnd());
        result_->First();
        // Sorted through their row numbers, so every line keeps its card.
        rowOfLine_.resize(built.size());
        std::iota(rowOfLine_.begin(), rowOfLine_.end(), 0u);
        std::stable_sort(rowOfLine_.begin(), rowOfLine_.end(), [&built](quint32 a, quint32 b) {
            return built[a].compare(built[b], Qt::CaseInsensitive) < 0;
        });
        for (quint32 row : std::as_const(rowOfLine_))
            lines << built[row];
    }
    model_->setStringList(lines);
    setCount(int(lines.size()));
}

void SearchFormBase::findInList(const QString& key)
{
    ErrorDisplay::swallow([&] {
        const QStringList all = lines();
        if (all.isEmpty()) {
            Dialogs::message(QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
            return;
        }
        int selected = selectedLine();
        if (selected < 0) {
            selected = 0;
            selectLine(0);
        }
        const int found = find_.next(all, selected, key);
        if (found >= 0)
            selectLine(found);
    });
}

void SearchFormBase::chooseSelected()
{
    const int selected = selectedLine();
    if (selected < 0 || !result_ || selected >= rowOfLine_.size())
        return;
    if (!result_->GoTo(rowOfLine_[selected]))
        return;
    PickedCard::GoneWatch watch;
    if (target_)
        target_(*result_);
    // A card deleted since the search was reported and applied nothing: the
    // list stays for another choice.
    if (!watch.cardWasGone())
        close();
}

void SearchFormBase::printList()
{
    if (lines().isEmpty()) {
        Dialogs::message(QStringLiteral("Operazione di stampa non applicabile: la lista non contiene nessuna voce."));
        return;
    }
    if (!Dialogs::confirm(
            QStringLiteral("Conferma operazione di stampa"), config_.printQuestion, config_.printQuestionIcon))
        return;
    ErrorDisplay::guard([&] { Printing::print({ config_.printRule, config_.printTitle, lines() }); });
}

void SearchFormBase::closeEvent(QCloseEvent* event)
{
    // The form outlives this caller's request: it must not call back later.
    target_ = {};
    ErrorDisplay::swallow([this] { reopenQueryingFirst(); });
    QDialog::closeEvent(event);
}

// ---------------------------------------------------------------------------
// QuickSearchForm

QuickSearchForm::QuickSearchForm(SearchConfig config, QList<Criterion> criteria, QWidget* parent)
    : SearchFormBase(std::move(config), parent)
    , criteria_(std::move(criteria))
{
    for (const auto& c : criteria_)
        requireColumn(config_.archive, c.column);
    setWindowTitle(QStringLiteral(" Cerca scheda in archivio"));
    setFixedSize(783, 505);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Criterio di ricerca:"), this));
    cboCriterio_ = new QComboBox(this);
    cboCriterio_->setObjectName(QStringLiteral("cboCriterio"));
    for (const auto& c : criteria_)
        cboCriterio_->addItem(c.item);
    FormLook::styleField(cboCriterio_);
    top->addWidget(cboCriterio_, 1);
    top->addWidget(new QLabel(QStringLiteral("Chiave di ricerca:"), this));
    txtCriterio_ = edit(this, QStringLiteral("txtCriterio"));
    top->addWidget(txtCriterio_, 1);
    btnPopola_ = button(this, "btnPopola", QStringLiteral("Cerca in archivio"));
    btnPopola_->setEnabled(false);
    top->addWidget(btnPopola_);
    layout->addLayout(top);
    layout->addWidget(textLine(this,
        QStringLiteral("Inserire una o più parole consecutive presenti nella scheda e "
                       "premere il pulsante Cerca in archivio.")));
    layout->addWidget(makeList(this, 2000), 1);

    auto* findRow = new QHBoxLayout;
    txtTrova_ = edit(this, QStringLiteral("txtTrova"));
    findRow->addWidget(txtTrova_, 1);
    auto* btnTrova = button(this, "btnTrova", QStringLiteral("Trova"));
    findRow->addWidget(btnTrova);
    findRow->addWidget(makeCount(this));
    layout->addLayout(findRow);
    layout->addWidget(textLine(this,
        QStringLiteral("Per selezionare una voce in elenco, immettere una chiave di "
                       "ricerca e fare clic su Trova.")));
    layout->addWidget(textLine(this,
        QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa chiave "
                       "di ricerca, fare di nuovo clic su Trova.")));
    layout->addWidget(textLine(this,
        QStringLiteral("Per richiamare i dati di una scheda, selezionarla con un doppio "
                       "clic.")));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    auto* btnStampa = button(this, "btnStampa", QStringLiteral("Stampa"));
    auto* btnChiudi = button(this, "btnChiudi", QStringLiteral("Chiudi"));
    bottom->addWidget(btnStampa);
    bottom->addWidget(btnChiudi);
    layout->addLayout(bottom);

    // Only list items can be chosen as the criterion.
    cboCriterio_->setEditable(false);
    if (!criteria_.isEmpty())
        cboCriterio_->setCurrentIndex(0);

    connect(cboCriterio_, &QComboBox::currentTextChanged, this,
        [this](const QString& t) { btnPopola_->setEnabled(!t.trimmed().isEmpty()); });
    connect(txtCriterio_, &QLineEdit::textChanged, this,
        [this](const QString& t) { btnPopola_->setEnabled(!t.isEmpty()); });
    connect(btnPopola_, &QPushButton::clicked, this, &QuickSearchForm::btnPopolaClick);
    connect(btnTrova, &QPushButton::clicked, this, &QuickSearchForm::btnTrovaClick);
    connect(this, &SearchFormBase::listDoubleClicked, this, &QuickSearchForm::lstRecordsDblClick);
    connect(btnStampa, &QPushButton::clicked, this, &QuickSearchForm::btnStampaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &QWidget::close);
}

void QuickSearchForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void QuickSearchForm::FormShow()
{
    ErrorDisplay::guard([this] {
        clearList();
        find_.forget();
        txtTrova_->clear();
        ShortDate::useDayMonthYear();
        setCount(0);
        reopenQueryingFirst();
    });
}

QByteArray QuickSearchForm::columnOf(const QString& item) const
{
    const QString wanted = ListFind::lowerAscii(item.trimmed());
    for (const auto& c : criteria_)
        if (ListFind::lowerAscii(c.item) == wanted)
            return c.column;
    return criteria_.isEmpty() ? QByteArray() : criteria_.first().column;
}

void QuickSearchForm::btnPopolaClick()
{
    ErrorDisplay::guard([this] {
        clearList();
        BusyCursor busy;
        std::unique_ptr<TSQLiteTable> rows;
        QByteArray key;
        if (replaceConnection() && encodeKey(CardText::trimmed(txtCriterio_->text()), key)) {
            const CardArchive& archive = config_.archive;
            const QByteArray column = columnOf(cboCriterio_->currentText());
            rows = db_->Query(config_.listColumnsOnly
                    ? archive.matchingAll({ CardArchive::likeCondition(column, key) }, config_.line.columns())
                    : archive.contains(column, key));
            rememberSearch({ CardArchive::likeCondition(column, key) });
        } else {
            rememberSearch({ nothingFound() });
        }
        showResult(std::move(rows));
    });
}

void QuickSearchForm::btnTrovaClick() { findInList(txtTrova_->text()); }

void QuickSearchForm::lstRecordsDblClick()
{
    ErrorDisplay::swallow([this] { chooseSelected(); });
}

void QuickSearchForm::btnStampaClick() { printList(); }

// ---------------------------------------------------------------------------
// AdvancedSearchForm

AdvancedSearchForm::AdvancedSearchForm(
    SearchConfig config, QList<Field> fields, QString title, QStringList instructions, QWidget* parent)
    : SearchFormBase(std::move(config), parent)
    , fields_(std::move(fields))
{
    for (const auto& f : fields_)
        requireColumn(config_.archive, f.column);
    setWindowTitle(QStringLiteral(" Ricerca avanzata"));
    setFixedSize(783, 540);
    auto* layout = new QVBoxLayout(this);

    grpCriteri_ = new QGroupBox(this);
    grpCriteri_->setObjectName(QStringLiteral("grpCriteri"));
    auto* criteri = new QVBoxLayout(grpCriteri_);
    auto* band = new QLabel(title, grpCriteri_);
    band->setAutoFillBackground(true);
    QPalette pal = band->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    pal.setColor(QPalette::WindowText, Qt::white);
    band->setPalette(pal);
    band->setMargin(6);
    QFont bandFont = band->font();
    bandFont.setBold(true);
    band->setFont(bandFont);
    criteri->addWidget(band);
    criteri->addSpacing(8);
    for (const QString& line : instructions)
        criteri->addWidget(textLine(grpCriteri_, line));
    // The fields sit in the middle of the pane, not crowded under the text.
    criteri->addStretch(1);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(14);
    for (int i = 0; i < fields_.size(); ++i) {
        auto* box = new QVBoxLayout;
        box->addWidget(new QLabel(fields_[i].caption, grpCriteri_));
        QLineEdit* e = edit(grpCriteri_, fields_[i].control);
        box->addWidget(e);
        edits_ << e;
        grid->addLayout(box, i / 3, i % 3);
    }
    criteri->addLayout(grid);
    criteri->addStretch(1);
    QList<QWidget*> chain(edits_.begin(), edits_.end());
    for (int i = 0; i + 1 < chain.size(); ++i)
        setTabOrder(chain[i], chain[i + 1]);
    if (!chain.isEmpty())
        FormLook::installEnterChain({ chain, {}, {}, chain.first() });
    layout->addWidget(grpCriteri_, 1);

    grpElenco_ = new QGroupBox(this);
    grpElenco_->setObjectName(QStringLiteral("grpElenco"));
    auto* elenco = new QVBoxLayout(grpElenco_);
    elenco->addWidget(makeList(grpElenco_, 3000), 1);
    auto* findRow = new QHBoxLayout;
    txtTrova_ = edit(grpElenco_, QStringLiteral("txtTrova"));
    findRow->addWidget(txtTrova_, 1);
    auto* cmdTrova02 = button(grpElenco_, "cmdTrova02", QStringLiteral("Cerca"));
    findRow->addWidget(cmdTrova02);
    elenco->addLayout(findRow);
    elenco->addWidget(textLine(grpElenco_,
        QStringLiteral("Inserire una o più parole consecutive presenti nella voce "
                       "da selezionare nella lista e premere il pulsante Cerca.")));
    elenco->addWidget(textLine(grpElenco_,
        QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa "
                       "chiave di ricerca, fare di nuovo clic su Cerca.")));
    elenco->addWidget(textLine(grpElenco_,
        QStringLiteral("Per richiamare i dati di una scheda, selezionare con un "
                       "doppio clic la voce corrispondente.")));
    layout->addWidget(grpElenco_, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(makeCount(this));
    bottom->addStretch(1);
    cmdTrova_ = button(this, "cmdTrova", QStringLiteral("Trova"));
    cmdIndietro_ = button(this, "cmdIndietro", QStringLiteral("<< Indietro"));
    cmdStampa_ = button(this, "cmdStampa", QStringLiteral("Stampa"));
    auto* cmdAnnulla = button(this, "cmdAnnulla", QStringLiteral("Chiudi"));
    for (QPushButton* b : { cmdTrova_, cmdIndietro_, cmdStampa_, cmdAnnulla })
        bottom->addWidget(b);
    layout->addLayout(bottom);

    connect(cmdTrova_, &QPushButton::clicked, this, &AdvancedSearchForm::cmdTrovaClick);
    connect(cmdIndietro_, &QPushButton::clicked, this, &AdvancedSearchForm::cmdIndietroClick);
    connect(cmdTrova02, &QPushButton::clicked, this, &AdvancedSearchForm::cmdTrova02Click);
    connect(this, &SearchFormBase::listDoubleClicked, this, &AdvancedSearchForm::lstRecordsDblClick);
    connect(cmdStampa_, &QPushButton::clicked, this, &AdvancedSearchForm::cmdStampaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QWidget::close);
    showCriteria();
}

void AdvancedSearchForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void AdvancedSearchForm::FormShow() { showCriteria(); }
void AdvancedSearchForm::cmdIndietroClick() { showCriteria(); }

void AdvancedSearchForm::showCriteria()
{
    clearList();
    cmdIndietro_->setEnabled(false);
    cmdStampa_->setEnabled(false);
    cmdTrova_->setEnabled(true);
    grpElenco_->hide();
    count_->hide();
    grpCriteri_->show();
    if (!edits_.isEmpty())
        edits_.first()->setFocus(Qt::OtherFocusReason);
}

void AdvancedSearchForm::cmdTrovaClick()
{
    ErrorDisplay::guard([this] {
        clearList();
        BusyCursor busy;
        std::unique_ptr<TSQLiteTable> rows;
        if (replaceConnection()) {
            QList<QByteArray> conditions;
            bool encodable = true;
            for (int i = 0; i < fields_.size(); ++i) {
                QByteArray key;
                encodable = encodable && encodeKey(CardText::trimmed(edits_[i]->text()), key);
                conditions << CardArchive::likeCondition(fields_[i].column, key);
            }
            // Only what the list shows: the chosen card is loaded by its number.
            if (encodable)
                rows = db_->Query(config_.archive.matchingAll(conditions, config_.line.columns()));
            rememberSearch(encodable ? conditions : QList<QByteArray> { nothingFound() });
        } else {
            rememberSearch({ nothingFound() });
        }
        showResult(std::move(rows));
        grpElenco_->show();
        count_->show();
        grpCriteri_->hide();
        cmdTrova_->setEnabled(false);
        cmdIndietro_->setEnabled(true);
        cmdStampa_->setEnabled(true);
        txtTrova_->clear();
        txtTrova_->setFocus(Qt::OtherFocusReason);
    });
}

void AdvancedSearchForm::cmdTrova02Click() { findInList(txtTrova_->text()); }

void AdvancedSearchForm::lstRecordsDblClick()
{
    ErrorDisplay::swallow([this] { chooseSelected(); });
}

void AdvancedSearchForm::cmdStampaClick() { printList(); }
