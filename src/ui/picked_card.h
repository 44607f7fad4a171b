#pragma once

#include "storage/card_archive.h"

#include <QList>
#include <QStringList>

// Columns of a card chosen in a search list, decoded and trimmed. A list's
// rows may hold only what the list shows (ID and the line's columns); other
// columns are read from the stored card by its number.
namespace PickedCard {
// Throws ESQLiteException when the card no longer exists.
QStringList columns(ArchiveKind kind, const TSQLiteTable& row, const QList<QByteArray>& columns);
} // namespace PickedCard
