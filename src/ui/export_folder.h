#pragma once

#include <QString>

class QWidget;

// Where a file the program hands the user (an export, a list printed to
// PDF) is written: the Documents folder, else the home folder, else the
// temporary folder. When none of them can be written the user is told and
// chooses a folder; the file never lands where the program happened to be
// started.
namespace ExportFolder {

struct Choice {
    QString folder; // empty: nowhere to write, or the user gave up
    // Not the Documents folder the help promises: where the file goes
    // instead. Empty when it goes to Documents or the user chose.
    bool elsewhere = false;
};
Choice choose(QWidget* parent);

// The sentence telling the user that the file went elsewhere than Documents.
QString elsewhereText(const QString& file);

} // namespace ExportFolder
