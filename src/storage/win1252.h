#pragma once

#include <QByteArray>
#include <QString>

// The one boundary between the archives' Windows-1252 bytes and the QString
// text of the user interface. All 256 byte values round-trip.
namespace Cp1252 {
QString decode(const QByteArray& bytes);

// The first character of text that has no Windows-1252 form (a whole
// surrogate pair where it is one), or an empty text when every one has.
QString firstUnencodable(const QString& text);

// Encodes text; false (and out untouched) when a character has no
// Windows-1252 form. Nothing is ever dropped or replaced silently.
bool tryEncode(const QString& text, QByteArray& out);

// For texts known to be encodable (fixed program texts, decoded values).
QByteArray encode(const QString& text);
} // namespace Cp1252
