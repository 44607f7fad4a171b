#pragma once

#include "storage/card_archive.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLineEdit;
class QPushButton;
struct PathChoice;

// The attached files and the associated folder of a card: slots of a path
// (chosen with a dialog, opened with its program) and a description. The
// form never touches the archive: its owner reads values() after
// "Applica e chiudi" (the dialog is then accepted; its close box rejects).
class CardPathsForm : public QDialog {
    Q_OBJECT
public:
    // Paths in slot order, then descriptions in slot order.
    void setValues(const QStringList& values);
    // The same, trimmed.
    QStringList values() const;
    int slotCount() const { return int(paths_.size()); }

    void setVisible(bool visible) override;

protected:
    struct Dress {
        QString objectName;
        QString caption;
        QStringList info; // three instruction lines
        QStringList pathLabels; // one per slot
        int height;
    };
    CardPathsForm(const Dress& dress, const PathChoice& choice, QWidget* parent);

private:
    QList<QLineEdit*> paths_;
    QList<QLineEdit*> descriptions_;
    bool centred_ = false;
};

// " File allegati": three files per card.
class AttachedFilesForm : public CardPathsForm {
    Q_OBJECT
public:
    static AttachedFilesForm* create(ArchiveKind kind, QWidget* parent);

protected:
    AttachedFilesForm(const QString& objectName, QWidget* parent);
};

// " Associa cartella": one folder per card.
class FolderForm : public CardPathsForm {
    Q_OBJECT
public:
    static FolderForm* create(ArchiveKind kind, QWidget* parent);

protected:
    FolderForm(const QString& objectName, QWidget* parent);
};

// One form class per archive, as each editor knows its own.
class TfrmAllegatiRub final : public AttachedFilesForm {
    Q_OBJECT
public:
    explicit TfrmAllegatiRub(QWidget* parent = nullptr)
        : AttachedFilesForm(QStringLiteral("frmAllegatiRub"), parent)
    { }
};
class TfrmAllegatiGru final : public AttachedFilesForm {
    Q_OBJECT
public:
    explicit TfrmAllegatiGru(QWidget* parent = nullptr)
        : AttachedFilesForm(QStringLiteral("frmAllegatiGru"), parent)
    { }
};
class TfrmAllegatiMes final : public AttachedFilesForm {
    Q_OBJECT
public:
    explicit TfrmAllegatiMes(QWidget* parent = nullptr)
        : AttachedFilesForm(QStringLiteral("frmAllegatiMes"), parent)
    { }
};
class TfrmCartellaRub final : public FolderForm {
    Q_OBJECT
public:
    explicit TfrmCartellaRub(QWidget* parent = nullptr)
        : FolderForm(QStringLiteral("frmCartellaRub"), parent)
    { }
};
class TfrmCartellaGru final : public FolderForm {
    Q_OBJECT
public:
    explicit TfrmCartellaGru(QWidget* parent = nullptr)
        : FolderForm(QStringLiteral("frmCartellaGru"), parent)
    { }
};
class TfrmCartellaMes final : public FolderForm {
    Q_OBJECT
public:
    explicit TfrmCartellaMes(QWidget* parent = nullptr)
        : FolderForm(QStringLiteral("frmCartellaMes"), parent)
    { }
};
