// Page objects: drawing a full page of many objects as the paper image does (600 logical
// pixels per inch mapped onto the screen at zoom 100), and the bounding box of a text that
// hit tests ask for every object under the mouse.
#include <benchmark/benchmark.h>
#include <QImage>
#include "preview/core/Vufuncs.h"
#include "preview/document/Vuobjects.h"

namespace {

// 10,000 objects: a third each texts, lines and rectangles, sharing three pens, two brushes
// and two fonts, spread over an A4 page.
struct TPage {
  TVuResourceTable Table;
  TVuBaseObjectList Objects;

  TPage() {
    TVuPen* pens[3];
    const TColor penColors[] = {clBlack, clRed, clBlue};
    for (int i = 0; i < 3; ++i) {
      TVuPen pen;
      pen.SetColor(penColors[i]);
      pen.SetWidth(i);  // hairlines and a 1/144-inch pen
      pens[i] = Table.Pens().AddPen(&pen);
    }
    TVuBrush* brushes[2];
    for (int i = 0; i < 2; ++i) {
      TVuBrush brush;
      brush.SetColor(i == 0 ? clYellow : clNone);
      brushes[i] = Table.Brushes().AddBrush(&brush);
    }
    TVuFont* fonts[2];
    for (int i = 0; i < 2; ++i) {
      TVuFont font;
      font.SetName(i == 0 ? QStringLiteral("Arial") : QStringLiteral("Times New Roman"));
      font.SetSize(i == 0 ? 10 : 12);
      fonts[i] = Table.Fonts().AddFont(&font);
    }
    const TVuSize a4 = GetPaperSizeInch(A4);
    std::srand(13);
    auto coord = [](Extended range) { return range * (std::rand() % 10000) / 10000; };
    for (int i = 0; i < 10000; ++i) {
      const Extended x = coord(a4.Width - 1), y = coord(a4.Height - 0.5L);
      TVuBaseSolidShape* shape = nullptr;
      switch (i % 3) {
        case 0: {
          auto text = std::make_unique<TVuTextObject>(&Table);
          text->SetFont(Table.Fonts().AddFont(fonts[i % 2]));
          text->SetCaption(QStringLiteral("Item %1 on page {PAGE}").arg(i));
          text->SetCoords(vuInches, VuRect(x, y, 0, 0));
          shape = text.get();
          Objects.AddObject(std::move(text));
          break;
        }
        case 1: {
          auto line = std::make_unique<TVuLineObject>(&Table);
          line->SetCoords(vuInches, VuRect(x, y, x + coord(1), y + coord(0.5L)));
          shape = line.get();
          Objects.AddObject(std::move(line));
          break;
        }
        default: {
          auto rect = std::make_unique<TVuRectangleShape>(&Table);
          rect->SetCoords(vuInches, VuRect(x, y, x + coord(1), y + coord(0.5L)));
          shape = rect.get();
          Objects.AddObject(std::move(rect));
          break;
        }
      }
      shape->SetPen(Table.Pens().AddPen(pens[i % 3]));
      shape->SetBrush(Table.Brushes().AddBrush(brushes[(i / 3) % 2]));
    }
  }
};

void BM_DrawPage10000Objects(benchmark::State& state) {
  TPage page;
  const TVuSize a4 = GetPaperSizeInch(A4);
  const int zoomPpi = 96;  // zoom 100 on a 96-ppi screen
  QImage screen(VuRound(a4.Width * zoomPpi), VuRound(a4.Height * zoomPpi), QImage::Format_RGB32);
  TVuObjectDrawData d;
  d.PpiX = d.PpiY = 600;
  d.NumPages = 1;
  for (auto _ : state) {
    screen.fill(Qt::white);
    TCanvas canvas(&screen);
    canvas.SetMapMode(mmAnisotropic);
    canvas.SetWindowExt(600, 600);
    canvas.SetViewportExt(zoomPpi, zoomPpi);
    for (int i = 0; i < page.Objects.Count(); ++i) page.Objects.GetObject(i)->Draw(canvas, d);
    canvas.Release();
    benchmark::DoNotOptimize(screen.constBits());
  }
  state.SetItemsProcessed(state.iterations() * page.Objects.Count());
}
BENCHMARK(BM_DrawPage10000Objects)->Unit(benchmark::kMillisecond);

void BM_TextBoundingRect(benchmark::State& state) {
  TVuResourceTable table;
  TVuFont font;
  font.SetName(QStringLiteral("Arial"));
  font.SetSize(12);
  TVuBrush brush;
  brush.SetColor(state.range(0) ? clWhite : clNone);
  TVuTextObject text(&table);
  text.SetFont(table.Fonts().AddFont(&font));
  text.SetBrush(table.Brushes().AddBrush(&brush));
  text.SetCaption(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
  text.SetCoords(vuInches, VuRect(1, 1, 0, 0));
  TVuObjectDrawData d;
  for (auto _ : state) benchmark::DoNotOptimize(text.BoundingRect(d));
  state.SetLabel(state.range(0) ? "opaque brush" : "clear brush");
}
BENCHMARK(BM_TextBoundingRect)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
