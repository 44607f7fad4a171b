#pragma once

#include "archives/archive_definition.h"

// The contacts archive (Contatti.db): its columns, the editor's fields and
// rules, its searches, exports and forms. The registry completes it.
namespace ContactArchive {
ArchiveDefinition definition();
// The editor's help text.
QStringList helpParagraphs();
} // namespace ContactArchive
