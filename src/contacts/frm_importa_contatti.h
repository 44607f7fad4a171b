#pragma once

#include "contacts/import/contact_import.h"
#include "contacts/import/csv_reader.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TSQLiteDatabase;

// The preview of a contacts file before it is stored: how many contacts were
// read, where each CSV column goes, the first rows as they will be stored and
// the rows that will not be. "Importa" stores them; closing stores nothing.
class TfrmImportaContatti : public QDialog {
    Q_OBJECT
public:
    TfrmImportaContatti(const QString& fileName, const QByteArray& bytes, TSQLiteDatabase& db, QWidget* parent = nullptr);

    // After an accepted import: what was stored.
    const ImportOutcome& outcome() const { return outcome_; }
    static bool looksLikeVCard(const QString& fileName, const QByteArray& bytes);

public slots:
    void cmdImportaClick();

private:
    void buildMapping();
    void rebuildPlan();
    void showPlan();

    TSQLiteDatabase& db_;
    bool vcard_ = false;
    CsvTable csv_;
    QList<ImportedContact> contacts_;
    QSet<QString> existing_;
    ImportPlan plan_;
    ImportOutcome outcome_;

    QLabel* lblLetti_ = nullptr;
    QTableWidget* tblColonne_ = nullptr;
    QTableWidget* tblAnteprima_ = nullptr;
    QListWidget* lstScartati_ = nullptr;
    QCheckBox* chkDuplicati_ = nullptr;
    QProgressBar* barProgresso_ = nullptr;
    QPushButton* cmdImporta_ = nullptr;
};
