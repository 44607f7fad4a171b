#pragma once

class CardEditor;

namespace Accessories {
// Gives the editor its attached files (cmdAllega), associated folder
// (cmdAssocia) and archive compaction (cmdOttimizza).
void addCardFiles(CardEditor& editor);
} // namespace Accessories
