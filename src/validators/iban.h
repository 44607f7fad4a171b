#pragma once

#include <QString>

// International bank account number (ISO 13616), checked by the ISO 7064
// mod 97-10 test only: country code, two check digits and the national part,
// up to 34 letters and digits, often printed in groups of four separated by
// blanks and sometimes preceded by "IBAN". Neither the length per country nor
// the structure of the national part is examined.
//   valid:     IT60 X054 2811 1010 0000 0123 456
//   not valid: IT61 X054 2811 1010 0000 0123 456 (wrong check digits)

// True when the text, with every blank removed, has a mod 97 remainder of 1.
// Any character other than letters A-Z/a-z, digits and blanks makes it not
// valid.
bool IbanIsValid(const QString& text);

// The ISO 7064 remainder of the text: upper-cased, the first "IBAN" dropped,
// the first four characters moved to the end, letters written as 10...35,
// then reduced nine digits at a time so every window fits a signed 32-bit
// integer. 0 for an empty text and for any text that holds anything but
// letters A-Z/a-z and digits (blanks included), so a sign or punctuation can
// never be read as part of a number.
int IbanMod97(const QString& text);
