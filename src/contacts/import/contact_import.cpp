#include "contacts/import/contact_import.h"

#include "storage/card_archive.h"
#include "storage/card_text.h"
#include "storage/win1252.h"

#include <sqlite3.h>

#include <memory>

namespace {

const CardArchive& contacts() { return CardArchive::of(ArchiveKind::Contacts); }

QString emailKey(const QString& email) { return email.trimmed().toLower(); }

// Most values hold neither ';' nor '"': they are not copied.
bool needsScrubbing(const QString& text)
{
    return text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"'));
}

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
            + QStringLiteral("\" : ") + Cp1252::decode(sqlite3_errmsg(db_.handle())));
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

quint64 EmailSet::fingerprint(const QString& email)
{
    // FNV-1a over the UTF-16 units of the compared form, then a final mix.
    quint64 h = 0xcbf29ce484222325ULL;
    for (const QChar c : emailKey(email)) {
        h ^= c.unicode();
        h *= 0x100000001b3ULL;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

bool EmailSet::insert(const QString& email)
{
    if (emailKey(email).isEmpty())
        return false;
    set_.insert(fingerprint(email));
    return true;
}

bool EmailSet::contains(const QString& email) const
{
    return !emailKey(email).isEmpty() && set_.contains(fingerprint(email));
}

EmailSet ContactImport::existingEmails(TSQLiteDatabase& db)
{
    // A few thousand at a time: a large archive is never held whole.
    EmailSet out;
    qint64 last = 0;
    for (;;) {
        auto table = db.Query("select ID, varEmail from " + contacts().table() + " where ID > "
            + QByteArray::number(last) + " order by ID limit 5000;");
        if (table->RowCount() == 0)
            return out;
        for (table->First(); !table->AtEnd(); table->Next()) {
            out.insert(Cp1252::decode(table->BlobTextAt(1)));
            last = table->IntegerAt(0);
        }
    }
}

ImportRow ContactImport::judge(const ImportedContact& c)
{
    const QList<QByteArray>& columns = ::contacts().valueColumns();
    ImportRow row;
    row.line = c.line;
    row.problems = c.problems;
    row.texts.resize(columns.size());
    for (qsizetype i = 0; i < c.fields.size() && i < columns.size(); ++i) {
        const QString& v = c.fields[i];
        if (!v.isEmpty())
            row.texts[i] = CardText::trimmed(needsScrubbing(v) ? CardText::scrubbed(v) : v);
    }
    row.values.resize(columns.size());
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString& text = row.texts[i];
        // A character Windows-1252 has no form for is refused, never
        // replaced; a NUL would end the statement.
        if (text.isEmpty() || (!text.contains(QChar(0)) && Cp1252::tryEncode(text, row.values[i])))
            continue;
        const QString refused = text.contains(QChar(0)) ? QStringLiteral("\u2400") : Cp1252::firstUnencodable(text);
        row.status = ImportRow::Status::NotStorable;
        row.reason = QStringLiteral("il carattere \u00ab%1\u00bb del campo \u00ab%2\u00bb non può essere "
                                    "salvato in archivio")
                         .arg(refused, ContactMapping::labelOf(columns[i]));
        row.values.clear();
        break;
    }
    if (row.status == ImportRow::Status::NotStorable)
        return row;
    if (row.texts.value(columns.indexOf("varContatto")).isEmpty()) {
        row.status = ImportRow::Status::MissingRequired;
        row.reason = QStringLiteral("manca il nome del contatto");
    } else if (row.texts.value(columns.indexOf("varEmail")).isEmpty()) {
        row.status = ImportRow::Status::MissingRequired;
        row.reason = QStringLiteral("manca l'indirizzo e-mail");
    }
    return row;
}

namespace {

// Which UTF-16 code units Windows-1252 has a byte for (NUL aside, which
// would end the statement), looked up instead of encoded.
const std::vector<bool>& encodableUnits()
{
    static const std::vector<bool> table = [] {
        std::vector<bool> t(0x10000, false);
        for (int b = 1; b < 256; ++b) {
            const QString c = Cp1252::decode(QByteArray(1, char(b)));
            if (c.size() == 1)
                t[c[0].unicode()] = true;
        }
        return t;
    }();
    return table;
}

bool storable(QStringView text)
{
    const auto& table = encodableUnits();
    for (const QChar c : text)
        if (!table[c.unicode()])
            return false;
    return true;
}

// Whether anything but blanks, control characters, ';' and '"' is left.
bool hasStoredText(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() > 32 && c != u';' && c != u'"')
            return true;
    return false;
}

} // namespace

