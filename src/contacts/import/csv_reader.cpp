#include "contacts/import/csv_reader.h"

#include "contacts/import/text_decoding.h"

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

CsvTable CsvReader::read(const QByteArray& bytes)
{
    CsvTable table;
    const QString text = TextDecoding::decodeFile(bytes, &table.encoding);
    table.separator = detectSeparator(text);

    QList<CsvRow> rows;
    CsvRow row;
    QString field;
    bool quoted = false;       // inside a quoted field
    bool wasQuoted = false;    // the current field began with a quote
    bool rowStarted = false;   // something stands on the current row
    int line = 1;
    row.line = 1;
    auto endField = [&] {
        row.fields << field;
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        // A blank line is no row; a row of empty separators is one.
        if (rowStarted)
            rows << row;
        row = CsvRow();
        row.line = line;
        rowStarted = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                else if (c == u'\r' && !(i + 1 < n && text[i + 1] == u'\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            ++line;
            endRow();
            continue;
        }
        rowStarted = true;
        if (c == table.separator) {
            endField();
        } else if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
        } else {
            // Text after a closing quote or a quote inside an unquoted field
            // is kept as it stands, as spreadsheets read it.
            field += c;
        }
    }
    if (quoted) {
        row.problems << QStringLiteral("virgolette non chiuse alla fine del file: il campo arriva fino in fondo");
        rowStarted = true;
    }
    if (rowStarted || !field.isEmpty())
        endRow();

    if (!rows.isEmpty()) {
        table.headings = rows.takeFirst().fields;
        for (QString& h : table.headings)
            h = h.trimmed();
    }
    const qsizetype columns = table.headings.size();
    for (CsvRow& r : rows) {
        if (r.fields.size() > columns) {
            bool extraHaveText = false;
            for (qsizetype i = columns; i < r.fields.size(); ++i)
                extraHaveText = extraHaveText || !r.fields[i].trimmed().isEmpty();
            if (extraHaveText)
                r.problems << QStringLiteral("%1 campi oltre le %2 colonne dell'intestazione, ignorati")
                                  .arg(r.fields.size() - columns)
                                  .arg(columns);
            r.fields.resize(columns);
        }
    }
    table.rows = std::move(rows);
    return table;
}
