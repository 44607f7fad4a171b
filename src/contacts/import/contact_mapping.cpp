#include "contacts/import/contact_mapping.h"
#include "archives/archive_registry.h"

#include "contacts/import/heading_table.h"
#include "contacts/province_codes.h"
#include "storage/ascii.h"

#include <QSet>

namespace {

const QString kBreak = QStringLiteral("\r\n");

// The contacts archive's definition: its fields are found by their editor
// controls, in the order of its columns.
const ArchiveDefinition& definition() { return Archives::get(ArchiveKind::Contacts); }

// The place of the field a target key names (an editor control); -1 when
// the key is no field.
int fieldOf(const QByteArray& key)
{
    const auto& columns = definition().columns;
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].control == QLatin1String(key))
            return i;
    return -1;
}

// Where each card field stands among a contact's fields, found once: the
// reading of a large file looks fields up by position, never by name.
struct Columns {
    int contatto, codice, azienda, qualifica, email, gruppo, indirizzo, citta, cap, prov, cel, casa, uff, fax,
        codFisc, iva, iban, pagamenti, note, count;
};

const Columns& col()
{
    static const Columns c = [] {
        const auto at = [](const char* control) { return definition().indexOf(QLatin1String(control)); };
        return Columns { at("txtContatto"), at("txtCodice"), at("txtAzienda"), at("txtQualifica"), at("txtEmail"),
            at("txtGruppo"), at("txtIndirizzo"), at("txtCitta"), at("txtCap"), at("txtProv"), at("txtCel"),
            at("txtCasa"), at("txtUff"), at("txtFax"), at("txtCodFisc"), at("txtIva"), at("txtIban"),
            at("txtPagamenti"), at("txtNote"), int(definition().columns.size()) };
    }();
    return c;
}

QString labelAt(int column) { return definition().columns.value(column).label; }

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
    // Breaks already as wanted (a note's CR LF): shared as well.
    if (with == kBreak && t.size() == text.size()) {
        qsizetype i = first;
        while (i < t.size()) {
            if (t[i] == u'\n' || (t[i] == u'\r' && (i + 1 == t.size() || t[i + 1] != u'\n')))
                break;
            i += t[i] == u'\r' ? 2 : 1;
        }
        if (i >= t.size())
            return text;
    }
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

// The non-empty parts on one line each, joined; a single part is shared,
// not copied.
QString joined(std::initializer_list<const QStringList*> lists, const QString& separator)
{
    QString out;
    for (const QStringList* parts : lists)
        for (const QString& p : *parts) {
            const QString line = oneLine(p);
            if (line.isEmpty())
                continue;
            if (out.isEmpty()) {
                out = line;
            } else {
                out += separator;
                out += line;
            }
        }
    return out;
}

QString joined(const QStringList& parts, const QString& separator) { return joined({ &parts }, separator); }

QString part(const QStringList& parts, int i) { return i < parts.size() ? parts[i] : QString(); }


bool isItaly(const QString& country)
{
    if (country.isEmpty())
        return false;
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
                          prov.isEmpty() ? placeName : placeName + " (" + prov + ")",
                          isItaly(country) ? QString() : country },
            QStringLiteral(", "));
    }
    enum class Part : quint8 { Street, City, Zip, Region, Country };
    void set(Part part, const QString& value)
    {
        if (part == Part::Country) {
            country = value;
            return;
        }
        place = place || !trimmedView(value).isEmpty();
        switch (part) {
        case Part::Street:
            street << value;
            break;
        case Part::City:
            city = value;
            break;
        case Part::Zip:
            zip = value;
            break;
        default:
            region = value;
        }
    }
};

class Builder {
public:
    explicit Builder(int line)
        : fields_(col().count)
    {
        line_ = line;
    }

    // A field already filled keeps its value; this one goes to the note
    // under caption, or else under the field's name.
    void set(int column, const QString& value, const QString& caption = {})
    {
        if (column < 0)
            return;
        if (column == col().note) {
            const QString v = lines(value);
            if (!v.isEmpty())
                notes_.prepend(v);
            return;
        }
        const QString v = oneLine(value);
        if (v.isEmpty())
            return;
        if (column == col().contatto) {
            if (fullName_.isEmpty())
                fullName_ = v;
            return;
        }
        if (column == col().prov) {
            // A province code, or any one or two characters as if typed into
            // the field (which capitalises a-z); a region name to the note.
            QString code = ProvinceCodes::codeOf(v);
            if (code.isEmpty() && v.size() <= 2)
                code = Ascii::upper(v);
            if (code.isEmpty())
                note(QStringLiteral("Provincia"), v);
            else
                store(column, code, caption);
            return;
        }
        store(column, v, caption);
    }
    bool isSet(int column) const { return !fields_[column].isEmpty(); }
    void given(const QString& v) { given_ << oneLine(v); }
    void middle(const QString& v) { middle_ << oneLine(v); }
    void family(const QString& v) { family_ << oneLine(v); }
    void note(const QString& caption, const QString& value)
    {
        const QString v = lines(value);
        if (!v.isEmpty())
            extra_ << caption + QStringLiteral(": ") + v;
    }
    void problems(const QStringList& p) { problems_ << p; }

