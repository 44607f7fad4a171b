#pragma once

#include "mail/delivery_journal.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

// The two lists of the "Storico invii" window. Each reads the journal a page
// at a time, as the list is scrolled, so a journal of thousands of sendings
// and a sending of 100,000 recipients open as quickly as a small one.

class JournalSendingsModel final : public QAbstractTableModel {
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

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    DeliveryJournal* journal_ = nullptr;
    QString filter_;
    QList<DeliveryJournal::Sending> rows_;
    bool complete_ = true;
};

class JournalRecipientsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kPage = 500;
    enum Column { Address, Outcome, Reason, When, ColumnCount };

    explicit JournalRecipientsModel(QObject* parent = nullptr);

    // The recipients of one sending (0: none), filtered as the sendings are.
    void load(DeliveryJournal* journal, qint64 sending, const QString& addressFilter = {});
    qint64 sending() const { return sending_; }
    const DeliveryJournal::Recipient& recipientAt(int row) const { return rows_.at(row); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The cell texts, as shown.
    static QString text(const DeliveryJournal::Recipient& r, int column);

private:
    DeliveryJournal* journal_ = nullptr;
    qint64 sending_ = 0;
    QString filter_;
    QList<DeliveryJournal::Recipient> rows_;
    bool complete_ = true;
};

namespace JournalText {
// "12/03/2025 10:42:05"; empty for a null time.
QString dateTime(const QDateTime& when);
// The sendings list's cell texts.
QString sendingCell(const DeliveryJournal::Sending& s, int column);
} // namespace JournalText
