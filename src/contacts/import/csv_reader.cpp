#include "contacts/import/csv_reader.h"

#include "storage/win1252.h"

#include <QStringDecoder>

#include <cstring>

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// Valid UTF-8 throughout, read in slices so that a large file is never held
// twice.
bool isValidUtf8(QByteArrayView bytes)
{
    constexpr qsizetype kSlice = 1 << 20;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = std::min(at + kSlice, bytes.size());
        // Slices end between characters, so each is judged on its own.
        for (int back = 0; back < 3 && end < bytes.size() && end > at
             && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
             ++back)
            --end;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8.decode(bytes.sliced(at, end - at));
        if (utf8.hasError())
            return false;
        at = end;
    }
    return true;
}

QString decode(const QByteArray& bytes, bool utf8)
{
    // A broken sequence after a byte order mark stays visible as U+FFFD.
    return utf8 ? QString::fromUtf8(bytes) : Cp1252::decode(bytes);
}

bool hasText(const QByteArray& bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) > 32)
            return true;
    return false;
}

struct RowLimits {
    qsizetype maxFields = 0;
    qsizetype maxBytes = -1; // the row is cut there; -1: no limit
};

// One row from pos on, blank lines skipped; false when none is left.
// Field bytes are copied in runs between the characters that matter.
bool parseRow(QByteArrayView b, qsizetype& pos, int& line, char sep, bool utf8, const RowLimits& limits,
    QByteArray& field, CsvRow& row, bool* cut = nullptr)
{
    row = CsvRow();
    row.line = line;
    row.offset = pos;
    field.clear();
    bool quoted = false;
    bool wasQuoted = false;
    bool rowStarted = false;
    qsizetype fields = 0;
    qsizetype extra = 0;
    bool extraHaveText = false;
    // A row cut at the limit ends there.
    const bool limited = limits.maxBytes >= 0 && b.size() - pos > limits.maxBytes;
    const qsizetype n = limited ? pos + limits.maxBytes + 1 : b.size();
    const char* d = b.data();
    auto endField = [&] {
        if (fields < limits.maxFields) {
            row.fields << decode(field, utf8);
        } else {
            ++extra;
            extraHaveText = extraHaveText || hasText(field);
        }
        ++fields;
        field.clear();
        wasQuoted = false;
    };
    auto finish = [&] {
        endField();
        if (extraHaveText)
            row.problems << QStringLiteral("%1 campi oltre le %2 colonne dell'intestazione, ignorati")
                                .arg(extra)
                                .arg(limits.maxFields);
        return true;
    };
    while (pos < n) {
        const char c = d[pos];
        if (quoted) {
            if (c == '"') {
                if (pos + 1 < n && d[pos + 1] == '"') {
                    field += '"';
                    pos += 2;
                } else {
                    quoted = false;
                    ++pos;
                }
                continue;
            }
            qsizetype end = pos;
            while (end < n && d[end] != '"') {
                if (d[end] == '\n' || (d[end] == '\r' && !(end + 1 < n && d[end + 1] == '\n')))
                    ++line;
                ++end;
            }
            field.append(d + pos, end - pos);
            pos = end;
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (c == '\r' && pos + 1 < n && d[pos + 1] == '\n')
                ++pos;
            ++pos;
            ++line;
            if (rowStarted)
                return finish();
            // A blank line is no row; a row of empty separators is one.
            row.line = line;
            row.offset = pos;
            field.clear();
            wasQuoted = false;
            continue;
        }
        rowStarted = true;
        if (c == sep) {
            endField();
            ++pos;
        } else if (c == '"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            ++pos;
        } else {
            // Text after a closing quote or a quote inside an unquoted field
            // is kept as it stands, as spreadsheets read it.
            qsizetype end = pos + 1;
            while (end < n && d[end] != sep && d[end] != '\r' && d[end] != '\n' && d[end] != '"')
                ++end;
            field.append(d + pos, end - pos);
            pos = end;
        }
    }
    if (limited) {
        if (cut)
            *cut = true;
        return finish();
    }
    if (quoted) {
        row.problems << QStringLiteral("virgolette non chiuse alla fine del file: il campo arriva fino in fondo");
        rowStarted = true;
    }
    if (rowStarted)
        return finish();
    return false;
}

} // namespace

QChar CsvReader::detectSeparator(QStringView text)
{
    qsizetype commas = 0;
    qsizetype semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        else if (c == u',')
            ++commas;
        else if (c == u';')
            ++semicolons;
    }
    return semicolons > commas ? QChar(u';') : QChar(u',');
}

CsvReader::Layout CsvReader::layout(QByteArrayView bytes)
{
    Layout l;
    qsizetype start = 0;
    if (bytes.startsWith(kBom)) {
        start = 3;
        l.utf8 = true;
    } else {
        l.utf8 = isValidUtf8(bytes);
    }
    l.encoding = l.utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252");
    // The separators and quotes are ASCII: the heading row's bytes tell.
    const QByteArrayView head = bytes.sliced(start, std::min(bytes.size() - start, kMaxHeadingBytes + 1));
    l.separator = detectSeparator(QString::fromLatin1(head));

    qsizetype pos = start;
    int line = 1;
    QByteArray field;
    CsvRow row;
    bool cut = false;
    if (parseRow(bytes, pos, line, char(l.separator.unicode()), l.utf8, { kMaxColumns + 1, kMaxHeadingBytes }, field,
            row, &cut)) {
        l.headings = std::move(row.fields);
        for (QString& h : l.headings)
            h = h.trimmed();
    }
    if (cut)
        l.refusal = QStringLiteral("la prima riga è lunga più di %1 KB").arg(kMaxHeadingBytes / 1024);
    else if (l.headings.size() > kMaxColumns)
        l.refusal = QStringLiteral("la prima riga ha più di %1 colonne").arg(kMaxColumns);
    if (!l.refusal.isEmpty())
        pos = bytes.size();
    l.firstRow = pos;
    l.firstLine = line;
    return l;
}

CsvReader::Stream::Stream(QByteArrayView bytes, const Layout& layout, qsizetype offset, int line)
    : bytes_(bytes)
    , layout_(layout)
    , pos_(offset)
    , line_(line)
{
}

CsvReader::Stream::Stream(QByteArrayView bytes, const Layout& layout)
    : Stream(bytes, layout, layout.firstRow, layout.firstLine)
{
}

bool CsvReader::Stream::next(CsvRow& row)
{
    return parseRow(bytes_, pos_, line_, char(layout_.separator.unicode()), layout_.utf8,
        { std::max<qsizetype>(layout_.headings.size(), 1), -1 }, field_, row);
}

CsvTable CsvReader::read(const QByteArray& bytes)
{
    const Layout l = layout(bytes);
    CsvTable table;
    table.separator = l.separator;
    table.encoding = l.encoding;
    table.headings = l.headings;
    Stream stream(bytes, l);
    CsvRow row;
    while (stream.next(row))
        table.rows << std::move(row);
    return table;
}
