#include <gtest/gtest.h>
#include "platform/Errors.h"
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/PngImage.h"
#include "preview/core/Vufuncs.h"
#include "tests/preview/VuobjectsTestSupport.h"

TEST(Vuobjects, KindNumbersAndTheFactory) {
  TVuResourceTable table;
  for (int kind = 0; kind < VuObjectKindCount; ++kind) {
    auto object = CreateVuObject(kind, &table);
    ASSERT_TRUE(object) << kind;
    EXPECT_EQ(object->GetObjectID(), kind);
    EXPECT_EQ(object->ObjectID(), kind);
    EXPECT_TRUE(object->GetPrintable());
    EXPECT_EQ(object->GetUserID(), -1);
    EXPECT_EQ(object->ResourceTable(), &table);
    // Paths and clips have no bounding box, level or drag flag.
    const bool visible = kind != vuPathObject && kind != vuRemoveClipObject &&
                         (kind < vuClipRectObject || kind > vuClipEllipseObject);
    EXPECT_EQ(object->IsVisibleObject(), visible) << kind;
  }
  EXPECT_FALSE(CreateVuObject(20, &table));
  EXPECT_FALSE(CreateVuObject(-1, &table));
  auto clip = CreateVuObject(vuClipRoundRectObject, &table);
  EXPECT_TRUE(dynamic_cast<TVuClipRectObject*>(clip.get()));
  auto pie = CreateVuObject(vuPieShape, &table);
  EXPECT_TRUE(dynamic_cast<TVuComplexShape*>(pie.get()));
}

TEST(Vuobjects, CoordinatesInUnitsAndDevicePixels) {
  TVuResourceTable table;
  TVuRectangleShape r(&table);
  r.SetCoords(vuMillimeters, VuRect(10, 20, 60, 40));
  EXPECT_EQ(r.Coords().Left, 10 / 25.4L);
  EXPECT_EQ(r.Coords().Top, 20 / 25.4L);
  EXPECT_EQ(r.Coords().Right, 60 / 25.4L);
  EXPECT_EQ(r.Coords().Bottom, 40 / 25.4L);
  EXPECT_EQ(r.CoordsAsPixels(600, 600), Rect(236, 472, 1417, 945));
  EXPECT_EQ(r.CoordsAsPixels(96, 96), Rect(38, 76, 227, 151));
  EXPECT_NEAR(double(r.GetX2(vuMillimeters)), 60, 1e-12);
  EXPECT_NEAR(double(r.GetCoords(vuCentimeters).Bottom), 4, 1e-12);

  // Halfway values go to the even neighbour: 2.5 -> 2, 3.5 -> 4.
  r.SetCoords(vuInches, VuRect(0.5L, 0.5L, 0.5L, 0.5L));
  EXPECT_EQ(r.CoordsAsPixels(5, 7), Rect(2, 4, 2, 4));

  // Plain coordinate setters do not notify.
  int changes = 0;
  r.OnChange = [&](TPersistent*) { ++changes; };
  r.SetX(vuInches, 1);
  r.SetCoords(vuInches, VuRect(1, 1, 2, 2));
  EXPECT_EQ(changes, 0);

  // An arc recorded in millimetres holds each value divided by 25.4 once.
  TVuArcShape arc(&table);
  arc.SetCoords(vuMillimeters, VuComplexCoords(1, 2, 3, 4, 5, 6, 7, 8));
  const TVuComplexCoords c = arc.GetCoords(vuInches);
  EXPECT_EQ(c.X1, 1 / 25.4L);
  EXPECT_EQ(c.Y2, 4 / 25.4L);
  EXPECT_EQ(c.X3, 5 / 25.4L);
  EXPECT_EQ(c.Y4, 8 / 25.4L);
  arc.OnChange = [&](TPersistent*) { ++changes; };
  arc.SetX3(vuMillimeters, 5);  // the same value
  EXPECT_EQ(changes, 0);
  arc.SetX3(vuInches, 1);
  arc.SetY4(vuInches, 1);
  EXPECT_EQ(changes, 2);
}

