#include "accessories/frm_export.h"

#include "accessories/exports.h"
#include "accessories/spreadsheet_writer.h"
#include "storage/card_text.h"
#include "ui/dialogs.h"
#include "ui/editor_chrome.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/help.h"
#include "ui/link_hover.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

// ---------------------------------------------------------------------------
// Grid model

ExportGridModel::ExportGridModel(ExportProfile profile, QObject* parent)
    : QAbstractTableModel(parent)
    , profile_(std::move(profile))
{ }

QColor ExportGridModel::fixedColour() { return QColor(166, 202, 240); }
QColor ExportGridModel::oddRowColour() { return QColor(223, 235, 255); }
QColor ExportGridModel::evenRowColour() { return QColor(249, 255, 225); }

void ExportGridModel::setTable(ExportTable table)
{
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

void ExportGridModel::clear() { setTable(ExportTable()); }

QString ExportGridModel::gridText(int row, int column) const
{
    if (row == 0)
        return column == 0 ? profile_.numberHeading : profile_.columns.value(column - 1).heading;
    if (column == 0)
        return QString::number(row);
    return table_.text(row - 1, column - 1);
}

int ExportGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : table_.rowCount(); }

int ExportGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : profile_.gridColumns();
}

QVariant ExportGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return gridText(index.row() + 1, index.column());
    case Qt::BackgroundRole:
        // Grid row n is model row n - 1: odd grid rows are the even model rows.
        if (index.column() == 0)
            return fixedColour();
        return index.row() % 2 == 0 ? oddRowColour() : evenRowColour();
    case Qt::ForegroundRole:
        return QColor(Qt::black);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ExportGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return gridText(0, section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

// ---------------------------------------------------------------------------
// Window

TfrmExport::TfrmExport(const ArchiveDefinition& definition, QWidget* parent)
    : QDialog(parent)
    , profile_(ExportProfile::of(definition))
{
    setObjectName(profile_.objectName);
    setWindowTitle(profile_.caption);
    resize(900, 560);
    setMinimumSize(640, 400);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    model_ = new ExportGridModel(profile_, this);
    grdRecords = new QTableView(this);
    grdRecords->setObjectName(QStringLiteral("grdRecords"));
    grdRecords->setModel(model_);
    grdRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRecords->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grdRecords->setWordWrap(false);
    grdRecords->verticalHeader()->hide();
    // Fixed row heights keep a grid of 100,000 cards quick to lay out.
    grdRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdRecords->verticalHeader()->setDefaultSectionSize(24);
    grdRecords->horizontalHeader()->setHighlightSections(false);
    grdRecords->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(166, 202, 240); color: black; "
                       "border: 0px; border-right: 1px solid gray; border-bottom: 1px solid gray; padding: 2px; }"));
    grdRecords->setColumnWidth(0, profile_.numberWidth);
    for (int c = 0; c < profile_.columns.size(); ++c)
        grdRecords->setColumnWidth(c + 1, profile_.columns[c].width);
    grdRecords->setMouseTracking(true);
    grdRecords->viewport()->setMouseTracking(true);
    grdRecords->viewport()->installEventFilter(this);
    layout->addWidget(grdRecords, 1);

    grpControlli = new QGroupBox(this);
    grpControlli->setObjectName(QStringLiteral("grpControlli"));
    grpControlli->setMouseTracking(true);
    grpControlli->installEventFilter(this);
    auto* controls = new QHBoxLayout(grpControlli);
    controls->setContentsMargins(8, 4, 8, 4);
    controls->addStretch(1);
    layout->addWidget(grpControlli);

    panInfo = EditorChrome::infoBar(this);
    layout->addWidget(panInfo);
    auto* hints = new HintBar(panInfo);
    hints->clearOn(grpControlli);

    auto* hover = new LinkHover(this);
    struct Control {
        const char* image;
        const char* label;
        const char* glyph;
        QString caption;
        QString hint;
        void (TfrmExport::*slot)();
    };
    const Control list[] = {
        { "imgExcel", "lblExcel", "excel", QStringLiteral("Esporta in Excel"),
            QStringLiteral(" Esporta i dati in un file di Microsoft Excel."), &TfrmExport::imgExcelMouseUp },
        { "imgGuida", "lblGuida", "guida", QStringLiteral("Guida"), QStringLiteral(" Visualizza la guida in linea."),
            &TfrmExport::imgGuidaMouseUp },
        { "imgEsci", "lblEsci", "esci", QStringLiteral("Esci"),
            QStringLiteral(" Esce dalla schermata di lavoro corrente."), &TfrmExport::imgEsciMouseUp },
    };
    QList<QWidget*> parts;
    for (const Control& c : list) {
        auto* column = new QVBoxLayout;
        auto* image = new QLabel(grpControlli);
        image->setObjectName(QLatin1String(c.image));
        image->setPixmap(QPixmap(QStringLiteral(":/img/") + QLatin1String(c.glyph) + QStringLiteral(".png")));
        image->setAlignment(Qt::AlignCenter);
        image->setCursor(Qt::PointingHandCursor);
        auto* label = new QLabel(c.caption, grpControlli);
        label->setObjectName(QLatin1String(c.label));
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        column->addWidget(image);
        column->addWidget(label);
        controls->addLayout(column);
        controls->addSpacing(24);
        for (QLabel* w : { image, label }) {
            hints->add(w, c.hint);
            const auto slot = c.slot;
            FormLook::onRelease(w, [this, slot] { (this->*slot)(); });
        }
        hover->addLink(label);
        LinkHover::setColour(label, Qt::black);
        parts << image << label;
    }
    controls->addStretch(1);
    // Over a control its own caption turns red; over the box or the grid
    // every caption is black again.
    for (int i = 0; i < 3; ++i) {
        QList<QColor> colours { Qt::black, Qt::black, Qt::black };
        colours[i] = Qt::red;
        hover->addArea(parts[2 * i], colours);
        hover->addArea(parts[2 * i + 1], colours);
    }
    hover->addArea(grpControlli, { Qt::black, Qt::black, Qt::black });
    hover->addArea(grdRecords->viewport(), { Qt::black, Qt::black, Qt::black });
}

