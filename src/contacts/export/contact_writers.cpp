#include "contacts/export/contact_writers.h"

#include "archives/archive_registry.h"
#include "storage/win1252.h"

#include <array>

namespace {

// The card's own fields, in card order, by their editor controls.
enum Field { Contatto, Codice, Azienda, Qualifica, Email, Gruppo, Indirizzo, Citta, Cap, Prov, Cel, Casa, Uff, Fax,
    CodFisc, Iva, Iban, Pagamenti, Note, kFields };
const std::array<const char*, kFields> kControls { "txtContatto", "txtCodice", "txtAzienda", "txtQualifica",
    "txtEmail", "txtGruppo", "txtIndirizzo", "txtCitta", "txtCap", "txtProv", "txtCel", "txtCasa", "txtUff", "txtFax",
    "txtCodFisc", "txtIva", "txtIban", "txtPagamenti", "txtNote" };

const ArchiveDefinition& definition() { return Archives::get(ArchiveKind::Contacts); }

// A field of a card's values, looked up by position.
const QByteArray& get(const QList<QByteArray>& values, Field f)
{
    static const std::array<qsizetype, kFields> positions = [] {
        std::array<qsizetype, kFields> p;
        for (size_t i = 0; i < kFields; ++i)
            p[i] = definition().indexOf(QLatin1String(kControls[i]));
        return p;
    }();
    static const QByteArray none;
    const qsizetype i = positions[size_t(f)];
    return i >= 0 && i < values.size() ? values[i] : none;
}

const std::array<QByteArray, 256>& utf8Table()
{
    static const std::array<QByteArray, 256> table = [] {
        std::array<QByteArray, 256> t;
        for (int b = 0; b < 256; ++b)
            t[size_t(b)] = Cp1252::decode(QByteArray(1, char(b))).toUtf8();
        return t;
    }();
    return table;
}

// A text value: backslash, comma, semicolon and line breaks escaped. Plain
// runs are copied whole.
void appendEscaped(QByteArray& out, const QByteArray& cp1252)
{
    const auto& utf8 = utf8Table();
    const char* d = cp1252.constData();
    const qsizetype n = cp1252.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = d[i];
        const bool plain = static_cast<unsigned char>(c) < 0x80 && c != '\\' && c != ',' && c != ';' && c != '\r'
            && c != '\n';
        if (plain)
            continue;
        out.append(d + run, i - run);
        run = i + 1;
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case ',':
            out += "\\,";
            break;
        case ';':
            out += "\\;";
            break;
        case '\r':
            if (i + 1 < n && d[i + 1] == '\n')
                run = ++i + 1;
            out += "\\n";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += utf8[static_cast<unsigned char>(c)];
        }
    }
    out.append(d + run, n - run);
}

// Ends the logical line that began at start in out: folded at 75 octets
// (the continuation's leading blank counts), never inside a UTF-8 sequence
// or an escape, and CR LF. Most lines are short and stay as they are.
void endLine(QByteArray& out, qsizetype start)
{
    if (out.size() - start > 75) {
        const QByteArray line = out.sliced(start);
        out.truncate(start);
        qsizetype pos = 0;
        qsizetype room = 75;
        while (line.size() - pos > room) {
            qsizetype cut = pos + room;
            while (cut > pos + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                --cut;
            // An escape stays whole too, for readers that unescape each line:
            // an odd run of backslashes before the cut ends in one that
            // starts an escape.
            qsizetype slashes = 0;
            while (cut - slashes > pos && line[cut - slashes - 1] == '\\')
                ++slashes;
            if (slashes % 2 == 1 && cut > pos + 1)
                --cut;
            out.append(line.constData() + pos, cut - pos);
            out.append("\r\n ", 3);
            pos = cut;
            room = 74;
        }
        out.append(line.constData() + pos, line.size() - pos);
    }
    out.append("\r\n", 2);
}

class Card {
public:
    explicit Card(QByteArray& out)
        : out_(out)
    {
    }
    // name and parameters, then the value escaped.
    void property(const char* head, const QByteArray& value)
    {
        const qsizetype start = out_.size();
        out_.append(head);
        out_.append(':');
        appendEscaped(out_, value);
        endLine(out_, start);
    }
    void raw(const char* text) { out_.append(text).append("\r\n", 2); }
    // A line built by the caller from start on.
    qsizetype begin() const { return out_.size(); }
    void end(qsizetype start) { endLine(out_, start); }
    QByteArray& out() { return out_; }

private:
    QByteArray& out_;
};

} // namespace

