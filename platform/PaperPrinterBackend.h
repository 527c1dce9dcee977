// A print service with no spooler: one device that is a blank sheet of paper, for jobs that
// go into a PDF file and need no installed printer. The whole sheet is printable.
#pragma once
#include <QList>
#include <QSizeF>
#include "platform/PrinterBackend.h"

struct TPaperSheet {
  QString Name;
  int Code = 0;        // the device-mode paper code
  QSizeF Millimeters;  // upright
};

class TPaperPrinterBackend : public TPrinterBackend {
 public:
  // The device offers papers at the given resolution; the one with defaultCode is its own.
  TPaperPrinterBackend(QList<TPaperSheet> papers, int defaultCode, int resolution);
  // The name of the one device.
  static QString DeviceName();

  QStringList PrinterNames() override { return {DeviceName()}; }
  QString DefaultPrinterName() override { return DeviceName(); }
  QString DriverName(const QString&) override { return QStringLiteral("VelEAN13 paper"); }
  QString PortName(const QString&) override { return QStringLiteral("FILE:"); }
  bool OpenDriver(const QString& device) override { return device == DeviceName(); }
  bool DriverDefaults(const QString& device, TDeviceMode& mode) override;
  TDeviceCapabilities Capabilities(const QString& device) override;
  bool Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& geometry) override;
  // Only file jobs: there is no spooler to hand a job to.
  std::unique_ptr<TPrintJob> StartJob(const QString&, const TDeviceMode&, const QString&) override {
    return nullptr;
  }

 private:
  const TPaperSheet& Sheet(int code) const;

  QList<TPaperSheet> FPapers;
  int FDefaultCode;
  int FResolution;
};

// The paper the system's locale implies: Letter where the locale measures in US units
// (en_US and the like), A4 everywhere else.
bool LocaleUsesLetter();
