#include "accessories/data_backup.h"

#include "archives/archive_registry.h"
#include "mail/delivery_journal.h"
#include "mail/opt_out.h"
#include "storage/app_paths.h"
#include "storage/ini_file.h"
#include "storage/sqlite_backup.h"
#include "storage/sqlite_table3.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <nettle/sha2.h>
#include <zip.h>

#include <memory>

namespace {

using namespace DataBackup;

constexpr qint64 kChunk = 1 << 20;
constexpr qint64 kMaxManifestBytes = 1 << 20;
const QString kProgram = QStringLiteral("Velmaro");

// SHA-256 in hexadecimal, fed a piece at a time.
class Sha256 {
public:
    Sha256() { sha256_init(&ctx_); }
    void add(const char* data, qint64 size) { sha256_update(&ctx_, size_t(size), reinterpret_cast<const uint8_t*>(data)); }
    QByteArray hex()
    {
        QByteArray digest(SHA256_DIGEST_SIZE, Qt::Uninitialized);
        sha256_digest(&ctx_, SHA256_DIGEST_SIZE, reinterpret_cast<uint8_t*>(digest.data()));
        return digest.toHex();
    }

private:
    sha256_ctx ctx_;
};

QByteArray sha256Of(const QString& path, qint64* size)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    Sha256 hash;
    QByteArray chunk;
    while (!(chunk = f.read(kChunk)).isEmpty())
        hash.add(chunk.constData(), chunk.size());
    *size = f.size();
    return hash.hex();
}

QString zipError(zip_t* zip) { return QString::fromLocal8Bit(zip_strerror(zip)); }

QString codeError(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&e));
    zip_error_fini(&e);
    return text;
}

struct ZipCloser {
    void operator()(zip_t* z) const
    {
        if (z)
            zip_discard(z);
    }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// The bytes of the whole job, for one progress bar: every file counts once
// when copied and once when packed or checked.
struct Meter {
    Progress progress;
    qint64 total = 0;
    qint64 done = 0;
    bool stopped = false;
    bool step(qint64 bytes)
    {
        done += bytes;
        if (progress && !progress(std::min(done, total), total))
            stopped = true;
        return !stopped;
    }
};

const QString kStopped = QStringLiteral("operazione interrotta.");

// Copies one file aside or back: a database through SQLite (consistent
// while it is open elsewhere), a damaged one or a text as plain bytes.
void copyFile(const File& f, const QString& from, const QString& to)
{
    if (f.kind == File::Kind::Database) {
        try {
            SQLiteBackup::copy(from, to);
            return;
        } catch (const ESQLiteException&) {
            // A file SQLite cannot read is copied as it is.
        }
    }
    QFile::remove(to);
    if (!QFile::copy(from, to))
        throw ESQLiteException(QStringLiteral("impossibile copiare \u00ab%1\u00bb").arg(QFileInfo(from).fileName()));
}

// Puts a checked file in place of the live one.
void replaceFile(const File& f, const QString& checked, const QString& live)
{
    if (f.kind == File::Kind::Database && QFileInfo::exists(live)) {
        try {
            // Into the file itself: the program's own connections see the
            // restored content at their next statement.
            SQLiteBackup::copy(checked, live);
            return;
        } catch (const ESQLiteException&) {
            // A live file SQLite cannot read is replaced whole below.
        }
    }
    QFile in(checked);
    QSaveFile out(live);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        throw ESQLiteException(out.errorString());
    while (!in.atEnd())
        if (out.write(in.read(kChunk)) < 0)
            throw ESQLiteException(out.errorString());
    if (f.ownerOnly)
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!out.commit())
        throw ESQLiteException(out.errorString());
    // SQLite's journal or write-ahead log of the file it replaces would
    // belong to another file.
    for (const char* side : { "-journal", "-wal", "-shm" })
        QFile::remove(live + QLatin1String(side));
}

} // namespace

