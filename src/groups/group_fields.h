#pragma once

#include "ui/card_editor.h"

// The group card: its fields in archive order, the required ones, its help.
namespace GroupFields {
const ArchiveProfile& profile();
HelpTopic helpTopic();
} // namespace GroupFields
