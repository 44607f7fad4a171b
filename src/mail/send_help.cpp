#include "mail/frm_invia_email.h"
#include "ui/help.h"

HelpTopic TfrmInviaEmail::helpTopic()
{
    return { QStringLiteral("Gestione invio e-mail"), Help::paragraphs({
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
            "Il pulsante di invio consegna il messaggio al server dell'account di posta, se ne è stato impostato "
            "uno con il pulsante Account di posta, altrimenti al programma di posta elettronica: tutti i destinatari "
            "viaggiano in un unico messaggio. Con la casella Visualizza anteprima spuntata il programma di posta "
            "mostra il messaggio prima di spedirlo, così da poterlo rivedere; senza la spunta il messaggio parte "
            "direttamente. Per l'invio sono necessari l'indirizzo del mittente, almeno un destinatario e il "
            "testo."),
    }) };
}
