#include "contacts/import/contact_mapping.h"

#include "contacts/import/heading_table.h"
#include "contacts/province_codes.h"
#include "storage/ascii.h"

#include <QSet>

namespace {

const QString kBreak = QStringLiteral("\r\n");

bool isBlank(QChar c) { return c.unicode() <= 32; }

// Blanks and control characters at both ends do not count, as when the
// editor saves a card.
QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

// The text trimmed, every line break (CR LF, CR or LF) made `with`; one
// pass, so a value of millions of breaks costs what its reading does. A text
// with nothing to change is shared, not copied.
QString normalised(const QString& text, QStringView with)
{
    const QStringView t = trimmedView(text);
    qsizetype first = 0;
    while (first < t.size() && t[first] != u'\r' && t[first] != u'\n')
        ++first;
    if (first == t.size())
        return t.size() == text.size() ? text : t.toString();
    QString out;
    out.reserve(t.size());
    qsizetype run = 0;
    for (qsizetype i = first; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c != u'\r' && c != u'\n')
            continue;
        out.append(t.sliced(run, i - run));
        out.append(with);
        if (c == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n')
            ++i;
        run = i + 1;
    }
    out.append(t.sliced(run));
    return out;
}

// "\r\n" breaks, for the note.
QString lines(const QString& text) { return normalised(text, kBreak); }

// One line, for every other field.
QString oneLine(const QString& text) { return normalised(text, u" "); }

QString joined(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& p : parts) {
        const QString line = oneLine(p);
        if (!line.isEmpty())
            kept << line;
    }
    return kept.join(separator);
}

QString part(const QStringList& parts, int i) { return i < parts.size() ? parts[i] : QString(); }

bool isItaly(const QString& country)
{
    const QString c = country.trimmed().toLower();
    return c == u"italia" || c == u"italy" || c == u"it";
}

// One postal address as the files give it, in parts.
struct Address {
    QStringList street; // street lines, post office box, extended address
    QString city, zip, region, country;
    bool place = false; // a part besides the country holds text

    // The country alone does not make an address worth a card.
    bool hasPlace() const { return place; }
    QString oneLineText() const
    {
        if (!place && trimmedView(country).isEmpty())
            return {};
        const QString placeName = joined({ zip, city }, QStringLiteral(" "));
        const QString prov = oneLine(region);
        return joined({ joined(street, QStringLiteral(", ")),
                          prov.isEmpty() ? placeName : placeName + " (" + prov + ")", country },
            QStringLiteral(", "));
    }
    void set(const QByteArray& part, const QString& value)
    {
        if (part == ContactMapping::kCountry) {
            country = value;
            return;
        }
        place = place || !trimmedView(value).isEmpty();
        if (part == "varIndirizzo")
            street << value;
        else if (part == "varCitta")
            city = value;
        else if (part == "varCap")
            zip = value;
        else
            region = value;
    }
};

class Builder {
public:
    explicit Builder(int line) { contact_.line = line; }

    // A field already filled keeps its value; this one goes to the note
    // under caption, or else under the field's name.
    void set(const QByteArray& column, const QString& value, const QString& caption = {})
    {
        if (column == "varNote") {
            const QString v = lines(value);
            if (!v.isEmpty())
                notes_.prepend(v);
            return;
        }
        const QString v = oneLine(value);
        if (v.isEmpty())
            return;
        if (column == "varContatto") {
            if (fullName_.isEmpty())
                fullName_ = v;
            return;
        }
        if (column == "varProv") {
            // A province code, or any one or two characters as if typed into
            // the field (which capitalises a-z); a region name to the note.
            QString code = ProvinceCodes::codeOf(v);
            if (code.isEmpty() && v.size() <= 2)
                code = Ascii::upper(v);
            if (code.isEmpty())
                note(QStringLiteral("Provincia"), v);
            else
                store("varProv", code, caption);
            return;
        }
        store(column, v, caption);
    }
    bool isSet(const QByteArray& column) const { return !contact_.values.value(column).isEmpty(); }
    void given(const QString& v) { given_ << oneLine(v); }
    void middle(const QString& v) { middle_ << oneLine(v); }
    void family(const QString& v) { family_ << oneLine(v); }
    void note(const QString& caption, const QString& value)
    {
        const QString v = lines(value);
        if (!v.isEmpty())
            extra_ << caption + QStringLiteral(": ") + v;
    }
    void problems(const QStringList& p) { contact_.problems << p; }