TEST(Vuobjects, OffsetsPerClass) {
  TVuResourceTable table;
  int changes = 0;
  auto count = [&](TPersistent*) { ++changes; };

  // Both curve points of an arc move exactly once, with the box.
  TVuArcShape arc(&table);
  arc.SetCoords(vuInches, VuComplexCoords(1, 1, 3, 3, 3, 2, 2, 1));
  arc.OnChange = count;
  arc.OffsetObject(1, 2, vuInches);
  const TVuComplexCoords c = arc.GetCoords(vuInches);
  EXPECT_EQ(c.X1, 2);
  EXPECT_EQ(c.Y1, 3);
  EXPECT_EQ(c.X2, 4);
  EXPECT_EQ(c.Y2, 5);
  EXPECT_EQ(c.X3, 4);
  EXPECT_EQ(c.Y3, 4);
  EXPECT_EQ(c.X4, 3);
  EXPECT_EQ(c.Y4, 3);
  EXPECT_EQ(changes, 1);

  // Rectangle-based shapes move and notify; a round rectangle keeps its corner sizes.
  TVuRoundRectShape round(&table);
  round.SetCoords(vuInches, VuRect(0, 0, 2, 1));
  round.SetX3(vuInches, 0.25L);
  round.SetY3(vuInches, 0.125L);
  round.OnChange = count;
  changes = 0;
  round.OffsetObject(25.4L, 50.8L, vuMillimeters);
  EXPECT_EQ(round.GetCoords(vuInches).Left, 1);
  EXPECT_EQ(round.GetCoords(vuInches).Bottom, 3);
  EXPECT_EQ(round.GetX3(vuInches), 0.25L);
  EXPECT_EQ(round.GetY3(vuInches), 0.125L);
  EXPECT_EQ(changes, 1);

  // A text moves its reference point and its clip rectangle, silently.
  TVuTextObject text(&table);
  text.SetCoords(vuInches, VuRect(1, 1, 0, 0));
  text.SetClipRect(vuInches, VuRect(0.5L, 0.5L, 3, 2));
  text.OnChange = count;
  changes = 0;
  text.OffsetObject(1, 0.5L, vuInches);
  EXPECT_EQ(text.GetX(vuInches), 2);
  EXPECT_EQ(text.GetY(vuInches), 1.5L);
  EXPECT_TRUE(EqualVuRects(text.GetClipRect(vuInches), VuRect(1.5L, 1, 4, 2.5L)));
  EXPECT_EQ(changes, 0);
  // The no-clip value stays the no-clip value.
  TVuTextObject plain(&table);
  plain.OffsetObject(1, 1, vuInches);
  EXPECT_FALSE(plain.IsClipped());

  // Poly points move silently.
  TVuPolygonObject poly(&table);
  poly.SetPoints(vuInches, {{0, 0}, {1, 2}});
  poly.OnChange = count;
  changes = 0;
  poly.OffsetObject(1, 1, vuInches);
  EXPECT_EQ(poly.Points()[1].X, 2);
  EXPECT_EQ(poly.Points()[1].Y, 3);
  EXPECT_EQ(changes, 0);

  // Clip objects follow the objects recorded with them; the corner is a size and stays.
  TVuClipRoundRectObject clip(&table);
  clip.SetClipCoords(vuInches, VuRect(0, 0, 1, 1));
  clip.SetCorner(vuInches, VuPoint(0.25L, 0.25L));
  clip.OffsetObject(2, 3, vuInches);
  EXPECT_TRUE(EqualVuRects(clip.GetClipCoords(vuInches), VuRect(2, 3, 3, 4)));
  EXPECT_TRUE(EqualVuPoints(clip.GetCorner(vuInches), VuPoint(0.25L, 0.25L)));
}