const QList<File>& DataBackup::files()
{
    static const QList<File> list = [] {
        QList<File> l;
        for (const ArchiveDefinition* a : Archives::all())
            l << File { a->fileName, File::Kind::Database, { a->table }, false };
        // The delivery journal and the opt-out list, when there are any.
        l << File { QString::fromLatin1(DeliveryJournal::kFileName), File::Kind::Database,
            { QByteArrayLiteral("invii"), QByteArrayLiteral("destinatari") }, false };
        l << File { OptOutList::fileName(), File::Kind::Database, { QByteArrayLiteral("esclusi") }, false };
        l << File { QStringLiteral("Messaggi.ini"), File::Kind::Text, {}, false };
        l << File { QStringLiteral("unins000.dll"), File::Kind::Text, {}, true };
        return l;
    }();
    return list;
}

const File* DataBackup::fileNamed(const QString& name)
{
    for (const File& f : files())
        if (f.name == name)
            return &f;
    return nullptr;
}

QByteArray Manifest::toJson() const
{
    QJsonArray list;
    for (const Entry& e : entries)
        list.append(QJsonObject { { "name", e.name }, { "size", e.size },
            { "sha256", QString::fromLatin1(e.sha256) } });
    const QJsonObject root { { "program", program }, { "version", version },
        { "created", created.toString(Qt::ISODateWithMs) }, { "files", list } };
    return QJsonDocument(root).toJson();
}

bool Manifest::fromJson(const QByteArray& json, Manifest& out)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject root = doc.object();
    out = Manifest();
    out.program = root.value("program").toString();
    out.version = root.value("version").toString();
    out.created = QDateTime::fromString(root.value("created").toString(), Qt::ISODateWithMs);
    for (const QJsonValue& v : root.value("files").toArray()) {
        const QJsonObject o = v.toObject();
        out.entries.append({ o.value("name").toString(), qint64(o.value("size").toDouble(-1)),
            o.value("sha256").toString().toLatin1() });
    }
    return out.program == kProgram && out.created.isValid() && !out.entries.isEmpty();
}

