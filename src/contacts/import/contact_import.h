#pragma once

#include "contacts/import/contact_mapping.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

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

namespace ContactImport {
// The e-mail addresses already in the archive, trimmed and lower case.
QSet<QString> existingEmails(TSQLiteDatabase& db);

ImportPlan prepare(const QList<ImportedContact>& contacts, const QSet<QString>& existingEmails);

// Stores the Ready rows (and the duplicates when asked) in one transaction:
// on any failure nothing is stored and the ESQLiteException goes on.
ImportOutcome store(TSQLiteDatabase& db, const ImportPlan& plan, bool includeDuplicates,
    const std::function<void(int done, int total)>& progress = {});
} // namespace ContactImport
