#include "tests/support/MemoryPrinterBackend.h"
#include <cmath>
#include <utility>
#include "platform/Printers.h"

TMemoryPrinter MemoryA4Printer(const QString& name, int ppi, int left, int top, int right, int bottom) {
  TMemoryPrinter p;
  p.Name = name;
  TDeviceCapabilities& c = p.Capabilities;
  c.Papers = {{QStringLiteral("A4"), 9, QStringLiteral("A4")},
              {QStringLiteral("US Letter"), 1, QStringLiteral("Letter")},
              {QStringLiteral("A5"), 11, QStringLiteral("A5")}};
  c.Bins = {{QStringLiteral("Automatic"), DMBIN_AUTO, QStringLiteral("Auto")},
            {QStringLiteral("Upper tray"), DMBIN_UPPER, QStringLiteral("Upper")},
            {QStringLiteral("Manual feed"), DMBIN_MANUAL, QStringLiteral("Manual")}};
  c.Color = true;
  c.Duplex = true;
  c.LandscapeRotation = 90;
  c.Resolutions = {150, ppi, ppi * 2};
  c.DefaultResolution = ppi;
  p.Defaults.PaperSize = 9;
  p.Defaults.PrintQuality = ppi;
  p.Defaults.DefaultSource = DMBIN_AUTO;
  // A4 is 210 x 297 mm.
  int w = int(std::lrint(210.0L / 25.4L * ppi)), h = int(std::lrint(297.0L / 25.4L * ppi));
  p.Geometry = {w, h, w - left - right, h - top - bottom, left, top, ppi, ppi};
  return p;
}

namespace {

TDeviceGeometry Scaled(const TDeviceGeometry& g, int from, int to) {
  if (from <= 0 || from == to) return g;
  auto s = [&](int v) { return int(std::lrint(static_cast<long double>(v) * to / from)); };
  TDeviceGeometry r{s(g.PhysicalWidth), s(g.PhysicalHeight), s(g.PrintableWidth), s(g.PrintableHeight),
                    s(g.OffsetX), s(g.OffsetY), to, to};
  return r;
}

// The sheet turned a quarter counter-clockwise: the portrait top strip becomes the left one
// and the portrait right strip the top one.
TDeviceGeometry Landscape(const TDeviceGeometry& g) {
  int right = g.PhysicalWidth - g.PrintableWidth - g.OffsetX;
  return {g.PhysicalHeight, g.PhysicalWidth, g.PrintableHeight, g.PrintableWidth, g.OffsetY, right, g.PpiY, g.PpiX};
}

class TMemoryPrintJob : public TPrintJob {
 public:
  TMemoryPrintJob(std::shared_ptr<TMemoryJob> job, TMemoryPrinterBackend& backend)
      : FJob(std::move(job)), FBackend(backend) {}
  void AddPage(const TDeviceMode& mode) {
    TDeviceGeometry g;
    FBackend.Geometry(FJob->Device, mode, g);
    FJob->Pages.push_back(std::make_unique<TDevicePicture>(g));
    FJob->PageModes.push_back(mode);
  }
  QPaintDevice* Device() override { return FJob->Pages.back().get(); }
  bool NewPage(const TDeviceMode& mode) override {
    AddPage(mode);
    return true;
  }
  bool Finish() override {
    FJob->Finished = true;
    return true;
  }
  void Abort() override { FJob->Aborted = true; }

 private:
  std::shared_ptr<TMemoryJob> FJob;
  TMemoryPrinterBackend& FBackend;
};

}  // namespace

TMemoryPrinter* TMemoryPrinterBackend::Find(const QString& device) {
  for (TMemoryPrinter& p : Printers)
    if (p.Name == device) return &p;
  return nullptr;
}

QStringList TMemoryPrinterBackend::PrinterNames() {
  QStringList names;
  for (const TMemoryPrinter& p : Printers) names << p.Name;
  return names;
}

QString TMemoryPrinterBackend::DriverName(const QString& device) {
  TMemoryPrinter* p = Find(device);
  return p ? p->Driver : QString();
}

QString TMemoryPrinterBackend::PortName(const QString& device) {
  TMemoryPrinter* p = Find(device);
  return p ? p->Port : QString();
}

bool TMemoryPrinterBackend::OpenDriver(const QString& device) {
  ++OpenDriverCalls;
  TMemoryPrinter* p = Find(device);
  return p && p->DriverOpens;
}

bool TMemoryPrinterBackend::DriverDefaults(const QString& device, TDeviceMode& mode) {
  ++DefaultsCalls;
  TMemoryPrinter* p = Find(device);
  if (!p || !p->HasDeviceMode) return false;
  mode = p->Defaults;
  mode.DeviceName = device;
  mode.Fields = SupportedFields(p->Capabilities);
  return true;
}

TDeviceCapabilities TMemoryPrinterBackend::Capabilities(const QString& device) {
  ++CapabilityCalls;
  TMemoryPrinter* p = Find(device);
  return p && p->DriverOpens ? p->Capabilities : TDeviceCapabilities{};
}

bool TMemoryPrinterBackend::Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& geometry) {
  ++GeometryCalls;
  TMemoryPrinter* p = Find(device);
  if (!p || !p->DriverOpens) return false;
  if (p->GeometryFor) {
    geometry = p->GeometryFor(mode);
    return true;
  }
  int ppi = ResolutionForQuality(p->Capabilities, mode.PrintQuality);
  TDeviceGeometry g = Scaled(p->Geometry, p->Capabilities.DefaultResolution, ppi);
  geometry = mode.Orientation == DMORIENT_LANDSCAPE ? Landscape(g) : g;
  return true;
}

std::unique_ptr<TPrintJob> TMemoryPrinterBackend::StartJob(const QString& device, const TDeviceMode& mode,
                                                           const QString& title) {
  TMemoryPrinter* p = Find(device);
  if (!p || p->RefuseJobs || !p->DriverOpens) return nullptr;
  auto record = std::make_shared<TMemoryJob>();
  record->Device = device;
  record->Title = title;
  record->Mode = mode;
  Jobs.push_back(record);
  auto job = std::make_unique<TMemoryPrintJob>(record, *this);
  job->AddPage(mode);
  return job;
}

TMemoryPrinterInstall::TMemoryPrinterInstall(std::vector<TMemoryPrinter> printers, const QString& defaultName) {
  auto backend = std::make_unique<TMemoryPrinterBackend>();
  backend->Printers = std::move(printers);
  backend->DefaultName = defaultName;
  FBackend = backend.get();
  SetPrinterBackend(std::move(backend));
}

TMemoryPrinterInstall::~TMemoryPrinterInstall() { SetPrinterBackend(nullptr); }
