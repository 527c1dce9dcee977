#include <gtest/gtest.h>
#include "platform/Graphics.h"
#include "tests/platform/CanvasTestSupport.h"

TEST(CanvasShapes, RectangleLeavesOutRightAndBottomEdges) {
  TTestSurface s;
  s.C().Brush().Color = clRed;
  s.C().Rectangle(10, 10, 20, 15);
  EXPECT_EQ(s.At(10, 10), clBlack);
  EXPECT_EQ(s.At(19, 14), clBlack);
  EXPECT_EQ(s.At(15, 12), clRed);
  EXPECT_EQ(s.At(20, 12), clWhite);
  EXPECT_EQ(s.At(15, 15), clWhite);
  // Without a pen the fill covers the same pixels.
  TTestSurface t;
  t.C().Pen().Style = psClear;
  t.C().Brush().Color = clRed;
  t.C().Rectangle(10, 10, 20, 15);
  EXPECT_EQ(t.Ink(), QRect(10, 10, 10, 5));
  EXPECT_EQ(t.Count(clRed, 0, 0, 120, 120), 50);
}

TEST(CanvasShapes, LineLeavesOutItsEndPoint) {
  TTestSurface s;
  s.C().MoveTo(5, 5);
  s.C().LineTo(15, 5);
  EXPECT_EQ(s.At(5, 5), clBlack);
  EXPECT_EQ(s.At(14, 5), clBlack);
  EXPECT_EQ(s.At(15, 5), clWhite);
  EXPECT_EQ(s.C().PenPos(), QPoint(15, 5));
}

TEST(CanvasShapes, EllipseAndRoundRectStayInsideTheirBox) {
  TTestSurface s;
  s.C().Brush().Color = clRed;
  s.C().Ellipse(10, 10, 50, 30);
  EXPECT_EQ(s.Ink(), QRect(10, 10, 40, 20));
  EXPECT_EQ(s.At(30, 20), clRed);
  EXPECT_EQ(s.At(11, 11), clWhite);  // outside the curve, inside the box

  TTestSurface r;
  r.C().Brush().Color = clRed;
  r.C().RoundRect(10, 10, 50, 40, 16, 16);
  EXPECT_EQ(r.Ink(), QRect(10, 10, 40, 30));
  EXPECT_EQ(r.At(10, 10), clWhite);  // the corner is rounded off
  EXPECT_EQ(r.At(30, 10), clBlack);
  EXPECT_EQ(r.At(30, 25), clRed);
}

TEST(CanvasShapes, PieAndChordFillCounterClockwiseFromStartToEnd) {
  // From the east ray to the north ray: the upper right quarter.
  TTestSurface s;
  s.C().Pen().Style = psClear;
  s.C().Brush().Color = clRed;
  s.C().Pie(0, 0, 100, 100, 100, 50, 50, 0);
  EXPECT_EQ(s.At(75, 25), clRed);
  EXPECT_EQ(s.At(25, 25), clWhite);
  EXPECT_EQ(s.At(25, 75), clWhite);
  EXPECT_EQ(s.At(75, 75), clWhite);
  // The other way round: three quarters.
  TTestSurface t;
  t.C().Pen().Style = psClear;
  t.C().Brush().Color = clRed;
  t.C().Pie(0, 0, 100, 100, 50, 0, 100, 50);
  EXPECT_EQ(t.At(75, 25), clWhite);
  EXPECT_EQ(t.At(25, 25), clRed);
  EXPECT_EQ(t.At(75, 75), clRed);
  // The chord fills between the arc and the line joining its ends.
  TTestSurface c;
  c.C().Brush().Color = clRed;
  c.C().Chord(0, 0, 100, 100, 100, 50, 50, 0);
  EXPECT_EQ(c.At(80, 20), clRed);
  EXPECT_EQ(c.At(70, 30), clWhite);
  EXPECT_EQ(c.At(25, 75), clWhite);
}

