// The page list's print jobs: replaying recorded pages on the printer, or into a PDF file.
#include <cerrno>
#include <vector>
#include "platform/Errors.h"
#include "preview/document/Vupagelist.h"

void TVuPageList::Print() {
  if (Count() > 0) PrintRange(1, Count());
}

void TVuPageList::PrintRange(int from, int to) {
  std::vector<int> pages;
  pages.reserve(size_t(std::abs(to - from)) + 1);
  const int step = from <= to ? 1 : -1;
  for (int n = from;; n += step) {
    pages.push_back(n);
    if (n == to) break;
  }
  PrintPages(pages);
}

void TVuPageList::DoPrintProgress(int current, int total) { OnPrintProgress(this, current, total); }

void TVuPageList::PrintPages(std::span<const int> pages) { PrintPagesTo(pages, FPrinter->GetOutputFileName()); }

bool TVuPageList::BeginPrintJob(TVuOrientation firstOrientation, const QString& outputFile) {
  TVuPrinter& printer = *FPrinter;
  printer.SetOrientation(firstOrientation);
  printer.SetPagesPerSheet(FPagesPerSheet);
  printer.SetVuPaperSize(FPaperSize);
  printer.BeginDoc(outputFile);
  return printer.Printing() && !printer.Aborted();
}

void TVuPageList::PrintPageOnJob(TVuPage& page) {
  TVuPrinter& printer = *FPrinter;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  const int px = info.PpiX(), py = info.PpiY();
  const TVuSize size = page.GetPageSize(vuInches);
  TRect clip{0, 0, VuRound(size.Width * px), VuRound(size.Height * py)};
  if (FMargins->GetClipMargins()) {
    const TVuRect m = FMargins->GetUsePrinterMargins() ? PrinterGutters(page.GetOrientation()) : FMargins->GetAsInches();
    clip = TRect{VuRound(m.Left * px), VuRound(m.Top * py), VuRound((size.Width - m.Right) * px),
                 VuRound((size.Height - m.Bottom) * py)};
  }
  // The clip is given in the page's units and goes to the device through the sheet's
  // mapping, so a page scaled onto a half or quarter is clipped to its own part.
  TCanvas& canvas = printer.Canvas();
  canvas.BeginPath();
  canvas.Rectangle(clip.Left, clip.Top, clip.Right, clip.Bottom);
  canvas.EndPath();
  const QRegion region = canvas.PathToRegion();
  canvas.SelectClipRgn(&region);
  page.DrawToCanvas(canvas, px, py, false);
}

void TVuPageList::PrintPagesTo(std::span<const int> pages, const QString& outputFile) {
  if (pages.empty()) return;
  TVuPrinter& printer = *FPrinter;
  if (!BeginPrintJob(Page(pages[0])->GetOrientation(), outputFile)) return;
  // A page lookup or drawing that fails aborts the job before the error goes on.
  TVuPrintJobGuard guard(printer);
  const int total = int(pages.size());
  for (int i = 0; i < total; ++i) {
    PrintPageOnJob(*Page(pages[i]));
    if (i + 1 < total) {
      printer.SetOrientation(Page(pages[i + 1])->GetOrientation());
      printer.NewPage();
    }
    DoPrintProgress(i + 1, total);
    if (printer.Aborted() || !printer.Printing()) return;
  }
  printer.EndDoc();
}

void TVuPageList::PrintToFile(const QString& fileName) {
  // An empty name would send the job to the printer instead.
  if (fileName.isEmpty()) RaiseCreateError(fileName, ENOENT);
  if (Count() == 0) return;
  std::vector<int> pages(static_cast<size_t>(Count()));
  for (int n = 1; n <= Count(); ++n) pages[size_t(n - 1)] = n;
  PrintPagesTo(pages, fileName);
}
