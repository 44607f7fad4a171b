#include "groups/group_fields.h"

#include "groups/group_search.h"

const ArchiveProfile& GroupFields::profile()
{
    static const ArchiveProfile config = [] {
        ArchiveProfile c;
        c.kind = ArchiveKind::Groups;
        c.fields = {
            { "txtGruppo", "varGruppo", "Nome gruppo" },
            { "txtTipologia", "varTipologia", "Tipologia" },
            { "txtDescrizione", "varDescrizione", "Descrizione" },
            { "txtDestinatari", "varDestinatari", "Destinatari" },
            { "txtEmail", "varEmail", "Indirizzi e-mail" },
            { "txtInteressi", "varInteressi", "Interessi principali" },
            { "txtPersona", "varPersona", "Persona di riferimento" },
            { "txtValutazione", "varValutazione", "Valutazione" },
            { "txtNote", "varNote", "Note" },
        };
        c.firstField = QStringLiteral("txtGruppo");
        c.help = helpTopic();
        c.searchMode = QStringLiteral("gruppi");
        c.quickSearch = [] { return frmRicercaGru; };
        c.advancedSearch = [] { return frmAvanzateGru; };
        c.required = {
            { "txtGruppo", "Attenzione: per salvare la scheda corrente è necessario indicare il nome del gruppo.",
                "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare il nome del "
                "gruppo." },
            { "txtEmail",
                "Attenzione: per salvare la scheda corrente è necessario indicare almeno un indirizzo e-mail.",
                "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare almeno un "
                "indirizzo e-mail." },
        };
        return c;
    }();
    return config;
}

HelpTopic GroupFields::helpTopic()
{
    return { QStringLiteral("Gestione gruppi destinatari"), Help::paragraphs({
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
    }) };
}
