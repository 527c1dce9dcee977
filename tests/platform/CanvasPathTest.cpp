#include <gtest/gtest.h>
#include "platform/Metafile.h"
#include "tests/platform/CanvasTestSupport.h"

TEST(CanvasPath, DrawingInsideABracketOnlyCollects) {
  TTestSurface s;
  s.C().BeginPath();
  s.C().Rectangle(10, 10, 50, 50);
  s.C().MoveTo(0, 0);
  s.C().LineTo(100, 100);
  s.C().TextOut(10, 60, QStringLiteral("H"));
  s.C().EndPath();
  EXPECT_TRUE(s.Ink().isEmpty());
  EXPECT_FALSE(s.C().Path().isEmpty());
}

TEST(CanvasPath, FillStrokeAndBoth) {
  // Filling closes the open triangle and uses no pen.
  TTestSurface f;
  f.C().Brush().Color = clRed;
  f.C().BeginPath();
  f.C().MoveTo(10, 10);
  f.C().LineTo(60, 10);
  f.C().LineTo(60, 60);
  f.C().EndPath();
  f.C().FillPath();
  EXPECT_EQ(f.At(50, 20), clRed);
  EXPECT_EQ(f.At(20, 50), clWhite);
  EXPECT_EQ(f.Count(clBlack, 0, 0, 120, 120), 0);
  EXPECT_TRUE(f.C().Path().isEmpty());  // used up

  // Stroking draws the outline only, and leaves an open figure open.
  TTestSurface st;
  st.C().Brush().Color = clRed;
  st.C().BeginPath();
  st.C().MoveTo(10, 10);
  st.C().LineTo(60, 10);
  st.C().LineTo(60, 60);
  st.C().EndPath();
  st.C().StrokePath();
  EXPECT_EQ(st.At(30, 10), clBlack);
  EXPECT_EQ(st.At(60, 30), clBlack);
  EXPECT_EQ(st.At(35, 35), clWhite);  // not on the closing diagonal
  EXPECT_EQ(st.Count(clRed, 0, 0, 120, 120), 0);

  // CloseFigure closes it; stroke-and-fill does both.
  TTestSurface sf;
  sf.C().Brush().Color = clRed;
  sf.C().BeginPath();
  sf.C().MoveTo(10, 10);
  sf.C().LineTo(60, 10);
  sf.C().LineTo(60, 60);
  sf.C().CloseFigure();
  sf.C().EndPath();
  sf.C().StrokeAndFillPath();
  EXPECT_EQ(sf.At(35, 35), clBlack);
  EXPECT_EQ(sf.At(50, 20), clRed);
}

TEST(CanvasPath, PathBecomesRegionAndClip) {
  TTestSurface s;
  const QPoint square[] = {{10, 10}, {50, 10}, {50, 50}, {10, 50}};
  s.C().BeginPath();
  s.C().Polygon(square, 4);
  s.C().EndPath();
  const QRegion region = s.C().PathToRegion();
  EXPECT_EQ(region.boundingRect(), QRect(10, 10, 40, 40));
  EXPECT_EQ(region.rectCount(), 1);
  EXPECT_TRUE(s.C().Path().isEmpty());

  // A clip region cuts a later fill; no clip region restores it.
  s.C().BeginPath();
  s.C().Polygon(square, 4);
  s.C().EndPath();
  s.C().SelectClipPath();
  EXPECT_TRUE(s.C().HasClipRegion());
  s.C().Brush().Color = clRed;
  s.C().FillRect(QRect(0, 0, 120, 120));
  EXPECT_EQ(s.Ink(), QRect(10, 10, 40, 40));
  // The clip stays with the canvas when its painter is ended and begun again.
  s.C().Release();
  s.C().Brush().Color = clBlue;
  s.C().FillRect(QRect(0, 0, 120, 120));
  EXPECT_EQ(s.Count(clBlue, 0, 0, 120, 120), 1600);
  s.C().SelectClipRgn(nullptr);
  EXPECT_FALSE(s.C().HasClipRegion());
  s.C().FillRect(QRect(0, 0, 120, 120));
  EXPECT_EQ(s.Count(clBlue, 0, 0, 120, 120), 120 * 120);

  // An elliptic clip.
  TTestSurface e;
  e.C().BeginPath();
  e.C().Ellipse(0, 0, 100, 100);
  e.C().EndPath();
  e.C().SelectClipPath();
  e.C().Brush().Color = clRed;
  e.C().FillRect(QRect(0, 0, 120, 120));
  EXPECT_EQ(e.At(50, 50), clRed);
  EXPECT_EQ(e.At(3, 3), clWhite);
  EXPECT_EQ(e.At(50, 1), clRed);
  EXPECT_EQ(e.At(99, 99), clWhite);
  EXPECT_NEAR(e.Count(clRed, 0, 0, 120, 120), 7854, 150);  // pi * 50^2
}

