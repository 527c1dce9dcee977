// Thumbnail strip over a long document: 1,000 pages of 100 objects each, shown in a column
// strip 200 by 800 beside its preview. Linking the strip (with the first paint of what it
// shows), one changed-page notification (with the repaint it causes), and scrolling the strip
// by one screen onto thumbnails never drawn before.
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QScrollBar>
#include <cstdlib>
#include "preview/core/Vufuncs.h"
#include "preview/view/Vuthumbnails.h"

namespace {

constexpr int Pages = 1000;
constexpr int ObjectsPerPage = 100;

// Texts, lines and rectangles in turn, at random places.
void RecordPage(TVuCanvas& c, int seed) {
  const TVuSize a4 = GetPaperSizeInch(A4);
  std::srand(unsigned(seed));
  auto coord = [](Extended range) { return range * (std::rand() % 10000) / 10000; };
  for (int i = 0; i < ObjectsPerPage; ++i) {
    const Extended x = coord(a4.Width - 1), y = coord(a4.Height - 0.5L);
    c.SetPenValues(i % 3, i % 2 ? clRed : clBlack, psSolid);
    c.SetBrushValues(i % 2 ? clYellow : clWhite, i % 4 ? bsSolid : bsClear);
    switch (i % 3) {
      case 0:
        c.SetFontValues("Arial", 10 + i % 3, clBlack, 0);
        c.TextOut(x, y, QStringLiteral("Item %1 on page {PAGE}").arg(i));
        break;
      case 1:
        c.MoveTo(x, y);
        c.LineTo(x + coord(1), y + coord(0.5L));
        break;
      default: c.Rectangle(x, y, x + coord(1), y + coord(0.5L)); break;
    }
  }
}

struct TDocument {
  QWidget Host;
  TVuPreview* Preview;
  TVuThumbnails* Strip;
  TDocument() {
    Host.resize(1000, 800);
    Preview = new TVuPreview(&Host);
    Preview->setGeometry(200, 0, 800, 800);
    Strip = new TVuThumbnails(&Host);
    Strip->setGeometry(0, 0, 200, 800);
    Strip->SetLayout(vuThumbVert);
    TVuCanvas& c = Preview->Canvas();
    c.SetDefaultMeasurement(vuInches);
    Preview->BeginUpdate();
    for (int p = 1; p <= Pages; ++p) {
      if (p > 1) Preview->NewPage();
      RecordPage(c, p);
    }
    Preview->FirstPage();
    Preview->EndUpdate();
    Host.show();
    QCoreApplication::processEvents();
  }
  int ContentDraws() const {
    int n = 0;
    for (int i = 0; i < Strip->ThumbnailCount(); ++i) n += Strip->GetThumbnail(i)->ContentDraws();
    return n;
  }
};

TDocument& Document() {
  static TDocument* document = new TDocument;
  return *document;
}

void BM_LinkStrip1000Pages(benchmark::State& state) {
  TDocument& d = Document();
  for (auto _ : state) {
    d.Strip->SetPreview(d.Preview);
    QCoreApplication::processEvents();
    state.PauseTiming();
    d.Strip->SetPreview(nullptr);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LinkStrip1000Pages)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ChangedPageNotification(benchmark::State& state) {
  TDocument& d = Document();
  d.Strip->SetPreview(d.Preview);
  QCoreApplication::processEvents();
  const int before = d.ContentDraws();
  for (auto _ : state) {
    // The page reports a change; the preview tells the strip; the strip repaints.
    d.Preview->GetCurrentPage()->Changed();
    QCoreApplication::processEvents();
  }
  state.counters["pages_drawn_per_change"] =
      benchmark::Counter(d.ContentDraws() - before, benchmark::Counter::kAvgIterations);
  d.Strip->SetPreview(nullptr);
}
BENCHMARK(BM_ChangedPageNotification)->Unit(benchmark::kMillisecond);

void BM_ScrollStripOneScreen(benchmark::State& state) {
  TDocument& d = Document();
  d.Strip->SetPreview(d.Preview);
  QCoreApplication::processEvents();
  QScrollBar& bar = *d.Strip->verticalScrollBar();
  const int before = d.ContentDraws();
  for (auto _ : state) {
    // A screen further on: thumbnails that have not been drawn yet.
    bar.setValue(bar.value() + d.Strip->viewport()->height());
    QCoreApplication::processEvents();
  }
  state.counters["pages_drawn_per_screen"] =
      benchmark::Counter(d.ContentDraws() - before, benchmark::Counter::kAvgIterations);
  d.Strip->SetPreview(nullptr);
}
// 1,000 thumbnails fill about 120 screens: every step lands on new ones.
BENCHMARK(BM_ScrollStripOneScreen)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
