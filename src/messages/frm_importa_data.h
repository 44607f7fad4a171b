#pragma once

#include <QDialog>

class QCalendarWidget;
class QLabel;

// Picks a creation date on a calendar for the message card editor. The
// calendar keeps the last picked day for the whole run.
class TfrmImportaData : public QDialog {
    Q_OBJECT
public:
    explicit TfrmImportaData(QWidget* parent = nullptr);
    void setMode(const QString& mode);
    QCalendarWidget* calendar() const { return calendar_; }

public slots:
    void cmdImportaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QCalendarWidget* calendar_ = nullptr;
    QLabel* memory_ = nullptr;
};

extern TfrmImportaData* frmImportaData;
