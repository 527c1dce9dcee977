#include <gtest/gtest.h>
#include <QFontMetrics>
#include "tests/platform/CanvasTestSupport.h"

namespace {

void UseFont(TCanvas& c, int pixels = 20) {
  c.Font().Name = QStringLiteral("Arial");
  c.Font().Height = -pixels;
  c.Font().Color = clBlack;
}

}  // namespace

TEST(CanvasText, TextIsPlacedByTheTopLeftOfItsCell) {
  TTestSurface s(200, 100);
  UseFont(s.C());
  s.C().Brush().Color = clYellow;
  const QSize size = s.C().TextExtent(QStringLiteral("Hg"));
  s.C().TextOut(20, 30, QStringLiteral("Hg"));
  // The solid brush fills exactly the cell.
  EXPECT_EQ(s.Ink(), QRect(QPoint(20, 30), size));
  EXPECT_GT(s.Count(clBlack, 20, 30, 200, 100), 20);
  EXPECT_EQ(s.C().PenPos(), QPoint(20 + size.width(), 30));

  // A clear brush leaves the cell transparent; the glyphs start below the cell's top.
  TTestSurface t(200, 100, QColor(0, 255, 0));
  UseFont(t.C());
  t.C().Brush().Style = bsClear;
  t.C().TextOut(20, 30, QStringLiteral("H"));
  EXPECT_EQ(t.Count(clYellow, 0, 0, 200, 100), 0);
  const QRect ink = t.Ink(clLime);
  EXPECT_GE(ink.top(), 30);
  EXPECT_LE(ink.bottom(), 30 + t.C().FontAscent());
  EXPECT_GE(ink.left(), 20);
}

TEST(CanvasText, TextAlignmentMovesTheCellAroundTheReferencePoint) {
  TTestSurface s(200, 100);
  UseFont(s.C());
  s.C().Brush().Color = clYellow;
  s.C().SetTextAlign(TA_RIGHT | TA_BASELINE);
  const QSize size = s.C().TextExtent(QStringLiteral("H"));
  s.C().TextOut(100, 50, QStringLiteral("H"));
  EXPECT_EQ(s.Ink(), QRect(QPoint(100 - size.width(), 50 - s.C().FontAscent()), size));

  TTestSurface u(200, 100);
  UseFont(u.C());
  u.C().Brush().Color = clYellow;
  u.C().SetTextAlign(TA_UPDATECP);
  u.C().MoveTo(10, 10);
  u.C().TextOut(0, 0, QStringLiteral("H"));
  u.C().TextOut(0, 0, QStringLiteral("H"));
  EXPECT_EQ(u.Ink(), QRect(10, 10, 2 * size.width(), size.height()));
  EXPECT_EQ(u.C().PenPos(), QPoint(10 + 2 * size.width(), 10));
}

TEST(CanvasText, EscapementTurnsTheTextAboutItsReferencePoint) {
  TTestSurface s(200, 200);
  UseFont(s.C());
  s.C().Brush().Color = clYellow;
  s.C().Font().Orientation = 900;  // upwards
  const QSize size = s.C().TextExtent(QStringLiteral("HHH"));
  s.C().TextOut(50, 150, QStringLiteral("HHH"));
  const QRect ink = s.Ink();
  EXPECT_NEAR(ink.left(), 50, 1);
  EXPECT_NEAR(ink.width(), size.height(), 1);
  EXPECT_NEAR(ink.bottom(), 149, 1);
  EXPECT_NEAR(ink.height(), size.width(), 1);
}

