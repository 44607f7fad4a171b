#include "contacts/import/contact_import.h"

#include "storage/card_archive.h"
#include "storage/card_text.h"
#include "storage/win1252.h"

#include <sqlite3.h>

#include <memory>

namespace {

const CardArchive& contacts() { return CardArchive::of(ArchiveKind::Contacts); }

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
        : db_(db)
    {
        const CardArchive& a = contacts();
        QByteArray sql = "INSERT INTO " + a.table() + " (ID," + a.valueColumns().join(',') + ",Ext) VALUES (NULL,";
        for (int i = 0; i < a.valueCount(); ++i)
            sql += "?,";
        sql += "'')";
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK) {
            sqlite3_finalize(raw);
            fail(sql);
        }
        stmt_.reset(raw);
    }

    void insert(const QList<QByteArray>& values)
    {
        for (int i = 0; i < values.size(); ++i)
            sqlite3_bind_text(stmt_.get(), i + 1, values[i].constData(), int(values[i].size()), SQLITE_STATIC);
        const int rc = sqlite3_step(stmt_.get());
        sqlite3_reset(stmt_.get());
        if (rc != SQLITE_DONE)
            fail(contacts().insert(values));
    }

private:
    [[noreturn]] void fail(const QByteArray& sql) const
    {
        throw ESQLiteException(QStringLiteral("Error executing SQL statement \"") + Cp1252::decode(sql)
                + QStringLiteral("\" : ") + Cp1252::decode(sqlite3_errmsg(db_.handle())),
            sqlite3_extended_errcode(db_.handle()));
    }

    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    TSQLiteDatabase& db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
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
    auto table = db.Query("select varEmail from " + contacts().table() + ";");
    out.reserve(table->RowCount());
    for (table->First(); !table->AtEnd(); table->Next())
        out.insert(emailKey(Cp1252::decode(table->BlobTextAt(0))));
    out.remove(QString());
    return out;
}

ImportPlan ContactImport::prepare(const QList<ImportedContact>& contacts, const QSet<QString>& existingEmails)
{
    const QList<QByteArray>& columns = ::contacts().valueColumns();
    ImportPlan plan;
    plan.rows.reserve(contacts.size());
    QSet<QString> seen;
    for (const ImportedContact& c : contacts) {
        ImportRow row;
        row.line = c.line;
        row.problems = c.problems;
        row.texts.reserve(columns.size());
        row.values.reserve(columns.size());
        for (const QByteArray& column : columns) {
            const QString text = CardText::trimmed(CardText::scrubbed(c.values.value(column)));
            row.texts << text;
            if (row.status == ImportRow::Status::NotStorable)
                continue;
            // A character Windows-1252 has no form for is refused, never
            // replaced; a NUL would end the statement.
            QString refused = Cp1252::firstUnencodable(text);
            if (text.contains(QChar(0)))
                refused = QStringLiteral("\u2400");
            QByteArray bytes;
            if (!refused.isEmpty() || !Cp1252::tryEncode(text, bytes)) {
                row.status = ImportRow::Status::NotStorable;
                row.reason = QStringLiteral("il carattere \u00ab%1\u00bb del campo \u00ab%2\u00bb non può essere "
                                            "salvato in archivio")
                                 .arg(refused, ContactMapping::labelOf(column));
                row.values.clear();
                continue;
            }
            row.values << bytes;
        }
        const QString name = row.texts.value(columns.indexOf("varContatto"));
        const QString email = row.texts.value(columns.indexOf("varEmail"));
        if (row.status == ImportRow::Status::NotStorable) {
            // reason already set
        } else if (name.isEmpty()) {
            row.status = ImportRow::Status::MissingRequired;
            row.reason = QStringLiteral("manca il nome del contatto");
        } else if (email.isEmpty()) {
            row.status = ImportRow::Status::MissingRequired;
            row.reason = QStringLiteral("manca l'indirizzo e-mail");
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
    // On any failure, the prepared insert's included, nothing is stored and
    // the connection is left outside any transaction.
    SQLiteTransaction transaction(db);
    {
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
        outcome.added = done;
    }
    transaction.Commit();
    outcome.skipped = int(plan.rows.size()) - outcome.added;
    return outcome;
}
