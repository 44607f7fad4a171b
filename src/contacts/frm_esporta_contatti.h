#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>

#include <optional>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

// "Esporta contatti": all the contacts, or those of the last search made from
// the contacts editor, written to a vCard (4.0, or 3.0 for older phones) or
// CSV file in the user's folder, published as the other exports are.
class TfrmEsportaContatti : public QDialog {
    Q_OBJECT
public:
    // search: the conditions of the last search, when there was one.
    explicit TfrmEsportaContatti(std::optional<QList<QByteArray>> search, QWidget* parent = nullptr);

    // The file written by the last export; empty when none was.
    const QString& published() const { return published_; }

public slots:
    void cmdEsportaClick();

private:
    std::optional<QList<QByteArray>> search_;
    QString published_;
    QRadioButton* optTutti_ = nullptr;
    QRadioButton* optRicerca_ = nullptr;
    QRadioButton* optVCard4_ = nullptr;
    QRadioButton* optVCard3_ = nullptr;
    QRadioButton* optCsv_ = nullptr;
    QComboBox* cboSeparatore_ = nullptr;
    QProgressBar* barProgresso_ = nullptr;
};
