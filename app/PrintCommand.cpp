#include "app/PrintCommand.h"
#include <algorithm>
#include <utility>
#include <vector>
#include "app/PrintPreviewForm.h"
#include "platform/Errors.h"
#include "platform/Graphics.h"
#include "platform/Printers.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"

namespace {
constexpr Extended BarcodeLeftMm = 80, BarcodeTopMm = 50;
}  // namespace

void DrawBarcodePage(TVuCanvas& canvas, const TBitmap& barcode) {
  canvas.Draw(BarcodeLeftMm, BarcodeTopMm, barcode, 1, vuMillimeters);
}

void CheckBarcodeFits(TVuPageList& document, const TBitmap& barcode) {
  TVuPrinter& printer = document.VuPrinter();
  const TVuPagesPerSheet perSheet = document.PagesPerSheet();
  // The sheet as the job will have it: the document's paper (or the device's own when it has
  // not that one), two portrait pages side by side on a landscape sheet.
  const TVuOrientation sheet = perSheet == vuTwoPage ? vuLandscape : vuPortrait;
  printer.SetVuPaperSize(document.PaperSize());
  Printer().SetOrientation(sheet == vuLandscape ? poLandscape : poPortrait);
  TVuPrinterInfo& info = *printer.PrinterInfo();
  info.UpdatePrinter();
  const Extended w = info.PhysicalSizeX(), h = info.PhysicalSizeY();
  const TVuRect strips = info.GuttersInch(sheet);
  Printer().SetOrientation(poPortrait);
  // Where a page lands on the sheet, as the print job places it: scale and the corners of
  // the sheet's parts.
  Extended scale = 1;
  std::vector<std::pair<Extended, Extended>> corners{{0, 0}};
  if (perSheet == vuTwoPage) {
    scale = Extended(int(std::min(w, h) * 100 / std::max(w, h))) / 100;
    corners.push_back(sheet == vuLandscape ? std::pair{w / 2, Extended(0)} : std::pair{Extended(0), h / 2});
  } else if (perSheet == vuFourPage) {
    scale = 0.49L;
    corners = {{0, 0}, {w / 2, 0}, {0, h / 2}, {w / 2, h / 2}};
  }
  const Extended left = BarcodeLeftMm / 25.4L, top = BarcodeTopMm / 25.4L;
  const Extended right = left + Extended(barcode.Width()) / 96, bottom = top + Extended(barcode.Height()) / 96;
  // Half a device pixel of rounding either way.
  const Extended slack = 0.5L / std::max(1, info.PpiX());
  for (const auto& [x, y] : corners) {
    const bool inside = x + left * scale >= strips.Left - slack && y + top * scale >= strips.Top - slack &&
                        x + right * scale <= w - strips.Right + slack && y + bottom * scale <= h - strips.Bottom + slack;
    if (!inside)
      throw EPrinter(QStringLiteral("The barcode lies outside the printable area of the %1 x %2 mm paper: nothing was printed.")
                         .arg(double(w * 25.4L), 0, 'f', 0)
                         .arg(double(h * 25.4L), 0, 'f', 0));
  }
}

void RunPrintCommand(QWidget* owner, const TBitmap& barcode) {
  auto form = std::make_unique<TPrintPreviewForm>(owner);
  DrawBarcodePage(form->VuPreview1->Canvas(), barcode);
  form->exec();
}

std::unique_ptr<TVuPageList> NewBarcodeDocument(TVuPagesPerSheet pagesPerSheet, TVuPaperSize paper) {
  auto document = std::make_unique<TVuPageList>();
  document->SetPaperSize(paper);
  document->SetOrientation(vuPortrait);
  document->SetPagesPerSheet(pagesPerSheet);
  TVuMargins& margins = document->Margins();
  margins.Top().SetAsMillimeters(5);
  margins.Bottom().SetAsMillimeters(5);
  margins.Left().SetAsMillimeters(5);
  margins.Right().SetAsMillimeters(5);
  // A value listed twice keeps one copy of its picture.
  document->Canvas().SetCompareImages(true);
  document->AddPage();
  return document;
}

int BarcodePageCount(const TVuPageList& document) {
  return document.Count() == 1 && document.Page(1)->Count() == 0 ? 0 : document.Count();
}

void AddBarcodePage(TVuPageList& document, const TBitmap& barcode) {
  if (BarcodePageCount(document) > 0) document.AddPage();
  DrawBarcodePage(document.Canvas(), barcode);
}

void SelectJobPrinter(TVuPrinter& printer, const QString& name) {
  if (!name.isEmpty()) {
    const int index = printer.GetIndexOf(name);
    if (index < 0) throw EPrinter(QStringLiteral("Printer \"%1\" is not installed.").arg(name));
    printer.SetPrinterIndex(index);
  } else {
    // Raises the printer error when none is installed.
    printer.GetPrinterIndex();
  }
}

void SetUpBarcodePrinter(TVuPageList& document, const TBarcodePrintJob& job) {
  TVuPrinter& printer = document.VuPrinter();
  SelectJobPrinter(printer, job.PrinterName);
  printer.Title = QStringLiteral("<document>");
  printer.SetCollate(false);
  printer.SetDuplex(vuSimplex);
  printer.SetPrintColor(vuColor);
  printer.SetPrintQuality(vuMedium);
  printer.SetPrintCopies(job.Copies);
  if (job.Barcode) CheckBarcodeFits(document, *job.Barcode);
}

int PrintBarcodeDocument(TVuPageList& document, const TBarcodePrintJob& job) {
  SetUpBarcodePrinter(document, job);
  if (!job.PdfFile.isEmpty()) {
    document.PrintToFile(job.PdfFile);
    return 0;
  }
  document.Print();
  if (document.VuPrinter().Aborted()) throw EPrinter(QStringLiteral("The print job was aborted."));
  return Printer().LastJobId();
}
