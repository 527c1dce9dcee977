#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <string>
#include <vector>
#include "platform/Cursors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/core/Vufuncs.h"
#include "preview/view/Vupreview.h"
#include "tests/common/TestSupport.h"
#include "tests/preview/MessageLog.h"

namespace {


bool IsWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }
bool IsBlack(QRgb c) { return (c & 0xFFFFFF) == 0; }
bool IsRed(QRgb c) { return qRed(c) == 255 && qGreen(c) == 0 && qBlue(c) == 0; }

}  // namespace

// A preview 1000 by 800 without a border, so that its client area is known, showing an A4
// page at zoom 100.
class PreviewInteraction : public testing::Test {
 protected:
  PreviewInteraction() {
    FPreview.SetBorderStyle(bsNone);
    FPreview.resize(1000, 800);
    FPreview.show();
    FPreview.SetZoom(100);
    QCoreApplication::processEvents();
  }
  TVuPaperImage& Image() { return FPreview.PaperImage(); }
  TRect Page() { return Image().PageRect(); }
  // Paper-image pixels of a point on the page given in inches (zoom 100: 96 pixels an inch).
  QPoint At(Extended x, Extended y) { return {Page().Left + VuRound(96 * x), Page().Top + VuRound(96 * y)}; }
  QImage Grab() { return Image().grab().toImage().convertToFormat(QImage::Format_RGB32); }
  int BarWidth() { return FPreview.verticalScrollBar()->sizeHint().width(); }
  int BarHeight() { return FPreview.horizontalScrollBar()->sizeHint().height(); }
  // The relays as the paper image runs them for a real press, move or release.
  void Move(QPoint p) { Image().DoMouseMove({}, p.x(), p.y()); }
  void Press(QPoint p) { Image().DoMouseDown(Qt::LeftButton, {}, p.x(), p.y()); }
  void Release(QPoint p) { Image().DoMouseUp(Qt::LeftButton, {}, p.x(), p.y()); }
  void Wheel(int delta) {
    QWheelEvent wheel(QPointF(100, 100), QPointF(FPreview.viewport()->mapToGlobal(QPoint(100, 100))), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(FPreview.viewport(), &wheel);
  }

  TMemoryPrinterInstall FPrinters{{MemoryA4Printer("A")}, "A"};
  TVuPreview FPreview;
};

TEST_F(PreviewInteraction, KeysAndWheelMoveTheHandledBar) {
  struct Case {
    const char* What;
    Extended Width, Height;  // page inches
    int Zoom;
    bool Horz, Vert;  // bars expected to be shown
  };
  const Case cases[] = {
      {"both bars", 20, 20, 100, true, true},
      {"vertical only", 8.2677L, 11.6929L, 100, false, true},
      {"horizontal only", 20, 2, 100, true, false},
      {"neither", 8.2677L, 11.6929L, 20, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    FPreview.SetCustomPageSize(c.Width, c.Height, vuInches);
    FPreview.SetZoom(c.Zoom);
    FPreview.UpdateScrollBars();
    QScrollBar* horz = FPreview.horizontalScrollBar();
    QScrollBar* vert = FPreview.verticalScrollBar();
    ASSERT_EQ(horz->maximum() > 0, c.Horz);
    ASSERT_EQ(vert->maximum() > 0, c.Vert);
    QScrollBar* handled = c.Vert ? vert : c.Horz ? horz : nullptr;
    QScrollBar* other = handled == vert ? horz : vert;
    FPreview.SetHorzPos(0);
    FPreview.SetVertPos(0);
    auto position = [&] { return handled ? handled->value() : horz->value() + vert->value(); };

    QTest::keyClick(&FPreview, Qt::Key_PageDown);
    EXPECT_EQ(position(), handled ? 80 : 0);
    EXPECT_EQ(other->value(), 0);
    Wheel(-120);  // towards the user: one line step down
    EXPECT_EQ(position(), handled ? 88 : 0);
    Wheel(240);  // away from the user, two notches: still one line step
    EXPECT_EQ(position(), handled ? 80 : 0);
    QTest::keyClick(&FPreview, Qt::Key_PageUp);
    EXPECT_EQ(position(), 0);
    QTest::keyClick(&FPreview, Qt::Key_End);
    EXPECT_EQ(horz->value(), handled ? horz->maximum() : 0);
    EXPECT_EQ(vert->value(), handled ? vert->maximum() : 0);
    QTest::keyClick(&FPreview, Qt::Key_Home);
    EXPECT_EQ(horz->value() + vert->value(), 0);
    if (handled) {
      QTest::keyClick(&FPreview, Qt::Key_Down);
      QTest::keyClick(&FPreview, Qt::Key_Right);
      EXPECT_EQ(vert->value(), c.Vert ? 8 : 0);
      EXPECT_EQ(horz->value(), c.Horz ? 8 : 0);
    }
  }
}

TEST_F(PreviewInteraction, ScrollKeysStopHereOtherKeysGoOnWheelHandlersRunAfterTheStep) {
  QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  QCoreApplication::sendEvent(&FPreview, &pageDown);
  EXPECT_TRUE(pageDown.isAccepted());
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(&FPreview, &escape);
  EXPECT_FALSE(escape.isAccepted());  // the dialog still closes on Escape

  std::vector<std::string> log;
  int positionInHandler = -1;
  FPreview.OnMouseWheel = [&](QObject*, Qt::KeyboardModifiers, int delta, QPoint, bool&) {
    log.push_back("wheel " + std::to_string(delta));
    positionInHandler = FPreview.VertPos();
  };
  FPreview.OnMouseWheelDown = [&](QObject*, Qt::KeyboardModifiers, QPoint, bool& handled) {
    log.push_back("down");
    handled = true;
  };
  FPreview.OnMouseWheelUp = [&](QObject*, Qt::KeyboardModifiers, QPoint, bool&) { log.push_back("up"); };
  const int before = FPreview.VertPos();
  Wheel(-120);
  EXPECT_EQ(positionInHandler, before + 8);
  EXPECT_EQ(log, (std::vector<std::string>{"wheel -120", "down"}));
}

TEST_F(PreviewInteraction, MouseRelaysInOrderAndTheLaterOfTwoObjects) {
  TVuCanvas& c = FPreview.Canvas();
  c.Rectangle(1, 1, 3, 3, vuInches);
  TVuBaseObject* later = c.Rectangle(2, 2, 4, 4, vuInches);
  std::vector<std::string> log;
  TVuVisibleObject* reported = nullptr;
  FPreview.OnMouseDown = [&](QObject* s, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    log.push_back(s == &FPreview ? "down" : "down from elsewhere");
  };
  FPreview.OnPageMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&) {
    log.push_back("page down");
  };
  FPreview.OnObjectMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue& x, TVuValue&,
                                   TVuVisibleObject* object) {
    log.push_back("object down at " + std::to_string(int(x.Inches() * 10)));
    reported = object;
  };
  FPreview.OnMouseMove = [&](QObject*, Qt::KeyboardModifiers, int, int) { log.push_back("move"); };
  FPreview.OnPageMouseMove = [&](QObject*, Qt::KeyboardModifiers, TVuValue&, TVuValue&) { log.push_back("page move"); };
  FPreview.OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    log.push_back(FPreview.Panning() ? "up while panning" : "up");
  };
  FPreview.OnPageMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&) {
    log.push_back("page up");
  };

  // Through the platform's own events: the press takes the keyboard focus.
  FPreview.clearFocus();
  QTest::mousePress(&Image(), Qt::LeftButton, {}, At(2.5L, 2.5L));
  EXPECT_EQ(FPreview.window()->focusWidget(), &FPreview);
  EXPECT_EQ(reported, later);
  EXPECT_EQ(log, (std::vector<std::string>{"down", "page down", "object down at 25"}));

  // Panning: the page follows the hand until the release.
  log.clear();
  QCursor::setPos(FPreview.viewport()->mapToGlobal(QPoint(500, 400)));
  FPreview.SetHorzPos(0);
  FPreview.SetVertPos(100);
  FPreview.StartPanning();
  EXPECT_EQ(Screen::Cursor(), crHandPoint);
  const QPoint grip = Image().mapFrom(FPreview.viewport(), QPoint(500, 400));
  Move(grip + QPoint(20, 30));  // the mouse goes right and down by (20, 30): the view back
  EXPECT_EQ(FPreview.VertPos(), 70);
  EXPECT_EQ(FPreview.HorzPos(), 0);  // the page fits across: nothing to scroll
  Release(grip);
  EXPECT_FALSE(FPreview.Panning());
  EXPECT_EQ(Screen::Cursor(), crDefault);
  EXPECT_EQ(log, (std::vector<std::string>{"move", "page move", "up", "page up"}));
  // Leaving the paper image stops panning too.
  FPreview.StartPanning();
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&Image(), &leave);
  EXPECT_FALSE(FPreview.Panning());
  EXPECT_EQ(Screen::Cursor(), crDefault);
}

