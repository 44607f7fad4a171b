#pragma once

#include "storage/wiring_error.h"

#include <QObject>
#include <QString>

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
