#pragma once

#include "storage/card_archive.h"

#include <memory>

// A card chosen in a search list is read again by its number when it is
// applied: the list holds only what it shows, and the card may have been
// changed or deleted since the search.
namespace PickedCard {
// The stored card the chosen row stands for, on its row; null when it is no
// longer in the archive (the user has then been told).
std::unique_ptr<TSQLiteTable> reload(ArchiveKind kind, const TSQLiteTable& chosen);
// Tells the user that the chosen card is no longer in the archive.
void reportGone();
} // namespace PickedCard