TEST(Vuobjects, SettersNotifyOnlyOnRealChanges) {
  TVuResourceTable table;
  TVuTextBoxObject box(&table);
  int changes = 0;
  box.OnChange = [&](TPersistent*) { ++changes; };
  EXPECT_EQ(box.GetAlignment(), taLeftJustify);
  EXPECT_TRUE(box.GetClipText());
  EXPECT_TRUE(box.GetWordBreak());
  EXPECT_EQ(box.GetVertAlignment(), vuTop);
  box.SetCaption(QStringLiteral("a"));
  box.SetCaption(QStringLiteral("a"));
  box.SetAlignment(taCenter);
  box.SetAlignment(taCenter);
  box.SetPadding(0.1L);
  box.SetPadding(0.1L);
  box.SetWordBreak(false);
  box.SetClipText(false);
  box.SetVertAlignment(vuBottom);
  box.SetVertAlignment(vuBottom);
  EXPECT_EQ(changes, 6);
  box.SetClipRect(vuMillimeters, VuRect(25.4L, 25.4L, 50.8L, 50.8L));
  box.SetClipRect(vuInches, VuRect(1, 1, 2, 2));
  EXPECT_EQ(changes, 7);
  TVuPolylineObject poly(&table);
  poly.OnChange = [&](TPersistent*) { ++changes; };
  poly.SetPoints(vuMillimeters, {{25.4L, 50.8L}});
  EXPECT_EQ(changes, 8);
  EXPECT_EQ(poly.Points()[0].Y, 2);
  EXPECT_NEAR(double(poly.GetPoints(vuMillimeters)[0].X), 25.4, 1e-12);
}

TEST(Vuobjects, SharedPenWorkingCopyAndReplacement) {
  TVuResourceTable table;
  TVuPen* black = AddTestPen(table, clBlack);
  TVuRectangleShape a(&table), b(&table);
  a.SetPen(black);
  b.SetPen(AddTestPen(table, clBlack));  // the same entry, counted twice
  ASSERT_EQ(b.Pen(), black);
  EXPECT_EQ(RefCount(table.Pens(), black), 2);

  // Replacing a pen moves exactly one reference.
  TVuPen* red = AddTestPen(table, clRed);
  EXPECT_EQ(RefCount(table.Pens(), red), 1);
  TVuPen wanted;
  wanted.SetColor(clRed);
  wanted.SetMode(pmCopy);
  a.SetPen(&wanted);
  EXPECT_EQ(a.Pen(), red);
  EXPECT_EQ(RefCount(table.Pens(), red), 2);
  EXPECT_EQ(RefCount(table.Pens(), black), 1);

  // The working copy: its first change releases the old entry, adds the new one and is gone.
  int changes = 0;
  b.OnChange = [&](TPersistent*) { ++changes; };
  TVuPen& copy = b.GetPen();
  EXPECT_EQ(b.PenCopy(), &copy);
  EXPECT_EQ(copy.GetColor(), clBlack);
  copy.SetWidth(8);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b.PenCopy(), nullptr);
  EXPECT_EQ(table.Pens().Count(), 2);  // black's last reference went; red and the new one
  ASSERT_NE(b.Pen(), nullptr);
  EXPECT_EQ(b.Pen()->GetWidth(), 8);
  EXPECT_EQ(b.Pen()->GetColor(), clBlack);
  b.GetPen().SetColor(clRed);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(b.Pen()->GetWidth(), 8);
  EXPECT_EQ(b.Pen()->GetColor(), clRed);
  // A copy that is not changed changes nothing.
  b.GetPen().SetColor(clRed);
  EXPECT_EQ(changes, 2);

  // Without a pen there is nothing to copy.
  TVuLineObject none(&table);
  EXPECT_THROW(none.GetPen(), EConvertAssign);
}

TEST(Vuobjects, BrushAndFontFollowThePattern) {
  TVuResourceTable table;
  TVuEllipseShape e(&table);
  // No brush: the copy has the brush defaults and its first change gives the object one.
  TVuBrush& copy = e.GetBrush();
  EXPECT_EQ(copy.GetColor(), clWhite);
  EXPECT_EQ(copy.GetStyle(), bsClear);
  copy.SetColor(clYellow);
  ASSERT_NE(e.Brush(), nullptr);
  EXPECT_EQ(e.Brush()->GetColor(), clYellow);
  EXPECT_EQ(e.Brush()->GetStyle(), bsSolid);
  EXPECT_EQ(RefCount(table.Brushes(), e.Brush()), 1);

  TVuTextObject t(&table);
  EXPECT_THROW(t.GetFont(), EConvertAssign);
  TVuFont* arial = AddTestFont(table, 12);
  t.SetFont(arial);
  TVuTextObject u(&table);
  u.SetFont(AddTestFont(table, 12));
  EXPECT_EQ(RefCount(table.Fonts(), arial), 2);
  t.GetFont().SetSize(20);
  EXPECT_EQ(t.Font()->GetSize(), 20);
  EXPECT_EQ(t.Font()->GetName(), QStringLiteral("Arial"));
  EXPECT_EQ(RefCount(table.Fonts(), arial), 1);
  EXPECT_EQ(u.Font(), arial);
}

