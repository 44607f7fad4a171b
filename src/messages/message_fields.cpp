#include "messages/message_fields.h"

#include "messages/message_search.h"

const ArchiveProfile& MessageFields::profile()
{
    static const ArchiveProfile config = [] {
        ArchiveProfile c;
        c.kind = ArchiveKind::Messages;
        c.fields = {
            { "txtMittente", "varMittente", "Nome mittente" },
            { "txtEmailMitt", "varEmailMitt", "E-mail mittente" },
            { "txtTipologia", "varTipologia", "Tipologia messaggio" },
            { "txtCreazione", "varCreazione", "Data creazione" },
            { "txtNote", "varNote", "Note" },
            { "txtEmail", "varEmail", "Indirizzi e-mail destinatari" },
            { "txtOggetto", "varOggetto", "Oggetto" },
            { "txtTesto", "varTesto", "Testo del messaggio" },
            { "txtAllegato", "varAllegato", "File allegato" },
        };
        // A new card keeps the sender of the card shown before.
        c.keptOnClear = QStringList { QStringLiteral("txtMittente"), QStringLiteral("txtEmailMitt") };
        c.firstField = QStringLiteral("txtTipologia");
        c.help = helpTopic();
        c.searchMode = QStringLiteral("newsletter");
        c.quickSearch = [] { return frmRicercaMes; };
        c.advancedSearch = [] { return frmAvanzateMes; };
        c.required = {
            { "txtEmailMitt",
                "Attenzione: per salvare la scheda corrente è necessario indicare l'indirizzo e-mail del mittente.",
                "Attenzione: per salvare le modifiche alla scheda corrente è necessario indicare l'indirizzo e-mail "
                "del "
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
        return c;
    }();
    return config;
}
