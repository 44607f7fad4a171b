#include "contacts/import/heading_table.h"

#include "archives/archive_registry.h"
#include "contacts/import/contact_mapping.h"

#include <QHash>

namespace {

using namespace ContactMapping;

// One heading per row: a heading shared by several exports stands with the
// first that has it, and a numbered one with its first number. Headings not listed join the note under their own name.
const QList<HeadingTable::Row> kRows {
    // This program's own captions and the usual hand-made headings.
    { "Cognome e nome", "txtContatto" },
    { "Nome e cognome", "txtContatto" },
    { "Nominativo", "txtContatto" },
    { "Contatto", "txtContatto" },
    { "Nome completo", "txtContatto" },
    { "Full Name", "txtContatto" },
    { "Codice ID", "txtCodice" },
    { "Codice", "txtCodice" },
    { "Azienda", "txtAzienda" },
    { "Ditta", "txtAzienda" },
    { "Organisation", "txtAzienda" },
    { "Professione", "txtQualifica" },
    { "E-mail", "txtEmail" },
    { "Email", "txtEmail" },
    { "Indirizzo e-mail", "txtEmail" },
    { "Indirizzo email", "txtEmail" },
    { "Posta elettronica", "txtEmail" },
    { "Email Address", "txtEmail" },
    { "Gruppo", "txtGruppo" },
    { "Indirizzo", "txtIndirizzo" },
    { "Via", "txtIndirizzo" },
    { "Address", "txtIndirizzo" },
    { "Street", "txtIndirizzo" },
    { "Città", "txtCitta" },
    { "Comune", "txtCitta" },
    { "Località", "txtCitta" },
    { "City", "txtCitta" },
    { "CAP", "txtCap" },
    { "C.A.P.", "txtCap" },
    { "Codice postale", "txtCap" },
    { "ZIP", "txtCap" },
    { "ZIP Code", "txtCap" },
    { "Postal Code", "txtCap" },
    { "Postcode", "txtCap" },
    { "Prov.", "txtProv" },
    { "Provincia", "txtProv" },
    { "State", "txtProv" },
    { "Region", "txtProv" },
    { "Paese", kCountry },
    { "Nazione", kCountry },
    { "Country", kCountry },
    { "Cell", "txtCel" },
    { "Cell Phone", "txtCel" },
    { "Telefono cellulare", "txtCel" },
    { "Mobile", "txtCel" },
    { "Tel. casa", "txtCasa" },
    { "Telefono casa", "txtCasa" },
    { "Telefono abitazione", "txtCasa" },
    { "Telefono", "txtCasa" },
    { "Phone", "txtCasa" },
    { "Tel. uff.", "txtUff" },
    { "Telefono ufficio", "txtUff" },
    { "Telefono lavoro", "txtUff" },
    { "Work Phone", "txtUff" },
    { "Fax", "txtFax" },
    { "Fax ufficio", "txtFax" },
    { "Cod. fiscale", "txtCodFisc" },
    { "Codice fiscale", "txtCodFisc" },
    { "Partita Iva", "txtIva" },
    { "P. IVA", "txtIva" },
    { "P.IVA", "txtIva" },
    { "VAT Number", "txtIva" },
    { "IBAN", "txtIban" },
    { "Pagamenti", "txtPagamenti" },
    { "Annotazioni", "txtNote" },

    // Desktop mail program, English.
    { "First Name", kGivenName },
    { "Last Name", kFamilyName },
    { "Display Name", "txtContatto" },
    { "Nickname", kJoinNote },
    { "Primary Email", "txtEmail" },
    { "Secondary Email", "txtEmail" },
    { "Home Phone", "txtCasa" },
    { "Fax Number", "txtFax" },
    { "Mobile Number", "txtCel" },
    { "Home Address", "txtIndirizzo" },
    { "Home Address 2", "txtIndirizzo" },
    { "Home City", "txtCitta" },
    { "Home State", "txtProv" },
    { "Home ZipCode", "txtCap" },
    { "Home Country", kCountry },
    { "Work Address", kWorkStreet },
    { "Work Address 2", kWorkStreet },
    { "Work City", kWorkCity },
    { "Work State", kWorkRegion },
    { "Work ZipCode", kWorkZip },
    { "Work Country", kWorkCountry },
    { "Job Title", "txtQualifica" },
    { "Organization", "txtAzienda" },
    { "Notes", "txtNote" },

    // Desktop mail program, Italian.
    { "Nome", kGivenName },
    { "Cognome", kFamilyName },
    { "Nome visualizzato", "txtContatto" },
    { "Indirizzo email principale", "txtEmail" },
    { "Indirizzo email secondario", "txtEmail" },
    { "Tel. ufficio", "txtUff" },
    { "Tel. abitazione", "txtCasa" },
    { "Numero fax", "txtFax" },
    { "Numero cellulare", "txtCel" },
    { "Indirizzo abitazione", "txtIndirizzo" },
    { "Indirizzo abitazione 2", "txtIndirizzo" },
    { "Città abitazione", "txtCitta" },
    { "Provincia abitazione", "txtProv" },
    { "CAP abitazione", "txtCap" },
    { "Nazione abitazione", kCountry },
    { "Indirizzo ufficio", kWorkStreet },
    { "Indirizzo ufficio 2", kWorkStreet },
    { "Città ufficio", kWorkCity },
    { "Provincia ufficio", kWorkRegion },
    { "CAP ufficio", kWorkZip },
    { "Nazione ufficio", kWorkCountry },
    { "Qualifica", "txtQualifica" },
    { "Organizzazione", "txtAzienda" },
    { "Note", "txtNote" },

    // Office mail program, English.
    { "Middle Name", kMiddleName },
    { "Company", "txtAzienda" },
    { "Business Street", kWorkStreet },
    { "Business Street 2", kWorkStreet },
    { "Business City", kWorkCity },
    { "Business State", kWorkRegion },
    { "Business Postal Code", kWorkZip },
    { "Business Country/Region", kWorkCountry },
    { "Business Address PO Box", kWorkStreet },
    { "Home Street", "txtIndirizzo" },
    { "Home Street 2", "txtIndirizzo" },
    { "Home Postal Code", "txtCap" },
    { "Home Country/Region", kCountry },
    { "Home Address PO Box", "txtIndirizzo" },
    { "Business Fax", "txtFax" },
    { "Business Phone", "txtUff" },
    { "Business Phone 2", "txtUff" },
    { "Company Main Phone", "txtUff" },
    { "Home Fax", "txtFax" },
    { "Home Phone 2", "txtCasa" },
    { "Mobile Phone", "txtCel" },
    { "Other Fax", "txtFax" },
    { "Primary Phone", "txtCasa" },
    { "Categories", "txtGruppo" },
    { "E-mail Address", "txtEmail" },
    { "E-mail 2 Address", "txtEmail" },
    { "E-mail Type", kIgnore },
    { "E-mail Display Name", kIgnore },
    { "E-mail 2 Display Name", kIgnore },

    // Office mail program, Italian.
    { "Secondo nome", kMiddleName },
    { "Società", "txtAzienda" },
    { "Posizione", "txtQualifica" },
    { "Via (uff.)", kWorkStreet },
    { "Via (uff.) 2", kWorkStreet },
    { "Città (uff.)", kWorkCity },
    { "Provincia (uff.)", kWorkRegion },
    { "CAP (uff.)", kWorkZip },
    { "Paese (uff.)", kWorkCountry },
    { "Casella postale (uff.)", kWorkStreet },
    { "Via (ab.)", "txtIndirizzo" },
    { "Via (ab.) 2", "txtIndirizzo" },
    { "Città (ab.)", "txtCitta" },
    { "Provincia (ab.)", "txtProv" },
    { "CAP (ab.)", "txtCap" },
    { "Paese (ab.)", kCountry },
    { "Casella postale (ab.)", "txtIndirizzo" },
    { "Fax (uff.)", "txtFax" },
    { "Telefono (uff.)", "txtUff" },
    { "Telefono (uff.) 2", "txtUff" },
    { "Telefono principale società", "txtUff" },
    { "Fax (ab.)", "txtFax" },
    { "Telefono (ab.)", "txtCasa" },
    { "Telefono (ab.) 2", "txtCasa" },
    { "Cellulare", "txtCel" },
    { "Altro fax", "txtFax" },
    { "Telefono principale", "txtCasa" },
    { "Categorie", "txtGruppo" },
    { "Indirizzo posta elettronica", "txtEmail" },
    { "Indirizzo posta elettronica 2", "txtEmail" },
    { "Tipo posta elettronica", kIgnore },
    { "Nome visualizzato posta elettronica", kIgnore },

    // Webmail, older layout: numbered groups whose type says what they are.
    { "Name", "txtContatto" },
    { "Given Name", kGivenName },
    { "Additional Name", kMiddleName },
    { "Family Name", kFamilyName },
    { "E-mail 1 - Type", kIgnore },
    { "E-mail 1 - Value", "txtEmail" },
    { "Phone 1 - Type", kLabel },
    { "Phone 1 - Value", kPhoneByLabel },
    { "Address 1 - Type", kLabel },
    { "Address 1 - Formatted", kIgnore },
    { "Address 1 - Street", "txtIndirizzo" },
    { "Address 1 - City", "txtCitta" },
    { "Address 1 - PO Box", "txtIndirizzo" },
    { "Address 1 - Region", "txtProv" },
    { "Address 1 - Postal Code", "txtCap" },
    { "Address 1 - Country", kCountry },
    { "Address 1 - Extended Address", "txtIndirizzo" },
    { "Organization 1 - Type", kIgnore },
    { "Organization 1 - Name", "txtAzienda" },
    { "Organization 1 - Title", "txtQualifica" },

    // Webmail, newer layout: the same groups with a label.
    { "Organization Name", "txtAzienda" },
    { "Organization Title", "txtQualifica" },
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
        // The archive's own column names, as a file written from the archive
        // itself has them.
        const auto& columns = Archives::get(ArchiveKind::Contacts).columns;
        for (qsizetype i = 0; i < columns.size() - ArchiveDefinition::accessoryColumns().size(); ++i)
            map.insert(normalised(QString::fromLatin1(columns[i].name)), columns[i].control.toLatin1());
        return map;
    }();
    const auto it = known.constFind(normalised(heading));
    return it == known.cend() ? QByteArray() : *it;
}