    // Puts an address on the card: street, city, postcode, province, and a
    // country other than Italy to the note.
    void address(const Address& a)
    {
        if (!a.hasPlace() && a.country.isEmpty())
            return;
        set("varIndirizzo", joined(a.street, QStringLiteral(", ")));
        set("varCitta", a.city);
        set("varCap", a.zip);
        set("varProv", a.region);
        if (!isItaly(a.country))
            note(QStringLiteral("Paese"), a.country);
    }

    ImportedContact finish()
    {
        QString name = joined(QStringList(family_) << given_ << middle_, QStringLiteral(" "));
        if (name.isEmpty())
            name = fullName_;
        if (!name.isEmpty())
            contact_.values.insert("varContatto", name);
        // A single piece (a large note) is taken as it is, not copied.
        const QStringList pieces = QStringList(notes_) << extra_;
        const QString note = pieces.size() == 1 ? pieces.first() : pieces.join(kBreak);
        if (!note.isEmpty())
            contact_.values.insert("varNote", note);
        for (auto it = contact_.values.begin(); it != contact_.values.end();)
            it = it->isEmpty() ? contact_.values.erase(it) : std::next(it);
        return std::move(contact_);
    }

private:
    void store(const QByteArray& column, const QString& v, const QString& caption)
    {
        QString& slot = contact_.values[column];
        if (slot.isEmpty())
            slot = v;
        else if (slot != v)
            note(caption.isEmpty() ? ContactMapping::labelOf(column) : caption, v);
    }

    ImportedContact contact_;
    QStringList given_, middle_, family_, notes_, extra_;
    QString fullName_;
};

// Properties that are the card's machinery, not the contact's data.
bool technical(const QByteArray& name)
{
    static const QSet<QByteArray> names { "VERSION", "PRODID", "UID", "REV", "PHOTO", "LOGO", "SOUND", "KEY",
        "KIND", "CLIENTPIDMAP", "SOURCE", "NAME", "PROFILE", "MAILER", "TZ", "GEO", "LABEL", "XML", "AGENT",
        "SORT-STRING", "CLASS" };
    return names.contains(name) || name.startsWith("X-");
}

// This program's own fields that vCard has no property for.
const QHash<QByteArray, QByteArray>& ownProperties()
{
    static const QHash<QByteArray, QByteArray> names {
        { "X-VELMARO-CODICE", "varCodice" },
        { "X-VELMARO-CODICE-FISCALE", "varCodFisc" },
        { "X-VELMARO-PARTITA-IVA", "varIva" },
        { "X-VELMARO-IBAN", "varIban" },
        { "X-VELMARO-PAGAMENTI", "varPagamenti" },
    };
    return names;
}

QString noteCaption(const QByteArray& name)
{
    static const QHash<QByteArray, QString> captions {
        { "URL", QStringLiteral("Sito") },
        { "BDAY", QStringLiteral("Compleanno") },
        { "ANNIVERSARY", QStringLiteral("Anniversario") },
        { "NICKNAME", QStringLiteral("Soprannome") },
        { "ROLE", QStringLiteral("Ruolo") },
        { "IMPP", QStringLiteral("Messaggistica") },
        { "RELATED", QStringLiteral("Relazione") },
        { "LANG", QStringLiteral("Lingua") },
        { "GENDER", QStringLiteral("Genere") },
        { "EMAIL", QStringLiteral("E-mail") },
        { "TEL", QStringLiteral("Telefono") },
        { "ADR", QStringLiteral("Indirizzo") },
    };
    return captions.value(name, QString::fromLatin1(name));
}

QByteArray phoneColumn(const VCardProperty& p)
{
    if (p.hasType("FAX"))
        return "varFax";
    if (p.hasType("CELL") || p.hasType("IPHONE") || p.hasType("MOBILE"))
        return "varCel";
    if (p.hasType("WORK"))
        return "varUff";
    return "varCasa"; // HOME, VOICE or no type at all
}

Address vcardAddress(const QStringList& parts)
{
    // post office box; extended address; street; locality; region; postal code; country
    Address a;
    for (int i : { 2, 1, 0 })
        a.set("varIndirizzo", part(parts, i));
    a.set("varCitta", part(parts, 3));
    a.set("varProv", part(parts, 4));
    a.set("varCap", part(parts, 5));
    a.set(ContactMapping::kCountry, part(parts, 6));
    return a;
}

