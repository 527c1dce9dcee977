// The symbol model recorded on the recording canvas, in its pixel unit, and the component's
// recording-canvas overloads.
#include <array>
#include "barcodevu/BarcodeSymbolVu.h"
#include "barcode/Barcode.h"
#include "preview/core/Vutypes.h"

void DrawSymbolBars(TVuCanvas& canvas, const TBarcodeSymbol& symbol) {
  canvas.Pen().Width = 1;
  canvas.Brush().Style = bsSolid;
  const bool upright = symbol.QuarterTurns() >= 0;
  for (const TBarcodeBar& bar : symbol.Bars) {
    canvas.Pen().Color = bar.Color;
    canvas.Brush().Color = bar.Color;
    if (upright) {
      const QRect r = symbol.AreaOnCanvas(bar);
      canvas.Rectangle(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), vuPixels);
      continue;
    }
    const std::array<QPointF, 4> quad = symbol.AreaQuad(bar);
    std::array<TVuPoint, 4> points;
    for (size_t i = 0; i < 4; ++i) points[i] = TVuPoint{quad[i].x(), quad[i].y()};
    canvas.Polygon(points, 3, vuPixels);
  }
}

void DrawSymbolTexts(TVuCanvas& canvas, const TBarcodeSymbol& symbol) {
  if (symbol.Texts.empty()) return;
  struct TFontKeeper {
    TVuCanvas& Canvas;
    TFont Saved;
    ~TFontKeeper() { Canvas.Font() = Saved; }
  } keeper{canvas, canvas.Font()};
  canvas.Brush().Color = symbol.TextBackground;
  canvas.Brush().Style = bsSolid;
  const int quarters = symbol.QuarterTurns();
  for (const TBarcodeText& text : symbol.Texts) {
    canvas.Font() = text.Font;
    canvas.Pen().Color = text.Font.Color;
    QPoint at = text.Position;
    if (text.BandWidth > 0) {
      const int width = VuRound(canvas.TextWidth(text.Text).GetVuValue(vuPixels));
      at.setX(text.Position.x() + (text.BandWidth - width) / 2);
    }
    const QPointF p = symbol.TurnText(at);
    if (quarters == 0)
      canvas.TextOut(p.x(), p.y(), text.Text, vuPixels);
    else
      canvas.RotateOut(p.x(), p.y(), symbol.Angle, text.Text, vuPixels);
  }
}

void TNyBarcode::DoLines(const QString& data, TVuCanvas& canvas) { DrawSymbolBars(canvas, MakeBars(data)); }
void TNyBarcode::DrawText(TVuCanvas& canvas) { DrawSymbolTexts(canvas, MakeTexts()); }
void TNyBarcode::DrawBarcode(TVuCanvas& canvas) { DrawSymbolWhole(canvas, MakeSymbol()); }
