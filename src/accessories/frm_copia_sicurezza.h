#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

// "Copia di sicurezza": one file holding every archive and setting, made
// while the program runs; "Ripristina" puts such a file back after checking
// all of it, keeping the replaced files aside; and after how many days
// without a backup the launcher reminds the user.
class TfrmCopiaSicurezza : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCopiaSicurezza(QWidget* parent = nullptr);

    // The program's version, written in the backup's manifest.
    void setVersion(const QString& version) { version_ = version; }
    // Called after a restore, so every window shows the restored data.
    void setAfterRestore(std::function<void()> afterRestore) { afterRestore_ = std::move(afterRestore); }

    // The reminder the launcher shows, or empty when none is due.
    static QString reminder();

public slots:
    void cmdCopiaClick();
    void cmdRipristinaClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSettings();
    // Runs work with a progress window that can stop it; work gets the
    // callback to report to.
    bool withProgress(const QString& label,
        const std::function<void(const std::function<bool(qint64, qint64)>&)>& work);

    QString version_;
    std::function<void()> afterRestore_;
    QLabel* lblUltima_ = nullptr;
    QSpinBox* spnGiorni_ = nullptr;
};

extern TfrmCopiaSicurezza* frmCopiaSicurezza;
