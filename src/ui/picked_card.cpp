#include "ui/picked_card.h"

#include "ui/dialogs.h"

std::unique_ptr<TSQLiteTable> PickedCard::reload(ArchiveKind kind, const TSQLiteTable& chosen)
{
    const qint32 id = qint32(chosen.IntegerAt(chosen.ColumnIndex(QStringLiteral("ID"))));
    const CardArchive& archive = CardArchive::of(kind);
    bool existed = false;
    auto db = archive.open(&existed);
    std::unique_ptr<TSQLiteTable> card;
    if (existed)
        card = db->Query(archive.byId(id));
    if (!card || !card->First()) {
        reportGone();
        return nullptr;
    }
    return card;
}

void PickedCard::reportGone()
{
    Dialogs::message(QStringLiteral("La scheda selezionata non è più presente in archivio."));
}
