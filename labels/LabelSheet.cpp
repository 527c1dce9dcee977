#include "labels/LabelSheet.h"
#include <algorithm>
#include <cmath>
#include "labels/SheetLengths.h"
#include "preview/core/Vufuncs.h"

namespace {
QString Mm(double v) { return QString::number(std::nearbyint(v * 100) / 100, 'g', 6); }
// Lengths are published to a hundredth of a millimetre; a grid that lands on the paper's
// edge must not be refused for rounding.
constexpr double Slack = 0.01;
}  // namespace

QRectF TLabelSheet::Cell(int index) const {
  const int column = index % Columns, row = index / Columns;
  return QRectF(Left + column * PitchX, Top + row * PitchY, LabelWidth, LabelHeight);
}

QString TLabelSheet::PaperText() const {
  if (Paper != Custom) return PaperSizeToStr(Paper);
  return QStringLiteral("%1 x %2 mm").arg(Mm(PaperWidth), Mm(PaperHeight));
}

QString TLabelSheet::GridText() const { return QStringLiteral("%1x%2").arg(Columns).arg(Rows); }

QString TLabelSheet::LabelText() const { return QStringLiteral("%1x%2 mm").arg(Mm(LabelWidth), Mm(LabelHeight)); }

QString TLabelSheet::Fault() const {
  if (Columns < 1 || Rows < 1) return QStringLiteral("columns and rows must be at least 1");
  if (LabelWidth <= 0 || LabelHeight <= 0) return QStringLiteral("the label size must be positive");
  if (Left < 0 || Top < 0) return QStringLiteral("the margin must not be negative");
  if (Columns > 1 && PitchX + Slack < LabelWidth)
    return QStringLiteral("the horizontal pitch %1 mm is less than the label width %2 mm").arg(Mm(PitchX), Mm(LabelWidth));
  if (Rows > 1 && PitchY + Slack < LabelHeight)
    return QStringLiteral("the vertical pitch %1 mm is less than the label height %2 mm").arg(Mm(PitchY), Mm(LabelHeight));
  if (Radius < 0 || 2 * Radius > std::min(LabelWidth, LabelHeight))
    return QStringLiteral("the corner radius does not fit the label");
  const QRectF last = Cell(Count() - 1);
  if (last.right() > PaperWidth + Slack || last.bottom() > PaperHeight + Slack)
    return QStringLiteral("the labels reach %1 x %2 mm, beyond the %3 paper")
        .arg(Mm(last.right()), Mm(last.bottom()), PaperText());
  return {};
}

bool SetSheetPaper(TLabelSheet& sheet, const QString& text) {
  const QString t = text.trimmed();
  for (int i = A3; i <= Executive; ++i) {
    const auto paper = TVuPaperSize(i);
    if (paper == Custom || t.compare(PaperSizeToStr(paper), Qt::CaseInsensitive) != 0) continue;
    sheet.Paper = paper;
    const TVuSize inches = GetPaperSizeInch(paper);
    sheet.PaperWidth = double(inches.Width * 25.4L);
    sheet.PaperHeight = double(inches.Height * 25.4L);
    return true;
  }
  double w = 0, h = 0;
  if (!ParseLengthPair(t, w, h) || w <= 0 || h <= 0) return false;
  sheet.Paper = Custom;
  sheet.PaperWidth = w;
  sheet.PaperHeight = h;
  return true;
}
