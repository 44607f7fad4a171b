#pragma once

#include <QString>

// A group's two lists: member names joined by ", ", addresses joined by ","
// (the form the mail client and the other archives consume).
namespace GroupLists {
inline const QString kNameSeparator = QStringLiteral(", ");
inline const QString kAddressSeparator = QStringLiteral(",");

// The longest command-line argument the desktop can hand to the mail
// program: Linux refuses a single argument of 128 KiB or more.
constexpr qsizetype kLongestMailto = 131072 - 1;
// The length of "mailto:" + list as the desktop passes it on (blanks and
// non-ASCII letters percent-encoded).
qsizetype mailtoLength(const QString& list);
bool mailtoFits(const QString& list);
} // namespace GroupLists