TEST(CanvasText, PerCharacterAdvancesAndClipping) {
  TTestSurface s(200, 60);
  UseFont(s.C());
  s.C().Brush().Style = bsClear;
  const int w = s.C().TextWidth(QStringLiteral("H"));
  ASSERT_LT(w, 30);
  const int dx[] = {40, 40};
  s.C().ExtTextOut(10, 10, 0, nullptr, QStringLiteral("HH"), dx, 2);
  EXPECT_GT(s.Count(clBlack, 10, 0, 10 + w, 60), 0);
  EXPECT_EQ(s.Count(clBlack, 10 + w + 1, 0, 49, 60), 0);
  EXPECT_GT(s.Count(clBlack, 50, 0, 50 + w, 60), 0);

  // Clipped and opaque: the rectangle is filled and nothing lands outside it.
  TTestSurface c(200, 60);
  UseFont(c.C());
  c.C().Brush().Color = clYellow;
  const QRect clip(10, 10, 8, 12);
  c.C().ExtTextOut(10, 10, etoClipped | etoOpaque, &clip, QStringLiteral("HHHH"));
  EXPECT_EQ(c.Ink(), clip);
  EXPECT_GT(c.Count(clBlack, 10, 10, 18, 22), 0);

  // TextRect clips within the clip region already selected.
  TTestSurface r(200, 60);
  UseFont(r.C());
  r.C().Brush().Color = clYellow;
  const QRegion region(0, 0, 14, 60);
  r.C().SelectClipRgn(&region);
  r.C().TextRect(QRect(10, 10, 100, 30), 10, 10, QStringLiteral("HHHH"));
  EXPECT_EQ(r.Ink(), QRect(10, 10, 4, 30));
}

TEST(CanvasText, FormattedTextAlignsBreaksAndClips) {
  auto surface = [] {
    auto s = std::make_unique<TTestSurface>(300, 200);
    UseFont(s->C());
    s->C().Brush().Style = bsClear;
    return s;
  };
  const QString word = QStringLiteral("HHH");
  auto left = surface();
  QRect box(20, 20, 200, 100);
  const int h = left->C().TextHeight(word), w = left->C().TextWidth(word);
  EXPECT_EQ(left->C().DrawText(word, box, dtLeft), h);
  EXPECT_NEAR(left->Ink().left(), 20, 2);
  auto right = surface();
  right->C().DrawText(word, box, dtRight);
  EXPECT_NEAR(right->Ink().right(), 219, 2);
  auto centre = surface();
  centre->C().DrawText(word, box, dtCenter);
  EXPECT_NEAR(centre->Ink().left() - 20, 219 - centre->Ink().right(), 2);
  auto bottom = surface();
  bottom->C().DrawText(word, box, dtBottom | dtSingleLine);
  EXPECT_LE(bottom->Ink().bottom(), 119);
  EXPECT_GT(bottom->Ink().top(), 120 - h);

  // Word break: three words in a box two words wide give two lines; without it, one line
  // per paragraph, cut at the box.
  auto wrap = surface();
  const QString three = QStringLiteral("HHH HHH HHH");
  QRect narrow(20, 20, wrap->C().TextWidth(QStringLiteral("HHH HHH")) + 2, 150);
  EXPECT_EQ(wrap->C().DrawText(three, narrow, dtWordBreak), 2 * h);
  EXPECT_NEAR(wrap->Ink().height(), 2 * h, h / 2);
  auto noWrap = surface();
  EXPECT_EQ(noWrap->C().DrawText(three, narrow, 0), h);
  EXPECT_LE(noWrap->Ink().right(), narrow.right());
  EXPECT_EQ(noWrap->C().DrawText(QStringLiteral("HHH\r\nHHH\rH\nH"), narrow, 0), 4 * h);

  // Tabs go to multiples of eight average characters.
  auto tabs = surface();
  QRect wide(0, 0, 300, 50);
  tabs->C().DrawText(QStringLiteral("\tH"), wide, dtExpandTabs);
  EXPECT_GE(tabs->Ink().left(), 8 * QFontMetrics(tabs->C().Font().ToQFont()).averageCharWidth() - 1);

  // Clipping to the box, unless told not to.
  auto clipped = surface();
  QRect small(20, 20, w / 2, h / 2);
  clipped->C().DrawText(word, small, 0);
  EXPECT_TRUE(small.contains(clipped->Ink()));
  auto unclipped = surface();
  unclipped->C().DrawText(word, small, dtNoClip);
  EXPECT_FALSE(small.contains(unclipped->Ink()));
  // A text whose cell fits the box is clipped still where its ink reaches out: an accent
  // above the ascent, a j's tail to the left.
  for (const QString& reaching : {QStringLiteral("\u01FA\u01FA"), QStringLiteral("jj")}) {
    auto fitted = surface(), loose = surface();
    QRect cell(20, 20, fitted->C().TextWidth(reaching), h);
    fitted->C().DrawText(reaching, cell, 0);
    loose->C().DrawText(reaching, cell, dtNoClip);
    EXPECT_FALSE(cell.contains(loose->Ink())) << reaching.toStdString();
    EXPECT_TRUE(cell.contains(fitted->Ink())) << reaching.toStdString();
  }

  // Measuring draws nothing.
  auto calc = surface();
  QRect measured(10, 10, 0, 0);
  EXPECT_EQ(calc->C().DrawText(word, measured, dtCalcRect), h);
  EXPECT_EQ(measured, QRect(10, 10, w, h));
  EXPECT_TRUE(calc->Ink().isEmpty());

  // Prefix characters: "&&" is one ampersand, "&H" underlines the H; dtNoPrefix shows them.
  auto prefix = surface();
  QRect m1(0, 0, 0, 0), m2(0, 0, 0, 0);
  prefix->C().DrawText(QStringLiteral("A&&B"), m1, dtCalcRect);
  prefix->C().DrawText(QStringLiteral("A&B"), m2, dtCalcRect);
  EXPECT_EQ(m1.width(), prefix->C().TextWidth(QStringLiteral("A&B")));
  EXPECT_EQ(m2.width(), prefix->C().TextWidth(QStringLiteral("AB")));
  QRect m3(0, 0, 0, 0);
  prefix->C().DrawText(QStringLiteral("A&B"), m3, dtCalcRect | dtNoPrefix);
  EXPECT_EQ(m3.width(), prefix->C().TextWidth(QStringLiteral("A&B")));
  auto underline = surface();
  QRect u(10, 10, 200, 50);
  underline->C().DrawText(QStringLiteral("&H"), u, 0);
  EXPECT_GT(underline->Ink().bottom(), 10 + underline->C().FontAscent());
}

