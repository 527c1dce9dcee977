#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QPdfWriter>
#include <QPrinter>
#include "preview/core/Vufuncs.h"
#include "tests/common/TestSupport.h"
#include "tests/preview/VuobjectsTestSupport.h"

namespace {

// Shapes at 96 ppi measured in 1/96-inch pixels, so that device pixels are the numbers given.
template <class T>
std::unique_ptr<T> Shape(TVuResourceTable& table, int l, int t, int r, int b, TVuPen* pen,
                         TVuBrush* brush) {
  auto shape = std::make_unique<T>(&table);
  shape->SetCoords(vuPixels, VuRect(l, t, r, b));
  if (pen) shape->SetPen(pen);
  if (brush) shape->SetBrush(brush);
  return shape;
}

TVuPen* NoPen(TVuResourceTable& table) { return AddTestPen(table, clNone); }

// Counts the draws that get past Draw.
class TCountingRect : public TVuRectangleShape {
 public:
  using TVuRectangleShape::TVuRectangleShape;
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) override {
    ++Draws;
    TVuRectangleShape::DrawToCanvas(canvas, d);
  }
  int Draws = 0;
};

}  // namespace

TEST(VuobjectsDraw, RectangleAndLine) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  TObjectSurface s;
  Shape<TVuRectangleShape>(table, 10, 10, 50, 40, AddTestPen(table), AddTestBrush(table, clRed))
      ->Draw(s.Canvas, d);
  // The outline runs through all four corners; the fill lies inside it.
  EXPECT_EQ(s.Ink(), QRect(10, 10, 41, 31));
  EXPECT_EQ(s.At(50, 40), clBlack);
  EXPECT_EQ(s.At(30, 25), clRed);
  // Without a pen the fill leaves out the right and bottom edges.
  TObjectSurface f;
  Shape<TVuRectangleShape>(table, 10, 10, 50, 40, NoPen(table), AddTestBrush(table, clRed))
      ->Draw(f.Canvas, d);
  EXPECT_EQ(f.Ink(), QRect(10, 10, 40, 30));
  EXPECT_EQ(f.Count(clRed), 40 * 30);

  // A line leaves out its end point.
  TObjectSurface l;
  Shape<TVuLineObject>(table, 10, 20, 60, 20, AddTestPen(table), nullptr)->Draw(l.Canvas, d);
  EXPECT_EQ(l.Ink(), QRect(10, 20, 50, 1));
}

TEST(VuobjectsDraw, EllipseAndRoundRectangleStayInTheirBox) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  TObjectSurface e;
  Shape<TVuEllipseShape>(table, 10, 10, 110, 60, AddTestPen(table), AddTestBrush(table, clRed))
      ->Draw(e.Canvas, d);
  EXPECT_EQ(e.Ink(), QRect(10, 10, 101, 51));
  EXPECT_EQ(e.At(60, 35), clRed);
  EXPECT_EQ(e.At(12, 12), clWhite);
  EXPECT_EQ(e.At(60, 10), clBlack);
  EXPECT_NEAR(e.Count(clRed) + e.Count(clBlack), 3.14159 * 50 * 25, 150);

  TObjectSurface r;
  auto round = Shape<TVuRoundRectShape>(table, 10, 10, 110, 60, AddTestPen(table),
                                        AddTestBrush(table, clRed));
  round->SetX3(vuPixels, 20);
  round->SetY3(vuPixels, 20);
  round->Draw(r.Canvas, d);
  EXPECT_EQ(r.Ink(), QRect(10, 10, 101, 51));
  EXPECT_EQ(r.At(10, 10), clWhite);
  EXPECT_EQ(r.At(11, 11), clWhite);
  EXPECT_EQ(r.At(60, 10), clBlack);
  EXPECT_EQ(r.At(10, 35), clBlack);
  EXPECT_EQ(r.At(60, 35), clRed);
}

