// Preview mouse interaction on a 10,000-object page at zoom 100: one mouse move while an
// object is dragged or a rubber band is drawn (only the outline's pixels are repainted: the
// counters give the pixels asked to repaint and the page drawings per move), and a press that
// hits an object (the page's kept bounding boxes).
#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QCursor>
#include <cstdlib>
#include "preview/core/Vufuncs.h"
#include "preview/view/Vupreview.h"

namespace {

struct TBusyPage {
  TVuPreview Preview;
  TVuVisibleObject* Target = nullptr;
  TBusyPage() {
    Preview.resize(1000, 800);
    Preview.show();
    Preview.SetZoom(100);
    TVuCanvas& c = Preview.Canvas();
    const TVuSize a4 = GetPaperSizeInch(A4);
    std::srand(13);
    auto coord = [](Extended range) { return range * (std::rand() % 10000) / 10000; };
    Preview.BeginUpdate();
    for (int i = 0; i < 10000; ++i) {
      const Extended x = coord(a4.Width - 1), y = coord(a4.Height - 0.5L);
      if (i % 2) c.Line(x, y, x + coord(1), y + coord(0.5L), vuInches);
      else c.Rectangle(x, y, x + coord(1), y + coord(0.5L), vuInches);
    }
    // The object pressed on, last in the list so that it is the topmost.
    Target = static_cast<TVuVisibleObject*>(c.Rectangle(1, 1, 3, 2, vuInches));
    Preview.EndUpdate();
    QCoreApplication::processEvents();
  }
  TVuPaperImage& Image() { return Preview.PaperImage(); }
  QPoint At(Extended x, Extended y) {
    const TRect p = Image().PageRect();
    return {p.Left + VuRound(96 * x), p.Top + VuRound(96 * y)};
  }
};

void BM_DragObjectMouseMove(benchmark::State& state) {
  TBusyPage s;
  const QPoint start = s.At(2, 1.5L);
  s.Image().DoMouseMove({}, start.x(), start.y());
  s.Image().DoMouseDown(Qt::LeftButton, {}, start.x(), start.y());
  s.Preview.DragVuObjectStart(s.Target);
  QCoreApplication::processEvents();
  const int draws = s.Image().ContentDraws();
  qint64 painted = 0, moves = 0;
  for (auto _ : state) {
    const int d = int(moves % 40);
    s.Image().DoMouseMove({}, start.x() + d, start.y() + d / 2);
    painted += s.Image().OutlineRepaintArea();
    QCoreApplication::processEvents();  // the paint of the outline pixels
    ++moves;
  }
  state.counters["painted_px_per_move"] = benchmark::Counter(double(painted) / double(moves));
  state.counters["page_draws"] = benchmark::Counter(s.Image().ContentDraws() - draws);
}
BENCHMARK(BM_DragObjectMouseMove)->Unit(benchmark::kMicrosecond);

void BM_RubberBandMouseMove(benchmark::State& state) {
  TBusyPage s;
  const QPoint start = s.At(1, 4);
  QCursor::setPos(s.Image().mapToGlobal(start));
  s.Preview.DragDrawStart();
  QCoreApplication::processEvents();
  const int draws = s.Image().ContentDraws();
  qint64 moves = 0;
  for (auto _ : state) {
    const int d = int(moves % 40);
    s.Image().DoMouseMove({}, start.x() + 200 + d, start.y() + 100 + d);
    QCoreApplication::processEvents();
    ++moves;
  }
  state.counters["page_draws"] = benchmark::Counter(s.Image().ContentDraws() - draws);
  s.Preview.DragDrawCancel();
}
BENCHMARK(BM_RubberBandMouseMove)->Unit(benchmark::kMicrosecond);

void BM_PressHittingAnObject(benchmark::State& state) {
  TBusyPage s;
  int hits = 0;
  s.Preview.OnObjectMouseDown = [&](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&,
                                    TVuVisibleObject* object) { hits += object == s.Target; };
  const QPoint p = s.At(2.5L, 1.5L);
  for (auto _ : state) s.Image().DoMouseDown(Qt::LeftButton, {}, p.x(), p.y());
  if (hits != int(state.iterations())) state.SkipWithError("the press did not hit the object");
}
BENCHMARK(BM_PressHittingAnObject)->Unit(benchmark::kMicrosecond);

}  // namespace
