#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Contact cards in the formats address books and phones read. A card is the
// archive's value columns in their order, as stored (Windows-1252); the
// output is UTF-8 with CR LF line ends. Only the card's own fields travel:
// the attached files and the folder are paths of this computer.
namespace ContactWriters {

enum class VCardVersion { V4, V3 };

// One card as a vCard (RFC 6350 for 4.0, RFC 2426 for 3.0): text escaped,
// lines folded at 75 octets without splitting a character. The fields
// vCard has no property for travel as X-VELMARO-... properties, which the
// import reads back.
QByteArray vcard(const QList<QByteArray>& values, VCardVersion version);
void appendVCard(QByteArray& out, const QList<QByteArray>& values, VCardVersion version);

inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
// The heading row, the card's captions ("Cognome e nome", "E-mail", ...).
QByteArray csvHeadings(char separator);
// One card as a CSV row; fields holding the separator, a quote or a line
// break are quoted.
QByteArray csvRow(const QList<QByteArray>& values, char separator);
void appendCsvRow(QByteArray& out, const QList<QByteArray>& values, char separator);

// Windows-1252 bytes as UTF-8, appended to out.
void appendUtf8(QByteArray& out, const QByteArray& cp1252);
} // namespace ContactWriters