TEST(VuobjectsDraw, PieAndChordFillTheirSide) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  auto make = [&](auto* tag) {
    using T = std::remove_pointer_t<decltype(tag)>;
    auto shape = std::make_unique<T>(&table);
    shape->SetCoords(vuPixels, VuComplexCoords(0, 0, 100, 100, 100, 50, 50, 0));
    shape->SetPen(NoPen(table));
    shape->SetBrush(AddTestBrush(table, clRed));
    return shape;
  };
  TObjectSurface p;
  make(static_cast<TVuPieShape*>(nullptr))->Draw(p.Canvas, d);
  EXPECT_EQ(p.At(75, 25), clRed);
  EXPECT_EQ(p.At(25, 25), clWhite);
  EXPECT_EQ(p.At(75, 75), clWhite);
  TObjectSurface c;
  make(static_cast<TVuChordShape*>(nullptr))->Draw(c.Canvas, d);
  EXPECT_EQ(c.At(80, 20), clRed);
  EXPECT_EQ(c.At(65, 35), clWhite);
  TObjectSurface a;
  auto arc = make(static_cast<TVuArcShape*>(nullptr));
  arc->SetPen(AddTestPen(table));
  arc->Draw(a.Canvas, d);
  EXPECT_EQ(a.Count(clRed), 0);  // an arc is not filled
  EXPECT_GT(a.Count(clBlack), 60);
  EXPECT_TRUE(QRect(49, 0, 52, 52).contains(a.Ink()));
}

TEST(VuobjectsDraw, ClipObjectsCutLaterObjectsUntilRemoved) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  auto cover = [&](TColor color) {
    return Shape<TVuRectangleShape>(table, 0, 0, 200, 200, NoPen(table), AddTestBrush(table, color));
  };
  TObjectSurface s;
  TVuClipRectObject clip(&table);
  clip.SetClipCoords(vuPixels, VuRect(20, 20, 60, 60));
  clip.Draw(s.Canvas, d);
  cover(clRed)->Draw(s.Canvas, d);
  EXPECT_EQ(s.Ink(), QRect(20, 20, 40, 40));
  TVuRemoveClipObject(&table).Draw(s.Canvas, d);
  cover(clBlue)->Draw(s.Canvas, d);
  EXPECT_EQ(s.Count(clBlue), 200 * 200);

  TObjectSurface e;
  TVuClipEllipseObject ellipse(&table);
  ellipse.SetClipCoords(vuPixels, VuRect(0, 0, 100, 100));
  ellipse.Draw(e.Canvas, d);
  cover(clRed)->Draw(e.Canvas, d);
  EXPECT_EQ(e.At(50, 50), clRed);
  EXPECT_EQ(e.At(5, 5), clWhite);
  EXPECT_EQ(e.At(150, 50), clWhite);
  EXPECT_NEAR(e.Count(clRed), 7854, 200);

  TObjectSurface r;
  TVuClipRoundRectObject round(&table);
  round.SetClipCoords(vuPixels, VuRect(10, 10, 110, 60));
  round.SetCorner(vuPixels, VuPoint(40, 40));
  round.Draw(r.Canvas, d);
  cover(clRed)->Draw(r.Canvas, d);
  EXPECT_EQ(r.At(11, 11), clWhite);  // the corner is cut off
  EXPECT_EQ(r.At(60, 11), clRed);
  EXPECT_EQ(r.At(60, 35), clRed);
  EXPECT_EQ(r.At(120, 35), clWhite);
  // A later clip replaces an earlier one.
  clip.Draw(r.Canvas, d);
  cover(clBlue)->Draw(r.Canvas, d);
  EXPECT_EQ(r.Count(clBlue), 40 * 40);
}

