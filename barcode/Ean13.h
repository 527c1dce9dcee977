// The EAN-13 road of the main window: normalising a typed value, completing it with its
// check digit, encoding it into 95 modules and drawing the 210 x 146 barcode bitmap.
#pragma once
#include <QString>
#include <QStringView>
#include <memory>
#include "barcode/BarcodeSymbol.h"
#include "platform/Graphics.h"

class TNyBarcode;

// Result of normalising a typed text.
struct TEan13Value {
  enum TKind {
    ekNothing,    // the trimmed text is empty: nothing changes
    ekRefused,    // a character outside '0'..'9': Message is shown, the field is emptied
    ekCompleted,  // Value holds the 12 data digits and the check digit
    ekFailed      // completing failed; the command ends silently
  };
  TKind Kind = ekNothing;
  QString Value;
  QString Message;
};

// Trims only for the emptiness test, refuses non-digits, cuts or pads to 12 digits and
// completes with the barcode component's DoCheckSumming.
TEan13Value NormaliseEAN13(const QString& typed, const TNyBarcode& barcode);

struct TEan13Modules {
  bool Ok = false;
  QString Modules;  // 95 characters '0'/'1' when Ok
  QString Message;  // the refusal when not Ok
};

// "Barcode ID length must be 13 numbers" or "First digital cannot be 0." on refusal.
TEan13Modules encodeEAN13(const QString& value);

// The EAN/UPC number sets shared by every EAN and UPC encoder: the seven modules ('0' light,
// '1' dark) of digit 0..9 in set 'A' (L codes, odd parity), 'B' (G codes, even parity) or 'C'
// (R codes).
const char* EANNumberSetModules(char set, int digit);
// The sets ('A' or 'B') of EAN-13 digits 2 to 7 for the first digit 0..9.
const char* EAN13ParityRow(int firstDigit);
// The 95 modules of thirteen digits, checked by the caller; a first digit 0 gives the
// all-A row. The second form writes them as 95 characters to modules.
QString EAN13ModulesOf(QStringView digits);
void EAN13WriteModules(QStringView digits, char* modules);

constexpr int EAN13BitmapWidth = 210;
constexpr int EAN13BitmapHeight = 146;

// The barcode bitmap as a Windows bitmap file. The picture is strictly black and white, so it
// is written with one bit per pixel: the same pixels in a twentieth of the bytes.
QByteArray EAN13BitmapFile(const TBitmap& bitmap);

// The symbol of the barcode bitmap: the bars of the modules (module k on columns 2k + 13 and
// 2k + 14 from row 10; guard bars to row 135, the others to row 122) and the three digit texts
// in Arial 11 points at the display's resolution, without antialiasing. Unrotated, origin (0, 0).
TBarcodeSymbol EAN13Symbol(const QString& value, const QString& modules);

// Draws bars and digit texts on a canvas whose background is already white.
void DrawEAN13(TCanvas& canvas, const QString& value, const QString& modules);

// Draws the symbol of a completed value and its module string into a new white bitmap of
// the given size (the image control's, 210 x 146): the pixels of DrawEAN13, written straight
// into the image, kept as a 1-bit bitmap (pf1bit) since they are only black and white.
std::unique_ptr<TBitmap> RenderEAN13(const QString& value, const QString& modules,
                                     int width = EAN13BitmapWidth, int height = EAN13BitmapHeight);
