#include "platform/Printers.h"
#include <QPainter>
#include <cerrno>
#include <utility>
#include "platform/Errors.h"
#include "platform/PrintToFile.h"

namespace {

[[noreturn]] void RaisePrinterError(const char* message) { throw EPrinter(QString::fromLatin1(message)); }

bool InSet(int value, std::initializer_list<int> allowed) {
  for (int a : allowed)
    if (a == value) return true;
  return false;
}

// A device mode coming back from the caller must hold values the device can take.
bool ValidMode(const TDeviceMode& m, unsigned fields) {
  if ((fields & DM_ORIENTATION) && !InSet(m.Orientation, {DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE})) return false;
  if ((fields & DM_COPIES) && (m.Copies < 1 || m.Copies > kMaxCopies)) return false;
  if ((fields & DM_COLOR) && !InSet(m.Color, {DMCOLOR_MONOCHROME, DMCOLOR_COLOR})) return false;
  if ((fields & DM_DUPLEX) && !InSet(m.Duplex, {DMDUP_SIMPLEX, DMDUP_VERTICAL, DMDUP_HORIZONTAL})) return false;
  if ((fields & DM_COLLATE) && !InSet(m.Collate, {DMCOLLATE_FALSE, DMCOLLATE_TRUE})) return false;
  if ((fields & DM_PRINTQUALITY) && m.PrintQuality == 0) return false;
  return true;
}

// The driver's defaults with every field the caller marked, and the device honours, taken
// from the caller's record.
TDeviceMode Merge(const TDeviceMode& defaults, const TDeviceMode& given, unsigned fields) {
  TDeviceMode r = defaults;
  if (fields & DM_ORIENTATION) r.Orientation = given.Orientation;
  if (fields & DM_PAPERSIZE) r.PaperSize = given.PaperSize;
  if (fields & DM_COPIES) r.Copies = given.Copies;
  if (fields & DM_DEFAULTSOURCE) r.DefaultSource = given.DefaultSource;
  if (fields & DM_PRINTQUALITY) r.PrintQuality = given.PrintQuality;
  if (fields & DM_COLOR) r.Color = given.Color;
  if (fields & DM_DUPLEX) r.Duplex = given.Duplex;
  if (fields & DM_COLLATE) r.Collate = given.Collate;
  if (fields & DM_DITHERTYPE) r.DitherType = given.DitherType;
  return r;
}

// Used for the information surface when the driver tells nothing: A4 at 300 dpi.
TDeviceGeometry FallbackGeometry() { return {2480, 3508, 2480, 3508, 0, 0, 300, 300}; }

}  // namespace

TPrinter::TPrinter(std::unique_ptr<TPrinterBackend> backend) : FBackend(std::move(backend)) {}

TPrinter::~TPrinter() {
  FCanvas.SetDevice(nullptr);
  if (FJob) FJob->Abort();
  FJob.reset();
}

const QStringList& TPrinter::Printers() {
  if (!FListRead) {
    FPrinters = FBackend->PrinterNames();
    FListRead = true;
  }
  return FPrinters;
}

void TPrinter::Refresh() {
  if (Printing()) RaisePrinterError("Printing in progress");
  QString selected = FListRead && FIndex >= 0 && FIndex < FPrinters.size() ? FPrinters[FIndex] : QString();
  FListRead = false;
  FCaps.clear();
  FBackend->Refresh();
  Printers();
  int keep = selected.isEmpty() ? -1 : int(FPrinters.indexOf(selected));
  if (keep != FIndex) {
    FIndex = keep;
    FModeLoaded = false;
  }
  InvalidateInfo();
}

int TPrinter::SelectedIndex() {
  const QStringList& names = Printers();
  if (names.isEmpty()) RaiseNoPrinter();
  if (FIndex < 0 || FIndex >= names.size()) {
    // The default printer; with printers installed but none marked as default, the first.
    int def = int(names.indexOf(FBackend->DefaultPrinterName()));
    FIndex = def >= 0 ? def : 0;
    FModeLoaded = false;
  }
  return FIndex;
}

QString TPrinter::SelectedName() { return Printers()[SelectedIndex()]; }

int TPrinter::PrinterIndex() { return SelectedIndex(); }