TEST(VuobjectsDraw, PathObjectsFillAndStroke) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  auto run = [&](TVuPathObjectType use) {
    auto s = std::make_unique<TObjectSurface>();
    TVuPathObject path(&table);
    path.SetPathType(vuBeginPath);
    path.Draw(s->Canvas, d);
    TVuPolylineObject line(&table);
    line.SetPen(AddTestPen(table));
    line.SetBrush(AddTestBrush(table, clRed));
    line.SetPoints(vuPixels, {{10, 10}, {90, 10}, {90, 90}});
    line.Draw(s->Canvas, d);
    path.SetPathType(vuCloseFigure);
    path.Draw(s->Canvas, d);
    path.SetPathType(vuEndPath);
    path.Draw(s->Canvas, d);
    EXPECT_TRUE(s->Ink().isEmpty());  // nothing drawn inside the bracket
    path.SetPathType(use);
    path.Draw(s->Canvas, d);
    return s;
  };
  auto fill = run(vuFillPath);
  EXPECT_EQ(fill->At(70, 30), clRed);
  EXPECT_EQ(fill->At(30, 70), clWhite);
  EXPECT_EQ(fill->Count(clBlack), 0);
  auto stroke = run(vuStrokePath);
  EXPECT_EQ(stroke->At(50, 10), clBlack);
  EXPECT_EQ(stroke->At(50, 50), clBlack);  // the closing diagonal
  EXPECT_EQ(stroke->Count(clRed), 0);
  auto both = run(vuStrokeAndFillPath);
  EXPECT_EQ(both->At(70, 30), clRed);
  EXPECT_EQ(both->At(90, 50), clBlack);
}

TEST(VuobjectsDraw, PolyObjectsUseTheirKind) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  const TVuPolyPoints points = {{10, 10}, {90, 10}, {90, 90}, {10, 90}};
  auto draw = [&](int kind) {
    auto s = std::make_unique<TObjectSurface>();
    auto object = CreateVuObject(kind, &table);
    auto* poly = static_cast<TVuPolyBaseObject*>(object.get());
    poly->SetPen(AddTestPen(table));
    poly->SetBrush(AddTestBrush(table, clRed));
    poly->SetPoints(vuPixels, points);
    s->Canvas.MoveTo(0, 0);
    poly->Draw(s->Canvas, d);
    return s;
  };
  EXPECT_EQ(draw(vuPolygonObject)->At(50, 50), clRed);
  auto line = draw(vuPolylineObject);
  EXPECT_EQ(line->Count(clRed), 0);
  EXPECT_EQ(line->At(10, 50), clWhite);  // not closed
  EXPECT_EQ(line->At(0, 0), clWhite);
  auto lineTo = draw(vuPolylineToObject);
  EXPECT_EQ(lineTo->At(5, 5), clBlack);  // from the pen position
  EXPECT_EQ(lineTo->Canvas.PenPos(), QPoint(10, 90));
  auto bezier = draw(vuPolyBezierObject);
  EXPECT_EQ(bezier->At(10, 10), clBlack);
  EXPECT_EQ(bezier->At(10, 50), clWhite);
  EXPECT_GT(bezier->Count(clBlack), 80);
  auto bezierTo = draw(vuPolyBezierToObject);
  EXPECT_EQ(bezierTo->At(0, 0), clBlack);
  EXPECT_EQ(bezierTo->Canvas.PenPos(), QPoint(90, 90));
  // No points: nothing.
  TObjectSurface empty;
  TVuPolygonObject none(&table);
  none.SetPen(AddTestPen(table));
  none.Draw(empty.Canvas, d);
  EXPECT_TRUE(empty.Ink().isEmpty());
}

TEST(VuobjectsDraw, NonPrintableObjectsAreSkippedOnPrintersOnly) {
  TVuResourceTable table;
  TCountingRect r(&table);
  r.SetCoords(vuInches, VuRect(0.5L, 0.5L, 1, 1));
  r.SetPrintable(false);
  TObjectSurface screen;
  r.Draw(screen.Canvas, DrawDataAt(96));
  EXPECT_EQ(r.Draws, 1);
  TTempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.File(QStringLiteral("skip.pdf")));
  {
    TCanvas canvas(&printer);
    r.Draw(canvas, DrawDataAt(printer.resolution()));
    EXPECT_EQ(r.Draws, 1);
    r.SetPrintable(true);
    r.Draw(canvas, DrawDataAt(printer.resolution()));
    EXPECT_EQ(r.Draws, 2);
  }
}