// What the label of a numbered column says ("* Mobile", "Work Fax",
// "Casa"): the words, lower case, without the webmail's mark of the
// preferred value.
QStringList labelWords(const QString& label)
{
    QString clean = label.toLower();
    for (QChar& c : clean)
        if (!c.isLetter())
            c = u' ';
    return clean.split(u' ', Qt::SkipEmptyParts);
}

bool hasAny(const QStringList& words, std::initializer_list<const char*> wanted)
{
    for (const char* w : wanted)
        if (words.contains(QLatin1String(w)))
            return true;
    return false;
}

// The card field of a telephone number with this label; empty when no field
// fits (a pager, a custom label): the number then goes to the note.
QByteArray phoneColumnOf(const QString& label)
{
    const QStringList w = labelWords(label);
    if (hasAny(w, { "fax" }))
        return "varFax";
    if (hasAny(w, { "mobile", "cell", "cellulare", "cellphone", "iphone", "mobil" }))
        return "varCel";
    if (hasAny(w, { "work", "business", "ufficio", "lavoro", "company", "azienda" }))
        return "varUff";
    if (w.isEmpty() || hasAny(w, { "home", "casa", "abitazione", "main", "principale", "voice" }))
        return "varCasa";
    return {};
}

// A label as the note names the value: without the mark of the preferred one.
QString shownLabel(const QString& label)
{
    QStringView l = trimmedView(label);
    while (!l.isEmpty() && (l.front() == u'*' || isBlank(l.front())))
        l = l.sliced(1);
    return l.isEmpty() ? QStringLiteral("Telefono") : l.toString();
}

enum class AddressKind { Home, Work, Other };

AddressKind addressKindOf(const QString& label)
{
    const QStringList w = labelWords(label);
    if (hasAny(w, { "work", "business", "ufficio", "lavoro" }))
        return AddressKind::Work;
    if (w.isEmpty() || hasAny(w, { "home", "casa", "abitazione", "main", "principale" }))
        return AddressKind::Home;
    return AddressKind::Other;
}

bool isAddressPart(const QByteArray& t)
{
    return t == "varIndirizzo" || t == "varCitta" || t == "varCap" || t == "varProv" || t == ContactMapping::kCountry;
}

// The card column a work address target stands for.
QByteArray workPart(const QByteArray& t)
{
    using namespace ContactMapping;
    if (t == kWorkStreet)
        return "varIndirizzo";
    if (t == kWorkCity)
        return "varCitta";
    if (t == kWorkZip)
        return "varCap";
    if (t == kWorkRegion)
        return "varProv";
    if (t == kWorkCountry)
        return kCountry;
    return {};
}

// A webmail's numbered column: "Phone 2 - Value" is in group "phone 2".
QString groupOf(const QString& heading, QString* item = nullptr)
{
    const qsizetype dash = heading.indexOf(QLatin1String(" - "));
    if (dash < 0)
        return {};
    if (item)
        *item = heading.mid(dash + 3).trimmed().toLower();
    return heading.left(dash).simplified().toLower();
}

} // namespace

QString ContactMapping::labelOf(const QByteArray& column)
{
    for (const auto& t : ContactMapping::targets())
        if (t.key == column)
            return t.label;
    return QString::fromLatin1(column);
}

const QList<ContactMapping::Target>& ContactMapping::targets()
{
    static const QList<Target> list {
        { kIgnore, QStringLiteral("(non importare)") },
        { "varContatto", QStringLiteral("Cognome e nome") },
        { kFamilyName, QStringLiteral("Cognome") },
        { kGivenName, QStringLiteral("Nome") },
        { kMiddleName, QStringLiteral("Secondo nome") },
        { "varCodice", QStringLiteral("Codice ID") },
        { "varAzienda", QStringLiteral("Azienda") },
        { "varQualifica", QStringLiteral("Qualifica") },
        { "varEmail", QStringLiteral("E-mail") },
        { "varGruppo", QStringLiteral("Gruppo") },
        { "varIndirizzo", QStringLiteral("Indirizzo") },
        { "varCitta", QStringLiteral("Città") },
        { "varCap", QStringLiteral("CAP") },
        { "varProv", QStringLiteral("Prov.") },
        { kCountry, QStringLiteral("Paese") },
        { kWorkStreet, QStringLiteral("Indirizzo (ufficio)") },
        { kWorkCity, QStringLiteral("Città (ufficio)") },
        { kWorkZip, QStringLiteral("CAP (ufficio)") },
        { kWorkRegion, QStringLiteral("Prov. (ufficio)") },
        { kWorkCountry, QStringLiteral("Paese (ufficio)") },
        { "varCel", QStringLiteral("Cellulare") },
        { "varCasa", QStringLiteral("Tel. casa") },
        { "varUff", QStringLiteral("Tel. uff.") },
        { "varFax", QStringLiteral("Fax") },
        { kPhoneByLabel, QStringLiteral("Telefono (secondo l'etichetta)") },
        { kLabel, QStringLiteral("Etichetta") },
        { "varCodFisc", QStringLiteral("Cod. fiscale") },
        { "varIva", QStringLiteral("Partita Iva") },
        { "varIban", QStringLiteral("IBAN") },
        { "varPagamenti", QStringLiteral("Pagamenti") },
        { "varNote", QStringLiteral("Note") },
        { kJoinNote, QStringLiteral("Aggiungi alle note") },
    };
    return list;
}

