#include "groups/group_archive.h"

ArchiveDefinition GroupArchive::definition()
{
    ArchiveDefinition d;
    d.kind = ArchiveKind::Groups;
    d.fileName = QStringLiteral("Gruppi.db");
    d.table = "gruppi";
    // The same nine fields, captions and order in both searches.
    d.columns = {
        { .name = "varGruppo", .control = "txtGruppo", .label = "Nome gruppo", .search = "Nome gruppo",
            .advanced = true, .line = { .at = 0, .width = 35 }, .exportHeading = " Nome gruppo", .exportWidth = 250,
            .document = "Nome gruppo:" },
        { .name = "varTipologia", .control = "txtTipologia", .label = "Tipologia", .search = "Tipologia",
            .advanced = true, .line = { .at = 1, .lead = "  Tipo: ", .width = 25 }, .exportHeading = " Tipologia",
            .exportWidth = 250, .document = "Tipologia:" },
        { .name = "varDescrizione", .control = "txtDescrizione", .label = "Descrizione", .search = "Descrizione",
            .advanced = true, .line = { .at = 2, .lead = "  ", .width = 35 }, .exportHeading = " Descrizione",
            .exportWidth = 300, .document = "Descrizione:" },
        { .name = "varDestinatari", .control = "txtDestinatari", .label = "Destinatari", .search = "Destinatari",
            .advanced = true, .document = "Destinatari:" },
        { .name = "varEmail", .control = "txtEmail", .label = "Indirizzi e-mail", .search = "Indirizzi e-mail",
            .advanced = true, .document = "Indirizzi e-mail:" },
        { .name = "varInteressi", .control = "txtInteressi", .label = "Interessi principali",
            .search = "Interessi principali", .advanced = true, .exportHeading = " Interessi principali",
            .exportWidth = 300, .document = "Interessi principali:" },
        { .name = "varPersona", .control = "txtPersona", .label = "Persona di riferimento",
            .search = "Persona di riferimento", .advanced = true, .line = { .at = 3, .lead = "  Rif. ", .width = 25 },
            .exportHeading = " Persona di riferimento", .exportWidth = 250, .document = "Persona di riferimento:" },
        { .name = "varValutazione", .control = "txtValutazione", .label = "Valutazione", .search = "Valutazione",
            .advanced = true, .line = { .at = 4, .lead = "  Val. ", .width = 25 }, .exportHeading = " Valutazione",
            .exportWidth = 250, .document = "Valutazione:" },
        { .name = "varNote", .control = "txtNote", .label = "Note", .search = "Note", .advanced = true,
            .exportHeading = " Note", .exportWidth = 400, .document = "Note:" },
    };
    d.required = {
        { "txtGruppo", "Attenzione: per salvare la scheda corrente è necessario indicare il nome del gruppo.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare il nome del gruppo." },
        { "txtEmail", "Attenzione: per salvare la scheda corrente è necessario indicare almeno un indirizzo e-mail.",
            "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare almeno un indirizzo "
            "e-mail." },
    };
    d.firstField = QStringLiteral("txtGruppo");
    d.helpTitle = QStringLiteral("Gestione gruppi destinatari");
    d.helpParagraphs = helpParagraphs();

    d.searchMode = QStringLiteral("gruppi");
    d.quick = { "frmRicercaGru", 24, "Gruppi destinatari", "Si vuole stampare il presente elenco di voci?", false };
    d.advanced = { "frmAvanzateGru", 17, "Elenco gruppi destinatari",
        "Si vuole stampare il presente elenco gruppi destinatari?", true };
    d.advancedTitle = QStringLiteral("Ricerca gruppi destinatari in archivio");
    d.advancedCards = QStringLiteral("dei gruppi");

    d.exports = {
        .objectName = "frmExpGruppi",
        .caption = " Esportazione archivio gruppi destinatari",
        .sheetName = "Gruppi destinatari",
        .lastBoldColumn = 10, // K1, past the last filled column
        .helpTitle = "Esportazione archivio gruppi destinatari",
        .helpArchive = "dell'archivio",
        .helpCards = "schede dei gruppi di destinatari",
        .documentTitle = "SCHEDA GRUPPO DESTINATARI",
        .documentFileTitle = "Scheda gruppo destinatari",
        .requiredControl = "txtGruppo",
        .requiredText = "Attenzione: per poter esportare la scheda corrente in Microsoft Word è necessario indicare "
                        "il nome del gruppo.",
    };
    d.filesForm = QStringLiteral("frmAllegatiGru");
    d.folderForm = QStringLiteral("frmCartellaGru");
    return d;
}

QStringList GroupArchive::helpParagraphs()
{
    return {
        QStringLiteral(
            "L'archivio dei gruppi destinatari raccoglie le liste di distribuzione a cui si inviano messaggi e "
            "newsletter: ogni scheda riunisce il nome del gruppo, la tipologia, una descrizione, i nomi dei "
            "destinatari e i loro indirizzi e-mail separati da virgola, gli interessi principali, la persona di "
            "riferimento, una valutazione e le note."),
        QStringLiteral(
            "I destinatari si possono scrivere a mano oppure importare dalla rubrica dei contatti con il pulsante "
            "accanto all'elenco dei destinatari: nella ricerca che si apre, un doppio clic su un contatto ne "
            "aggiunge il nome all'elenco dei destinatari e l'indirizzo all'elenco degli indirizzi. Alla scheda si "
            "possono inoltre collegare fino a tre file, con il pulsante della graffetta, e una cartella del "
            "computer, con il pulsante della cartella."),
        QStringLiteral(
            "Per inserire un nuovo gruppo si preme Nuovo, si compilano i campi e si preme Salva: sono obbligatori "
            "il nome del gruppo e almeno un indirizzo e-mail. La scheda riceve un numero, che compare tra le frecce "
            "di navigazione. Per modificare una scheda la si richiama, si cambiano i dati e si preme di nuovo "
            "Salva; le modifiche, comprese le importazioni dalla rubrica, vengono registrate solo al salvataggio."),
        QStringLiteral(
            "Le frecce mostrano la prima scheda, la precedente, la successiva e l'ultima dell'archivio. Il "
            "binocolo apre la ricerca rapida, che cerca i gruppi in base a un campo e ne mostra l'elenco: un "
            "doppio clic su una riga carica la scheda. La lente di ingrandimento apre la ricerca avanzata, che "
            "combina più campi contemporaneamente."),
        QStringLiteral(
            "Il pulsante con la busta accanto agli indirizzi apre il programma di posta elettronica predefinito su "
            "un nuovo messaggio già indirizzato a tutti i membri del gruppo. Un elenco troppo lungo per il "
            "programma di posta si invia dall'archivio dei messaggi."),
        QStringLiteral(
            "Il pulsante Word esporta la scheda in vista in un documento di Microsoft Word; il pulsante Excel "
            "esporta l'intero archivio in un foglio di Microsoft Excel."),
    };
}
