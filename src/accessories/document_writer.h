#pragma once

#include <QList>
#include <QPair>
#include <QString>

// A word-processor document (.docx) of one card: a centred bold title line,
// an empty line and a two-column table of labels and values. Line breaks in
// a value stay line breaks in its cell.
namespace DocumentWriter {
using Rows = QList<QPair<QString, QString>>; // label, value

// Writes the document to path (replacing whatever is there: callers give a
// private temporary name). Returns an empty text on success, otherwise the
// reason in Italian.
QString write(const QString& path, const QString& title, const Rows& rows);

// The WordprocessingML body part on its own (word/document.xml).
QByteArray documentXml(const QString& title, const Rows& rows);

// text as XML character data: markup characters escaped, characters XML
// cannot hold (most control characters, non-characters, broken surrogate
// pairs) dropped, so the document stays well formed whatever a card holds.
QString xmlText(const QString& text);
} // namespace DocumentWriter