QByteArray ContactMapping::targetOf(const QString& heading)
{
    const QByteArray known = HeadingTable::lookup(heading);
    return known.isNull() ? QByteArray(kJoinNote) : known;
}

ContactMapping::Mapping ContactMapping::guessMapping(const QStringList& headings)
{
    // The label column of each numbered group ("phone 2" -> its column).
    QHash<QString, int> labels;
    for (int i = 0; i < headings.size(); ++i) {
        QString item;
        const QString group = groupOf(headings[i], &item);
        if (!group.isEmpty() && (item == u"label" || item == u"type") && targetOf(headings[i]) == kLabel)
            labels.insert(group, i);
    }
    // Numbered groups are the mark of the webmail exports.
    const bool webmail = std::any_of(headings.cbegin(), headings.cend(), [](const QString& h) {
        QString item;
        return !groupOf(h, &item).isEmpty() && (item == u"value" || item == u"label" || item == u"type");
    });
    // Columns for the same field (a second e-mail, a home and a work fax)
    // keep it: the first one filled in a row goes to the card, the others to
    // the note.
    Mapping out;
    for (int i = 0; i < headings.size(); ++i) {
        ColumnMap m { targetOf(headings[i]), -1, webmail };
        if (m.target == kPhoneByLabel || isAddressPart(m.target))
            m.labelColumn = labels.value(groupOf(headings[i]), -1);
        out << m;
    }
    return out;
}

ImportedContact ContactMapping::fromVCard(const VCard& card)
{
    Builder b(card.line);
    b.problems(card.problems);
    bool hasN = false;
    QString fn;
    QList<const VCardProperty*> addresses;
    for (const VCardProperty& p : card.properties) {
        if (p.binary)
            continue;
        if (const auto own = ownProperties().constFind(p.name); own != ownProperties().cend()) {
            b.set(*own, p.text);
            continue;
        }
        if (technical(p.name))
            continue;
        if (p.name == "N") {
            if (!hasN) {
                b.family(part(p.parts, 0));
                b.given(joined({ part(p.parts, 1), part(p.parts, 2) }, QStringLiteral(" ")));
                hasN = !joined(p.parts.mid(0, 3), QString()).isEmpty();
            }
        } else if (p.name == "FN") {
            if (fn.isEmpty())
                fn = p.text;
        } else if (p.name == "EMAIL") {
            if (b.isSet("varEmail"))
                b.note(noteCaption(p.name), p.text);
            else
                b.set("varEmail", p.text);
        } else if (p.name == "TEL") {
            const QByteArray column = phoneColumn(p);
            // 4.0 may write the number as a "tel:" address.
            QString number = p.text;
            if (const QStringView t = trimmedView(number);
                p.valueType != "TEXT" && t.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = t.sliced(4).toString();
            if (b.isSet(column))
                b.note(labelOf(column), number);
            else
                b.set(column, number);
        } else if (p.name == "ADR") {
            addresses << &p;
        } else if (p.name == "ORG") {
            b.set("varAzienda", joined(p.parts, QStringLiteral(", ")));
        } else if (p.name == "TITLE") {
            b.set("varQualifica", p.text);
        } else if (p.name == "NOTE") {
            b.set("varNote", p.text);
        } else if (p.name == "CATEGORIES") {
            b.set("varGruppo", p.text);
        } else {
            b.note(noteCaption(p.name), joined(p.parts, QStringLiteral(" ")));
        }
    }
    if (!hasN)
        b.set("varContatto", fn);
    // The home address, else the first one with a place; the others to the note.
    qsizetype chosen = -1;
    for (qsizetype i = 0; i < addresses.size() && chosen < 0; ++i)
        if (addresses[i]->hasType("HOME") && vcardAddress(addresses[i]->parts).hasPlace())
            chosen = i;
    for (qsizetype i = 0; i < addresses.size() && chosen < 0; ++i)
        if (vcardAddress(addresses[i]->parts).hasPlace())
            chosen = i;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        if (i == chosen)
            b.address(vcardAddress(addresses[i]->parts));
        else
            b.note(noteCaption("ADR"), joined(addresses[i]->parts, QStringLiteral(", ")));
    }
    return b.finish();
}

