#include "mail/opt_out.h"

#include "mail/mime_message.h"
#include "storage/app_paths.h"
#include "storage/card_archive.h"
#include "storage/sqlite_table3.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

constexpr const char* kTimeFormat = "yyyy-MM-dd HH:mm:ss";
// Statements naming many addresses are cut into pieces of this many.
constexpr qsizetype kChunk = 500;

QByteArray literal(const QString& text) { return CardArchive::literal(text.toUtf8()); }

// Notes come from a one-line field or a paste: line breaks and other control
// characters become blanks (a NUL would also cut the statement short).
QString oneLine(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return out.trimmed();
}

std::unique_ptr<TSQLiteDatabase> openList(const QString& path)
{
    auto db = std::make_unique<TSQLiteDatabase>(path);
    db->Execute("CREATE TABLE IF NOT EXISTS esclusi (indirizzo TEXT PRIMARY KEY, aggiunto TEXT NOT NULL, "
                "nota TEXT NOT NULL DEFAULT '') WITHOUT ROWID;");
    return db;
}

// The result table hands over text as the bytes of a blob.
QByteArray asBytes(const char* column) { return QByteArray("CAST(") + column + " AS BLOB)"; }

int rowCount(TSQLiteDatabase& db) { return int(db.Query("SELECT count(*) FROM esclusi;")->IntegerAt(0)); }

// "indirizzo IN ('a','b',...)" for one chunk of keys.
QByteArray inList(const QStringList& keys, qsizetype from)
{
    QByteArray sql = "indirizzo IN (";
    const qsizetype to = std::min(keys.size(), from + kChunk);
    for (qsizetype i = from; i < to; ++i)
        sql += (i > from ? "," : "") + literal(keys[i]);
    return sql + ")";
}

QStringList compareForms(const QStringList& addresses)
{
    QStringList keys;
    keys.reserve(addresses.size());
    for (const QString& a : addresses) {
        const QString key = MimeMail::addressKey(a);
        if (!key.isEmpty())
            keys << key;
    }
    return keys;
}

} // namespace

QString OptOutList::fileName() { return QStringLiteral("Esclusioni.db"); }

OptOutList::OptOutList()
    : path_(AppPaths::beside(fileName()))
{ }

OptOutList::OptOutList(QString path)
    : path_(std::move(path))
{ }

QList<OptOutList::Entry> OptOutList::entries(const QString& filter) const
{
    // Looking leaves no file behind; the first address added makes it.
    if (!QFile::exists(path_))
        return {};
    const auto db = openList(path_);
    const auto rows = db->Query("SELECT " + asBytes("indirizzo") + ", " + asBytes("aggiunto") + ", " + asBytes("nota")
        + " FROM esclusi ORDER BY indirizzo;");
    QList<Entry> out;
    out.reserve(rows->RowCount());
    const QString wanted = filter.trimmed();
    for (bool more = rows->First(); more && !rows->AtEnd(); more = rows->Next()) {
        Entry e { QString::fromUtf8(rows->BlobTextAt(0)),
            QDateTime::fromString(QString::fromUtf8(rows->BlobTextAt(1)), QLatin1String(kTimeFormat)),
            QString::fromUtf8(rows->BlobTextAt(2)) };
        if (wanted.isEmpty() || e.address.contains(wanted, Qt::CaseInsensitive)
            || e.note.contains(wanted, Qt::CaseInsensitive))
            out << std::move(e);
    }
    return out;
}

int OptOutList::count() const
{
    if (!QFile::exists(path_))
        return 0;
    const auto db = openList(path_);
    return rowCount(*db);
}

int OptOutList::add(const QStringList& addresses, const QString& note, const QDateTime& when)
{
    const QStringList keys = compareForms(addresses);
    const auto db = openList(path_);
    const int before = rowCount(*db);
    const QByteArray tail
        = "," + literal(when.toString(QLatin1String(kTimeFormat))) + "," + literal(oneLine(note)) + ");";
    db->StartTransaction();
    for (const QString& key : keys)
        db->Execute("INSERT OR IGNORE INTO esclusi (indirizzo, aggiunto, nota) VALUES (" + literal(key) + tail);
    db->CommitTransaction();
    return rowCount(*db) - before;
}