TEST(CanvasShapes, ArcRaysMeetAFlatEllipseWhereTheyPoint) {
  // A 45 degree ray from the centre of a 200 x 100 box; a parametric 45 degrees would end
  // the wedge at about 27 degrees instead.
  TTestSurface s(220, 120);
  s.C().Pen().Style = psClear;
  s.C().Brush().Color = clRed;
  s.C().Pie(0, 0, 200, 100, 200, 50, 200, -50);
  EXPECT_EQ(s.At(140, 12), clRed);    // at 43.5 degrees
  EXPECT_EQ(s.At(135, 10), clWhite);  // at 48.8 degrees
  EXPECT_EQ(s.At(150, 55), clWhite);  // below the start ray

  TTestSurface a;
  a.C().Arc(0, 0, 100, 100, 100, 50, 50, 0);
  EXPECT_EQ(a.At(50, 50), clWhite);  // not filled
  EXPECT_EQ(a.At(50, 0), clBlack);   // the north end
  EXPECT_EQ(a.At(0, 50), clWhite);   // the west is not on the arc
  EXPECT_GT(a.Count(clBlack, 60, 0, 100, 40), 20);
}

TEST(CanvasShapes, PolyCallsAndTheirToForms) {
  TTestSurface s;
  const QPoint line[] = {{10, 10}, {30, 10}, {30, 30}};
  s.C().Polyline(line, 3);
  EXPECT_EQ(s.At(10, 10), clBlack);
  EXPECT_EQ(s.At(30, 20), clBlack);
  EXPECT_EQ(s.At(30, 30), clWhite);  // the last point is left out
  EXPECT_EQ(s.C().PenPos(), QPoint(0, 0));

  TTestSurface t;
  t.C().MoveTo(5, 50);
  const QPoint to[] = {{40, 50}, {40, 80}};
  t.C().PolylineTo(to, 2);
  EXPECT_EQ(t.At(5, 50), clBlack);
  EXPECT_EQ(t.At(40, 60), clBlack);
  EXPECT_EQ(t.C().PenPos(), QPoint(40, 80));

  TTestSurface b;
  const QPoint curve[] = {{10, 60}, {10, 10}, {90, 10}, {90, 60}};
  b.C().PolyBezier(curve, 4);
  EXPECT_EQ(b.At(10, 60), clBlack);
  EXPECT_EQ(b.At(50, 60), clWhite);
  EXPECT_GT(b.Count(clBlack, 40, 0, 60, 40), 0);  // the curve bulges upwards
  EXPECT_EQ(b.Count(clBlack, 0, 62, 120, 120), 0);

  TTestSurface bt;
  bt.C().MoveTo(10, 60);
  const QPoint curveTo[] = {{10, 10}, {90, 10}, {90, 60}, {1, 1}};  // the stray point is ignored
  bt.C().PolyBezierTo(curveTo, 4);
  EXPECT_EQ(bt.C().PenPos(), QPoint(90, 60));
  EXPECT_EQ(bt.At(10, 60), clBlack);
  EXPECT_EQ(bt.At(1, 1), clWhite);

  TTestSurface g;
  g.C().Brush().Color = clRed;
  const QPoint tri[] = {{10, 10}, {60, 10}, {10, 60}};
  g.C().Polygon(tri, 3);
  EXPECT_EQ(g.At(20, 20), clRed);
  EXPECT_EQ(g.At(50, 50), clWhite);
  EXPECT_EQ(g.At(60, 10), clBlack);  // the outline includes every vertex
}

