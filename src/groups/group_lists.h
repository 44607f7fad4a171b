#pragma once

#include <QString>

// A group's two lists: member names joined by ", ", addresses joined by ","
// (the form the mail client and the other archives consume).
namespace GroupLists {
inline const QString kNameSeparator = QStringLiteral(", ");
inline const QString kAddressSeparator = QStringLiteral(",");

// Pasted text with its line breaks turned into list entries: each line is
// trimmed, empty lines are dropped and the rest joined by the separator. A
// line break inside a list would break the "mailto:" text and mail headers.
// Text without line breaks comes back unchanged.
QString joinPastedLines(const QString& text, const QString& separator);

// The longest command-line argument the desktop can hand to the mail
// program: Linux refuses a single argument of 128 KiB or more.
constexpr qsizetype kLongestMailto = 131072 - 1;
// The length of "mailto:" + list as the desktop passes it on (blanks and
// non-ASCII letters percent-encoded).
qsizetype mailtoLength(const QString& list);
bool mailtoFits(const QString& list);
} // namespace GroupLists