void TPrinter::SetPrinterIndex(int index) {
  if (Printing()) RaisePrinterError("Printing in progress");
  const QStringList& names = Printers();
  if (index < -1 || index >= names.size()) RaisePrinterError("Printer selected is not valid");
  if (index == -1) {
    if (names.isEmpty()) RaiseNoPrinter();
    FIndex = -1;
    SelectedIndex();
  } else {
    FIndex = index;
  }
  FModeLoaded = false;
  InvalidateInfo();
}

void TPrinter::LoadDefaults() {
  TDeviceMode m;
  FHasMode = FBackend->DriverDefaults(SelectedName(), m);
  m.DeviceName = SelectedName();
  FMode = m;
  FModeLoaded = true;
}

TDeviceMode& TPrinter::Mode() {
  SelectedIndex();
  if (!FModeLoaded) LoadDefaults();
  return FMode;
}

TPrinterOrientation TPrinter::Orientation() {
  return Mode().Orientation == DMORIENT_LANDSCAPE ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation value) {
  int o = value == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  TDeviceMode& m = Mode();
  if (m.Orientation == o) return;
  m.Orientation = o;
  // Inside a job the new orientation applies from the next page on.
  if (!Printing()) {
    InvalidateInfo();
  }
}

void TPrinter::GetPrinter(QString& device, QString& driver, QString& port, TDeviceModeHandle& mode) {
  mode.reset();
  device.clear();
  driver.clear();
  port.clear();
  if (Printers().isEmpty()) return;
  device = SelectedName();
  driver = FBackend->DriverName(device);
  port = FBackend->PortName(device);
  TDeviceMode& m = Mode();
  if (FHasMode) mode = std::make_shared<TDeviceMode>(m);
}

bool TPrinter::SetPrinter(const QString& device, const QString& driver, const QString& port,
                          const TDeviceModeHandle& mode) {
  if (Printing()) return false;
  int index = int(Printers().indexOf(device));
  if (index < 0) return false;
  TDeviceMode defaults;
  bool hasMode = FBackend->DriverDefaults(device, defaults);
  defaults.DeviceName = device;
  TDeviceMode result = defaults;
  if (mode && hasMode) {
    unsigned fields = mode->Fields & defaults.Fields;
    if (!ValidMode(*mode, fields)) return false;
    result = Merge(defaults, *mode, fields);
  }
  FIndex = index;
  FMode = result;
  FHasMode = hasMode;
  FModeLoaded = true;
  InvalidateInfo();
  return true;
}

TDeviceCapabilities TPrinter::Capabilities(const QString& device) {
  auto it = FCaps.find(device);
  if (it == FCaps.end()) it = FCaps.insert(device, FBackend->Capabilities(device));
  return *it;
}

std::unique_ptr<TPrinterBackend> TPrinter::SetBackend(std::unique_ptr<TPrinterBackend> backend) {
  // A job belongs to the service that started it.
  if (FJob) Abort();
  FCanvas.Release();
  std::unique_ptr<TPrinterBackend> previous = std::exchange(FBackend, std::move(backend));
  FListRead = false;
  FPrinters.clear();
  FIndex = -1;
  FModeLoaded = false;
  FHasMode = false;
  FMode = TDeviceMode();
  FCaps.clear();
  FInfoStale = true;
  return previous;
}

std::unique_ptr<TPrinterInfoContext> TPrinter::CreateInformationContext(const QString& device) {
  if (!Printers().contains(device) || !FBackend->OpenDriver(device)) return nullptr;
  TDeviceMode m;
  if (device == SelectedName()) {
    m = Mode();
  } else {
    FBackend->DriverDefaults(device, m);
    m.DeviceName = device;
  }
  TDeviceGeometry g;
  if (!FBackend->Geometry(device, m, g)) return nullptr;
  return std::make_unique<TPrinterInfoContext>(device, g);
}

bool TPrinter::DeviceGeometry(TDeviceGeometry& geometry) {
  TDeviceMode& m = Mode();
  return FBackend->Geometry(SelectedName(), m, geometry);
}

