// Check-digit routines of the barcode engine.
#pragma once
#include <QString>

// Appends the modulo 10 check digit: weights 3, 1, 3, ... counted from the rightmost
// character, for any length (the empty text gives "0"). Each character is converted
// strictly; a non-digit raises EConvertError.
QString CheckSumModulo10(const QString& data);