TEST(VuobjectsDraw, TextTokensAreExpandedWhenDrawnAndKeptInTheCaption) {
  TVuResourceTable table;
  const QString caption = QStringLiteral("Page {PAGE} of  {NUMPAGES}");
  TVuTextObject text(&table);
  text.SetCoords(vuPixels, VuRect(10, 10, 0, 0));
  text.SetFont(AddTestFont(table, 12));
  text.SetBrush(AddTestBrush(table, clYellow));
  text.SetCaption(caption);
  TObjectSurface drawn(300, 60);
  text.Draw(drawn.Canvas, DrawDataAt(96, 2, 3));
  EXPECT_EQ(text.GetCaption(), caption);
  // The same as the expanded text written directly with the same font and brush.
  TObjectSurface direct(300, 60);
  direct.Canvas.Brush().Color = clYellow;
  direct.Canvas.Font().Name = QStringLiteral("Arial");
  direct.Canvas.Font().Color = clBlack;
  direct.Canvas.Font().PixelsPerInch = 96;
  direct.Canvas.Font().SetSize(12);
  direct.Canvas.TextOut(10, 10, QStringLiteral("Page 2 of  3"));
  direct.Canvas.Release();
  drawn.Canvas.Release();
  EXPECT_EQ(drawn.Image, direct.Image);
  EXPECT_EQ(drawn.Ink().topLeft(), QPoint(10, 10));

  // A clip rectangle cuts the text; the none value does not.
  TObjectSurface clipped(300, 60);
  text.SetClipRect(vuPixels, VuRect(10, 10, 30, 20));
  text.Draw(clipped.Canvas, DrawDataAt(96, 2, 3));
  EXPECT_EQ(clipped.Ink(), QRect(10, 10, 20, 10));
}

TEST(VuobjectsDraw, TextBoxLayout) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(96);
  auto box = std::make_unique<TVuTextBoxObject>(&table);
  box->SetCoords(vuPixels, VuRect(20, 60, 120, 100));
  box->SetFont(AddTestFont(table, 10));
  box->SetPen(NoPen(table));
  box->SetBrush(AddTestBrush(table, clNone));
  box->SetCaption(QStringLiteral("alpha beta gamma delta epsilon"));
  box->SetContentHeight(1);  // taller than the box
  box->SetVertAlignment(vuBottom);
  EXPECT_EQ(box->TextRect(d).Top, 100 - 96);
  TObjectSurface above;
  box->Draw(above.Canvas, d);
  EXPECT_LT(above.Ink().top(), 60);  // starts above the box's top
  EXPECT_LE(above.Ink().bottom(), 99);

  box->SetVertAlignment(vuMiddle);
  box->SetContentHeight(20 / 96.0L);
  EXPECT_EQ(box->TextRect(d).Top, 60 + (40 - 20) / 2);
  box->SetVertAlignment(vuTop);
  box->SetPadding(4 / 96.0L);
  EXPECT_EQ(box->TextRect(d), Rect(24, 64, 116, 96));

  // Word break on: several lines inside the box; off: one line cut at the right edge.
  box->SetPadding(0);
  box->SetCoords(vuPixels, VuRect(20, 20, 120, 180));
  TObjectSurface wrapped;
  box->Draw(wrapped.Canvas, d);
  EXPECT_GT(wrapped.Ink().height(), 30);
  EXPECT_LE(wrapped.Ink().right(), 119);
  box->SetWordBreak(false);
  TObjectSurface cut;
  box->Draw(cut.Canvas, d);
  EXPECT_LT(cut.Ink().height(), 20);
  EXPECT_GE(cut.Ink().right(), 110);
  EXPECT_LE(cut.Ink().right(), 119);

  // Right alignment and the outlined box.
  box->SetWordBreak(true);
  box->SetCaption(QStringLiteral("x"));
  box->SetAlignment(taRightJustify);
  box->SetPen(AddTestPen(table, clBlue));
  TObjectSurface right;
  box->Draw(right.Canvas, d);
  EXPECT_EQ(right.At(20, 100), clBlue);
  EXPECT_EQ(right.At(120, 180), clBlue);
  right.Canvas.Release();
  QRect text;
  for (int y = 21; y < 179; ++y)
    for (int x = 21; x < 119; ++x)
      if (qGray(right.Image.pixel(x, y)) < 160) text |= QRect(x, y, 1, 1);
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GT(text.left(), 105);
  EXPECT_LT(text.top(), 35);
}

