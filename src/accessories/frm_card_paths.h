#pragma once

#include "archives/archive_definition.h"

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
    // " File allegati", three files, named as the archive's definition says.
    static CardPathsForm* attachedFiles(const ArchiveDefinition& definition, QWidget* parent);
    // " Associa cartella", one folder.
    static CardPathsForm* folder(const ArchiveDefinition& definition, QWidget* parent);

    // Paths in slot order, then descriptions in slot order; another count
    // throws WiringError.
    void setValues(const QStringList& values);
    // The same, trimmed.
    QStringList values() const;
    int slotCount() const { return int(paths_.size()); }

    void setVisible(bool visible) override;

private:
    struct Dress {
        QString objectName;
        QString caption;
        QStringList info; // three instruction lines
        QStringList pathLabels; // one per slot
        int height;
    };
    CardPathsForm(const Dress& dress, const PathChoice& choice, QWidget* parent);

    QList<QLineEdit*> paths_;
    QList<QLineEdit*> descriptions_;
    bool centred_ = false;
};
