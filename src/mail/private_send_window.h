#pragma once

#include "mail/private_send.h"

#include <QPointer>
#include <QProgressDialog>

class QCheckBox;

// The window a private sending shows: "n di N" with a cancel button,
// responsive between two messages, and the plain summary at the end.
class PrivateSendWindow final : public PrivateSend::IProgress {
public:
    void start(int total) override;
    bool advance(int done, int total) override;
    void finish(const PrivateSend::Report& report) override;

    // The window in use while a sending runs (tests).
    QProgressDialog* dialog() const { return dialog_; }

    // Installs one window for the whole run.
    static void install();

private:
    QPointer<QProgressDialog> dialog_;
    int liftedCursors_ = 0;
};

// The choice of private sending on the two forms that send mail.
namespace PrivateSendChoice {
// The check box's caption.
QString caption();
// Remembered per form in a section of Messaggi.ini; older files without the
// key read as unticked.
bool remembered(const QString& section);
void remember(const QString& section, bool privately);
// Keeps box and the section's key in step: ticks it as remembered, writes
// every change.
void bind(QCheckBox* box, const QString& section);
// Settles the mode before sending. Private with preview cannot be: the user
// is asked whether to send privately without preview (true, preview turned
// off) or not at all (false).
bool settle(bool privately, bool& preview);
} // namespace PrivateSendChoice
