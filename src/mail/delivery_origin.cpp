#include "mail/delivery_origin.h"

#include <utility>

namespace {
Delivery::Origin current;
}

const Delivery::Origin& Delivery::origin() { return current; }

Delivery::OriginScope::OriginScope(const Origin& origin)
    : previous_(std::exchange(current, origin))
{ }

Delivery::OriginScope::~OriginScope() { current = previous_; }
