#include "contacts/frm_importa_contatti.h"

#include "archives/archive_registry.h"
#include "storage/card_archive.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int kPreviewRows = 20;
// Reading slices: the first is read before the window shows, the others
// between two paintings of it.
constexpr int kFirstSliceMs = 150;
constexpr int kSliceMs = 40;
const QString kCaption = QStringLiteral("Importa contatti");

// The card's own fields, without the attachment and folder columns.
QList<ArchiveDefinition::Column> cardColumns()
{
    const auto& columns = Archives::get(ArchiveKind::Contacts).columns;
    return columns.first(columns.size() - ArchiveDefinition::accessoryColumns().size());
}

QString statusText(ImportRow::Status status)
{
    switch (status) {
    case ImportRow::Status::Ready:
        return QStringLiteral("da importare");
    case ImportRow::Status::Duplicate:
        return QStringLiteral("duplicato");
    case ImportRow::Status::MissingRequired:
    case ImportRow::Status::NotStorable:
        break;
    }
    return QStringLiteral("non importabile");
}

// A column's drop-down: the mouse wheel scrolls the list of columns, it never
// changes a choice under the pointer.
class MappingBox final : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

} // namespace

// The rows that will not be stored and the warnings of the reading, one line
// each, made when shown: a file of a million refused rows costs a few bytes
// per row here.
class RefusedRows final : public QAbstractListModel {
public:
    explicit RefusedRows(QObject* parent)
        : QAbstractListModel(parent)
    {
    }

    void show(const ImportSession* session, bool withDuplicates)
    {
        beginResetModel();
        session_ = session;
        cachedRow_ = -1;
        std::vector<Entry>().swap(entries_);
        for (qsizetype i = 0; session && i < session->size(); ++i) {
            const ImportRow::Status s = session->status(i);
            const bool skipped = s == ImportRow::Status::MissingRequired || s == ImportRow::Status::NotStorable
                || (s == ImportRow::Status::Duplicate && !withDuplicates);
            if (skipped)
                entries_.push_back({ quint32(i), kReason });
            for (int p = 0; p < session->problemCount(i); ++p)
                entries_.push_back({ quint32(i), quint8(p) });
        }
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(entries_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !session_ || index.row() >= int(entries_.size()))
            return {};
        const Entry& e = entries_[size_t(index.row())];
        if (cachedRow_ != qsizetype(e.row)) {
            cached_ = session_->row(e.row);
            cachedRow_ = e.row;
        }
        if (e.which == kReason)
            return QStringLiteral("Riga %1: %2").arg(cached_.line).arg(cached_.reason);
        return QStringLiteral("Riga %1 (avviso): %2").arg(cached_.line).arg(cached_.problems.value(e.which));
    }

private:
    static constexpr quint8 kReason = 255;
    struct Entry {
        quint32 row;
        quint8 which; // a problem's number, or kReason
    };
    const ImportSession* session_ = nullptr;
    std::vector<Entry> entries_;
    mutable qsizetype cachedRow_ = -1;
    mutable ImportRow cached_;
};