    // Puts an address on the card: street, city, postcode, province, and a
    // country other than Italy to the note.
    void address(const Address& a)
    {
        if (!a.hasPlace() && a.country.isEmpty())
            return;
        set(col().indirizzo, joined(a.street, QStringLiteral(", ")));
        set(col().citta, a.city);
        set(col().cap, a.zip);
        set(col().prov, a.region);
        if (!isItaly(a.country))
            note(QStringLiteral("Paese"), a.country);
    }

    ImportedContact finish()
    {
        QString name = joined({ &family_, &given_, &middle_ }, QStringLiteral(" "));
        if (name.isEmpty())
            name = fullName_;
        fields_[col().contatto] = name;
        // A single piece (a large note) is taken as it is, not copied.
        const QStringList pieces = QStringList(notes_) << extra_;
        fields_[col().note] = pieces.size() == 1 ? pieces.first() : pieces.join(kBreak);
        ImportedContact c;
        c.line = line_;
        c.fields = std::move(fields_);
        c.problems = std::move(problems_);
        return c;
    }

private:
    void store(int column, const QString& v, const QString& caption)
    {
        QString& slot = fields_[column];
        if (slot.isEmpty())
            slot = v;
        else if (slot != v)
            note(caption.isEmpty() ? labelAt(column) : caption, v);
    }

