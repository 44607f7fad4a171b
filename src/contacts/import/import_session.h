#pragma once

#include "contacts/import/contact_import.h"
#include "contacts/import/contact_mapping.h"
#include "contacts/import/csv_reader.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <functional>
#include <memory>

class TSQLiteDatabase;

// One contacts file on its way to the archive: read and judged a slice at a
// time, so a large file shows its first rows at once and can be left midway.
// Only the file's bytes and a few bytes per row are kept; a row's values are
// read again from the file when they are shown or stored, so memory stays a
// small multiple of the file whatever its rows look like, also while the
// mapping of the columns changes.
class ImportSession {
public:
    enum class Kind { VCard, Csv };

    // Files no contacts file comes near: row positions are 32-bit.
    static constexpr qint64 kMaxFileBytes = 0xFFFFFFFFLL;

    static bool looksLikeVCard(const QString& fileName, QByteArrayView bytes);
    // The session, or nullptr and in *refusal a plain Italian sentence saying
    // why the file cannot be a contacts file (too large, too many columns, a
    // heading row too long).
    static std::unique_ptr<ImportSession> open(const QString& fileName, QByteArray bytes, QString* refusal);
    // The refusal of a file too large to be read at all; empty when it is not.
    static QString sizeRefusal(const QString& fileName, qint64 size);

    Kind kind() const { return kind_; }
    const QString& encoding() const { return csv_.encoding; }
    const QStringList& headings() const { return csv_.headings; }
    const ContactMapping::Mapping& mapping() const { return mapping_; }
    // A new mapping: every row is judged again, from the first.
    void setMapping(const ContactMapping::Mapping& mapping);
    // The addresses already in the archive: judged again from the first row.
    void setExisting(EmailSet existing);

    // Reads and judges rows for about the given time; true once the whole
    // file has been judged.
    bool advance(int milliseconds);
    bool finished() const { return finished_; }
    qint64 bytesDone() const;
    qint64 bytesTotal() const { return bytes_.size(); }

    // Rows judged so far.
    qsizetype size() const { return qsizetype(rows_.size()); }
    int line(qsizetype row) const { return int(rows_[size_t(row)].line); }
    ImportRow::Status status(qsizetype row) const;
    int problemCount(qsizetype row) const { return rows_[size_t(row)].problems; }
    int count(ImportRow::Status status) const { return counts_[int(status)]; }
    // One row as it will be stored, read again from the file.
    ImportRow row(qsizetype row) const;

    // Stores the Ready rows, and the duplicates when asked, in one
    // transaction (rows judged so far; call when finished).
    ImportOutcome store(TSQLiteDatabase& db, bool includeDuplicates,
        const std::function<void(int done, int total)>& progress = {}) const;

private:
    enum class Verdict : quint8 { Ready, InArchive, EarlierInFile, MissingRequired, NotStorable };
    struct Row {
        quint32 offset;
        quint32 line;
        Verdict verdict;
        quint8 problems; // how many, up to 255
    };

    ImportSession(Kind kind, QByteArray bytes);
    void restart();
    ImportedContact read(const Row& row) const;
    bool readNext(ImportedContact& contact, Row& row);

    Kind kind_;
    QByteArray bytes_;
    CsvReader::Layout csv_;
    ContactMapping::Mapping mapping_;
    std::unique_ptr<ContactMapping::CsvPlan> plan_;
    EmailSet existing_;
    EmailSet seen_;
    // Grows a block at a time: never copied whole while a file is read.
    std::deque<Row> rows_;
    int counts_[4] = {};
    bool finished_ = false;
    std::unique_ptr<CsvReader::Stream> csvStream_;
    std::unique_ptr<VCardReader::Stream> vcardStream_;
};
