#include "accessories/frm_copia_sicurezza.h"

#include "accessories/data_backup.h"
#include "storage/app_paths.h"
#include "storage/export_file.h"
#include "storage/ini_file.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/export_folder.h"
#include "ui/form_look.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QVBoxLayout>

TfrmCopiaSicurezza* frmCopiaSicurezza = nullptr;

namespace {

const QString kBackupCaption = QStringLiteral("Copia di sicurezza non applicabile");
const QString kRestoreCaption = QStringLiteral("Ripristino non applicabile");

QString when(const QDateTime& t) { return t.toString(QStringLiteral("dd/MM/yyyy hh:mm")); }

} // namespace

TfrmCopiaSicurezza::TfrmCopiaSicurezza(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCopiaSicurezza"));
    setWindowTitle(QStringLiteral(" Velmaro - Copia di sicurezza dei dati"));
    auto* layout = new QVBoxLayout(this);

    auto* info = new QLabel(QStringLiteral(
        "La copia di sicurezza è un unico file con gli archivi dei contatti, dei gruppi e dei messaggi, lo "
        "storico degli invii, gli indirizzi esclusi dagli invii, le impostazioni e la password. Si può fare anche "
        "con il programma aperto. Conservarla su un disco esterno o in un'altra cartella sicura."), this);
    info->setWordWrap(true);
    layout->addWidget(info);

    lblUltima_ = new QLabel(this);
    lblUltima_->setObjectName(QStringLiteral("lblUltima"));
    QFont bold = lblUltima_->font();
    bold.setBold(true);
    lblUltima_->setFont(bold);
    layout->addWidget(lblUltima_);

    auto* actions = new QHBoxLayout;
    auto* cmdCopia = new QPushButton(QIcon(QStringLiteral(":/img/copia.png")), QStringLiteral("Crea copia di sicurezza"), this);
    cmdCopia->setObjectName(QStringLiteral("cmdCopia"));
    auto* cmdRipristina = new QPushButton(QStringLiteral("Ripristina da una copia..."), this);
    cmdRipristina->setObjectName(QStringLiteral("cmdRipristina"));
    for (QPushButton* b : { cmdCopia, cmdRipristina }) {
        b->setAutoDefault(false);
        actions->addWidget(b);
    }
    layout->addLayout(actions);
    connect(cmdCopia, &QPushButton::clicked, this, &TfrmCopiaSicurezza::cmdCopiaClick);
    connect(cmdRipristina, &QPushButton::clicked, this, &TfrmCopiaSicurezza::cmdRipristinaClick);

    auto* reminder = new QHBoxLayout;
    auto* lblGiorni = new QLabel(QStringLiteral("Ricordare di fare una copia dopo"), this);
    spnGiorni_ = new QSpinBox(this);
    spnGiorni_->setObjectName(QStringLiteral("spnGiorni"));
    spnGiorni_->setRange(0, 365);
    spnGiorni_->setSpecialValueText(QStringLiteral("mai"));
    lblGiorni->setBuddy(spnGiorni_);
    reminder->addWidget(lblGiorni);
    reminder->addWidget(spnGiorni_);
    reminder->addWidget(new QLabel(QStringLiteral("giorni senza copie (0: mai)"), this));
    reminder->addStretch(1);
    layout->addLayout(reminder);
    connect(spnGiorni_, &QSpinBox::valueChanged, this, [](int days) {
        ErrorDisplay::guard([days] { DataBackup::setReminderDays(days); });
    });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* cmdChiudi = buttons->addButton(QStringLiteral("Chiudi"), QDialogButtonBox::RejectRole);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TfrmCopiaSicurezza::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showSettings();
}

void TfrmCopiaSicurezza::showSettings()
{
    const DataBackup::Settings s = DataBackup::settings();
    const QSignalBlocker quiet(spnGiorni_);
    spnGiorni_->setValue(s.days);
    lblUltima_->setText(s.last.isValid()
            ? QStringLiteral("Ultima copia di sicurezza: %1.").arg(when(s.last))
            : QStringLiteral("Non è ancora stata fatta nessuna copia di sicurezza."));
}

QString TfrmCopiaSicurezza::reminder()
{
    const DataBackup::Settings s = DataBackup::settings();
    const QDateTime now = QDateTime::currentDateTime();
    if (!DataBackup::hasData() || !DataBackup::reminderDue(s.last, s.days, now))
        return {};
    if (!s.last.isValid())
        return QStringLiteral("Non è ancora stata fatta una copia di sicurezza dei dati: fare clic qui per farla.");
    return QStringLiteral("L'ultima copia di sicurezza dei dati è di %1 giorni fa: fare clic qui per farne una.")
        .arg(s.last.daysTo(now));
}

