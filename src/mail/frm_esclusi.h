#pragma once

#include "mail/opt_out.h"

#include <QAbstractTableModel>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableView;

// The rows the opt-out window lists: address, date, note.
class OptOutModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(QList<OptOutList::Entry> entries);
    const OptOutList::Entry& entry(int row) const { return entries_.at(row); }
    // The cell as shown and exported; the date as dd/mm/yyyy hh:mm.
    QString text(int row, int column) const;
    static QString heading(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<OptOutList::Entry> entries_;
};

// "Indirizzi esclusi dagli invii": the addresses that asked not to receive
// the office's mailings, with the date and how the request came; the user
// adds (typing or pasting many), removes, searches and exports them.
class TfrmEsclusi : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEsclusi(QWidget* parent = nullptr);

    // Opens the window modally (the contacts editor and the mail forms).
    static void open(QWidget* parent);

    OptOutModel* model() const { return model_; }

public slots:
    void cmdAggiungiClick();
    void cmdRimuoviClick();
    void cmdEsportaClick();

private:
    void reload();
    void showFiltered();

    QList<OptOutList::Entry> all_;
    OptOutModel* model_ = nullptr;
    QTableView* lstEsclusi_ = nullptr;
    QLineEdit* txtCerca_ = nullptr;
    QLabel* lblConteggio_ = nullptr;
    QPlainTextEdit* txtIndirizzi_ = nullptr;
    QLineEdit* txtNota_ = nullptr;
};
