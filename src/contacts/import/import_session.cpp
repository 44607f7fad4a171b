#include "contacts/import/import_session.h"

#include "storage/card_archive.h"

#include <QElapsedTimer>
#include <QFileInfo>

bool ImportSession::looksLikeVCard(const QString& fileName, QByteArrayView bytes)
{
    if (QFileInfo(fileName).suffix().compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0)
        return true;
    QByteArrayView start = bytes.first(std::min<qsizetype>(bytes.size(), 64));
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.sliced(3);
    return start.trimmed().size() >= 11 && qstrnicmp(start.trimmed().data(), "BEGIN:VCARD", 11) == 0;
}

namespace {

QString intro(const QString& fileName)
{
    return QStringLiteral("Attenzione: il file \u00ab%1\u00bb non sembra un elenco di contatti: ")
        .arg(QFileInfo(fileName).fileName());
}

} // namespace

QString ImportSession::sizeRefusal(const QString& fileName, qint64 size)
{
    return size > kMaxFileBytes ? intro(fileName) + QStringLiteral("è più grande di 4 GB.") : QString();
}

std::unique_ptr<ImportSession> ImportSession::open(const QString& fileName, QByteArray bytes, QString* refusal)
{
    *refusal = sizeRefusal(fileName, bytes.size());
    if (!refusal->isEmpty())
        return nullptr;
    const Kind kind = looksLikeVCard(fileName, bytes) ? Kind::VCard : Kind::Csv;
    std::unique_ptr<ImportSession> s(new ImportSession(kind, std::move(bytes)));
    if (kind == Kind::Csv) {
        s->csv_ = CsvReader::layout(s->bytes_);
        if (!s->csv_.refusal.isEmpty()) {
            *refusal = intro(fileName) + s->csv_.refusal
                + QStringLiteral(", più di quanto esporti qualunque rubrica o programma di posta.");
            return nullptr;
        }
        s->mapping_ = ContactMapping::guessMapping(s->csv_.headings);
        s->plan_ = std::make_unique<ContactMapping::CsvPlan>(s->csv_.headings, s->mapping_);
    }
    s->restart();
    return s;
}

ImportSession::ImportSession(Kind kind, QByteArray bytes)
    : kind_(kind)
    , bytes_(std::move(bytes))
{
}

void ImportSession::setMapping(const ContactMapping::Mapping& mapping)
{
    mapping_ = mapping;
    plan_ = std::make_unique<ContactMapping::CsvPlan>(csv_.headings, mapping_);
    restart();
}

void ImportSession::setExisting(EmailSet existing)
{
    existing_ = std::move(existing);
    restart();
}

void ImportSession::restart()
{
    // The old rows go before the new ones are read: never both at once.
    std::deque<Row>().swap(rows_);
    seen_.clear();
    std::fill(std::begin(counts_), std::end(counts_), 0);
    finished_ = false;
    if (kind_ == Kind::Csv)
        csvStream_ = std::make_unique<CsvReader::Stream>(bytes_, csv_);
    else
        vcardStream_ = std::make_unique<VCardReader::Stream>(bytes_);
}

qint64 ImportSession::bytesDone() const
{
    if (finished_)
        return bytes_.size();
    return kind_ == Kind::Csv ? csvStream_->offset() : vcardStream_->offset();
}

bool ImportSession::readNext(ImportedContact& contact, Row& row)
{
    if (kind_ == Kind::Csv) {
        CsvRow r;
        if (!csvStream_->next(r))
            return false;
        row.offset = quint32(r.offset);
        row.line = quint32(r.line);
        contact = plan_->contact(r);
    } else {
        VCard card;
        if (!vcardStream_->next(card))
            return false;
        row.offset = quint32(card.offset);
        row.line = quint32(card.line);
        contact = ContactMapping::fromVCard(card);
    }
    row.problems = quint8(std::min<qsizetype>(contact.problems.size(), 255));
    return true;
}

ImportedContact ImportSession::read(const Row& row) const
{
    if (kind_ == Kind::Csv) {
        CsvReader::Stream stream(bytes_, csv_, row.offset, int(row.line));
        CsvRow r;
        stream.next(r);
        return plan_->contact(r);
    }
    VCardReader::Stream stream(bytes_, row.offset, int(row.line));
    VCard card;
    stream.next(card);
    return ContactMapping::fromVCard(card);
}

bool ImportSession::advance(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    ImportedContact contact;
    Row row {};
    while (!finished_) {
        if (!readNext(contact, row)) {
            finished_ = true;
            break;
        }
        QString address;
        const ImportRow::Status judged = ContactImport::verdict(contact, &address);
        const std::optional<quint64> key = EmailSet::key(address);
        switch (judged) {
        case ImportRow::Status::Ready:
            row.verdict = existing_.contains(key) ? Verdict::InArchive
                : seen_.contains(key)             ? Verdict::EarlierInFile
                                                  : Verdict::Ready;
            break;
        case ImportRow::Status::MissingRequired:
            row.verdict = Verdict::MissingRequired;
            break;
        default:
            row.verdict = Verdict::NotStorable;
            break;
        }
        // A refused row's address still counts for the rows below it.
        seen_.insert(key);
        rows_.push_back(row);
        ++counts_[int(status(size() - 1))];
        if ((rows_.size() & 63) == 0 && timer.elapsed() >= milliseconds)
            break;
    }
    return finished_;
}

ImportRow::Status ImportSession::status(qsizetype row) const
{
    switch (rows_[size_t(row)].verdict) {
    case Verdict::Ready:
        return ImportRow::Status::Ready;
    case Verdict::InArchive:
    case Verdict::EarlierInFile:
        return ImportRow::Status::Duplicate;
    case Verdict::MissingRequired:
        return ImportRow::Status::MissingRequired;
    case Verdict::NotStorable:
        break;
    }
    return ImportRow::Status::NotStorable;
}

ImportRow ImportSession::row(qsizetype i) const
{
    const Row& r = rows_[size_t(i)];
    ImportRow out = ContactImport::judge(read(r));
    if (r.verdict == Verdict::InArchive) {
        out.status = ImportRow::Status::Duplicate;
        out.reason = QStringLiteral("l'indirizzo e-mail è già in archivio");
    } else if (r.verdict == Verdict::EarlierInFile) {
        out.status = ImportRow::Status::Duplicate;
        out.reason = QStringLiteral("l'indirizzo e-mail compare già più sopra nel file");
    }
    return out;
}

ImportOutcome ImportSession::store(
    TSQLiteDatabase& db, bool includeDuplicates, const std::function<void(int done, int total)>& progress) const
{
    auto wanted = [includeDuplicates](const Row& r) {
        return r.verdict == Verdict::Ready
            || (includeDuplicates && (r.verdict == Verdict::InArchive || r.verdict == Verdict::EarlierInFile));
    };
    int total = 0;
    for (const Row& r : rows_)
        total += wanted(r) ? 1 : 0;
    size_t at = 0;
    ImportOutcome outcome = ContactImport::store(
        db, total,
        [&](QList<QByteArray>& values) {
            while (at < rows_.size() && !wanted(rows_[at]))
                ++at;
            if (at == rows_.size())
                return false;
            values = ContactImport::judge(read(rows_[at++])).values;
            return true;
        },
        progress);
    outcome.skipped = int(rows_.size()) - outcome.added;
    return outcome;
}
