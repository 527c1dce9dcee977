#include "labels/LabelPlan.h"
#include <algorithm>
#include <cmath>

namespace {
QString Mm(double v) { return QString::number(v, 'f', 2); }

// The digits: the largest em whose digit ink is no taller than the 2.75 mm (x magnification)
// GS1 leaves under the bars and whose digits fit their 7-module characters.
int DigitPixels(const QString& family, const TSymbolSize& size) {
  const double height = 2.75 * size.Magnification, advance = 6.8 * size.X();
  int best = 4;
  for (int px = 4; px <= 80; ++px) {
    const TFaceMetrics m = MeasureFace(family, px);
    if (m.DigitHeight > height || m.DigitAdvance > advance) break;
    best = px;
  }
  return best;
}

// Height the text lines want at a readable size, with their gap below the digits.
double TextReserve(int lines) {
  if (lines == 0) return 0;
  return LabelTextGap + lines * MeasureFace(TextFace(), LabelTextMaxPixels - 2).LineSpacing;
}

QString Percent(double magnification) { return QString::number(std::lrint(magnification * 100)); }

// The largest size that fits the label: clear of its top and bottom edge with room for the
// text lines at a readable size; failing that, the texts shrink into what is left; failing
// that, the symbol may reach the edges. First in the symbology's range, then (when asked)
// below it, and last with shorter bars. Magnification 0: nothing fits.
TSymbolSize FitLabel(const TLabelRequest& request, TSymbolSize size) {
  const TLabelSheet& sheet = request.Sheet;
  const double w = sheet.LabelWidth, h = sheet.LabelHeight, edges = 2 * LabelTextEdge;
  const double heights[] = {h - edges - TextReserve(request.TextLines), h - edges, h};
  std::vector<double> floors{size.Rules->MinMagnification};
  if (request.OutsideRange) floors.push_back(OutsideMinMagnification);
  for (const double low : floors)
    for (const double height : heights)
      if ((size.Magnification = FitSymbol(size, w, height, low)) > 0) return size;
  // Even the smallest size is too tall: the bars give way, down to MinBarScale of their
  // height, at the largest size at which the symbol then fits (a wide module prints and
  // reads better than a long bar).
  if (!request.OutsideRange) return size;
  for (const double height : {h - edges, h}) {
    TSymbolSize shortest = size;
    shortest.BarScale = MinBarScale;
    size.Magnification = FitSymbol(shortest, w, height, OutsideMinMagnification);
    if (size.Magnification == 0) continue;
    const double scale = 1 - (size.StandardHeight() - height / size.Magnification) / size.StandardBarHeight();
    size.BarScale = std::min(1.0, std::floor(scale * 100 + 1e-9) / 100);
    return size;
  }
  size.BarScale = 1;
  size.Magnification = 0;
  return size;
}
}  // namespace

TLabelPlan PlanLabels(const TLabelRequest& request) {
  TLabelPlan plan;
  const TLabelSheet& sheet = request.Sheet;
  const TSymbolRules& rules = SymbolRules(request.Symbology);
  const double w = sheet.LabelWidth, h = sheet.LabelHeight;
  const double low = request.OutsideRange ? OutsideMinMagnification : rules.MinMagnification;
  TSymbolSize size{&rules, request.Magnification, request.Modules, 1};
  if (request.Magnification == 0) {
    size = FitLabel(request, size);
  } else if (request.Magnification < low - 1e-9 || request.Magnification > rules.MaxMagnification + 1e-9) {
    plan.Problems << QStringLiteral("%1 % is outside the range for %2: %3")
                         .arg(Percent(request.Magnification), BarcodeTypeName(rules.Typ), SymbolRangeText(rules));
    return plan;
  }
  const bool fits = size.Magnification > 0;
  if (!fits) size.Magnification = low;
  if (!fits || size.WidthWithQuietZones() > w + 1e-9 || size.Height() > h + 1e-9) {
    plan.Problems << QStringLiteral(
                         "The symbol at %1 % needs %2 × %3 mm with quiet zones; the label is %4 × %5 mm "
                         "(sheet %6). %7")
                         .arg(Percent(size.Magnification))
                         .arg(Mm(size.WidthWithQuietZones()), Mm(size.Height()), Mm(w), Mm(h), sheet.Name,
                              SymbolRangeText(rules));
    if (request.OutsideRange)
      plan.Problems.back() += QStringLiteral(" Below it, down to %1 % and with bars shortened to %2 %, it does not fit either.")
                                  .arg(Percent(OutsideMinMagnification), Percent(MinBarScale));
    return plan;
  }
  if (size.Magnification < rules.MinMagnification - 1e-9 || size.BarScale < 1) {
    const QString range = rules.Gs1 ? QStringLiteral("GS1's range") : QStringLiteral("the range kept for %1").arg(BarcodeTypeName(rules.Typ));
    const QString bars = size.BarScale < 1
                             ? QStringLiteral(" with their bars shortened to %1 % of the standard height:").arg(Percent(size.BarScale))
                             : QStringLiteral(",");
    plan.Warnings << QStringLiteral("The symbols are at %1 %%2 outside %3 of %4–%5 %.")
                         .arg(Percent(size.Magnification), bars, range, Percent(rules.MinMagnification),
                              Percent(rules.MaxMagnification));
  }
  TLabelGeometry& g = plan.Geometry;
  g.Size = size;
  g.LabelHeight = h;
  g.Digits = DigitFace();
  if (g.Digits.Fallback)
    plan.Warnings << QStringLiteral("OCR-B is not installed (Debian package fonts-ocr-b); the digits are set in %1.")
                         .arg(g.Digits.Family);
  g.DigitPixels = DigitPixels(g.Digits.Family, g.Size);
  const TFaceMetrics digits = MeasureFace(g.Digits.Family, g.DigitPixels);
  // The digits' ink ends where the symbol's height ends.
  g.DigitCellTop = g.Size.Height() - digits.DigitHeight - digits.DigitTop;
  g.SymbolLeft = (w - g.Size.WidthWithQuietZones()) / 2 + g.Size.LeftQuiet();
  g.TextLeft = LabelTextEdge;
  g.TextWidth = w - 2 * LabelTextEdge;
  g.TextHeight = request.TextLines > 0 ? h - g.Size.Height() - LabelTextGap - 2 * LabelTextEdge : 0;
  PlaceLabelGroup(plan, 0);
  return plan;
}

std::optional<TTextBlock> FitLabelTexts(const TLabelRequest& request, const TLabelPlan& plan, const TLabelItem& item,
                                        QString& problem) {
  if (request.TextLines == 0) return TTextBlock{};
  const TLabelGeometry& g = plan.Geometry;
  std::optional<TTextBlock> fitted =
      g.TextHeight > 0 ? FitTexts(item.Texts, TextFace(), g.TextWidth, g.TextHeight) : std::nullopt;
  if (!fitted)
    problem = QStringLiteral("row %1: the text \"%2\" does not fit the label: %3 × %4 mm are left under the symbol.")
                  .arg(item.Row)
                  .arg(item.Texts.join(QStringLiteral(" / ")), Mm(g.TextWidth), Mm(std::max(0.0, g.TextHeight)));
  return fitted;
}

void PlaceLabelGroup(TLabelPlan& plan, double tallestBlock) {
  TLabelGeometry& g = plan.Geometry;
  const double group = g.Size.Height() + (tallestBlock > 0 ? LabelTextGap + tallestBlock : 0);
  g.SymbolTop = (g.LabelHeight - group) / 2;
  g.TextTop = g.SymbolTop + g.Size.Height() + LabelTextGap;
}
