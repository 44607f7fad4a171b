#include "contacts/import/vcard_reader.h"

#include "contacts/import/text_decoding.h"

namespace {

struct LogicalLine {
    int number = 0;
    qsizetype offset = 0;
    QByteArray text;
};

bool startsWithIgnoringCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() && qstrnicmp(text.data(), prefix.data(), prefix.size()) == 0;
}

} // namespace

// Folded lines (a break followed by a blank) and 2.1's quoted-printable soft
// breaks ('=' at the end) joined into one line each. Whether a line is
// quoted-printable is read from its name and parameters (before the first
// ':'), looked at once as they grow, so a line joined from many pieces costs
// what its reading does.
struct VCardReader::Stream::Lines {
    QByteArrayView bytes;
    qsizetype pos = 0;
    int number = 0;
    bool pending = false;
    LogicalLine next; // a physical line read ahead

    bool readPhysical(LogicalLine& out)
    {
        if (pos >= bytes.size())
            return false;
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        out.offset = pos;
        out.number = ++number;
        qsizetype stop = end;
        if (stop > pos && bytes[stop - 1] == '\r')
            --stop;
        out.text = bytes.sliced(pos, stop - pos).toByteArray();
        pos = end + 1;
        return true;
    }

    bool read(LogicalLine& line)
    {
        if (!pending && !readPhysical(next))
            return false;
        pending = false;
        line = std::move(next);
        qsizetype headEnd = -1; // the first ':', once seen
        qsizetype scanned = 0;  // bytes of the head looked at for the encoding
        bool qp = false;
        auto look = [&] {
            if (headEnd >= 0)
                return;
            const qsizetype colon = line.text.indexOf(':', scanned);
            const qsizetype end = colon < 0 ? line.text.size() : colon;
            // "QUOTED-PRINTABLE" may straddle two pieces.
            const qsizetype from = std::max<qsizetype>(0, scanned - 15);
            if (!qp && end > from)
                qp = line.text.sliced(from, end - from).toUpper().contains("QUOTED-PRINTABLE");
            scanned = end;
            headEnd = colon;
        };
        look();
        for (;;) {
            if (line.text.endsWith('=') && qp) {
                line.text.chop(1);
                scanned = std::min(scanned, line.text.size());
                LogicalLine piece;
                if (!readPhysical(piece))
                    return true;
                line.text += piece.text;
                look();
                continue;
            }
            if (!readPhysical(next))
                return true;
            if (!next.text.isEmpty() && (next.text[0] == ' ' || next.text[0] == '\t')) {
                line.text += QByteArrayView(next.text).sliced(1);
                look();
                continue;
            }
            pending = true;
            return true;
        }
    }
};

namespace {

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
        } else if (key == "VALUE") {
            p.valueType = value.toUpper();
            if (p.valueType == "URI" && line.text.mid(colon + 1).startsWith("data:"))
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

VCardReader::Stream::Stream(QByteArrayView bytes, qsizetype offset, int line)
    : lines_(std::make_unique<Lines>())
{
    lines_->bytes = bytes;
    lines_->pos = offset;
    lines_->number = line - 1;
}

VCardReader::Stream::~Stream() = default;

qsizetype VCardReader::Stream::offset() const { return lines_->pending ? lines_->next.offset : lines_->pos; }

bool VCardReader::Stream::next(VCard& card)
{
    int depth = 0; // cards nested in a card (2.1's AGENT) are skipped
    LogicalLine line;
    while (lines_->read(line)) {
        const QByteArrayView trimmed = QByteArrayView(line.text).trimmed();
        const bool begin = trimmed.size() == 11 && startsWithIgnoringCase(trimmed, "BEGIN:VCARD");
        const bool end = trimmed.size() == 9 && startsWithIgnoringCase(trimmed, "END:VCARD");
        if (begin) {
            if (depth++ == 0) {
                card = VCard();
                card.line = line.number;
                card.offset = line.offset;
            }
            continue;
        }
        if (depth == 0)
            continue;
        if (end) {
            if (--depth == 0)
                return true;
            continue;
        }
        if (depth > 1 || trimmed.isEmpty())
            continue;
        readProperty(line, card);
    }
    if (depth == 0)
        return false;
    card.problems << QStringLiteral("il file termina prima della fine della scheda (manca END:VCARD)");
    return true;
}

QList<VCard> VCardReader::read(const QByteArray& bytes)
{
    QList<VCard> cards;
    Stream stream(bytes);
    VCard card;
    while (stream.next(card))
        cards << std::move(card);
    return cards;
}
