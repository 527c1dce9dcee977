#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QCursor>
#include <QScrollBar>
#include <functional>
#include <vector>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/core/Vufuncs.h"
#include "preview/view/Vupreview.h"
#include "tests/common/TestSupport.h"
#include "tests/preview/MessageLog.h"

namespace {


// A non-windowed component, which is never notified.
class TPlainComponent : public QObject {
 public:
  int Events = 0;
  bool event(QEvent* e) override {
    if (e->type() == TVuMessageEvent::EventType()) ++Events;
    return QObject::event(e);
  }
};

void SetupA4(TVuPaperImage& image, int zoom, int width, int height) {
  image.SetPaperSizeInch(GetPaperSizeInch(A4));
  image.SetZoom(zoom);
  image.resize(width, height);
}

}  // namespace

// Previews on an in-memory A4 printer: no spooler round trips.
class VuPreview : public testing::Test {
 protected:
  TMemoryPrinterInstall FPrinters{{MemoryA4Printer("A")}, "A"};
};

TEST(VuPaperImage, PageExtentAndRectangle) {
  struct Case {
    int Zoom, ControlWidth, ExtentX, ExtentY, Left;
  };
  // Centred inside gutters of 30; a control narrower than the page lets it stick out equally.
  for (const Case& c : {Case{100, 1000, 794, 1123, 103}, Case{100, 700, 794, 1123, -47}, Case{20, 1000, 159, 225, 420}}) {
    SCOPED_TRACE(c.ControlWidth);
    TVuPaperImage image;
    SetupA4(image, c.Zoom, c.ControlWidth, 1200);
    const TPoint e = image.GetPageExtent(96);
    EXPECT_EQ(e.X, c.ExtentX);
    EXPECT_EQ(e.Y, c.ExtentY);
    const TRect p = image.PageRect();
    EXPECT_EQ(p.Left, c.Left);
    EXPECT_EQ(p.Right - p.Left, c.ExtentX);
    EXPECT_EQ(p.Top, 30 + (1200 - 60 - c.ExtentY) / 2);
  }
}

TEST(VuPaperImage, ControlPixelsToPageInches) {
  TVuPaperImage image;
  SetupA4(image, 100, 1000, 1200);
  const TRect p = image.PageRect();
  TVuValuePoint point;
  image.XYtoInchValuePoint(p.Left, p.Top, point);
  EXPECT_EQ(point.X().Inches(), 0);
  EXPECT_EQ(point.Y().Inches(), 0);
  image.XYtoInchValuePoint(p.Left - 1, p.Top + 96, point);
  EXPECT_LT(point.X().Inches(), 0);
  EXPECT_EQ(point.Y().Inches(), 1);
  image.XYtoInchValuePoint(p.Left + 96, p.Top, point);
  EXPECT_EQ(point.X().Inches(), 1);
  image.SetZoom(200);
  image.XYtoInchValuePoint(image.PageRect().Left + 96, 0, point);
  EXPECT_EQ(point.X().Inches(), 0.5L);
}

TEST(VuPaperImage, RelaysInOrderWithPagePoint) {
  TVuPaperImage image;
  SetupA4(image, 100, 1000, 1200);
  const TRect p = image.PageRect();
  std::vector<QString> log;
  image.OnMouseDown = [&](QObject* s, Qt::MouseButton, Qt::KeyboardModifiers, int x, int) {
    EXPECT_EQ(s, &image);
    log.push_back(QStringLiteral("down %1").arg(x - p.Left));
  };
  image.OnPageMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue& x, TVuValue&) {
    log.push_back(QStringLiteral("page down %1").arg(double(x.Inches())));
  };
  image.OnMouseMove = [&](QObject*, Qt::KeyboardModifiers, int, int) {
    // The page point is stored after the pixel event.
    log.push_back(QStringLiteral("move, point %1").arg(double(image.MousePoint().X().Inches())));
  };
  image.OnPageMouseMove = [&](QObject*, Qt::KeyboardModifiers, TVuValue& x, TVuValue&) {
    log.push_back(QStringLiteral("page move %1").arg(double(x.Inches())));
  };
  image.OnMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log.push_back("up"); };
  image.OnPageMouseUp = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue& x, TVuValue&) {
    log.push_back(QStringLiteral("page up %1").arg(double(x.Inches())));
  };
  image.OnPageDragOver = [&](QObject*, QObject*, TVuValue& x, TVuValue&, TDragState, bool& accept) {
    accept = true;
    log.push_back(QStringLiteral("drag over %1").arg(double(x.Inches())));
  };
  image.DoMouseDown(Qt::LeftButton, {}, p.Left + 96, p.Top);
  image.DoMouseMove({}, p.Left + 192, p.Top);
  image.BeginUpdate();
  image.DoMouseMove({}, p.Left + 288, p.Top);  // ignored while updating
  image.EndUpdate();
  image.DoMouseUp(Qt::LeftButton, {}, p.Left + 48, p.Top);
  bool accept = false;
  image.DoDragOver(nullptr, p.Left + 96, p.Top, dsDragMove, accept);
  EXPECT_TRUE(accept);
  EXPECT_EQ(image.DropPoint().X().Inches(), 1);
  EXPECT_EQ(image.MousePoint().X().Inches(), 0.5L);
  const std::vector<QString> expected = {"down 96", "page down 1", "move, point 1", "page move 2", "up",
                                         "page up 0.5", "drag over 1"};
  EXPECT_EQ(log, expected);
}