    int line_ = 0;
    QList<QString> fields_;
    QStringList problems_;
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
const QHash<QByteArray, int>& ownProperties()
{
    static const QHash<QByteArray, int> names {
        { "X-VELMARO-CODICE", col().codice },
        { "X-VELMARO-CODICE-FISCALE", col().codFisc },
        { "X-VELMARO-PARTITA-IVA", col().iva },
        { "X-VELMARO-IBAN", col().iban },
        { "X-VELMARO-PAGAMENTI", col().pagamenti },
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

int phoneColumn(const VCardProperty& p)
{
    if (p.hasType("FAX"))
        return col().fax;
    if (p.hasType("CELL") || p.hasType("IPHONE") || p.hasType("MOBILE"))
        return col().cel;
    if (p.hasType("WORK"))
        return col().uff;
    return col().casa; // HOME, VOICE or no type at all
}

Address vcardAddress(const QStringList& parts)
{
    // post office box; extended address; street; locality; region; postal code; country
    using Part = Address::Part;
    Address a;
    for (int i : { 2, 1, 0 })
        a.set(Part::Street, part(parts, i));
    a.set(Part::City, part(parts, 3));
    a.set(Part::Region, part(parts, 4));
    a.set(Part::Zip, part(parts, 5));
    a.set(Part::Country, part(parts, 6));
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

// The card field of a telephone number with this label; -1 when no field
// fits (a pager, a custom label): the number then goes to the note.
int phoneColumnOf(const QString& label)
{
    const QStringList w = labelWords(label);
    if (hasAny(w, { "fax" }))
        return col().fax;
    if (hasAny(w, { "mobile", "cell", "cellulare", "cellphone", "iphone", "mobil" }))
        return col().cel;
    if (hasAny(w, { "work", "business", "ufficio", "lavoro", "company", "azienda" }))
        return col().uff;
    if (w.isEmpty() || hasAny(w, { "home", "casa", "abitazione", "main", "principale", "voice" }))
        return col().casa;
    return -1;
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
    return t == "txtIndirizzo" || t == "txtCitta" || t == "txtCap" || t == "txtProv" || t == ContactMapping::kCountry;
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

QString ContactMapping::labelOf(const QByteArray& key)
{
    for (const auto& t : ContactMapping::targets())
        if (t.key == key)
            return t.label;
    return QString::fromLatin1(key);
}

const QList<ContactMapping::Target>& ContactMapping::targets()
{
    static const QList<Target> list = [] {
        // The card's own fields as the editor names them, with the parts a
        // file may split them into beside them.
        QList<Target> l { { kIgnore, QStringLiteral("(non importare)") } };
        const auto& columns = definition().columns;
        for (qsizetype i = 0; i < columns.size() - ArchiveDefinition::accessoryColumns().size(); ++i) {
            l << Target { columns[i].control.toLatin1(), columns[i].label };
            if (i == col().contatto)
                l << Target { kFamilyName, QStringLiteral("Cognome") } << Target { kGivenName, QStringLiteral("Nome") }
                  << Target { kMiddleName, QStringLiteral("Secondo nome") };
            else if (i == col().prov)
                l << Target { kCountry, QStringLiteral("Paese") }
                  << Target { kWorkStreet, QStringLiteral("Indirizzo (ufficio)") }
                  << Target { kWorkCity, QStringLiteral("Città (ufficio)") }
                  << Target { kWorkZip, QStringLiteral("CAP (ufficio)") }
                  << Target { kWorkRegion, QStringLiteral("Prov. (ufficio)") }
                  << Target { kWorkCountry, QStringLiteral("Paese (ufficio)") };
            else if (i == col().fax)
                l << Target { kPhoneByLabel, QStringLiteral("Telefono (secondo l'etichetta)") }
                  << Target { kLabel, QStringLiteral("Etichetta") };
        }
        l << Target { kJoinNote, QStringLiteral("Aggiungi alle note") };
        return l;
    }();
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
            if (b.isSet(col().email))
                b.note(noteCaption(p.name), p.text);
            else
                b.set(col().email, p.text);
        } else if (p.name == "TEL") {
            const int column = phoneColumn(p);
            // 4.0 may write the number as a "tel:" address.
            QString number = p.text;
            if (const QStringView t = trimmedView(number);
                p.valueType != "TEXT" && t.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = t.sliced(4).toString();
            if (b.isSet(column))
                b.note(labelAt(column), number);
            else
                b.set(column, number);
        } else if (p.name == "ADR") {
            addresses << &p;
        } else if (p.name == "ORG") {
            b.set(col().azienda, joined(p.parts, QStringLiteral(", ")));
        } else if (p.name == "TITLE") {
            b.set(col().qualifica, p.text);
        } else if (p.name == "NOTE") {
            b.set(col().note, p.text);
        } else if (p.name == "CATEGORIES") {
            b.set(col().gruppo, p.text);
        } else {
            b.note(noteCaption(p.name), joined(p.parts, QStringLiteral(" ")));
        }
    }
    if (!hasN)
        b.set(col().contatto, fn);
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

struct ContactMapping::CsvPlan::Step {
    enum class Kind : quint8 { Ignore, Label, JoinNote, Note, Field, Given, Middle, Family, Phone, Home, Work };
    Kind kind = Kind::Ignore;
    int column = -1;                              // Field
    Address::Part part = Address::Part::Street; // Home, Work
    int labelColumn = -1;
    bool multiValue = false;
    QString caption;
};

ContactMapping::CsvPlan::CsvPlan(const QStringList& headings, const Mapping& mapping)
{
    using Kind = Step::Kind;
    using Part = Address::Part;
    static const QHash<QByteArray, std::pair<Kind, Part>> special {
        { kIgnore, { Kind::Ignore, Part::Street } }, { kLabel, { Kind::Label, Part::Street } },
        { kJoinNote, { Kind::JoinNote, Part::Street } }, { "txtNote", { Kind::Note, Part::Street } },
        { kGivenName, { Kind::Given, Part::Street } }, { kMiddleName, { Kind::Middle, Part::Street } },
        { kFamilyName, { Kind::Family, Part::Street } }, { kPhoneByLabel, { Kind::Phone, Part::Street } },
        { "txtIndirizzo", { Kind::Home, Part::Street } }, { "txtCitta", { Kind::Home, Part::City } },
        { "txtCap", { Kind::Home, Part::Zip } }, { "txtProv", { Kind::Home, Part::Region } },
        { kCountry, { Kind::Home, Part::Country } }, { kWorkStreet, { Kind::Work, Part::Street } },
        { kWorkCity, { Kind::Work, Part::City } }, { kWorkZip, { Kind::Work, Part::Zip } },
        { kWorkRegion, { Kind::Work, Part::Region } }, { kWorkCountry, { Kind::Work, Part::Country } },
    };
    for (qsizetype i = 0; i < mapping.size(); ++i) {
        Step step;
        const ColumnMap& m = mapping[i];
        if (const auto it = special.constFind(m.target); it != special.cend()) {
            step.kind = it->first;
            step.part = it->second;
        } else if (const int column = fieldOf(m.target); column >= 0) {
            step.kind = Kind::Field;
            step.column = column;
        } else {
            step.kind = Kind::JoinNote;
        }
        // The label is read only from a column sent to "Etichetta".
        if (m.labelColumn >= 0 && m.labelColumn < mapping.size() && mapping[m.labelColumn].target == kLabel)
            step.labelColumn = m.labelColumn;
        step.multiValue = m.multiValue;
        step.caption = i < headings.size() && !headings[i].isEmpty() ? headings[i] : QStringLiteral("Colonna %1").arg(i + 1);
        steps_ << step;
    }
}

ContactMapping::CsvPlan::~CsvPlan() = default;
ContactMapping::CsvPlan::CsvPlan(const CsvPlan&) = default;
ContactMapping::CsvPlan& ContactMapping::CsvPlan::operator=(const CsvPlan&) = default;

ImportedContact ContactMapping::CsvPlan::contact(const CsvRow& row) const
{
    using Kind = Step::Kind;
    Builder b(row.line);
    b.problems(row.problems);
    Address home, work, other;
    for (qsizetype i = 0; i < row.fields.size() && i < steps_.size(); ++i) {
        const Step& step = steps_[i];
        const QString& value = row.fields[i];
        if (step.kind == Kind::Ignore || step.kind == Kind::Label || value.isEmpty())
            continue;
        if (step.kind == Kind::JoinNote) {
            b.note(step.caption, value);
            continue;
        }
        if (step.kind == Kind::Note) {
            b.set(col().note, value);
            continue;
        }
        const bool labelled = step.labelColumn >= 0 && step.labelColumn < row.fields.size();
        const auto take = [&](const QString& v, const QString& label, qsizetype k) {
            switch (step.kind) {
            case Kind::Phone:
                if (const int column = phoneColumnOf(label); column >= 0)
                    b.set(column, v);
                else
                    b.note(shownLabel(label), v);
                break;
            case Kind::Home:
            case Kind::Work:
                if (k > 0) {
                    // A second address in one field is no part of the first.
                    b.note(step.caption, v);
                } else if (step.kind == Kind::Work) {
                    work.set(step.part, v);
                } else {
                    const AddressKind kind = step.labelColumn >= 0 ? addressKindOf(label) : AddressKind::Home;
                    (kind == AddressKind::Home ? home : kind == AddressKind::Work ? work : other).set(step.part, v);
                }
                break;
            case Kind::Given:
                b.given(v);
                break;
            case Kind::Middle:
                b.middle(v);
                break;
            case Kind::Family:
                b.family(v);
                break;
            default:
                // A second value in one field is named by the field.
                b.set(step.column, v, k == 0 ? step.caption : QString());
            }
        };
        // A field of one value, as nearly all are, is taken without lists.
        if (!step.multiValue) {
            take(value, labelled ? row.fields[step.labelColumn] : QString(), 0);
            continue;
        }
        const auto split = [&](const QString& text) {
            return text.contains(QLatin1String(kMultiValueSeparator)) ? text.split(QLatin1String(kMultiValueSeparator))
                                                                      : QStringList { text };
        };
        const QStringList values = split(value);
        const QStringList labels = labelled ? split(row.fields[step.labelColumn]) : QStringList { QString() };
        for (qsizetype k = 0; k < values.size(); ++k)
            take(values[k], labels.value(k, labels.first()), k);
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

ImportedContact ContactMapping::fromCsvRow(const CsvRow& row, const QStringList& headings, const Mapping& mapping)
{
    return CsvPlan(headings, mapping).contact(row);
}

QList<ImportedContact> ContactMapping::fromCsv(const CsvTable& table, const Mapping& mapping)
{
    const CsvPlan plan(table.headings, mapping);
    QList<ImportedContact> out;
    out.reserve(table.rows.size());
    for (const CsvRow& row : table.rows)
        out << plan.contact(row);
    return out;
}

QHash<QByteArray, QString> ImportedContact::values() const
{
    QHash<QByteArray, QString> out;
    const auto& columns = definition().columns;
    for (qsizetype i = 0; i < fields.size() && i < columns.size(); ++i)
        if (!fields[i].isEmpty())
            out.insert(columns[i].name, fields[i]);
    return out;
}

ImportedContact ImportedContact::withValues(int line, const QHash<QByteArray, QString>& values)
{
    ImportedContact c;
    c.line = line;
    const auto& columns = definition().columns;
    c.fields.resize(columns.size());
    for (qsizetype i = 0; i < columns.size(); ++i)
        c.fields[i] = values.value(columns[i].name);
    return c;
}