int OptOutList::remove(const QStringList& addresses)
{
    const QStringList keys = compareForms(addresses);
    const auto db = openList(path_);
    const int before = rowCount(*db);
    db->StartTransaction();
    for (qsizetype i = 0; i < keys.size(); i += kChunk)
        db->Execute("DELETE FROM esclusi WHERE " + inList(keys, i) + ";");
    db->CommitTransaction();
    return before - rowCount(*db);
}

QStringList OptOutList::listed(const QStringList& addresses) const
{
    const QStringList keys = compareForms(addresses);
    const QSet<QString> found = listedKeys(QSet<QString>(keys.cbegin(), keys.cend()));
    QStringList out;
    for (const QString& a : addresses)
        if (found.contains(MimeMail::addressKey(a)))
            out << a;
    return out;
}

QSet<QString> OptOutList::listedKeys(const QSet<QString>& wanted) const
{
    QSet<QString> found;
    if (wanted.isEmpty() || !QFile::exists(path_))
        return found;
    TSQLiteDatabase db(path_);
    if (!db.HasTable("esclusi"))
        return found;
    const QStringList keys(wanted.cbegin(), wanted.cend());
    for (qsizetype i = 0; i < keys.size(); i += kChunk) {
        const auto rows = db.Query("SELECT " + asBytes("indirizzo") + " FROM esclusi WHERE " + inList(keys, i) + ";");
        for (bool more = rows->First(); more && !rows->AtEnd(); more = rows->Next())
            found.insert(QString::fromUtf8(rows->BlobTextAt(0)));
    }
    return found;
}

QSet<QString> OptOutList::keys() const
{
    QSet<QString> out;
    if (!QFile::exists(path_))
        return out;
    TSQLiteDatabase db(path_);
    if (!db.HasTable("esclusi"))
        return out;
    const auto rows = db.Query("SELECT " + asBytes("indirizzo") + " FROM esclusi;");
    out.reserve(rows->RowCount());
    for (bool more = rows->First(); more && !rows->AtEnd(); more = rows->Next())
        out.insert(QString::fromUtf8(rows->BlobTextAt(0)));
    return out;
}

OptOut::Parsed OptOut::parse(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\r\\n\\t\\x{2028}\\x{2029}]"));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    Parsed out;
    QSet<QString> seen;
    const auto take = [&](const QString& entry) {
        MimeMail::Mailbox box;
        if (!MimeMail::parseMailbox(entry, box))
            return false;
        const QString key = box.address.toLower();
        if (!seen.contains(key)) {
            seen.insert(key);
            out.addresses << key;
        }
        return true;
    };
    for (const QString& raw : text.split(separators, Qt::SkipEmptyParts)) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty() || take(entry))
            continue;
        // Addresses separated by blanks only, as some lists are written; an
        // entry holding none is reported whole.
        QStringList bad;
        const QStringList words = entry.split(blanks, Qt::SkipEmptyParts);
        for (const QString& word : words)
            if (!take(word))
                bad << word;
        out.rejected << (bad.size() == words.size() ? QStringList { entry } : bad);
    }
    return out;
}

QSet<QString> OptOut::keysOf(const QString& list)
{
    QSet<QString> out;
    for (const QString& entry : MimeMail::splitAddresses(list))
        out.insert(MimeMail::addressKey(entry));
    return out;
}

OptOut::Filtered OptOut::filter(const QString& list, const QSet<QString>& keys)
{
    Filtered out;
    if (keys.isEmpty()) {
        out.list = list;
        out.kept = int(MimeMail::splitAddresses(list).size());
        return out;
    }
    QStringList kept;
    for (const QString& entry : MimeMail::splitAddresses(list)) {
        if (keys.contains(MimeMail::addressKey(entry)))
            out.excluded << entry;
        else
            kept << entry;
    }
    out.kept = int(kept.size());
    out.list = out.excluded.isEmpty() ? list : kept.join(QLatin1Char(','));
    return out;
}
