#include "contacts/import/vcard_reader.h"

#include "contacts/import/text_decoding.h"

namespace {

struct LogicalLine {
    int number = 0;
    QByteArray text;
};

bool isQuotedPrintable(const QByteArray& line)
{
    const qsizetype colon = line.indexOf(':');
    const QByteArray head = (colon < 0 ? line : line.left(colon)).toUpper();
    return head.contains("QUOTED-PRINTABLE");
}

// Folded lines (a break followed by a blank) and 2.1's quoted-printable soft
// breaks ('=' at the end) are joined into one line each.
QList<LogicalLine> unfold(const QByteArray& bytes)
{
    QList<LogicalLine> lines;
    qsizetype pos = 0;
    int number = 0;
    bool softBreak = false;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(pos, end - pos);
        pos = end + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        if (softBreak && !lines.isEmpty()) {
            lines.last().text += line;
        } else if (!lines.isEmpty() && !line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            lines.last().text += line.mid(1);
        } else {
            lines.append({ number, line });
        }
        const QByteArray& current = lines.last().text;
        softBreak = current.endsWith('=') && isQuotedPrintable(current);
        if (softBreak)
            lines.last().text.chop(1);
    }
    return lines;
}

// Splits at each separator outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator)
{
    QList<QByteArray> out;
    bool quoted = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == separator && !quoted) {
            out << text.mid(start, i - start);
            start = i + 1;
        }
    }
    out << text.mid(start);
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size()) {
            const int hi = hexValue(in[i + 1]);
            const int lo = hexValue(in[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += in[i];
    }
    return out;
}

QString unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar n = text[++i];
            if (n == u'n' || n == u'N')
                out += u'\n';
            else if (n == u'\\' || n == u',' || n == u';' || n == u':')
                out += n;
            else {
                // Not an escape: both characters are the value's own.
                out += c;
                out += n;
            }
        } else {
            out += c;
        }
    }
    return out;
}

QStringList splitParts(const QString& text)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\') {
            ++i;
        } else if (text[i] == u';') {
            parts << unescape(QStringView(text).mid(start, i - start));
            start = i + 1;
        }
    }
    parts << unescape(QStringView(text).mid(start));
    return parts;
}

QByteArray unquoted(QByteArray text)
{
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        return text.mid(1, text.size() - 2);
    return text;
}

void readProperty(const LogicalLine& line, VCard& card)
{
    // The first colon outside quotes ends the name and its parameters.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.text.size(); ++i) {
        if (line.text[i] == '"')
            quoted = !quoted;
        else if (line.text[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon < 0) {
        card.problems << QStringLiteral("riga %1: proprietà senza valore, ignorata").arg(line.number);
        return;
    }
    const QList<QByteArray> head = splitOutsideQuotes(line.text.left(colon), ';');
    VCardProperty p;
    p.name = head.first().trimmed().toUpper();
    if (const qsizetype dot = p.name.lastIndexOf('.'); dot >= 0)
        p.name = p.name.mid(dot + 1); // grouped: item1.EMAIL
    QByteArray charset;
    bool qp = false;
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QByteArray param = head[i].trimmed();
        const qsizetype eq = param.indexOf('=');
        const QByteArray key = (eq < 0 ? QByteArray() : param.left(eq).trimmed().toUpper());
        const QByteArray value = unquoted(eq < 0 ? param : param.mid(eq + 1).trimmed());
        if (key == "CHARSET") {
            charset = value;
        } else if (key == "ENCODING" || (key.isEmpty() && (value.toUpper() == "QUOTED-PRINTABLE"
                                                              || value.toUpper() == "BASE64"))) {
            const QByteArray enc = value.toUpper();
            if (enc == "QUOTED-PRINTABLE")
                qp = true;
            else if (enc == "B" || enc == "BASE64")
                p.binary = true;
        } else if (key == "TYPE" || key.isEmpty()) {
            for (const QByteArray& t : splitOutsideQuotes(value, ','))
                if (!t.trimmed().isEmpty())
                    p.types << unquoted(t.trimmed()).toUpper();
        } else if (key == "PREF") {
            p.types << "PREF";
        } else if (key == "VALUE" && value.toUpper() == "URI" && line.text.mid(colon + 1).startsWith("data:")) {
            p.binary = true; // 4.0's inline photo
        }
    }
    if (p.binary) {
        card.properties << p;
        return;
    }
    QByteArray raw = line.text.mid(colon + 1);
    if (qp)
        raw = decodeQuotedPrintable(raw);
    QString problem;
    const QString decoded = TextDecoding::decode(raw, charset, &problem);
    if (!problem.isEmpty())
        card.problems << QStringLiteral("riga %1: %2").arg(line.number).arg(problem);
    p.parts = splitParts(decoded);
    p.text = unescape(decoded);
    card.properties << p;
}

} // namespace

QList<VCard> VCardReader::read(const QByteArray& bytes)
{
    QList<VCard> cards;
    int depth = 0; // cards nested in a card (2.1's AGENT) are skipped
    for (const LogicalLine& line : unfold(bytes)) {
        const QByteArray upper = line.text.trimmed().toUpper();
        if (upper == "BEGIN:VCARD") {
            if (depth++ == 0) {
                cards.append(VCard());
                cards.last().line = line.number;
            }
            continue;
        }
        if (depth == 0)
            continue;
        if (upper == "END:VCARD") {
            --depth;
            continue;
        }
        if (depth > 1 || upper.isEmpty())
            continue;
        readProperty(line, cards.last());
    }
    if (depth > 0)
        cards.last().problems << QStringLiteral("il file termina prima della fine della scheda (manca END:VCARD)");
    return cards;
}