void ContactWriters::appendUtf8(QByteArray& out, const QByteArray& cp1252)
{
    const auto& utf8 = utf8Table();
    const char* d = cp1252.constData();
    qsizetype run = 0;
    for (qsizetype i = 0; i < cp1252.size(); ++i) {
        if (static_cast<unsigned char>(d[i]) < 0x80)
            continue;
        out.append(d + run, i - run);
        out += utf8[static_cast<unsigned char>(d[i])];
        run = i + 1;
    }
    out.append(d + run, cp1252.size() - run);
}

QByteArray ContactWriters::vcard(const QList<QByteArray>& values, VCardVersion version)
{
    QByteArray out;
    out.reserve(512);
    appendVCard(out, values, version);
    return out;
}

void ContactWriters::appendVCard(QByteArray& out, const QList<QByteArray>& values, VCardVersion version)
{
    const bool v4 = version == VCardVersion::V4;
    Card card(out);
    const auto field = [&](Field f) -> const QByteArray& { return get(values, f); };
    card.raw("BEGIN:VCARD");
    card.raw(v4 ? "VERSION:4.0" : "VERSION:3.0");
    // "Cognome e nome" is one field: all of it is the family name, so the
    // card sorts by surname and reads back whole.
    card.property("FN", field(Contatto));
    qsizetype start = card.begin();
    card.out().append("N:", 2);
    appendEscaped(card.out(), field(Contatto));
    card.out().append(";;;;", 4);
    card.end(start);
    const auto optional = [&](const char* head, Field f) {
        if (!field(f).isEmpty())
            card.property(head, field(f));
    };
    optional("ORG", Azienda);
    optional("TITLE", Qualifica);
    optional(v4 ? "EMAIL" : "EMAIL;TYPE=INTERNET", Email);
    const auto phone = [&](const char* types4, const char* types3, Field f) {
        const QByteArray& number = field(f);
        if (number.isEmpty())
            return;
        QByteArray head = QByteArray("TEL;TYPE=") + (v4 ? types4 : types3);
        // A number that reads like a "tel:" address is text all the same.
        if (number.trimmed().toLower().startsWith("tel:"))
            head += ";VALUE=text";
        card.property(head.constData(), number);
    };
    phone("cell", "CELL", Cel);
    phone("home,voice", "HOME,VOICE", Casa);
    phone("work,voice", "WORK,VOICE", Uff);
    phone("work,fax", "WORK,FAX", Fax);
    if (!field(Indirizzo).isEmpty() || !field(Citta).isEmpty() || !field(Prov).isEmpty() || !field(Cap).isEmpty()) {
        // post office box; extended address; street; locality; region; postal code; country
        start = card.begin();
        card.out().append("ADR:;;", 6);
        appendEscaped(card.out(), field(Indirizzo));
        for (Field f : { Citta, Prov, Cap }) {
            card.out().append(';');
            appendEscaped(card.out(), field(f));
        }
        card.out().append(';');
        card.end(start);
    }
    optional("NOTE", Note);
    optional("CATEGORIES", Gruppo);
    optional("X-VELMARO-CODICE", Codice);
    optional("X-VELMARO-CODICE-FISCALE", CodFisc);
    optional("X-VELMARO-PARTITA-IVA", Iva);
    optional("X-VELMARO-IBAN", Iban);
    optional("X-VELMARO-PAGAMENTI", Pagamenti);
    card.raw("END:VCARD");
}

QByteArray ContactWriters::csvHeadings(char separator)
{
    QByteArray out;
    for (const char* control : kControls) {
        if (!out.isEmpty())
            out += separator;
        out += definition().columnOf(QLatin1String(control)).label.toUtf8();
    }
    return out + "\r\n";
}

QByteArray ContactWriters::csvRow(const QList<QByteArray>& values, char separator)
{
    QByteArray out;
    out.reserve(256);
    appendCsvRow(out, values, separator);
    return out;
}

void ContactWriters::appendCsvRow(QByteArray& out, const QList<QByteArray>& values, char separator)
{
    for (int f = 0; f < kFields; ++f) {
        if (f > 0)
            out += separator;
        const QByteArray& value = get(values, Field(f));
        // The characters that call for quotes are ASCII, the same bytes in
        // Windows-1252 and UTF-8.
        bool quote = false;
        for (const char ch : value)
            quote = quote || ch == separator || ch == '"' || ch == '\r' || ch == '\n';
        if (!quote) {
            appendUtf8(out, value);
            continue;
        }
        out += '"';
        appendUtf8(out, value.contains('"') ? QByteArray(value).replace("\"", "\"\"") : value);
        out += '"';
    }
    out += "\r\n";
}
