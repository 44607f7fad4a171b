#pragma once

#include <QString>

class CardEditor;

// One toolbar tool that every card editor offers the same way (attached
// files, folder, spreadsheet and document export, compaction). It is written
// once and registered on each editor; what differs between archives it reads
// from the editor (archive kind, fields).
class CardAccessory {
public:
    virtual ~CardAccessory() = default;
    // Object name of the toolbar button that starts it ("cmdAllega", ...).
    virtual QString button() const = 0;
    // Runs on a release of that button; failures the tool does not handle
    // itself reach the application's error display.
    virtual void run(CardEditor& editor) = 0;
};
