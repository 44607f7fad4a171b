#include "mail/send_checks.h"

#include "mail/opt_out.h"
#include "mail/private_send.h"
#include "mail/unsubscribe.h"
#include "storage/app_error.h"

#include <QSet>

#include <algorithm>

namespace {

SendChecks::IQuestions* installed = nullptr;

QString listed(const QStringList& items) { return items.join(QStringLiteral(", ")); }

Unsubscribe::Options options()
{
    // Settings that cannot be read leave the defaults, which add the closing
    // line and header rather than drop them.
    try {
        return Unsubscribe::load();
    } catch (const AppError&) {
        return {};
    }
}

} // namespace

QString SendChecks::excludedText(int count)
{
    return count == 1
        ? QStringLiteral("1 indirizzo è escluso perché ha chiesto di non ricevere comunicazioni")
        : QStringLiteral("%1 indirizzi sono esclusi perché hanno chiesto di non ricevere comunicazioni").arg(count);
}

QString SendChecks::outlineText(const Outline& o)
{
    QStringList paragraphs;
    if (!o.excluded.isEmpty())
        paragraphs << excludedText(int(o.excluded.size())) + QLatin1Char('.')
                + (o.recipients == 1
                        ? QStringLiteral(" Il messaggio sarà inviato all'unico altro indirizzo.")
                        : QStringLiteral(" Il messaggio sarà inviato agli altri %1 indirizzi.").arg(o.recipients));
    if (o.personal) {
        QString text = QStringLiteral("Invio personalizzato: ogni destinatario riceve i campi della propria scheda "
                                      "in rubrica.");
        if (o.withoutCard > 0)
            text += o.withoutCard == 1
                ? QStringLiteral(" 1 destinatario su %1 non ha una scheda in rubrica: riceve il testo alternativo "
                                 "dei campi, o nessun testo.")
                      .arg(o.recipients)
                : QStringLiteral(" %1 destinatari su %2 non hanno una scheda in rubrica: ricevono il testo "
                                 "alternativo dei campi, o nessun testo.")
                      .arg(o.withoutCard)
                      .arg(o.recipients);
        paragraphs << text;
    }
    paragraphs << QStringLiteral("Procedere con l'invio?");
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString SendChecks::allExcludedText(int count)
{
    return count == 1 ? QStringLiteral("L'unico indirizzo del messaggio è escluso perché ha chiesto di non ricevere "
                                       "comunicazioni: il messaggio non è stato inviato.")
                      : QStringLiteral("Tutti i %1 indirizzi del messaggio sono esclusi perché hanno chiesto di non "
                                       "ricevere comunicazioni: il messaggio non è stato inviato.")
                            .arg(count);
}

QString SendChecks::unknownFieldsText(const QStringList& placeholders)
{
    const QString which = placeholders.size() == 1
        ? QStringLiteral("il campo personalizzato %1 non corrisponde").arg(placeholders.first())
        : QStringLiteral("i campi personalizzati %1 non corrispondono").arg(listed(placeholders));
    return QStringLiteral("Attenzione: %1 a nessun campo della scheda contatto: il messaggio non è stato inviato."
                          "\n\nIl pulsante \u00abCampi\u00bb inserisce i nomi dei campi disponibili.")
        .arg(which);
}

QString SendChecks::plainWithFieldsText(const QStringList& placeholders)
{
    return QStringLiteral("Il messaggio contiene campi personalizzati (%1), ma un unico messaggio per tutti i "
                          "destinatari non può essere personalizzato: ognuno riceverebbe il testo tra parentesi "
                          "graffe.\n\nInviare in modo riservato, un messaggio per destinatario con i propri dati "
                          "e senza anteprima? Rispondendo No il messaggio non viene inviato.")
        .arg(listed(placeholders));
}

SendChecks::IQuestions* SendChecks::questions() { return installed; }
void SendChecks::install(IQuestions* questions) { installed = questions; }

namespace {

// The placeholders as written, each once.
QStringList placeholdersOf(const QString& subject, const QString& body)
{
    QStringList out;
    for (const QString& text : { subject, body })
        for (const Placeholders::Piece& p : Placeholders::parse(text))
            if (p.field && !out.contains(p.text))
                out << p.text;
    return out;
}

} // namespace

quint32 SendChecks::prepare(const MapiMessage& in, quint32 flags, Prepared& out)
{
    IQuestions* q = installed;
    const QString subject = in.lpszSubject;
    auto personal = std::make_unique<Personalisation>(subject, in.lpszNoteText);
    if (!personal->unknown().isEmpty()) {
        if (q)
            q->refuseUnknownFields(personal->unknown());
        return MAIL_STOPPED;
    }
    if (personal->any() && !(flags & MAIL_PRIVATE)) {
        // Never the braces to everyone.
        if (!q || !q->sendPrivatelyInstead(placeholdersOf(subject, in.lpszNoteText)))
            return MAIL_STOPPED;
        flags = (flags | MAIL_PRIVATE) & ~MAPI_DIALOG;
    }
    const bool privately = flags & MAIL_PRIVATE;
    const Unsubscribe::Options unsubscribe = options();
    const QString body = Unsubscribe::bodyWith(in.lpszNoteText, unsubscribe, privately);
    if (body != in.lpszNoteText) {
        // The closing line is the user's text too.
        personal = std::make_unique<Personalisation>(subject, body);
        if (!personal->unknown().isEmpty()) {
            if (q)
                q->refuseUnknownFields(personal->unknown());
            return MAIL_STOPPED;
        }
    }

    QSet<QString> keys;
    try {
        QSet<QString> all;
        for (quint32 i = 0; i < in.nRecipCount; ++i)
            all.unite(OptOut::keysOf(in.lpRecips[i].lpszAddress));
        keys = OptOutList().listedKeys(all);
    } catch (const AppError&) {
        return MAIL_E_OPT_OUT_UNREADABLE;
    }
    out.recipients_.clear();
    out.excluded_.clear();
    QSet<QString> excludedKeys;
    QStringList keptLists;
    for (quint32 i = 0; i < in.nRecipCount; ++i) {
        MapiRecipDesc r = in.lpRecips[i];
        const OptOut::Filtered f = OptOut::filter(r.lpszAddress, keys);
        if (!f.excluded.isEmpty()) {
            // A names list of its own (the send form's) is not matched
            // against the addresses and stays as it is.
            if (r.lpszName == r.lpszAddress)
                r.lpszName = f.list;
            r.lpszAddress = f.list;
            for (const QString& e : f.excluded) {
                const QString key = MimeMail::addressKey(e);
                if (!excludedKeys.contains(key)) {
                    excludedKeys.insert(key);
                    out.excluded_ << e;
                }
            }
        }
        if (f.kept > 0)
            keptLists << r.lpszAddress;
        out.recipients_ << r;
    }
    if (keptLists.isEmpty() && !out.excluded_.isEmpty()) {
        if (q)
            q->allExcluded(out.excluded_);
        return MAIL_STOPPED;
    }

    Outline outline;
    outline.excluded = out.excluded_;
    QStringList addresses;
    QString bad;
    // An entry that is no address fails on the route; until then it counts.
    outline.recipients = PrivateSend::recipients(keptLists.join(QLatin1Char(',')), addresses, bad)
        ? int(addresses.size())
        : int(MimeMail::splitAddresses(keptLists.join(QLatin1Char(','))).size());
    if (personal->any()) {
        try {
            personal->loadContacts();
        } catch (const AppError&) {
            return MAIL_E_CONTACTS_UNREADABLE;
        }
        outline.personal = true;
        outline.withoutCard = int(std::count_if(
            addresses.cbegin(), addresses.cend(), [&](const QString& a) { return !personal->hasCard(a); }));
    }
    if ((outline.personal || !outline.excluded.isEmpty()) && q && !q->goAhead(outline))
        return MAIL_STOPPED;

    out.flags_ = flags;
    out.message_ = in;
    out.message_.lpszNoteText = body;
    out.message_.lpRecips = out.recipients_.constData();
    out.message_.nRecipCount = quint32(out.recipients_.size());
    if (in.lpOriginator) {
        out.originator_ = *in.lpOriginator;
        out.message_.lpOriginator = &out.originator_;
    }
    out.files_.clear();
    for (quint32 i = 0; i < in.nFileCount; ++i)
        out.files_ << in.lpFiles[i];
    out.message_.lpFiles = out.files_.isEmpty() ? nullptr : out.files_.constData();
    out.headers_.clear();
    MimeMail::Mailbox sender;
    // A compose window takes no header of ours; a bad sender fails later.
    if (unsubscribe.header && Unsubscribe::applies(unsubscribe, privately) && !(flags & MAPI_DIALOG) && in.lpOriginator
        && MimeMail::parseMailbox(MimeMail::bareAddress(in.lpOriginator->lpszAddress), sender))
        out.headers_.append({ QByteArrayLiteral("List-Unsubscribe"), Unsubscribe::headerValue(sender.address) });
    out.personal_ = personal->any() ? std::move(personal) : nullptr;
    return SUCCESS_SUCCESS;
}
