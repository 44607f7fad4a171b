#pragma once

#include "storage/card_archive.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <optional>

// A card chosen in a search list, read again by its number where the list's
// rows hold only what the list shows: the card may also have been changed or
// deleted since the search.
namespace PickedCard {
// The stored card the chosen row stands for, on its row; null when it is no
// longer in the archive (the user has then been told).
std::unique_ptr<TSQLiteTable> reload(const CardArchive& archive, const TSQLiteTable& chosen);
// Columns of the chosen card, decoded and trimmed: from the row when it has
// them all, else from the stored card; nothing when the card is gone (the
// user has then been told).
std::optional<QStringList> columns(
    const CardArchive& archive, const TSQLiteTable& row, const QList<QByteArray>& columns);
// Tells the user that the chosen card is no longer in the archive.
void reportGone();
} // namespace PickedCard
