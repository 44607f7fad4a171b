#pragma once

#include <QString>

class QWidget;

// Every modal message box of the program goes through here, so that tests can
// answer and record them instead of blocking on a real dialog.
class IDialogs {
public:
    virtual ~IDialogs() = default;
    // Plain box: application title as caption, OK only. Used for results.
    virtual void message(const QString& text) = 0;
    // Task-modal refusal box with its own caption and a warning icon.
    virtual void warning(const QString& caption, const QString& text) = 0;
    // Task-modal box with its own caption and an information icon.
    virtual void information(const QString& caption, const QString& text) = 0;
    // Yes/No question, without icon unless asked; anything but No counts
    // as Yes.
    virtual bool confirm(const QString& caption, const QString& text, bool questionIcon) = 0;
    // The application-wide error box for failures nobody else handles;
    // details, when given, behind the box's "details" button.
    virtual void error(const QString& text, const QString& details) = 0;
    // A refusal and a Yes/No question (question icon) with a list behind
    // the "details" button. A replacement that shows no details may leave
    // these as they are: the list is then dropped.
    virtual void warningDetailed(const QString& caption, const QString& text, const QString& details)
    {
        (void)details;
        warning(caption, text);
    }
    virtual bool confirmDetailed(const QString& caption, const QString& text, const QString& details)
    {
        (void)details;
        return confirm(caption, text, true);
    }
};

namespace Dialogs {
IDialogs& get();
// Installs a replacement (tests); nullptr restores the real boxes.
void install(IDialogs* dialogs);

inline void message(const QString& text) { get().message(text); }
inline void warning(const QString& caption, const QString& text) { get().warning(caption, text); }
inline void information(const QString& caption, const QString& text) { get().information(caption, text); }
inline bool confirm(const QString& caption, const QString& text, bool questionIcon = false)
{
    return get().confirm(caption, text, questionIcon);
}
inline void error(const QString& text, const QString& details = {}) { get().error(text, details); }
inline void warningDetailed(const QString& caption, const QString& text, const QString& details)
{
    get().warningDetailed(caption, text, details);
}
inline bool confirmDetailed(const QString& caption, const QString& text, const QString& details)
{
    return get().confirmDetailed(caption, text, details);
}

QString applicationTitle();
} // namespace Dialogs
