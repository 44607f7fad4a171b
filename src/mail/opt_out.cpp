#include "mail/opt_out.h"

#include "mail/mime_message.h"
#include "storage/app_paths.h"
#include "storage/sqlite_table3.h"

#include <QFile>
#include <QRegularExpression>

#include <functional>
#include <memory>

namespace {

constexpr const char* kTimeFormat = "yyyy-MM-dd HH:mm:ss";

// Notes come from a one-line field or a paste: line breaks and other control
// characters become blanks.
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

// The list as it is, or nothing where there is none: reading never makes a
// file.
std::unique_ptr<TSQLiteDatabase> existingList(const QString& path)
{
    if (!QFile::exists(path))
        return nullptr;
    auto db = std::make_unique<TSQLiteDatabase>(path);
    return db->HasTable("esclusi") ? std::move(db) : nullptr;
}

int rowCount(TSQLiteDatabase& db) { return int(db.Query("SELECT count(*) FROM esclusi;")->IntegerAt(0)); }

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

// Runs one statement with the first parameter bound to each key in turn.
void forEachKey(TSQLiteStatement& statement, const QStringList& keys, const std::function<void()>& onRow = {})
{
    for (const QString& key : keys) {
        const QByteArray bytes = key.toUtf8();
        statement.BindText(1, bytes);
        while (statement.Step())
            if (onRow)
                onRow();
        statement.Reset();
    }
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
    QList<Entry> out;
    const auto db = existingList(path_);
    if (!db)
        return out;
    const QString wanted = filter.trimmed();
    const auto rows = db->Prepare("SELECT indirizzo, aggiunto, nota FROM esclusi ORDER BY indirizzo;");
    while (rows->Step()) {
        Entry e { QString::fromUtf8(rows->BytesAt(0)),
            QDateTime::fromString(QString::fromUtf8(rows->BytesAt(1)), QLatin1String(kTimeFormat)),
            QString::fromUtf8(rows->BytesAt(2)) };
        if (wanted.isEmpty() || e.address.contains(wanted, Qt::CaseInsensitive)
            || e.note.contains(wanted, Qt::CaseInsensitive))
            out << std::move(e);
    }
    return out;
}

int OptOutList::count() const
{
    const auto db = existingList(path_);
    return db ? rowCount(*db) : 0;
}

int OptOutList::add(const QStringList& addresses, const QString& note, const QDateTime& when)
{
    const auto db = openList(path_);
    const int before = rowCount(*db);
    const QByteArray time = when.toString(QLatin1String(kTimeFormat)).toUtf8();
    const QByteArray text = oneLine(note).toUtf8();
    db->StartTransaction();
    {
        const auto insert
            = db->Prepare("INSERT OR IGNORE INTO esclusi (indirizzo, aggiunto, nota) VALUES (?, ?, ?);");
        insert->BindText(2, time);
        insert->BindText(3, text);
        forEachKey(*insert, compareForms(addresses));
    }
    db->CommitTransaction();
    return rowCount(*db) - before;
}

int OptOutList::remove(const QStringList& addresses)
{
    const auto db = openList(path_);
    const int before = rowCount(*db);
    db->StartTransaction();
    {
        const auto remove = db->Prepare("DELETE FROM esclusi WHERE indirizzo = ?;");
        forEachKey(*remove, compareForms(addresses));
    }
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
    const auto db = wanted.isEmpty() ? nullptr : existingList(path_);
    if (!db)
        return found;
    const auto probe = db->Prepare("SELECT indirizzo FROM esclusi WHERE indirizzo = ?;");
    forEachKey(*probe, QStringList(wanted.cbegin(), wanted.cend()),
        [&] { found.insert(QString::fromUtf8(probe->BytesAt(0))); });
    return found;
}

QSet<QString> OptOutList::keys() const
{
    QSet<QString> out;
    const auto db = existingList(path_);
    if (!db)
        return out;
    const auto rows = db->Prepare("SELECT indirizzo FROM esclusi;");
    while (rows->Step())
        out.insert(QString::fromUtf8(rows->BytesAt(0)));
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
