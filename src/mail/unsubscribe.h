#pragma once

#include <QByteArray>
#include <QString>

// How a recipient can ask to be taken off the list: a List-Unsubscribe
// header (RFC 2369) and a closing line at the foot of the body. On by default
// for private sending; a plain sending gets them only when chosen.
namespace Unsubscribe {

struct Options {
    bool header = true;
    bool closingLine = true;
    QString text; // the closing line; empty means the default text
    bool plainToo = false; // plain (shared) sendings get them as well

    bool operator==(const Options&) const = default;
};

QString defaultText();
// Stored with the other sending settings; defaults where nothing is stored.
Options load();
void save(const Options& options);

// Whether a sending of this kind gets them.
inline bool applies(const Options& o, bool privately) { return privately || o.plainToo; }

// The body as sent: with the closing line, after a blank line, when it
// applies; unchanged otherwise.
QString bodyWith(const QString& body, const Options& options, bool privately);

// The header's value for this sender: "<mailto:SENDER?subject=Cancellazione>".
QByteArray headerValue(const QString& senderAddress);

} // namespace Unsubscribe