bool TfrmCopiaSicurezza::withProgress(
    const QString& label, const std::function<void(const std::function<bool(qint64, qint64)>&)>& work)
{
    QProgressDialog progress(label, QStringLiteral("Interrompi"), 0, 1000, this);
    progress.setObjectName(QStringLiteral("dlgProgresso"));
    progress.setWindowTitle(Dialogs::applicationTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    BusyCursor busy;
    work([&](qint64 done, qint64 total) {
        progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
        return !progress.wasCanceled();
    });
    return !progress.wasCanceled();
}

void TfrmCopiaSicurezza::cmdCopiaClick()
{
    ErrorDisplay::guard([this] {
        if (!DataBackup::hasData()) {
            Dialogs::warning(kBackupCaption, QStringLiteral("Attenzione: non ci sono ancora archivi da copiare."));
            return;
        }
        // Documents, else a folder the user is told of or chooses: never
        // wherever the program was started.
        const ExportFolder::Choice target = ExportFolder::choose(this);
        if (target.folder.isEmpty())
            return;
        DataBackup::Created created;
        ExportFile::Result result;
        withProgress(QStringLiteral("Copia di sicurezza in corso..."), [&](const auto& progress) {
            result = ExportFile::publish(target.folder, QStringLiteral("Velmaro copia di sicurezza"),
                QStringLiteral("zip"), [&](const QString& temp) {
                    // The copies of the archives wait on the same disk, not in memory.
                    QTemporaryDir work(QFileInfo(temp).absolutePath() + QStringLiteral("/.velmaro-copia-XXXXXX"));
                    if (!work.isValid())
                        return work.errorString();
                    created = DataBackup::create(temp, work.path(), version_, progress);
                    return created.error;
                });
        });
        if (!result.ok()) {
            Dialogs::warning(kBackupCaption,
                QStringLiteral("La copia di sicurezza non è stata fatta.\n\n") + result.error);
            return;
        }
        // All the office's data: for its owner only.
        QFile::setPermissions(result.path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        DataBackup::setLastBackup(created.manifest.created);
        showSettings();
        Dialogs::message(QStringLiteral("La copia di sicurezza è stata salvata nel file \u00ab%1\u00bb.")
                             .arg(QDir::toNativeSeparators(result.path)));
    });
}

void TfrmCopiaSicurezza::cmdRipristinaClick()
{
    ErrorDisplay::guard([this] {
        const QString file = Desktop::get().openFileName(this, QStringLiteral("Ripristina da una copia di sicurezza"),
            ExportFile::folder(), QStringLiteral("Copie di sicurezza (*.zip);;Tutti i file (*)"));
        if (file.isEmpty())
            return;
        // Taken out beside the data, on its disk.
        QTemporaryDir work(AppPaths::beside(QStringLiteral(".velmaro-ripristino-XXXXXX")));
        if (!work.isValid()) {
            Dialogs::warning(kRestoreCaption, QStringLiteral("Attenzione: impossibile scrivere nella cartella dei dati (%1).")
                                                  .arg(work.errorString()));
            return;
        }
        DataBackup::Checked checked;
        const bool done = withProgress(QStringLiteral("Controllo della copia di sicurezza in corso..."),
            [&](const auto& progress) { checked = DataBackup::check(file, work.path(), progress); });
        if (!done)
            return;
        if (!checked.error.isEmpty()) {
            Dialogs::warning(kRestoreCaption, checked.error + QStringLiteral("\n\nNessun dato è stato modificato."));
            return;
        }
        QStringList names;
        for (const auto& e : checked.manifest.entries)
            names << e.name;
        if (!Dialogs::confirm(QStringLiteral("Conferma ripristino"),
                QStringLiteral("La copia di sicurezza del %1 è integra e contiene: %2.\n\nSi intende proprio sostituire "
                               "i dati attuali con quelli della copia? I file sostituiti saranno conservati in una "
                               "cartella accanto agli archivi.")
                    .arg(when(checked.manifest.created), names.join(QStringLiteral(", ")))))
            return;
        const QString aside = AppPaths::beside(QStringLiteral("Dati sostituiti il ")
            + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")));
        QString error;
        {
            BusyCursor busy;
            error = DataBackup::restore(checked, aside);
        }
        if (!error.isEmpty()) {
            Dialogs::warning(kRestoreCaption, error);
            return;
        }
        // The restored settings may say an older date: this backup exists.
        try {
            DataBackup::setLastBackup(checked.manifest.created);
        } catch (const IniFileError&) {
            // The restored data are in place; only the reminder's date is older.
        }
        if (afterRestore_)
            afterRestore_();
        showSettings();
        Dialogs::message(QStringLiteral("Ripristino completato: i dati sono quelli della copia del %1.\nI file "
                                        "sostituiti sono conservati nella cartella \u00ab%2\u00bb.")
                             .arg(when(checked.manifest.created), QDir::toNativeSeparators(aside)));
    });
}
