#pragma once

#include "archives/archive_definition.h"

// The messages archive (Messaggi.db): its columns, the editor's fields and
// rules, its searches, exports and forms. The registry completes it.
namespace MessageArchive {
ArchiveDefinition definition();
QStringList helpParagraphs();
} // namespace MessageArchive
