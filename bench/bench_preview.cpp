// Preview control on screen: painting the barcode page, painting a 10,000-object page after a
// zoom change, an arrow-key scroll step (served from the kept image), and the size of the
// kept image at zoom 400 on an A3 page.
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <cstdlib>
#include "platform/Graphics.h"
#include "preview/core/Vufuncs.h"
#include "preview/view/Vupreview.h"

namespace {

// The barcode bitmap's size and kind of content: bars over 120 rows of 146.
TBitmap BarBitmap() {
  QImage image(210, 146, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int x = 0; x < 210; x += 3)
    for (int y = 0; y < 120; ++y) image.setPixel(x, y, qRgb(0, 0, 0));
  TBitmap bitmap(210, 146);
  bitmap.SetImage(image);
  return bitmap;
}

// A preview as the print preview window shows it: 1000 by 800, zoom 100, on screen.
struct TShownPreview {
  TVuPreview Preview;
  explicit TShownPreview(int width = 1000, int height = 800) {
    Preview.resize(width, height);
    Preview.show();
    Preview.SetZoom(100);
    QCoreApplication::processEvents();
  }
  TVuPaperImage& Image() { return Preview.PaperImage(); }
};

// 10,000 objects recorded through the preview's canvas: texts, lines and rectangles in turn.
void Record10000Objects(TVuPreview& preview) {
  TVuCanvas& c = preview.Canvas();
  c.SetDefaultMeasurement(vuInches);
  const TVuSize a4 = GetPaperSizeInch(A4);
  std::srand(13);
  auto coord = [](Extended range) { return range * (std::rand() % 10000) / 10000; };
  preview.BeginUpdate();
  for (int i = 0; i < 10000; ++i) {
    const Extended x = coord(a4.Width - 1), y = coord(a4.Height - 0.5L);
    c.SetPenValues(i % 3, i % 2 ? clRed : clBlack, psSolid);
    c.SetBrushValues(i % 2 ? clYellow : clWhite, i % 4 ? bsSolid : bsClear);
    switch (i % 3) {
      case 0:
        c.SetFontValues(i % 2 ? "Arial" : "Times New Roman", 10 + i % 3, clBlack, 0);
        c.TextOut(x, y, QStringLiteral("Item %1 on page {PAGE}").arg(i));
        break;
      case 1:
        c.MoveTo(x, y);
        c.LineTo(x + coord(1), y + coord(0.5L));
        break;
      default:
        c.Rectangle(x, y, x + coord(1), y + coord(0.5L));
        break;
    }
  }
  preview.EndUpdate();
  QCoreApplication::processEvents();
}

void BM_PaintBarcodePageZoom100(benchmark::State& state) {
  TShownPreview s;
  s.Preview.Canvas().Draw(80, 50, BarBitmap(), 1);
  for (auto _ : state) {
    s.Image().Changed();
    s.Image().repaint();
  }
}
BENCHMARK(BM_PaintBarcodePageZoom100)->Unit(benchmark::kMillisecond);

void BM_Paint10000ObjectsAfterZoom(benchmark::State& state) {
  TShownPreview s;
  Record10000Objects(s.Preview);
  const int before = s.Image().ContentDraws();
  bool larger = false;
  for (auto _ : state) {
    larger = !larger;
    s.Preview.SetZoom(larger ? 120 : 100);
    s.Image().repaint();
  }
  state.counters["content_draws_per_zoom"] =
      benchmark::Counter(s.Image().ContentDraws() - before, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Paint10000ObjectsAfterZoom)->Unit(benchmark::kMillisecond);

void BM_ScrollStep10000Objects(benchmark::State& state) {
  TShownPreview s;
  Record10000Objects(s.Preview);
  s.Preview.ScrollToPosition(50, 50);
  QCoreApplication::processEvents();
  QScrollBar& bar = *s.Preview.verticalScrollBar();
  const int before = s.Image().ContentDraws();
  bool down = false;
  for (auto _ : state) {
    down = !down;
    bar.triggerAction(down ? QAbstractSlider::SliderSingleStepAdd : QAbstractSlider::SliderSingleStepSub);
    // The exposed strip is painted here.
    QCoreApplication::processEvents();
  }
  state.counters["content_draws_per_step"] =
      benchmark::Counter(s.Image().ContentDraws() - before, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ScrollStep10000Objects)->Unit(benchmark::kMillisecond);

// The kept image's size at zoom 400 on an A3 page in a 1280 by 1024 window, wherever the
// view is scrolled; the peak is reported.
void BM_CacheAtZoom400A3(benchmark::State& state) {
  TShownPreview s(1280, 1024);
  s.Preview.SetPaperSize(A3);
  s.Preview.Canvas().Draw(80, 50, BarBitmap(), 1);
  s.Preview.SetZoom(400);
  QCoreApplication::processEvents();
  qint64 peak = 0;
  int step = 0;
  for (auto _ : state) {
    const Extended f = (step++ % 5) * 25;
    s.Preview.ScrollToPosition(f, f);
    s.Image().Changed();
    s.Image().repaint();
    peak = std::max(peak, s.Image().CacheBytes());
  }
  state.counters["peak_cache_MB"] = double(peak) / (1 << 20);
}
BENCHMARK(BM_CacheAtZoom400A3)->Unit(benchmark::kMillisecond);

}  // namespace
