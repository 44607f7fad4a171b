#pragma once

#include "archives/archive_definition.h"

// The recipient groups archive (Gruppi.db): its columns, the editor's fields
// and rules, its searches, exports and forms. The registry completes it.
namespace GroupArchive {
ArchiveDefinition definition();
QStringList helpParagraphs();
} // namespace GroupArchive
