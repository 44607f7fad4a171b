#include "shell/help_topics.h"

HelpTopic HelpTopics::launcher()
{
    return { QStringLiteral("Uno sguardo a Velmaro"), Help::paragraphs({
        QStringLiteral(
            "Velmaro è pensato per i piccoli uffici: raccoglie in archivio contatti, gruppi di destinatari "
            "e messaggi, e permette di inviare newsletter ed e-mail a molti destinatari in una sola volta, "
            "attraverso l'account di posta dell'ufficio oppure il programma di posta elettronica già installato "
            "sul computer."),
        QStringLiteral(
            "Dalla schermata iniziale si apre ciascun archivio con un clic sul riquadro corrispondente; "
            "chiudendo la schermata di lavoro si torna qui. In basso si trovano l'account di posta usato per "
            "l'invio diretto, la copia di sicurezza dei dati (con il ripristino), questa guida, le informazioni "
            "sul programma e il pulsante per uscire."),
        QStringLiteral("La rubrica contatti raccoglie le schede delle persone e delle aziende con cui si lavora: nome, "
                       "azienda, qualifica, indirizzo e-mail, indirizzo postale, numeri di telefono, codice fiscale, "
                       "partita IVA, coordinate bancarie IBAN, pagamenti e note."),
        QStringLiteral("L'archivio dei gruppi di destinatari raccoglie le liste di distribuzione: per ogni gruppo si "
                       "indicano nome, tipo e descrizione, i membri con i loro indirizzi e-mail, gli interessi, un "
                       "referente e una valutazione. I membri si importano direttamente dalla rubrica contatti."),
        QStringLiteral("L'archivio dei messaggi conserva le e-mail e le newsletter preparate: mittente, destinatari, "
                       "oggetto, testo e un file da allegare. I destinatari si scelgono dalla rubrica o dai gruppi; il "
                       "messaggio si invia direttamente oppure dopo averlo rivisto nel programma di posta."),
        QStringLiteral(
            "Il modulo Invia e-mail serve a spedire rapidamente un messaggio senza archiviarlo; i suoi campi "
            "si possono riempire, volendo, con i dati già presenti negli archivi."),
        QStringLiteral("Accanto al codice fiscale, alla partita IVA e all'IBAN di un contatto si trovano i pulsanti di "
                       "controllo, che verificano la correttezza formale dei dati inseriti; per la partita IVA viene "
                       "indicato anche l'ufficio provinciale che l'ha rilasciata."),
        QStringLiteral(
            "Ogni archivio si consulta scheda per scheda con le frecce di navigazione e si interroga con la "
            "ricerca rapida o con la ricerca avanzata su più campi; gli elenchi trovati si possono stampare. "
            "L'intero archivio si esporta in un foglio di calcolo (Excel), la singola scheda in un documento "
            "di videoscrittura (Word). Ogni scheda può avere inoltre tre file allegati e una cartella "
            "associata."),
        QStringLiteral(
            "Gli archivi sono file che Velmaro conserva nella propria cartella, accanto al programma. Per "
            "usarlo in una rete locale basta collocare la cartella del programma in una cartella condivisa: "
            "tutte le postazioni che lo avviano da lì lavorano sugli stessi archivi. È bene però evitare che "
            "due persone modifichino la stessa scheda nello stesso momento."),
        QStringLiteral(
            "Per la stessa ragione Velmaro si può copiare, insieme alla sua cartella, su una chiavetta USB e "
            "avviare da lì su qualsiasi computer, portando con sé i propri archivi. Prima di scollegare la "
            "chiavetta occorre chiudere il programma."),
    }) };
}