TEST(Vuobjects, ObjectListOwnsAndReports) {
  TVuResourceTable table;
  TVuPen* pen = AddTestPen(table);
  TVuBaseObjectList list;
  int listChanges = 0;
  list.OnChange = [&](TVuBaseObjectList* sender) {
    EXPECT_EQ(sender, &list);
    ++listChanges;
  };
  auto first = std::make_unique<TVuRectangleShape>(&table);
  first->SetPen(pen);
  TVuRectangleShape* raw = first.get();
  list.AddObject(std::move(first));
  EXPECT_EQ(listChanges, 1);
  raw->GetBrush().SetColor(clRed);  // an object's change reaches the list
  EXPECT_EQ(listChanges, 2);
  list.InsertObject(-5, std::make_unique<TVuLineObject>(&table));
  list.InsertObject(99, std::make_unique<TVuTextObject>(&table));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.GetObject(0)->GetObjectID(), vuLineObject);
  EXPECT_EQ(list.GetObject(1), raw);
  EXPECT_EQ(list.GetObject(2)->GetObjectID(), vuTextObject);
  EXPECT_EQ(listChanges, 4);
  EXPECT_THROW(list.GetObject(3), EListError);
  list.Move(2, 0);
  EXPECT_EQ(list.GetObject(0)->GetObjectID(), vuTextObject);
  EXPECT_EQ(list.IndexOf(raw), 2);

  // Deleting objects leaves the resource counts as they are.
  list.Delete(2);
  EXPECT_EQ(RefCount(table.Pens(), pen), 1);
  EXPECT_EQ(list.Count(), 2);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(table.Pens().Count(), 1);
}

TEST(Vuobjects, ArrangeAsksTheOwnerOfTheLevel) {
  TVuResourceTable table;
  TVuRectangleShape r(&table);
  r.Arrange(vuToFront);  // no handler: nothing happens
  TVuArrangeObject asked = vuToBack;
  TPersistent* sender = nullptr;
  r.OnChangeLevel = [&](TPersistent* s, TVuArrangeObject order) {
    sender = s;
    asked = order;
  };
  r.Arrange(vuForward);
  EXPECT_EQ(sender, &r);
  EXPECT_EQ(asked, vuForward);
  EXPECT_TRUE(r.GetDraggable());
}

TEST(Vuobjects, SetGraphicStoresEachKindOfPicture) {
  TVuResourceTable table;
  TBitmap bitmap(30, 20);
  bitmap.SetPixelFormat(pf24bit);
  TVuGraphicObject a(&table), b(&table);
  EXPECT_EQ(a.GetPixelFormat(), pf8bit);
  EXPECT_EQ(a.GetCopyMode(), cmSrcCopy);
  a.SetGraphic(&bitmap);
  ASSERT_TRUE(dynamic_cast<TBitmap*>(a.Graphic()));
  EXPECT_NE(a.Graphic(), &bitmap);  // the table's copy
  EXPECT_EQ(a.GetPixelFormat(), pf24bit);
  // The same bitmap again is stored once while pictures are compared.
  b.SetGraphic(&bitmap);
  EXPECT_EQ(b.Graphic(), a.Graphic());
  EXPECT_EQ(table.Graphics().References().GetValue(0), 2);

  // An icon becomes a bitmap of its size.
  TIcon icon;
  QImage pixels(16, 8, QImage::Format_ARGB32);
  pixels.fill(Qt::red);
  icon.SetImage(pixels);
  TVuGraphicObject i(&table);
  i.SetGraphic(&icon);
  auto* fromIcon = dynamic_cast<TBitmap*>(i.Graphic());
  ASSERT_TRUE(fromIcon);
  EXPECT_EQ(fromIcon->Width(), 16);
  EXPECT_EQ(fromIcon->Height(), 8);

  // Any other kind becomes a JPEG image at quality 90.
  TPngImage png;
  QImage green(10, 10, QImage::Format_RGB32);
  green.fill(Qt::green);
  png.SetImage(green);
  TVuGraphicObject p(&table);
  p.SetGraphic(&png);
  auto* jpeg = dynamic_cast<TJPEGImage*>(p.Graphic());
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->Width(), 10);
  EXPECT_EQ(jpeg->CompressionQuality(), 90);

  // A JPEG image is kept as it is.
  TVuGraphicObject j(&table);
  j.SetGraphic(jpeg);
  EXPECT_TRUE(dynamic_cast<TJPEGImage*>(j.Graphic()));
}

