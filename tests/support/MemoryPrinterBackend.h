// A print service held in memory, for tests: printers of given geometry and capabilities,
// printers whose driver cannot be opened, or none at all. Jobs are kept as recorded pages
// and every call that would reach a device is counted.
#pragma once
#include <functional>
#include <vector>
#include "platform/PrinterBackend.h"

struct TMemoryPrinter {
  QString Name;
  QString Driver = QStringLiteral("memory");
  QString Port = QStringLiteral("memory:");
  bool DriverOpens = true;    // an information context can be created
  bool HasDeviceMode = true;  // the driver hands out a device mode
  TDeviceCapabilities Capabilities;
  TDeviceMode Defaults;       // Fields and DeviceName are filled in by the backend
  // Portrait geometry at Capabilities.DefaultResolution; other resolutions scale it and
  // landscape turns it a quarter.
  TDeviceGeometry Geometry;
  // When set, decides the geometry instead (for paper-dependent devices).
  std::function<TDeviceGeometry(const TDeviceMode&)> GeometryFor;
  bool RefuseJobs = false;    // StartJob fails
};

// A colour A4 printer at the given resolution with the given unprintable strips.
TMemoryPrinter MemoryA4Printer(const QString& name, int ppi = 300, int left = 0, int top = 0,
                               int right = 0, int bottom = 0);

struct TMemoryJob {
  QString Device;
  QString Title;
  TDeviceMode Mode;  // the settings at the start of the job
  std::vector<std::unique_ptr<TDevicePicture>> Pages;
  std::vector<TDeviceMode> PageModes;
  bool Finished = false;
  bool Aborted = false;
};

class TMemoryPrinterBackend : public TPrinterBackend {
 public:
  std::vector<TMemoryPrinter> Printers;
  QString DefaultName;  // empty: no default printer
  std::vector<std::shared_ptr<TMemoryJob>> Jobs;

  // Calls that reach a device, by kind.
  int OpenDriverCalls = 0;
  int DefaultsCalls = 0;
  int CapabilityCalls = 0;
  int GeometryCalls = 0;
  int DeviceCalls() const { return OpenDriverCalls + DefaultsCalls + CapabilityCalls + GeometryCalls; }

  TMemoryPrinter* Find(const QString& device);

  QStringList PrinterNames() override;
  QString DefaultPrinterName() override { return DefaultName; }
  QString DriverName(const QString& device) override;
  QString PortName(const QString& device) override;
  bool OpenDriver(const QString& device) override;
  bool DriverDefaults(const QString& device, TDeviceMode& mode) override;
  TDeviceCapabilities Capabilities(const QString& device) override;
  bool Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& geometry) override;
  std::unique_ptr<TPrintJob> StartJob(const QString& device, const TDeviceMode& mode,
                                      const QString& title) override;
};

// Installs an in-memory print service as the process-wide printer's backend for the
// lifetime of the object, then goes back to the system's print service.
class TMemoryPrinterInstall {
 public:
  explicit TMemoryPrinterInstall(std::vector<TMemoryPrinter> printers, const QString& defaultName = QString());
  ~TMemoryPrinterInstall();
  TMemoryPrinterInstall(const TMemoryPrinterInstall&) = delete;
  TMemoryPrinterInstall& operator=(const TMemoryPrinterInstall&) = delete;
  TMemoryPrinterBackend& Backend() { return *FBackend; }

 private:
  TMemoryPrinterBackend* FBackend;
};
