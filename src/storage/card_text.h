#pragma once

#include <QByteArray>
#include <QString>

// Rules every card value follows on its way to an archive.
namespace CardText {
// Each ';' and each double quote becomes one blank; nothing is trimmed.
QString scrubbed(const QString& text);
// Blanks and control characters (code <= 32) removed at both ends; line
// breaks inside the text stay.
QString trimmed(const QString& text);
QByteArray trimmed(const QByteArray& bytes);
} // namespace CardText