TEST(CanvasText, FontSizesAndStyles) {
  TFont f;
  f.PixelsPerInch = 600;
  f.SetSize(10);
  EXPECT_EQ(f.Height, -83);  // 83.33 pixels
  EXPECT_EQ(f.Size(), 10);
  f.Style = fsBold | fsItalic | fsUnderline | fsStrikeOut;
  const QFont q = f.ToQFont();
  EXPECT_EQ(q.pixelSize(), 83);
  EXPECT_TRUE(q.bold() && q.italic() && q.underline() && q.strikeOut());

  // Strike-out draws a stroke through the middle of the cell.
  TTestSurface s(200, 60), t(200, 60);
  for (TTestSurface* x : {&s, &t}) {
    UseFont(x->C(), 30);
    x->C().Brush().Style = bsClear;
  }
  t.C().Font().Style = fsStrikeOut;
  s.C().TextOut(10, 10, QStringLiteral("o"));
  t.C().TextOut(10, 10, QStringLiteral("o"));
  EXPECT_GT(t.Count(clBlack, 0, 0, 200, 60), s.Count(clBlack, 0, 0, 200, 60));
}

// The canvas keeps the last few fonts resolved; switching among more of them than it keeps
// must still measure and place every text in its own font.
TEST(CanvasText, SwitchingAmongManyFontsKeepsEachFontsMetrics) {
  const int sizes[] = {12, 18, 24, 30, 36, 42};
  std::vector<QSize> expected;
  for (int px : sizes) {
    TTestSurface one(400, 100);
    UseFont(one.C(), px);
    expected.push_back(one.C().TextExtent(QStringLiteral("Wg")));
  }
  TTestSurface s(400, 100);
  for (int round = 0; round < 3; ++round)
    for (size_t i = 0; i < std::size(sizes); ++i) {
      UseFont(s.C(), sizes[(i * 5 + round) % std::size(sizes)]);
      EXPECT_EQ(s.C().TextExtent(QStringLiteral("Wg")), expected[(i * 5 + round) % std::size(sizes)]);
    }
  // Bottom alignment uses the current font's cell height, not a cached neighbour's.
  UseFont(s.C(), 12);
  s.C().TextExtent(QStringLiteral("x"));
  UseFont(s.C(), 42);
  s.C().Brush().Color = clYellow;
  s.C().SetTextAlign(TA_BOTTOM);
  s.C().TextOut(10, 90, QStringLiteral("Wg"));
  EXPECT_EQ(s.Ink(), QRect(QPoint(10, 90 - expected.back().height()), expected.back()));
}
