#include "barcode/BarcodeSymbol.h"
#include <algorithm>
#include <cmath>
#include <cstdlib>

int TBarcodeText::LeftFor(int textWidth) const {
  switch (Align) {
    case btaLeft: break;
    case btaRight: return Position.x() + BandWidth - textWidth;
    case btaCenter: return Position.x() + (BandWidth - textWidth) / 2;
  }
  return Position.x();
}

namespace {
// Whole quarter turns of an angle in degrees, -1 when it is not a multiple of 90.
int QuarterTurnsOf(double angle) {
  if (!std::isfinite(angle) || std::fmod(angle, 90.0) != 0.0) return -1;
  const double turns = std::fmod(angle / 90.0, 4.0);
  return (int(turns) + 4) % 4;
}

// (px, py) turned by a quarter turns: (c px + s py, -s px + c py) with exact sine and cosine.
template <typename P>
P TurnQuarter(int quarters, P p) {
  switch (quarters) {
    case 1: return P(p.y(), -p.x());
    case 2: return P(-p.x(), -p.y());
    case 3: return P(-p.y(), p.x());
    default: return p;
  }
}

// (px, py) turned by angle degrees, unrounded; exact at multiples of 90.
QPointF TurnExact(double angle, QPointF p) {
  const int quarters = QuarterTurnsOf(angle);
  if (quarters >= 0) return TurnQuarter(quarters, p);
  const double a = angle / 180.0 * M_PI;
  const double s = std::sin(a), c = std::cos(a);
  return QPointF(c * p.x() + s * p.y(), -s * p.x() + c * p.y());
}
}  // namespace

QPoint TurnSymbolPoint(double angle, QPoint point) {
  const int quarters = QuarterTurnsOf(angle);
  if (quarters >= 0) return TurnQuarter(quarters, point);
  const double a = angle / 180.0 * M_PI;
  const double s = std::sin(a), c = std::cos(a);
  const double px = point.x(), py = point.y();
  return QPoint(int(std::lrint(c * px + s * py)), int(std::lrint(-s * px + c * py)));
}

int TBarcodeSymbol::QuarterTurns() const { return QuarterTurnsOf(Angle); }

QRect TBarcodeSymbol::AreaOnCanvas(const TBarcodeBar& bar) const {
  const int quarters = std::max(QuarterTurns(), 0);
  const QRect& a = bar.Area;
  // Turn two opposite corners of the area (edges, not pixel centres) and span them.
  const QPoint p = TurnQuarter(quarters, a.topLeft());
  const QPoint q = TurnQuarter(quarters, QPoint(a.x() + a.width(), a.y() + a.height()));
  return QRect(QPoint(std::min(p.x(), q.x()), std::min(p.y(), q.y())),
               QSize(std::abs(q.x() - p.x()), std::abs(q.y() - p.y())))
      .translated(Origin);
}

std::array<QPointF, 4> TBarcodeSymbol::AreaQuad(const TBarcodeBar& bar) const {
  const QRect& a = bar.Area;
  const double x = a.x(), y = a.y(), w = a.width(), h = a.height();
  const std::array<QPointF, 4> corners = {QPointF(x, y), QPointF(x, y + h), QPointF(x + w, y + h),
                                          QPointF(x + w, y)};
  std::array<QPointF, 4> turned;
  for (size_t i = 0; i < 4; ++i) turned[i] = TurnExact(Angle, corners[i]) + QPointF(Origin);
  return turned;
}

QPointF TBarcodeSymbol::TurnText(QPoint point) const {
  return TurnExact(Angle, QPointF(point - Anchor)) + QPointF(Origin);
}

void DrawSymbolBars(TCanvas& canvas, const TBarcodeSymbol& symbol) {
  canvas.Pen().Width = 1;
  canvas.Brush().Style = bsSolid;
  for (const TBarcodeBar& bar : symbol.Bars) {
    canvas.Pen().Color = bar.Color;
    canvas.Brush().Color = bar.Color;
    canvas.Polygon(bar.Outline.data(), 4);
  }
}

void DrawSymbolTexts(TCanvas& canvas, const TBarcodeSymbol& symbol) {
  if (symbol.Texts.empty()) return;
  // Puts the canvas font back on every exit, failures included.
  struct TFontKeeper {
    TCanvas& Canvas;
    TFont Saved;
    ~TFontKeeper() { Canvas.Font() = Saved; }
  } keeper{canvas, canvas.Font()};
  canvas.Brush().Color = symbol.TextBackground;
  canvas.Brush().Style = bsSolid;
  for (const TBarcodeText& text : symbol.Texts) {
    canvas.Font() = text.Font;
    canvas.Pen().Color = text.Font.Color;
    const int x = text.Align == btaLeft ? text.Position.x() : text.LeftFor(canvas.TextWidth(text.Text));
    canvas.TextOut(x, text.Position.y(), text.Text);
  }
}
