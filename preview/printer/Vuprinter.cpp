#include "preview/printer/Vuprinter.h"
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

struct TPaperCode {
  TVuPaperSize Paper;
  int Code;
};

constexpr TPaperCode kPaperCodes[] = {
    {Letter, 1},       {Tabloid, 3},      {Ledger, 4},       {Legal, 5},        {Executive, 7},
    {A3, 8},           {A4, 9},           {A5, 11},          {B4, 12},          {B5, 13},
    {Envelope_09, 19}, {Envelope_10, 20}, {Envelope_11, 21}, {Envelope_12, 22}, {Envelope_14, 23},
    {C5, 28},          {A6, 70},
};

// The device's bin lists are read into a table of this many bin numbers.
constexpr int kMaxBins = 256;

bool PrinterInstalled() { return !Printer().Printers().isEmpty(); }

}  // namespace

int AsDmPaperSize(TVuPaperSize paper) {
  for (const TPaperCode& p : kPaperCodes)
    if (p.Paper == paper) return p.Code;
  return -1;
}

TVuPaperSize AsVuPaperSize(int code) {
  for (const TPaperCode& p : kPaperCodes)
    if (p.Code == code) return p.Paper;
  return Custom;
}

// ---------------------------------------------------------------------------------------
// TVuPrinterInfo

TVuPrinterInfo::TVuPrinterInfo(TVuPrinter* owner) : FOwner(owner) {
  FLoaded = false;
  FNoDevice = false;
  ResetPrinter();
  UpdatePrinter();
  FNoDevice = false;
}

void TVuPrinterInfo::EnsureLoaded() {
  if (!FLoaded) UpdatePrinter();
}

bool TVuPrinterInfo::PlatformLandscape() { return Printer().Orientation() == poLandscape; }

Extended TVuPrinterInfo::PhysicalSizeX() {
  EnsureLoaded();
  if (PlatformLandscape()) return Extended(FPhysicalHeight) / FPpiY;
  return Extended(FPhysicalWidth) / FPpiX;
}

Extended TVuPrinterInfo::PhysicalSizeY() {
  EnsureLoaded();
  if (PlatformLandscape()) return Extended(FPhysicalWidth) / FPpiX;
  return Extended(FPhysicalHeight) / FPpiY;
}

int TVuPrinterInfo::PpiX() {
  EnsureLoaded();
  return PlatformLandscape() ? FPpiY : FPpiX;
}

int TVuPrinterInfo::PpiY() {
  EnsureLoaded();
  return PlatformLandscape() ? FPpiX : FPpiY;
}

Extended TVuPrinterInfo::PrintableSizeX() {
  EnsureLoaded();
  return Extended(FPrintableWidth) / FPpiX;
}

Extended TVuPrinterInfo::PrintableSizeY() {
  EnsureLoaded();
  return Extended(FPrintableHeight) / FPpiY;
}

int TVuPrinterInfo::AvailableWidth() {
  EnsureLoaded();
  return FPrintableWidth;
}

int TVuPrinterInfo::AvailableHeight() {
  EnsureLoaded();
  return FPrintableHeight;
}

TRect TVuPrinterInfo::Gutters(TVuOrientation orientation) {
  EnsureLoaded();
  // In landscape the sheet is turned: the portrait top strip becomes the left one, and so
  // on round the sheet, whatever way the device turns it.
  if (orientation == vuLandscape) return {FGutterTop, FGutterRight, FGutterBottom, FGutterLeft};
  return {FGutterLeft, FGutterTop, FGutterRight, FGutterBottom};
}

TVuRect TVuPrinterInfo::GuttersInch(TVuOrientation orientation) {
  TRect g = Gutters(orientation);
  Extended x = PpiX(), y = PpiY();
  return VuRect(g.Left / x, g.Top / y, g.Right / x, g.Bottom / y);
}

