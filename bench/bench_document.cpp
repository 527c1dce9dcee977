// The document: recording through the canvas, hit tests and text search on pages, and a
// full page drawn as the paper image draws it (600 logical pixels per inch mapped onto a
// 96-ppi screen at zoom 100).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <QImage>
#include <cstdlib>
#include "preview/document/Vucanvas.h"
#include "preview/core/Vufuncs.h"

namespace {

size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_RecordRectangles(benchmark::State& state) {
  constexpr int kCount = 100000;
  size_t bytes = 0;
  int pens = 0, brushes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto list = std::make_unique<TVuPageList>();
    list->AddPage();
    TVuCanvas& canvas = list->Canvas();
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = clYellow;
    const size_t before = HeapInUse();
    state.ResumeTiming();
    for (int i = 0; i < kCount; ++i) {
      const Extended x = i % 200;
      canvas.Rectangle(x, 10, x + 5, 20);
    }
    state.PauseTiming();
    bytes = HeapInUse() - before;
    pens = list->ResourceTable().Pens().Count();
    brushes = list->ResourceTable().Brushes().Count();
    list.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  state.counters["bytes/object"] = double(bytes) / kCount;
  state.counters["pens"] = pens;
  state.counters["brushes"] = brushes;
}
BENCHMARK(BM_RecordRectangles)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor under recording: the same number of rectangle objects only allocated and kept,
// which touches as much fresh memory.
void BM_AllocateRectangles(benchmark::State& state) {
  constexpr int kCount = 100000;
  TVuResourceTable table;
  for (auto _ : state) {
    std::vector<std::unique_ptr<TVuBaseObject>> objects;
    for (int i = 0; i < kCount; ++i) objects.push_back(std::make_unique<TVuRectangleShape>(&table));
    benchmark::DoNotOptimize(objects.data());
    state.PauseTiming();
    objects.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_AllocateRectangles)->Unit(benchmark::kMillisecond)->Iterations(5);

// 10,000 objects on an A4 page: 40 % texts, the rest lines, rectangles and ellipses, in two
// pens, two brushes and two fonts.
void FillMixedPage(TVuCanvas& canvas) {
  std::srand(13);
  auto coord = [](int range) { return Extended(std::rand() % (range * 10)) / 10; };
  for (int i = 0; i < 10000; ++i) {
    const Extended x = coord(180), y = coord(270);
    canvas.Pen().Color = i % 2 ? clBlack : clRed;
    canvas.Brush().Style = i % 3 ? bsClear : bsSolid;
    switch (i % 5) {
      case 0:
      case 1:
        canvas.Font().Name = i % 2 ? QStringLiteral("Arial") : QStringLiteral("Times New Roman");
        canvas.TextOut(x, y, QStringLiteral("Item %1 on page {PAGE}").arg(i));
        break;
      case 2: canvas.Line(x, y, x + coord(20), y + coord(10)); break;
      case 3: canvas.Rectangle(x, y, x + coord(20), y + coord(10)); break;
      default: canvas.Ellipse(x, y, x + coord(20), y + coord(10)); break;
    }
  }
}

void BM_ObjectAtPosFirstCall(benchmark::State& state) {
  TVuPageList list;
  list.AddPage();
  FillMixedPage(list.Canvas());
  TVuPage& page = *list.Page(1);
  TVuBaseObject* hit = nullptr;
  for (auto _ : state) {
    page.Changed();  // forgets the kept boxes
    benchmark::DoNotOptimize(page.ObjectAtPos(100, 150, vuMillimeters, hit));
  }
}
BENCHMARK(BM_ObjectAtPosFirstCall)->Unit(benchmark::kMillisecond);

void BM_ObjectAtPosRepeated(benchmark::State& state) {
  TVuPageList list;
  list.AddPage();
  FillMixedPage(list.Canvas());
  TVuPage& page = *list.Page(1);
  TVuBaseObject* hit = nullptr;
  page.ObjectAtPos(0, 0, vuMillimeters, hit);
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(page.ObjectAtPos(20 + i % 150, 30 + i % 220, vuMillimeters, hit));
    ++i;
  }
}
BENCHMARK(BM_ObjectAtPosRepeated)->Unit(benchmark::kMicrosecond);

void BM_FindText1000Pages(benchmark::State& state) {
  TVuPageList list;
  list.BeginUpdate();
  for (int p = 0; p < 1000; ++p) {
    list.AddPage();
    for (int i = 0; i < 100; ++i) list.Canvas().TextOut(10, 2 * i, QStringLiteral("Article %1 of page %2").arg(i).arg(p));
  }
  list.EndUpdate();
  std::vector<TVuBaseTextObject*> found;
  const bool matchCase = state.range(0);
  for (auto _ : state) {
    found.clear();
    list.FindText(QStringLiteral("article 42 of page 99"), matchCase, found);
    benchmark::DoNotOptimize(found.data());
  }
  state.SetLabel(matchCase ? "match case" : "any case");
  state.counters["found"] = double(found.size());
}
BENCHMARK(BM_FindText1000Pages)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DrawToCanvas10000Objects(benchmark::State& state) {
  TVuPageList list;
  list.AddPage();
  FillMixedPage(list.Canvas());
  list.Header().SetVisible(true);
  list.Footer().SetVisible(true);
  list.Footer().CaptionCenter().SetCaption(QStringLiteral("Page {PAGE} of  {NUMPAGES}"));
  const TVuSize a4 = GetPaperSizeInch(A4);
  const int zoomPpi = 96;
  QImage screen(VuRound(a4.Width * zoomPpi), VuRound(a4.Height * zoomPpi), QImage::Format_RGB32);
  for (auto _ : state) {
    screen.fill(Qt::white);
    TCanvas canvas(&screen);
    canvas.SetMapMode(mmAnisotropic);
    canvas.SetWindowExt(600, 600);
    canvas.SetViewportExt(zoomPpi, zoomPpi);
    list.Page(1)->DrawToCanvas(canvas, 600, 600, false);
    canvas.Release();
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_DrawToCanvas10000Objects)->Unit(benchmark::kMillisecond);

}  // namespace