TEST_F(PreviewInteraction, MovingAnObjectWithTheMouse) {
  TMessageLog linked(FPreview.window());
  FPreview.AddAssociatedComponent(&linked);
  auto* rect = static_cast<TVuRectangleShape*>(FPreview.Canvas().Rectangle(1, 1, 2, 2, vuInches));
  auto* fixed = static_cast<TVuRectangleShape*>(FPreview.Canvas().Rectangle(5, 5, 6, 6, vuInches));
  fixed->SetDraggable(false);
  FPreview.OnObjectMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&,
                                   TVuVisibleObject* object) { FPreview.DragVuObjectStart(object); };
  QCoreApplication::processEvents();
  const QImage before = Grab();
  const int contentChanges = linked.Count(VuMsgPageContentChanged);

  // A fixed object: nothing starts, nothing is selected, nothing moves.
  Move(At(5.5L, 5.5L));
  Press(At(5.5L, 5.5L));
  EXPECT_FALSE(FPreview.DraggingVuObject());
  EXPECT_EQ(FPreview.SelectedVuObject(), nullptr);
  Move(At(6.5L, 6.5L));
  Release(At(6.5L, 6.5L));
  EXPECT_EQ(fixed->GetX(vuInches), 5);
  EXPECT_EQ(linked.Count(VuMsgPageContentChanged), contentChanges);

  // 96 pixels right at zoom 100: one inch.
  Move(At(1.5L, 1.5L));
  Press(At(1.5L, 1.5L));
  ASSERT_TRUE(FPreview.DraggingVuObject());
  EXPECT_EQ(FPreview.SelectedVuObject(), rect);
  Move(At(2.5L, 1.5L));
  // The outline follows the mouse inverted and dotted; only its pixels are repainted.
  const TRect start = FPreview.VuObjectRect(rect);
  const QPoint corner(start.Left + 96 + FPreview.HorzPos(), start.Top + FPreview.VertPos());
  ASSERT_TRUE(Image().HasObjectOutline());
  EXPECT_EQ(Image().ObjectOutline().Left, corner.x());
  EXPECT_EQ(Image().ObjectOutline().Top, corner.y());
  const qint64 perimeter = 2 * qint64(start.Right - start.Left) + 2 * (start.Bottom - start.Top);
  EXPECT_LE(Image().OutlineRepaintArea(), perimeter);
  QImage during = Grab();
  EXPECT_TRUE(IsBlack(during.pixel(corner)));
  EXPECT_TRUE(IsWhite(during.pixel(corner + QPoint(1, 0))));
  EXPECT_TRUE(IsBlack(during.pixel(corner + QPoint(2, 0))));
  EXPECT_EQ(rect->GetX(vuInches), 1);  // nothing moves before the release
  Release(At(2.5L, 1.5L));

  EXPECT_FALSE(FPreview.DraggingVuObject());
  EXPECT_FALSE(Image().HasObjectOutline());
  EXPECT_NEAR(double(rect->GetX(vuInches)), 2, 1e-12);
  EXPECT_NEAR(double(rect->GetY(vuInches)), 1, 1e-12);
  EXPECT_NEAR(double(rect->GetX2(vuInches)), 3, 1e-12);
  EXPECT_EQ(linked.Count(VuMsgPageContentChanged), contentChanges + 1);
  // The hit test sees the new place, and the screen shows it.
  EXPECT_EQ(FPreview.VuObjectAtPos(2.9L, 1.9L, vuInches), rect);
  EXPECT_EQ(FPreview.VuObjectAtPos(1.2L, 1.2L, vuInches), nullptr);
  FPreview.SelectVuObject(nullptr);
  QCoreApplication::processEvents();
  const QImage after = Grab();
  const QPoint oldEdge = At(1, 1.75L), newEdge = At(2, 1.75L);
  // The hairline at 600 ppi shows grey on screen.
  EXPECT_FALSE(IsWhite(before.pixel(oldEdge)));
  EXPECT_TRUE(IsWhite(after.pixel(oldEdge)));
  EXPECT_FALSE(IsWhite(after.pixel(newEdge)));
}