TEST(VuobjectsDraw, GraphicsAreStretchedIntoTheirRectangle) {
  TVuResourceTable table;
  TBitmap bitmap(2, 2);
  bitmap.Canvas().SetPixel(0, 0, clBlack);
  bitmap.Canvas().SetPixel(1, 1, clBlack);
  TVuGraphicObject g(&table);
  g.SetCoords(vuPixels, VuRect(10, 10, 50, 50));
  g.SetGraphic(&bitmap);
  TObjectSurface s;
  g.Draw(s.Canvas, DrawDataAt(96));
  EXPECT_EQ(s.Ink(), QRect(10, 10, 40, 40));
  EXPECT_EQ(s.At(20, 20), clBlack);
  EXPECT_EQ(s.At(40, 20), clWhite);
  EXPECT_EQ(s.At(40, 40), clBlack);
  // The copy mode goes to the canvas.
  g.SetCopyMode(cmNotSrcCopy);
  TObjectSurface n;
  g.Draw(n.Canvas, DrawDataAt(96));
  EXPECT_EQ(n.At(20, 20), clWhite);
  EXPECT_EQ(n.At(40, 20), clBlack);
  // Without a picture nothing is drawn.
  TVuGraphicObject none(&table);
  none.SetCoords(vuPixels, VuRect(10, 10, 50, 50));
  TObjectSurface e;
  none.Draw(e.Canvas, DrawDataAt(96));
  EXPECT_TRUE(e.Ink().isEmpty());
}

TEST(VuobjectsDraw, BoundingRectsAt600Ppi) {
  TVuResourceTable table;
  const TVuObjectDrawData d = DrawDataAt(600);
  auto same = [](const TVuRectPoints& a, const TRect& r) { return VuRectPointsToRect(a) == r; };

  auto rect = std::make_unique<TVuRectangleShape>(&table);
  rect->SetCoords(vuMillimeters, VuRect(10, 20, 60, 40));
  rect->SetPen(AddTestPen(table));
  EXPECT_TRUE(same(rect->BoundingRect(d), Rect(236, 472, 1417, 945)));

  TVuLineObject line(&table);
  line.SetCoords(vuMillimeters, VuRect(60, 40, 10, 20));  // drawn backwards
  EXPECT_TRUE(same(line.BoundingRect(d), Rect(1417 - 3, 945 - 3, 236 + 3, 472 + 3)));

  TVuEllipseShape ellipse(&table);
  ellipse.SetCoords(vuInches, VuRect(1, 1, 2, 1.5L));
  const TRect e = VuRectPointsToRect(ellipse.BoundingRect(d));
  EXPECT_NEAR(e.Left, 600, 1);
  EXPECT_NEAR(e.Top, 600, 1);
  EXPECT_NEAR(e.Right, 1200, 1);
  EXPECT_NEAR(e.Bottom, 900, 1);

  TBitmap bitmap(4, 4);
  TVuGraphicObject g(&table);
  g.SetCoords(vuInches, VuRect(1, 1, 0.5L, 2));
  g.SetGraphic(&bitmap);
  EXPECT_TRUE(same(g.BoundingRect(d), Rect(300, 600, 600, 1200)));

  // A text with an opaque brush covers its cell at the font's size at 600 ppi.
  TVuTextObject text(&table);
  text.SetCoords(vuInches, VuRect(1, 0.5L, 0, 0));
  text.SetFont(AddTestFont(table, 12));
  text.SetBrush(AddTestBrush(table, clWhite));
  text.SetCaption(QStringLiteral("Page {PAGE}"));
  TFont font;
  font.Name = QStringLiteral("Arial");
  font.PixelsPerInch = 600;
  font.SetSize(12);
  EXPECT_EQ(font.Height, -100);
  QFontMetrics fm(font.ToQFont());
  const TRect box = VuRectPointsToRect(text.BoundingRect(d));
  EXPECT_EQ(box.Left, 600);
  EXPECT_EQ(box.Top, 300);
  EXPECT_EQ(box.Right - box.Left, fm.horizontalAdvance(QStringLiteral("Page {PAGE}")));
  EXPECT_EQ(box.Bottom - box.Top, fm.height());
  // With a clear brush only the glyphs count.
  TVuTextObject ink(&table);
  ink.SetCoords(vuInches, VuRect(1, 0.5L, 0, 0));
  ink.SetFont(AddTestFont(table, 12));
  ink.SetBrush(AddTestBrush(table, clNone));
  ink.SetCaption(QStringLiteral("Page {PAGE}"));
  const TRect glyphs = VuRectPointsToRect(ink.BoundingRect(d));
  EXPECT_GT(glyphs.Top, box.Top);
  EXPECT_LE(glyphs.Bottom, box.Bottom);
  EXPECT_GE(glyphs.Left, box.Left);
  EXPECT_LE(glyphs.Right, box.Right + 2);
}

