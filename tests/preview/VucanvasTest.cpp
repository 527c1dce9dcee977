// The recording canvas: what each call records on the current page.
#include <gtest/gtest.h>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/document/Vucanvas.h"
#include "preview/core/Vufuncs.h"
#include "tests/common/TestSupport.h"
#include "tests/preview/VuobjectsTestSupport.h"

namespace {

struct TRecording {
  TMemoryPrinterInstall Install{{MemoryA4Printer(QStringLiteral("Memory"), 300, 30, 45, 30, 45)},
                                QStringLiteral("Memory")};
  TVuPageList List;
  TVuCanvas& Canvas = List.Canvas();
  TRecording() { List.AddPage(); }
  TVuPage& Page() { return *List.Page(List.CurrentPage()); }
  template <class T>
  T* Object(int i) { return dynamic_cast<T*>(Page().VuObject(i)); }
};

// Three lines of Arial 10 at the mapper's resolution.
Extended LineHeightInch() {
  TBitmap b(1, 1);
  b.Canvas().Font().Name = QStringLiteral("Arial");
  b.Canvas().Font().PixelsPerInch = 96;
  b.Canvas().Font().SetSize(10);
  VuFontMapper().MapperPpi = FontMapperPpi;
  return VuFontMapper().TextHeight(b.Canvas(), QStringLiteral("X"));
}

}  // namespace

TEST(VucanvasTest, RectanglesAreStoredInInchesAsGivenAndShareOnePenAndBrush) {
  TRecording r;
  struct {
    Extended x1, y1, x2, y2;
  } cases[] = {{10, 20, 60, 40}, {60, 40, 10, 20}, {10, 20, 60, 40}};
  for (auto& c : cases) r.Canvas.Rectangle(c.x1, c.y1, c.x2, c.y2);
  ASSERT_EQ(r.Page().Count(), 3);
  for (int i = 0; i < 3; ++i) {
    const TVuRect got = r.Object<TVuRectangleShape>(i)->Coords();
    EXPECT_NEAR(double(got.Left), double(cases[i].x1 / 25.4L), 1e-12) << i;
    EXPECT_NEAR(double(got.Top), double(cases[i].y1 / 25.4L), 1e-12) << i;
    EXPECT_NEAR(double(got.Right), double(cases[i].x2 / 25.4L), 1e-12) << i;
    EXPECT_NEAR(double(got.Bottom), double(cases[i].y2 / 25.4L), 1e-12) << i;
  }
  EXPECT_NEAR(double(r.Object<TVuRectangleShape>(0)->Coords().Right), 2.3622, 1e-4);
  const TVuResourceTable& t = r.List.ResourceTable();
  ASSERT_EQ(t.Pens().Count(), 1);
  ASSERT_EQ(t.Brushes().Count(), 1);
  EXPECT_EQ(t.Pens().References().GetValue(0), 3);
  EXPECT_EQ(t.Brushes().References().GetValue(0), 3);
  EXPECT_EQ(r.Canvas.LastObject(), r.Page().VuObject(2));
}

TEST(VucanvasTest, RotatedTextHasItsOwnFontEntryAndLeavesTheCanvasUnrotated) {
  TRecording r;
  r.Canvas.TextOut(10, 10, QStringLiteral("flat"));
  r.Canvas.RotateOut(10, 50, 90, QStringLiteral("up"));
  r.Canvas.TextOut(10, 90, QStringLiteral("flat again"));
  TVuFontList& fonts = r.List.ResourceTable().Fonts();
  ASSERT_EQ(fonts.Count(), 2);
  EXPECT_EQ(r.Object<TVuTextObject>(1)->Font()->GetAngle(), 90);
  EXPECT_EQ(r.Object<TVuTextObject>(2)->Font(), r.Object<TVuTextObject>(0)->Font());
  EXPECT_EQ(r.Canvas.GetTextAngle(), 0);
}

TEST(VucanvasTest, DrawPlacesTheBarcodeBitmapAtNinetySixPixelsPerInch) {
  TRecording r;
  TBitmap barcode(210, 146);
  TVuGraphicObject* g = r.Canvas.Draw(80, 50, barcode, 1);
  const TVuRect mm = g->GetCoords(vuMillimeters);
  EXPECT_NEAR(double(mm.Left), 80, 1e-9);
  EXPECT_NEAR(double(mm.Top), 50, 1e-9);
  EXPECT_NEAR(double(mm.Right), 135.5625, 1e-9);
  EXPECT_NEAR(double(mm.Bottom), 146 / 96.0 * 25.4 + 50, 1e-9);
  EXPECT_EQ(g->CoordsAsPixels(600, 600), (TRect{1890, 1181, 3202, 2094}));
  // Twice the size at scale 2; the same bitmap is stored once while pictures are compared.
  const TVuRect twice = r.Canvas.Draw(0, 0, barcode, 2)->GetCoords(vuInches);
  EXPECT_NEAR(double(twice.Right), 2 * 210 / 96.0, 1e-12);
  EXPECT_EQ(r.List.ResourceTable().Graphics().Count(), 1);
  r.Canvas.SetCompareImages(false);
  r.Canvas.Draw(0, 0, barcode, 1);
  EXPECT_EQ(r.List.ResourceTable().Graphics().Count(), 2);
}

