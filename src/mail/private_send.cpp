#include "mail/private_send.h"

#include "mail/mime_message.h"

#include <QSet>

namespace {
PrivateSend::IProgress* installed = nullptr;
}

bool PrivateSend::recipients(const QString& list, QStringList& out, QString& bad, int* repeated)
{
    out.clear();
    if (repeated)
        *repeated = 0;
    QSet<QString> seen;
    for (const QString& entry : MimeMail::splitAddresses(list)) {
        MimeMail::Mailbox box;
        if (!MimeMail::parseMailbox(entry, box)) {
            bad = entry;
            out.clear();
            return false;
        }
        if (seen.contains(box.address.toCaseFolded())) {
            if (repeated)
                ++*repeated;
            continue;
        }
        seen.insert(box.address.toCaseFolded());
        out << box.address;
    }
    return true;
}

namespace {

QString headline(const PrivateSend::Report& r)
{
    if (r.privately) {
        const QString where = r.toServer ? QStringLiteral("al server di posta") : QStringLiteral("al programma di posta");
        return r.handedOver == 1
            ? QStringLiteral("Invio riservato: 1 messaggio su %1 consegnato %2.").arg(r.total).arg(where)
            : QStringLiteral("Invio riservato: %1 messaggi su %2 consegnati %3.").arg(r.handedOver).arg(r.total).arg(where);
    }
    if (r.handedOver == 0)
        return QStringLiteral("Il messaggio non è stato consegnato al server di posta.");
    if (r.handedOver == r.total)
        return r.total == 1
            ? QStringLiteral("Messaggio consegnato al server di posta.")
            : QStringLiteral("Messaggio consegnato al server di posta per tutti i %1 destinatari.").arg(r.total);
    return r.handedOver == 1
        ? QStringLiteral("Messaggio consegnato al server di posta per 1 destinatario su %1.").arg(r.total)
        : QStringLiteral("Messaggio consegnato al server di posta per %1 destinatari su %2.").arg(r.handedOver).arg(r.total);
}

QString leftOver(const PrivateSend::Report& r)
{
    if (r.privately)
        return r.notSent == 1 ? QStringLiteral("1 messaggio non è stato inviato.")
                              : QStringLiteral("%1 messaggi non sono stati inviati.").arg(r.notSent);
    return r.notSent == 1 ? QStringLiteral("1 destinatario non ha ricevuto il messaggio.")
                          : QStringLiteral("%1 destinatari non hanno ricevuto il messaggio.").arg(r.notSent);
}

} // namespace

QString PrivateSend::summary(const Report& r)
{
    QString text = headline(r);
    if (!r.refused.isEmpty()) {
        text += QStringLiteral("\n\nIndirizzi rifiutati (%1):").arg(r.refused.size());
        for (const Refusal& refusal : r.refused)
            text += QStringLiteral("\n%1: %2").arg(refusal.address, refusal.reason);
    }
    // Said, so that a shorter count than the list's entries is no mystery.
    if (r.repeated > 0)
        text += r.repeated == 1
            ? QStringLiteral("\n\n1 indirizzo compariva più volte nell'elenco: ha ricevuto un solo messaggio.")
            : QStringLiteral("\n\n%1 indirizzi comparivano più volte nell'elenco: ognuno ha ricevuto un solo "
                             "messaggio.")
                  .arg(r.repeated);
    if (r.excluded > 0)
        text += r.excluded == 1
            ? QStringLiteral("\n\n1 indirizzo escluso perché ha chiesto di non ricevere comunicazioni.")
            : QStringLiteral("\n\n%1 indirizzi esclusi perché hanno chiesto di non ricevere comunicazioni.")
                  .arg(r.excluded);
    if (r.notSent > 0)
        text += r.stopReason.isEmpty() ? QStringLiteral("\n\nInvio annullato: ") + leftOver(r)
                                       : QStringLiteral("\n\nInvio interrotto: %1.\n").arg(r.stopReason) + leftOver(r);
    return text;
}

PrivateSend::IProgress* PrivateSend::progress() { return installed; }

void PrivateSend::installProgress(IProgress* progress) { installed = progress; }