void TfrmExport::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmExport::FormShow()
{
    panInfo->clear();
    // The rows of an earlier showing never stay: deleted cards must not be
    // exported, and a failure must not pass for the old content.
    model_->clear();
    ErrorDisplay::guard([this] { fill(); });
}

void TfrmExport::fill()
{
    BusyCursor busy;
    bool existed = false;
    auto db = profile_.archive.open(&existed);
    if (!existed)
        return; // just created: headings only
    Exports::Progress progress(this, QStringLiteral("Lettura delle schede in corso..."));
    ExportTable table;
    table.load(*db, profile_, [&progress](qint64 done, qint64 total) { progress.step(done, total); });
    model_->setTable(std::move(table));
    grdRecords->scrollToTop();
}

void TfrmExport::hideEvent(QHideEvent* event)
{
    // However the window goes (Esci, the title bar, Esc), nothing is kept
    // between showings: the next one reads the archive anew.
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        model_->clear();
}

bool TfrmExport::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched == grdRecords->viewport()) {
        const QModelIndex current = grdRecords->currentIndex();
        const QString text = current.isValid()
            ? QLatin1Char(' ') + CardText::trimmed(model_->data(current).toString())
            : QStringLiteral(" ");
        if (panInfo->text() != text)
            panInfo->setText(text);
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmExport::imgExcelMouseUp()
{
    ErrorDisplay::guard([this] {
        BusyCursor busy;
        SheetContent sheet;
        sheet.name = profile_.sheetName;
        sheet.rows = model_->rowCount() + 1;
        sheet.columns = profile_.gridColumns();
        // Every cell goes over without blanks at its ends (" N." becomes "N.").
        sheet.text = [this](int r, int c) { return CardText::trimmed(model_->gridText(r, c)); };
        sheet.boldFirst = 1;
        sheet.boldLast = profile_.lastBoldColumn;

        Exports::Progress progress(this, QStringLiteral("Esportazione in corso..."));
        Exports::Messages messages;
        messages.show = [](const QString& text) { Dialogs::message(text); };
        messages.writeFailed = QStringLiteral("Si è verificato un errore durante l'esportazione dei dati in Excel.");
        messages.openFailed = QStringLiteral(
            "La cartella di lavoro \u00ab%1\u00bb è stata salvata, ma non è stato possibile aprirla: nessun "
            "programma per i fogli di calcolo risulta associato ai file .xlsx.");
        Exports::publishAndOpen(
            profile_.sheetName, QStringLiteral("xlsx"),
            [&](const QString& temp) {
                return SpreadsheetWriter::write(temp, sheet, QFileInfo(temp).absolutePath(),
                    [&progress](qint64 done, qint64 total) { progress.step(done, total); });
            },
            messages);
    });
}

void TfrmExport::imgGuidaMouseUp() { Help::show({ profile_.helpTitle, profile_.helpText }); }

void TfrmExport::imgEsciMouseUp() { close(); }
