// The process-wide printer: the installed printers, the selected one with its device mode,
// its capabilities and geometry, and print jobs under a title. Everything goes through a
// backend: the system's print service (CUPS) unless a test installs another.
#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <memory>
#include "platform/Canvas.h"
#include "platform/PrinterBackend.h"

enum TPrinterOrientation { poPortrait, poLandscape };

// A device mode handed out by GetPrinter. Changes made to it reach the printer only when
// it is given back through SetPrinter.
using TDeviceModeHandle = std::shared_ptr<TDeviceMode>;

// The canvas of a printer: on the page of the open job, or on an information surface with
// the printer's metrics outside a job.
class TPrinterCanvas : public TCanvas {
 public:
  using TCanvas::TCanvas;
};

// An information context of one printer: its geometry for a device mode, read once.
class TPrinterInfoContext {
 public:
  TPrinterInfoContext(QString device, TDeviceGeometry geometry)
      : FDevice(std::move(device)), FGeometry(geometry) {}
  const QString& Device() const { return FDevice; }
  const TDeviceGeometry& Geometry() const { return FGeometry; }

 private:
  QString FDevice;
  TDeviceGeometry FGeometry;
};

class TPrinter {
 public:
  explicit TPrinter(std::unique_ptr<TPrinterBackend> backend);
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // Installed printer names, read once; Refresh reads them again, with everything the
  // backend keeps of the printers.
  const QStringList& Printers();
  void Refresh();
  // The selected printer: the default printer until one is chosen. Raises the printer
  // error "There is no default printer currently selected" when none is installed.
  int PrinterIndex();
  // -1 selects the default printer. Every setting starts from the driver's defaults.
  void SetPrinterIndex(int index);
  TPrinterOrientation Orientation();
  void SetOrientation(TPrinterOrientation value);

  // The selection's device, driver, port and a copy of its device mode (nullptr when the
  // device has none).
  void GetPrinter(QString& device, QString& driver, QString& port, TDeviceModeHandle& mode);
  // Selects the device with the given device mode; with no device mode the driver's
  // defaults are used. Fields the device does not honour keep the driver's values. False
  // when the device is not installed or the device mode holds a value out of range.
  bool SetPrinter(const QString& device, const QString& driver, const QString& port,
                  const TDeviceModeHandle& mode);

  // Capabilities of a device by name (read once per device until Refresh). A copy, so that
  // it stays valid whatever is looked up or refreshed after it.
  TDeviceCapabilities Capabilities(const QString& device);
  // An information context of the named device for its current settings; nullptr when
  // its driver cannot be opened.
  std::unique_ptr<TPrinterInfoContext> CreateInformationContext(const QString& device);
  // Geometry of the selection for its current settings, from the device every time; false
  // when its driver cannot be opened. Raises when no printer is installed.
  bool DeviceGeometry(TDeviceGeometry& geometry);

  // Print jobs. With an output file name the job goes into that PDF file instead of the
  // spooler (the file-creation error when it cannot be written). Every page's painter draws
  // pictures losslessly.
  void BeginDoc(const QString& outputFile = QString());
  void NewPage();
  void EndDoc();
  void Abort();
  bool Printing() const { return FJob != nullptr; }
  bool Aborted() const { return FAborted; }
  int PageNumber() const { return FPageNumber; }
  // The spooler's id of the last job that ended with EndDoc; 0 for a file job, before any
  // job and after a job that did not reach the spooler.
  int LastJobId() const { return FLastJobId; }
  QString Title;
  TPrinterCanvas& Canvas();
  // The device of the open job's page, or an information surface with the selection's
  // metrics outside a job.
  QPaintDevice* Handle();

  TPrinterBackend& Backend() { return *FBackend; }
  // Puts the printer on another print service. The printer itself lives on, so that its
  // canvas and information surface stay valid for whoever holds them; an open job is
  // aborted, and the printer list, the selection and its settings are read afresh. Returns
  // the service it was on, so that a caller can put it back.
  std::unique_ptr<TPrinterBackend> SetBackend(std::unique_ptr<TPrinterBackend> backend);

 private:
  int SelectedIndex();  // raises when no printer is installed
  QString SelectedName();
  TDeviceMode& Mode();  // the selection's device mode, driver defaults when none was set
  void LoadDefaults();
  // The selection or its settings changed: the information surface is measured again on
  // its next use.
  void InvalidateInfo();
  // Begins the painter on the job's page; false when the page cannot be painted on.
  bool BeginJobPainter();

  std::unique_ptr<TPrinterBackend> FBackend;
  bool FListRead = false;
  QStringList FPrinters;
  int FIndex = -1;  // -1: the default printer, resolved on first use
  bool FModeLoaded = false;
  bool FHasMode = false;
  TDeviceMode FMode;
  QMap<QString, TDeviceCapabilities> FCaps;
  std::unique_ptr<TPrintJob> FJob;
  bool FAborted = false;
  int FPageNumber = 0;
  int FLastJobId = 0;
  std::unique_ptr<TDevicePicture> FInfoSurface;
  bool FInfoStale = true;
  TPrinterCanvas FCanvas;
};

// The process-wide printer, created on first use with the system's print service.
TPrinter& Printer();
// Puts the process-wide printer on the given backend; nullptr goes back to the system's
// print service. The printer object stays the same; returns it.
TPrinter& SetPrinterBackend(std::unique_ptr<TPrinterBackend> backend);
std::unique_ptr<TPrinterBackend> CreateCupsPrinterBackend();
