#pragma once

#include "ui/card_editor.h"

// The message card: its fields in archive order and the required ones.
namespace MessageFields {
const ArchiveProfile& profile();
HelpTopic helpTopic();
// Where in Messaggi.ini the editor remembers its sender.
inline constexpr const char* kIniSection = "Archivio Messaggi";
} // namespace MessageFields
