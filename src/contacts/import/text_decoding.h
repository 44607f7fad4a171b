#pragma once

#include <QByteArray>
#include <QString>

// Text of files written by other programs.
namespace TextDecoding {
// bytes in the named charset; without one, UTF-8 when they are valid UTF-8,
// Windows-1252 otherwise. An unknown charset is read the same way and said
// in *problem.
QString decode(const QByteArray& bytes, const QByteArray& charset = {}, QString* problem = nullptr);

// A whole file: UTF-8 after a byte order mark (a broken sequence becomes
// U+FFFD, which no archive field accepts), else UTF-8 when valid, else
// Windows-1252. *encoding names the one used.
QString decodeFile(const QByteArray& bytes, QString* encoding = nullptr);
} // namespace TextDecoding
