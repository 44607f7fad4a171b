#pragma once

#include "ui/card_editor.h"

// The message card: its fields in archive order and the required ones.
namespace MessageFields {
const CardEditorConfig& editorConfig();
// Where the editor remembers its sender.
QString iniPath();
inline constexpr const char* kIniSection = "Archivio Messaggi";
} // namespace MessageFields
