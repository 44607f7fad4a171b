#pragma once

#include <QString>
#include <QStringList>

// The complete "mailto:" URI a compose window is opened with (RFC 6068).
// Everything the user typed is percent-encoded here, as UTF-8, so that the
// launcher in between (a shell script) never interprets any of it.
namespace MailtoUri {

// addresses: bare addresses, joined with "," (only "@" stays literal);
// subject and body: any text, the body's line breaks (CR LF, CR or LF) sent
// as %0D%0A; attachments: local paths, one "attach=" each.
QString build(
    const QStringList& addresses, const QString& subject, const QString& body, const QStringList& attachments = {});

// The body with every line break as CR LF.
QString crlfLines(const QString& text);

} // namespace MailtoUri
