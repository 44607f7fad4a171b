#pragma once

#include "storage/app_error.h"

#include <QByteArray>
#include <QString>

// A stored text that cannot be read back: a pair that is not a hexadecimal
// number, or a text too long for the one-byte count of the scrambling.
class CryptError : public AppError {
public:
    using AppError::AppError;
};

// The password's scrambling. Files written by earlier installations on
// Windows must keep working, so this is the same algorithm byte for byte:
// a 16-bit running key fed with the scrambled bytes.
namespace Crypt {
// At most 255 bytes: the count is kept in one byte.
constexpr int maxLength = 255;

// Plain bytes to upper-case hexadecimal, two digits per byte.
QByteArray Scramble(const QByteArray& plain);
// Hexadecimal (either case) back to plain bytes; an odd last character is
// ignored. Throws CryptError when a pair is not exactly two hexadecimal
// digits.
QByteArray Unscramble(const QByteArray& hex);

// The same over Windows-1252 text. Scramble throws CryptError for a
// character without a Windows-1252 form or a text over maxLength.
QString Scramble(const QString& plain);
QString Unscramble(const QString& hex);
} // namespace Crypt