TEST_F(PreviewInteraction, SelectionFrameAndDeletingTheSelectedObject) {
  TVuVisibleObject* rect = static_cast<TVuVisibleObject*>(FPreview.Canvas().Rectangle(1, 1, 2, 2, vuInches));
  QCoreApplication::processEvents();
  FPreview.SelectVuObject(rect);
  QCoreApplication::processEvents();
  const TRect r = FPreview.VuObjectRect(rect);
  // The box at 96 ppi moved into client pixels with its left and top edges one pixel out.
  EXPECT_EQ(r.Left, Page().Left - FPreview.HorzPos() + 96 - 1);
  EXPECT_EQ(r.Top, Page().Top - FPreview.VertPos() + 96 - 1);
  // The frame: 10 pixels out at zoom 100, one more on the right and at the bottom.
  const QImage shot = Grab();
  const int left = r.Left - 10 + FPreview.HorzPos(), right = r.Right + 11 + FPreview.HorzPos();
  const int middle = (r.Top + r.Bottom) / 2 + FPreview.VertPos();
  EXPECT_TRUE(IsRed(shot.pixel(left, middle)));
  EXPECT_TRUE(IsRed(shot.pixel(right, middle)));
  EXPECT_TRUE(IsWhite(shot.pixel(left + 1, middle)));
  EXPECT_TRUE(IsWhite(shot.pixel(right + 1, middle)));

  // Deleted by the page behind the preview's back: the selection goes with it.
  FPreview.GetCurrentPage()->DeleteVuObject(rect);
  EXPECT_EQ(FPreview.SelectedVuObject(), nullptr);
  rect = static_cast<TVuVisibleObject*>(FPreview.Canvas().Rectangle(1, 1, 2, 2, vuInches));
  FPreview.SelectVuObject(rect);
  FPreview.DeleteSelectedVuObject();
  EXPECT_EQ(FPreview.SelectedVuObject(), nullptr);
  EXPECT_EQ(FPreview.GetCurrentPage()->Count(), 0);
  QCoreApplication::processEvents();
  EXPECT_FALSE(IsRed(Grab().pixel(left, middle)));
  // A change of page and Clear drop the selection.
  rect = static_cast<TVuVisibleObject*>(FPreview.Canvas().Rectangle(1, 1, 2, 2, vuInches));
  FPreview.SelectVuObject(rect);
  FPreview.NewPage();
  EXPECT_EQ(FPreview.SelectedVuObject(), nullptr);
  FPreview.SelectVuObject(static_cast<TVuVisibleObject*>(FPreview.Canvas().Rectangle(1, 1, 2, 2, vuInches)));
  FPreview.Clear();
  EXPECT_EQ(FPreview.SelectedVuObject(), nullptr);
}

