#include "mail/private_send.h"

#include "mail/mime_message.h"

#include <QSet>

namespace {
PrivateSend::IProgress* installed = nullptr;
}

bool PrivateSend::recipients(const QString& list, QStringList& out, QString& bad)
{
    out.clear();
    QSet<QString> seen;
    for (const QString& entry : MimeMail::splitAddresses(list)) {
        MimeMail::Mailbox box;
        if (!MimeMail::parseMailbox(entry, box)) {
            bad = entry;
            out.clear();
            return false;
        }
        if (seen.contains(box.address.toCaseFolded()))
            continue;
        seen.insert(box.address.toCaseFolded());
        out << box.address;
    }
    return true;
}

QString PrivateSend::summary(const Report& r)
{
    QString text = r.handedOver == 1
        ? QStringLiteral("Invio riservato: 1 messaggio su %1 consegnato al programma di posta.").arg(r.total)
        : QStringLiteral("Invio riservato: %1 messaggi su %2 consegnati al programma di posta.")
              .arg(r.handedOver)
              .arg(r.total);
    if (!r.refused.isEmpty()) {
        text += QStringLiteral("\n\nIndirizzi rifiutati (%1):").arg(r.refused.size());
        for (const Refusal& refusal : r.refused)
            text += QStringLiteral("\n%1: %2").arg(refusal.address, refusal.reason);
    }
    if (r.excluded > 0)
        text += r.excluded == 1
            ? QStringLiteral("\n\n1 indirizzo escluso perché ha chiesto di non ricevere comunicazioni.")
            : QStringLiteral("\n\n%1 indirizzi esclusi perché hanno chiesto di non ricevere comunicazioni.")
                  .arg(r.excluded);
    if (r.notSent > 0)
        text += r.notSent == 1
            ? QStringLiteral("\n\nInvio annullato: 1 messaggio non è stato inviato.")
            : QStringLiteral("\n\nInvio annullato: %1 messaggi non sono stati inviati.").arg(r.notSent);
    return text;
}

PrivateSend::IProgress* PrivateSend::progress() { return installed; }

void PrivateSend::installProgress(IProgress* progress) { installed = progress; }
