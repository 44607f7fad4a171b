#include "messages/message_archive.h"

QStringList MessageArchive::helpParagraphs()
{
    return {
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
    };
}