TEST_F(PreviewInteraction, RubberBandRecordsTheDragShape) {
  struct Case {
    TVuDragDrawing Shape;
    int Kind;  // -1: nothing recorded
    QPoint End;
  };
  const Case cases[] = {
      {vuDragNone, -1, {192, 96}},
      {vuDragLine, vuLineObject, {192, 96}},
      {vuDragEllipse, vuEllipseShape, {192, 96}},
      {vuDragRectangle, vuRectangleShape, {192, 96}},
      {vuDragRectangle, -1, {0, 0}},  // both corners equal
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Shape));
    FPreview.Clear();
    FPreview.SetDragDrawShape(c.Shape);
    const QPoint start = At(1, 2);
    QCursor::setPos(Image().mapToGlobal(start));
    FPreview.DragDrawStart();
    ASSERT_TRUE(Image().Dragging());
    Move(start + c.End);
    FPreview.DragDrawToCanvas();
    EXPECT_FALSE(Image().Dragging());
    TVuPage* page = FPreview.GetCurrentPage();
    if (c.Kind < 0) {
      EXPECT_EQ(page->Count(), 0);
      continue;
    }
    ASSERT_EQ(page->Count(), 1);
    auto* shape = static_cast<TVuBaseSolidShape*>(page->VuObject(0));
    EXPECT_EQ(shape->ObjectID(), c.Kind);
    EXPECT_EQ(shape->GetX(vuInches), 1);
    EXPECT_EQ(shape->GetY(vuInches), 2);
    EXPECT_EQ(shape->GetX2(vuInches), 3);
    EXPECT_EQ(shape->GetY2(vuInches), 3);
  }
  // Without a rubber band under way nothing is recorded.
  FPreview.DragDrawToCanvas();
  EXPECT_EQ(FPreview.GetCurrentPage()->Count(), 0);
}

