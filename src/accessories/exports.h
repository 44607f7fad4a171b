#pragma once

#include "storage/export_file.h"

#include <QString>

#include <functional>
#include <memory>

class CardEditor;
class QProgressDialog;
class QWidget;

namespace Accessories {
// Gives the editor its spreadsheet export (cmdExcel: the archive's export
// window) and its document export of the card on screen (cmdWord).
void addExports(CardEditor& editor);
} // namespace Accessories

namespace Exports {

// The messages of one kind of export.
struct Messages {
    std::function<void(const QString&)> show; // the message box that reports a failure
    QString writeFailed; // first sentence when the file could not be written
    QString openFailed; // "%1" is the file; when no program opened it
};
// Writes the file through ExportFile into the user's folder and opens it
// with the desktop's program for it. Failures are reported in the box the
// messages name. The published file, or an empty text.
QString publishAndOpen(const QString& title, const QString& suffix, const ExportFile::Writer& writer,
    const Messages& messages);

// Progress of long work on the user-interface thread: after a short delay a
// progress window appears, and the windows keep being painted.
class Progress {
public:
    Progress(QWidget* parent, const QString& label);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    void step(qint64 done, qint64 total);

private:
    std::unique_ptr<QProgressDialog> dialog_;
};
} // namespace Exports
