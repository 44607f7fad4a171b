#pragma once

#include <QString>

// Italian personal fiscal code (codice fiscale): 16 characters, the last one a
// check letter computed from the first 15 with the odd/even position tables of
// the Ministry of Finance decree of 23 December 1976. Letters standing in for
// digits (omocodia) pass when their check letter agrees; dates and place codes
// are not examined.
//   valid:     RSSMRA85T10A562S
//   not valid: RSSMRA85T10A562T (wrong check letter)

// True when the text has exactly 16 characters, the first 15 all in '0'...'Z'
// and the 16th equal to their check letter. Expects upper case: a lower-case
// letter, like any other character outside '0'...'Z', makes the code not valid.
bool FiscalCodeIsValid(const QString& code);
