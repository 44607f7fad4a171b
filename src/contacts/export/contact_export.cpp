#include "contacts/export/contact_export.h"

#include "archives/archive_registry.h"
#include "contacts/export/contact_writers.h"
#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"

#include <QFile>

namespace {

const CardArchive& contacts() { return Archives::card(ArchiveKind::Contacts); }

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

    // One statement streams every card, by number, without a copy of the
    // whole result.
    const auto rows = db.Prepare(contacts().matchingAll(conditions, contacts().valueColumns()) + " ORDER BY ID");
    const int values = contacts().valueCount();
    const auto version = format == Format::VCard4 ? ContactWriters::VCardVersion::V4 : ContactWriters::VCardVersion::V3;
    QList<QByteArray> card(values);
    QByteArray chunk;
    int done = 0;
    const auto flush = [&] {
        const bool ok = file.write(chunk) == chunk.size();
        chunk.clear();
        if (progress)
            progress(done, total);
        return ok;
    };
    while (rows->Step()) {
        for (int c = 0; c < values; ++c)
            card[c] = rows->BytesAt(c + 1);
        if (csv)
            ContactWriters::appendCsvRow(chunk, card, separator);
        else
            ContactWriters::appendVCard(chunk, card, version);
        if (++done % 1000 == 0 && !flush())
            return file.errorString();
    }
    if (!flush())
        return file.errorString();
    if (!file.flush())
        return file.errorString();
    file.close();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    if (written)
        *written = done;
    return {};
}
