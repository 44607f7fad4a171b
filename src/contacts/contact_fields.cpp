#include "contacts/contact_fields.h"

#include "contacts/contact_search.h"

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

const QStringList& ContactFields::provinces()
{
    static const QStringList list = QStringLiteral(
        "AG AL AN AO AP AQ AR AT AV BA BG BI BL BN BO BR BS BT BZ CA CB CE CH CI CL CN CO CR CS CT CZ EE EN FC FE FG "
        "FI FM FO FR GE GO GR IM IS KR LC LE LI LO LT LU MB MC MD ME MI MN MO MS MT NA NO NU OG OR OT PA PC PD PE PG "
        "PI PN PO PR PT PU PV PZ RA RC RE RG RI RM RN RO SA SI SO SP SR SS SV TA TE TN TO TP TR TS TV UD VA VB VC VE "
        "VI VR VT VV")
                                        .split(QLatin1Char(' '));
    return list;
}