Created DataBackup::create(const QString& path, const QString& work, const QString& version, const Progress& progress)
{
    Created result;
    Meter meter { progress };
    QList<const File*> present;
    for (const File& f : files()) {
        const QFileInfo info(AppPaths::beside(f.name));
        if (info.isFile()) {
            present << &f;
            meter.total += 2 * info.size();
        }
    }
    if (present.isEmpty()) {
        result.error = QStringLiteral("Nella cartella dei dati non c'è nessun archivio da copiare.");
        return result;
    }
    result.manifest.program = kProgram;
    result.manifest.version = version;
    result.manifest.created = QDateTime::currentDateTime();
    QDir().mkpath(work);
    try {
        for (const File* f : present) {
            const QString copy = QDir(work).filePath(f->name);
            QFile::remove(copy);
            if (f->kind == File::Kind::Database) {
                qint64 counted = 0;
                const qint64 size = QFileInfo(AppPaths::beside(f->name)).size();
                SQLiteBackup::copy(AppPaths::beside(f->name), copy, [&](qint64 done, qint64 total) {
                    const qint64 now = total > 0 ? size * done / total : 0;
                    meter.step(now - counted);
                    counted = now;
                });
            } else if (!QFile::copy(AppPaths::beside(f->name), copy)) {
                throw ESQLiteException(QStringLiteral("impossibile leggere \u00ab%1\u00bb").arg(f->name));
            } else {
                meter.step(QFileInfo(copy).size());
            }
            if (meter.stopped) {
                result.error = kStopped;
                return result;
            }
            Manifest::Entry e { f->name, 0, {} };
            e.sha256 = sha256Of(copy, &e.size);
            result.manifest.entries << e;
        }
    } catch (const ESQLiteException& e) {
        result.error = QString::fromUtf8(e.what());
        return result;
    }

    int code = 0;
    Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!zip) {
        result.error = codeError(code);
        return result;
    }
    const QByteArray manifest = result.manifest.toJson();
    zip_source_t* m = zip_source_buffer(zip.get(), manifest.constData(), zip_uint64_t(manifest.size()), 0);
    if (!m || zip_file_add(zip.get(), kManifestName, m, ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(m);
        result.error = zipError(zip.get());
        return result;
    }
    for (const Manifest::Entry& e : result.manifest.entries) {
        zip_source_t* s = zip_source_file(zip.get(), QFile::encodeName(QDir(work).filePath(e.name)).constData(), 0, -1);
        const zip_int64_t index = s ? zip_file_add(zip.get(), e.name.toUtf8().constData(), s, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(s);
            result.error = zipError(zip.get());
            return result;
        }
        // Quick compression: archives shrink well at the lowest level.
        zip_set_file_compression(zip.get(), zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    zip_register_progress_callback_with_state(
        zip.get(), 0.001,
        [](zip_t*, double fraction, void* state) {
            auto* m = static_cast<Meter*>(state);
            const qint64 at = qint64(fraction * double(m->total - m->done)) + m->done;
            if (m->progress && !m->progress(std::min(at, m->total), m->total))
                m->stopped = true;
        },
        nullptr, &meter);
    zip_register_cancel_callback_with_state(
        zip.get(), [](zip_t*, void* state) { return static_cast<Meter*>(state)->stopped ? 1 : 0; }, nullptr, &meter);
    if (zip_close(zip.get()) != 0) {
        result.error = meter.stopped ? kStopped : zipError(zip.get());
        return result;
    }
    (void)zip.release();
    return result;
}

Checked DataBackup::check(const QString& path, const QString& work, const Progress& progress)
{
    Checked result;
    const QString name = QFileInfo(path).fileName();
    const auto refuse = [&](const QString& why) {
        result.error = QStringLiteral("Il file \u00ab%1\u00bb non può essere ripristinato: %2").arg(name, why);
        return result;
    };
    int code = 0;
    Zip zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!zip)
        return refuse(QStringLiteral("non è una copia di sicurezza leggibile (%1).").arg(codeError(code)));

    // The manifest says what the backup holds.
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat(zip.get(), kManifestName, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || st.size > kMaxManifestBytes)
        return refuse(QStringLiteral("non è una copia di sicurezza di Velmaro (manca l'elenco dei file)."));
    QByteArray json(qsizetype(st.size), Qt::Uninitialized);
    zip_file_t* mf = zip_fopen(zip.get(), kManifestName, 0);
    const zip_int64_t read = mf ? zip_fread(mf, json.data(), st.size) : -1;
    if (mf)
        zip_fclose(mf);
    if (read != zip_int64_t(st.size) || !Manifest::fromJson(json, result.manifest))
        return refuse(QStringLiteral("l'elenco dei file della copia è illeggibile."));

    Meter meter { progress };
    bool hasArchive = false;
    for (const Manifest::Entry& e : result.manifest.entries) {
        const File* f = fileNamed(e.name);
        // Only files the program keeps, each once: no other name reaches the disk.
        if (!f || std::count_if(result.manifest.entries.cbegin(), result.manifest.entries.cend(),
                      [&](const Manifest::Entry& o) { return o.name == e.name; })
                > 1)
            return refuse(QStringLiteral("contiene un file sconosciuto (\u00ab%1\u00bb).").arg(e.name));
        hasArchive = hasArchive || f->kind == File::Kind::Database;
        meter.total += e.size;
    }
    if (!hasArchive)
        return refuse(QStringLiteral("non contiene nessun archivio."));

    QDir().mkpath(work);
    result.folder = work;
    std::unique_ptr<char[]> buffer(new char[size_t(kChunk)]);
    for (const Manifest::Entry& e : result.manifest.entries) {
        const QString out = QDir(work).filePath(e.name);
        QFile file(out);
        zip_file_t* in = zip_fopen(zip.get(), e.name.toUtf8().constData(), 0);
        if (!in)
            return refuse(QStringLiteral("manca il file \u00ab%1\u00bb.").arg(e.name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            zip_fclose(in);
            return refuse(file.errorString());
        }
        Sha256 hash;
        qint64 size = 0;
        zip_int64_t n = 0;
        while ((n = zip_fread(in, buffer.get(), zip_uint64_t(kChunk))) > 0) {
            hash.add(buffer.get(), n);
            size += n;
            if (file.write(buffer.get(), n) != n || !meter.step(n))
                break;
        }
        zip_fclose(in);
        file.close();
        if (meter.stopped)
            return refuse(kStopped);
        if (n < 0 || size != e.size || hash.hex() != e.sha256)
            return refuse(QStringLiteral("il file \u00ab%1\u00bb è danneggiato (non corrisponde a quello copiato).")
                              .arg(e.name));
        const File* f = fileNamed(e.name);
        if (f->kind != File::Kind::Database)
            continue;
        try {
            TSQLiteDatabase db(out);
            // PRAGMA integrity_check: one row "ok", or a row per problem.
            const auto problems = db.Query("SELECT count(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'");
            if (problems->IntegerAt(0) != 0)
                return refuse(QStringLiteral("l'archivio \u00ab%1\u00bb è danneggiato.").arg(e.name));
            for (const QByteArray& table : f->tables)
                if (!db.HasTable(table))
                    return refuse(QStringLiteral("nell'archivio \u00ab%1\u00bb manca la tabella \u00ab%2\u00bb.")
                                      .arg(e.name, QString::fromLatin1(table)));
        } catch (const ESQLiteException&) {
            return refuse(QStringLiteral("l'archivio \u00ab%1\u00bb è danneggiato.").arg(e.name));
        }
    }
    return result;
}

QString DataBackup::restore(const Checked& checked, const QString& aside, const Progress& progress)
{
    if (!checked.error.isEmpty())
        return checked.error;
    Meter meter { progress };
    for (const Manifest::Entry& e : checked.manifest.entries)
        meter.total += e.size;
    QList<std::pair<const File*, bool>> replaced; // and whether a file was there before
    QString failure;
    try {
        QDir().mkpath(aside);
        for (const Manifest::Entry& e : checked.manifest.entries) {
            const File* f = fileNamed(e.name);
            const QString live = AppPaths::beside(e.name);
            const bool existed = QFileInfo::exists(live);
            if (existed)
                copyFile(*f, live, QDir(aside).filePath(e.name));
            replaced << std::pair { f, existed };
            replaceFile(*f, QDir(checked.folder).filePath(e.name), live);
            meter.step(e.size);
        }
        return {};
    } catch (const ESQLiteException& e) {
        failure = QString::fromUtf8(e.what());
    }
    // Everything as it was before: the files kept aside go back.
    for (const auto& [f, existed] : replaced) {
        try {
            if (existed)
                replaceFile(*f, QDir(aside).filePath(f->name), AppPaths::beside(f->name));
            else
                QFile::remove(AppPaths::beside(f->name));
        } catch (const ESQLiteException&) {
            failure += QStringLiteral(" Il file \u00ab%1\u00bb non è stato rimesso com'era: la copia è in \u00ab%2\u00bb.")
                           .arg(f->name, QDir::toNativeSeparators(aside));
        }
    }
    return QStringLiteral("Il ripristino non è riuscito e i dati sono rimasti quelli di prima: %1").arg(failure);
}

bool DataBackup::reminderDue(const QDateTime& lastBackup, int days, const QDateTime& now)
{
    if (days <= 0)
        return false;
    return !lastBackup.isValid() || lastBackup.daysTo(now) >= days;
}

namespace {
const QString kSection = QStringLiteral("Copia di sicurezza");
const QString kLast = QStringLiteral("Ultima");
const QString kDays = QStringLiteral("Promemoria giorni");
IniFile settingsFile() { return IniFile(AppPaths::beside(QStringLiteral("Messaggi.ini"))); }
} // namespace

DataBackup::Settings DataBackup::settings()
{
    Settings s;
    try {
        const IniFile ini = settingsFile();
        s.last = QDateTime::fromString(ini.read(kSection, kLast), Qt::ISODate);
        bool ok = false;
        const int days = ini.read(kSection, kDays).toInt(&ok);
        if (ok && days >= 0)
            s.days = days;
    } catch (const IniFileError&) {
        // As if never set.
    }
    return s;
}

void DataBackup::setLastBackup(const QDateTime& when)
{
    settingsFile().write(kSection, kLast, when.toString(Qt::ISODate));
}

void DataBackup::setReminderDays(int days) { settingsFile().write(kSection, kDays, QString::number(days)); }

bool DataBackup::hasData()
{
    for (const File& f : files())
        if (f.kind == File::Kind::Database && QFileInfo(AppPaths::beside(f.name)).size() > 0)
            return true;
    return false;
}