TfrmImportaContatti::TfrmImportaContatti(
    const QString& fileName, std::unique_ptr<ImportSession> session, TSQLiteDatabase& db, QWidget* parent)
    : QDialog(parent)
    , db_(db)
    , session_(std::move(session))
{
    setObjectName(QStringLiteral("frmImportaContatti"));
    setWindowTitle(QStringLiteral(" Velmaro - Importa contatti da ") + QFileInfo(fileName).fileName());
    resize(900, 640);
    auto* layout = new QVBoxLayout(this);

    lblLetti_ = new QLabel(this);
    lblLetti_->setObjectName(QStringLiteral("lblLetti"));
    layout->addWidget(lblLetti_);

    tblColonne_ = new QTableWidget(this);
    tblColonne_->setObjectName(QStringLiteral("tblColonne"));
    tblColonne_->setColumnCount(2);
    tblColonne_->setHorizontalHeaderLabels({ QStringLiteral("Colonna del file"), QStringLiteral("Campo della scheda") });
    tblColonne_->horizontalHeader()->setStretchLastSection(true);
    tblColonne_->verticalHeader()->hide();
    layout->addWidget(tblColonne_, 1);

    layout->addWidget(new QLabel(QStringLiteral("Anteprima delle prime schede, come saranno salvate:"), this));
    tblAnteprima_ = new QTableWidget(this);
    tblAnteprima_->setObjectName(QStringLiteral("tblAnteprima"));
    tblAnteprima_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblAnteprima_->verticalHeader()->hide();
    QStringList headers { QStringLiteral("Riga"), QStringLiteral("Esito") };
    for (const auto& c : cardColumns())
        headers << c.label;
    tblAnteprima_->setColumnCount(int(headers.size()));
    tblAnteprima_->setHorizontalHeaderLabels(headers);
    layout->addWidget(tblAnteprima_, 2);

    layout->addWidget(new QLabel(QStringLiteral("Righe che non saranno importate:"), this));
    lstScartati_ = new QListView(this);
    lstScartati_->setObjectName(QStringLiteral("lstScartati"));
    lstScartati_->setUniformItemSizes(true);
    lstScartati_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    refused_ = new RefusedRows(this);
    lstScartati_->setModel(refused_);
    layout->addWidget(lstScartati_, 1);

    chkDuplicati_ = new QCheckBox(QStringLiteral("Importa anche i duplicati"), this);
    chkDuplicati_->setObjectName(QStringLiteral("chkDuplicati"));
    layout->addWidget(chkDuplicati_);
    barProgresso_ = new QProgressBar(this);
    barProgresso_->setObjectName(QStringLiteral("barProgresso"));
    barProgresso_->setRange(0, 1000);
    barProgresso_->setValue(0);
    layout->addWidget(barProgresso_);

    auto* buttons = new QDialogButtonBox(this);
    cmdImporta_ = buttons->addButton(QStringLiteral("Importa"), QDialogButtonBox::AcceptRole);
    cmdImporta_->setObjectName(QStringLiteral("cmdImporta"));
    QPushButton* cmdAnnulla = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    connect(cmdImporta_, &QPushButton::clicked, this, &TfrmImportaContatti::cmdImportaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(chkDuplicati_, &QCheckBox::toggled, this, [this] { showCounts(); });

    reader_ = new QTimer(this);
    reader_->setInterval(0);
    connect(reader_, &QTimer::timeout, this, [this] { readSome(kSliceMs); });

    BusyCursor busy;
    if (session_->kind() == ImportSession::Kind::VCard)
        tblColonne_->hide();
    else
        buildMapping();
    // Restarts the reading with the archive's addresses.
    session_->setExisting(ContactImport::existingEmails(db_));
    restartReading();
}

TfrmImportaContatti::~TfrmImportaContatti() = default;

void TfrmImportaContatti::done(int result)
{
    reader_->stop();
    QDialog::done(result);
}

void TfrmImportaContatti::buildMapping()
{
    const ContactMapping::Mapping& guessed = session_->mapping();
    const QStringList& headings = session_->headings();
    tblColonne_->setRowCount(int(headings.size()));
    for (int i = 0; i < headings.size(); ++i) {
        tblColonne_->setItem(i, 0, new QTableWidgetItem(headings[i]));
        tblColonne_->item(i, 0)->setFlags(Qt::ItemIsEnabled);
        auto* combo = new MappingBox(tblColonne_);
        combo->setObjectName(QStringLiteral("cboColonna%1").arg(i + 1));
        combo->setFocusPolicy(Qt::StrongFocus);
        for (const auto& t : ContactMapping::targets())
            combo->addItem(t.label, t.key);
        combo->setCurrentIndex(combo->findData(guessed[i].target));
        tblColonne_->setCellWidget(i, 1, combo);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { mappingChanged(); });
    }
}