QList<ImportedContact> ContactMapping::fromVCards(const QList<VCard>& cards)
{
    QList<ImportedContact> out;
    out.reserve(cards.size());
    for (const VCard& card : cards)
        out << fromVCard(card);
    return out;
}

ImportedContact ContactMapping::fromCsvRow(const CsvRow& row, const QStringList& headings, const Mapping& mapping)
{
    Builder b(row.line);
    b.problems(row.problems);
    Address home, work, other;
    const auto caption = [&](qsizetype i) {
        return i < headings.size() && !headings[i].isEmpty() ? headings[i] : QStringLiteral("Colonna %1").arg(i + 1);
    };
    const auto labelAt = [&](int column) {
        const bool readable = column >= 0 && column < mapping.size() && mapping[column].target == kLabel;
        return readable && column < row.fields.size() ? row.fields[column] : QString();
    };
    for (qsizetype i = 0; i < row.fields.size() && i < mapping.size(); ++i) {
        const QByteArray& t = mapping[i].target;
        const QString& value = row.fields[i];
        if (t == kIgnore || t == kLabel || value.isEmpty())
            continue;
        if (t == kJoinNote) {
            b.note(caption(i), value);
            continue;
        }
        if (t == "varNote") {
            b.set(t, value);
            continue;
        }
        const auto split = [&](const QString& text) {
            return mapping[i].multiValue && text.contains(QLatin1String(kMultiValueSeparator))
                ? text.split(QLatin1String(kMultiValueSeparator))
                : QStringList { text };
        };
        const QStringList values = split(value);
        const QStringList labels = mapping[i].labelColumn >= 0 ? split(labelAt(mapping[i].labelColumn)) : QStringList { QString() };
        for (qsizetype k = 0; k < values.size(); ++k) {
            const QString& v = values[k];
            const QString label = labels.value(k, labels.first());
            if (t == kPhoneByLabel) {
                const QByteArray column = phoneColumnOf(label);
                if (column.isEmpty())
                    b.note(shownLabel(label), v);
                else
                    b.set(column, v);
            } else if (k > 0 && (isAddressPart(t) || !workPart(t).isEmpty())) {
                // A second address in one field is no part of the first.
                b.note(caption(i), v);
            } else if (isAddressPart(t)) {
                const AddressKind kind = mapping[i].labelColumn >= 0 ? addressKindOf(label) : AddressKind::Home;
                (kind == AddressKind::Home ? home : kind == AddressKind::Work ? work : other).set(t, v);
            } else if (!workPart(t).isEmpty()) {
                work.set(workPart(t), v);
            } else if (t == kGivenName) {
                b.given(v);
            } else if (t == kMiddleName) {
                b.middle(v);
            } else if (t == kFamilyName) {
                b.family(v);
            } else {
                // A second value in one field is named by the field.
                b.set(t, v, k == 0 ? caption(i) : QString());
            }
        }
    }
    // The home address on the card, or else the work address; the other one
    // to the note.
    if (home.hasPlace()) {
        b.address(home);
        b.note(QStringLiteral("Indirizzo ufficio"), work.oneLineText());
    } else if (work.hasPlace()) {
        if (!isItaly(home.country))
            b.note(QStringLiteral("Paese"), home.country);
        b.address(work);
    } else {
        b.address(home);
    }
    b.note(QStringLiteral("Altro indirizzo"), other.oneLineText());
    return b.finish();
}

QList<ImportedContact> ContactMapping::fromCsv(const CsvTable& table, const Mapping& mapping)
{
    QList<ImportedContact> out;
    out.reserve(table.rows.size());
    for (const CsvRow& row : table.rows)
        out << fromCsvRow(row, table.headings, mapping);
    return out;
}
