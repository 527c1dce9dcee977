#include "labels/SymbolRules.h"
#include <zbar.h>
#include <algorithm>
#include <cmath>

namespace {
using namespace zbar;

// EAN-13's bars and text at 100 %: 22.85 mm and 25.93 mm; a line of text under other bars
// takes the same 3.08 mm.
constexpr double TextBand = 25.93 - 22.85;

// Nominal X: GS1's 0.33 mm for retail symbols, 0.495 mm for GS1-128 (its smallest for
// logistics, with bars of 31.75 mm), 0.508 mm (0.02 in) for PostNet, and 0.33 mm for the
// industrial symbologies, whose standards ask for quiet zones of 10 X and bars of 15 % of the
// symbol's width, at least 6.35 mm.
constexpr TSymbolRules Rules[] = {
    {bcCode_2_5_interleaved, 0.33, 0.80, 2.00, false, 10, 10, 2.5, 0, 0, 0, true, ZBAR_I25},
    {bcCode_2_5_industrial, 0.33, 0.80, 2.00, false, 10, 10, 2.5, 0, 0, 0, true, 0},
    {bcCode_2_5_matrix, 0.33, 0.80, 2.00, false, 10, 10, 2.5, 0, 0, 0, true, 0},
    {bcCode39, 0.33, 0.80, 2.00, false, 10, 10, 2.5, 0, 0, 0, true, ZBAR_CODE39},
    {bcCode39Extended, 0.33, 0.80, 2.00, false, 10, 10, 2.5, 0, 0, 0, true, 0},
    {bcCode128A, 0.33, 0.80, 2.00, false, 10, 10, 2, 0, 0, 0, true, ZBAR_CODE128},
    {bcCode128B, 0.33, 0.80, 2.00, false, 10, 10, 2, 0, 0, 0, true, ZBAR_CODE128},
    {bcCode128C, 0.33, 0.80, 2.00, false, 10, 10, 2, 0, 0, 0, true, ZBAR_CODE128},
    {bcCode93, 0.33, 0.80, 2.00, false, 10, 10, 2, 0, 0, 0, true, ZBAR_CODE93},
    {bcCode93Extended, 0.33, 0.80, 2.00, false, 10, 10, 2, 0, 0, 0, true, ZBAR_CODE93},
    {bcCodeMSI, 0.33, 0.80, 2.00, false, 12, 12, 2, 0, 0, 0, true, 0},
    {bcCodePostNet, 0.508, 0.80, 1.20, false, 6.25, 6.25, 1.25, 3.175, 3.175, 0, false, 0},
    {bcCodeCodabar, 0.33, 0.80, 2.00, false, 10, 10, 2.5, 0, 0, 0, true, ZBAR_CODABAR},
    {bcCodeEAN8, 0.33, 0.80, 2.00, true, 7, 7, 2, 18.23, 18.23 + TextBand, 5, true, ZBAR_EAN8},
    {bcCodeEAN13, 0.33, 0.80, 2.00, true, 11, 7, 2, 22.85, 25.93, 5, true, ZBAR_EAN13},
    {bcCodeUPC_A, 0.33, 0.80, 2.00, true, 9, 9, 2, 22.85, 25.93, 5, true, ZBAR_UPCA},
    {bcCodeUPC_E0, 0.33, 0.80, 2.00, true, 9, 7, 2, 22.85, 25.93, 5, true, ZBAR_UPCE},
    {bcCodeUPC_E1, 0.33, 0.80, 2.00, true, 9, 7, 2, 22.85, 25.93, 5, true, 0},
    {bcCodeUPC_Supp2, 0.33, 0.80, 2.00, true, 7, 5, 2, 21.90, 21.90 + TextBand, 0, true, ZBAR_EAN2},
    {bcCodeUPC_Supp5, 0.33, 0.80, 2.00, true, 7, 5, 2, 21.90, 21.90 + TextBand, 0, true, ZBAR_EAN5},
    {bcCodeEAN128A, 0.495, 1.00, 2.00, true, 10, 10, 2, 31.75, 31.75 + TextBand, 0, true, ZBAR_CODE128},
    {bcCodeEAN128B, 0.495, 1.00, 2.00, true, 10, 10, 2, 31.75, 31.75 + TextBand, 0, true, ZBAR_CODE128},
    {bcCodeEAN128C, 0.495, 1.00, 2.00, true, 10, 10, 2, 31.75, 31.75 + TextBand, 0, true, ZBAR_CODE128},
};
static_assert(std::size(Rules) == BarcodeTypeCount);

QString Percent(double magnification) { return QString::number(std::lrint(magnification * 100)); }

// The guard patterns of the EAN/UPC symbols, by module.
bool InGuard(TBarcodeType typ, int m) {
  switch (typ) {
    case bcCodeEAN8: return m < 3 || (m >= 32 && m < 37) || m >= 64;
    case bcCodeEAN13: return m < 3 || (m >= 45 && m < 50) || m >= 92;
    // The first and last digit's bars reach down with the guards.
    case bcCodeUPC_A: return m < 10 || (m >= 45 && m < 50) || m >= 85;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1: return m < 3 || m >= 45;
    default: return false;
  }
}
}  // namespace

