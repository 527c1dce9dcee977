#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <functional>
#include <set>
#include "platform/Graphics.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/view/Vupreview.h"
#include "tests/common/TestSupport.h"

namespace {

// A 210 by 146 bar pattern like the barcode bitmap: bars 1 to 4 pixels wide, the first
// column black, white rows at the bottom for the digits.
TBitmap BarBitmap() {
  TBitmap bitmap(210, 146);
  QImage image(210, 146, QImage::Format_RGB32);
  image.fill(Qt::white);
  int x = 0, width = 1;
  while (x < 210) {
    for (int i = 0; i < width && x + i < 210; ++i)
      for (int y = 0; y < 120; ++y) image.setPixel(x + i, y, qRgb(0, 0, 0));
    x += 2 * width;
    width = width % 4 + 1;
  }
  bitmap.SetImage(image);
  return bitmap;
}

class VuPreviewPaint : public testing::Test {
 protected:
  VuPreviewPaint() {
    FPreview.resize(1000, 800);
    FPreview.show();
    FPreview.SetZoom(100);
    QCoreApplication::processEvents();
  }
  // The paper image as the screen shows it, in its own pixels.
  QImage Grab(const QRect& area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    return FPreview.PaperImage().grab(area).toImage().convertToFormat(QImage::Format_RGB32);
  }
  TRect Page() const { return FPreview.PaperImage().PageRect(); }

  TMemoryPrinterInstall FPrinters{{MemoryA4Printer("A")}, "A"};
  TVuPreview FPreview;
};

bool IsBlack(QRgb c) { return (c & 0xFFFFFF) == 0; }
bool IsWhite(QRgb c) { return (c & 0xFFFFFF) == 0xFFFFFF; }

}  // namespace

TEST_F(VuPreviewPaint, BarcodePageAtZoom100) {
  const TBitmap bitmap = BarBitmap();
  FPreview.Canvas().Draw(80, 50, bitmap, 1);
  const QImage shot = Grab();
  const TRect p = Page();
  const int w = p.Right - p.Left, h = p.Bottom - p.Top;
  ASSERT_EQ(w, 794);
  ASSERT_EQ(h, 1123);
  const QRgb silver = qRgb(192, 192, 192);
  // Border on all four sides, corners included; white inside.
  for (int x : {p.Left, p.Left + 400, p.Right}) {
    EXPECT_TRUE(IsBlack(shot.pixel(x, p.Top))) << x;
    EXPECT_TRUE(IsBlack(shot.pixel(x, p.Bottom))) << x;
  }
  EXPECT_TRUE(IsBlack(shot.pixel(p.Left, p.Top + 500)));
  EXPECT_TRUE(IsBlack(shot.pixel(p.Right, p.Top + 500)));
  EXPECT_TRUE(IsWhite(shot.pixel(p.Left + 1, p.Top + 1)));
  EXPECT_TRUE(IsWhite(shot.pixel(p.Right - 1, p.Bottom - 1)));
  // The 3-pixel shadow: right of the border from 4 pixels down, below it from 4 across.
  struct Probe {
    int X, Y;
    bool Shadow;
  };
  for (const Probe& c : {Probe{p.Right + 1, p.Top + 4, true}, Probe{p.Right + 3, p.Bottom, true},
                         Probe{p.Right + 4, p.Top + 500, false}, Probe{p.Right + 1, p.Top + 3, false},
                         Probe{p.Left + 4, p.Bottom + 3, true}, Probe{p.Left + 3, p.Bottom + 1, false},
                         Probe{p.Right + 3, p.Bottom + 3, true}, Probe{p.Left + 400, p.Bottom + 4, false}}) {
    SCOPED_TRACE(testing::Message() << c.X - p.Left << ',' << c.Y - p.Top);
    if (c.Shadow) EXPECT_TRUE(IsBlack(shot.pixel(c.X, c.Y)));
    else EXPECT_EQ(shot.pixel(c.X, c.Y), silver);
  }
  // 80 mm from the left edge is 302 pixels; 50 mm from the top is 189.
  const int y = p.Top + 189 + 20;
  EXPECT_TRUE(IsWhite(shot.pixel(p.Left + 301, y)));
  EXPECT_TRUE(IsBlack(shot.pixel(p.Left + 302, y)));
  EXPECT_TRUE(IsWhite(shot.pixel(p.Left + 302, p.Top + 188)));
  EXPECT_TRUE(IsBlack(shot.pixel(p.Left + 302, p.Top + 189)));
  // Black and white only: no smoothing of the bitmap.
  std::set<QRgb> colours;
  for (int yy = p.Top + 189; yy < p.Top + 189 + 146; ++yy)
    for (int xx = p.Left + 302; xx < p.Left + 302 + 210; ++xx) colours.insert(shot.pixel(xx, yy) & 0xFFFFFF);
  EXPECT_EQ(colours, (std::set<QRgb>{0, 0xFFFFFF}));
}