TEST(CanvasShapes, PenStyles) {
  TTestSurface d;
  d.C().Pen().Style = psDash;
  d.C().MoveTo(0, 5);
  d.C().LineTo(100, 5);
  EXPECT_EQ(d.Count(clBlack, 0, 5, 18, 6), 18);
  EXPECT_EQ(d.Count(clBlack, 18, 5, 24, 6), 0);
  EXPECT_EQ(d.Count(clBlack, 24, 5, 42, 6), 18);

  TTestSurface dot;
  dot.C().Pen().Style = psDot;
  dot.C().MoveTo(0, 5);
  dot.C().LineTo(12, 5);
  EXPECT_EQ(dot.Count(clBlack, 0, 5, 12, 6), 6);

  TTestSurface clear;
  clear.C().Pen().Style = psClear;
  clear.C().MoveTo(0, 5);
  clear.C().LineTo(100, 5);
  EXPECT_TRUE(clear.Ink().isEmpty());

  // A wide pen is centred on the outline; an inside-frame one stays inside the box.
  TTestSurface wide;
  wide.C().Pen().Width = 6;
  wide.C().Brush().Style = bsClear;
  wide.C().Rectangle(20, 20, 60, 60);
  EXPECT_LT(wide.Ink().left(), 20);
  TTestSurface inside;
  inside.C().Pen().Width = 6;
  inside.C().Pen().Style = psInsideFrame;
  inside.C().Brush().Style = bsClear;
  inside.C().Rectangle(20, 20, 60, 60);
  EXPECT_EQ(inside.Ink(), QRect(20, 20, 40, 40));
  EXPECT_EQ(inside.At(22, 40), clBlack);
  EXPECT_EQ(inside.At(40, 40), clWhite);
  TTestSurface insideEllipse;
  insideEllipse.C().Pen().Width = 6;
  insideEllipse.C().Pen().Style = psInsideFrame;
  insideEllipse.C().Ellipse(20, 20, 60, 60);
  EXPECT_TRUE(QRect(20, 20, 40, 40).contains(insideEllipse.Ink()));
}

TEST(CanvasShapes, InvertingAndCopyPenModes) {
  TTestSurface x(40, 40, QColor(0, 0, 255));
  x.C().Pen().Mode = pmXor;
  x.C().Pen().Color = clRed;
  x.C().MoveTo(0, 5);
  x.C().LineTo(40, 5);
  EXPECT_EQ(x.At(10, 5), RGBColor(255, 0, 255));
  x.C().MoveTo(0, 5);
  x.C().LineTo(40, 5);
  EXPECT_EQ(x.At(10, 5), RGBColor(0, 0, 255));

  TTestSurface n;
  n.C().Pen().Mode = pmNot;
  n.C().Brush().Style = bsClear;
  n.C().Rectangle(0, 0, 20, 20);
  EXPECT_EQ(n.At(0, 10), clBlack);  // white inverted
  n.C().Rectangle(0, 0, 20, 20);
  EXPECT_EQ(n.At(0, 10), clWhite);

  TTestSurface nop;
  nop.C().Pen().Mode = pmNop;
  nop.C().Brush().Color = clRed;
  nop.C().Rectangle(0, 0, 20, 20);
  EXPECT_TRUE(nop.Ink().isEmpty());

  TTestSurface w(20, 20, Qt::black);
  w.C().Pen().Mode = pmWhite;
  w.C().MoveTo(0, 5);
  w.C().LineTo(20, 5);
  EXPECT_EQ(w.At(3, 5), clWhite);
}

TEST(CanvasShapes, HatchedBrushesLeaveTheGapsTransparent) {
  auto hatch = [](TBrushStyle style) {
    auto s = std::make_unique<TTestSurface>(64, 64, QColor(0, 255, 0));
    s->C().Pen().Style = psClear;
    s->C().Brush().Style = style;
    s->C().Brush().Color = clBlack;
    s->C().Rectangle(0, 0, 64, 64);
    return s;
  };
  auto h = hatch(bsHorizontal);
  const int black = h->Count(clBlack, 0, 0, 64, 64), green = h->Count(clLime, 0, 0, 64, 64);
  EXPECT_EQ(black, 64 * 8);  // one row in eight
  EXPECT_EQ(black + green, 64 * 64);
  for (int y = 0; y < 64; ++y)
    EXPECT_TRUE(h->Count(clBlack, 0, y, 64, y + 1) == 0 || h->Count(clBlack, 0, y, 64, y + 1) == 64);
  auto v = hatch(bsVertical);
  EXPECT_EQ(v->Count(clBlack, 0, 0, 64, 64), 64 * 8);
  // The forward diagonal falls from left to right, the backward one rises.
  auto diagonalCount = [](TTestSurface& s, int step) {
    int along = 0;
    for (int y = 1; y < 63; ++y)
      for (int x = 1; x < 63; ++x)
        if (s.At(x, y) == clBlack && s.At(x + 1, y + step) == clBlack) ++along;
    return along;
  };
  auto f = hatch(bsFDiagonal);
  EXPECT_GT(diagonalCount(*f, 1), 300);
  EXPECT_EQ(diagonalCount(*f, -1), 0);
  auto b = hatch(bsBDiagonal);
  EXPECT_GT(diagonalCount(*b, -1), 300);
  EXPECT_EQ(diagonalCount(*b, 1), 0);
  auto c = hatch(bsCross);
  EXPECT_EQ(c->Count(clBlack, 0, 0, 64, 64), 64 * 8 * 2 - 64);
}

