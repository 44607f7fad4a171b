#pragma once

#include "ui/help.h"

// The launcher's help topic; every other form holds its own.
namespace HelpTopics {
HelpTopic launcher();
} // namespace HelpTopics
