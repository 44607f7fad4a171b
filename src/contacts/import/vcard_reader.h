#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// One property of a card, its value decoded (quoted-printable, charset) and
// unescaped. Line breaks in values are '\n'.
struct VCardProperty {
    QByteArray name;     // upper case, without its group
    QByteArrayList types; // upper case: TYPE values and 2.1's bare parameters
    QString text;        // the whole value
    QStringList parts;   // the value split at each unescaped ';'
    QByteArray valueType; // upper case VALUE parameter ("URI", "TEXT"), empty without
    bool binary = false; // base64 data (photos, keys): no text
    bool hasType(const char* type) const { return types.contains(QByteArray(type)); }
};

struct VCard {
    int line = 0; // where BEGIN:VCARD stands, from 1
    qsizetype offset = 0; // the same, in bytes of the file
    QList<VCardProperty> properties;
    QStringList problems;
};

// vCard 2.1, 3.0 and 4.0. Never fails: what cannot be read becomes a problem
// of the card it belongs to.
namespace VCardReader {
QList<VCard> read(const QByteArray& bytes);

// The cards of a file one at a time, from any card's offset on.
class Stream {
public:
    explicit Stream(QByteArrayView bytes, qsizetype offset = 0, int line = 1);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    // The next card; false at the end of the file.
    bool next(VCard& card);
    qsizetype offset() const;

private:
    struct Lines;
    std::unique_ptr<Lines> lines_;
};
} // namespace VCardReader
