#pragma once

#include "mail/send_checks.h"

// The back end's questions before a sending, asked in the program's message
// boxes: refusals as warnings, the list of excluded addresses behind the
// boxes' "details" button.
class SendQuestions final : public SendChecks::IQuestions {
public:
    void refuseUnknownFields(const QStringList& placeholders) override;
    bool sendPrivatelyInstead(const QStringList& placeholders) override;
    void allExcluded(const QStringList& excluded) override;
    bool goAhead(const SendChecks::Outline& outline) override;

    // Installs one for the whole run.
    static void install();
};
