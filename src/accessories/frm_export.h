#pragma once

#include "accessories/export_profile.h"
#include "accessories/export_table.h"

#include <QAbstractTableModel>
#include <QDialog>

class QGroupBox;
class QLabel;
class QTableView;

// The export grid's cells: headings, the row number in column 0 and each
// card's exported fields, coloured as the grid always was.
class ExportGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ExportGridModel(ExportProfile profile, QObject* parent = nullptr);

    void setTable(ExportTable table);
    void clear();
    const ExportTable& table() const { return table_; }

    // Grid cell text: row 0 the headings, rows 1 ... N the cards.
    QString gridText(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    static QColor fixedColour(); // sky blue
    static QColor oddRowColour();
    static QColor evenRowColour();

private:
    // Its own copy: the grid asks for headings while the window goes away.
    const ExportProfile profile_;
    ExportTable table_;
};

// The spreadsheet export window of one archive: every card in a grid and the
// workbook export of what the grid shows.
class TfrmExport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExport(const ArchiveDefinition& definition, QWidget* parent = nullptr);

    const ExportProfile& profile() const { return profile_; }
    ExportGridModel* model() const { return model_; }

    QTableView* grdRecords = nullptr;
    QLabel* panInfo = nullptr;
    QGroupBox* grpControlli = nullptr;

public slots:
    void FormShow();
    void imgExcelMouseUp();
    void imgGuidaMouseUp();
    void imgEsciMouseUp();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    QLabel* addControl(const char* image, const char* label, const QString& glyph, const QString& caption,
        const QString& hint, void (TfrmExport::*slot)());

    const ExportProfile profile_;
    ExportGridModel* model_ = nullptr;
};
