#pragma once

#include <QString>

// Text pasted into a list memo (addresses joined by ",", names by ", " or
// ","). A list must stay one line: a line break inside it would break the
// "mailto:" text and the mail headers, and a stored list with one fails to
// send. Shared by every list memo of the program.
namespace ListPaste {

// Pasted text with its line breaks turned into list entries: each line is
// trimmed of blanks and of separators at its ends, empty lines are dropped
// and the rest joined by the separator. Text without line breaks comes back
// unchanged.
QString joinLines(const QString& text, const QString& separator);

// What a paste of pasted between before and after (the text left and right
// of the selection it replaces) inserts. Pasted lines become entries, with
// one separator added towards text already there where neither side has
// one, and only then. A paste without line breaks is inserted as it is, so
// part of an entry can still be pasted into it.
QString insertion(const QString& before, const QString& pasted, const QString& after, const QString& separator);

} // namespace ListPaste
