// What the platform printer needs of a print service: the installed printers, each one's
// driver defaults, capabilities and geometry, and print jobs. The CUPS backend serves real
// use; the in-memory backend serves unit tests.
#pragma once
#include <QList>
#include <QPicture>
#include <QString>
#include <QStringList>
#include <memory>

class QPaintDevice;

// Field flags of the device-mode record: a set flag says the field carries a setting.
constexpr unsigned DM_ORIENTATION = 0x00000001;
constexpr unsigned DM_PAPERSIZE = 0x00000002;
constexpr unsigned DM_COPIES = 0x00000100;
constexpr unsigned DM_DEFAULTSOURCE = 0x00000200;
constexpr unsigned DM_PRINTQUALITY = 0x00000400;
constexpr unsigned DM_COLOR = 0x00000800;
constexpr unsigned DM_DUPLEX = 0x00001000;
constexpr unsigned DM_COLLATE = 0x00008000;
constexpr unsigned DM_DITHERTYPE = 0x04000000;

constexpr int DMORIENT_PORTRAIT = 1;
constexpr int DMORIENT_LANDSCAPE = 2;
constexpr int DMCOLOR_MONOCHROME = 1;
constexpr int DMCOLOR_COLOR = 2;
constexpr int DMDUP_SIMPLEX = 1;
constexpr int DMDUP_VERTICAL = 2;
constexpr int DMDUP_HORIZONTAL = 3;
constexpr int DMCOLLATE_FALSE = 0;
constexpr int DMCOLLATE_TRUE = 1;
constexpr int DMDITHER_NONE = 1;
constexpr int DMDITHER_COARSE = 2;
constexpr int DMDITHER_FINE = 3;
constexpr int DMDITHER_LINEART = 4;
constexpr int DMDITHER_GRAYSCALE = 10;
constexpr int DMRES_DRAFT = -1;
constexpr int DMRES_LOW = -2;
constexpr int DMRES_MEDIUM = -3;
constexpr int DMRES_HIGH = -4;
// The most copies the spooler takes of one job.
constexpr int kMaxCopies = 9999;
// Paper codes of the papers a device offers that have no standard code start here.
constexpr int DMPAPER_USER = 256;
// Bin numbers; bins without a standard number start at DMBIN_USER.
constexpr int DMBIN_UPPER = 1;
constexpr int DMBIN_LOWER = 2;
constexpr int DMBIN_MIDDLE = 3;
constexpr int DMBIN_MANUAL = 4;
constexpr int DMBIN_ENVELOPE = 5;
constexpr int DMBIN_AUTO = 7;
constexpr int DMBIN_TRACTOR = 8;
constexpr int DMBIN_LARGECAPACITY = 11;
constexpr int DMBIN_USER = 256;

// The published fields of a printer's device mode that the page engine reads and writes.
struct TDeviceMode {
  QString DeviceName;
  unsigned Fields = 0;
  int Orientation = DMORIENT_PORTRAIT;
  int PaperSize = 9;  // A4
  int Copies = 1;
  int DefaultSource = 0;
  int PrintQuality = 300;  // positive: a resolution in dots per inch; negative: DMRES_*
  int Color = DMCOLOR_COLOR;
  int Duplex = DMDUP_SIMPLEX;
  int Collate = DMCOLLATE_FALSE;
  int DitherType = DMDITHER_NONE;
  bool operator==(const TDeviceMode&) const = default;
};

struct TPaperInfo {
  QString Name;
  int Code = 0;
  QString Key;  // the print service's own name of the paper
  bool operator==(const TPaperInfo&) const = default;
};

struct TBinInfo {
  QString Name;
  int Number = 0;
  QString Key;  // the print service's own name of the bin
  bool operator==(const TBinInfo&) const = default;
};

