#include "mail/mapi_mail.h"

#include "mail/mail_backend.h"

#include <utility>

namespace {

IMailSubmission* installed = nullptr;

[[noreturn]] void fail(const QString& problem, const QString& details = {})
{
    throw tMailFileException(QStringLiteral("Il messaggio e-mail corrente non è stato inviato.\n\n"
                                            "Problema riscontrato: %1.")
                                 .arg(problem),
        details);
}

QString problemText(quint32 result)
{
    if (result == MAIL_E_NO_MAIL_PROGRAM)
        return QStringLiteral("nessun programma di posta elettronica disponibile");
    if (result == MAIL_E_OPT_OUT_UNREADABLE)
        return QStringLiteral("impossibile leggere l'elenco degli indirizzi esclusi dagli invii");
    if (result == MAIL_E_CONTACTS_UNREADABLE)
        return QStringLiteral("impossibile leggere la rubrica dei contatti per i campi personalizzati");
    return MapiErrorText(result);
}

} // namespace

IMailSubmission& MailSubmission::get()
{
    static SystemMailSubmission system;
    return installed ? *installed : system;
}

void MailSubmission::install(IMailSubmission* submission) { installed = submission; }

QString MapiErrorText(quint32 code)
{
    switch (code) {
    case MAPI_USER_ABORT:
        return QStringLiteral("l'utente ha annullato la richiesta");
    case MAPI_E_FAILURE:
        return QStringLiteral("errore generico MAPI");
    case MAPI_E_LOGIN_FAILURE:
        return QStringLiteral("collegamento non riuscito");
    case MAPI_E_DISK_FULL:
        return QStringLiteral("spazio su disco insufficiente");
    case MAPI_E_INSUFFICIENT_MEMORY:
        return QStringLiteral("memoria insufficiente");
    case MAPI_E_ACCESS_DENIED:
        return QStringLiteral("accesso negato");
    case MAPI_E_TOO_MANY_SESSIONS:
        return QStringLiteral("numero eccessivo di sessioni aperte");
    case MAPI_E_TOO_MANY_FILES:
        return QStringLiteral("numero eccessivo di file aperti");
    case MAPI_E_TOO_MANY_RECIPIENTS:
        return QStringLiteral("numero eccessivo di destinatari");
    case MAPI_E_ATTACHMENT_NOT_FOUND:
        return QStringLiteral("file allegato non trovato");
    case MAPI_E_ATTACHMENT_OPEN_FAILURE:
        return QStringLiteral("impossibile aprire il file allegato");
    case MAPI_E_ATTACHMENT_WRITE_FAILURE:
        return QStringLiteral("impossibile allegare il file");
    case MAPI_E_UNKNOWN_RECIPIENT:
        return QStringLiteral("destinatario sconosciuto");
    case MAPI_E_BAD_RECIPTYPE:
        return QStringLiteral("tipo di destinatario non valido");
    case MAPI_E_NO_MESSAGES:
        return QStringLiteral("nessun messaggio");
    case MAPI_E_INVALID_MESSAGE:
        return QStringLiteral("messaggio non valido");
    case MAPI_E_TEXT_TOO_LARGE:
        return QStringLiteral("testo del messaggio troppo lungo");
    case MAPI_E_INVALID_SESSION:
        return QStringLiteral("sessione non valida");
    case MAPI_E_TYPE_NOT_SUPPORTED:
        return QStringLiteral("tipo non supportato");
    case MAPI_E_AMBIGUOUS_RECIPIENT:
        return QStringLiteral("destinatario non riconosciuto");
    case MAPI_E_MESSAGE_IN_USE:
        return QStringLiteral("messaggio già in uso");
    case MAPI_E_NETWORK_FAILURE:
        return QStringLiteral("errore di rete");
    case MAPI_E_INVALID_EDITFIELDS:
        return QStringLiteral("campi di testo non validi");
    case MAPI_E_INVALID_RECIPS:
        return QStringLiteral("destinatari non validi");
    case MAPI_E_NOT_SUPPORTED:
        return QStringLiteral("non supportato");
    default:
        return QStringLiteral("Codice errore: ") + QString::number(code);
    }
}

int SendMapiMessage(const QString& recipientNames, const QString& recipientAddresses, const QString& senderName,
    const QString& senderAddress, const QString& subject, const QString& body, const QString& attachmentPath,
    bool preview, bool privately)
{
    // The records below must outlive the back end call; they live in this
    // frame until it returns.
    MapiMessage message;

    if (recipientAddresses.isEmpty())
        fail(QStringLiteral("Non è stato indicato l'indirizzo e-mail del destinatario"));

    // The whole list travels as one primary recipient; the mail facility
    // resolves it.
    MapiRecipDesc recipient;
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = recipientNames.isEmpty() ? recipientAddresses : recipientNames;
    recipient.lpszAddress = recipientAddresses;
    message.nRecipCount = 1;
    message.lpRecips = &recipient;

    if (senderAddress.isEmpty())
        fail(QStringLiteral("Non è stato indicato l'indirizzo e-mail del mittente"));

    MapiRecipDesc originator;
    originator.ulRecipClass = MAPI_ORIG;
    originator.lpszName = senderName.isEmpty() ? senderAddress : senderName;
    originator.lpszAddress = QStringLiteral("SMTP:") + senderAddress;
    message.lpOriginator = &originator;

    message.lpszSubject = subject.isEmpty() ? QStringLiteral("<Nessun oggetto>") : subject;

    if (body.isEmpty() && attachmentPath.isEmpty())
        fail(QStringLiteral("Si è cercato di inviare un messaggio e-mail vuoto "
                            "(senza contenuti o allegati)"));

    message.lpszNoteText = body.isEmpty() ? QStringLiteral("Si prega di visualizzare il file allegato.") : body;

    // The file's existence is the back end's to judge (result 11).
    MapiFileDesc file;
    if (!attachmentPath.isEmpty()) {
        file.nPosition = 0xFFFFFFFF; // not placed inside the body text
        file.lpszPathName = attachmentPath;
        message.nFileCount = 1;
        message.lpFiles = &file;
    }

    IMailSubmission& submission = MailSubmission::get();
    const quint32 result = submission.send(message, (preview ? MAPI_DIALOG : 0) | (privately ? MAIL_PRIVATE : 0));
    if (result == SUCCESS_SUCCESS)
        return 0;
    if (result == MAIL_STOPPED)
        return int(MAPI_USER_ABORT);
    const QString own = submission.problem();
    fail(own.isEmpty() ? problemText(result) : own, submission.failureDetails());
}