TEST(Vuobjects, DrawingFunctionsBuildTheirOutlines) {
  QImage image(10, 10, QImage::Format_RGB32);
  TCanvas canvas(&image);
  // The ellipse on (0, 0, 100, 50): control offsets round(100 / 4.45) = 22, round(50 / 4.45) = 11.
  canvas.BeginPath();
  VuDrawEllipse(canvas, 0, 0, 100, 50);
  canvas.EndPath();
  const QPainterPath& e = canvas.Path();
  ASSERT_EQ(e.elementCount(), 13);
  EXPECT_EQ(QPointF(e.elementAt(0)), QPointF(50, 0));
  EXPECT_EQ(QPointF(e.elementAt(1)), QPointF(22, 0));
  EXPECT_EQ(QPointF(e.elementAt(2)), QPointF(0, 11));
  EXPECT_EQ(QPointF(e.elementAt(3)), QPointF(0, 25));
  EXPECT_EQ(QPointF(e.elementAt(6)), QPointF(50, 50));
  EXPECT_EQ(QPointF(e.elementAt(9)), QPointF(100, 25));
  EXPECT_EQ(QPointF(e.elementAt(10)), QPointF(100, 11));
  EXPECT_EQ(QPointF(e.elementAt(11)), QPointF(78, 0));
  EXPECT_EQ(QPointF(e.elementAt(12)), QPointF(50, 0));

  // A corner wider than twice the box: the box width is the horizontal radius.
  canvas.BeginPath();
  VuDrawRoundRect(canvas, 0, 0, 10, 40, 30, 8);
  canvas.EndPath();
  const QPainterPath& r = canvas.Path();
  EXPECT_EQ(QPointF(r.elementAt(0)), QPointF(10, 0));  // x1 + rx
  EXPECT_EQ(QPointF(r.elementAt(1)), QPointF(7, 0));   // x1 + round(30 / 4) - 1 (7.5 -> 8)
  EXPECT_EQ(QPointF(r.elementAt(3)), QPointF(0, 4));   // y1 + ry
  canvas.BeginPath();
  VuDrawRoundRect(canvas, 0, 0, 100, 40, 20, 12);
  canvas.EndPath();
  const QPainterPath& r2 = canvas.Path();
  EXPECT_EQ(QPointF(r2.elementAt(0)), QPointF(10, 0));
  EXPECT_EQ(QPointF(r2.elementAt(1)), QPointF(4, 0));  // round(5) - 1
  EXPECT_EQ(QPointF(r2.elementAt(2)), QPointF(0, 2));  // round(3) - 1
  EXPECT_EQ(QPointF(r2.elementAt(4)), QPointF(0, 34));

  // The rectangle repeats its first two corners.
  canvas.BeginPath();
  VuDrawRect(canvas, Rect(1, 2, 5, 7));
  canvas.EndPath();
  const QPainterPath& q = canvas.Path();
  ASSERT_GE(q.elementCount(), 6);
  EXPECT_EQ(QPointF(q.elementAt(4)), QPointF(1, 2));
  EXPECT_EQ(QPointF(q.elementAt(5)), QPointF(5, 2));

  // Unknown poly kinds draw nothing.
  canvas.BeginPath();
  VuDrawPolyShape(14, canvas, {{0, 0}, {5, 5}, {0, 5}}, 2);
  VuDrawPolyShape(20, canvas, {{0, 0}, {5, 5}, {0, 5}}, 2);
  canvas.EndPath();
  EXPECT_TRUE(canvas.Path().isEmpty());
  canvas.BeginPath();
  VuDrawPolyShape(vuPolygonObject, canvas, {{0, 0}, {5, 5}, {0, 5}, {9, 9}}, 2);
  canvas.EndPath();
  EXPECT_EQ(canvas.Path().boundingRect(), QRectF(0, 0, 5, 5));  // only points 0..last
}
