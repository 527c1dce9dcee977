// A drawn barcode as data: its bars and its human-readable texts, in pixels, ready for any
// canvas. Encoding builds it (TNyBarcode::MakeSymbol, EAN13Symbol); the platform canvas, the
// recording canvas and the EAN-13 bitmap writer only walk it, so the layout lives in one place.
//
// Coordinates: pixels, x to the right and y downwards. Origin is the canvas pixel where the
// unrotated symbol's (0, 0) lands (the component's Left/Top moved by the rotation offset).
// Each bar keeps
// - Area: its unrotated rectangle relative to Origin (columns Area.x() to Area.x() +
//   Area.width() - 1, rows likewise: right and bottom edges exclusive), for canvases that
//   record geometry (the recording canvas records it in vuPixels) and for bitmap fills;
// - Outline: the four-point polygon a raster canvas fills and outlines with a 1-pixel pen, in
//   canvas pixels, already turned by Angle. Its corners are pixel positions that the outline
//   covers, so at Angle 0 it covers exactly the pixels the builder meant (for the component
//   that is one row more than Area: its bars have always reached row Height).
// A symbol at a multiple of 90 degrees is exact in both views (QuarterTurns, AreaOnCanvas);
// at any other angle AreaQuad gives the unrounded turned corners.
//
// Texts are laid out upright: each sits at a canvas-pixel position with its own font, on an
// opaque cell of TextBackground, and its pen colour is its font's colour. A text aligned
// right or centred is placed in its band (Position.x() to Position.x() + BandWidth) by the
// consumer, which measures it with its own canvas (LeftFor). The platform canvas draws them
// upright where they stand; the recording canvas turns them with the symbol (TurnText).
#pragma once
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <array>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Colors.h"


enum TBarLineType { white, black, black_half };

struct TBarcodeBar {
  QRect Area;
  std::array<QPoint, 4> Outline;
  TBarLineType LineType = black;
  TColor Color = clBlack;
};

enum TBarcodeTextAlign { btaLeft, btaRight, btaCenter };

struct TBarcodeText {
  QString Text;
  TFont Font;
  // Left end of the band and top of the text cell, in canvas pixels.
  QPoint Position;
  // The band a right-aligned or centred text is placed in (the symbol's width for the
  // component's code text, whatever its alignment, so that a consumer may centre it).
  int BandWidth = 0;
  TBarcodeTextAlign Align = btaLeft;

  // x of the text cell's left edge for a text measured textWidth pixels wide; the centred
  // form truncates the half towards zero.
  int LeftFor(int textWidth) const;
};

struct TBarcodeSymbol {
  QPoint Origin;
  // Where the unrotated symbol's top-left corner lies (the component's Left and Top): the
  // texts' upright layout is relative to it.
  QPoint Anchor;
  double Angle = 0.0;  // degrees, counter-clockwise on the screen
  // Unrotated size of the bar area in pixels (the sum of the element widths; the height of a
  // full bar).
  int Width = 0;
  int Height = 0;
  std::vector<TBarcodeBar> Bars;
  std::vector<TBarcodeText> Texts;
  TColor TextBackground = clWhite;

  // 0..3 when Angle is a whole multiple of 90 degrees, else -1.
  int QuarterTurns() const;
  // The bar's Area turned about Origin, in canvas pixels; exact at a multiple of 90 degrees
  // (QuarterTurns() >= 0), where the turned area is again an axis-aligned rectangle.
  QRect AreaOnCanvas(const TBarcodeBar& bar) const;
  // The corners (x, y), (x, y + h), (x + w, y + h), (x + w, y) of the bar's Area turned
  // about Origin, unrounded, in canvas pixels.
  std::array<QPointF, 4> AreaQuad(const TBarcodeBar& bar) const;
  // A canvas point of the upright text layout carried along with the symbol's rotation:
  // point - Anchor turned by Angle about Origin, unrounded. At Angle 0 it is point itself.
  QPointF TurnText(QPoint point) const;
};

// A point of the unrotated symbol turned by angle degrees, (px, py) to
// (round(c px + s py), round(-s px + c py)), rounded halves to even; exact at multiples of
// 90 degrees.
QPoint TurnSymbolPoint(double angle, QPoint point);

// Bars as filled polygons (pen and brush in the bar's colour, pen width 1); then the texts,
// each with the canvas font set to the text's font and put back afterwards. The canvas keeps
// the pen and brush the last step left.
void DrawSymbolBars(TCanvas& canvas, const TBarcodeSymbol& symbol);
void DrawSymbolTexts(TCanvas& canvas, const TBarcodeSymbol& symbol);

// Bars and texts of the symbol with the canvas's font, pen and brush put back afterwards, on
// either canvas. No guard on purpose: a failing step leaves the canvas as it left it.
template <class Canvas>
void DrawSymbolWhole(Canvas& canvas, const TBarcodeSymbol& symbol) {
  const TFont font = canvas.Font();
  const TPen pen = canvas.Pen();
  const TBrush brush = canvas.Brush();
  DrawSymbolBars(canvas, symbol);
  DrawSymbolTexts(canvas, symbol);
  canvas.Font() = font;
  canvas.Pen() = pen;
  canvas.Brush() = brush;
}
