#pragma once

#include "storage/card_paths.h"

#include <QColor>
#include <QObject>
#include <QString>

#include <functional>

class QLineEdit;
class QPushButton;

// How one path field chooses its path.
struct PathChoice {
    CardPaths::Kind kind = CardPaths::Kind::File;
    QString caption; // title of the file or folder dialog
    QString filter; // file dialog's type list; empty for none
    QColor textColour = Qt::black;
    // Why a chosen path is not taken (warning text naming it); empty to take
    // it. Unset: every path is taken.
    std::function<QString(const QString&)> refusal;

    // A card's attached file, its associated folder, a message's attachment.
    static PathChoice attachedFile();
    static PathChoice folder();
    static PathChoice mailAttachment();
};

// A read-only path field with its browse and open buttons: the path comes
// from the file or folder dialog (a refused choice, a cancel or a failure
// keeps the previous path), Backspace empties it whole, and the open button
// is enabled exactly while a path is set.
class PathChooser : public QObject {
    Q_OBJECT
public:
    PathChooser(QLineEdit* path, QPushButton* browse, QPushButton* open, PathChoice choice);

    void browse();
    void openPath();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString fileDialogStart() const;

    QLineEdit* path_;
    QPushButton* open_;
    PathChoice choice_;
};
