#include "contacts/export/contact_export.h"

#include "contacts/export/contact_writers.h"
#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"

#include <QFile>

namespace {

const CardArchive& contacts() { return CardArchive::of(ArchiveKind::Contacts); }

constexpr int kBatch = 1000;

} // namespace

QString ContactExport::suffix(Format format)
{
    return format == Format::VCard4 || format == Format::VCard3 ? QStringLiteral("vcf") : QStringLiteral("csv");
}

int ContactExport::count(TSQLiteDatabase& db, const QList<QByteArray>& conditions)
{
    QByteArray sql = "SELECT count(*) FROM " + contacts().table();
    if (!conditions.isEmpty())
        sql += " WHERE " + conditions.join(" AND ");
    return int(db.Query(sql)->IntegerAt(0));
}

QString ContactExport::write(TSQLiteDatabase& db, const QList<QByteArray>& conditions, Format format,
    const QString& path, int* written, const std::function<void(int done, int total)>& progress)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    const bool csv = format == Format::CsvSemicolon || format == Format::CsvComma;
    const char separator = format == Format::CsvComma ? ',' : ';';
    const int total = progress ? count(db, conditions) : 0;
    if (csv)
        file.write(QByteArray(ContactWriters::kUtf8Bom) + ContactWriters::csvHeadings(separator));

    int done = 0;
    qint64 last = 0;
    const int values = contacts().valueCount();
    QList<QByteArray> card(values);
    QByteArray chunk;
    QList<int> positions; // of ID and the value columns in a result
    for (;;) {
        // The next cards after the last one written, by number.
        const QByteArray sql = contacts().matchingAll(QList<QByteArray>(conditions) << "ID > " + QByteArray::number(last))
            + " ORDER BY ID LIMIT " + QByteArray::number(kBatch);
        const auto rows = db.Query(sql);
        if (rows->RowCount() == 0)
            break;
        if (positions.isEmpty()) {
            positions << rows->ColumnIndex(QStringLiteral("ID"));
            for (const QByteArray& column : contacts().valueColumns())
                positions << rows->ColumnIndex(QString::fromLatin1(column));
        }
        chunk.clear();
        for (rows->First(); !rows->AtEnd(); rows->Next()) {
            for (int c = 0; c < values; ++c)
                card[c] = rows->BlobTextAt(positions[c + 1]);
            if (csv)
                ContactWriters::appendCsvRow(chunk, card, separator);
            else
                ContactWriters::appendVCard(chunk, card,
                    format == Format::VCard4 ? ContactWriters::VCardVersion::V4 : ContactWriters::VCardVersion::V3);
            last = rows->IntegerAt(positions[0]);
            ++done;
        }
        if (file.write(chunk) != chunk.size())
            return file.errorString();
        if (progress)
            progress(done, total);
    }
    if (!file.flush())
        return file.errorString();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (written)
        *written = done;
    return {};
}