TEST(VuobjectsDraw, SameInchPositionsOnABitmapAndOnAPdfPrinter) {
  if (!HaveProgram(QStringLiteral("pdftoppm"))) GTEST_SKIP() << "pdftoppm is not installed";
  TVuResourceTable table;
  std::vector<std::unique_ptr<TVuBaseObject>> objects;
  auto rect = std::make_unique<TVuRectangleShape>(&table);
  rect->SetCoords(vuInches, VuRect(0.5L, 0.5L, 1.5L, 1));
  rect->SetPen(AddTestPen(table, clNone));
  rect->SetBrush(AddTestBrush(table, clBlack));
  objects.push_back(std::move(rect));
  auto ellipse = std::make_unique<TVuEllipseShape>(&table);
  ellipse->SetCoords(vuInches, VuRect(2, 0.5L, 3, 1.25L));
  ellipse->SetPen(AddTestPen(table, clBlack));
  ellipse->SetBrush(AddTestBrush(table, clBlack));
  objects.push_back(std::move(ellipse));
  auto line = std::make_unique<TVuLineObject>(&table);
  line->SetCoords(vuInches, VuRect(0.5L, 1.75L, 3, 1.75L));
  line->SetPen(AddTestPen(table, clBlack, 8));  // 1/36 inch
  objects.push_back(std::move(line));
  TBitmap picture(2, 2);
  picture.Canvas().SetPixel(0, 0, clBlack);
  auto graphic = std::make_unique<TVuGraphicObject>(&table);
  graphic->SetCoords(vuInches, VuRect(0.5L, 2, 1.5L, 2.5L));
  graphic->SetGraphic(&picture);
  objects.push_back(std::move(graphic));
  // The regions each object covers, in inches.
  const QRectF areas[] = {{0.25, 0.25, 1.5, 1.0}, {1.9, 0.25, 1.3, 1.2}, {0.25, 1.6, 3, 0.3},
                          {0.25, 1.9, 1.5, 0.7}};

  auto inkIn = [](const QImage& image, const QRectF& inches, int ppi) {
    const QRect area(int(inches.x() * ppi), int(inches.y() * ppi), int(inches.width() * ppi),
                     int(inches.height() * ppi));
    QRect r;
    for (int y = area.top(); y <= area.bottom() && y < image.height(); ++y)
      for (int x = area.left(); x <= area.right() && x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) r |= QRect(x, y, 1, 1);
    return r;
  };

  QImage bitmap(3.5 * 600, 3 * 600, QImage::Format_RGB32);
  bitmap.fill(Qt::white);
  {
    TCanvas canvas(&bitmap);
    for (auto& o : objects) o->Draw(canvas, DrawDataAt(600));
  }

  // A PDF writer, and a printer (whose pictures go through the printer bitmap transfer).
  TTempDir dir;
  const QString pdf = dir.File(QStringLiteral("page.pdf"));
  const QString printed = dir.File(QStringLiteral("printer.pdf"));
  {
    QPdfWriter writer(pdf);
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    TCanvas canvas(&writer);
    for (auto& o : objects) o->Draw(canvas, DrawDataAt(1200));
  }
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    ASSERT_EQ(printer.resolution(), 1200);
    TCanvas canvas(&printer);
    ASSERT_TRUE(IsPrinterCanvas(canvas));
    for (auto& o : objects) o->Draw(canvas, DrawDataAt(1200));
  }
  for (const QString& file : {pdf, printed})
  for (int ppi : {600, 1200}) {
    const QString stem = file + QString::number(ppi);
    ASSERT_EQ(RunProgram(QStringLiteral("pdftoppm"),
                         {QStringLiteral("-r"), QString::number(ppi), QStringLiteral("-gray"),
                          QStringLiteral("-png"), QStringLiteral("-singlefile"), QStringLiteral("-W"),
                          QString::number(int(3.5 * ppi)), QStringLiteral("-H"),
                          QString::number(3 * ppi), file, stem}),
              0);
    const QImage page(stem + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    for (const QRectF& area : areas) {
      const QRect onBitmap = inkIn(bitmap, area, 600);
      const QRect onPrinter = inkIn(page, area, ppi);
      ASSERT_FALSE(onBitmap.isEmpty());
      ASSERT_FALSE(onPrinter.isEmpty());
      const double k = ppi / 600.0;
      // Edges in inches agree within one pixel of the resolution compared.
      EXPECT_NEAR(onPrinter.left(), onBitmap.left() * k, 1.0 + k) << file.toStdString() << " " << ppi;
      EXPECT_NEAR(onPrinter.top(), onBitmap.top() * k, 1.0 + k) << file.toStdString() << " " << ppi;
      EXPECT_NEAR(onPrinter.right() + 1, (onBitmap.right() + 1) * k, 1.0 + k) << file.toStdString() << " " << ppi;
      EXPECT_NEAR(onPrinter.bottom() + 1, (onBitmap.bottom() + 1) * k, 1.0 + k) << file.toStdString() << " " << ppi;
    }
  }
}

