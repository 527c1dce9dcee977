// The Print command of the main window, and printing barcode pages without a window: the
// same recorded page (the barcode bitmap 80 mm from the left and 50 mm from the top of an A4
// portrait page, one bitmap pixel a 96th of an inch) through the same page list and print job.
#pragma once
#include <QString>
#include <memory>
#include "preview/printer/Vuprinter.h"

class QWidget;
class TBitmap;
class TVuCanvas;
class TVuPageList;

// Shows the print preview window with the barcode on its first page, modally, and destroys
// it when it closes. Creating the window fails (and nothing is shown) without a printer.
void RunPrintCommand(QWidget* owner, const TBitmap& barcode);

// Records the barcode on the canvas's current page at (80, 50) mm, scale 1.
void DrawBarcodePage(TVuCanvas& canvas, const TBitmap& barcode);

// An empty document with the print window's page set-up: A4 (or the given paper) portrait,
// 5 mm margins, pagesPerSheet pages to a sheet. Its first page is there, empty.
std::unique_ptr<TVuPageList> NewBarcodeDocument(TVuPagesPerSheet pagesPerSheet = vuOnePage, TVuPaperSize paper = A4);
// Records the barcode on the next page: the first, empty page, then a new page each time.
// The document keeps its own shared copy of the picture.
void AddBarcodePage(TVuPageList& document, const TBitmap& barcode);
// Pages that hold a barcode (the first page only once it has one).
int BarcodePageCount(const TVuPageList& document);

struct TBarcodePrintJob {
  QString PrinterName;  // empty: the selected printer (the system's default at first)
  int Copies = 1;
  QString PdfFile;      // not empty: the job goes into this PDF file instead of the spooler
  // When set, the barcode every page carries: the job is refused when it falls outside the
  // printable area of the printer's sheet, instead of printing blank pages.
  const TBitmap* Barcode = nullptr;
};

// Raises when the barcode drawn by DrawBarcodePage would leave the printable area of the
// selected printer's sheet for the document's paper, on any place of a sheet.
void CheckBarcodeFits(TVuPageList& document, const TBitmap& barcode);

// Selects the named printer, or the selected one when name is empty; raises the printer
// error when the queue is not installed or no printer is.
void SelectJobPrinter(TVuPrinter& printer, const QString& name);
// Selects the job's printer (raising the printer error when the queue is not installed or
// no printer is) and gives it the job's title, copies and settings; refuses a job whose barcode falls outside the printable area.
void SetUpBarcodePrinter(TVuPageList& document, const TBarcodePrintJob& job);

// Prints the document on the named printer (or into the PDF file). Raises the printer error
// when the queue is not installed or no printer is. Returns the spooler's job id (0 for a
// PDF file).
int PrintBarcodeDocument(TVuPageList& document, const TBarcodePrintJob& job);