void TPrinter::BeginDoc(const QString& outputFile) {
  if (Printing()) RaisePrinterError("Printing in progress");
  QString device = SelectedName();
  InvalidateInfo();
  FAborted = false;
  FLastJobId = 0;
  if (outputFile.isEmpty()) {
    FJob = FBackend->StartJob(device, Mode(), Title);
    if (!FJob) throw EPrinter(QStringLiteral("The print job could not be started on \"%1\"").arg(device));
  } else {
    int error = 0;
    FJob = StartFileJob(*FBackend, device, Mode(), Title, outputFile, error);
    if (!FJob) RaiseCreateError(outputFile, error);
  }
  FPageNumber = 1;
  FCanvas.SetDevice(FJob->Device());
  // The job's painter stays active from the first page to the last.
  if (!BeginJobPainter()) {
    FCanvas.SetDevice(nullptr);
    FJob->Abort();
    FJob.reset();
    FPageNumber = 0;
    if (!outputFile.isEmpty()) RaiseCreateError(outputFile, EIO);
    throw EPrinter(QStringLiteral("The print job could not be started on \"%1\"").arg(device));
  }
}

bool TPrinter::BeginJobPainter() {
  QPainter* painter = FCanvas.Painter();
  if (!painter) return false;
  // Qt's PDF output writes pictures as JPEG unless told otherwise; a barcode must not reach
  // the paper through a lossy codec.
  painter->setRenderHint(QPainter::LosslessImageRendering);
  return true;
}

void TPrinter::NewPage() {
  if (!Printing()) RaisePrinterError("Printer is not currently printing");
  QPaintDevice* before = FJob->Device();
  if (!FJob->NewPage(Mode())) {
    Abort();
    RaisePrinterError("The print job could not start a new page");
  }
  if (FJob->Device() != before) {
    FCanvas.SetDevice(FJob->Device());
    if (!BeginJobPainter()) {
      Abort();
      RaisePrinterError("The print job could not start a new page");
    }
  }
  ++FPageNumber;
}

void TPrinter::EndDoc() {
  if (!Printing()) RaisePrinterError("Printer is not currently printing");
  FCanvas.SetDevice(nullptr);
  // The job is closed whatever Finish says, also when it raises.
  std::unique_ptr<TPrintJob> job = std::move(FJob);
  FPageNumber = 0;
  FLastJobId = 0;
  if (!job->Finish()) RaisePrinterError("The print job could not be handed to the spooler");
  FLastJobId = job->JobId();
}

void TPrinter::Abort() {
  if (!Printing()) RaisePrinterError("Printer is not currently printing");
  // The painter ends first, so that the job's surface is complete before it is dropped.
  FCanvas.SetDevice(nullptr);
  FJob->Abort();
  FJob.reset();
  FPageNumber = 0;
  FAborted = true;
}

void TPrinter::InvalidateInfo() {
  if (!Printing()) FCanvas.Release();
  FInfoStale = true;
}

QPaintDevice* TPrinter::Handle() {
  if (Printing()) return FJob->Device();
  if (!FInfoSurface || FInfoStale) {
    TDeviceGeometry g;
    if (!DeviceGeometry(g) || g.PpiX <= 0 || g.PpiY <= 0) g = FallbackGeometry();
    // One surface for the printer's lifetime, so that a caller keeping it as its reference
    // surface never holds a freed one; only its metrics follow the settings.
    if (!FInfoSurface) FInfoSurface = std::make_unique<TDevicePicture>(g);
    FInfoSurface->SetGeometry(g);
    FInfoStale = false;
  }
  return FInfoSurface.get();
}

TPrinterCanvas& TPrinter::Canvas() {
  if (!Printing()) {
    QPaintDevice* surface = Handle();
    if (FCanvas.Device() != surface) FCanvas.SetDevice(surface);
  }
  return FCanvas;
}

namespace {
std::unique_ptr<TPrinter>& GlobalPrinter() {
  static std::unique_ptr<TPrinter> printer;
  return printer;
}
}  // namespace

TPrinter& Printer() {
  auto& p = GlobalPrinter();
  if (!p) p = std::make_unique<TPrinter>(CreateCupsPrinterBackend());
  return *p;
}

TPrinter& SetPrinterBackend(std::unique_ptr<TPrinterBackend> backend) {
  auto& p = GlobalPrinter();
  if (!backend) backend = CreateCupsPrinterBackend();
  if (p)
    p->SetBackend(std::move(backend));
  else
    p = std::make_unique<TPrinter>(std::move(backend));
  return *p;
}