TEST_F(PreviewInteraction, ZoomToTheDraggedArea) {
  // The client is 1000 less the vertical bar by 800; a band of 300 by 400 pixels fills its
  // height: s = 0.5, zoom 200, r = 0.5, the area is 600 by 800 on screen.
  ASSERT_LT(FPreview.HorzRange(), 1000 - BarWidth());
  const QPoint start = At(1, 2);
  QCursor::setPos(Image().mapToGlobal(start));
  FPreview.DragDrawStart();
  Move(start + QPoint(300, 400));
  FPreview.DragDrawZoom();
  EXPECT_FALSE(Image().Dragging());
  EXPECT_EQ(FPreview.GetZoom(), 200);
  // Both bars are shown at zoom 200: ox = (client width - 600) div 2, oy = (client height
  // - 800) div 2; the area's corner (1, 2) inches is 192, 384 pixels from the gutter.
  const int clientW = 1000 - BarWidth(), clientH = 800 - BarHeight();
  EXPECT_EQ(FPreview.HorzPos(), 192 + 30 - (clientW - 600) / 2);
  EXPECT_EQ(FPreview.VertPos(), 384 + 30 - (clientH - 800) / 2);
  // An empty area does nothing.
  FPreview.ZoomToArea({10, 10, 10, 300});
  EXPECT_EQ(FPreview.GetZoom(), 200);
}

TEST_F(PreviewInteraction, ZoomCursors) {
  const QCursor in = Screen::Cursors(TVuPreview::ZoomInCursor), out = Screen::Cursors(TVuPreview::ZoomOutCursor);
  for (const QCursor& c : {in, out}) {
    EXPECT_EQ(c.shape(), Qt::BitmapCursor);
    EXPECT_EQ(c.bitmap().size(), QSize(32, 32));
    EXPECT_EQ(c.hotSpot(), QPoint(0, 0));
  }
  // The plus has an upright bar the minus lacks; both share the horizontal one.
  const QImage plus = in.bitmap().toImage(), minus = out.bitmap().toImage();
  EXPECT_NE(plus, minus);
  EXPECT_EQ(plus.pixelIndex(7, 11), minus.pixelIndex(7, 11));
  FPreview.SetCursor(vuZoomOut);
  EXPECT_EQ(FPreview.cursor().bitmap().toImage(), minus);
  FPreview.SetCursor(vuDefault);
  EXPECT_EQ(FPreview.cursor().shape(), Qt::ArrowCursor);
}
