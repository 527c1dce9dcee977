#include "platform/PaperPrinterBackend.h"
#include <QLocale>
#include <cmath>

TPaperPrinterBackend::TPaperPrinterBackend(QList<TPaperSheet> papers, int defaultCode, int resolution)
    : FPapers(std::move(papers)), FDefaultCode(defaultCode), FResolution(resolution) {}

QString TPaperPrinterBackend::DeviceName() { return QStringLiteral("Paper"); }

const TPaperSheet& TPaperPrinterBackend::Sheet(int code) const {
  for (const TPaperSheet& p : FPapers)
    if (p.Code == code) return p;
  for (const TPaperSheet& p : FPapers)
    if (p.Code == FDefaultCode) return p;
  return FPapers.front();
}

bool TPaperPrinterBackend::DriverDefaults(const QString& device, TDeviceMode& mode) {
  if (device != DeviceName() || FPapers.isEmpty()) return false;
  mode = TDeviceMode();
  mode.DeviceName = device;
  mode.Fields = SupportedFields(Capabilities(device));
  mode.PaperSize = Sheet(FDefaultCode).Code;
  mode.PrintQuality = FResolution;
  return true;
}

TDeviceCapabilities TPaperPrinterBackend::Capabilities(const QString& device) {
  TDeviceCapabilities caps;
  if (device != DeviceName()) return caps;
  for (const TPaperSheet& p : FPapers) caps.Papers.append({p.Name, p.Code, p.Name});
  caps.Color = true;
  caps.Resolutions = {FResolution};
  caps.DefaultResolution = FResolution;
  return caps;
}

bool TPaperPrinterBackend::Geometry(const QString& device, const TDeviceMode& mode, TDeviceGeometry& g) {
  if (device != DeviceName() || FPapers.isEmpty()) return false;
  const QSizeF mm = Sheet(mode.PaperSize).Millimeters;
  const int w = int(std::lround(mm.width() * FResolution / 25.4));
  const int h = int(std::lround(mm.height() * FResolution / 25.4));
  const bool landscape = mode.Orientation == DMORIENT_LANDSCAPE;
  g = TDeviceGeometry();
  g.PhysicalWidth = g.PrintableWidth = landscape ? h : w;
  g.PhysicalHeight = g.PrintableHeight = landscape ? w : h;
  g.PpiX = g.PpiY = FResolution;
  return true;
}

bool LocaleUsesLetter() { return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem; }
