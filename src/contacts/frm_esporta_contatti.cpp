#include "contacts/frm_esporta_contatti.h"

#include "archives/archive_registry.h"
#include "contacts/export/contact_export.h"
#include "storage/card_archive.h"
#include "storage/export_file.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/export_folder.h"
#include "ui/form_look.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kRefusalCaption = QStringLiteral("Esportazione dati non applicabile");

QRadioButton* option(QWidget* parent, QLayout* layout, const char* name, const QString& text)
{
    auto* b = new QRadioButton(text, parent);
    b->setObjectName(QLatin1String(name));
    layout->addWidget(b);
    return b;
}

} // namespace

TfrmEsportaContatti::TfrmEsportaContatti(std::optional<QList<QByteArray>> search, QWidget* parent)
    : QDialog(parent)
    , search_(std::move(search))
{
    setObjectName(QStringLiteral("frmEsportaContatti"));
    setWindowTitle(QStringLiteral(" Velmaro - Esporta contatti"));
    auto* layout = new QVBoxLayout(this);

    // How many cards each choice holds, counted now.
    int all = 0;
    int found = 0;
    ErrorDisplay::guard([&] {
        auto db = Archives::card(ArchiveKind::Contacts).open();
        all = ContactExport::count(*db, {});
        if (search_)
            found = ContactExport::count(*db, *search_);
    });

    auto* grpContatti = new QGroupBox(QStringLiteral("Contatti da esportare"), this);
    grpContatti->setObjectName(QStringLiteral("grpContatti"));
    auto* which = new QVBoxLayout(grpContatti);
    optTutti_ = option(grpContatti, which, "optTutti", QStringLiteral("Tutti i contatti dell'archivio (%1)").arg(all));
    optRicerca_ = option(grpContatti, which, "optRicerca",
        search_ ? QStringLiteral("Solo i contatti trovati dall'ultima ricerca (%1)").arg(found)
                : QStringLiteral("Solo i contatti trovati dall'ultima ricerca (nessuna ricerca fatta)"));
    optRicerca_->setEnabled(search_.has_value());
    optTutti_->setChecked(true);
    layout->addWidget(grpContatti);

    auto* grpFormato = new QGroupBox(QStringLiteral("Formato del file"), this);
    grpFormato->setObjectName(QStringLiteral("grpFormato"));
    auto* format = new QVBoxLayout(grpFormato);
    optVCard4_ = option(grpFormato, format, "optVCard4",
        QStringLiteral("vCard 4.0 (.vcf): rubriche, programmi di posta e telefoni recenti"));
    optVCard3_ = option(grpFormato, format, "optVCard3",
        QStringLiteral("vCard 3.0 (.vcf): telefoni e programmi meno recenti"));
    optCsv_ = option(grpFormato, format, "optCsv", QStringLiteral("CSV (.csv, UTF-8): fogli di calcolo e altre rubriche"));
    auto* separator = new QHBoxLayout;
    auto* lblSeparatore = new QLabel(QStringLiteral("Separatore dei campi:"), grpFormato);
    cboSeparatore_ = new QComboBox(grpFormato);
    cboSeparatore_->setObjectName(QStringLiteral("cboSeparatore"));
    cboSeparatore_->addItem(QStringLiteral("punto e virgola ( ; )"));
    cboSeparatore_->addItem(QStringLiteral("virgola ( , )"));
    lblSeparatore->setBuddy(cboSeparatore_);
    separator->addSpacing(24);
    separator->addWidget(lblSeparatore);
    separator->addWidget(cboSeparatore_);
    separator->addStretch(1);
    format->addLayout(separator);
    optVCard4_->setChecked(true);
    cboSeparatore_->setEnabled(false);
    connect(optCsv_, &QRadioButton::toggled, cboSeparatore_, &QWidget::setEnabled);
    layout->addWidget(grpFormato);

    barProgresso_ = new QProgressBar(this);
    barProgresso_->setObjectName(QStringLiteral("barProgresso"));
    barProgresso_->setValue(0);
    layout->addWidget(barProgresso_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cmdEsporta = buttons->addButton(QStringLiteral("Esporta"), QDialogButtonBox::AcceptRole);
    cmdEsporta->setObjectName(QStringLiteral("cmdEsporta"));
    QPushButton* cmdAnnulla = buttons->addButton(QStringLiteral("Annulla"), QDialogButtonBox::RejectRole);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    connect(cmdEsporta, &QPushButton::clicked, this, &TfrmEsportaContatti::cmdEsportaClick);
    connect(cmdAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TfrmEsportaContatti::cmdEsportaClick()
{
    using Format = ContactExport::Format;
    const Format format = optVCard4_->isChecked() ? Format::VCard4
        : optVCard3_->isChecked()                 ? Format::VCard3
        : cboSeparatore_->currentIndex() == 1     ? Format::CsvComma
                                                  : Format::CsvSemicolon;
    const QList<QByteArray> conditions = optRicerca_->isChecked() && search_ ? *search_ : QList<QByteArray>();
    ErrorDisplay::guard([&] {
        auto db = Archives::card(ArchiveKind::Contacts).open();
        if (ContactExport::count(*db, conditions) == 0) {
            Dialogs::warning(kRefusalCaption, QStringLiteral("Attenzione: non ci sono contatti da esportare."));
            return;
        }
        // Documents, else a folder the user is told of or chooses: never
        // wherever the program was started.
        const ExportFolder::Choice target = ExportFolder::choose(this);
        if (target.folder.isEmpty())
            return;
        BusyCursor busy;
        int written = 0;
        const ExportFile::Result result = ExportFile::publish(
            target.folder, QStringLiteral("Contatti"), ContactExport::suffix(format),
            [&](const QString& temp) {
                return ContactExport::write(*db, conditions, format, temp, &written, [this](int done, int total) {
                    barProgresso_->setRange(0, total);
                    barProgresso_->setValue(done);
                    barProgresso_->repaint();
                });
            });
        if (!result.ok()) {
            Dialogs::warning(kRefusalCaption,
                QStringLiteral("Si è verificato un errore durante l'esportazione dei contatti.\n\n") + result.error);
            return;
        }
        published_ = result.path;
        Dialogs::message(QStringLiteral("Contatti esportati: %1.\nIl file è stato salvato come \u00ab%2\u00bb.")
                             .arg(written)
                             .arg(QDir::toNativeSeparators(result.path)));
        accept();
    });
}
