#include "contacts/contact_fields.h"

#include "contacts/contact_search.h"
#include "contacts/province_codes.h"
#include "mail/personalisation.h"

const ArchiveProfile& ContactFields::profile()
{
    static const ArchiveProfile config = [] {
        ArchiveProfile c;
        c.kind = ArchiveKind::Contacts;
        c.fields = {
            { "txtContatto", "varContatto", "Cognome e nome" },
            { "txtCodice", "varCodice", "Codice ID" },
            { "txtAzienda", "varAzienda", "Azienda" },
            { "txtQualifica", "varQualifica", "Qualifica" },
            { "txtEmail", "varEmail", "E-mail" },
            { "txtGruppo", "varGruppo", "Gruppo" },
            { "txtIndirizzo", "varIndirizzo", "Indirizzo" },
            { "txtCitta", "varCitta", "Città" },
            { "txtCap", "varCap", "CAP" },
            { "txtProv", "varProv", "Prov." },
            { "txtCel", "varCel", "Cellulare" },
            { "txtCasa", "varCasa", "Tel. casa" },
            { "txtUff", "varUff", "Tel. uff." },
            { "txtFax", "varFax", "Fax" },
            { "txtCodFisc", "varCodFisc", "Cod. fiscale" },
            { "txtIva", "varIva", "Partita Iva" },
            { "txtIban", "varIban", "IBAN" },
            { "txtPagamenti", "varPagamenti", "Pagamenti" },
            { "txtNote", "varNote", "Note" },
        };
        c.firstField = QStringLiteral("txtContatto");
        c.help = helpTopic();
        c.searchMode = QStringLiteral("rubrica");
        c.quickSearch = [] { return frmRicercaRub; };
        c.advancedSearch = [] { return frmAvanzateRub; };
        c.required = {
            { "txtContatto", "Attenzione: per salvare la scheda corrente è necessario indicare il nome del contatto.",
                "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare il nome del "
                "contatto." },
            { "txtEmail",
                "Attenzione: per salvare la scheda corrente è necessario indicare l'indirizzo e-mail del contatto.",
                "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare l'indirizzo e-mail "
                "del "
                "contatto." },
        };
        return c;
    }();
    return config;
}

const QStringList& ContactFields::provinces() { return ProvinceCodes::all(); }

void ContactFields::installPersonalFields()
{
    PersonalFields::install([] {
        QList<PersonalFields::Field> fields;
        for (const ArchiveProfile::Field& f : profile().fields)
            fields.append({ f.label, f.column });
        return fields;
    });
}
