#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>

// One property of a card, its value decoded (quoted-printable, charset) and
// unescaped. Line breaks in values are '\n'.
struct VCardProperty {
    QByteArray name;     // upper case, without its group
    QByteArrayList types; // upper case: TYPE values and 2.1's bare parameters
    QString text;        // the whole value
    QStringList parts;   // the value split at each unescaped ';'
    bool binary = false; // base64 data (photos, keys): no text
    bool hasType(const char* type) const { return types.contains(QByteArray(type)); }
};

struct VCard {
    int line = 0; // where BEGIN:VCARD stands, from 1
    QList<VCardProperty> properties;
    QStringList problems;
};

// vCard 2.1, 3.0 and 4.0. Never fails: what cannot be read becomes a problem
// of the card it belongs to.
namespace VCardReader {
QList<VCard> read(const QByteArray& bytes);
} // namespace VCardReader
