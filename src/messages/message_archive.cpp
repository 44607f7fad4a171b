#include "messages/message_archive.h"

ArchiveDefinition MessageArchive::definition()
{
    ArchiveDefinition d;
    d.kind = ArchiveKind::Messages;
    d.fileName = QStringLiteral("Messaggi.db");
    d.table = "messaggi";
    // The list leads with the subject, so it is ordered by subject; the note
    // is shown whole.
    d.columns = {
        { .name = "varMittente", .control = "txtMittente", .label = "Nome mittente", .search = "Nome mittente",
            .advanced = true, .line = { .at = 2, .lead = "  Mitt. ", .leadWidth = 8, .width = 25 },
            .exportHeading = " Nome mittente", .exportWidth = 250, .document = "Nome mittente:" },
        { .name = "varEmailMitt", .control = "txtEmailMitt", .label = "E-mail mittente", .search = "E-mail mittente",
            .advanced = true, .exportHeading = " E-mail mittente", .exportWidth = 300, .document = "E-mail mittente:" },
        { .name = "varTipologia", .control = "txtTipologia", .label = "Tipologia messaggio",
            .search = "Tipologia messaggio", .advanced = true,
            .line = { .at = 1, .lead = "  Tipo: ", .leadWidth = 8, .width = 20 },
            .exportHeading = " Tipologia messaggio", .exportWidth = 250, .document = "Tipologia messaggio:" },
        { .name = "varCreazione", .control = "txtCreazione", .label = "Data creazione", .search = "Data creazione",
            .advanced = true, .line = { .at = 3, .lead = "  Data: ", .leadWidth = 8, .width = 20 },
            .exportHeading = " Data creazione", .exportWidth = 200, .document = "Data creazione:" },
        { .name = "varNote", .control = "txtNote", .label = "Note", .search = "Note", .advanced = true,
            .line = { .at = 4, .lead = "  Note: ", .leadWidth = 8 }, .exportHeading = " Note", .exportWidth = 400,
            .document = "Note:" },
        { .name = "varEmail", .control = "txtEmail", .label = "Indirizzi e-mail destinatari",
            .search = "Indirizzi e-mail destinatari", .advanced = true, .document = "Indirizzi e-mail destinatari:" },
        { .name = "varOggetto", .control = "txtOggetto", .label = "Oggetto", .search = "Oggetto", .advanced = true,
            .line = { .at = 0, .width = 45 }, .exportHeading = " Oggetto", .exportWidth = 400,
            .document = "Oggetto:" },
        { .name = "varTesto", .control = "txtTesto", .label = "Testo del messaggio", .search = "Testo",
            .advanced = true, .document = "Testo:" },
        { .name = "varAllegato", .control = "txtAllegato", .label = "File allegato", .search = "File allegato",
            .advanced = true, .exportHeading = " File allegato", .exportWidth = 400, .document = "File allegato:" },
    };
    d.required = {
        { "txtEmailMitt",
            "Attenzione: per salvare la scheda corrente è necessario indicare l'indirizzo e-mail del mittente.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare l'indirizzo e-mail del "
            "mittente." },
        { "txtEmail",
            "Attenzione: per salvare la scheda corrente è necessario indicare l'indirizzo e-mail di almeno un "
            "destinatario.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare l'indirizzo e-mail di "
            "almeno un destinatario." },
        { "txtTesto", "Attenzione: per salvare la scheda corrente è necessario indicare il testo del messaggio.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare il testo del "
            "messaggio." },
    };
    // A new card keeps the sender of the card shown before.
    d.keptOnClear = QStringList { QStringLiteral("txtMittente"), QStringLiteral("txtEmailMitt") };
    d.firstField = QStringLiteral("txtTipologia");
    d.helpTitle = QStringLiteral("Gestione archivio messaggi");
    d.helpParagraphs = helpParagraphs();

    d.searchMode = QStringLiteral("newsletter");
    d.quick = { "frmRicercaMes", 24, "Archivio messaggi", "Si vuole stampare il presente elenco di voci?", false };
    d.advanced = { "frmAvanzateMes", 17, "Archivio messaggi", "Si vuole stampare il presente elenco di voci?", true };
    d.advancedTitle = QStringLiteral("Ricerca messaggi in archivio");
    d.advancedCards = QStringLiteral("dei messaggi");

    d.exports = {
        .objectName = "frmExpMessaggi",
        .caption = " Esportazione archivio messaggi",
        .sheetName = "Archivio messaggi",
        .lastBoldColumn = 10, // K1, past the last filled column
        .helpTitle = "Esportazione archivio messaggi",
        .helpArchive = "dell'archivio",
        .helpCards = "schede dei messaggi",
        .documentTitle = "SCHEDA MESSAGGIO",
        .documentFileTitle = "Scheda messaggio",
    };
    d.filesForm = QStringLiteral("frmAllegatiMes");
    d.folderForm = QStringLiteral("frmCartellaMes");
    return d;
}
