#include "preview/document/VupageStream.h"
#include "platform/Errors.h"
#include "platform/Finally.h"
#include "platform/Printers.h"

TVuPageStreamJob::TVuPageStreamJob(TVuPageList& document, QString outputFile)
    : FDocument(document), FOutputFile(std::move(outputFile)) {
  if (FDocument.Count() == 1 && FDocument.Page(1)->Count() == 0) FDocument.ClearPages(true, false);
}

TVuPageStreamJob::~TVuPageStreamJob() {
  TVuPrinter& printer = FDocument.VuPrinter();
  if (FFinished || !printer.Printing()) return;
  try {
    printer.Abort();
  } catch (...) {
  }
}

int TVuPageStreamJob::PagesPerSheet() const {
  switch (FDocument.PagesPerSheet()) {
    case vuTwoPage: return 2;
    case vuFourPage: return 4;
    default: return 1;
  }
}

TVuPage* TVuPageStreamJob::NewPage() {
  if (FFinished) throw EPrinter(QStringLiteral("The print job has ended"));
  if (PagesHeld() >= PagesPerSheet()) PrintHeld();
  return FDocument.AddPage();
}

void TVuPageStreamJob::PrintHeld() {
  // The held pages are numbered within the whole job while they are drawn.
  FDocument.SetPageNumbering(FPrinted, FTotalPages);
  TryFinally([&] { PrintPages(); }, [&] { FDocument.SetPageNumbering(-1, 0); });
  // The sheet is on its way: its pages (and unless kept, the pictures, pens and fonts they
  // used) go.
  FDocument.ClearPages(true, !FKeepResources);
}

void TVuPageStreamJob::PrintPages() {
  TVuPrinter& printer = FDocument.VuPrinter();
  const int held = PagesHeld();
  for (int n = 1; n <= held; ++n) {
    TVuPage& page = *FDocument.Page(n);
    if (!FStarted) {
      if (!FDocument.BeginPrintJob(page.GetOrientation(), FOutputFile))
        throw EPrinter(QStringLiteral("The print job was aborted."));
      FStarted = true;
    } else {
      printer.SetOrientation(page.GetOrientation());
      printer.NewPage();
    }
    FDocument.PrintPageOnJob(page);
    ++FPrinted;
    if (printer.Aborted() || !printer.Printing()) throw EPrinter(QStringLiteral("The print job was aborted."));
  }
}

void TVuPageStreamJob::Finish() {
  if (FFinished) return;
  if (PagesHeld() > 0) PrintHeld();
  FFinished = true;
  if (!FStarted) return;
  FDocument.VuPrinter().EndDoc();
  if (FDocument.VuPrinter().Aborted()) throw EPrinter(QStringLiteral("The print job was aborted."));
  FJobId = Printer().LastJobId();
}
