// The system's print service: CUPS queues through Qt's print support, with what Qt does
// not tell (paper sources, landscape rotation, resolution and colour choices) read from the
// queue's PPD. Jobs are drawn into a PDF by Qt and handed to CUPS with every setting of the
// device mode as a job option.
#pragma once
#include <QMap>
#include <QMarginsF>
#include <QPageSize>
#include "platform/PrinterBackend.h"

// What the PPD of one queue says beyond what Qt reports.
struct TCupsPpdInfo {
  bool Loaded = false;
  int Landscape = 90;                 // 90 or 270
  QList<TBinInfo> Bins;               // InputSlot choices
  QString DefaultBin;                 // InputSlot default choice
  QMap<int, QString> Resolutions;     // dpi -> Resolution choice
  int DefaultResolution = 0;          // 0: the PPD has no Resolution option
  QStringList ColorModels;            // ColorModel choices
  struct Size { QString Name; double Width = 0, Length = 0; };  // PageSize choices, points
  QList<Size> Sizes;
};

// The paper of a queue without a driver file: the scheduler's default media with its
// printable area where it knows one, else the queue's media option (media-default), else the
// paper of the system's locale, all of it printable.
struct TCupsQueueMedia {
  QPageSize Size;
  QMarginsF Margins;  // millimetres
};
TCupsQueueMedia ReadQueueMedia(const QString& device);

class TCupsPrinterBackend : public TPrinterBackend {
 public:
  QStringList PrinterNames() override;
  QString DefaultPrinterName() override;
  QString DriverName(const QString& device) override;
  QString PortName(const QString& device) override;
  bool OpenDriver(const QString& device) override;
  bool DriverDefaults(const QString& device, TDeviceMode& mode) override;
  TDeviceCapabilities Capabilities(const QString& device) override;
  bool Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& geometry) override;
  std::unique_ptr<TPrintJob> StartJob(const QString& device, const TDeviceMode& mode,
                                      const QString& title) override;

  // The CUPS job options that carry the settings of a device mode to the spooler.
  QList<QPair<QString, QString>> JobOptions(const QString& device, const TDeviceMode& mode);
  // The id CUPS gave the last job handed to it (0 when none or refused).
  int LastJobId() const { return FLastJobId; }
  void SetLastJobId(int id) { FLastJobId = id; }

  const TCupsPpdInfo& Ppd(const QString& device);
  // The media of a queue without a driver file, read once until Refresh.
  const TCupsQueueMedia& Media(const QString& device);
  // Capabilities, driver defaults, driver and port names are read once per queue until Refresh.
  void Refresh() override;

 private:
  TDeviceCapabilities ReadCapabilities(const QString& device);
  bool ReadDriverDefaults(const QString& device, TDeviceMode& mode);
  QString ReadPortName(const QString& device);

  QMap<QString, TCupsPpdInfo> FPpd;
  QMap<QString, TCupsQueueMedia> FMedia;
  QMap<QString, TDeviceCapabilities> FCaps;
  QMap<QString, QPair<bool, TDeviceMode>> FDefaults;
  QMap<QString, QString> FDrivers, FPorts;
  int FLastJobId = 0;
};

// Whether the CUPS scheduler answers.
bool SpoolerRunning();
