#pragma once

#include "contacts/import/import_session.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class TSQLiteDatabase;
class RefusedRows;

// The preview of a contacts file before it is stored: how many contacts were
// read, where each CSV column goes, the first rows as they will be stored and
// the rows that will not be. A large file is read a slice at a time behind a
// progress bar; "Annulla" leaves at any moment. "Importa" stores the rows;
// closing stores nothing.
class TfrmImportaContatti : public QDialog {
    Q_OBJECT
public:
    // The file's session, from ImportSession::open (which refuses files
    // that are no contacts file before any window is built).
    TfrmImportaContatti(
        const QString& fileName, std::unique_ptr<ImportSession> session, TSQLiteDatabase& db, QWidget* parent = nullptr);
    ~TfrmImportaContatti() override;

    // After an accepted import: what was stored.
    const ImportOutcome& outcome() const { return outcome_; }
    const ImportSession& session() const { return *session_; }

public slots:
    void cmdImportaClick();

protected:
    void done(int result) override;

private:
    void buildMapping();
    void mappingChanged();
    void restartReading();
    void readSome(int milliseconds);
    void showPreview();
    void showCounts();

    TSQLiteDatabase& db_;
    std::unique_ptr<ImportSession> session_;
    ImportOutcome outcome_;
    int previewShown_ = 0;

    QLabel* lblLetti_ = nullptr;
    QTableWidget* tblColonne_ = nullptr;
    QTableWidget* tblAnteprima_ = nullptr;
    QListView* lstScartati_ = nullptr;
    RefusedRows* refused_ = nullptr;
    QCheckBox* chkDuplicati_ = nullptr;
    QProgressBar* barProgresso_ = nullptr;
    QPushButton* cmdImporta_ = nullptr;
    QTimer* reader_ = nullptr;
};