TEST_F(VuPreviewPaint, BarsAreWholePixelsAtZoom400) {
  const TBitmap bitmap = BarBitmap();
  FPreview.Canvas().Draw(80, 50, bitmap, 1);
  FPreview.SetZoom(400);
  // Bring the bitmap into view.
  FPreview.SetHorzPos(1200);
  FPreview.SetVertPos(760);
  QCoreApplication::processEvents();
  const TRect p = Page();
  // At 400 % each bitmap pixel is 4 screen pixels: 80 mm is 1209.4 pixels from the edge.
  const QRect area(p.Left + 1150, p.Top + 700, 1000, 700);
  const QImage shot = Grab(area);
  const int left = 60, top = 57;
  std::set<QRgb> colours;
  for (int y = top; y < top + 400; ++y)
    for (int x = left; x < left + 800; ++x) colours.insert(shot.pixel(x, y) & 0xFFFFFF);
  EXPECT_EQ(colours, (std::set<QRgb>{0, 0xFFFFFF}));
  // The 1-pixel first bar covers 4 whole screen columns, the gap after it 4 more.
  const int y = top + 100;
  int firstBlack = -1;
  for (int x = left - 8; x < left + 8 && firstBlack < 0; ++x)
    if (IsBlack(shot.pixel(x, y))) firstBlack = x;
  ASSERT_GE(firstBlack, 0);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(IsBlack(shot.pixel(firstBlack + i, y))) << i;
  for (int i = 4; i < 8; ++i) EXPECT_TRUE(IsWhite(shot.pixel(firstBlack + i, y))) << i;
}

TEST_F(VuPreviewPaint, PaintShowsWhatThePageDraws) {
  TVuCanvas& c = FPreview.Canvas();
  c.SetPenValues(3, clBlue, psSolid);
  c.SetBrushValues(clYellow, bsSolid);
  c.Rectangle(20, 20, 100, 60);
  c.Ellipse(0, 150, 60, 290);  // runs off the page's left edge
  c.SetFontValues("Arial", 14, clRed, 0);
  c.TextOut(30, 100, "Preview 123");
  c.Draw(120, 200, BarBitmap(), 1);
  const QImage shot = Grab();
  const TRect p = Page();
  const int w = p.Right - p.Left, h = p.Bottom - p.Top;

  // The page drawn straight onto a bitmap at the same mapping.
  QImage reference(w + 1, h + 1, QImage::Format_RGB32);
  reference.fill(Qt::white);
  {
    TCanvas canvas(&reference);
    const TVuSize size = FPreview.GetCurrentPage()->GetPageSize(vuInches);
    const int lw = VuRound(600 * size.Width), lh = VuRound(600 * size.Height);
    canvas.SetMapMode(mmAnisotropic);
    canvas.SetWindowExt(lw, lh);
    canvas.SetViewportExt(w, h);
    const QRegion clip(0, 0, w + 1, h + 1);
    canvas.SelectClipRgn(&clip);
    canvas.Font().PixelsPerInch = 600;
    FPreview.GetCurrentPage()->DrawToCanvas(canvas, 600, 600, false);
    canvas.Release();
  }
  int differing = 0, coloured = 0;
  for (int y = 1; y < h; ++y)
    for (int x = 1; x < w; ++x) {
      const QRgb a = shot.pixel(p.Left + x, p.Top + y), b = reference.pixel(x, y);
      if (a != b) ++differing;
      if (!IsWhite(b)) ++coloured;
    }
  EXPECT_GT(coloured, 5000);
  EXPECT_EQ(differing, 0);
}

