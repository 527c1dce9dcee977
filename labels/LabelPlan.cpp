#include "labels/LabelPlan.h"
#include <algorithm>
#include <cmath>

namespace {
QString Mm(double v) { return QString::number(v, 'f', 2); }

// The digits: the largest em whose digit ink is no taller than the 2.75 mm (x magnification)
// GS1 leaves under the bars and whose digits fit their 7-module characters.
int DigitPixels(const QString& family, const TEan13Size& size) {
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
}  // namespace

int SheetsNeeded(const TLabelRequest& request, int items) {
  const int positions = request.StartAt - 1 + items * request.CopiesEach;
  return positions == 0 ? 0 : (positions + request.Sheet.Count() - 1) / request.Sheet.Count();
}

TLabelPlan PlanLabels(const TLabelRequest& request) {
  TLabelPlan plan;
  const TLabelSheet& sheet = request.Sheet;
  const double w = sheet.LabelWidth, h = sheet.LabelHeight;
  double magnification = request.Magnification;
  if (magnification == 0) {
    // Clear of the label's top and bottom edge, with room for the text lines at a readable
    // size; failing that, the texts shrink into what is left; failing that, the symbol may
    // reach the edges, as long as it keeps a GS1 size.
    const double edges = 2 * LabelTextEdge;
    magnification = FitMagnification(w, h - edges - TextReserve(request.TextLines));
    if (magnification == 0) magnification = FitMagnification(w, h - edges);
    if (magnification == 0) magnification = FitMagnification(w, h);
  }
  const TEan13Size check{magnification == 0 ? Gs1MinMagnification : magnification};
  if (magnification == 0 || check.WidthWithQuietZones() > w + 1e-9 || check.Height() > h + 1e-9) {
    plan.Problems << QStringLiteral(
                         "The symbol at %1 % needs %2 × %3 mm with quiet zones; the label is %4 × %5 mm "
                         "(sheet %6). GS1 allows 80 % to 200 %.")
                         .arg(std::lrint(check.Magnification * 100))
                         .arg(Mm(check.WidthWithQuietZones()), Mm(check.Height()), Mm(w), Mm(h), sheet.Name);
    return plan;
  }
  TLabelGeometry& g = plan.Geometry;
  g.Size = check;
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
