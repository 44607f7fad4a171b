#pragma once

#include "mail/delivery_journal.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <functional>

// The two lists of the "Storico invii" window. Each reads the journal a page
// at a time, as the list is scrolled, so a journal of thousands of sendings
// and a sending of 100,000 recipients open as quickly as a small one.

// The paging both lists share: a reader gives the page after a row (the
// first page after none); a page shorter than asked is the last.
template <class Row> class JournalPagedModel : public QAbstractTableModel {
public:
    using Reader = std::function<QList<Row>(const Row* after)>;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(rows_.size()); }
    bool canFetchMore(const QModelIndex& parent) const override { return !parent.isValid() && !complete_ && read_; }
    void fetchMore(const QModelIndex& parent) override
    {
        if (!canFetchMore(parent) || rows_.isEmpty())
            return;
        const QList<Row> page = read_(&rows_.last());
        complete_ = page.size() < pageSize_;
        if (page.isEmpty())
            return;
        beginInsertRows({}, int(rows_.size()), int(rows_.size() + page.size() - 1));
        rows_.append(page);
        endInsertRows();
    }

protected:
    using QAbstractTableModel::QAbstractTableModel;

    // Starts again from the first page; without a reader the list is empty.
    void restart(Reader read, int pageSize)
    {
        beginResetModel();
        read_ = std::move(read);
        pageSize_ = pageSize;
        rows_ = read_ ? read_(nullptr) : QList<Row>();
        complete_ = !read_ || rows_.size() < pageSize_;
        endResetModel();
    }

    QList<Row> rows_;

private:
    Reader read_;
    int pageSize_ = 1;
    bool complete_ = true;
};

class JournalSendingsModel final : public JournalPagedModel<DeliveryJournal::Sending> {
    Q_OBJECT
public:
    static constexpr int kPage = 200;
    enum Column { When, Subject, Card, Kind, Route, Recipients, Delivered, NotDelivered, Uncertain, Excluded, ColumnCount };

    explicit JournalSendingsModel(QObject* parent = nullptr);

    // Reads the first page of journal (which must outlive the model, or be
    // replaced), newest first; with a filter, only the sendings holding an
    // address that begins with it.
    void load(DeliveryJournal* journal, const QString& addressFilter = {});
    const DeliveryJournal::Sending& sendingAt(int row) const { return rows_.at(row); }

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

};

class JournalRecipientsModel final : public JournalPagedModel<DeliveryJournal::Recipient> {
    Q_OBJECT
public:
    static constexpr int kPage = 500;
    enum Column { Address, Outcome, Reason, When, ColumnCount };

    explicit JournalRecipientsModel(QObject* parent = nullptr);

    // The recipients of one sending (0: none), filtered as the sendings are.
    void load(DeliveryJournal* journal, qint64 sending, const QString& addressFilter = {});
    qint64 sending() const { return sending_; }
    const DeliveryJournal::Recipient& recipientAt(int row) const { return rows_.at(row); }

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The cell texts, as shown.
    static QString text(const DeliveryJournal::Recipient& r, int column);

private:
    qint64 sending_ = 0;
};

namespace JournalText {
// "12/03/2025 10:42:05"; empty for a null time.
QString dateTime(const QDateTime& when);
// The sendings list's cell texts.
QString sendingCell(const DeliveryJournal::Sending& s, int column);
} // namespace JournalText
