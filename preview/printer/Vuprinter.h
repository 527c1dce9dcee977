// The engine's printer: selects one of the installed printers, keeps its job settings in
// the printer's device mode, and caches its geometry (paper size, printable area, the
// unprintable strips and the resolution, always measured in portrait). It also runs print
// jobs, on the printer or into a PDF file, in which every page is drawn with its logical
// origin on the physical corner of the paper, one, two or four pages to a sheet.
#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include "platform/Classes.h"
#include "platform/Printers.h"
#include "platform/Types.h"
#include "preview/core/Vufuncs.h"
#include "preview/core/Vutypes.h"

// Ordinals are fixed: stored layouts refer to them. The int base lets a stored value out of
// range be held and refused by the setters.
enum TVuDuplexType : int { vuSimplex, vuHorzDuplex, vuVertDuplex };
enum TVuPrintColor : int { vuColor, vuMonochrome };
enum TVuDitherType : int { vuNone, vuCourse, vuFine, vuLineArt, vuGrayScale };
enum TVuPrintQuality : int { vuDraft, vuLow, vuMedium, vuHigh };
enum TVuPrinterRotation : int { vuRotate0, vuRotate90, vuRotate270 };
enum TVuPagesPerSheet : int { vuOnePage, vuTwoPage, vuFourPage };

// The device's paper code of a paper size (-1 for Custom) and back (Custom for any code
// not among the engine's papers).
int AsDmPaperSize(TVuPaperSize paper);
TVuPaperSize AsVuPaperSize(int code);

// A paper the device offers, with its device paper code.
struct TVuPaperName {
  QString Name;
  int Code = 0;
  bool operator==(const TVuPaperName&) const = default;
};

class TVuPrinter;

class TVuPrinterInfo {
 public:
  explicit TVuPrinterInfo(TVuPrinter* owner = nullptr);

  // Geometry. Each getter loads it from the device the first time; after that the cached
  // values hold until the next explicit refresh. The orientation-aware ones ask the platform
  // printer for its orientation and so fail when no printer is installed.
  Extended PhysicalSizeX();
  Extended PhysicalSizeY();
  int PpiX();
  int PpiY();
  Extended PrintableSizeX();
  Extended PrintableSizeY();
  int AvailableWidth();
  int AvailableHeight();
  TRect Gutters(TVuOrientation orientation);
  TVuRect GuttersInch(TVuOrientation orientation);
  // Refreshes the geometry, then tells whether the platform printer is in landscape.
  bool Orientation();
  TVuPrinterRotation OrientationRotation();

  bool PrinterAvailable();
  // An information context of the selected printer, or nullptr; the caller releases it.
  std::unique_ptr<TPrinterInfoContext> GetPrinterAvailable();

  // Device-mode access: while open, DevMode() is the selected printer's record; closing
  // hands it back so that the changes take effect.
  bool VuOpenPrinter();
  void VuClosePrinter();
  TDeviceMode* DevMode() const { return FDevMode.get(); }
  const QString& Device() const { return FDevice; }
  const QString& Driver() const { return FDriver; }
  const QString& Port() const { return FPort; }

  void ResetPrinter();
  void UpdatePrinter();
  void UseDefaultValues();

  bool Loaded() const { return FLoaded; }
  bool NoDevice() const { return FNoDevice; }
  bool Landscape() const { return FLandscape; }
  void SetLandscape(bool value) { FLandscape = value; }

 private:
  void EnsureLoaded();
  bool PlatformLandscape();

  TVuPrinter* FOwner;
  QString FDevice, FDriver, FPort;
  TDeviceModeHandle FDevMode;
  int FPhysicalWidth = 0, FPhysicalHeight = 0;
  int FPrintableWidth = 0, FPrintableHeight = 0;
  int FGutterLeft = 0, FGutterTop = 0, FGutterRight = 0, FGutterBottom = 0;
  int FPpiX = 0, FPpiY = 0;
  TVuPrinterRotation FRotation = vuRotate90;
  bool FLandscape = false;
  bool FLoaded = false;
  bool FNoDevice = false;
};

