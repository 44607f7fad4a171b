#pragma once

#include <QString>

class QWidget;

// The contacts editor's check buttons. Each opens a fresh check form owned by
// owner, with the field's value (blanks and control characters trimmed at
// both ends) in its txtCodice, shows it modally through Modal::run (so tests
// can look at the prepared form without blocking) and destroys it afterwards.

// Empty or not purely digits: the fiscal code form. Only digits 0-9: a
// company's numeric fiscal code, checked by the VAT form in its alternative
// dress.
void runFiscalCodeCheck(QWidget* owner, const QString& codFiscField);
void runVatCheck(QWidget* owner, const QString& iva);
void runIbanCheck(QWidget* owner, const QString& iban);
