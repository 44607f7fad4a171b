#include "contacts/contact_archive.h"

QStringList ContactArchive::helpParagraphs()
{
    return {
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
            "Il pulsante Importa, l'ultimo della barra dei pulsanti, aggiunge alla rubrica i contatti di un file "
            "vCard (.vcf) o CSV (.csv). Prima di salvare, una finestra di anteprima mostra per un file CSV in quale "
            "campo della scheda va ciascuna colonna (la scelta si può cambiare), i primi contatti come saranno "
            "salvati e le righe che non verranno importate con il motivo: mancano il nome o l'indirizzo e-mail, "
            "un carattere non può essere conservato, oppure l'indirizzo è già in rubrica o più sopra nel file "
            "(i duplicati si importano spuntando \u00abImporta anche i duplicati\u00bb). Il pulsante Importa salva "
            "tutti i contatti in una volta sola, oppure nessuno se qualcosa va storto."),
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
        QStringLiteral(
            "Il pulsante Importa aggiunge i contatti di un file vCard o CSV scritto da un altro programma (telefoni, "
            "programmi di posta, posta via web, fogli di calcolo), dopo un'anteprima che mostra dove va ogni "
            "colonna e quali righe non saranno importate. Il pulsante Esporta scrive tutti i contatti, o quelli "
            "trovati dall'ultima ricerca, in un file vCard o CSV per un'altra rubrica o un telefono."),
    };
}