bool TVuPrinterInfo::Orientation() {
  UpdatePrinter();
  return PlatformLandscape();
}

TVuPrinterRotation TVuPrinterInfo::OrientationRotation() {
  if (!PrinterInstalled()) return vuRotate0;
  QString device, driver, port;
  TDeviceModeHandle mode;
  Printer().GetPrinter(device, driver, port, mode);
  if (!mode) return vuRotate0;
  switch (Printer().Capabilities(device).LandscapeRotation) {
    case 90: return vuRotate90;
    case 270: return vuRotate270;
    default: return vuRotate0;
  }
}

bool TVuPrinterInfo::PrinterAvailable() {
  Printer().PrinterIndex();  // fails when no printer is installed
  return GetPrinterAvailable() != nullptr;
}

std::unique_ptr<TPrinterInfoContext> TVuPrinterInfo::GetPrinterAvailable() {
  if (!PrinterInstalled()) return nullptr;
  QString device, driver, port;
  TDeviceModeHandle mode;
  Printer().GetPrinter(device, driver, port, mode);
  return Printer().CreateInformationContext(device);
}

bool TVuPrinterInfo::VuOpenPrinter() {
  FDevMode.reset();
  if (!PrinterInstalled()) return false;
  Printer().GetPrinter(FDevice, FDriver, FPort, FDevMode);
  return FDevMode != nullptr;
}

void TVuPrinterInfo::VuClosePrinter() {
  if (FDevMode && !Printer().Printing()) {
    // A record the device refuses leaves the printer on its driver's defaults.
    if (!Printer().SetPrinter(FDevice, FDriver, FPort, FDevMode))
      Printer().SetPrinter(FDevice, FDriver, FPort, nullptr);
  }
  FDevMode.reset();
}

void TVuPrinterInfo::ResetPrinter() {
  if (PrinterInstalled()) FNoDevice = GetPrinterAvailable() == nullptr;
  UpdatePrinter();
}

void TVuPrinterInfo::UpdatePrinter() {
  FLoaded = true;
  if (!PrinterInstalled() || FNoDevice) {
    UseDefaultValues();
    return;
  }
  TPrinter& p = Printer();
  TPrinterOrientation remembered = p.Orientation();
  struct TRestore {
    TPrinter& P;
    TPrinterOrientation O;
    ~TRestore() {
      if (!P.Printing()) P.SetOrientation(O);
    }
  } restore{p, remembered};
  p.SetOrientation(poPortrait);
  TDeviceGeometry g;
  if (!p.DeviceGeometry(g) || g.PpiX <= 0 || g.PpiY <= 0) {
    // The driver stopped answering since it was tested.
    UseDefaultValues();
    return;
  }
  FPhysicalWidth = g.PhysicalWidth;
  FPhysicalHeight = g.PhysicalHeight;
  FPrintableWidth = g.PrintableWidth;
  FPrintableHeight = g.PrintableHeight;
  FGutterLeft = g.OffsetX;
  FGutterTop = g.OffsetY;
  // The strips at the right and bottom are what is left of the sheet beside the printable
  // area, so devices with uneven strips get them right.
  FGutterRight = g.PhysicalWidth - g.PrintableWidth - g.OffsetX;
  FGutterBottom = g.PhysicalHeight - g.PrintableHeight - g.OffsetY;
  FPpiX = g.PpiX;
  FPpiY = g.PpiY;
  FLandscape = p.Orientation() == poLandscape;
  FRotation = OrientationRotation();
}

void TVuPrinterInfo::UseDefaultValues() {
  // An A4 sheet at 300 dots per inch.
  FPhysicalWidth = 2481;
  FPhysicalHeight = 3507;
  FGutterLeft = 65;
  FGutterTop = 50;
  FGutterRight = 58;
  FGutterBottom = 50;
  FPrintableWidth = FPhysicalWidth - FGutterLeft - FGutterRight;
  FPrintableHeight = FPhysicalHeight - FGutterTop - FGutterBottom;
  FPpiX = 300;
  FPpiY = 300;
  FLandscape = false;
  FRotation = vuRotate90;
}

