#include "mail/delivery.h"

#include "mail/mime_message.h"

#include <QSet>

namespace Delivery {

namespace {
IListener* listener = nullptr;
}

void installListener(IListener* l) { listener = l; }

quint32 settle(const MapiMessage& m, bool privately, QStringList& addresses, int* repeated)
{
    addresses.clear();
    QStringList entries;
    for (quint32 i = 0; i < m.nRecipCount; ++i) {
        if (privately && m.lpRecips[i].ulRecipClass != MAPI_TO)
            return MAPI_E_BAD_RECIPTYPE;
        entries << m.lpRecips[i].lpszAddress;
    }
    QString bad;
    if (!PrivateSend::recipients(entries.join(QLatin1Char(',')), addresses, bad, repeated))
        return MAPI_E_INVALID_RECIPS;
    return addresses.isEmpty() ? MAPI_E_INVALID_RECIPS : SUCCESS_SUCCESS;
}

Sending::Sending(Route route, bool privately, const MapiMessage& message, const QStringList& addresses)
    : route_(route)
    , privately_(privately)
    , message_(message)
{
    recipients_.reserve(addresses.size());
    for (const QString& a : addresses)
        recipients_.append({ a, Outcome::Waiting, {} });
}

Sending::~Sending() { finish(); }

void Sending::begin(bool withProgress)
{
    withProgress_ = withProgress && PrivateSend::progress();
    if (listener)
        listener->begun(*this);
    if (withProgress_)
        PrivateSend::progress()->start(int(size()));
}

void Sending::set(const QList<qsizetype>& which, Outcome outcome, const QString& reason)
{
    for (qsizetype i : which) {
        Recipient& r = recipients_[i];
        handedOver_ -= r.outcome == Outcome::HandedOver;
        refused_ -= r.outcome == Outcome::Refused;
        r.outcome = outcome;
        r.reason = reason;
        handedOver_ += outcome == Outcome::HandedOver;
        refused_ += outcome == Outcome::Refused;
    }
    if (listener && !which.isEmpty())
        listener->changed(*this, which);
}

void Sending::inFlight(const QList<qsizetype>& which) { set(which, Outcome::InFlight); }
void Sending::handedOver(const QList<qsizetype>& which) { set(which, Outcome::HandedOver); }
void Sending::refused(const QList<qsizetype>& which, const QString& reason) { set(which, Outcome::Refused, reason); }
void Sending::putBack(const QList<qsizetype>& which) { set(which, Outcome::Waiting); }

bool Sending::advance()
{
    if (!withProgress_)
        return true;
    return PrivateSend::progress()->advance(decided(), int(size()));
}

bool Sending::idle() { return !withProgress_ || PrivateSend::progress()->idle(); }

void Sending::finish(bool summary)
{
    if (finished_)
        return;
    finished_ = true;
    QList<qsizetype> left;
    for (qsizetype i = 0; i < size(); ++i)
        if (recipients_[i].outcome == Outcome::Waiting || recipients_[i].outcome == Outcome::InFlight)
            left << i;
    set(left, Outcome::NotSent, stopReason_);
    if (listener)
        listener->ended(*this);
    if (withProgress_ && summary)
        PrivateSend::progress()->finish(report());
    else if (withProgress_)
        PrivateSend::progress()->abandon();
}

PrivateSend::Report Sending::report() const
{
    PrivateSend::Report r;
    r.total = int(size());
    r.privately = privately_;
    r.toServer = route_ == Route::Smtp;
    r.stopReason = stopReason_;
    r.repeated = repeated_;
    for (const Recipient& rec : recipients_) {
        if (rec.outcome == Outcome::HandedOver)
            ++r.handedOver;
        else if (rec.outcome == Outcome::Refused)
            r.refused.append({ rec.address, rec.reason });
        else if (rec.outcome != Outcome::Waiting && rec.outcome != Outcome::InFlight)
            ++r.notSent;
    }
    if (!finished_)
        r.notSent = r.total - r.handedOver - int(r.refused.size());
    return r;
}

} // namespace Delivery
