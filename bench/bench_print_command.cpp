// The Print command: from the command to the print preview window painted with the barcode
// page, and a batch of 1,000 values written four to a sheet into a PDF file. Both run on the
// system's print service (the default queue gives the geometry).
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include "app/CommandLine.h"
#include "app/PrintCommand.h"
#include "app/PrintPreviewForm.h"
#include "barcode/Ean13.h"

namespace {
QString Completed(int i) {
  // Twelve data digits; the command line completes the check digit.
  return QStringLiteral("4006381%1").arg(i, 5, 10, QLatin1Char('0'));
}
}  // namespace

// Create the window, draw the barcode on page 1, show it and paint the preview once: what the
// user waits for between Alt+P and the page on screen (the modal loop itself excluded).
static void BM_PrintWindowToPaintedPage(benchmark::State& state) {
  const QString value = QStringLiteral("4006381333931");
  auto bitmap = RenderEAN13(value, encodeEAN13(value).Modules);
  for (auto _ : state) {
    TPrintPreviewForm form;
    DrawBarcodePage(form.VuPreview1->Canvas(), *bitmap);
    form.show();
    QImage painted = form.grab().toImage();
    benchmark::DoNotOptimize(painted.constBits());
    form.hide();
  }
}
BENCHMARK(BM_PrintWindowToPaintedPage)->Unit(benchmark::kMillisecond);

static void BM_Batch1000FourUpPdf(benchmark::State& state) {
  QTemporaryDir dir;
  const QString list = dir.filePath(QStringLiteral("list.txt")), pdf = dir.filePath(QStringLiteral("out.pdf"));
  QFile f(list);
  if (!f.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the list");
  for (int i = 0; i < 1000; ++i) f.write((Completed(i) + u'\n').toLatin1());
  f.close();
  FILE* devnull = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    const int status = RunCommandLine(
        ParseCommandLine({"--batch", list, "--pdf", pdf, "--pages-per-sheet", "4"}), devnull, devnull);
    if (status != 0) state.SkipWithError("the batch failed");
  }
  std::fclose(devnull);
  state.counters["pdf_bytes"] = double(QFileInfo(pdf).size());
}
BENCHMARK(BM_Batch1000FourUpPdf)->Unit(benchmark::kSecond)->Iterations(1);
