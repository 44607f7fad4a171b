#include "ui/picked_card.h"

#include "ui/dialogs.h"
#include "ui/search_forms.h"

std::unique_ptr<TSQLiteTable> PickedCard::reload(const CardArchive& archive, const TSQLiteTable& chosen)
{
    const qint32 id = qint32(chosen.IntegerAt(chosen.ColumnIndex(QStringLiteral("ID"))));
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

std::optional<QStringList> PickedCard::columns(
    const CardArchive& archive, const TSQLiteTable& row, const QList<QByteArray>& columns)
{
    const QStringList& names = row.ColumnNames();
    bool complete = true;
    for (const QByteArray& c : columns)
        complete = complete && names.contains(QString::fromLatin1(c).toUpper());
    std::unique_ptr<TSQLiteTable> card;
    if (!complete) {
        card = reload(archive, row);
        if (!card)
            return std::nullopt;
    }
    QStringList values;
    for (const QByteArray& c : columns)
        values << PickerText::column(card ? *card : row, c);
    return values;
}

void PickedCard::reportGone()
{
    Dialogs::message(QStringLiteral("La scheda selezionata non è più presente in archivio."));
}
