#include "contacts/frm_importa_contatti.h"

#include "archives/archive_registry.h"
#include "storage/card_archive.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewRows = 20;
const QString kCaption = QStringLiteral("Importa contatti");

// The card's own fields, without the attachment and folder columns.
QList<QByteArray> cardColumns()
{
    QList<QByteArray> out;
    for (const QByteArray& c : Archives::card(ArchiveKind::Contacts).valueColumns())
        if (ContactMapping::labelOf(c) != QString::fromLatin1(c))
            out << c;
    return out;
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

} // namespace

bool TfrmImportaContatti::looksLikeVCard(const QString& fileName, const QByteArray& bytes)
{
    if (QFileInfo(fileName).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0)
        return true;
    QByteArray start = bytes.left(64);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    return start.trimmed().toUpper().startsWith("BEGIN:VCARD");
}

TfrmImportaContatti::TfrmImportaContatti(
    const QString& fileName, const QByteArray& bytes, TSQLiteDatabase& db, QWidget* parent)
    : QDialog(parent)
    , db_(db)
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
    layout->addWidget(tblAnteprima_, 2);

    layout->addWidget(new QLabel(QStringLiteral("Righe che non saranno importate:"), this));
    lstScartati_ = new QListWidget(this);
    lstScartati_->setObjectName(QStringLiteral("lstScartati"));
    layout->addWidget(lstScartati_, 1);

    chkDuplicati_ = new QCheckBox(QStringLiteral("Importa anche i duplicati"), this);
    chkDuplicati_->setObjectName(QStringLiteral("chkDuplicati"));
    layout->addWidget(chkDuplicati_);
    barProgresso_ = new QProgressBar(this);
    barProgresso_->setObjectName(QStringLiteral("barProgresso"));
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
    connect(chkDuplicati_, &QCheckBox::toggled, this, [this] { showPlan(); });

    BusyCursor busy;
    vcard_ = looksLikeVCard(fileName, bytes);
    existing_ = ContactImport::existingEmails(db_);
    if (vcard_) {
        tblColonne_->hide();
        contacts_ = ContactMapping::fromVCards(VCardReader::read(bytes));
        plan_ = ContactImport::prepare(contacts_, existing_);
        showPlan();
    } else {
        csv_ = CsvReader::read(bytes);
        buildMapping();
        rebuildPlan();
    }
}

void TfrmImportaContatti::buildMapping()
{
    const QList<QByteArray> guessed = ContactMapping::guessTargets(csv_.headings);
    tblColonne_->setRowCount(int(csv_.headings.size()));
    for (int i = 0; i < csv_.headings.size(); ++i) {
        tblColonne_->setItem(i, 0, new QTableWidgetItem(csv_.headings[i]));
        tblColonne_->item(i, 0)->setFlags(Qt::ItemIsEnabled);
        auto* combo = new QComboBox(tblColonne_);
        combo->setObjectName(QStringLiteral("cboColonna%1").arg(i + 1));
        for (const auto& t : ContactMapping::targets())
            combo->addItem(t.label, t.key);
        combo->setCurrentIndex(combo->findData(guessed[i]));
        tblColonne_->setCellWidget(i, 1, combo);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { rebuildPlan(); });
    }
}

void TfrmImportaContatti::rebuildPlan()
{
    ErrorDisplay::guard([this] {
        BusyCursor busy;
        QList<QByteArray> targets;
        for (int i = 0; i < tblColonne_->rowCount(); ++i)
            targets << qobject_cast<QComboBox*>(tblColonne_->cellWidget(i, 1))->currentData().toByteArray();
        contacts_ = ContactMapping::fromCsv(csv_, targets);
        plan_ = ContactImport::prepare(contacts_, existing_);
        showPlan();
    });
}

void TfrmImportaContatti::showPlan()
{
    const int ready = plan_.count(ImportRow::Status::Ready);
    const int duplicates = plan_.count(ImportRow::Status::Duplicate);
    const int refused = int(plan_.rows.size()) - ready - duplicates;
    lblLetti_->setText(QStringLiteral("Contatti letti: %1. Da importare: %2; duplicati: %3; non importabili: %4.")
                           .arg(plan_.rows.size())
                           .arg(ready)
                           .arg(duplicates)
                           .arg(refused));

    const QList<QByteArray> columns = cardColumns();
    const QList<QByteArray>& all = Archives::card(ArchiveKind::Contacts).valueColumns();
    QStringList headers { QStringLiteral("Riga"), QStringLiteral("Esito") };
    for (const QByteArray& c : columns)
        headers << ContactMapping::labelOf(c);
    tblAnteprima_->clear();
    tblAnteprima_->setColumnCount(int(headers.size()));
    tblAnteprima_->setHorizontalHeaderLabels(headers);
    const int shown = int(std::min<qsizetype>(plan_.rows.size(), kPreviewRows));
    tblAnteprima_->setRowCount(shown);
    for (int r = 0; r < shown; ++r) {
        const ImportRow& row = plan_.rows[r];
        tblAnteprima_->setItem(r, 0, new QTableWidgetItem(QString::number(row.line)));
        tblAnteprima_->setItem(r, 1, new QTableWidgetItem(statusText(row.status)));
        for (int c = 0; c < columns.size(); ++c)
            tblAnteprima_->setItem(r, c + 2, new QTableWidgetItem(row.texts.value(all.indexOf(columns[c]))));
    }

    lstScartati_->clear();
    const bool withDuplicates = chkDuplicati_->isChecked();
    for (const ImportRow& row : plan_.rows) {
        const bool skipped = row.status == ImportRow::Status::MissingRequired
            || row.status == ImportRow::Status::NotStorable
            || (row.status == ImportRow::Status::Duplicate && !withDuplicates);
        if (skipped)
            lstScartati_->addItem(QStringLiteral("Riga %1: %2").arg(row.line).arg(row.reason));
        for (const QString& p : row.problems)
            lstScartati_->addItem(QStringLiteral("Riga %1 (avviso): %2").arg(row.line).arg(p));
    }
    cmdImporta_->setEnabled(ready > 0 || (withDuplicates && duplicates > 0));
}

void TfrmImportaContatti::cmdImportaClick()
{
    const bool stored = ErrorDisplay::guard([this] {
        BusyCursor busy;
        outcome_ = ContactImport::store(db_, plan_, chkDuplicati_->isChecked(), [this](int done, int total) {
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
    Dialogs::information(kCaption,
        QStringLiteral("Contatti aggiunti: %1.\nContatti non importati: %2.").arg(outcome_.added).arg(outcome_.skipped));
    accept();
}
