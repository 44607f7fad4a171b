#include "contacts/import/contact_import.h"

#include "archives/archive_registry.h"
#include "archives/card_rules.h"
#include "storage/card_text.h"
#include "storage/win1252.h"

#include <memory>
#include <vector>

namespace {

const ArchiveDefinition& archive() { return Archives::get(ArchiveKind::Contacts); }
const CardArchive& contacts() { return Archives::card(ArchiveKind::Contacts); }

// Duplicates are told by the contact's address.
const QString kEmailControl = QStringLiteral("txtEmail");

QString emailKey(const QString& email) { return email.trimmed().toLower(); }

bool stored(const ImportRow& row, bool includeDuplicates)
{
    return row.status == ImportRow::Status::Ready
        || (includeDuplicates && row.status == ImportRow::Status::Duplicate);
}

// Most values hold neither ';' nor '"': they are not copied.
QString storedText(const QString& text)
{
    if (text.isEmpty())
        return text;
    return text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) ? CardRules::stored(text)
                                                                              : CardText::trimmed(text);
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

namespace {

quint64 fnv1a(QStringView key)
{
    // FNV-1a over the UTF-16 units of the compared form, then a final mix.
    quint64 h = 0xcbf29ce484222325ULL;
    for (const QChar c : key) {
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

} // namespace

quint64 EmailSet::fingerprint(const QString& email) { return fnv1a(emailKey(email)); }

std::optional<quint64> EmailSet::key(QStringView email)
{
    // Trimmed as QString::trimmed() does; an address of ASCII alone (nearly
    // all of them) is made lower case in place, without a copy.
    qsizetype begin = 0;
    qsizetype end = email.size();
    while (begin < end && email[begin].isSpace())
        ++begin;
    while (end > begin && email[end - 1].isSpace())
        --end;
    if (begin == end)
        return std::nullopt;
    const QStringView t = email.sliced(begin, end - begin);
    char16_t lower[256];
    if (t.size() <= qsizetype(std::size(lower))) {
        bool ascii = true;
        for (qsizetype i = 0; i < t.size() && ascii; ++i) {
            const char16_t c = t[i].unicode();
            ascii = c < 0x80;
            lower[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        }
        if (ascii)
            return fnv1a(QStringView(lower, t.size()));
    }
    return fnv1a(t.toString().toLower());
}

bool EmailSet::insert(std::optional<quint64> key)
{
    if (!key)
        return false;
    set_.insert(*key);
    return true;
}

EmailSet ContactImport::existingEmails(TSQLiteDatabase& db)
{
    // One row at a time: a large archive is never held whole.
    EmailSet out;
    const auto stmt = db.Prepare("select " + archive().columnOf(kEmailControl).name + " from " + contacts().table() + ";");
    while (stmt->Step())
        out.insert(Cp1252::decode(stmt->BytesAt(0)));
    return out;
}

ImportRow ContactImport::judge(const ImportedContact& c)
{
    const ArchiveDefinition& a = archive();
    const CardRules rules(a);
    ImportRow row;
    row.line = c.line;
    row.problems = c.problems;
    row.texts.resize(a.columns.size());
    for (qsizetype i = 0; i < c.fields.size() && i < row.texts.size(); ++i)
        row.texts[i] = storedText(c.fields[i]);
    int missing = -1;
    if (const auto refused = rules.encode(row.texts, row.values)) {
        row.status = ImportRow::Status::NotStorable;
        row.reason = rules.reason(*refused);
    } else if ((missing = rules.missingRequired(row.texts)) >= 0) {
        row.status = ImportRow::Status::MissingRequired;
        row.reason = a.required[missing].missing;
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

// What is scrubbed into a blank, and trimmed at the ends like one.
bool blankOnceStored(QChar c) { return c.unicode() <= 32 || c == u';' || c == u'"'; }

// The part of a text that storing keeps: without what scrubbing and
// trimming take away at its ends.
QStringView storedPart(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blankOnceStored(text[begin]))
        ++begin;
    while (end > begin && blankOnceStored(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace

ImportRow::Status ContactImport::verdict(const ImportedContact& c, QString* email)
{
    static const int mail = archive().indexOf(kEmailControl);
    static const QList<int> required = [] {
        QList<int> r;
        for (const auto& field : archive().required)
            r << archive().indexOf(field.control);
        return r;
    }();
    for (const QString& v : c.fields)
        if (!storable(storedPart(v)))
            return ImportRow::Status::NotStorable;
    *email = storedText(c.fields.value(mail));
    for (int column : required)
        if (storedPart(c.fields.value(column)).isEmpty())
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
    const int email = archive().indexOf(kEmailControl);
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
    // On any failure, the prepared insert's included, nothing is stored and
    // the connection is left outside any transaction.
    SQLiteTransaction transaction(db);
    {
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
        outcome.added = done;
    }
    transaction.Commit();
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
