// Printing a recorded document into a PDF file through the page list's job, beside the same
// content painted straight onto a Qt PDF printer as the limit. Each page holds 200 objects
// and the same EAN-13 picture. Counters: file size, the picture objects the file holds and
// how many are JPEG-encoded (pdfimages), and the growth of the peak memory while printing.
#include <benchmark/benchmark.h>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include "barcode/Ean13.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/document/Vucanvas.h"

namespace {

const QString kValue = QStringLiteral("5901234123457");

// Kilobytes of the process's resident peak (VmHWM) or resident size (VmRSS).
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
  return -1;
}

// Starts a new peak: the kernel sets VmHWM back to the current resident size.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The content of one page, in millimetres, for both ways of printing it.
struct TShape {
  enum { Box, Round, Text } Kind;
  double X, Y;
};

std::vector<TShape> PageShapes() {
  std::vector<TShape> shapes;
  for (int i = 0; i < 200; ++i) {
    const double x = 10 + (i % 10) * 19, y = 110 + (i / 10) * 8;
    shapes.push_back({i % 10 < 4 ? TShape::Box : i % 10 < 7 ? TShape::Round : TShape::Text, x, y});
  }
  return shapes;
}

std::unique_ptr<TVuPageList> Document(int pages, const TBitmap& picture) {
  auto list = std::make_unique<TVuPageList>();
  const std::vector<TShape> shapes = PageShapes();
  for (int p = 1; p <= pages; ++p) {
    list->AddPage();
    TVuCanvas& c = list->Canvas();
    c.Brush().Style = bsSolid;
    c.Brush().Color = clSilver;
    c.Draw(80, 50, picture, 1, vuMillimeters);
    for (const TShape& s : shapes) {
      if (s.Kind == TShape::Box) c.Rectangle(s.X, s.Y, s.X + 15, s.Y + 6, vuMillimeters);
      else if (s.Kind == TShape::Round) c.Ellipse(s.X, s.Y, s.X + 15, s.Y + 6, vuMillimeters);
      else c.TextOut(s.X, s.Y, QStringLiteral("Item %1").arg(p), vuMillimeters);
    }
  }
  return list;
}

// With VELEAN13_BENCH_OUT set to a folder, the written file is kept there for inspection.
void KeepOutput(const QString& file) {
  const QString folder = qEnvironmentVariable("VELEAN13_BENCH_OUT");
  if (folder.isEmpty()) return;
  const QString target = folder + u'/' + QFileInfo(file).fileName();
  QFile::remove(target);
  QFile::copy(file, target);
}

// Image objects and JPEG-encoded ones in the file, from pdfimages -list.
void CountImages(const QString& pdf, benchmark::State& state) {
  QProcess run;
  run.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
  if (!run.waitForFinished(120000)) return;
  QSet<QString> objects;
  int jpeg = 0, images = 0;
  for (const QString& line : QString::fromUtf8(run.readAllStandardOutput()).split(u'\n').mid(2)) {
    const QStringList f = line.simplified().split(u' ');
    if (f.size() < 11 || f[2] != QStringLiteral("image")) continue;
    ++images;
    jpeg += f[8] == QStringLiteral("jpeg");
    objects.insert(f[10]);
  }
  state.counters["images"] = images;
  state.counters["image_objects"] = double(objects.size());
  state.counters["jpeg_images"] = jpeg;
}

void BM_PageListPrintToFile(benchmark::State& state) {
  const int pages = int(state.range(0));
  TMemoryPrinterInstall install({MemoryA4Printer(QStringLiteral("Memory"), 300)}, QStringLiteral("Memory"));
  const std::unique_ptr<TBitmap> picture = RenderEAN13(kValue, EAN13ModulesOf(kValue));
  std::unique_ptr<TVuPageList> list = Document(pages, *picture);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("job.pdf"));
  long growth = 0;
  const long document = StatusKb("VmRSS:");
  for (auto _ : state) {
    state.PauseTiming();
    QFile::remove(file);
    const long before = StatusKb("VmRSS:");
    ResetPeak();
    state.ResumeTiming();
    list->PrintToFile(file);
    state.PauseTiming();
    growth = std::max(growth, StatusKb("VmHWM:") - before);
    state.ResumeTiming();
  }
  state.counters["file_bytes"] = double(QFileInfo(file).size());
  state.counters["peak_growth_MB"] = double(growth) / 1024;
  // The resident size with the document recorded, before any printing.
  state.counters["document_rss_MB"] = double(document) / 1024;
  if (pages <= 100) CountImages(file, state);
  KeepOutput(file);
}
BENCHMARK(BM_PageListPrintToFile)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);
// Peak memory of long jobs: run each alone (--benchmark_filter) to compare.
BENCHMARK(BM_PageListPrintToFile)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The limit: the same pages painted straight onto a Qt PDF printer at 300 dpi.
void BM_QPainterPdfDirect(benchmark::State& state) {
  const int pages = int(state.range(0));
  const std::unique_ptr<TBitmap> picture = RenderEAN13(kValue, EAN13ModulesOf(kValue));
  const QImage image = picture->Image();
  const std::vector<TShape> shapes = PageShapes();
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("direct.pdf"));
  auto px = [](double mm) { return qRound(mm / 25.4 * 300); };
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setResolution(300);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    QPainter p(&printer);
    p.setRenderHint(QPainter::LosslessImageRendering);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    p.setFont(font);
    p.setBrush(QColor(192, 192, 192));
    for (int page = 1; page <= pages; ++page) {
      if (page > 1) printer.newPage();
      p.drawImage(QRect(px(80), px(50), px(55.5625), px(38.629)), image);
      for (const TShape& s : shapes) {
        const QRect r(px(s.X), px(s.Y), px(15), px(6));
        if (s.Kind == TShape::Box) p.drawRect(r);
        else if (s.Kind == TShape::Round) p.drawEllipse(r);
        else p.drawText(r.topLeft() + QPoint(0, px(3)), QStringLiteral("Item %1").arg(page));
      }
    }
    p.end();
  }
  state.counters["file_bytes"] = double(QFileInfo(file).size());
  KeepOutput(file);
}
BENCHMARK(BM_QPainterPdfDirect)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
