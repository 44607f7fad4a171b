#include "shell/help_topics.h"

#include <QStringList>

namespace {

QString paragraphs(const QStringList& list) { return list.join(QStringLiteral("\r\n\r\n")); }

} // namespace

QString HelpTopics::launcherTitle() { return QStringLiteral("Uno sguardo a Velmaro"); }

QString HelpTopics::launcherText()
{
    return paragraphs({
        QStringLiteral(
            "Velmaro è pensato per i piccoli uffici: raccoglie in archivio contatti, gruppi di destinatari "
            "e messaggi, e permette di inviare newsletter ed e-mail a molti destinatari in una sola volta "
            "usando il programma di posta elettronica già installato sul computer. Velmaro non spedisce la "
            "posta da sé: prepara il messaggio e lo consegna al programma di posta, che si occupa dell'invio."),
        QStringLiteral(
            "Dalla schermata iniziale si apre ciascun archivio con un clic sul riquadro corrispondente; "
            "chiudendo la schermata di lavoro si torna qui. In basso si trovano questa guida, le informazioni "
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
    });
}

QString HelpTopics::contactsTitle() { return QStringLiteral("Gestione rubrica contatti"); }

QString HelpTopics::contactsText()
{
    return paragraphs({
        QStringLiteral("La rubrica contatti raccoglie in archivio le schede delle persone e delle aziende a cui si "
                       "scrive: ogni scheda riunisce dati anagrafici, recapiti, dati fiscali e bancari e note di un "
                       "contatto. Dalla rubrica si scelgono anche i membri dei gruppi e i destinatari dei messaggi."),
        QStringLiteral(
            "Nel primo riquadro della scheda si indicano cognome e nome, un codice identificativo a scelta, "
            "l'azienda, la qualifica, l'indirizzo e-mail e il gruppo di appartenenza; nel secondo l'indirizzo, "
            "la città, il CAP, la sigla della provincia (scelta dall'elenco o digitata), il cellulare, i "
            "telefoni di casa e dell'ufficio e il fax; nel terzo il codice fiscale, la partita IVA, le "
            "coordinate IBAN, le modalità di pagamento e le note. La sigla della provincia, il codice fiscale e "
            "l'IBAN vengono scritti in maiuscolo; la partita IVA accetta solo cifre."),
        QStringLiteral(
            "Il campo in cui si sta scrivendo è evidenziato in giallo. Premendo Invio si passa al campo "
            "successivo; nelle note Invio va a capo. Passando con il mouse sopra un pulsante, la barra blu in "
            "fondo alla scheda ne descrive la funzione."),
        QStringLiteral(
            "Con il pulsante della graffetta si collegano alla scheda fino a tre file (documenti, immagini, "
            "contratti...), ciascuno con una breve descrizione; con il pulsante della cartella si associa alla "
            "scheda una cartella del computer. File e cartella si aprono poi dalle rispettive finestre. I "
            "collegamenti vengono registrati in archivio solo al salvataggio della scheda."),
        QStringLiteral(
            "I pulsanti di controllo accanto al codice fiscale, alla partita IVA e all'IBAN verificano i dati "
            "inseriti: il codice fiscale di una persona viene controllato nella sua struttura e nel carattere "
            "di controllo; un codice fiscale numerico o una partita IVA vengono verificati con la cifra di "
            "controllo, indicando anche l'ufficio provinciale di rilascio; l'IBAN viene verificato con il suo "
            "codice di controllo. Il controllo non modifica la scheda."),
        QStringLiteral(
            "Per inserire un nuovo contatto si preme Nuovo, si compilano i campi e si preme Salva: sono "
            "obbligatori soltanto il nome e l'indirizzo e-mail. La scheda riceve un numero, che compare tra le "
            "frecce di navigazione. Per modificare una scheda la si richiama, si cambiano i dati e si preme "
            "di nuovo Salva. Il pulsante Elimina cancella la scheda in vista, dopo una richiesta di conferma. "
            "Spostandosi su un'altra scheda senza salvare, le modifiche vanno perse."),
        QStringLiteral(
            "Le frecce mostrano la prima scheda, la precedente, la successiva e l'ultima dell'archivio. Il "
            "binocolo apre la ricerca rapida, che cerca le schede in base a un campo e ne mostra l'elenco: un "
            "doppio clic su una riga carica la scheda. La lente di ingrandimento apre la ricerca avanzata, che "
            "combina più campi contemporaneamente. Gli elenchi trovati si possono anche stampare."),
        QStringLiteral(
            "Il pulsante con la busta accanto all'indirizzo e-mail apre il programma di posta elettronica su "
            "un nuovo messaggio già indirizzato al contatto."),
        QStringLiteral("Il pulsante Word esporta la scheda in vista in un documento di videoscrittura, comprese le "
                       "modifiche non ancora salvate; il pulsante Excel esporta l'intero archivio in un foglio di "
                       "calcolo. Il pulsante Ottimizza compatta l'archivio recuperando lo spazio lasciato libero dalle "
                       "schede cancellate."),
    });
}

QString HelpTopics::messagesTitle() { return QStringLiteral("Gestione archivio messaggi"); }

QString HelpTopics::messagesText()
{
    return paragraphs({
        QStringLiteral(
            "L'archivio dei messaggi conserva le e-mail e le newsletter che si spediscono, spesso più volte, a uno "
            "o a molti destinatari. Ogni scheda riunisce il mittente, i destinatari, l'oggetto, il testo e un file "
            "da allegare all'invio."),
        QStringLiteral(
            "Nella parte superiore della scheda si indicano il nome e l'indirizzo e-mail del mittente, una "
            "tipologia a scelta (per esempio newsletter, circolare, promemoria), la data di creazione, che si può "
            "scegliere dal calendario, e le note. Sotto si trovano gli indirizzi dei destinatari, separati da una "
            "virgola, l'oggetto, il testo del messaggio e il file allegato, scelto con il pulsante \"...\" e "
            "aperto con il pulsante Apri."),
        QStringLiteral("Il mittente viene ricordato: alla successiva apertura dell'archivio il nome e l'indirizzo del "
                       "mittente sono già compilati. Il pulsante della rubrica accanto al mittente lo sceglie tra i "
                       "contatti."),
        QStringLiteral(
            "I destinatari si importano con i pulsanti accanto agli indirizzi: quello della rubrica aggiunge "
            "l'indirizzo di un contatto, quello dei gruppi aggiunge tutti gli indirizzi di un gruppo di "
            "destinatari. Nella finestra di ricerca un doppio clic sulla riga scelta aggiunge gli indirizzi; si "
            "possono aggiungere più contatti o gruppi uno dopo l'altro."),
        QStringLiteral(
            "Il pulsante Invia consegna il messaggio al programma di posta elettronica: tutti i destinatari "
            "viaggiano in un unico messaggio. Con la casella Visualizza anteprima spuntata il programma di posta "
            "mostra il messaggio prima di spedirlo, così da poterlo rivedere; senza la spunta il messaggio parte "
            "direttamente. Per l'invio sono necessari l'indirizzo del mittente, almeno un destinatario e il testo; "
            "la scheda non deve essere salvata prima."),
        QStringLiteral(
            "Per archiviare un nuovo messaggio si preme Nuovo, si compilano i campi e si preme Salva: sono "
            "obbligatori l'indirizzo del mittente, i destinatari e il testo. Per modificare una scheda la si "
            "richiama, si cambiano i dati e si preme di nuovo Salva; Elimina la cancella dopo una richiesta di "
            "conferma. Spostandosi su un'altra scheda senza salvare, le modifiche vanno perse."),
        QStringLiteral(
            "Le frecce mostrano la prima scheda, la precedente, la successiva e l'ultima. Il binocolo apre la "
            "ricerca rapida per un campo, la lente di ingrandimento la ricerca avanzata su più campi; un doppio "
            "clic su una riga dei risultati carica la scheda. Gli elenchi trovati si possono stampare."),
        QStringLiteral(
            "Il pulsante Word esporta la scheda in vista in un documento di videoscrittura; il pulsante Excel "
            "esporta l'intero archivio in un foglio di calcolo. Con i pulsanti della graffetta e della cartella "
            "si collegano alla scheda fino a tre file e una cartella; Ottimizza compatta l'archivio."),
    });
}

QString HelpTopics::sendTitle() { return QStringLiteral("Gestione invio e-mail"); }

QString HelpTopics::sendText()
{
    return paragraphs({
        QStringLiteral(
            "Il modulo Invia e-mail spedisce un messaggio o una newsletter senza archiviarlo: si compilano i "
            "campi e si preme il pulsante di invio. I campi restano compilati fino alla chiusura del programma, "
            "così lo stesso messaggio si può spedire di nuovo."),
        QStringLiteral(
            "I campi si possono riempire in pochi clic con i dati degli archivi: il pulsante della rubrica "
            "accanto ai destinatari aggiunge il nome e l'indirizzo di un contatto, quello dei gruppi aggiunge "
            "tutti i membri di un gruppo di destinatari, il pulsante dei messaggi accanto al mittente copia "
            "mittente, destinatari, oggetto, testo e allegato da una scheda dell'archivio messaggi. Nella "
            "finestra di ricerca un doppio clic sulla riga scelta riporta i dati nel modulo."),
        QStringLiteral(
            "Il mittente viene ricordato: alla successiva apertura del modulo il nome e l'indirizzo del mittente "
            "sono già compilati. Il pulsante della rubrica accanto al mittente lo sceglie tra i contatti."),
        QStringLiteral(
            "Gli indirizzi dei destinatari sono separati da una virgola; i nomi dei destinatari sono facoltativi. "
            "Il file da allegare si sceglie con il pulsante \"...\" e si apre con il pulsante Apri."),
        QStringLiteral(
            "Il pulsante di invio consegna il messaggio al programma di posta elettronica: tutti i destinatari "
            "viaggiano in un unico messaggio. Con la casella Visualizza anteprima spuntata il programma di posta "
            "mostra il messaggio prima di spedirlo, così da poterlo rivedere; senza la spunta il messaggio parte "
            "direttamente. Per l'invio sono necessari l'indirizzo del mittente, almeno un destinatario e il "
            "testo."),
    });
}
