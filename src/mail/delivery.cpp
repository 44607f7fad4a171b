#include "mail/delivery.h"

#include "mail/private_send.h"

#include <utility>

namespace {
Delivery::IObserver* installed = nullptr;
} // namespace

Delivery::IObserver* Delivery::observer() { return installed; }
void Delivery::installObserver(IObserver* observer) { installed = observer; }

Delivery::Session::Session(Plan plan)
    : plan_(std::move(plan))
    , observer_(installed)
{ }

Delivery::Session::~Session() { end(); }

bool Delivery::Session::begin()
{
    if (!observer_)
        return true;
    if (!observer_->begin(plan_))
        return false;
    open_ = true;
    return true;
}

bool Delivery::Session::handingOver(int first, int count) { return !open_ || observer_->handingOver(first, count); }

void Delivery::Session::handedOver(int first, int count, Outcome outcome, const QString& reason)
{
    if (!open_)
        return;
    QList<Result> results;
    results.reserve(count);
    for (int i = first; i < first + count; ++i)
        results.append({ i, outcome, reason });
    observer_->handedOver(results);
}

void Delivery::Session::handedOver(const QList<Result>& results)
{
    if (open_)
        observer_->handedOver(results);
}

void Delivery::Session::end()
{
    if (!open_)
        return;
    open_ = false;
    observer_->end();
}

bool Delivery::settledRecipients(const MapiMessage& message, QStringList& out)
{
    QStringList lists;
    for (quint32 i = 0; i < message.nRecipCount; ++i)
        lists << message.lpRecips[i].lpszAddress;
    QString bad;
    return PrivateSend::recipients(lists.join(QLatin1Char(',')), out, bad);
}