// ---------------------------------------------------------------------------------------
// TVuPrinter

TVuPrinter::TVuPrinter() {
  FPrinterInfo = std::make_unique<TVuPrinterInfo>(this);
  if (PrinterInstalled()) FPrinterInfo->ResetPrinter();
}

TVuPrinter::~TVuPrinter() {
  // A job left open is dropped, so that no half job reaches the spooler. Its owner is going
  // away, so no event fires.
  if (!FPrinting) return;
  FPrinting = false;
  try {
    if (Printer().Printing()) Printer().Abort();
    ResetCanvas();
  } catch (...) {
  }
}

template <class F>
bool TVuPrinter::WithDevMode(unsigned flag, F f) {
  if (!FPrinterInfo->VuOpenPrinter()) return false;
  TDeviceMode& m = *FPrinterInfo->DevMode();
  m.Fields |= flag;
  f(m);
  FPrinterInfo->VuClosePrinter();
  return true;
}

QStringList TVuPrinter::Printers() { return Printer().Printers(); }

bool TVuPrinter::PrinterSelected() { return PrinterInstalled(); }

int TVuPrinter::GetPrinterIndex() { return Printer().PrinterIndex(); }

void TVuPrinter::SetPrinterIndex(int index) {
  TPrinter& p = Printer();
  p.SetPrinterIndex(index);
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  p.SetPrinter(device, driver, port, nullptr);
  // The new printer's driver is tested again, so a printer that cannot be opened gets the
  // default geometry and one that can gets its own.
  FPrinterInfo->ResetPrinter();
  if (OnChangePrinter) OnChangePrinter(this);
}

