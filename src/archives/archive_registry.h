#pragma once

#include "archives/archive_definition.h"

#include <QList>

// The archives the program keeps: the one place that lists them. Each entry
// is its folder's definition, completed with the attachment and folder
// columns and checked.
namespace Archives {
// In the launcher's order.
const QList<const ArchiveDefinition*>& all();
const ArchiveDefinition& get(ArchiveKind kind);
const CardArchive& card(ArchiveKind kind);
} // namespace Archives