TEST(VuPaperImage, RubberBandCorners) {
  TVuPaperImage image;
  SetupA4(image, 100, 1000, 1200);
  image.show();
  const TRect p = image.PageRect();
  QCursor::setPos(image.mapToGlobal(QPoint(p.Left + 96, p.Top + 192)));
  image.DragDrawStart();
  ASSERT_TRUE(image.Dragging());
  image.DragDrawStop();
  TVuRect r = image.GetDragDrawInchRect();
  EXPECT_TRUE(EqualVuPoints(VuPoint(r.Left, r.Top), VuPoint(r.Right, r.Bottom)));
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Top, 2);
  // A move while dragging carries the moving corner; the start corner stays.
  image.DragDrawStart();
  image.DoMouseMove({}, p.Left + 288, p.Top + 48);
  image.DragDrawStart();  // ignored: already dragging
  r = image.GetDragDrawInchRect();
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Right, 3);
  EXPECT_EQ(r.Bottom, 0.5L);
  image.DragDrawStop();
  EXPECT_FALSE(image.Dragging());
}

TEST_F(VuPreview, ScrollRangesAndZoomLimits) {
  TVuPreview preview;
  EXPECT_EQ(preview.GetZoom(), 20);
  preview.SetZoom(100);
  EXPECT_EQ(preview.HorzRange(), 854);
  EXPECT_EQ(preview.VertRange(), 1183);
  preview.SetZoom(1000);
  EXPECT_EQ(preview.GetZoom(), 400);
  preview.SetZoom(1);
  EXPECT_EQ(preview.GetZoom(), 5);
  // Limits: MaxZoom never below MinZoom, and a zoom outside is pulled in.
  preview.SetZoom(300);
  preview.SetMaxZoom(200);
  EXPECT_EQ(preview.GetZoom(), 200);
  preview.SetMaxZoom(1);
  EXPECT_EQ(preview.MaxZoom(), 5);
  EXPECT_EQ(preview.GetZoom(), 5);
  preview.SetMaxZoom(400);
  preview.SetMinZoom(50);
  EXPECT_EQ(preview.GetZoom(), 50);
}

TEST_F(VuPreview, ZoomSteps) {
  struct Case {
    TVuZoomStyle Style;
    bool In;
    int From, To;
  };
  for (const Case& c : {Case{vuVariableZoom, true, 100, 120}, Case{vuVariableZoom, true, 400, 400},
                        Case{vuVariableZoom, false, 100, 80}, Case{vuVariableZoom, false, 10, 7},
                        Case{vuVariableZoom, false, 7, 7}, Case{vuVariableZoom, false, 6, 6},
                        Case{vuVariableZoom, true, 350, 400}, Case{vuFixedZoom, false, 12, 5},
                        Case{vuFixedZoom, true, 12, 22}}) {
    SCOPED_TRACE(testing::Message() << c.Style << ' ' << c.In << ' ' << c.From);
    TVuPreview preview;
    preview.SetZoomStyle(c.Style);
    preview.SetZoom(c.From);
    if (c.In) preview.ZoomIn();
    else preview.ZoomOut();
    EXPECT_EQ(preview.GetZoom(), c.To);
  }
}

TEST_F(VuPreview, FitToControl) {
  TVuPreview preview;
  preview.resize(800, 600);
  preview.FitWidth();
  EXPECT_EQ(preview.GetZoom(), 90);  // trunc(100 * 720 / 793.70)
  preview.FitHeight();
  EXPECT_EQ(preview.GetZoom(), 46);  // trunc(100 * 520 / 1122.52)
  preview.SetZoom(100);
  preview.FitWholePage();
  EXPECT_EQ(preview.GetZoom(), 46);
}

