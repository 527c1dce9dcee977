// Grid print: GridToPage of 10,000 rows by 6 columns of short texts with word wrap on, onto
// a fresh A4 preview each time (recording included). Reports the pages laid out.
#include <benchmark/benchmark.h>
#include <QStringList>
#include "tests/support/MemoryPrinterBackend.h"
#include "platform/StringGrid.h"
#include "preview/grid/Vugridprint.h"
#include "preview/view/Vupreview.h"

namespace {
constexpr int Rows = 10000, Cols = 6;

// Short texts as a table has them: codes that differ per row beside words that repeat.
void FillGrid(TStringGrid& grid) {
  static const QStringList words = {"apple", "pear", "plum", "grape", "lemon", "lime", "cherry", "peach"};
  grid.SetColCount(Cols);
  grid.SetRowCount(Rows);
  grid.SetFixedCols(0);
  grid.SetDefaultRowHeight(18);
  grid.SetDefaultColWidth(110);
  for (int r = 0; r < Rows; ++r) {
    grid.SetCells(0, r, QStringLiteral("A%1").arg(r, 5, 10, QChar(u'0')));
    grid.SetCells(1, r, words[r % words.size()]);
    grid.SetCells(2, r, QString::number(r % 97 * 1.25, 'f', 2));
    grid.SetCells(3, r, words[(r / 3) % words.size()] + u' ' + words[(r / 7) % words.size()]);
    grid.SetCells(4, r, r % 2 ? QStringLiteral("yes") : QStringLiteral("no"));
    grid.SetCells(5, r, QStringLiteral("row %1").arg(r));
  }
}

void BM_GridToPage10000x6WordWrap(benchmark::State& state) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("A"))}, QStringLiteral("A"));
  TStringGrid grid;
  FillGrid(grid);
  int pages = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto preview = std::make_unique<TVuPreview>();
    TVuGridPrint print;
    print.SetGrid(&grid);
    print.SetPreview(preview.get());
    print.SetWordWrap(true);
    state.ResumeTiming();
    print.GridToPage(0.4L, 0.4L, 7.4L, vuInches);
    pages = preview->GetNumPages();
    state.PauseTiming();
    preview.reset();
    state.ResumeTiming();
  }
  state.counters["pages"] = pages;
  state.counters["rows"] = Rows;
}
BENCHMARK(BM_GridToPage10000x6WordWrap)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
