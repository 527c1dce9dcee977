// What the command line lets a symbology encode: a text the symbology can carry as given.
// The component itself draws what it can of any text; a person at the command line is told
// instead when a character would be dropped, a pair left incomplete or a check digit is wrong.
#pragma once
#include <QString>
#include <optional>
#include "barcode/Barcode.h"

struct TSymbologyText {
  QString Text;     // the text to encode: as given, or completed with its check digit
  bool Checksum;    // the component's own check-digit option for that text
  QString Problem;  // empty when the text can be encoded; else why not
};

// Checks text for the symbology (checksum: --checksum was given). A missing check digit of
// EAN-8, EAN-13, UPC-A and UPC-E is completed; a wrong one is refused.
TSymbologyText CheckSymbologyText(TBarcodeType typ, const QString& text, bool checksum);

// A symbology by its value name (bcCode128B) or display name ("Code128B"), in any case.
std::optional<TBarcodeType> FindSymbology(const QString& name);
