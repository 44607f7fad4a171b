#pragma once

#include "contacts/import/contact_mapping.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

class TSQLiteDatabase;

// A read contact on its way to the contacts archive, with the same rules the
// editor applies at Save: ';' and '"' scrubbed, blanks trimmed, Windows-1252
// only, name and e-mail required.
struct ImportRow {
    enum class Status { Ready, Duplicate, MissingRequired, NotStorable };
    int line = 0;
    Status status = Status::Ready;
    QString reason;          // why it is not Ready
    QStringList problems;    // what the reading noticed
    QList<QString> texts;    // the values as they will be stored, archive column order
    QList<QByteArray> values; // the same, encoded (filled unless NotStorable)
};

struct ImportPlan {
    QList<ImportRow> rows;
    int count(ImportRow::Status status) const;
};

struct ImportOutcome {
    int added = 0;
    int skipped = 0;
    qint32 firstId = 0; // the first added card, 0 when none
};

// E-mail addresses compared as the import does (trimmed, lower case), kept
// as 64-bit fingerprints: a large file or archive costs a few bytes per
// address, and two different addresses meet by chance about once in 10^19.
class EmailSet {
public:
    static quint64 fingerprint(const QString& email);
    // The fingerprint, worked out once for asking several sets; none for the
    // empty address, which is never a duplicate.
    static std::optional<quint64> key(QStringView email);
    // False for the empty address.
    bool insert(const QString& email) { return insert(key(email)); }
    bool insert(std::optional<quint64> key);
    bool contains(const QString& email) const { return contains(key(email)); }
    bool contains(std::optional<quint64> key) const { return key && set_.contains(*key); }
    qsizetype size() const { return set_.size(); }
    void clear() { set_.clear(); }

private:
    QSet<quint64> set_;
};

namespace ContactImport {
// The e-mail addresses already in the archive.
EmailSet existingEmails(TSQLiteDatabase& db);

// The Save rules on one read contact: stored texts and values, and whether
// it can be stored (Ready), lacks a required field or holds a character the
// archive cannot keep. Duplicates are the caller's to judge.
ImportRow judge(const ImportedContact& contact);
// The same judgement without the stored texts and values, for reading a
// large file quickly: the status, and in *email the address as it would be
// stored. Agrees with judge() on every contact.
ImportRow::Status verdict(const ImportedContact& contact, QString* email);
// Why a row with this e-mail is a duplicate; empty when it is none. A new
// address joins seen.
QString duplicateReason(const QString& email, const EmailSet& existing, EmailSet& seen);

ImportPlan prepare(const QList<ImportedContact>& contacts, const EmailSet& existingEmails);

// Stores the values next() hands over, until it returns false, in one
// transaction: on any failure nothing is stored and the ESQLiteException
// goes on. total is what progress counts towards.
ImportOutcome store(TSQLiteDatabase& db, int total, const std::function<bool(QList<QByteArray>& values)>& next,
    const std::function<void(int done, int total)>& progress = {});
// Stores the Ready rows of a plan (and the duplicates when asked).
ImportOutcome store(TSQLiteDatabase& db, const ImportPlan& plan, bool includeDuplicates,
    const std::function<void(int done, int total)>& progress = {});
} // namespace ContactImport
