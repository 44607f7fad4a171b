#include "messages/message_fields.h"

const CardEditorConfig& MessageFields::editorConfig()
{
    static const CardEditorConfig config = [] {
        CardEditorConfig c;
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
            { "lblFile01", "varFile01", "File allegato 1" },
            { "lblFile02", "varFile02", "File allegato 2" },
            { "lblFile03", "varFile03", "File allegato 3" },
            { "lblDesc01", "varDesc01", "Descrizione file 1" },
            { "lblDesc02", "varDesc02", "Descrizione file 2" },
            { "lblDesc03", "varDesc03", "Descrizione file 3" },
            { "lblCartella", "varCartella", "Cartella associata" },
            { "lblCartellaDesc", "varCartellaDesc", "Descrizione cartella" },
        };
        // A new card keeps the sender of the card shown before.
        c.keptOnClear = QStringList { QStringLiteral("txtMittente"), QStringLiteral("txtEmailMitt") };
        c.firstField = QStringLiteral("txtTipologia");
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