TEST(CanvasShapes, PixelsAndMapping) {
  TTestSurface s;
  s.C().SetPixel(7, 9, clRed);
  EXPECT_EQ(s.C().Pixel(7, 9), clRed);
  EXPECT_EQ(s.Ink(), QRect(7, 9, 1, 1));

  // 600 logical units per inch onto 96 device pixels per inch.
  TTestSurface m(200, 200);
  TCanvas& c = m.C();
  c.SetMapMode(mmAnisotropic);
  c.SetWindowExt(600, 600);
  c.SetViewportExt(96, 96);
  c.Pen().Style = psClear;
  c.Brush().Color = clRed;
  c.Rectangle(600, 600, 1200, 1200);
  EXPECT_EQ(m.Ink(), QRect(96, 96, 96, 96));
  // A hairline stays one device pixel wide.
  c.Pen().Style = psSolid;
  c.MoveTo(0, 1150);
  c.LineTo(600, 1150);
  EXPECT_EQ(m.Count(clBlack, 0, 180, 200, 190), 96);
  EXPECT_EQ(c.LPtoDP(QPoint(1200, 300)), QPoint(192, 48));
  EXPECT_EQ(c.DPtoLP(QPoint(96, 48)), QPoint(600, 300));
  // A single pixel is one device pixel wherever it is mapped to.
  c.SetPixel(900, 60, clBlue);
  EXPECT_EQ(m.Count(clBlue, 0, 0, 200, 200), 1);
  EXPECT_EQ(m.At(144, 10), clBlue);

  // Origins: the window origin lands on the viewport origin; isotropic keeps one scale.
  TTestSurface o(200, 200);
  o.C().SetMapMode(mmIsotropic);
  o.C().SetWindowExt(100, 100);
  o.C().SetViewportExt(200, 100);
  o.C().SetWindowOrg(50, 50);
  o.C().SetViewportOrg(10, 20);
  EXPECT_EQ(o.C().LPtoDP(QPoint(150, 150)), QPoint(110, 120));
  o.C().SetMapMode(mmText);
  EXPECT_EQ(o.C().LPtoDP(QPoint(150, 150)), QPoint(110, 120));
}

TEST(CanvasShapes, StretchDrawWithCopyModes) {
  TBitmap bitmap(2, 1);
  bitmap.Canvas().SetPixel(0, 0, clBlack);  // black, white
  auto surface = [] { return std::make_unique<TTestSurface>(40, 20, QColor(255, 0, 0)); };
  auto s = surface();
  s->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(s->At(0, 0), clBlack);
  EXPECT_EQ(s->At(9, 9), clBlack);
  EXPECT_EQ(s->At(10, 0), clWhite);
  EXPECT_EQ(s->At(19, 9), clWhite);
  EXPECT_EQ(s->At(20, 0), clRed);
  EXPECT_EQ(s->At(0, 10), clRed);

  auto inv = surface();
  inv->C().SetCopyMode(cmNotSrcCopy);
  inv->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(inv->At(0, 0), clWhite);
  EXPECT_EQ(inv->At(10, 0), clBlack);

  auto andS = surface();
  andS->C().SetCopyMode(cmSrcAnd);
  andS->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(andS->At(0, 0), clBlack);
  EXPECT_EQ(andS->At(10, 0), clRed);

  auto orS = surface();
  orS->C().SetCopyMode(cmSrcPaint);
  orS->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(orS->At(0, 0), clRed);
  EXPECT_EQ(orS->At(10, 0), clWhite);

  auto x = surface();
  x->C().SetCopyMode(cmSrcInvert);
  x->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(x->At(10, 0), RGBColor(0, 255, 255));
  x->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(x->At(10, 0), clRed);

  auto dst = surface();
  dst->C().SetCopyMode(cmDstInvert);
  dst->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(dst->At(5, 5), RGBColor(0, 255, 255));

  auto white = surface();
  white->C().SetCopyMode(cmWhiteness);
  white->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(white->Count(clWhite, 0, 0, 40, 20), 200);

  auto merge = surface();
  merge->C().SetCopyMode(cmMergeCopy);
  merge->C().Brush().Color = clBlue;
  merge->C().StretchDraw(QRect(0, 0, 20, 10), bitmap);
  EXPECT_EQ(merge->At(0, 0), clBlack);
  EXPECT_EQ(merge->At(10, 0), clBlue);
}