TEST(VucanvasTest, TextBoxGrowsToItsTextOrKeepsTheGivenBottom) {
  TRecording r;
  const QString threeLines = QStringLiteral("one\r\ntwo\r\nthree");
  TVuTextBoxObject* grown = r.Canvas.TextBoxExt(10, 20, 100, 0, 2, threeLines, taLeftJustify, vuTop);
  const Extended expected = 3 * LineHeightInch() + 2 * 2 / 25.4L;
  EXPECT_NEAR(double(grown->GetY2(vuInches) - grown->GetY(vuInches)), double(expected), 1.0 / 7200);
  EXPECT_EQ(grown->GetContentHeight(), grown->GetY2(vuInches) - grown->GetY(vuInches));
  TVuTextBoxObject* fixed = r.Canvas.TextBoxExt(10, 20, 100, 30, 2, threeLines, taLeftJustify, vuTop);
  EXPECT_NEAR(double(fixed->GetY2(vuMillimeters)), 30, 1e-9);
  EXPECT_NEAR(double(fixed->GetContentHeight()), 10 / 25.4, 1e-12);
  EXPECT_NEAR(double(fixed->GetPadding()), 2 / 25.4, 1e-12);
}

TEST(VucanvasTest, PenPositionLinesAndAlignedTexts) {
  TRecording r;
  r.Canvas.LineTo(10, 10);
  r.Canvas.Line(50, 50, 60, 60);
  r.Canvas.LineTo(20, 30);
  EXPECT_EQ(r.Object<TVuLineObject>(0)->GetCoords(vuMillimeters).Left, 0);
  EXPECT_NEAR(double(r.Object<TVuLineObject>(2)->GetX(vuMillimeters)), 10, 1e-9);
  EXPECT_NEAR(double(r.Canvas.GetPenPos().Y), 30, 1e-9);
  // Right and centred texts end (centre) at x, measured at 600 ppi.
  const Extended w = r.Canvas.TextWidth(QStringLiteral("Total")).GetAsMillimeters();
  EXPECT_GT(w, 5);
  EXPECT_NEAR(double(r.Canvas.TextOutRight(100, 10, QStringLiteral("Total"))->GetX(vuMillimeters)), double(100 - w), 1e-9);
  EXPECT_NEAR(double(r.Canvas.TextOutCenter(100, 10, QStringLiteral("Total"))->GetX(vuMillimeters)), double(100 - w / 2),
              1e-9);
  EXPECT_EQ(r.Canvas.FloatOut(100, 20, 1234.5L, QStringLiteral("#,##0.00"))->GetCaption(), QStringLiteral("1,234.50"));
}

TEST(VucanvasTest, SavedPropertiesAndObjectsThatAreNotLastObjects) {
  TRecording r;
  r.Canvas.Pen().Color = clRed;
  r.Canvas.SaveCanvasProperties();
  r.Canvas.Pen().Color = clBlue;
  r.Canvas.SetDefaultMeasurement(vuInches);
  r.Canvas.SetTextBoxWordBreak(false);
  r.Canvas.LoadCanvasProperties();
  EXPECT_EQ(r.Canvas.Pen().Color, clRed);
  EXPECT_EQ(r.Canvas.GetDefaultMeasurement(), vuInches);
  EXPECT_FALSE(r.Canvas.GetTextBoxWordBreak());

  TVuEllipseShape* e = r.Canvas.Ellipse(0, 0, 1, 1);
  r.Canvas.BeginPath();
  r.Canvas.SetClipRect(0, 0, 1, 1);
  r.Canvas.RemoveClipRgn();
  EXPECT_EQ(r.Canvas.LastObject(), e);
  EXPECT_EQ(r.Page().Count(), 4);
  // A last point beyond the caller's array is refused before anything is read.
  const TVuPoint points[3] = {{0, 0}, {1, 0}, {1, 1}};
  EXPECT_THROW(r.Canvas.Polygon(points, 3), EListError);
  EXPECT_EQ(r.Canvas.Polyline(points, 2)->Points().size(), 3u);
}
