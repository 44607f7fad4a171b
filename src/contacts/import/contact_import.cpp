#include "contacts/import/contact_import.h"

#include "archives/archive_registry.h"
#include "archives/card_rules.h"
#include "storage/win1252.h"

#include <memory>

namespace {

const CardArchive& contacts() { return Archives::card(ArchiveKind::Contacts); }

// Duplicates are told by the contact's address.
const QString kEmailControl = QStringLiteral("txtEmail");

QString emailKey(const QString& email) { return email.trimmed().toLower(); }

bool stored(const ImportRow& row, bool includeDuplicates)
{
    return row.status == ImportRow::Status::Ready
        || (includeDuplicates && row.status == ImportRow::Status::Duplicate);
}

// The archive's insert with its values bound rather than written as literals:
// parsing one statement per card would cost many times the storing itself.
// Values go in as text, the storage class the literal form gives them.
class BoundInsert {
public:
    explicit BoundInsert(TSQLiteDatabase& db)
    {
        const CardArchive& a = contacts();
        QByteArray sql = "INSERT INTO " + a.table() + " (ID," + a.valueColumns().join(',') + ",Ext) VALUES (NULL,";
        for (int i = 0; i < a.valueCount(); ++i)
            sql += "?,";
        sql += "'')";
        stmt_ = db.Prepare(sql);
    }

    void insert(const QList<QByteArray>& values)
    {
        for (int i = 0; i < values.size(); ++i)
            stmt_->BindText(i + 1, values[i]);
        // A failure quotes the card's own insert, which says which card it was.
        stmt_->Step([&values] { return contacts().insert(values); });
        stmt_->Reset();
    }

private:
    std::unique_ptr<TSQLiteStatement> stmt_;
};

} // namespace

int ImportPlan::count(ImportRow::Status status) const
{
    int n = 0;
    for (const ImportRow& r : rows)
        n += r.status == status ? 1 : 0;
    return n;
}

QSet<QString> ContactImport::existingEmails(TSQLiteDatabase& db)
{
    QSet<QString> out;
    const QByteArray email = Archives::get(ArchiveKind::Contacts).columnOf(kEmailControl).name;
    auto table = db.Query("select " + email + " from " + contacts().table() + ";");
    out.reserve(table->RowCount());
    for (table->First(); !table->AtEnd(); table->Next())
        out.insert(emailKey(Cp1252::decode(table->BlobTextAt(0))));
    out.remove(QString());
    return out;
}

ImportPlan ContactImport::prepare(const QList<ImportedContact>& contacts, const QSet<QString>& existingEmails)
{
    const ArchiveDefinition& archive = Archives::get(ArchiveKind::Contacts);
    const CardRules rules(archive);
    const int emailColumn = archive.indexOf(kEmailControl);
    ImportPlan plan;
    plan.rows.reserve(contacts.size());
    QSet<QString> seen;
    for (const ImportedContact& c : contacts) {
        ImportRow row;
        row.line = c.line;
        row.problems = c.problems;
        row.texts.reserve(archive.columns.size());
        for (const auto& column : archive.columns)
            row.texts << CardRules::stored(c.values.value(column.name));
        const QString email = row.texts.value(emailColumn);
        int missing = -1;
        if (const auto refused = rules.encode(row.texts, row.values)) {
            row.status = ImportRow::Status::NotStorable;
            row.reason = rules.reason(*refused);
        } else if ((missing = rules.missingRequired(row.texts)) >= 0) {
            row.status = ImportRow::Status::MissingRequired;
            row.reason = archive.required[missing].missing;
        } else if (existingEmails.contains(emailKey(email))) {
            row.status = ImportRow::Status::Duplicate;
            row.reason = QStringLiteral("l'indirizzo e-mail è già in archivio");
        } else if (seen.contains(emailKey(email))) {
            row.status = ImportRow::Status::Duplicate;
            row.reason = QStringLiteral("l'indirizzo e-mail compare già più sopra nel file");
        }
        if (!email.isEmpty())
            seen.insert(emailKey(email));
        plan.rows << std::move(row);
    }
    return plan;
}

ImportOutcome ContactImport::store(TSQLiteDatabase& db, const ImportPlan& plan, bool includeDuplicates,
    const std::function<void(int done, int total)>& progress)
{
    ImportOutcome outcome;
    int total = 0;
    for (const ImportRow& r : plan.rows)
        total += stored(r, includeDuplicates) ? 1 : 0;
    db.StartTransaction();
    try {
        int done = 0;
        BoundInsert insert(db);
        for (const ImportRow& r : plan.rows) {
            if (!stored(r, includeDuplicates))
                continue;
            insert.insert(r.values);
            if (outcome.firstId == 0)
                outcome.firstId = qint32(db.LastInsertedRowId());
            ++done;
            if (progress && (done % 256 == 0 || done == total))
                progress(done, total);
        }
        db.CommitTransaction();
        outcome.added = done;
    } catch (...) {
        try {
            db.RollbackTransaction();
        } catch (...) {
            // The first failure is the one worth telling; closing the
            // connection ends the transaction anyway.
        }
        throw;
    }
    outcome.skipped = int(plan.rows.size()) - outcome.added;
    return outcome;
}