int TVuPrinter::GetIndexOf(const QString& name) {
  QStringList names = Printers();
  for (int i = 0; i < names.size(); ++i)
    if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

TCanvas& TVuPrinter::Canvas() { return Printer().Canvas(); }

QPaintDevice* TVuPrinter::Handle() { return Printer().Handle(); }

bool TVuPrinter::IsColorPrinter() {
  if (!FPrinterInfo->VuOpenPrinter()) return false;
  bool color = FPrinterInfo->DevMode()->Fields & DM_COLOR;
  FPrinterInfo->VuClosePrinter();
  return color;
}

TVuPaperSize TVuPrinter::GetPaperSize() {
  TVuPaperSize paper = Custom;
  WithDevMode(DM_PAPERSIZE, [&](TDeviceMode& m) { paper = AsVuPaperSize(m.PaperSize); });
  return paper;
}

void TVuPrinter::SetVuPaperSize(TVuPaperSize paper) { SetDMPaperSize(AsDmPaperSize(paper)); }

void TVuPrinter::SetDMPaperSize(int code) {
  // A paper the device does not offer would read back as set but print on the device's
  // default paper, so it is refused and the paper stays as it was. -1 (a custom page) is
  // left to the device, and so is any code on a device that lists no papers.
  if (code != -1 && PrinterInstalled()) {
    QString device, driver, port;
    TDeviceModeHandle mode;
    Printer().GetPrinter(device, driver, port, mode);
    TDeviceCapabilities caps = Printer().Capabilities(device);
    if (!caps.Papers.isEmpty() && !FindPaper(caps, code)) return;
  }
  if (WithDevMode(DM_PAPERSIZE, [&](TDeviceMode& m) { m.PaperSize = code; })) FPrinterInfo->UpdatePrinter();
}

void TVuPrinter::GetPaperNames(QList<TVuPaperName>& names) {
  if (!FPrinterInfo->VuOpenPrinter()) return;
  const TDeviceCapabilities caps = Printer().Capabilities(FPrinterInfo->Device());
  if (!caps.Papers.isEmpty()) {
    names.clear();
    for (const TPaperInfo& p : caps.Papers) names.append({p.Name.left(64), p.Code});
  }
  FPrinterInfo->VuClosePrinter();
}

const QStringList& TVuPrinter::PrinterBins() {
  FBins.clear();
  if (!PrinterInstalled()) return FBins;
  QString device, driver, port;
  TDeviceModeHandle mode;
  Printer().GetPrinter(device, driver, port, mode);
  const QList<TBinInfo> bins = Printer().Capabilities(device).Bins;
  for (int i = 0; i < bins.size() && i < kMaxBins; ++i) FBins << bins[i].Name.left(24);
  return FBins;
}

int TVuPrinter::GetPrinterBinIndex() {
  if (!FPrinterInfo->VuOpenPrinter()) return -1;
  const QList<TBinInfo> bins = Printer().Capabilities(FPrinterInfo->Device()).Bins;
  int source = FPrinterInfo->DevMode()->DefaultSource;
  int index = -1;
  for (int i = 0; i < bins.size() && i < kMaxBins; ++i)
    if (bins[i].Number == source) index = i;  // the last match wins
  FPrinterInfo->VuClosePrinter();
  return index;
}

void TVuPrinter::SetPrinterBinIndex(int index) {
  if (!FPrinterInfo->VuOpenPrinter()) return;
  const QList<TBinInfo> bins = Printer().Capabilities(FPrinterInfo->Device()).Bins;
  // An index outside the device's bin list changes nothing.
  if (index >= 0 && index < bins.size() && index < kMaxBins) {
    TDeviceMode& m = *FPrinterInfo->DevMode();
    m.Fields |= DM_DEFAULTSOURCE;
    m.DefaultSource = bins[index].Number;
  }
  FPrinterInfo->VuClosePrinter();
}

TVuSize TVuPrinter::GetPaperDimensions(TVuMeasurement measurement) {
  Extended x = FPrinterInfo->PhysicalSizeX();
  Extended y = FPrinterInfo->PhysicalSizeY();
  return VuSize(ConvertValue(x, vuInches, measurement), ConvertValue(y, vuInches, measurement));
}

Extended TVuPrinter::GetAvailableWidth(TVuMeasurement measurement) {
  Extended inches = Extended(FPrinterInfo->AvailableWidth()) / FPrinterInfo->PpiX();
  return ConvertValue(inches, vuInches, measurement);
}

Extended TVuPrinter::GetAvailableHeight(TVuMeasurement measurement) {
  Extended inches = Extended(FPrinterInfo->AvailableHeight()) / FPrinterInfo->PpiY();
  return ConvertValue(inches, vuInches, measurement);
}

void TVuPrinter::SetOrientation(TVuOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  FPrinterInfo->SetLandscape(value == vuLandscape);
  // The orientation reaches the device only when a job begins or a sheet starts.
  if (!FPrinting) FPrinterInfo->UpdatePrinter();
}

bool TVuPrinter::GetCollate() {
  bool value = false;
  WithDevMode(DM_COLLATE, [&](TDeviceMode& m) { value = m.Collate == DMCOLLATE_TRUE; });
  return value;
}

void TVuPrinter::SetCollate(bool value) {
  WithDevMode(DM_COLLATE, [&](TDeviceMode& m) { m.Collate = value ? DMCOLLATE_TRUE : DMCOLLATE_FALSE; });
}

TVuDuplexType TVuPrinter::GetDuplex() {
  TVuDuplexType value = vuSimplex;
  WithDevMode(0, [&](TDeviceMode& m) {
    value = m.Duplex == DMDUP_VERTICAL ? vuVertDuplex : m.Duplex == DMDUP_HORIZONTAL ? vuHorzDuplex : vuSimplex;
  });
  return value;
}

void TVuPrinter::SetDuplex(TVuDuplexType value) {
  // The duplex field carries no flag of its own here: a device that can print both sides
  // declares it in its field mask already, and on any other it is ignored.
  WithDevMode(0, [&](TDeviceMode& m) {
    switch (value) {
      case vuSimplex: m.Duplex = DMDUP_SIMPLEX; break;
      case vuHorzDuplex: m.Duplex = DMDUP_HORIZONTAL; break;
      case vuVertDuplex: m.Duplex = DMDUP_VERTICAL; break;
    }
  });
}

int TVuPrinter::GetPrintCopies() {
  int value = 1;
  WithDevMode(DM_COPIES, [&](TDeviceMode& m) { value = m.Copies; });
  return value;
}

void TVuPrinter::SetPrintCopies(int value) {
  // No device takes fewer than one copy, and handing it such a record would put every
  // setting back to the driver's defaults; more copies than the spooler takes become as
  // many as it takes, for the same reason.
  if (value < 1) return;
  WithDevMode(DM_COPIES, [&](TDeviceMode& m) { m.Copies = std::min(value, kMaxCopies); });
}

TVuPrintColor TVuPrinter::GetPrintColor() {
  TVuPrintColor value = vuColor;
  WithDevMode(DM_COLOR, [&](TDeviceMode& m) { value = m.Color == DMCOLOR_MONOCHROME ? vuMonochrome : vuColor; });
  return value;
}

void TVuPrinter::SetPrintColor(TVuPrintColor value) {
  WithDevMode(DM_COLOR, [&](TDeviceMode& m) {
    switch (value) {
      case vuColor: m.Color = DMCOLOR_COLOR; break;
      case vuMonochrome: m.Color = DMCOLOR_MONOCHROME; break;
    }
  });
}

TVuDitherType TVuPrinter::GetDitherType() {
  TVuDitherType value = vuNone;
  WithDevMode(DM_DITHERTYPE, [&](TDeviceMode& m) {
    switch (m.DitherType) {
      case DMDITHER_COARSE: value = vuCourse; break;
      case DMDITHER_FINE: value = vuFine; break;
      case DMDITHER_LINEART: value = vuLineArt; break;
      case DMDITHER_GRAYSCALE: value = vuGrayScale; break;
      default: value = vuNone;
    }
  });
  return value;
}

void TVuPrinter::SetDitherType(TVuDitherType value) {
  WithDevMode(DM_DITHERTYPE, [&](TDeviceMode& m) {
    switch (value) {
      case vuNone: m.DitherType = DMDITHER_NONE; break;
      case vuCourse: m.DitherType = DMDITHER_COARSE; break;
      case vuFine: m.DitherType = DMDITHER_FINE; break;
      case vuLineArt: m.DitherType = DMDITHER_LINEART; break;
      case vuGrayScale: m.DitherType = DMDITHER_GRAYSCALE; break;
    }
  });
}

TVuPrintQuality TVuPrinter::GetPrintQuality() {
  TVuPrintQuality value = vuMedium;
  WithDevMode(DM_PRINTQUALITY, [&](TDeviceMode& m) {
    switch (m.PrintQuality) {
      case DMRES_HIGH: value = vuHigh; break;
      case DMRES_LOW: value = vuLow; break;
      case DMRES_DRAFT: value = vuDraft; break;
      default: value = vuMedium;  // medium and any resolution in dots per inch
    }
  });
  return value;
}

void TVuPrinter::SetPrintQuality(TVuPrintQuality value) {
  bool done = WithDevMode(DM_PRINTQUALITY, [&](TDeviceMode& m) {
    switch (value) {
      case vuDraft: m.PrintQuality = DMRES_DRAFT; break;
      case vuLow: m.PrintQuality = DMRES_LOW; break;
      case vuMedium: m.PrintQuality = DMRES_MEDIUM; break;
      case vuHigh: m.PrintQuality = DMRES_HIGH; break;
    }
  });
  if (done) FPrinterInfo->UpdatePrinter();
}