TEST_F(VuPreview, ZoomKeepsRelativeScrollPosition) {
  TVuPreview preview;
  preview.resize(400, 400);
  preview.show();
  preview.SetZoom(100);
  QCoreApplication::processEvents();
  const QSize client = preview.viewport()->size();
  preview.ScrollToPosition(50, 50);
  const int horz = preview.HorzPos(), vert = preview.VertPos();
  EXPECT_EQ(horz, VuRound((preview.HorzRange() - client.width()) * 0.5L));
  // The fraction actually scrolled (50 % rounded to a pixel) carries over.
  const Extended fx = Extended(horz) / (preview.HorzRange() - client.width());
  const Extended fy = Extended(vert) / (preview.VertRange() - client.height());
  preview.SetZoom(200);
  QCoreApplication::processEvents();
  const QSize after = preview.viewport()->size();
  EXPECT_EQ(preview.HorzRange(), VuRound(96 * 2 * GetPaperSizeInch(A4).Width) + 60);
  EXPECT_EQ(preview.HorzPos(), VuRound((preview.HorzRange() - after.width()) * fx));
  EXPECT_EQ(preview.VertPos(), VuRound((preview.VertRange() - after.height()) * fy));
  // The page is laid out at minus the scroll position.
  EXPECT_EQ(preview.PaperImage().pos(), QPoint(-preview.HorzPos(), -preview.VertPos()));
}

TEST_F(VuPreview, UpdateBracketSendsOneBeginAndOneEnd) {
  TVuPreview preview;
  QWidget parent;
  auto* linked = new TMessageLog(&parent);
  TMessageLog orphan;  // windowed, but without a parent control
  TPlainComponent plain;
  preview.AddAssociatedComponent(linked);
  preview.AddAssociatedComponent(linked);  // linked once only
  preview.AddAssociatedComponent(&orphan);
  preview.AddAssociatedComponent(&plain);
  preview.BeginUpdate();
  preview.BeginUpdate();
  preview.NewPage();
  preview.EndUpdate();
  EXPECT_EQ(linked->Messages, std::vector<int>{VuMsgBeginUpdate});
  preview.EndUpdate();
  EXPECT_EQ(linked->Count(VuMsgBeginUpdate), 1);
  EXPECT_EQ(linked->Count(VuMsgEndUpdate), 1);
  // What the page list held back arrives before the closing notification.
  EXPECT_EQ(linked->Messages.back(), VuMsgEndUpdate);
  EXPECT_EQ(linked->Count(VuMsgNumPagesChanged), 1);
  EXPECT_TRUE(orphan.Messages.empty());
  EXPECT_EQ(plain.Events, 0);
  preview.RemoveAssociatedComponent(linked);
  preview.NextPage();
  EXPECT_EQ(linked->Count(VuMsgPageNumChanged), 0);
}

TEST_F(VuPreview, PageNavigationNotifies) {
  TVuPreview preview;
  QWidget parent;
  auto* linked = new TMessageLog(&parent);
  preview.AddAssociatedComponent(linked);
  int changes = 0;
  preview.OnPageChanged = [&](QObject* s) {
    EXPECT_EQ(s, &preview);
    ++changes;
  };
  preview.NewPage();  // the new last page becomes current
  EXPECT_EQ(preview.GetCurrentPageNum(), 2);
  EXPECT_EQ(preview.PaperImage().Page(), preview.GetPage(2));
  changes = 0;
  linked->Messages.clear();
  preview.NextPage();  // on the last page
  preview.FirstPage();
  preview.PrevPage();  // on page 1
  preview.SetCurrentPageNum(7);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(linked->Messages, std::vector<int>{VuMsgPageNumChanged});
  EXPECT_EQ(preview.PaperImage().Page(), preview.GetPage(1));
  preview.LastPage();
  EXPECT_EQ(preview.GetCurrentPageNum(), 2);
  int clears = 0;
  preview.OnClear = [&](QObject*) { ++clears; };
  preview.Clear();
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(preview.GetNumPages(), 1);
  EXPECT_EQ(preview.GetCurrentPageNum(), 1);
  EXPECT_EQ(preview.GetCurrentPage()->Count(), 0);
  EXPECT_EQ(preview.PaperImage().Page(), preview.GetPage(1));
}