TEST(VuobjectsDraw, LinesLeaveOutTheirEndPointInEveryDirection) {
  TVuResourceTable table;
  TVuPen* pen = AddTestPen(table);
  // From 2 inches back to 1 inch, leftwards and upwards.
  for (int ppi : {96, 300, 600}) {
    for (bool vertical : {false, true}) {
      SCOPED_TRACE(testing::Message() << ppi << (vertical ? " up" : " left"));
      TVuLineObject line(&table);
      line.SetPen(pen);
      line.SetCoords(vuInches, vertical ? VuRect(0.1L, 2, 0.1L, 1) : VuRect(2, 0.1L, 1, 0.1L));
      const int along = 2 * ppi + 20, across = ppi / 10 + 20;
      TObjectSurface s(vertical ? across : along, vertical ? along : across);
      line.Draw(s.Canvas, DrawDataAt(ppi));
      const int at = VuRound(0.1L * ppi);
      EXPECT_EQ(s.Ink(), vertical ? QRect(at, ppi + 1, 1, ppi) : QRect(ppi + 1, at, ppi, 1));
    }
  }
}

TEST(VuobjectsDraw, WidePenRectanglesHaveNoSpikesAtTheRepeatedCorner) {
  TVuResourceTable table;
  TVuPen* pen = AddTestPen(table, clBlack, 4);  // one point
  struct TCase { int Ppi, First, Last; };
  for (const TCase& c : {TCase{300, 298, 601}, TCase{600, 596, 1203}}) {
    SCOPED_TRACE(c.Ppi);
    TVuRectangleShape rect(&table);
    rect.SetPen(pen);
    rect.SetBrush(AddTestBrush(table, clRed));
    rect.SetCoords(vuInches, VuRect(1, 1, 2, 2));
    TObjectSurface s(2 * c.Ppi + 40, 2 * c.Ppi + 40);
    rect.Draw(s.Canvas, DrawDataAt(c.Ppi));
    EXPECT_EQ(s.Ink(), QRect(QPoint(c.First, c.First), QPoint(c.Last, c.Last)));
  }
}

