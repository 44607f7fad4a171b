#include "contacts/import/contact_mapping.h"

#include "contacts/province_codes.h"

#include <QSet>

namespace {

const QString kBreak = QStringLiteral("\r\n");

} // namespace

QString ContactMapping::labelOf(const QByteArray& column)
{
    for (const auto& t : ContactMapping::targets())
        if (t.key == column)
            return t.label;
    return QString::fromLatin1(column);
}

namespace {

// One line for single-line fields, "\r\n" breaks for the note.
QString lines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.trimmed().replace(QLatin1Char('\n'), kBreak);
}

QString oneLine(const QString& text)
{
    QString out = lines(text).replace(kBreak, QStringLiteral(" "));
    out.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return out.trimmed();
}

class Builder {
public:
    explicit Builder(int line) { contact_.line = line; }

    void set(const QByteArray& column, const QString& value)
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
            const QString code = ProvinceCodes::codeOf(v);
            if (code.isEmpty())
                note(QStringLiteral("Provincia"), v);
            else
                set(QByteArray("#prov"), code);
            return;
        }
        const QByteArray key = column == "#prov" ? QByteArray("varProv") : column;
        QString& slot = contact_.values[key];
        if (slot.isEmpty())
            slot = v;
        else if (slot != v)
            note(ContactMapping::labelOf(key), v);
    }
    bool isSet(const QByteArray& column) const { return !contact_.values.value(column).isEmpty(); }
    void given(const QString& v) { given_ << oneLine(v); }
    void family(const QString& v) { family_ << oneLine(v); }
    void note(const QString& caption, const QString& value)
    {
        const QString v = lines(value);
        if (!v.isEmpty())
            extra_ << caption + QStringLiteral(": ") + v;
    }
    void problems(const QStringList& p) { contact_.problems << p; }

    ImportedContact finish()
    {
        QString name = (QStringList(family_) << given_).join(QLatin1Char(' ')).simplified();
        if (name.isEmpty())
            name = fullName_;
        if (!name.isEmpty())
            contact_.values.insert("varContatto", name);
        const QString note = (QStringList(notes_) << extra_).join(kBreak);
        if (!note.isEmpty())
            contact_.values.insert("varNote", note);
        for (auto it = contact_.values.begin(); it != contact_.values.end();)
            it = it->isEmpty() ? contact_.values.erase(it) : std::next(it);
        return std::move(contact_);
    }

private:
    ImportedContact contact_;
    QStringList given_, family_, notes_, extra_;
    QString fullName_;
};

QString joined(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& p : parts)
        if (!oneLine(p).isEmpty())
            kept << oneLine(p);
    return kept.join(separator);
}

QString part(const QStringList& parts, int i) { return i < parts.size() ? parts[i] : QString(); }

// Properties that are the card's machinery, not the contact's data.
bool technical(const QByteArray& name)
{
    static const QSet<QByteArray> names { "VERSION", "PRODID", "UID", "REV", "PHOTO", "LOGO", "SOUND", "KEY",
        "KIND", "CLIENTPIDMAP", "SOURCE", "NAME", "PROFILE", "MAILER", "TZ", "GEO", "LABEL", "XML", "AGENT",
        "SORT-STRING", "CLASS" };
    return names.contains(name) || name.startsWith("X-");
}

