#include "mail/frm_storico_invii.h"

#include "accessories/exports.h"
#include "accessories/spreadsheet_writer.h"
#include "mail/journal_models.h"
#include "mail/journal_recorder.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Storico invii");
// Uncertain addresses named in the question; the rest are counted.
constexpr int kListedUncertain = 15;

QTableView* table(QWidget* parent, const char* name, QAbstractItemModel* model)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    // Rows of one height: long lists scroll without measuring every row.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

} // namespace

TfrmStoricoInvii::TfrmStoricoInvii(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmStoricoInvii"));
    setWindowTitle(QStringLiteral(" Velmaro - Storico invii"));
    resize(1000, 680);
    build();
}

TfrmStoricoInvii::~TfrmStoricoInvii() = default;

void TfrmStoricoInvii::open(QWidget* parent)
{
    TfrmStoricoInvii window(parent);
    Modal::run(&window);
}

void TfrmStoricoInvii::build()
{
    sendings_ = new JournalSendingsModel(this);
    recipients_ = new JournalRecipientsModel(this);

    auto* layout = new QVBoxLayout(this);
    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(QStringLiteral("Indirizzo e-mail (anche solo l'inizio):"), this));
    txtFiltro_ = new QLineEdit(this);
    txtFiltro_->setObjectName(QStringLiteral("txtFiltro"));
    txtFiltro_->setClearButtonEnabled(true);
    txtFiltro_->setPlaceholderText(QStringLiteral("tutti gli indirizzi"));
    filter->addWidget(txtFiltro_, 1);
    layout->addLayout(filter);

    layout->addWidget(new QLabel(QStringLiteral("Invii (dal più recente):"), this));
    lstInvii_ = table(this, "lstInvii", sendings_);
    auto* h = lstInvii_->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setSectionResizeMode(JournalSendingsModel::Subject, QHeaderView::Stretch);
    lstInvii_->setColumnWidth(JournalSendingsModel::When, 150);
    layout->addWidget(lstInvii_, 1);

    lblDettagli_ = new QLabel(this);
    lblDettagli_->setObjectName(QStringLiteral("lblDettagli"));
    lblDettagli_->setWordWrap(true);
    lblDettagli_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblDettagli_);

    lstDestinatari_ = table(this, "lstDestinatari", recipients_);
    auto* rh = lstDestinatari_->horizontalHeader();
    rh->setSectionResizeMode(QHeaderView::Interactive);
    rh->setSectionResizeMode(JournalRecipientsModel::Reason, QHeaderView::Stretch);
    lstDestinatari_->setColumnWidth(JournalRecipientsModel::Address, 280);
    lstDestinatari_->setColumnWidth(JournalRecipientsModel::Outcome, 230);
    lstDestinatari_->setColumnWidth(JournalRecipientsModel::When, 150);
    rh->setStretchLastSection(false);
    layout->addWidget(lstDestinatari_, 2);

    auto* buttons = new QHBoxLayout;
    cmdRiprendi_ = new QPushButton(QStringLiteral("Riprendi invio"), this);
    cmdRiprendi_->setObjectName(QStringLiteral("cmdRiprendi"));
    cmdRiprendi_->setToolTip(
        QStringLiteral("Invia di nuovo il messaggio ai soli destinatari che non l'hanno ricevuto."));
    cmdEsporta_ = new QPushButton(QStringLiteral("Esporta in Excel"), this);
    cmdEsporta_->setObjectName(QStringLiteral("cmdEsporta"));
    cmdEsporta_->setToolTip(QStringLiteral("Esporta in un foglio di calcolo i destinatari elencati."));
    auto* cmdChiudi = new QPushButton(QStringLiteral("Chiudi"), this);
    cmdChiudi->setObjectName(QStringLiteral("cmdChiudi"));
    for (QPushButton* b : { cmdRiprendi_, cmdEsporta_, cmdChiudi })
        b->setAutoDefault(false);
    buttons->addWidget(cmdRiprendi_);
    buttons->addWidget(cmdEsporta_);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    layout->addLayout(buttons);

    filterDelay_ = new QTimer(this);
    filterDelay_->setSingleShot(true);
    filterDelay_->setInterval(300);
    connect(filterDelay_, &QTimer::timeout, this, &TfrmStoricoInvii::txtFiltroChange);
    connect(txtFiltro_, &QLineEdit::textEdited, filterDelay_, qOverload<>(&QTimer::start));
    connect(txtFiltro_, &QLineEdit::returnPressed, this, &TfrmStoricoInvii::txtFiltroChange);
    // The clear button changes the text without an edit.
    connect(txtFiltro_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            txtFiltroChange();
    });
    connect(
        lstInvii_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TfrmStoricoInvii::lstInviiClick);
    connect(cmdRiprendi_, &QPushButton::clicked, this, &TfrmStoricoInvii::cmdRiprendiClick);
    connect(cmdEsporta_, &QPushButton::clicked, this, &TfrmStoricoInvii::cmdEsportaClick);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmStoricoInvii::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmStoricoInvii::hideEvent(QHideEvent* event)
{
    // No connection stays open while the window is not in use.
    sendings_->load(nullptr);
    recipients_->load(nullptr, 0);
    journal_.reset();
    QDialog::hideEvent(event);
}

