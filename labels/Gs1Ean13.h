// The EAN-13 symbol at GS1's retail sizes: X = 0.33 mm at 100 % magnification, 80 % to 200 %;
// quiet zones of 11 X on the left and 7 X on the right; bars 22.85 mm high at 100 %, the
// guard bars 5 X longer; 25.93 mm from the top of the bars to the bottom of the digits, the
// first digit in the left quiet zone.
#pragma once
#include <QString>
#include <vector>

constexpr double Gs1NominalX = 0.33;       // mm
constexpr double Gs1MinMagnification = 0.80;
constexpr double Gs1MaxMagnification = 2.00;
constexpr int Ean13Modules = 95;
constexpr int Ean13LeftQuietModules = 11;
constexpr int Ean13RightQuietModules = 7;

struct TEan13Size {
  double Magnification = 1;

  double X() const { return Gs1NominalX * Magnification; }
  double LeftQuiet() const { return Ean13LeftQuietModules * X(); }
  double RightQuiet() const { return Ean13RightQuietModules * X(); }
  // Bars only, and with both quiet zones.
  double SymbolWidth() const { return Ean13Modules * X(); }
  double WidthWithQuietZones() const { return LeftQuiet() + SymbolWidth() + RightQuiet(); }
  double BarHeight() const { return 22.85 * Magnification; }
  double GuardBarHeight() const { return BarHeight() + 5 * X(); }
  // Top of the bars to the bottom of the digits.
  double Height() const { return 25.93 * Magnification; }
};

// A dark bar: its first module (0..94) and its width in modules; Guard for the bars of the
// three guard patterns, which reach down between the digits.
struct TEan13Bar {
  int Module = 0;
  int Width = 0;
  bool Guard = false;
};

// The bars of a 95-module string ('1' dark), left to right.
std::vector<TEan13Bar> Ean13Bars(const QString& modules);

// The largest magnification in [80 %, 200 %], in whole percent, at which the symbol with its
// quiet zones fits width x height (mm); 0 when not even 80 % fits.
double FitMagnification(double width, double height);
