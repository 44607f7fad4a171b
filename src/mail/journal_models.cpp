#include "mail/journal_models.h"

QString JournalText::dateTime(const QDateTime& when)
{
    return when.isValid() ? when.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

QString JournalText::sendingCell(const DeliveryJournal::Sending& s, int column)
{
    using C = JournalSendingsModel::Column;
    switch (column) {
    case C::When:
        return dateTime(s.started);
    case C::Subject:
        return s.subject;
    case C::Card:
        return s.cardId > 0 ? QString::number(s.cardId) : QString();
    case C::Kind:
        return s.privately ? QStringLiteral("riservato") : QStringLiteral("unico messaggio");
    case C::Route:
        return Journal::routeText(s.route);
    case C::Recipients:
        return QString::number(s.recipients);
    case C::Delivered:
        return QString::number(s.delivered);
    case C::NotDelivered:
        return QString::number(s.refused + s.notSent);
    case C::Uncertain:
        return s.running ? QStringLiteral("in corso") : QString::number(s.uncertain);
    case C::Excluded:
        return QString::number(s.excluded);
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------

JournalSendingsModel::JournalSendingsModel(QObject* parent)
    : JournalPagedModel(parent)
{ }

void JournalSendingsModel::load(DeliveryJournal* journal, const QString& addressFilter)
{
    Reader read;
    if (journal)
        read = [journal, addressFilter](const DeliveryJournal::Sending* after) {
            return journal->sendings(after ? after->id : 0, kPage, addressFilter);
        };
    restart(std::move(read), kPage);
}


int JournalSendingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant JournalSendingsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    if (role == Qt::DisplayRole)
        return JournalText::sendingCell(rows_[index.row()], index.column());
    if (role == Qt::TextAlignmentRole && index.column() >= Recipients)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant JournalSendingsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = { "Data e ora", "Oggetto", "Scheda", "Invio", "Percorso", "Destinatari",
        "Consegnati", "Non consegnati", "Esito incerto", "Esclusi" };
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}



// ---------------------------------------------------------------------------

JournalRecipientsModel::JournalRecipientsModel(QObject* parent)
    : JournalPagedModel(parent)
{ }

void JournalRecipientsModel::load(DeliveryJournal* journal, qint64 sending, const QString& addressFilter)
{
    sending_ = sending;
    Reader read;
    if (journal && sending > 0)
        read = [journal, sending, addressFilter](const DeliveryJournal::Recipient* after) {
            return journal->recipients(sending, after ? after->row : 0, kPage, addressFilter);
        };
    restart(std::move(read), kPage);
}


int JournalRecipientsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString JournalRecipientsModel::text(const DeliveryJournal::Recipient& r, int column)
{
    switch (column) {
    case Address:
        return r.address;
    case Outcome:
        return Journal::outcomeText(r.outcome);
    case Reason:
        return r.reason;
    case When:
        return JournalText::dateTime(r.when);
    default:
        return {};
    }
}

QVariant JournalRecipientsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rows_.size() || role != Qt::DisplayRole)
        return {};
    return text(rows_[index.row()], index.column());
}

QVariant JournalRecipientsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = { "Indirizzo", "Esito", "Motivo", "Data e ora" };
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(titles[section]) : QVariant();
}