TEST(CanvasShapes, HairlinesDrawTheirStartAndLeaveOutTheirEndInEveryDirection) {
  struct TCase { QPoint From, To; };
  const TCase cases[] = {
      {{10, 20}, {30, 20}}, {{30, 20}, {10, 20}}, {{30, 10}, {30, 20}}, {{30, 20}, {30, 10}},
      {{10, 10}, {20, 20}}, {{20, 20}, {10, 10}}, {{20, 10}, {10, 20}}, {{10, 20}, {20, 10}},
      {{10, 10}, {20, 13}}, {{20, 13}, {10, 10}}, {{20, 10}, {10, 13}}, {{10, 13}, {20, 10}},
      {{10, 10}, {13, 20}}, {{13, 20}, {10, 10}}, {{13, 10}, {10, 20}}, {{10, 20}, {13, 10}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "(" << c.From.x() << "," << c.From.y() << ") to ("
                                    << c.To.x() << "," << c.To.y() << ")");
    TTestSurface s(40, 40);
    s.C().MoveTo(c.From.x(), c.From.y());
    s.C().LineTo(c.To.x(), c.To.y());
    const QPoint d = c.To - c.From;
    EXPECT_EQ(s.At(c.From.x(), c.From.y()), clBlack);
    EXPECT_EQ(s.At(c.To.x(), c.To.y()), clWhite);
    EXPECT_EQ(s.Count(clBlack, 0, 0, 40, 40), std::max(std::abs(d.x()), std::abs(d.y())));
  }
  // Under a mapping the rule holds in device pixels: 1200 -> 600 logical is 192 -> 96.
  TTestSurface m(200, 200);
  m.C().SetMapMode(mmAnisotropic);
  m.C().SetWindowExt(600, 600);
  m.C().SetViewportExt(96, 96);
  m.C().MoveTo(1200, 600);
  m.C().LineTo(600, 600);
  EXPECT_EQ(m.Ink(), QRect(97, 96, 96, 1));
}

TEST(CanvasShapes, PolyHairlinesLeaveOutOnlyTheLastPointAndPolygonsKeepEveryVertex) {
  // Left, then up: the first point and the corner are drawn, the last point is not.
  const QPoint path[] = {{50, 20}, {20, 20}, {20, 5}};
  TTestSurface line(60, 60);
  line.C().Polyline(path, 3);
  TTestSurface to(60, 60);
  to.C().MoveTo(50, 20);
  to.C().PolylineTo(path + 1, 2);
  for (TTestSurface* s : {&line, &to}) {
    EXPECT_EQ(s->At(50, 20), clBlack);
    EXPECT_EQ(s->At(20, 20), clBlack);
    EXPECT_EQ(s->At(20, 5), clWhite);
    EXPECT_EQ(s->Count(clBlack, 0, 0, 60, 60), 30 + 15);
  }
  // Every edge of the outline, the closing one too, draws its start: each vertex once.
  TTestSurface g(60, 60);
  g.C().Brush().Style = bsClear;
  const QPoint tri[] = {{10, 10}, {40, 10}, {40, 40}};
  g.C().Polygon(tri, 3);
  for (QPoint v : tri) EXPECT_EQ(g.At(v.x(), v.y()), clBlack) << v.x() << "," << v.y();
  EXPECT_EQ(g.Count(clBlack, 0, 0, 60, 60), 3 * 30);
}
