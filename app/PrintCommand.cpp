#include "app/PrintCommand.h"
#include "app/PrintPreviewForm.h"
#include "platform/Errors.h"
#include "platform/Graphics.h"
#include "platform/Printers.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"

void DrawBarcodePage(TVuCanvas& canvas, const TBitmap& barcode) {
  canvas.Draw(80, 50, barcode, 1, vuMillimeters);
}

void RunPrintCommand(QWidget* owner, const TBitmap& barcode) {
  auto form = std::make_unique<TPrintPreviewForm>(owner);
  DrawBarcodePage(form->VuPreview1->Canvas(), barcode);
  form->exec();
}

std::unique_ptr<TVuPageList> NewBarcodeDocument(TVuPagesPerSheet pagesPerSheet) {
  auto document = std::make_unique<TVuPageList>();
  document->SetPaperSize(A4);
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

void SetUpBarcodePrinter(TVuPageList& document, const TBarcodePrintJob& job) {
  TVuPrinter& printer = document.VuPrinter();
  if (!job.PrinterName.isEmpty()) {
    const int index = printer.GetIndexOf(job.PrinterName);
    if (index < 0) throw EPrinter(QStringLiteral("Printer \"%1\" is not installed.").arg(job.PrinterName));
    printer.SetPrinterIndex(index);
  } else {
    // Raises the printer error when none is installed.
    printer.GetPrinterIndex();
  }
  printer.Title = QStringLiteral("<document>");
  printer.SetCollate(false);
  printer.SetDuplex(vuSimplex);
  printer.SetPrintColor(vuColor);
  printer.SetPrintQuality(vuMedium);
  printer.SetPrintCopies(job.Copies);
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
