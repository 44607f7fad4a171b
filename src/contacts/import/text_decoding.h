#pragma once

#include <QByteArray>
#include <QString>

// Text of files written by other programs.
namespace TextDecoding {
// bytes in the named charset; without one, UTF-8 when they are valid UTF-8,
// Windows-1252 otherwise. An unknown charset is read the same way and said
// in *problem.
QString decode(const QByteArray& bytes, const QByteArray& charset = {}, QString* problem = nullptr);

// A whole file: UTF-8 with or without its byte order mark when valid,
// Windows-1252 otherwise. *encoding names the one used.
QString decodeFile(const QByteArray& bytes, QString* encoding = nullptr);
} // namespace TextDecoding
