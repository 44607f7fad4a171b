#pragma once

#include <QString>

// What the error box shows of a storage failure. A message that quotes a
// whole statement (every value of a card, tens of thousands of characters
// with a long note) is cut to the statement's opening and SQLite's own text;
// the full message goes into the box's details.
namespace ErrorSummary {

struct Text {
    QString shown;
    QString details; // empty when nothing was left out
};

Text of(const QString& message);

} // namespace ErrorSummary
