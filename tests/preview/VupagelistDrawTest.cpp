// Header, footer, margins, shadow and grid, and one page drawn with all of them.
#include <gtest/gtest.h>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/document/Vucanvas.h"
#include "preview/core/Vufuncs.h"
#include "tests/common/TestSupport.h"
#include "tests/preview/VuobjectsTestSupport.h"

namespace {

TMemoryPrinter Printer300() { return MemoryA4Printer(QStringLiteral("Memory"), 300, 30, 45, 30, 45); }

int CountColumns(TObjectSurface& s, int row, TColor color) {
  int n = 0;
  for (int x = 0; x < s.Image.width(); ++x) n += s.At(x, row) == color;
  return n;
}

int CountRows(TObjectSurface& s, int column, TColor color) {
  int n = 0;
  for (int y = 0; y < s.Image.height(); ++y) n += s.At(column, y) == color;
  return n;
}

}  // namespace

TEST(VupagelistDrawTest, FooterTokensAreExpandedPerPage) {
  TVuMargins margins(nullptr);
  const TVuSize page = VuSize(4, 3);
  TVuFooter tokens, plain;
  tokens.SetVisible(true);
  plain.SetVisible(true);
  tokens.CaptionCenter().SetCaption(QStringLiteral("Page {PAGE} of  {NUMPAGES}"));
  plain.CaptionCenter().SetCaption(QStringLiteral("Page 3 of  3"));
  plain.CaptionLeft().SetCaption(QString());  // an empty caption draws nothing
  TObjectSurface a(400, 300), b(400, 300);
  tokens.DrawToCanvas(a.Canvas, margins, page, 100, 100, 3, 3);
  plain.DrawToCanvas(b.Canvas, margins, page, 100, 100, 3, 3);
  EXPECT_EQ(a.Ink(), b.Ink());
  EXPECT_EQ(a.Count(clBlack), b.Count(clBlack));
  // The text hangs from the separator line at the band's top, centred.
  const QRect ink = a.Ink();
  EXPECT_EQ(ink.top(), 300 - 50 - VuRound(100 * tokens.GetHeight(vuInches)));
  EXPECT_NEAR(ink.center().x(), 200, 3);
  // Nothing at all while the footer is hidden.
  TObjectSurface c(400, 300);
  tokens.SetVisible(false);
  tokens.DrawToCanvas(c.Canvas, margins, page, 100, 100, 3, 3);
  EXPECT_TRUE(c.Ink().isEmpty());
}

TEST(VupagelistDrawTest, HeaderHeightAssignmentAndChangeRules) {
  int changes = 0;
  TVuHeader header([&](TPersistent*) { ++changes; });
  TFont f = header.CaptionLeft().Font();
  f.SetSize(16);
  header.CaptionCenter().SetFont(f);
  f.Name = QStringLiteral("Times New Roman");
  header.CaptionRight().SetFont(f);
  ASSERT_NE(GetFontHeightInch(header.CaptionCenter().Font()), GetFontHeightInch(header.CaptionRight().Font()));
  EXPECT_EQ(header.GetHeight(vuInches), GetFontHeightInch(header.CaptionCenter().Font()));
  header.SetHeight(vuMillimeters, 10);
  EXPECT_NEAR(double(header.GetHeight(vuMillimeters)), 10, 1e-12);
  EXPECT_EQ(changes, 3);
  TPen pen;
  pen.Color = clRed;
  header.SetPen(pen);
  EXPECT_EQ(changes, 3);
  header.SetShowLine(false);
  EXPECT_EQ(changes, 4);

  TVuFooter footer;
  footer.CaptionRight().SetCaption(QStringLiteral("right"));
  footer.SetVisible(true);
  header.Assign(&footer);
  EXPECT_EQ(header.CaptionRight().GetCaption(), QStringLiteral("right"));
  EXPECT_EQ(header.CaptionCenter().Font().Size(), 12);
  EXPECT_FALSE(header.GetVisible());
  EXPECT_FALSE(header.GetShowLine());
  EXPECT_NEAR(double(header.GetHeight(vuMillimeters)), 10, 1e-12);
  TVuShadow shadow;
  EXPECT_THROW(header.Assign(&shadow), EConvertError);
}

