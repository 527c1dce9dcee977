// The engine's printer: selects one of the installed printers, keeps its job settings in
// the printer's device mode, and caches its geometry (paper size, printable area, the
// unprintable strips and the resolution, always measured in portrait).
#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include "platform/Classes.h"
#include "platform/Printers.h"
#include "platform/Types.h"
#include "preview/Vufuncs.h"
#include "preview/Vutypes.h"

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

  std::unique_ptr<TVuPrinterInfo> FPrinterInfo;
  TVuOrientation FOrientation = vuPortrait;
  TVuPagesPerSheet FPagesPerSheet = vuOnePage;
  bool FPrinting = false;
  bool FAborted = false;
  int FPageNumber = 0;
  TVuOrientation FJobOrientation = vuPortrait;
  QStringList FBins;
};
