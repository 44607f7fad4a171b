#pragma once

#include "ui/card_editor.h"

#include <QStringList>

// The contact card: its fields in archive order, the required ones and the
// province codes offered by the province list.
namespace ContactFields {
const ArchiveProfile& profile();
HelpTopic helpTopic();
const QStringList& provinces();
// Makes the card's visible fields, by caption, the fields a personalised
// message may name.
void installPersonalFields();
} // namespace ContactFields
