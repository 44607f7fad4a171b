#include "contacts/contact_archive.h"

ArchiveDefinition ContactArchive::definition()
{
    ArchiveDefinition d;
    d.kind = ArchiveKind::Contacts;
    d.fileName = QStringLiteral("Contatti.db");
    d.table = "contatti";
    d.columns = {
        { .name = "varContatto", .control = "txtContatto", .label = "Cognome e nome",
            .search = "Cognome e nome contatto", .advanced = true, .line = { .at = 0, .width = 35 },
            .exportHeading = " Cognome e nome contatto", .exportWidth = 250, .document = "Cognome e nome contatto:" },
        { .name = "varCodice", .control = "txtCodice", .label = "Codice ID", .search = "Codice ID", .advanced = true,
            .line = { .at = 1, .lead = "  Cod. ID: ", .leadWidth = 11, .width = 20 }, .exportHeading = " Codice ID",
            .exportWidth = 200, .document = "Codice ID:" },
        { .name = "varAzienda", .control = "txtAzienda", .label = "Azienda", .search = "Azienda", .advanced = true,
            .line = { .at = 2, .lead = "  ", .leadWidth = 2, .width = 35 }, .exportHeading = " Azienda",
            .exportWidth = 250, .document = "Azienda:" },
        { .name = "varQualifica", .control = "txtQualifica", .label = "Qualifica", .search = "Qualifica",
            .advanced = true, .exportHeading = " Qualifica", .exportWidth = 250, .document = "Qualifica:" },
        { .name = "varEmail", .control = "txtEmail", .label = "E-mail", .search = "E-mail",
            .line = { .at = 3, .lead = "  E-mail: ", .leadWidth = 10, .width = 30 }, .exportHeading = " E-mail",
            .exportWidth = 300, .document = "E-mail:" },
        { .name = "varGruppo", .control = "txtGruppo", .label = "Gruppo", .search = "Gruppo", .advanced = true,
            .line = { .at = 4, .lead = "  Gruppo: ", .leadWidth = 10, .width = 25 }, .exportHeading = " Gruppo",
            .exportWidth = 250, .document = "Gruppo:" },
        { .name = "varIndirizzo", .control = "txtIndirizzo", .label = "Indirizzo", .search = "Indirizzo",
            .exportHeading = " Indirizzo", .exportWidth = 400, .document = "Indirizzo:" },
        { .name = "varCitta", .control = "txtCitta", .label = "Città", .search = "Città", .advanced = true,
            .exportHeading = " Città", .exportWidth = 250, .document = "Città:" },
        { .name = "varCap", .control = "txtCap", .label = "CAP", .search = "CAP", .exportHeading = " CAP",
            .exportWidth = 150, .document = "CAP:" },
        { .name = "varProv", .control = "txtProv", .label = "Prov.", .search = "Sigla provincia",
            .exportHeading = " Prov.", .exportWidth = 150, .document = "Provincia:" },
        { .name = "varCel", .control = "txtCel", .label = "Cellulare", .search = "Cellulare",
            .exportHeading = " Cellulare", .exportWidth = 200, .document = "Cellulare:" },
        { .name = "varCasa", .control = "txtCasa", .label = "Tel. casa", .search = "Tel. casa",
            .exportHeading = " Tel. casa", .exportWidth = 200, .document = "Tel. casa:" },
        { .name = "varUff", .control = "txtUff", .label = "Tel. uff.", .search = "Tel. ufficio",
            .exportHeading = " Tel. ufficio", .exportWidth = 200, .document = "Tel. ufficio:" },
        { .name = "varFax", .control = "txtFax", .label = "Fax", .search = "Fax", .exportHeading = " Fax",
            .exportWidth = 200, .document = "Fax:" },
        { .name = "varCodFisc", .control = "txtCodFisc", .label = "Cod. fiscale", .search = "Codice fiscale",
            .advanced = true, .exportHeading = " Codice fiscale", .exportWidth = 200, .document = "Codice fiscale:" },
        { .name = "varIva", .control = "txtIva", .label = "Partita Iva", .search = "Partita Iva",
            .exportHeading = " Partita Iva", .exportWidth = 200, .document = "Partita Iva:" },
        { .name = "varIban", .control = "txtIban", .label = "IBAN", .search = "Codice IBAN",
            .exportHeading = " Codice IBAN", .exportWidth = 200, .document = "Codice IBAN:" },
        { .name = "varPagamenti", .control = "txtPagamenti", .label = "Pagamenti", .search = "Pagamenti",
            .advanced = true, .exportHeading = " Pagamenti", .exportWidth = 400, .document = "Pagamenti:" },
        { .name = "varNote", .control = "txtNote", .label = "Note", .search = "Note", .advanced = true,
            .document = "Note:" },
    };
    d.required = {
        { "txtContatto", "Attenzione: per salvare la scheda corrente è necessario indicare il nome del contatto.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare il nome del contatto.",
            "manca il nome del contatto" },
        { "txtEmail", "Attenzione: per salvare la scheda corrente è necessario indicare l'indirizzo e-mail del contatto.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare l'indirizzo e-mail del "
            "contatto.",
            "manca l'indirizzo e-mail" },
    };
    d.firstField = QStringLiteral("txtContatto");
    d.helpTitle = QStringLiteral("Gestione rubrica contatti");
    d.helpParagraphs = helpParagraphs();

    d.searchMode = QStringLiteral("rubrica");
    d.quick = { "frmRicercaRub", 24, "Rubrica contatti", "Si vuole stampare il presente elenco di voci?", false };
    d.advanced
        = { "frmAvanzateRub", 17, "Elenco contatti", "Si vuole stampare il presente elenco contatti?", true };
    d.advancedTitle = QStringLiteral("Ricerca contatti in archivio");
    d.advancedCards = QStringLiteral("dei contatti");

    d.exports = {
        .objectName = "frmExpRubrica",
        .caption = " Esportazione rubrica contatti",
        .sheetName = "Rubrica contatti",
        .lastBoldColumn = 18, // S1
        .helpTitle = "Esportazione rubrica contatti",
        .helpArchive = "della rubrica",
        .helpCards = "schede dei contatti",
        .documentTitle = "SCHEDA CONTATTO",
        .documentFileTitle = "Scheda contatto",
        .requiredControl = "txtContatto",
        .requiredText = "Attenzione: per poter esportare la scheda corrente in Microsoft Word è necessario indicare "
                        "il nome del contatto.",
    };
    d.filesForm = QStringLiteral("frmAllegatiRub");
    d.folderForm = QStringLiteral("frmCartellaRub");
    return d;
}
