#pragma once

#include <QDate>
#include <QDialog>

#include <functional>

class QCalendarWidget;
class QLabel;

// Picks a creation date on a calendar for the message card editor. The
// calendar keeps the last picked day for the whole run.
class TfrmImportaData : public QDialog {
    Q_OBJECT
public:
    explicit TfrmImportaData(QWidget* parent = nullptr);
    // The caller's mode word (kept in lblMemory) and where the picked day goes.
    void setPick(const QString& mode, std::function<void(const QString& date)> target);
    QCalendarWidget* calendar() const { return calendar_; }

public slots:
    void cmdImportaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QCalendarWidget* calendar_ = nullptr;
    QLabel* memory_ = nullptr;
    std::function<void(const QString&)> target_;
};

extern TfrmImportaData* frmImportaData;
