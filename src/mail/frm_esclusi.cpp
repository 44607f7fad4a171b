#include "mail/frm_esclusi.h"

#include "accessories/exports.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/form_look.h"
#include "ui/modal.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kColumns = 3;
const QString kCaption = QStringLiteral("Indirizzi esclusi dagli invii");

QString countText(int shown, int all)
{
    const QString total
        = all == 1 ? QStringLiteral("1 indirizzo escluso") : QStringLiteral("%1 indirizzi esclusi").arg(all);
    return shown == all ? total : QStringLiteral("%1 mostrati su %2").arg(shown).arg(total);
}

// A list in a message box stays readable: the first few, then how many more.
QString shortList(const QStringList& items)
{
    constexpr qsizetype kShown = 10;
    QString out = items.mid(0, kShown).join(QLatin1Char('\n'));
    if (items.size() > kShown)
        out += QStringLiteral("\n... e altri %1").arg(items.size() - kShown);
    return out;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    // Enter in the note or the search field must not press a button.
    b->setAutoDefault(false);
    return b;
}

} // namespace

void OptOutModel::setEntries(QList<OptOutList::Entry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

QString OptOutModel::text(int row, int column) const
{
    const OptOutList::Entry& e = entries_.at(row);
    switch (column) {
    case 0:
        return e.address;
    case 1:
        return e.added.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    default:
        return e.note;
    }
}

QString OptOutModel::heading(int column)
{
    static const char* const kHeadings[kColumns] = { "Indirizzo", "Data", "Nota" };
    return QString::fromLatin1(kHeadings[column]);
}

int OptOutModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(entries_.size()); }
int OptOutModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant OptOutModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return text(index.row(), index.column());
}

QVariant OptOutModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    return heading(section);
}

TfrmEsclusi::TfrmEsclusi(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEsclusi"));
    setWindowTitle(QStringLiteral(" Velmaro - ") + kCaption);
    resize(760, 560);

    auto* outer = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Gli indirizzi di questo elenco hanno chiesto di non ricevere "
                                            "comunicazioni: ogni invio li toglie dai destinatari."),
        this);
    intro->setWordWrap(true);
    outer->addWidget(intro);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Cerca:"), this));
    txtCerca_ = new QLineEdit(this);
    txtCerca_->setObjectName(QStringLiteral("txtCerca"));
    txtCerca_->setClearButtonEnabled(true);
    search->addWidget(txtCerca_, 1);
    lblConteggio_ = new QLabel(this);
    lblConteggio_->setObjectName(QStringLiteral("lblConteggio"));
    search->addWidget(lblConteggio_);
    outer->addLayout(search);

    model_ = new OptOutModel(this);
    lstEsclusi_ = new QTableView(this);
    lstEsclusi_->setObjectName(QStringLiteral("lstEsclusi"));
    lstEsclusi_->setModel(model_);
    lstEsclusi_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstEsclusi_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstEsclusi_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstEsclusi_->verticalHeader()->hide();
    // Fixed row heights keep a list of 100,000 addresses quick to show.
    lstEsclusi_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    lstEsclusi_->horizontalHeader()->setStretchLastSection(true);
    lstEsclusi_->setColumnWidth(0, 280);
    lstEsclusi_->setColumnWidth(1, 130);
    outer->addWidget(lstEsclusi_, 1);

    auto* add = new QGroupBox(QStringLiteral("Aggiungi all'elenco"), this);
    auto* grid = new QGridLayout(add);
    grid->addWidget(
        new QLabel(QStringLiteral("Indirizzi (uno per riga, o separati da virgola; si può incollare un elenco):"), add),
        0, 0, 1, 3);
    txtIndirizzi_ = new QPlainTextEdit(add);
    txtIndirizzi_->setObjectName(QStringLiteral("txtIndirizzi"));
    txtIndirizzi_->setTabChangesFocus(true);
    txtIndirizzi_->setFixedHeight(4 * txtIndirizzi_->fontMetrics().lineSpacing() + 12);
    grid->addWidget(txtIndirizzi_, 1, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Nota (come è arrivata la richiesta):"), add), 2, 0);
    txtNota_ = new QLineEdit(add);
    txtNota_->setObjectName(QStringLiteral("txtNota"));
    grid->addWidget(txtNota_, 2, 1);
    QPushButton* cmdAggiungi = button(add, "cmdAggiungi", QStringLiteral("Aggiungi"));
    grid->addWidget(cmdAggiungi, 2, 2);
    outer->addWidget(add);

    auto* buttons = new QHBoxLayout;
    QPushButton* cmdRimuovi = button(this, "cmdRimuovi", QStringLiteral("Rimuovi i selezionati"));
    QPushButton* cmdEsporta = button(this, "cmdEsporta", QStringLiteral("Esporta in Excel"));
    QPushButton* cmdChiudi = button(this, "cmdChiudi", QStringLiteral("Chiudi"));
    buttons->addWidget(cmdRimuovi);
    buttons->addWidget(cmdEsporta);
    buttons->addStretch(1);
    buttons->addWidget(cmdChiudi);
    outer->addLayout(buttons);

    for (QWidget* field :
        { static_cast<QWidget*>(txtCerca_), static_cast<QWidget*>(txtIndirizzi_), static_cast<QWidget*>(txtNota_) })
        FormLook::styleField(field);

    connect(txtCerca_, &QLineEdit::textChanged, this, [this] { showFiltered(); });
    connect(cmdAggiungi, &QPushButton::clicked, this, &TfrmEsclusi::cmdAggiungiClick);
    connect(cmdRimuovi, &QPushButton::clicked, this, &TfrmEsclusi::cmdRimuoviClick);
    connect(cmdEsporta, &QPushButton::clicked, this, &TfrmEsclusi::cmdEsportaClick);
    connect(cmdChiudi, &QPushButton::clicked, this, &QDialog::accept);
    ErrorDisplay::guard([this] { reload(); });
}