class TVuPrinter : public TPersistent {
 public:
  TVuPrinter();
  ~TVuPrinter() override;
  TVuPrinter(const TVuPrinter&) = delete;
  TVuPrinter& operator=(const TVuPrinter&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuPrinter"); }

  TVuPrinterInfo* PrinterInfo() const { return FPrinterInfo.get(); }

  QStringList Printers();
  bool PrinterSelected();
  int GetPrinterIndex();
  // Selects a printer; its job settings start from the driver's defaults, the geometry is
  // read again and OnChangePrinter fires once.
  void SetPrinterIndex(int index);
  // Position of a printer name, compared without regard to case; -1 when absent.
  int GetIndexOf(const QString& name);
  TCanvas& Canvas();
  QPaintDevice* Handle();

  bool IsColorPrinter();
  TVuPaperSize GetPaperSize();
  void SetVuPaperSize(TVuPaperSize paper);
  void SetDMPaperSize(int code);
  // Fills names with the device's papers; left untouched when the device mode cannot be
  // opened or the device reports none.
  void GetPaperNames(QList<TVuPaperName>& names);
  const QStringList& PrinterBins();
  int GetPrinterBinIndex();
  void SetPrinterBinIndex(int index);

  TVuSize GetPaperDimensions(TVuMeasurement measurement);
  Extended GetAvailableWidth(TVuMeasurement measurement);
  Extended GetAvailableHeight(TVuMeasurement measurement);

  TVuOrientation GetOrientation() const { return FOrientation; }
  // The job orientation; outside a job the geometry is read again at once.
  void SetOrientation(TVuOrientation value);
  TVuPagesPerSheet GetPagesPerSheet() const { return FPagesPerSheet; }
  void SetPagesPerSheet(TVuPagesPerSheet value) { FPagesPerSheet = value; }
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  int PageNumber() const { return FPageNumber; }

  // The print job. A job is driven as BeginDoc, then for each page: draw on Canvas(), and
  // before every page after the first SetOrientation (that page's orientation) and NewPage;
  // finally EndDoc. The canvas's logical unit is one device pixel at PpiX/PpiY of the
  // printer info, with (0, 0) on the corner of the paper (or of the page's half or quarter
  // of the sheet, scaled down); the caller sets the clip region of each page. A caller that
  // meets an error in the middle calls Abort, so that nothing half-done reaches the spooler;
  // destroying the printer with a job open aborts it too (without OnAbortPrint).
  //
  // Starts a job: fails with "There is no default printer currently selected" when no
  // printer is installed; shows "Unable to print... No Printer available." and starts
  // nothing when the selected printer's driver cannot be opened. BeforePrint may call Abort.
  void BeginDoc();
  // The same job into that PDF file (empty: to the spooler), whatever GetOutputFileName says.
  void BeginDoc(const QString& outputFile);
  // Moves to the next page, starting a new sheet when the current one is full. With one page
  // to a sheet each sheet takes the orientation set for it; with two or four pages to a
  // sheet every sheet keeps the orientation the job's first sheet had.
  void NewPage();
  // Ends the job and fires AfterPrint; nothing when no job is open.
  void EndDoc();
  // Drops the job and fires OnAbortPrint; nothing when no job is open.
  void Abort();
  // Places a page on the sheet: sets the canvas's mapping for the page's part of the sheet
  // and clears the clip region.
  void SetDrawingArea(int pageNumber);
  // With two pages to a sheet, flips Orientation between portrait and landscape (two
  // portrait pages share a landscape sheet); otherwise does nothing.
  void AlterOrientation();
  // The orientation of the sheet being printed (the job's first sheet with two or four
  // pages to a sheet); Orientation outside a job.
  TVuOrientation SheetOrientation() const { return FPrinting ? FSheetOrientation : FOrientation; }
  // A PDF file that jobs are written to instead of the printer, at the printer's
  // resolution with the same sheets and margins; empty (the default) prints. Kept until
  // changed; refused while printing. A file that cannot be written raises the file-creation
  // error at BeginDoc or EndDoc and leaves no file.
  const QString& GetOutputFileName() const { return FOutputFileName; }
  void SetOutputFileName(const QString& fileName);

  // Job settings, read from and written to the selected printer's device mode every time.
  bool GetCollate();
  void SetCollate(bool value);
  TVuDuplexType GetDuplex();
  void SetDuplex(TVuDuplexType value);
  int GetPrintCopies();
  void SetPrintCopies(int value);
  TVuPrintColor GetPrintColor();
  void SetPrintColor(TVuPrintColor value);
  TVuDitherType GetDitherType();
  void SetDitherType(TVuDitherType value);
  TVuPrintQuality GetPrintQuality();
  // The resolution may change with the quality, so the geometry is read again.
  void SetPrintQuality(TVuPrintQuality value);

  // The name under which jobs are spooled.
  QString Title = QStringLiteral("<document>");
  // Stored with the component; page order comes only from the range printed.
  bool ReversePrintOrder = false;
  TNotifyEvent BeforePrint;
  TNotifyEvent AfterPrint;
  TNotifyEvent OnAbortPrint;
  TNotifyEvent OnChangePrinter;

 protected:
  // Runs f on the open device mode with flag added to its field mask, then closes it;
  // false when the device mode cannot be opened.
  template <class F>
  bool WithDevMode(unsigned flag, F f);

  // Puts the canvas back to device pixels and no clip, as outside a job.
  void ResetCanvas();

  std::unique_ptr<TVuPrinterInfo> FPrinterInfo;
  TVuOrientation FOrientation = vuPortrait;
  TVuPagesPerSheet FPagesPerSheet = vuOnePage;
  bool FPrinting = false;
  bool FAborted = false;
  int FPageNumber = 0;
  TVuOrientation FJobOrientation = vuPortrait;
  TVuOrientation FSheetOrientation = vuPortrait;
  QString FOutputFileName;
  QStringList FBins;
};

// Aborts the printer's job if it is still open when the guard goes out of scope, so that an
// error raised while pages are drawn leaves nothing half-done in the spooler. A job ended
// with EndDoc or Abort is left alone.
class TVuPrintJobGuard {
 public:
  explicit TVuPrintJobGuard(TVuPrinter& printer) : FPrinter(printer) {}
  ~TVuPrintJobGuard();
  TVuPrintJobGuard(const TVuPrintJobGuard&) = delete;
  TVuPrintJobGuard& operator=(const TVuPrintJobGuard&) = delete;

 private:
  TVuPrinter& FPrinter;
};