void TfrmStoricoInvii::FormShow()
{
    BusyCursor busy;
    journal_.reset();
    try {
        journal_ = std::make_unique<DeliveryJournal>();
    } catch (const ESQLiteException& e) {
        lblDettagli_->setText(QStringLiteral("Lo storico degli invii non può essere letto: %1.")
                                  .arg(JournalRecorder::problemText(e.message())));
    }
    reload();
}

void TfrmStoricoInvii::reload(qint64 keep)
{
    ErrorDisplay::guard([&] {
        sendings_->load(journal_.get(), txtFiltro_->text().trimmed());
        int row = sendings_->rowCount() > 0 ? 0 : -1;
        for (int r = 0; keep > 0 && r < sendings_->rowCount(); ++r)
            if (sendings_->sendingAt(r).id == keep)
                row = r;
        if (row >= 0)
            lstInvii_->setCurrentIndex(sendings_->index(row, 0));
        showChosen();
    });
}

void TfrmStoricoInvii::txtFiltroChange()
{
    filterDelay_->stop();
    reload(chosenSending());
}

qint64 TfrmStoricoInvii::chosenSending() const
{
    const QModelIndex current = lstInvii_->currentIndex();
    return current.isValid() && current.row() < sendings_->rowCount() ? sendings_->sendingAt(current.row()).id : 0;
}

void TfrmStoricoInvii::lstInviiClick()
{
    ErrorDisplay::guard([this] { showChosen(); });
}

void TfrmStoricoInvii::showChosen()
{
    const QModelIndex current = lstInvii_->currentIndex();
    const bool chosen = current.isValid() && current.row() < sendings_->rowCount();
    recipients_->load(
        journal_.get(), chosen ? sendings_->sendingAt(current.row()).id : 0, txtFiltro_->text().trimmed());
    cmdEsporta_->setEnabled(chosen);
    cmdRiprendi_->setEnabled(false);
    if (!chosen) {
        if (journal_)
            lblDettagli_->setText(sendings_->rowCount() == 0 && !txtFiltro_->text().trimmed().isEmpty()
                    ? QStringLiteral("Nessun invio a un indirizzo che inizia con «%1».")
                          .arg(txtFiltro_->text().trimmed())
                    : QStringLiteral("Nessun invio registrato."));
        return;
    }
    const DeliveryJournal::Sending& s = sendings_->sendingAt(current.row());
    QStringList parts;
    parts << QStringLiteral("Mittente: %1")
                 .arg(s.senderName.isEmpty() ? s.senderAddress
                                             : QStringLiteral("%1 <%2>").arg(s.senderName, s.senderAddress));
    parts << QStringLiteral("Allegato: %1")
                 .arg(s.attachment.isEmpty() ? QStringLiteral("nessuno") : QFileInfo(s.attachment).fileName());
    if (s.running)
        parts << QStringLiteral("invio in corso in un'altra finestra del programma");
    else if (!s.finished.isValid())
        parts << QStringLiteral("invio interrotto");
    else
        parts << QStringLiteral("Concluso: %1").arg(JournalText::dateTime(s.finished));
    if (s.excluded > 0)
        parts << QStringLiteral("Esclusi: %1").arg(s.excluded);
    lblDettagli_->setText(parts.join(QStringLiteral(" \u00b7 ")));
    cmdRiprendi_->setEnabled(s.privately && !s.running && s.undelivered() + s.uncertain > 0);
}