QString noteCaption(const QByteArray& name)
{
    static const QHash<QByteArray, QString> captions {
        { "URL", QStringLiteral("Sito") },
        { "BDAY", QStringLiteral("Compleanno") },
        { "ANNIVERSARY", QStringLiteral("Anniversario") },
        { "NICKNAME", QStringLiteral("Soprannome") },
        { "CATEGORIES", QStringLiteral("Categorie") },
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

bool isItaly(const QString& country)
{
    const QString c = country.trimmed().toLower();
    return c == u"italia" || c == u"italy" || c == u"it";
}

void address(Builder& b, const QStringList& parts)
{
    // post office box; extended address; street; locality; region; postal code; country
    b.set("varIndirizzo", joined({ part(parts, 2), part(parts, 1), part(parts, 0) }, QStringLiteral(", ")));
    b.set("varCitta", part(parts, 3));
    b.set("varCap", part(parts, 5));
    b.set("varProv", part(parts, 4));
    if (!isItaly(part(parts, 6)))
        b.note(QStringLiteral("Paese"), part(parts, 6));
}

QString normalisedHeading(const QString& heading)
{
    QString out;
    for (const QChar c : heading.normalized(QString::NormalizationForm_D)) {
        if (c.isMark())
            continue;
        if (QStringView(u"-_.:/()#*'").contains(c))
            out += u' ';
        else
            out += c.toLower();
    }
    return out.simplified();
}

} // namespace

const QList<ContactMapping::Target>& ContactMapping::targets()
{
    static const QList<Target> list {
        { kIgnore, QStringLiteral("(non importare)") },
        { "varContatto", QStringLiteral("Cognome e nome") },
        { kFamilyName, QStringLiteral("Cognome") },
        { kGivenName, QStringLiteral("Nome") },
        { "varCodice", QStringLiteral("Codice ID") },
        { "varAzienda", QStringLiteral("Azienda") },
        { "varQualifica", QStringLiteral("Qualifica") },
        { "varEmail", QStringLiteral("E-mail") },
        { "varGruppo", QStringLiteral("Gruppo") },
        { "varIndirizzo", QStringLiteral("Indirizzo") },
        { "varCitta", QStringLiteral("Città") },
        { "varCap", QStringLiteral("CAP") },
        { "varProv", QStringLiteral("Prov.") },
        { "varCel", QStringLiteral("Cellulare") },
        { "varCasa", QStringLiteral("Tel. casa") },
        { "varUff", QStringLiteral("Tel. uff.") },
        { "varFax", QStringLiteral("Fax") },
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
    static const QHash<QString, QByteArray> known = [] {
        const QList<std::pair<QByteArray, QStringList>> table {
            { "varContatto",
                { "cognome e nome", "nome e cognome", "nominativo", "contatto", "name", "full name", "display name",
                    "nome visualizzato", "nome completo", "varContatto" } },
            { kFamilyName, { "cognome", "last name", "surname", "family name" } },
            { kGivenName, { "nome", "first name", "given name" } },
            { "varCodice", { "codice id", "codice", "varCodice" } },
            { "varAzienda",
                { "azienda", "società", "ditta", "organizzazione", "company", "organization", "organisation",
                    "organization 1 - name", "varAzienda" } },
            { "varQualifica",
                { "qualifica", "posizione", "professione", "job title", "organization 1 - title", "varQualifica" } },
            { "varEmail",
                { "e-mail", "email", "indirizzo e-mail", "indirizzo email", "posta elettronica", "e-mail address",
                    "email address", "e-mail 1 - value", "primary email", "varEmail" } },
            { "varGruppo", { "gruppo", "varGruppo" } },
            { "varIndirizzo",
                { "indirizzo", "via", "address", "street", "home street", "business street", "via (uff.)",
                    "via (ab.)", "address 1 - street", "varIndirizzo" } },
            { "varCitta",
                { "città", "comune", "località", "city", "home city", "business city", "città (uff.)", "città (ab.)",
                    "address 1 - city", "varCitta" } },
            { "varCap",
                { "cap", "c.a.p.", "codice postale", "zip", "zip code", "postal code", "postcode",
                    "home postal code", "business postal code", "cap (uff.)", "cap (ab.)", "address 1 - postal code",
                    "varCap" } },
            { "varProv",
                { "prov.", "provincia", "state", "region", "home state", "business state", "provincia (uff.)",
                    "provincia (ab.)", "address 1 - region", "varProv" } },
            { "varCel",
                { "cellulare", "cell", "telefono cellulare", "mobile", "mobile phone", "cell phone", "varCel" } },
            { "varCasa",
                { "tel. casa", "telefono casa", "telefono abitazione", "abitazione", "home phone", "telefono",
                    "phone", "varCasa" } },
            { "varUff",
                { "tel. uff.", "telefono ufficio", "ufficio", "telefono lavoro", "business phone", "work phone",
                    "varUff" } },
            { "varFax", { "fax", "fax ufficio", "business fax", "home fax", "varFax" } },
            { "varCodFisc", { "cod. fiscale", "codice fiscale", "varCodFisc" } },
            { "varIva", { "partita iva", "p. iva", "p.iva", "vat number", "varIva" } },
            { "varIban", { "iban", "varIban" } },
            { "varPagamenti", { "pagamenti", "varPagamenti" } },
            { "varNote", { "note", "notes", "annotazioni", "varNote" } },
        };
        QHash<QString, QByteArray> map;
        for (const auto& [key, headings] : table)
            for (const QString& h : headings)
                map.insert(normalisedHeading(h), key);
        return map;
    }();
    return known.value(normalisedHeading(heading), QByteArray(kJoinNote));
}

QList<QByteArray> ContactMapping::guessTargets(const QStringList& headings)
{
    QList<QByteArray> out;
    QSet<QByteArray> taken;
    for (const QString& h : headings) {
        QByteArray t = targetOf(h);
        // A second column for the same field (e.g. a second e-mail) joins
        // the note instead of competing with the first.
        if (t.startsWith("var") && t != "varNote" && taken.contains(t))
            t = kJoinNote;
        taken.insert(t);
        out << t;
    }
    return out;
}

ImportedContact ContactMapping::fromVCard(const VCard& card)
{
    Builder b(card.line);
    b.problems(card.problems);
    bool hasN = false;
    QString fn;
    bool addressDone = false;
    for (const VCardProperty& p : card.properties) {
        if (p.binary || technical(p.name))
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
            QString number = p.text.trimmed();
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number.remove(0, 4);
            if (b.isSet(column))
                b.note(labelOf(column), number);
            else
                b.set(column, number);
        } else if (p.name == "ADR") {
            if (addressDone) {
                b.note(noteCaption(p.name), joined(p.parts, QStringLiteral(", ")));
            } else {
                address(b, p.parts);
                addressDone = true;
            }
        } else if (p.name == "ORG") {
            b.set("varAzienda", joined(p.parts, QStringLiteral(", ")));
        } else if (p.name == "TITLE") {
            b.set("varQualifica", p.text);
        } else if (p.name == "NOTE") {
            b.set("varNote", p.text);
        } else {
            b.note(noteCaption(p.name), p.name == "CATEGORIES" ? p.text : joined(p.parts, QStringLiteral(" ")));
        }
    }
    if (!hasN)
        b.set("varContatto", fn);
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

ImportedContact ContactMapping::fromCsvRow(
    const CsvRow& row, const QStringList& headings, const QList<QByteArray>& targets)
{
    Builder b(row.line);
    b.problems(row.problems);
    for (qsizetype i = 0; i < row.fields.size() && i < targets.size(); ++i) {
        const QByteArray& t = targets[i];
        const QString& value = row.fields[i];
        if (t == kIgnore)
            continue;
        if (t == kGivenName)
            b.given(value);
        else if (t == kFamilyName)
            b.family(value);
        else if (t == kJoinNote)
            b.note(i < headings.size() && !headings[i].isEmpty() ? headings[i]
                                                                  : QStringLiteral("Colonna %1").arg(i + 1),
                value);
        else
            b.set(t, value);
    }
    return b.finish();
}

QList<ImportedContact> ContactMapping::fromCsv(const CsvTable& table, const QList<QByteArray>& targets)
{
    QList<ImportedContact> out;
    out.reserve(table.rows.size());
    for (const CsvRow& row : table.rows)
        out << fromCsvRow(row, table.headings, targets);
    return out;
}