ImportRow::Status ContactImport::verdict(const ImportedContact& c, QString* email)
{
    const CardArchive& a = ::contacts();
    static const qsizetype name = a.valueColumns().indexOf("varContatto");
    static const qsizetype mail = a.valueColumns().indexOf("varEmail");
    // Blanks and control characters at the ends are trimmed before storing.
    for (const QString& v : c.fields)
        if (!storable(CardText::trimmed(v)))
            return ImportRow::Status::NotStorable;
    const QString address = c.fields.value(mail);
    *email = address.isEmpty() ? QString() : CardText::trimmed(needsScrubbing(address) ? CardText::scrubbed(address) : address);
    if (!hasStoredText(c.fields.value(name)) || email->isEmpty())
        return ImportRow::Status::MissingRequired;
    return ImportRow::Status::Ready;
}

QString ContactImport::duplicateReason(const QString& email, const EmailSet& existing, EmailSet& seen)
{
    if (existing.contains(email))
        return QStringLiteral("l'indirizzo e-mail è già in archivio");
    if (seen.contains(email))
        return QStringLiteral("l'indirizzo e-mail compare già più sopra nel file");
    seen.insert(email);
    return {};
}

ImportPlan ContactImport::prepare(const QList<ImportedContact>& contacts, const EmailSet& existingEmails)
{
    const qsizetype email = ::contacts().valueColumns().indexOf("varEmail");
    ImportPlan plan;
    plan.rows.reserve(contacts.size());
    EmailSet seen;
    for (const ImportedContact& c : contacts) {
        ImportRow row = judge(c);
        const QString address = row.texts.value(email);
        if (row.status == ImportRow::Status::Ready) {
            row.reason = duplicateReason(address, existingEmails, seen);
            if (!row.reason.isEmpty())
                row.status = ImportRow::Status::Duplicate;
        } else {
            // A refused row's address still counts for the rows below it.
            seen.insert(address);
        }
        plan.rows << std::move(row);
    }
    return plan;
}

ImportOutcome ContactImport::store(TSQLiteDatabase& db, int total,
    const std::function<bool(QList<QByteArray>& values)>& next, const std::function<void(int done, int total)>& progress)
{
    ImportOutcome outcome;
    db.StartTransaction();
    try {
        int done = 0;
        BoundInsert insert(db);
        QList<QByteArray> values;
        while (next(values)) {
            insert.insert(values);
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
    return outcome;
}

ImportOutcome ContactImport::store(TSQLiteDatabase& db, const ImportPlan& plan, bool includeDuplicates,
    const std::function<void(int done, int total)>& progress)
{
    int total = 0;
    for (const ImportRow& r : plan.rows)
        total += stored(r, includeDuplicates) ? 1 : 0;
    qsizetype at = 0;
    ImportOutcome outcome = store(
        db, total,
        [&](QList<QByteArray>& values) {
            while (at < plan.rows.size() && !stored(plan.rows[at], includeDuplicates))
                ++at;
            if (at == plan.rows.size())
                return false;
            values = plan.rows[at++].values;
            return true;
        },
        progress);
    outcome.skipped = int(plan.rows.size()) - outcome.added;
    return outcome;
}
