#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

// A form whose declared configuration does not match what it built (a
// misspelt control, a column the archive lacks). Thrown in every build, not
// only in debug ones: a silently unwired field would store empty values.
class WiringError : public std::logic_error {
public:
    explicit WiringError(const QString& what)
        : std::logic_error(what.toStdString())
    { }
};

namespace Wiring {
// The named child of parent, of type T; throws WiringError when missing.
template <typename T> T* child(const QObject* parent, const QString& name)
{
    T* found = parent->findChild<T*>(name);
    if (!found)
        throw WiringError(parent->objectName() + QStringLiteral(": no control ") + name);
    return found;
}
} // namespace Wiring
