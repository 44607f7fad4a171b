#include "mail/delivery.h"

#include "mail/mime_message.h"

#include <QSet>

namespace Delivery {

namespace {
IObserver* installed = nullptr;
}

IObserver* observer() { return installed; }
void installObserver(IObserver* o) { installed = o; }

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

bool Sending::begin(bool withProgress)
{
    if (installed) {
        Plan plan { &message_, route_, privately_, {} };
        plan.recipients.reserve(size());
        for (const Recipient& r : std::as_const(recipients_))
            plan.recipients << r.address;
        plan.recipients << excluded_;
        if (!installed->begin(plan)) {
            finished_ = true; // nothing went, nothing to tell
            return false;
        }
        observer_ = installed;
        if (!excluded_.isEmpty()) {
            QList<Result> out;
            for (qsizetype i = 0; i < excluded_.size(); ++i)
                out.append({ int(size() + i), Outcome::Excluded, {} });
            observer_->handedOver(out);
        }
    }
    withProgress_ = withProgress && PrivateSend::progress();
    if (withProgress_)
        PrivateSend::progress()->start(int(size()));
    return true;
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
    // Waiting and in flight are not outcomes: the observer hears of the
    // hand-over from inFlight.
    if (observer_ && !which.isEmpty() && outcome != Outcome::Waiting && outcome != Outcome::InFlight) {
        QList<Result> results;
        results.reserve(which.size());
        for (qsizetype i : which)
            results.append({ int(i), outcome, reason });
        observer_->handedOver(results);
    }
}

bool Sending::inFlight(const QList<qsizetype>& which)
{
    if (observer_ && !which.isEmpty() && !observer_->handingOver(which)) {
        if (stopReason_.isEmpty())
            stopReason_ = QStringLiteral("la registrazione nello storico degli invii si è interrotta");
        return false;
    }
    set(which, Outcome::InFlight);
    return true;
}
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
    if (observer_)
        observer_->end();
    observer_ = nullptr;
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
    r.excluded = int(excluded_.size());
    for (const Recipient& rec : recipients_) {
        if (rec.outcome == Outcome::HandedOver)
            ++r.handedOver;
        else if (rec.outcome == Outcome::Refused)
            r.refused.append({ rec.address, rec.reason });
        else if (rec.outcome == Outcome::NotSent)
            ++r.notSent;
    }
    if (!finished_)
        r.notSent = r.total - r.handedOver - int(r.refused.size());
    return r;
}

} // namespace Delivery