TEST_F(VuPreview, MarginValuesText) {
  TVuPreview preview;
  EXPECT_EQ(preview.GetMarginValues(), QStringLiteral("720,720,720,720,\"12632256,1,2,4\",\"12632256,1,2,4\""));
  const TPen pen = preview.Margins().Pen();
  preview.SetMarginValues(QStringLiteral("1440, 720,360,0"));
  EXPECT_EQ(preview.Margins().Left().Inches(), 1);
  EXPECT_EQ(preview.Margins().Top().Inches(), 0.5L);
  EXPECT_EQ(preview.Margins().Right().Inches(), 0.25L);
  EXPECT_EQ(preview.Margins().Bottom().Inches(), 0);
  EXPECT_EQ(preview.Margins().Pen(), pen);
  preview.SetMarginValues(QStringLiteral("144,144,144,144,\"255,2,0,4\",\"65280,1,1,4\""));
  EXPECT_EQ(preview.Margins().Left().Inches(), 0.1L);
  EXPECT_EQ(preview.Margins().Pen().Color, 255);
  EXPECT_EQ(preview.Margins().Pen().Width, 2);
  EXPECT_EQ(preview.Margins().PrinterMarginPen().Color, 65280);
  EXPECT_EQ(preview.Margins().PrinterMarginPen().Style, psDash);
  // Written and read back unchanged.
  const QString text = preview.GetMarginValues();
  TVuPreview other;
  other.SetMarginValues(text);
  EXPECT_EQ(other.GetMarginValues(), text);
  EXPECT_THROW(other.SetMarginValues(QStringLiteral("1,2,3")), EListError);
}

TEST_F(VuPreview, ReportsBecomeNumberedNotifications) {
  struct Case {
    const char* What;
    std::function<void(TVuPreview&)> Change;
    int Msg;
  };
  const Case cases[] = {
      {"pages per sheet", [](TVuPreview& p) { p.SetPagesPerSheet(vuTwoPage); }, VuMsgPagesPerSheetChanged},
      {"margins", [](TVuPreview& p) { p.Margins().Left().SetAsInches(1); }, VuMsgHeaderFooterChanged},
      {"header", [](TVuPreview& p) { p.Header().SetVisible(true); }, VuMsgHeaderFooterChanged},
      {"orientation", [](TVuPreview& p) { p.SetOrientation(vuLandscape); }, VuMsgOrientationChanged},
      {"content", [](TVuPreview& p) { p.Canvas().Rectangle(1, 1, 5, 5); }, VuMsgPageContentChanged},
      {"page count", [](TVuPreview& p) { p.NewPage(); }, VuMsgNumPagesChanged},
      {"paper size", [](TVuPreview& p) { p.SetPaperSize(A5); }, VuMsgPaperSizeChanged},
      {"printer", [](TVuPreview& p) { p.VuPrinter().SetPrinterIndex(0); }, VuMsgPrinterChanged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    TVuPreview preview;
    QWidget parent;
    auto* linked = new TMessageLog(&parent);
    preview.AddAssociatedComponent(linked);
    c.Change(preview);
    EXPECT_EQ(linked->Count(c.Msg), 1);
  }
}

TEST_F(VuPreview, PageSizeChangesReachThePaperImage) {
  TVuPreview preview;
  preview.SetZoom(100);
  preview.SetOrientation(vuLandscape);
  EXPECT_EQ(preview.PaperImage().GetPageExtent(96).X, 1123);
  EXPECT_EQ(preview.HorzRange(), 1183);
  preview.SetPaperSize(A5);
  EXPECT_EQ(preview.PaperImage().PaperSizeInch().Width, preview.GetPageWidth(vuInches));
  preview.SetCustomPageSize(100, 50, vuMillimeters);
  EXPECT_EQ(preview.PaperImage().GetPageExtent(96).X, VuRound(96 * 100 / 25.4L));
  EXPECT_EQ(preview.HorzRange(), VuRound(96 * 100 / 25.4L) + 60);
}

// Printing to a file goes through the page list's job and the preview relays its progress.
TEST_F(VuPreview, PrintToFileRelaysProgressAndWritesEveryPage) {
  TVuPreview preview;
  preview.NewPage();
  std::vector<std::pair<int, int>> progress;
  preview.OnPrintProgress = [&](QObject* s, int printed, int total) {
    EXPECT_EQ(s, &preview);
    progress.emplace_back(printed, total);
  };
  TTempDir dir;
  preview.PrintToFile(dir.File("doc.pdf"));
  EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
  QByteArray out;
  ASSERT_EQ(RunProgram("pdfinfo", {dir.File("doc.pdf")}, &out), 0);
  EXPECT_TRUE(out.contains("Pages:           2")) << out.constData();
  EXPECT_FALSE(preview.IsUpdating());
}
