#include "contacts/import/heading_table.h"

#include "contacts/import/contact_mapping.h"

#include <QHash>

namespace {

using namespace ContactMapping;

// One heading per row: a heading shared by several exports stands with the
// first that has it, and a numbered one with its first number. Headings not listed join the note under their own name.
const QList<HeadingTable::Row> kRows {
    // This program's own captions and column names, and the usual hand-made headings.
    { "Cognome e nome", "varContatto" },
    { "Nome e cognome", "varContatto" },
    { "Nominativo", "varContatto" },
    { "Contatto", "varContatto" },
    { "Nome completo", "varContatto" },
    { "Full Name", "varContatto" },
    { "Codice ID", "varCodice" },
    { "Codice", "varCodice" },
    { "Azienda", "varAzienda" },
    { "Ditta", "varAzienda" },
    { "Organisation", "varAzienda" },
    { "Professione", "varQualifica" },
    { "E-mail", "varEmail" },
    { "Email", "varEmail" },
    { "Indirizzo e-mail", "varEmail" },
    { "Indirizzo email", "varEmail" },
    { "Posta elettronica", "varEmail" },
    { "Email Address", "varEmail" },
    { "Gruppo", "varGruppo" },
    { "Indirizzo", "varIndirizzo" },
    { "Via", "varIndirizzo" },
    { "Address", "varIndirizzo" },
    { "Street", "varIndirizzo" },
    { "Città", "varCitta" },
    { "Comune", "varCitta" },
    { "Località", "varCitta" },
    { "City", "varCitta" },
    { "CAP", "varCap" },
    { "C.A.P.", "varCap" },
    { "Codice postale", "varCap" },
    { "ZIP", "varCap" },
    { "ZIP Code", "varCap" },
    { "Postal Code", "varCap" },
    { "Postcode", "varCap" },
    { "Prov.", "varProv" },
    { "Provincia", "varProv" },
    { "State", "varProv" },
    { "Region", "varProv" },
    { "Paese", kCountry },
    { "Nazione", kCountry },
    { "Country", kCountry },
    { "Cell", "varCel" },
    { "Cell Phone", "varCel" },
    { "Telefono cellulare", "varCel" },
    { "Mobile", "varCel" },
    { "Tel. casa", "varCasa" },
    { "Telefono casa", "varCasa" },
    { "Telefono abitazione", "varCasa" },
    { "Telefono", "varCasa" },
    { "Phone", "varCasa" },
    { "Tel. uff.", "varUff" },
    { "Telefono ufficio", "varUff" },
    { "Telefono lavoro", "varUff" },
    { "Work Phone", "varUff" },
    { "Fax", "varFax" },
    { "Fax ufficio", "varFax" },
    { "Cod. fiscale", "varCodFisc" },
    { "Codice fiscale", "varCodFisc" },
    { "Partita Iva", "varIva" },
    { "P. IVA", "varIva" },
    { "P.IVA", "varIva" },
    { "VAT Number", "varIva" },
    { "IBAN", "varIban" },
    { "Pagamenti", "varPagamenti" },
    { "Annotazioni", "varNote" },
    { "varContatto", "varContatto" },
    { "varCodice", "varCodice" },
    { "varAzienda", "varAzienda" },
    { "varQualifica", "varQualifica" },
    { "varEmail", "varEmail" },
    { "varGruppo", "varGruppo" },
    { "varIndirizzo", "varIndirizzo" },
    { "varCitta", "varCitta" },
    { "varCap", "varCap" },
    { "varProv", "varProv" },
    { "varCel", "varCel" },
    { "varCasa", "varCasa" },
    { "varUff", "varUff" },
    { "varFax", "varFax" },
    { "varCodFisc", "varCodFisc" },
    { "varIva", "varIva" },
    { "varIban", "varIban" },
    { "varPagamenti", "varPagamenti" },
    { "varNote", "varNote" },

    // Desktop mail program, English.
    { "First Name", kGivenName },
    { "Last Name", kFamilyName },
    { "Display Name", "varContatto" },
    { "Nickname", kJoinNote },
    { "Primary Email", "varEmail" },
    { "Secondary Email", "varEmail" },
    { "Home Phone", "varCasa" },
    { "Fax Number", "varFax" },
    { "Mobile Number", "varCel" },
    { "Home Address", "varIndirizzo" },
    { "Home Address 2", "varIndirizzo" },
    { "Home City", "varCitta" },
    { "Home State", "varProv" },
    { "Home ZipCode", "varCap" },
    { "Home Country", kCountry },
    { "Work Address", kWorkStreet },
    { "Work Address 2", kWorkStreet },
    { "Work City", kWorkCity },
    { "Work State", kWorkRegion },
    { "Work ZipCode", kWorkZip },
    { "Work Country", kWorkCountry },
    { "Job Title", "varQualifica" },
    { "Organization", "varAzienda" },
    { "Notes", "varNote" },

    // Desktop mail program, Italian.
    { "Nome", kGivenName },
    { "Cognome", kFamilyName },
    { "Nome visualizzato", "varContatto" },
    { "Indirizzo email principale", "varEmail" },
    { "Indirizzo email secondario", "varEmail" },
    { "Tel. ufficio", "varUff" },
    { "Tel. abitazione", "varCasa" },
    { "Numero fax", "varFax" },
    { "Numero cellulare", "varCel" },
    { "Indirizzo abitazione", "varIndirizzo" },
    { "Indirizzo abitazione 2", "varIndirizzo" },
    { "Città abitazione", "varCitta" },
    { "Provincia abitazione", "varProv" },
    { "CAP abitazione", "varCap" },
    { "Nazione abitazione", kCountry },
    { "Indirizzo ufficio", kWorkStreet },
    { "Indirizzo ufficio 2", kWorkStreet },
    { "Città ufficio", kWorkCity },
    { "Provincia ufficio", kWorkRegion },
    { "CAP ufficio", kWorkZip },
    { "Nazione ufficio", kWorkCountry },
    { "Qualifica", "varQualifica" },
    { "Organizzazione", "varAzienda" },
    { "Note", "varNote" },

    // Office mail program, English.
    { "Middle Name", kMiddleName },
    { "Company", "varAzienda" },
    { "Business Street", kWorkStreet },
    { "Business Street 2", kWorkStreet },
    { "Business City", kWorkCity },
    { "Business State", kWorkRegion },
    { "Business Postal Code", kWorkZip },
    { "Business Country/Region", kWorkCountry },
    { "Business Address PO Box", kWorkStreet },
    { "Home Street", "varIndirizzo" },
    { "Home Street 2", "varIndirizzo" },
    { "Home Postal Code", "varCap" },
    { "Home Country/Region", kCountry },
    { "Home Address PO Box", "varIndirizzo" },
    { "Business Fax", "varFax" },
    { "Business Phone", "varUff" },
    { "Business Phone 2", "varUff" },
    { "Company Main Phone", "varUff" },
    { "Home Fax", "varFax" },
    { "Home Phone 2", "varCasa" },
    { "Mobile Phone", "varCel" },
    { "Other Fax", "varFax" },
    { "Primary Phone", "varCasa" },
    { "Categories", "varGruppo" },
    { "E-mail Address", "varEmail" },
    { "E-mail 2 Address", "varEmail" },
    { "E-mail Type", kIgnore },
    { "E-mail Display Name", kIgnore },
    { "E-mail 2 Display Name", kIgnore },

    // Office mail program, Italian.
    { "Secondo nome", kMiddleName },
    { "Società", "varAzienda" },
    { "Posizione", "varQualifica" },
    { "Via (uff.)", kWorkStreet },
    { "Via (uff.) 2", kWorkStreet },
    { "Città (uff.)", kWorkCity },
    { "Provincia (uff.)", kWorkRegion },
    { "CAP (uff.)", kWorkZip },
    { "Paese (uff.)", kWorkCountry },
    { "Casella postale (uff.)", kWorkStreet },
    { "Via (ab.)", "varIndirizzo" },
    { "Via (ab.) 2", "varIndirizzo" },
    { "Città (ab.)", "varCitta" },
    { "Provincia (ab.)", "varProv" },
    { "CAP (ab.)", "varCap" },
    { "Paese (ab.)", kCountry },
    { "Casella postale (ab.)", "varIndirizzo" },
    { "Fax (uff.)", "varFax" },
    { "Telefono (uff.)", "varUff" },
    { "Telefono (uff.) 2", "varUff" },
    { "Telefono principale società", "varUff" },
    { "Fax (ab.)", "varFax" },
    { "Telefono (ab.)", "varCasa" },
    { "Telefono (ab.) 2", "varCasa" },
    { "Cellulare", "varCel" },
    { "Altro fax", "varFax" },
    { "Telefono principale", "varCasa" },
    { "Categorie", "varGruppo" },
    { "Indirizzo posta elettronica", "varEmail" },
    { "Indirizzo posta elettronica 2", "varEmail" },
    { "Tipo posta elettronica", kIgnore },
    { "Nome visualizzato posta elettronica", kIgnore },

    // Webmail, older layout: numbered groups whose type says what they are.
    { "Name", "varContatto" },
    { "Given Name", kGivenName },
    { "Additional Name", kMiddleName },
    { "Family Name", kFamilyName },
    { "E-mail 1 - Type", kIgnore },
    { "E-mail 1 - Value", "varEmail" },
    { "Phone 1 - Type", kLabel },
    { "Phone 1 - Value", kPhoneByLabel },
    { "Address 1 - Type", kLabel },
    { "Address 1 - Formatted", kIgnore },
    { "Address 1 - Street", "varIndirizzo" },
    { "Address 1 - City", "varCitta" },
    { "Address 1 - PO Box", "varIndirizzo" },
    { "Address 1 - Region", "varProv" },
    { "Address 1 - Postal Code", "varCap" },
    { "Address 1 - Country", kCountry },
    { "Address 1 - Extended Address", "varIndirizzo" },
    { "Organization 1 - Type", kIgnore },
    { "Organization 1 - Name", "varAzienda" },
    { "Organization 1 - Title", "varQualifica" },

    // Webmail, newer layout: the same groups with a label.
    { "Organization Name", "varAzienda" },
    { "Organization Title", "varQualifica" },
    { "File As", kIgnore },
    { "E-mail 1 - Label", kIgnore },
    { "Phone 1 - Label", kLabel },
    { "Address 1 - Label", kLabel },
};

} // namespace

const QList<HeadingTable::Row>& HeadingTable::rows() { return kRows; }

QString HeadingTable::normalised(const QString& heading)
{
    QString out;
    out.reserve(heading.size());
    bool inNumber = false;
    for (const QChar c : heading.normalized(QString::NormalizationForm_D)) {
        if (c.isMark())
            continue;
        if (c.isDigit()) {
            if (!inNumber)
                out += u'#';
            inNumber = true;
            continue;
        }
        inNumber = false;
        if (QStringView(u"-_.:/()#*'").contains(c))
            out += u' ';
        else
            out += c.toLower();
    }
    return out.simplified();
}

QByteArray HeadingTable::lookup(const QString& heading)
{
    static const QHash<QString, QByteArray> known = [] {
        QHash<QString, QByteArray> map;
        for (const Row& r : kRows)
            map.insert(normalised(QString::fromUtf8(r.heading)), QByteArray(r.target));
        return map;
    }();
    const auto it = known.constFind(normalised(heading));
    return it == known.cend() ? QByteArray() : *it;
}