void TfrmImportaContatti::mappingChanged()
{
    ErrorDisplay::guard([this] {
        ContactMapping::Mapping mapping = session_->mapping();
        for (int i = 0; i < tblColonne_->rowCount() && i < mapping.size(); ++i)
            mapping[i].target = qobject_cast<QComboBox*>(tblColonne_->cellWidget(i, 1))->currentData().toByteArray();
        BusyCursor busy;
        session_->setMapping(mapping);
        restartReading();
    });
}

void TfrmImportaContatti::restartReading()
{
    previewShown_ = 0;
    tblAnteprima_->setRowCount(0);
    refused_->show(nullptr, false);
    cmdImporta_->setEnabled(false);
    barProgresso_->setRange(0, 1000);
    readSome(kFirstSliceMs);
}

void TfrmImportaContatti::readSome(int milliseconds)
{
    ErrorDisplay::guard([&] {
        const bool done = session_->advance(milliseconds);
        showPreview();
        const qint64 total = std::max<qint64>(session_->bytesTotal(), 1);
        barProgresso_->setValue(int(session_->bytesDone() * 1000 / total));
        if (done) {
            reader_->stop();
            showCounts();
        } else {
            lblLetti_->setText(QStringLiteral("Lettura del file in corso: %1 contatti letti...").arg(session_->size()));
            if (!reader_->isActive())
                reader_->start();
        }
    });
}

void TfrmImportaContatti::showPreview()
{
    const int wanted = int(std::min<qsizetype>(session_->size(), kPreviewRows));
    if (wanted <= previewShown_)
        return;
    const qsizetype columns = cardColumns().size();
    tblAnteprima_->setRowCount(wanted);
    for (int r = previewShown_; r < wanted; ++r) {
        const ImportRow row = session_->row(r);
        tblAnteprima_->setItem(r, 0, new QTableWidgetItem(QString::number(row.line)));
        tblAnteprima_->setItem(r, 1, new QTableWidgetItem(statusText(row.status)));
        // The card's own fields come first among the texts.
        for (int c = 0; c < columns; ++c)
            tblAnteprima_->setItem(r, c + 2, new QTableWidgetItem(row.texts.value(c)));
    }
    previewShown_ = wanted;
    // Every heading whole, and no column wider than a third of the window.
    tblAnteprima_->resizeColumnsToContents();
    for (int c = 0; c < tblAnteprima_->columnCount(); ++c)
        tblAnteprima_->setColumnWidth(c,
            std::max(tblAnteprima_->horizontalHeader()->sectionSizeHint(c),
                std::min(tblAnteprima_->columnWidth(c), std::max(width() / 3, 120))));
}

void TfrmImportaContatti::showCounts()
{
    if (!session_->finished())
        return;
    const int ready = session_->count(ImportRow::Status::Ready);
    const int duplicates = session_->count(ImportRow::Status::Duplicate);
    const int refused = int(session_->size()) - ready - duplicates;
    const bool withDuplicates = chkDuplicati_->isChecked();
    const int stored = ready + (withDuplicates ? duplicates : 0);
    lblLetti_->setText(QStringLiteral("Contatti letti: %1. Da importare: %2; duplicati: %3; non importabili: %4.")
                           .arg(session_->size())
                           .arg(stored)
                           .arg(duplicates)
                           .arg(refused));
    refused_->show(session_.get(), withDuplicates);
    cmdImporta_->setEnabled(stored > 0);
}

void TfrmImportaContatti::cmdImportaClick()
{
    if (!session_->finished())
        return;
    const bool stored = ErrorDisplay::guard([this] {
        BusyCursor busy;
        outcome_ = session_->store(db_, chkDuplicati_->isChecked(), [this](int done, int total) {
            barProgresso_->setRange(0, total);
            barProgresso_->setValue(done);
            barProgresso_->repaint();
        });
    });
    if (!stored) {
        // The whole import was rolled back: the guard has said why.
        barProgresso_->setValue(0);
        return;
    }
    // A result, in the plain box results have.
    Dialogs::message(
        QStringLiteral("Contatti aggiunti: %1.\nContatti non importati: %2.").arg(outcome_.added).arg(outcome_.skipped));
    accept();
}
