// The drawn symbol as data: bars, their exact areas at any quarter turn, and the texts.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "barcode/BarcodeSymbol.h"

namespace {

TNyBarcode& Placed(TNyBarcode& b, double angle) {
  b.SetTyp(bcCode39);
  b.SetText(QStringLiteral("A"));
  b.SetHeight(30);
  b.SetModul(2);
  b.SetLeft(7);
  b.SetTop(5);
  b.SetAngle(angle);
  return b;
}

}  // namespace

TEST(BarcodeSymbol, OneBarPerElementInItsColour) {
  TNyBarcode b;
  Placed(b, 0);
  b.SetColor(clRed);
  const QString data = b.MakeData();
  const TBarcodeSymbol symbol = b.MakeSymbol();
  ASSERT_EQ(symbol.Bars.size(), size_t(data.size()));
  int x = 0;
  for (size_t i = 0; i < symbol.Bars.size(); ++i) {
    const TBarcodeBar& bar = symbol.Bars[i];
    const bool space = data[qsizetype(i)] < u'5';
    EXPECT_EQ(bar.Color, space ? clRed : clBlack);
    EXPECT_EQ(bar.Area.x(), x);
    EXPECT_EQ(bar.Area.height(), 30);
    x += bar.Area.width();
  }
  EXPECT_EQ(symbol.Width, x);
  EXPECT_EQ(symbol.Width, b.GetWidth());
  EXPECT_TRUE(symbol.Texts.empty());
}

// At every quarter turn the first bar's area (columns 0..w-1, rows 0..h-1 of the symbol)
// lands on an exact rectangle inside the symbol's box, and the unrounded quad has the same
// corners; the raster outline covers the same place, give or take its one-pixel convention.
TEST(BarcodeSymbol, QuarterTurnsAreExact) {
  struct TCase {
    double Angle;
    int Turns;
  };
  for (TCase c : {TCase{0, 0}, TCase{90, 1}, TCase{180, 2}, TCase{270, 3}, TCase{-90, 3}, TCase{450, 1}}) {
    SCOPED_TRACE(c.Angle);
    TNyBarcode b;
    Placed(b, c.Angle);
    const TBarcodeSymbol symbol = b.MakeSymbol();
    EXPECT_EQ(symbol.QuarterTurns(), c.Turns);
    const TBarcodeBar& bar = symbol.Bars.front();
    const int w = bar.Area.width(), h = bar.Area.height(), W = symbol.Width, H = symbol.Height;
    // The symbol reads left to right, bottom to top, right to left, top to bottom.
    const QRect expected[4] = {QRect(7, 5, w, h), QRect(7, 5 + W - w, h, w), QRect(7 + W - w, 5 + H - h, w, h),
                               QRect(7 + H - h, 5, h, w)};
    const QRect onCanvas = symbol.AreaOnCanvas(bar);
    EXPECT_EQ(onCanvas, expected[c.Turns]);
    double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
    for (const QPointF& p : symbol.AreaQuad(bar)) {
      left = std::min(left, p.x()), right = std::max(right, p.x());
      top = std::min(top, p.y()), bottom = std::max(bottom, p.y());
    }
    EXPECT_EQ(QRectF(onCanvas), QRectF(QPointF(left, top), QPointF(right, bottom)));
    QRect outlineBox;
    for (const QPoint& p : bar.Outline) outlineBox |= QRect(p, QSize(1, 1));
    EXPECT_LE((outlineBox.center() - onCanvas.center()).manhattanLength(), 2);
  }
  TBarcodeSymbol oblique;
  oblique.Angle = 30;
  EXPECT_EQ(oblique.QuarterTurns(), -1);
}

TEST(BarcodeSymbol, TextsAnchoredInTheSymbolsBand) {
  TNyBarcode b;
  Placed(b, 0);
  b.SetShowText(bcoBoth);
  struct TCase {
    TShowTextPosition Position;
    TBarcodeTextAlign Align;
    int Y;
  };
  for (TCase c : {TCase{stpTopLeft, btaLeft, 5}, TCase{stpBottomRight, btaRight, 5 + 30 + 1},
                  TCase{stpTopCenter, btaCenter, 5}}) {
    b.SetShowTextPosition(c.Position);
    const TBarcodeSymbol symbol = b.MakeSymbol();
    ASSERT_EQ(symbol.Texts.size(), 2u);
    const TBarcodeText& code = symbol.Texts[0];
    EXPECT_EQ(code.Text, "A");
    EXPECT_EQ(code.Align, c.Align);
    EXPECT_EQ(code.Position, QPoint(7, c.Y));
    EXPECT_EQ(code.BandWidth, symbol.Width);
    // The name sits at Top + round(font height x 2.5), above the symbol for point sizes.
    EXPECT_EQ(symbol.Texts[1].Text, "Code39");
    EXPECT_EQ(symbol.Texts[1].Position, QPoint(7, 5 + int(std::lrint(b.ShowTextFont().Height * 2.5))));
  }
  TBarcodeText t;
  t.Position = QPoint(10, 0);
  t.BandWidth = 10;
  struct TPlace {
    TBarcodeTextAlign Align;
    int TextWidth, Left;
  };
  for (TPlace p : {TPlace{btaLeft, 4, 10}, TPlace{btaRight, 4, 16}, TPlace{btaCenter, 5, 12}, TPlace{btaCenter, 15, 8}}) {
    t.Align = p.Align;
    EXPECT_EQ(t.LeftFor(p.TextWidth), p.Left) << p.Align << " " << p.TextWidth;
  }
}
