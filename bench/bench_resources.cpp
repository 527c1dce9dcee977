// Adding to the resource lists (hash-indexed search for the first equal entry) and laying
// out a text box of 1,000 words with the font mapper.
#include <benchmark/benchmark.h>
#include "preview/document/Vuresource.h"

namespace {

void BM_AddPen_16Distinct(benchmark::State& state) {
  TVuPen pens[16];
  for (int i = 0; i < 16; ++i) {
    pens[i].SetColor(RGBColor(i * 16, 0, 0));
    pens[i].SetWidth(i % 4);
    pens[i].SetStyle(TPenStyle(i % 5));
    pens[i].SetMode(pmCopy);
  }
  for (auto _ : state) {
    TVuPenList list;
    for (int n = 0; n < 100000; ++n) benchmark::DoNotOptimize(list.AddPen(&pens[n % 16]));
    if (list.Count() != 16) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_AddPen_16Distinct)->Unit(benchmark::kMillisecond);

void BM_AddBrush_16Distinct(benchmark::State& state) {
  TVuBrush brushes[16];
  for (int i = 0; i < 16; ++i) {
    brushes[i].SetColor(RGBColor(0, i * 16, 0));
    brushes[i].SetStyle(i % 2 ? bsSolid : bsCross);
  }
  for (auto _ : state) {
    TVuBrushList list;
    for (int n = 0; n < 100000; ++n) benchmark::DoNotOptimize(list.AddBrush(&brushes[n % 16]));
    if (list.Count() != 16) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_AddBrush_16Distinct)->Unit(benchmark::kMillisecond);

void BM_AddFont_16Distinct(benchmark::State& state) {
  TVuFont fonts[16];
  for (int i = 0; i < 16; ++i) {
    fonts[i].SetName(i % 2 ? "Arial" : "Times New Roman");
    fonts[i].SetSize(8 + i);
    fonts[i].SetStyle(i % 3 == 0 ? fsBold : 0);
  }
  for (auto _ : state) {
    TVuFontList list;
    for (int n = 0; n < 100000; ++n) benchmark::DoNotOptimize(list.AddFont(&fonts[n % 16]));
    if (list.Count() != 16) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_AddFont_16Distinct)->Unit(benchmark::kMillisecond);

std::vector<std::unique_ptr<TVuFont>> DistinctFonts(int count) {
  std::vector<std::unique_ptr<TVuFont>> fonts;
  for (int i = 0; i < count; ++i) {
    auto f = std::make_unique<TVuFont>();
    f->SetName(QStringLiteral("Face %1").arg(i / 50));
    f->SetSize(6 + i % 50);
    fonts.push_back(std::move(f));
  }
  return fonts;
}

void BM_AddFont_10000Distinct(benchmark::State& state) {
  const auto fonts = DistinctFonts(10000);
  for (auto _ : state) {
    TVuFontList list;
    for (const auto& f : fonts) benchmark::DoNotOptimize(list.AddFont(f.get()));
    if (list.Count() != 10000) state.SkipWithError("wrong count");
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_AddFont_10000Distinct)->Unit(benchmark::kMillisecond);

// For comparison: the same adds found by scanning the list from index 0.
void BM_AddFont_10000Distinct_LinearScan(benchmark::State& state) {
  const auto fonts = DistinctFonts(10000);
  for (auto _ : state) {
    std::vector<std::unique_ptr<TVuFont>> list;
    std::vector<int> counts;
    for (const auto& f : fonts) {
      size_t i = 0;
      while (i < list.size() && !list[i]->Equals(*f)) ++i;
      if (i < list.size()) {
        ++counts[i];
      } else {
        list.push_back(std::make_unique<TVuFont>());
        list.back()->Assign(f.get());
        counts.push_back(1);
      }
    }
    benchmark::DoNotOptimize(list.data());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_AddFont_10000Distinct_LinearScan)->Unit(benchmark::kMillisecond);

QString Paragraph() {
  static const char* words[] = {"the", "page", "preview", "engine", "measures", "text", "at",
                                "a", "fixed", "resolution", "so", "lines", "break", "alike"};
  QString text;
  for (int i = 0; i < 1000; ++i) {
    if (i) text += u' ';
    text += QLatin1StringView(words[i % 14]);
  }
  return text;
}

// Layout only, as the recording canvas asks for a box's height: 6.5 inch wide at 600 ppi.
void BM_TextBoxHeight_1000Words(benchmark::State& state) {
  const QString text = Paragraph();
  TFont font;
  font.Name = "Arial";
  font.PixelsPerInch = 600;
  font.SetSize(10);
  for (auto _ : state) {
    VuFontMapper().MapperPpi = 600;
    benchmark::DoNotOptimize(VuFontMapper().TextBoxHeight(font, Rect(0, 0, 3900, 0), text));
  }
}
BENCHMARK(BM_TextBoxHeight_1000Words)->Unit(benchmark::kMicrosecond);

// Layout and drawing on a screen bitmap at 96 ppi.
void BM_TextBox_1000Words_Drawn96(benchmark::State& state) {
  const QString text = Paragraph();
  TBitmap bitmap(624, 1400);
  TFont& font = bitmap.Canvas().Font();
  font.Name = "Arial";
  font.PixelsPerInch = 96;
  font.SetSize(10);
  bitmap.Canvas().Brush().Style = bsClear;
  for (auto _ : state)
    benchmark::DoNotOptimize(VuFontMapper().TextBox(bitmap.Canvas(), Rect(0, 0, 624, 1400), text, taLeftJustify, false));
}
BENCHMARK(BM_TextBox_1000Words_Drawn96)->Unit(benchmark::kMicrosecond);

}  // namespace