TEST(VupagelistDrawTest, APageAtSixHundredPpiDrawsObjectsThenHeaderAndFooter) {
  TMemoryPrinterInstall install({Printer300()}, QStringLiteral("Memory"));
  TVuPageList list;
  list.SetPageSize(2, 2, vuInches);
  list.AddPage();
  list.Margins().SetAsInches(VuRect(0.25L, 0.25L, 0.25L, 0.25L));
  list.Header().SetVisible(true);
  list.Header().CaptionLeft().SetCaption(QStringLiteral("Head"));
  list.Footer().SetVisible(true);
  list.Canvas().Brush().Color = clRed;
  list.Canvas().Brush().Style = bsSolid;
  list.Canvas().Pen().Color = clRed;
  list.Canvas().Rectangle(0, 0, 2, 2, vuInches);
  const int headerLine = VuRound(600 * (0.25L + list.Header().GetHeight(vuInches)));
  const int footerLine = VuRound(600 * (1.75L - list.Footer().GetHeight(vuInches)));

  TObjectSurface s(1200, 1200);
  list.Page(1)->DrawToCanvas(s.Canvas, 600, 600, false);
  EXPECT_EQ(s.At(600, 100), clRed);
  EXPECT_EQ(s.At(600, headerLine), clBlack);
  EXPECT_EQ(s.At(600, footerLine), clBlack);
  EXPECT_EQ(s.At(149, headerLine), clRed);   // the line runs from the left margin
  EXPECT_EQ(s.At(1050, headerLine), clRed);  // to the right one, end point left out
  EXPECT_GT(s.Count(clBlack), 900 * 2 + 100);  // two lines and the caption

  // A page that hides its header shows the objects there.
  list.Page(1)->SetShowHeader(false);
  TObjectSurface t(1200, 1200);
  list.Page(1)->DrawToCanvas(t.Canvas, 600, 600, false);
  EXPECT_EQ(t.At(600, headerLine), clRed);
  EXPECT_EQ(t.At(600, footerLine), clBlack);

  // Margin frames at 600 ppi: the user margins dotted silver, the printer's solid blue.
  TObjectSurface m(1200, 1200);
  TPen blue;
  blue.Color = clBlue;
  list.Margins().SetPrinterMarginPen(blue);
  list.Margins().SetShowPrinterMargins(true);
  list.Margins().Draw(VuSize(2, 2), vuPortrait, 600, m.Canvas);
  EXPECT_TRUE(m.Ink().isEmpty());  // not Visible: neither frame
  list.Margins().SetVisible(true);
  list.Margins().Draw(VuSize(2, 2), vuPortrait, 600, m.Canvas);
  EXPECT_GT(CountRows(m, 150, clSilver), 200);
  EXPECT_EQ(CountRows(m, 149, clSilver), 0);
  EXPECT_EQ(CountRows(m, 60, clBlue), 1200 - 90);  // from y = 0.15 in to the bottom
  EXPECT_EQ(m.At(600, 90), clBlue);

  // The grid: five lines each way on two inches, dots at their crossings.
  TVuPageGrid grid;
  grid.SetGridStyle(vuLines);
  TObjectSurface g(1200, 1200);
  grid.DrawToCanvas(g.Canvas, VuSize(2, 2), 600);
  EXPECT_EQ(CountColumns(g, 3, clSilver), 5);
  EXPECT_EQ(CountRows(g, 3, clSilver), 5);
  EXPECT_EQ(g.At(236, 600), clSilver);
  grid.SetGridStyle(vuDots);
  TObjectSurface dots(1200, 1200);
  grid.DrawToCanvas(dots.Canvas, VuSize(2, 2), 600);
  EXPECT_EQ(dots.Count(clSilver), 25);
  EXPECT_EQ(dots.At(236, 236), clSilver);
}

TEST(VupagelistDrawTest, ShadowStripsAndTheA4Grid) {
  TVuShadow shadow;
  TObjectSurface s(820, 1150);
  shadow.Draw(s.Canvas, TRect{0, 0, 794, 1123});
  const struct {
    int x, y;
    TColor color;
  } points[] = {{795, 4, clBlack},    {797, 1123, clBlack}, {795, 3, clWhite},   {798, 600, clWhite},
                {794, 600, clWhite},  {4, 1124, clBlack},   {3, 1124, clWhite},  {797, 1126, clBlack},
                {400, 1127, clWhite}, {400, 1123, clWhite}};
  for (auto& p : points) EXPECT_EQ(s.At(p.x, p.y), p.color) << p.x << "," << p.y;

  TVuPageGrid grid;
  grid.SetGridStyle(vuLines);
  TObjectSurface a4(900, 1300);
  grid.DrawToCanvas(a4.Canvas, GetPaperSizeInch(A4), 96);
  EXPECT_EQ(CountColumns(a4, 5, clSilver), 21);
  EXPECT_EQ(CountRows(a4, 5, clSilver), 30);
}

TEST(VupagelistDrawTest, MarginsAssignmentAndClipping) {
  TMemoryPrinterInstall install({Printer300()}, QStringLiteral("Memory"));
  TVuPrinter printer;
  TVuMargins source(&printer), target(&printer);
  int changes = 0;
  target.OnChange = [&](TPersistent*) { ++changes; };
  source.SetAsInches(VuRect(1, 2, 3, 4));
  source.SetVisible(true);
  source.SetClipMargins(true);
  target.SetUsePrinterMargins(true);
  changes = 0;
  target.Assign(&source);
  EXPECT_TRUE(EqualVuRects(target.GetAsInches(), VuRect(1, 2, 3, 4)));
  EXPECT_TRUE(target.GetVisible());
  EXPECT_FALSE(target.GetClipMargins());
  EXPECT_TRUE(target.GetUsePrinterMargins());
  EXPECT_EQ(changes, 6);  // four margins, Visible, and once more at the end

  // Clipping with the printer's margins: the margins take them, the corners belong.
  target.SetClipMargins(true);
  TObjectSurface s(300, 300);
  target.Clip(VuSize(2, 2), vuPortrait, 100, s.Canvas);
  EXPECT_NEAR(double(target.Left().Inches()), 0.1, 1e-12);
  ASSERT_TRUE(s.Canvas.HasClipRegion());
  EXPECT_EQ(s.Canvas.ClipRegion().boundingRect(), QRect(QPoint(10, 15), QPoint(190, 185)));
}