TEST_F(VuPreviewPaint, ScrollingCopiesZoomingDrawsOnce) {
  for (int i = 0; i < 200; ++i) FPreview.Canvas().Rectangle(10 + i % 20, 10 + i, 30 + i % 20, 20 + i);
  TVuPaperImage& image = FPreview.PaperImage();
  FPreview.SetZoom(200);
  QCoreApplication::processEvents();
  image.repaint();
  const int afterZoom = image.ContentDraws();
  EXPECT_GT(afterZoom, 0);
  FPreview.SetZoom(250);
  QCoreApplication::processEvents();
  EXPECT_EQ(image.ContentDraws(), afterZoom + 1);
  // A line step down and back: pixels come from the kept image.
  FPreview.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCoreApplication::processEvents();
  FPreview.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
  QCoreApplication::processEvents();
  EXPECT_EQ(image.ContentDraws(), afterZoom + 1);
  EXPECT_GT(image.CacheBytes(), 0);
  EXPECT_LE(image.CacheBytes(), TVuPaperImage::MaxCachePixels * 4);
}

TEST_F(VuPreviewPaint, EveryChangeOfWhatIsShownDrawsAgain) {
  struct Case {
    const char* What;
    std::function<void(TVuPreview&)> Change;
  };
  const Case cases[] = {
      {"content", [](TVuPreview& p) { p.Canvas().Rectangle(50, 50, 60, 60); }},
      {"header", [](TVuPreview& p) { p.Header().CaptionLeft().SetCaption("Title"); }},
      {"margins", [](TVuPreview& p) { p.Margins().SetVisible(true); }},
      {"grid", [](TVuPreview& p) { p.PageGrid().SetGridStyle(vuLines); }},
      {"shadow", [](TVuPreview& p) { p.Shadow().SetWidth(5); }},
      {"gutter", [](TVuPreview& p) { p.SetGutter(10); }},
      {"zoom", [](TVuPreview& p) { p.SetZoom(120); }},
      {"page", [](TVuPreview& p) { p.NewPage(); }},
      {"update bracket", [](TVuPreview& p) { p.BeginUpdate(); p.EndUpdate(); }},
  };
  TVuPaperImage& image = FPreview.PaperImage();
  FPreview.Header().SetVisible(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    QCoreApplication::processEvents();
    const int before = image.ContentDraws();
    c.Change(FPreview);
    QCoreApplication::processEvents();
    EXPECT_EQ(image.ContentDraws(), before + 1);
  }
}

TEST_F(VuPreviewPaint, RubberBandInvertsAndRestores) {
  TVuPaperImage& image = FPreview.PaperImage();
  const QImage before = Grab();
  const TRect p = Page();
  QCursor::setPos(image.mapToGlobal(QPoint(p.Left + 100, p.Top + 100)));
  image.DragDrawStart();
  image.DoMouseMove({}, p.Left + 300, p.Top + 200);
  const QImage during = Grab();
  // Inverted dots along the outline: white paper becomes black.
  EXPECT_TRUE(IsBlack(during.pixel(p.Left + 100, p.Top + 100)));
  EXPECT_TRUE(IsBlack(during.pixel(p.Left + 300, p.Top + 200)));
  EXPECT_TRUE(IsWhite(during.pixel(p.Left + 101, p.Top + 100)));
  EXPECT_TRUE(IsWhite(during.pixel(p.Left + 200, p.Top + 150)));
  image.DoMouseMove({}, p.Left + 200, p.Top + 120);
  const QImage moved = Grab();
  EXPECT_TRUE(IsWhite(moved.pixel(p.Left + 300, p.Top + 200)));
  EXPECT_TRUE(IsBlack(moved.pixel(p.Left + 200, p.Top + 120)));
  image.DragDrawStop();
  EXPECT_EQ(Grab(), before);
}
