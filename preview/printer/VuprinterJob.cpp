// The print job of TVuPrinter: starting and ending it, placing one, two or four pages on
// each sheet, and sheets in their own orientation.
#include <QPainter>
#include <algorithm>
#include <cmath>
#include "platform/Errors.h"
#include "platform/Services.h"
#include "preview/printer/Vuprinter.h"

namespace {

TPrinterOrientation AsPlatform(TVuOrientation o) { return o == vuLandscape ? poLandscape : poPortrait; }

// Clears the printing flag when starting a job fails half-way, so that the printer is idle
// again and the next job can start.
struct TStartGuard {
  bool& Printing;
  bool Done = false;
  ~TStartGuard() {
    if (!Done) Printing = false;
  }
};

}  // namespace

void TVuPrinter::SetOutputFileName(const QString& fileName) {
  if (FPrinting) throw EPrinter(QStringLiteral("Printing in progress"));
  FOutputFileName = fileName;
}

void TVuPrinter::AlterOrientation() {
  if (FPagesPerSheet != vuTwoPage) return;
  SetOrientation(FOrientation == vuPortrait ? vuLandscape : vuPortrait);
}

void TVuPrinter::BeginDoc() { BeginDoc(FOutputFileName); }

void TVuPrinter::BeginDoc(const QString& outputFile) {
  TPrinter& p = Printer();
  p.PrinterIndex();  // fails when no printer is installed
  if (!FPrinterInfo->GetPrinterAvailable()) {
    ShowMessage(QStringLiteral("Unable to print... No Printer available."));
    return;
  }
  if (FPrinting || p.Printers().isEmpty()) return;

  FPrinting = true;
  FAborted = false;
  TStartGuard guard{FPrinting};
  const int index = p.PrinterIndex();
  if (BeforePrint) BeforePrint(this);
  if (FAborted || !FPrinting) {
    guard.Done = true;
    return;
  }
  // A printer chosen in BeforePrint starts from its driver's defaults.
  if (p.PrinterIndex() != index) SetPrinterIndex(p.PrinterIndex());
  // Two portrait pages share a landscape sheet and the other way round.
  AlterOrientation();

  p.SetOrientation(AsPlatform(FOrientation));
  FPrinterInfo->UpdatePrinter();
  p.Title = Title;
  p.BeginDoc(outputFile);
  guard.Done = true;
  FPageNumber = 1;
  FJobOrientation = FOrientation;
  FSheetOrientation = FOrientation;
  SetDrawingArea(1);
}

void TVuPrinter::SetDrawingArea(int pageNumber) {
  TVuPrinterInfo& info = *FPrinterInfo;
  const int w = int(llrintl(info.PpiX() * info.PhysicalSizeX()));
  const int h = int(llrintl(info.PpiY() * info.PhysicalSizeY()));
  const TRect gutters = info.Gutters(Printer().Orientation() == poLandscape ? vuLandscape : vuPortrait);

  int left = 0, top = 0, right = w, bottom = h, scale = 100;
  switch (FPagesPerSheet) {
    case vuTwoPage: {
      scale = std::min(w, h) * 100 / std::max(w, h);
      const bool odd = pageNumber % 2 != 0;
      if (SheetOrientation() == vuPortrait) {
        if (odd) bottom = h / 2;
        else top = h / 2;
      } else {
        if (odd) right = w / 2;
        else left = w / 2;
      }
      break;
    }
    case vuFourPage:
      scale = 49;
      switch (pageNumber % 4) {
        case 1: right = w / 2, bottom = h / 2; break;
        case 2: left = w / 2, bottom = h / 2; break;
        case 3: right = w / 2, top = h / 2; break;
        default: left = w / 2, top = h / 2; break;
      }
      break;
    default: break;
  }

  TCanvas& c = Canvas();
  c.SelectClipRgn(nullptr);
  c.SetMapMode(mmAnisotropic);
  c.SetWindowOrg(0, 0);
  c.SetWindowExt(right - left, bottom - top);
  c.SetViewportExt((right - left) * scale / 100, (bottom - top) * scale / 100);
  // The device's origin is the printable corner; the page's is the paper's.
  c.SetViewportOrg(left - gutters.Left, top - gutters.Top);
}

void TVuPrinter::NewPage() {
  if (!FPrinting) return;
  const int previous = FPageNumber;
  ++FPageNumber;
  bool newSheet = true;
  if (FPagesPerSheet == vuTwoPage) newSheet = previous % 2 == 0;
  if (FPagesPerSheet == vuFourPage) newSheet = previous % 4 == 0;
  if (newSheet) {
    // One page to a sheet: the sheet takes the page's orientation. More: every sheet keeps
    // the first sheet's, so that the pages keep their places on it.
    FSheetOrientation = FPagesPerSheet == vuOnePage ? FOrientation : FJobOrientation;
    Printer().SetOrientation(AsPlatform(FSheetOrientation));
    try {
      Printer().NewPage();
    } catch (...) {
      // The platform dropped the job; the engine's job ends with it.
      FPrinting = false;
      FAborted = true;
      ResetCanvas();
      throw;
    }
  }
  SetDrawingArea(FPageNumber);
}

void TVuPrinter::EndDoc() {
  if (!FPrinting) return;
  FPrinting = false;
  ResetCanvas();
  if (!Printer().Printing()) {
    // The platform dropped the job (its print service was replaced): nothing was printed.
    FAborted = true;
    if (OnAbortPrint) OnAbortPrint(this);
    return;
  }
  Printer().EndDoc();
  if (AfterPrint) AfterPrint(this);
}

void TVuPrinter::Abort() {
  if (!FPrinting) return;
  if (Printer().Printing()) Printer().Abort();
  FAborted = true;
  FPrinting = false;
  ResetCanvas();
  if (OnAbortPrint) OnAbortPrint(this);
}

void TVuPrinter::ResetCanvas() {
  TCanvas& c = Canvas();
  c.SelectClipRgn(nullptr);
  c.SetMapMode(mmText);
  c.SetWindowOrg(0, 0);
  c.SetViewportOrg(0, 0);
}

TVuPrintJobGuard::~TVuPrintJobGuard() {
  if (!FPrinter.Printing()) return;
  try {
    FPrinter.Abort();
  } catch (...) {
  }
}
