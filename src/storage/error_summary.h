#pragma once

#include <QString>

// What the error box shows of a storage failure. A message that quotes a
// whole statement (every value of a card, tens of thousands of characters
// with a long note) is cut to the statement's opening and SQLite's own text;
// the full message goes into the box's details. The common failures (the
// archive in use elsewhere, read-only, disk full, a damaged file, a file that
// cannot be opened) are led by one Italian sentence that says what to do.
namespace ErrorSummary {

struct Text {
    QString shown;
    QString details; // empty when nothing was left out
};

// code: SQLite's result code of the failure, 0 when there is none.
Text of(const QString& message, int code = 0);

// The Italian sentence for a SQLite result code; empty for codes without one.
QString leadFor(int code);

} // namespace ErrorSummary
