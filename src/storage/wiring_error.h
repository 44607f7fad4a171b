#pragma once

#include <QString>

#include <stdexcept>

// Declared configuration that does not match what it describes (a misspelt
// control, a column the archive lacks, a table that does not add up). Thrown
// in every build, not only in debug ones: a silently unwired field would
// store empty values.
class WiringError : public std::logic_error {
public:
    explicit WiringError(const QString& what)
        : std::logic_error(what.toStdString())
    { }
};
