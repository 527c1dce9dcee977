// The size rules of every symbology of the barcode component on a label: its nominal module
// width X and the magnifications allowed around it, its quiet zones, bar height and guard
// bars, where its human-readable text goes, and whether the zbar decoder can read it back.
// EAN-13 keeps GS1's retail sizes exactly (Gs1Ean13.h); the other EAN/UPC symbols and GS1-128
// take GS1's sizes too, the rest the usual sizes of their own standards.
#pragma once
#include <QString>
#include <vector>
#include "barcode/Barcode.h"

struct TSymbolRules {
  TBarcodeType Typ;
  double NominalX;                // mm at 100 %
  double MinMagnification, MaxMagnification;
  bool Gs1;                       // the range is GS1's
  double LeftQuiet, RightQuiet;   // in X
  double WideRatio;               // the width of the component's element class 1, in X
  double BarHeight;               // mm at 100 %; 0: 15 % of the symbol's width, at least 6.35 mm
  double Height;                  // mm at 100 %, bars and text; 0: the bars and a line of text
  double GuardExtension;          // in X: how far the guard bars reach below the others
  bool Text;                      // the text is printed under the bars
  int Zbar;                       // zbar's symbol type, 0 when zbar cannot read it back
};

// Below GS1's range (and a symbology's own), only when asked for.
constexpr double OutsideMinMagnification = 0.50;
// Shortened bars keep at least this part of their height.
constexpr double MinBarScale = 0.40;

const TSymbolRules& SymbolRules(TBarcodeType typ);
// "GS1 allows 80 % to 200 %." or the range of a symbology that is not GS1's.
QString SymbolRangeText(const TSymbolRules& rules);
// What zbar reads from a symbol of the text (its start and stop characters, the number
// system of UPC-E); why it cannot read the symbology back when that is so.
QString ZbarReading(const TSymbolRules& rules, const QString& text);
QString ZbarCannotRead(const TSymbolRules& rules);

// A symbol's size on the label: the rules at a magnification, for the widest symbol of the
// run (in X), with bars shortened below their standard height only outside GS1's range.
struct TSymbolSize {
  const TSymbolRules* Rules = &SymbolRules(bcCodeEAN13);
  double Magnification = 1;
  double Modules = 95;
  double BarScale = 1;

  double X() const { return Rules->NominalX * Magnification; }
  double LeftQuiet() const { return Rules->LeftQuiet * X(); }
  double RightQuiet() const { return Rules->RightQuiet * X(); }
  double SymbolWidth() const { return Modules * X(); }
  double WidthWithQuietZones() const { return LeftQuiet() + SymbolWidth() + RightQuiet(); }
  double BarHeight() const { return StandardBarHeight() * Magnification * BarScale; }
  double GuardBarHeight() const { return BarHeight() + Rules->GuardExtension * X(); }
  // Top of the bars to the bottom of the text.
  double Height() const { return (StandardHeight() - StandardBarHeight() * (1 - BarScale)) * Magnification; }
  // At 100 %.
  double StandardBarHeight() const;
  double StandardHeight() const;
};

// The largest magnification from low to the rules' maximum, in whole percent, at which the
// symbol (unit's Modules and BarScale) fits width x height (mm); 0 when not even low fits.
double FitSymbol(const TSymbolSize& unit, double width, double height, double low);

// A dark bar of a symbol: its left edge and width in X, its guard and half-height marks.
struct TSymbolBar {
  double Module = 0;
  double Width = 0;
  bool Guard = false;
  bool Half = false;  // PostNet's short bars, standing on the baseline
};
// The bars of the component's element string; total: the symbol's width in X.
std::vector<TSymbolBar> SymbolBars(const TSymbolRules& rules, const QString& elements, double* total = nullptr);
// The human-readable text as printed (UPC-E with its number system digit), and each
// character's centre in X from the symbol's left edge; no centres: the text is centred.
QString SymbolText(const TSymbolRules& rules, const QString& text);
std::vector<double> SymbolTextCentres(const TSymbolRules& rules, int length);