void TfrmEsclusi::open(QWidget* parent)
{
    TfrmEsclusi window(parent);
    Modal::run(&window);
}

void TfrmEsclusi::reload()
{
    BusyCursor busy;
    all_ = OptOutList().entries();
    showFiltered();
}

void TfrmEsclusi::showFiltered()
{
    const QString wanted = txtCerca_->text().trimmed();
    QList<OptOutList::Entry> shown;
    if (wanted.isEmpty()) {
        shown = all_;
    } else {
        std::copy_if(all_.cbegin(), all_.cend(), std::back_inserter(shown), [&](const OptOutList::Entry& e) {
            return e.address.contains(wanted, Qt::CaseInsensitive) || e.note.contains(wanted, Qt::CaseInsensitive);
        });
    }
    model_->setEntries(std::move(shown));
    lblConteggio_->setText(countText(model_->rowCount(), int(all_.size())));
}

void TfrmEsclusi::cmdAggiungiClick()
{
    ErrorDisplay::guard([this] {
        const OptOut::Parsed parsed = OptOut::parse(txtIndirizzi_->toPlainText());
        if (parsed.addresses.isEmpty() && parsed.rejected.isEmpty()) {
            Dialogs::warning(QStringLiteral("Aggiunta non applicabile"),
                QStringLiteral("Attenzione: indicare almeno un indirizzo e-mail da escludere dagli invii."));
            txtIndirizzi_->setFocus();
            return;
        }
        int added = 0;
        if (!parsed.addresses.isEmpty()) {
            BusyCursor busy;
            added = OptOutList().add(parsed.addresses, txtNota_->text());
        }
        const int already = int(parsed.addresses.size()) - added;
        QString text = added == 1
            ? QStringLiteral("1 indirizzo è stato aggiunto all'elenco degli esclusi.")
            : QStringLiteral("%1 indirizzi sono stati aggiunti all'elenco degli esclusi.").arg(added);
        if (already > 0)
            text += already == 1 ? QStringLiteral("\n1 indirizzo era già nell'elenco.")
                                 : QStringLiteral("\n%1 indirizzi erano già nell'elenco.").arg(already);
        // What is not an address stays in the field, to be mended.
        txtIndirizzi_->setPlainText(parsed.rejected.join(QLatin1Char('\n')));
        if (!parsed.rejected.isEmpty())
            text += QStringLiteral("\n\nNon sono indirizzi e-mail e non sono stati aggiunti (%1):\n%2")
                        .arg(parsed.rejected.size())
                        .arg(shortList(parsed.rejected));
        reload();
        if (parsed.rejected.isEmpty())
            Dialogs::message(text);
        else
            Dialogs::warning(QStringLiteral("Aggiunta non applicabile"), text);
    });
}

void TfrmEsclusi::cmdRimuoviClick()
{
    ErrorDisplay::guard([this] {
        QStringList chosen;
        for (const QModelIndex& row : lstEsclusi_->selectionModel()->selectedRows())
            chosen << model_->entry(row.row()).address;
        if (chosen.isEmpty()) {
            Dialogs::warning(QStringLiteral("Rimozione non applicabile"),
                QStringLiteral("Attenzione: selezionare nell'elenco gli indirizzi da rimuovere."));
            return;
        }
        const QString question = chosen.size() == 1
            ? QStringLiteral("Rimuovere %1 dall'elenco? L'indirizzo riceverà di nuovo le comunicazioni.")
                  .arg(chosen.first())
            : QStringLiteral("Rimuovere %1 indirizzi dall'elenco? Riceveranno di nuovo le comunicazioni.")
                  .arg(chosen.size());
        if (!Dialogs::confirm(QStringLiteral("Conferma rimozione"), question, true))
            return;
        {
            BusyCursor busy;
            OptOutList().remove(chosen);
        }
        reload();
    });
}

void TfrmEsclusi::cmdEsportaClick()
{
    ErrorDisplay::guard([this] {
        BusyCursor busy;
        SheetContent sheet;
        sheet.name = QStringLiteral("Indirizzi esclusi");
        sheet.rows = model_->rowCount() + 1;
        sheet.columns = kColumns;
        sheet.text = [this](int r, int c) { return r == 0 ? OptOutModel::heading(c) : model_->text(r - 1, c); };
        sheet.boldFirst = 0;
        sheet.boldLast = kColumns - 1;
        Exports::publishWorkbook(sheet);
    });
}
