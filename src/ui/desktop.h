#pragma once

#include <QString>

class QWidget;

// Shell services and file dialogs. Tests install a recorder instead of
// launching programs or blocking on a dialog.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    // Opens a document, folder, web address or "mailto:" text with the
    // user's default program. False when nothing could open it: no program
    // is set for it, or the program failed.
    virtual bool open(const QString& target) = 0;
    // Common open-file dialog starting in start; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& start, const QString& filter)
        = 0;
    // Folder browser starting in start, folders only, without a button for
    // making a new folder; empty when cancelled.
    virtual QString existingDirectory(QWidget* parent, const QString& caption, const QString& start) = 0;
};

namespace Desktop {
IDesktop& get();
void install(IDesktop* desktop);

inline bool open(const QString& target) { return get().open(target); }
// What the user is told when a file or folder could not be opened: its full
// path, and that no program is set for it.
QString cannotOpenText(const QString& target);
} // namespace Desktop