TEST(VuobjectsDraw, GraphicsMirrorIntoReversedRectanglesAndDrawInsidePaths) {
  TVuResourceTable table;
  TBitmap bitmap(4, 4);
  bitmap.Canvas().Brush().Color = clBlue;
  bitmap.Canvas().FillRect(QRect(0, 0, 4, 4));
  bitmap.Canvas().SetPixel(0, 0, clRed);
  const TVuObjectDrawData d = DrawDataAt(96);
  // The top-left source pixel lands in the corner the rectangle starts from.
  struct TCase { TVuRect Coords; QPoint Red; };
  const TCase cases[] = {{VuRect(2, 1, 1, 2), {190, 98}},
                         {VuRect(1, 2, 2, 1), {98, 190}},
                         {VuRect(2, 2, 1, 1), {190, 190}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Red.x() * 1000 + c.Red.y());
    TVuGraphicObject g(&table);
    g.SetCoords(vuInches, c.Coords);
    g.SetGraphic(&bitmap);
    TObjectSurface s;
    g.Draw(s.Canvas, d);
    EXPECT_EQ(s.Ink(), QRect(96, 96, 96, 96));
    EXPECT_EQ(s.At(c.Red.x(), c.Red.y()), clRed);
    EXPECT_EQ(s.At(98, 98), clBlue);
  }
  // Recorded between a begin-path and an end-path object, the picture is still drawn.
  TVuPathObject begin(&table), end(&table);
  begin.SetPathType(vuBeginPath);
  end.SetPathType(vuEndPath);
  TVuGraphicObject g(&table);
  g.SetCoords(vuInches, VuRect(1, 1, 2, 2));
  g.SetGraphic(&bitmap);
  TObjectSurface s;
  begin.Draw(s.Canvas, d);
  g.Draw(s.Canvas, d);
  end.Draw(s.Canvas, d);
  EXPECT_EQ(s.Ink(), QRect(96, 96, 96, 96));
  EXPECT_EQ(s.At(98, 98), clRed);
}

// On a screen a picture shown smaller than its size is averaged down: one-pixel bars become
// grey instead of dropping out or merging into black. At its size it stays exact.
TEST(VuobjectsDraw, PicturesShownSmallerOnAScreenAreAveraged) {
  TVuResourceTable table;
  TBitmap bars(100, 10);
  for (int x = 0; x < 100; x += 2)
    for (int y = 0; y < 10; ++y) bars.Canvas().SetPixel(x, y, clBlack);
  const struct {
    int Width, Height;
    bool Grey;  // every pixel a mid grey, none black or white
  } cases[] = {{50, 5, true}, {100, 10, false}};
  for (const auto& c : cases) {
    TVuGraphicObject g(&table);
    g.SetCoords(vuPixels, VuRect(10, 10, 10 + c.Width, 10 + c.Height));
    g.SetGraphic(&bars);
    TObjectSurface s;
    g.Draw(s.Canvas, DrawDataAt(96));
    int grey = 0, blackOrWhite = 0;
    for (int y = 10; y < 10 + c.Height; ++y)
      for (int x = 10; x < 10 + c.Width; ++x) {
        const int level = qGray(s.Image.pixel(x, y));
        if (level > 64 && level < 192) ++grey;
        if (level == 0 || level == 255) ++blackOrWhite;
      }
    EXPECT_EQ(grey, c.Grey ? c.Width * c.Height : 0) << c.Width;
    EXPECT_EQ(blackOrWhite, c.Grey ? 0 : c.Width * c.Height) << c.Width;
  }
}
