#pragma once

#include <QString>

// Italian VAT number (partita IVA), also the form of a company's numeric
// fiscal code: 11 digits; digits 1-7 number the holder, digits 8-10 name the
// issuing provincial VAT office, digit 11 is a Luhn-like check digit.
//   valid:     00905811006 (office 100, Roma 2)
//   not valid: 00905811007 (wrong check digit)

// True when the text is exactly 11 digits '0'-'9' whose last digit matches
// the check computed from the first ten.
bool PartitaIvaIsValid(const QString& number);

// Name of the VAT office whose three-digit code equals the text exactly
// ("058" -> "Roma 1"); empty for codes not in the table, such as "000".
QString VatOfficeName(const QString& code);