void TfrmStoricoInvii::cmdRiprendiClick()
{
    const qint64 id = chosenSending();
    if (id <= 0 || !journal_)
        return;
    ErrorDisplay::guard([&] {
        const auto s = journal_->sending(id);
        if (!s || !s->privately || s->running)
            return;
        const DeliveryJournal::Resumable r = journal_->resumable(id);
        bool includeUncertain = false;
        if (!r.uncertain.isEmpty()) {
            QStringList shown = r.uncertain.mid(0, kListedUncertain);
            if (r.uncertain.size() > kListedUncertain)
                shown << QStringLiteral("... e altri %1").arg(r.uncertain.size() - kListedUncertain);
            const bool one = r.uncertain.size() == 1;
            const QString text = one
                ? QStringLiteral("Per un indirizzo l'esito è incerto: il programma si è fermato mentre il messaggio "
                                 "veniva consegnato e non si sa se sia partito.\n\n%1\n\n"
                                 "Inviare il messaggio anche a questo indirizzo? Rispondendo Sì potrebbe riceverlo "
                                 "due volte; rispondendo No resta escluso dalla ripresa.")
                : QStringLiteral("Per %2 indirizzi l'esito è incerto: il programma si è fermato mentre il messaggio "
                                 "veniva consegnato e non si sa se sia partito.\n\n%1\n\n"
                                 "Inviare il messaggio anche a questi indirizzi? Rispondendo Sì potrebbero riceverlo "
                                 "due volte; rispondendo No restano esclusi dalla ripresa.");
            // One pass: an address may hold a '%'.
            const QString names = shown.join(QLatin1Char('\n'));
            includeUncertain = Dialogs::confirm(
                kCaption, one ? text.arg(names) : text.arg(names, QString::number(r.uncertain.size())), true);
        }
        const QStringList list = includeUncertain ? r.undelivered + r.uncertain : r.undelivered;
        if (list.isEmpty()) {
            Dialogs::message(QStringLiteral("Non resta nessun destinatario a cui inviare il messaggio."));
            return;
        }
        const QString subject = s->subject;
        if (!Dialogs::confirm(kCaption,
                list.size() == 1 ? QStringLiteral("Inviare di nuovo il messaggio «%1» all'unico destinatario che non "
                                                  "l'ha ricevuto?")
                                       .arg(subject)
                                 : QStringLiteral("Inviare di nuovo il messaggio «%1» ai %2 destinatari che non "
                                                  "l'hanno ricevuto?")
                                       .arg(subject, QString::number(list.size())),
                true))
            return;
        try {
            ResumeSending::send(id, list);
        } catch (...) {
            reload(id);
            throw;
        }
        reload(id);
    });
}

void TfrmStoricoInvii::cmdEsportaClick()
{
    const qint64 id = chosenSending();
    if (id <= 0 || !journal_)
        return;
    ErrorDisplay::guard([&] {
        BusyCursor busy;
        const auto s = journal_->sending(id);
        if (!s)
            return;
        // Every recipient the list holds, not only the rows scrolled to.
        QList<DeliveryJournal::Recipient> rows;
        const QString filter = txtFiltro_->text().trimmed();
        for (;;) {
            const auto page = journal_->recipients(id, rows.isEmpty() ? 0 : rows.last().row, 5000, filter);
            rows += page;
            if (page.size() < 5000)
                break;
        }
        static const char* const headings[]
            = { "Data invio", "Oggetto", "Indirizzo", "Esito", "Motivo", "Data e ora esito" };
        SheetContent sheet;
        sheet.name = kCaption;
        sheet.rows = int(rows.size()) + 1;
        sheet.columns = 6;
        sheet.boldFirst = 0;
        sheet.boldLast = 5;
        const QString started = JournalText::dateTime(s->started);
        sheet.text = [&](int r, int c) -> QString {
            if (r == 0)
                return QString::fromUtf8(headings[c]);
            const DeliveryJournal::Recipient& x = rows[r - 1];
            switch (c) {
            case 0:
                return started;
            case 1:
                return s->subject;
            case 2:
                return x.address;
            case 3:
                return Journal::outcomeText(x.outcome);
            case 4:
                return x.reason;
            default:
                return JournalText::dateTime(x.when);
            }
        };
        Exports::Progress progress(this, QStringLiteral("Esportazione in corso..."));
        Exports::Messages messages;
        messages.show = [](const QString& text) { Dialogs::message(text); };
        messages.writeFailed = QStringLiteral("Si è verificato un errore durante l'esportazione dello storico.");
        messages.openFailed = QStringLiteral(
            "La cartella di lavoro \u00ab%1\u00bb è stata salvata, ma non è stato possibile aprirla: nessun "
            "programma per i fogli di calcolo risulta associato ai file .xlsx.");
        Exports::publishAndOpen(
            kCaption, QStringLiteral("xlsx"),
            [&](const QString& temp) {
                return SpreadsheetWriter::write(temp, sheet, QFileInfo(temp).absolutePath(),
                    [&progress](qint64 done, qint64 total) { progress.step(done, total); });
            },
            messages);
    });
}

void JournalQuestion::install()
{
    JournalRecorder::install([](const QString& problem, bool started) {
        return Dialogs::confirm(kCaption, JournalRecorder::questionText(problem, started), true);
    });
}
