#include "ui/picked_card.h"

#include "ui/search_forms.h"

QStringList PickedCard::columns(ArchiveKind kind, const TSQLiteTable& row, const QList<QByteArray>& columns)
{
    const QStringList& names = row.ColumnNames();
    bool complete = true;
    for (const QByteArray& c : columns)
        complete = complete && names.contains(QString::fromLatin1(c).toUpper());

    std::unique_ptr<TSQLiteTable> card;
    if (!complete) {
        const CardArchive& archive = CardArchive::of(kind);
        const auto id = qint32(row.IntegerAt(row.ColumnIndex(QStringLiteral("ID"))));
        card = archive.open()->Query(archive.byId(id));
        if (card->RowCount() == 0)
            throw ESQLiteException(QStringLiteral("La scheda n. %1 non è più in archivio.").arg(id));
        card->First();
    }
    QStringList values;
    for (const QByteArray& c : columns)
        values << PickerText::column(card ? *card : row, c.constData());
    return values;
}