// What a device can do, as its driver reports it.
struct TDeviceCapabilities {
  QList<TPaperInfo> Papers;
  QList<TBinInfo> Bins;
  bool Duplex = false;
  bool Color = false;
  int LandscapeRotation = 90;  // 90 or 270 degrees; 0 when the device has no landscape
  QList<int> Resolutions;      // dots per inch, ascending
  int DefaultResolution = 300;
};

// Geometry of the device in device pixels for one device mode.
struct TDeviceGeometry {
  int PhysicalWidth = 0;
  int PhysicalHeight = 0;
  int PrintableWidth = 0;
  int PrintableHeight = 0;
  int OffsetX = 0;  // unprintable strip at the left edge
  int OffsetY = 0;  // unprintable strip at the top edge
  int PpiX = 0;
  int PpiY = 0;
  bool operator==(const TDeviceGeometry&) const = default;
};

// A recording surface that reports a device's metrics, so that text and drawing measured
// on it come out at the device's resolution. Used as the information surface of printers
// outside a job and as the pages of in-memory jobs.
class TDevicePicture : public QPicture {
 public:
  explicit TDevicePicture(const TDeviceGeometry& geometry) : FGeometry(geometry) {}
  const TDeviceGeometry& Geometry() const { return FGeometry; }
  void SetGeometry(const TDeviceGeometry& geometry) { FGeometry = geometry; }

 protected:
  int metric(PaintDeviceMetric m) const override;

 private:
  TDeviceGeometry FGeometry;
};

// One print job on a backend. Device() is the surface of the current page, its origin at
// the corner of the printable area.
class TPrintJob {
 public:
  virtual ~TPrintJob() = default;
  virtual QPaintDevice* Device() = 0;
  // Ends the current page and starts the next one with the given settings (orientation may
  // change between pages).
  virtual bool NewPage(const TDeviceMode& mode) = 0;
  // Ends the job and hands it to the spooler; false when the spooler refused it.
  virtual bool Finish() = 0;
  // Ends the job without printing anything.
  virtual void Abort() = 0;
  // The spooler's id of the job once Finish has handed it over; 0 for a job no spooler
  // numbers (a file job, an in-memory one).
  virtual int JobId() const { return 0; }
};

class TPrinterBackend {
 public:
  virtual ~TPrinterBackend() = default;
  // Installed printers in the service's order.
  virtual QStringList PrinterNames() = 0;
  // The system's default printer; empty when there is none.
  virtual QString DefaultPrinterName() = 0;
  virtual QString DriverName(const QString& device) = 0;
  virtual QString PortName(const QString& device) = 0;
  // Whether the driver can be opened for information about the device.
  virtual bool OpenDriver(const QString& device) = 0;
  // The driver's default settings; false when the device has no device mode.
  virtual bool DriverDefaults(const QString& device, TDeviceMode& mode) = 0;
  virtual TDeviceCapabilities Capabilities(const QString& device) = 0;
  // Geometry for the settings in mode (paper, orientation, resolution); false when the
  // driver cannot be opened.
  virtual bool Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& geometry) = 0;
  // Forgets whatever the backend keeps of its printers, so that it is read again.
  virtual void Refresh() {}
  // Starts a job on the first page; nullptr when it cannot be started.
  virtual std::unique_ptr<TPrintJob> StartJob(const QString& device, const TDeviceMode& mode,
                                              const QString& title) = 0;
};

// The resolution a device mode asks for: a positive print quality is a resolution itself;
// draft and low take the lowest and the next one below the default, medium the default,
// high the highest the device offers.
int ResolutionForQuality(const TDeviceCapabilities& caps, int printQuality);
// The default field mask of a device: every field the device honours.
unsigned SupportedFields(const TDeviceCapabilities& caps);
// The paper of a code among the device's papers; nullptr when the device has none of it.
const TPaperInfo* FindPaper(const TDeviceCapabilities& caps, int code);
const TBinInfo* FindBin(const TDeviceCapabilities& caps, int number);
