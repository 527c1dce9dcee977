// Page files: saving and loading a document of 1,000 pages of 100 mixed objects that share
// 20 pictures (each picture written once however many objects draw it). Targets: save under
// 300 ms, load under 500 ms.
#include <benchmark/benchmark.h>
#include <QBuffer>
#include <memory>
#include "platform/Graphics.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"

namespace {

constexpr int kPages = 1000, kObjectsPerPage = 100, kPictures = 20;

std::unique_ptr<TVuPageList> MixedDocument() {
  auto list = std::make_unique<TVuPageList>();
  list->AddPage();
  TVuCanvas& c = list->Canvas();
  c.SetCompareImages(true);
  std::vector<std::unique_ptr<TBitmap>> pictures;
  for (int i = 0; i < kPictures; ++i) {
    auto picture = std::make_unique<TBitmap>(64, 32);
    picture->Canvas().Brush().Color = TColor(0x010101 * (i * 11 % 255));
    picture->Canvas().FillRect(QRect(i, 2, 20, 20));
    pictures.push_back(std::move(picture));
  }
  const TVuPoint points[] = {{10, 10}, {20, 30}, {30, 10}, {40, 25}};
  list->BeginUpdate();
  for (int page = 0; page < kPages; ++page) {
    if (page > 0) list->AddPage();
    for (int i = 0; i < kObjectsPerPage; ++i) {
      const Extended x = i % 150, y = (i * 7) % 250;
      c.SetPenValues(i % 4, TColor(0x000010 * (i % 8)), psSolid);
      c.SetBrushValues(TColor(0x100000 * (i % 5)), bsSolid);
      switch (i % 10) {
        case 0: c.TextOut(x, y, QStringLiteral("Text %1 on page %2").arg(i).arg(page)); break;
        case 1: c.Line(x, y, x + 20, y + 5); break;
        case 2: c.Rectangle(x, y, x + 10, y + 8); break;
        case 3: c.Ellipse(x, y, x + 12, y + 6); break;
        case 4: c.Arc(x, y, x + 20, y + 20, x + 20, y + 10, x, y + 10); break;
        case 5: c.Polyline(points, 3); break;
        case 6: c.TextBox(x, y, x + 40, y + 20, QStringLiteral("box %1").arg(i)); break;
        case 7: c.RoundRect(x, y, x + 15, y + 10, 2, 2); break;
        default: c.StretchDraw(x, y, x + 16, y + 8, *pictures[size_t((page + i) % kPictures)]); break;
      }
    }
  }
  list->EndUpdate();
  return list;
}

QByteArray Save(const TVuPageList& list) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  list.SaveToStream(buffer);
  return data;
}

void BM_SavePageFile(benchmark::State& state) {
  auto list = MixedDocument();
  qsizetype size = 0;
  for (auto _ : state) {
    const QByteArray data = Save(*list);
    size = data.size();
    benchmark::DoNotOptimize(data.constData());
  }
  state.SetBytesProcessed(state.iterations() * size);
  state.counters["file_MB"] = double(size) / 1e6;
  state.counters["pictures"] = list->ResourceTable().Graphics().Count();
}
BENCHMARK(BM_SavePageFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LoadPageFile(benchmark::State& state) {
  QByteArray data = Save(*MixedDocument());
  TVuPageList target;
  target.AddPage();
  int pages = 0;
  for (auto _ : state) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    target.LoadFromStream(buffer);
    pages = target.Count();
  }
  state.SetBytesProcessed(state.iterations() * data.size());
  state.counters["pages"] = pages;
}
BENCHMARK(BM_LoadPageFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