TEST(CanvasPath, RegionsAreInDevicePixelsUnderAMapping) {
  TTestSurface s(200, 200);
  s.C().SetMapMode(mmAnisotropic);
  s.C().SetWindowExt(600, 600);
  s.C().SetViewportExt(96, 96);
  s.C().BeginPath();
  s.C().Rectangle(600, 600, 1200, 1200);
  s.C().EndPath();
  EXPECT_EQ(s.C().PathToRegion(), QRegion(96, 96, 96, 96));
}

TEST(CanvasPath, TextAndCurvesAddTheirOutlines) {
  TTestSurface s(200, 100);
  s.C().Font().Name = QStringLiteral("Arial");
  s.C().Font().Height = -20;
  const QSize size = s.C().TextExtent(QStringLiteral("Hg"));
  // A solid brush adds the cell, a clear one only the glyphs.
  s.C().BeginPath();
  s.C().TextOut(20, 30, QStringLiteral("Hg"));
  s.C().EndPath();
  EXPECT_EQ(s.C().PathToRegion().boundingRect(), QRect(QPoint(20, 30), size));
  s.C().Brush().Style = bsClear;
  s.C().BeginPath();
  s.C().TextOut(20, 30, QStringLiteral("Hg"));
  s.C().EndPath();
  const QRect glyphs = s.C().PathToRegion().boundingRect();
  EXPECT_FALSE(glyphs.isEmpty());
  EXPECT_TRUE(QRect(QPoint(19, 30), size + QSize(2, 0)).contains(glyphs));
  EXPECT_GT(glyphs.top(), 30);

  // "To" forms continue from the pen position.
  s.C().BeginPath();
  s.C().MoveTo(10, 10);
  const QPoint curve[] = {{10, 50}, {50, 50}, {50, 10}};
  s.C().PolyBezierTo(curve, 3);
  s.C().CloseFigure();
  s.C().EndPath();
  const QRect bowl = s.C().PathToRegion().boundingRect();
  EXPECT_EQ(bowl.left(), 10);
  EXPECT_EQ(bowl.top(), 10);
  EXPECT_NEAR(bowl.bottom(), 40, 1);  // three quarters of the control height
}

TEST(CanvasPath, MetafileSurfaceMeasuresWithoutDrawing) {
  TMetafile metafile;
  TMetafileCanvas m(metafile);
  m.BeginPath();
  m.Rectangle(10, 10, 20, 25);
  m.EndPath();
  EXPECT_EQ(m.PathToRegion().boundingRect(), QRect(10, 10, 10, 15));
}

TEST(CanvasPath, RegionBoundsWithoutTheRegion) {
  // The same box as the region's, for straight and curved figures, mapped or not.
  TTestSurface s(300, 300);
  auto both = [&](auto figure) {
    s.C().BeginPath();
    figure();
    s.C().EndPath();
    const QRect region = s.C().PathToRegion().boundingRect();
    s.C().BeginPath();
    figure();
    s.C().EndPath();
    const QRect fast = s.C().PathRegionBounds();
    EXPECT_TRUE(s.C().Path().isEmpty());
    EXPECT_NEAR(fast.left(), region.left(), 1);
    EXPECT_NEAR(fast.top(), region.top(), 1);
    EXPECT_NEAR(fast.right(), region.right(), 1);
    EXPECT_NEAR(fast.bottom(), region.bottom(), 1);
    return fast;
  };
  EXPECT_EQ(both([&] { s.C().Rectangle(10, 20, 110, 70); }), QRect(10, 20, 100, 50));
  both([&] { s.C().Ellipse(5, 5, 205, 105); });
  both([&] { s.C().Pie(0, 0, 200, 200, 200, 100, 100, 0); });
  s.C().Font().Name = QStringLiteral("Arial");
  s.C().Font().Height = -40;
  s.C().Brush().Style = bsClear;
  both([&] { s.C().TextOut(20, 20, QStringLiteral("Bounds")); });
  s.C().SetMapMode(mmAnisotropic);
  s.C().SetWindowExt(600, 600);
  s.C().SetViewportExt(96, 96);
  EXPECT_EQ(both([&] { s.C().Rectangle(600, 600, 1200, 1200); }), QRect(96, 96, 96, 96));
  // No area, no pixels.
  s.C().BeginPath();
  s.C().MoveTo(0, 0);
  s.C().LineTo(600, 0);
  s.C().EndPath();
  EXPECT_TRUE(s.C().PathRegionBounds().isEmpty());
}