const TSymbolRules& SymbolRules(TBarcodeType typ) { return Rules[typ]; }

QString SymbolRangeText(const TSymbolRules& rules) {
  if (rules.Gs1)
    return QStringLiteral("GS1 allows %1 % to %2 %.").arg(Percent(rules.MinMagnification), Percent(rules.MaxMagnification));
  return QStringLiteral("%1 is drawn at %2 % to %3 % of X = %4 mm.")
      .arg(BarcodeTypeName(rules.Typ), Percent(rules.MinMagnification), Percent(rules.MaxMagnification))
      .arg(rules.NominalX);
}

QString ZbarReading(const TSymbolRules& rules, const QString& text) {
  switch (rules.Typ) {
    case bcCodeUPC_E0: return u'0' + text;
    case bcCodeCodabar: return u'A' + text + u'B';
    default: return text;
  }
}

QString ZbarCannotRead(const TSymbolRules& rules) {
  if (rules.Zbar) return QString();
  const QString name = BarcodeTypeName(rules.Typ);
  switch (rules.Typ) {
    case bcCode39Extended: return QStringLiteral("zbar reads %1 only as its Code 39 characters").arg(name);
    case bcCodeUPC_E1: return QStringLiteral("zbar reads UPC-E of number system 0 only, not %1").arg(name);
    default: return QStringLiteral("zbar cannot read %1").arg(name);
  }
}

double TSymbolSize::StandardBarHeight() const {
  if (Rules->BarHeight > 0) return Rules->BarHeight;
  return std::max(6.35, 0.15 * Modules * Rules->NominalX);
}

double TSymbolSize::StandardHeight() const {
  if (Rules->Height > 0) return Rules->Height;
  return StandardBarHeight() + (Rules->Text ? TextBand : 0);
}

double FitSymbol(const TSymbolSize& unit, double width, double height, double low) {
  TSymbolSize one = unit;
  one.Magnification = 1;
  const double best = std::min(width / one.WidthWithQuietZones(), height / one.Height());
  // Whole percent, rounded down, so that the chosen size really fits.
  const double percent = std::floor(best * 100 + 1e-9);
  if (percent < low * 100 - 1e-9) return 0;
  return std::min(percent, unit.Rules->MaxMagnification * 100) / 100;
}

std::vector<TSymbolBar> SymbolBars(const TSymbolRules& rules, const QString& elements, double* total) {
  const double widths[4] = {1, rules.WideRatio, rules.WideRatio * 1.5, rules.WideRatio * 2};
  std::vector<TSymbolBar> bars;
  double x = 0;
  for (const QChar code : elements) {
    const char16_t c = code.unicode();
    const bool space = c >= u'0' && c <= u'3', half = c >= u'A' && c <= u'D';
    const int index = space ? c - u'0' : half ? c - u'A' : c - u'5';
    const double w = widths[std::clamp(index, 0, 3)];
    if (!space) bars.push_back({x, w, InGuard(rules.Typ, int(std::lrint(x))), half});
    x += w;
  }
  if (total) *total = x;
  return bars;
}

QString SymbolText(const TSymbolRules& rules, const QString& text) {
  if (rules.Typ == bcCodeUPC_E0) return u'0' + text;
  if (rules.Typ == bcCodeUPC_E1) return u'1' + text;
  return text;
}

std::vector<double> SymbolTextCentres(const TSymbolRules& rules, int length) {
  std::vector<double> c(size_t(std::max(length, 0)));
  auto fill = [&](int from, int to, double start) {
    for (int i = from; i <= to && i < length; ++i) c[size_t(i)] = start + 7 * (i - from) + 3.5;
  };
  switch (rules.Typ) {
    case bcCodeEAN8:
      if (length != 8) return {};
      fill(0, 3, 3);
      fill(4, 7, 36);
      return c;
    case bcCodeUPC_A:
      if (length != 12) return {};
      c[0] = -4;
      fill(1, 5, 10);
      fill(6, 10, 50);
      c[11] = 95 + 4;
      return c;
    case bcCodeUPC_E0:
    case bcCodeUPC_E1:
      if (length != 8) return {};
      c[0] = -4;
      fill(1, 6, 3);
      c[7] = 51 + 4;
      return c;
    default: return {};
  }
}
