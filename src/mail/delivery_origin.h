#pragma once

#include <QtGlobal>

// What the caller knows of a sending that the message records do not carry,
// for the SendMapiMessage calls made while an OriginScope lives.
namespace Delivery {

struct Origin {
    qint32 cardId = 0; // the message card it came from, 0: none
    qint64 resumes = 0; // the journal's sending it continues, 0: a new one
    bool unrecorded = false; // the user chose to send without a record
};

const Origin& origin();

class OriginScope {
public:
    explicit OriginScope(const Origin& origin);
    ~OriginScope();
    OriginScope(const OriginScope&) = delete;
    OriginScope& operator=(const OriginScope&) = delete;

private:
    Origin previous_;
};

} // namespace Delivery
