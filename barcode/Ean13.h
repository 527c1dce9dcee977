// The EAN-13 road of the main window: normalising a typed value, completing it with its
// check digit, encoding it into 95 modules and drawing the 210 x 146 barcode bitmap.
#pragma once
#include <QString>
#include <memory>
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

constexpr int EAN13BitmapWidth = 210;
constexpr int EAN13BitmapHeight = 146;

// Draws the symbol of a completed value and its module string into a new white bitmap of
// the given size (the image control's, 210 x 146).
// The barcode bitmap as a Windows bitmap file. The picture is strictly black and white, so it
// is written with one bit per pixel: the same pixels in a twentieth of the bytes.
QByteArray EAN13BitmapFile(const TBitmap& bitmap);

// Draws bars and digit texts on a canvas whose background is already white.
void DrawEAN13(TCanvas& canvas, const QString& value, const QString& modules);

std::unique_ptr<TBitmap> RenderEAN13(const QString& value, const QString& modules,
                                     int width = EAN13BitmapWidth, int height = EAN13BitmapHeight);
