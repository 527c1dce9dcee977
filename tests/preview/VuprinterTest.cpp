// The engine's printer on the in-memory print service.
#include <gtest/gtest.h>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/printer/Vuprinter.h"
#include "tests/common/TestSupport.h"

namespace {

const QString kNoPrinter = QStringLiteral("There is no default printer currently selected");


TMemoryPrinter BrokenDriver(const QString& name) {
  TMemoryPrinter p = MemoryA4Printer(name);
  p.DriverOpens = false;
  return p;
}

TMemoryPrinter MonochromeOf(TMemoryPrinter p) {
  p.Capabilities.Color = false;
  p.Capabilities.LandscapeRotation = 270;
  p.Defaults.Color = DMCOLOR_MONOCHROME;
  return p;
}

// The selected printer's record as the platform holds it.
TDeviceMode PlatformMode() {
  QString d, dr, po;
  TDeviceModeHandle mode;
  Printer().GetPrinter(d, dr, po, mode);
  return mode ? *mode : TDeviceMode{};
}

}  // namespace

TEST(VuprinterTest, DefaultGeometryWhenTheDriverCannotBeOpened) {
  TMemoryPrinterInstall install({BrokenDriver("Broken")});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  EXPECT_TRUE(info.NoDevice());
  EXPECT_EQ(info.PhysicalSizeX(), 2481.0L / 300);
  EXPECT_EQ(info.PhysicalSizeY(), 3507.0L / 300);
  EXPECT_NEAR(double(info.PhysicalSizeX()), 8.27, 0.001);
  TVuRect g = info.GuttersInch(vuPortrait);
  EXPECT_EQ(g.Left, 65.0L / 300);
  EXPECT_EQ(g.Top, 50.0L / 300);
  EXPECT_EQ(g.Right, 58.0L / 300);
  EXPECT_EQ(g.Bottom, 50.0L / 300);
  EXPECT_EQ(info.Gutters(vuLandscape), (TRect{50, 58, 50, 65}));
  EXPECT_EQ(info.AvailableWidth(), 2358);
  EXPECT_EQ(info.AvailableHeight(), 3407);
  EXPECT_EQ(info.PrintableSizeY(), 3407.0L / 300);
  EXPECT_EQ(info.OrientationRotation(), vuRotate90);
  EXPECT_FALSE(info.PrinterAvailable());
  EXPECT_NEAR(double(printer.GetPaperDimensions(vuMillimeters).Width), 2481 / 300.0 * 25.4, 1e-9);
}

TEST(VuprinterTest, NoPrinterInstalled) {
  TMemoryPrinterInstall install({});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  EXPECT_FALSE(printer.PrinterSelected());
  EXPECT_EQ(printer.GetPrintCopies(), 1);
  EXPECT_FALSE(printer.GetCollate());
  EXPECT_EQ(printer.GetDuplex(), vuSimplex);
  EXPECT_EQ(printer.GetPrintColor(), vuColor);
  EXPECT_EQ(printer.GetDitherType(), vuNone);
  EXPECT_EQ(printer.GetPrintQuality(), vuMedium);
  EXPECT_EQ(printer.GetPaperSize(), Custom);
  EXPECT_FALSE(printer.IsColorPrinter());
  EXPECT_EQ(printer.GetPrinterBinIndex(), -1);
  EXPECT_TRUE(printer.PrinterBins().isEmpty());
  // Setters do nothing.
  printer.SetPrintCopies(3);
  printer.SetPrintQuality(vuHigh);
  printer.SetVuPaperSize(Letter);
  printer.SetPrinterBinIndex(0);
  EXPECT_EQ(printer.GetPrintCopies(), 1);
  // What asks the platform printer for its selection or orientation fails.
  EXPECT_EQ(PrinterErrorOf([&] { printer.GetPrinterIndex(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { info.PrinterAvailable(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { info.PhysicalSizeX(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { info.PpiY(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { info.GuttersInch(vuPortrait); }), kNoPrinter);
  // The rest works on the default geometry.
  EXPECT_EQ(info.Gutters(vuPortrait), (TRect{65, 50, 58, 50}));
  EXPECT_EQ(info.AvailableWidth(), 2358);
  EXPECT_EQ(info.OrientationRotation(), vuRotate0);
}

TEST(VuprinterTest, PaperCodesBothWays) {
  const TVuPaperSize papers[] = {A3, A4, A5, A6, B5, C5, Legal, Letter, B4, Envelope_09, Envelope_10,
                                 Envelope_11, Envelope_12, Envelope_14, Tabloid, Ledger, Executive};
  const int codes[] = {8, 9, 11, 70, 13, 28, 5, 1, 12, 19, 20, 21, 22, 23, 3, 4, 7};
  for (size_t i = 0; i < std::size(papers); ++i) {
    EXPECT_EQ(AsDmPaperSize(papers[i]), codes[i]) << PaperSizeToStr(papers[i]).toStdString();
    EXPECT_EQ(AsVuPaperSize(codes[i]), papers[i]);
  }
  EXPECT_EQ(AsDmPaperSize(Custom), -1);
  for (int code : {0, -1, 2, 10, 256, 300}) EXPECT_EQ(AsVuPaperSize(code), Custom) << code;

  TMemoryPrinter p = MemoryA4Printer("A");
  p.Capabilities.Papers.append({QStringLiteral("Label roll"), 256, QStringLiteral("Roll")});
  p.Defaults.PaperSize = 256;
  TMemoryPrinterInstall install({p});
  TVuPrinter printer;
  EXPECT_EQ(printer.GetPaperSize(), Custom);
  printer.SetVuPaperSize(Letter);
  EXPECT_EQ(PlatformMode().PaperSize, 1);
  EXPECT_EQ(printer.GetPaperSize(), Letter);
  printer.SetVuPaperSize(Custom);
  EXPECT_EQ(PlatformMode().PaperSize, -1);
  EXPECT_EQ(printer.GetPaperSize(), Custom);
}

TEST(VuprinterTest, DeviceModePropertiesWriteThePlatformValues) {
  TMemoryPrinterInstall install({MemoryA4Printer("A")});
  TVuPrinter printer;
  printer.SetCollate(true);
  printer.SetDuplex(vuHorzDuplex);
  printer.SetPrintCopies(4);
  printer.SetPrintColor(vuMonochrome);
  printer.SetDitherType(vuGrayScale);
  printer.SetPrintQuality(vuHigh);
  TDeviceMode m = PlatformMode();
  EXPECT_EQ(m.Collate, 1);
  EXPECT_EQ(m.Duplex, 3);
  EXPECT_EQ(m.Copies, 4);
  EXPECT_EQ(m.Color, 1);
  EXPECT_EQ(m.DitherType, 10);
  EXPECT_EQ(m.PrintQuality, -4);
  EXPECT_TRUE(printer.GetCollate());
  EXPECT_EQ(printer.GetDuplex(), vuHorzDuplex);
  EXPECT_EQ(printer.GetPrintCopies(), 4);
  EXPECT_EQ(printer.GetPrintColor(), vuMonochrome);
  EXPECT_EQ(printer.GetDitherType(), vuGrayScale);
  EXPECT_EQ(printer.GetPrintQuality(), vuHigh);

  printer.SetDuplex(vuVertDuplex);
  EXPECT_EQ(PlatformMode().Duplex, 2);
  const std::pair<TVuDitherType, int> dithers[] = {{vuNone, 1}, {vuCourse, 2}, {vuFine, 3}, {vuLineArt, 4}};
  for (auto [d, v] : dithers) {
    printer.SetDitherType(d);
    EXPECT_EQ(PlatformMode().DitherType, v);
    EXPECT_EQ(printer.GetDitherType(), d);
  }
  const std::pair<TVuPrintQuality, int> qualities[] = {{vuDraft, -1}, {vuLow, -2}, {vuMedium, -3}};
  for (auto [q, v] : qualities) {
    printer.SetPrintQuality(q);
    EXPECT_EQ(PlatformMode().PrintQuality, v);
    EXPECT_EQ(printer.GetPrintQuality(), q);
  }

  // Values out of range change nothing; fewer than one copy is refused too.
  printer.SetPrintColor(TVuPrintColor(7));
  printer.SetDuplex(TVuDuplexType(9));
  printer.SetPrintCopies(0);
  EXPECT_EQ(PlatformMode().Color, 1);
  EXPECT_EQ(PlatformMode().Duplex, 2);
  EXPECT_EQ(PlatformMode().Copies, 4);

  // Raw values the driver may hold: a resolution reads as medium, an unknown dither as none.
  QString d, dr, po;
  TDeviceModeHandle mode;
  Printer().GetPrinter(d, dr, po, mode);
  mode->PrintQuality = 600;
  mode->DitherType = 7;
  mode->Collate = 0;
  ASSERT_TRUE(Printer().SetPrinter(d, dr, po, mode));
  EXPECT_EQ(printer.GetPrintQuality(), vuMedium);
  EXPECT_EQ(printer.GetDitherType(), vuNone);
  EXPECT_FALSE(printer.GetCollate());
}

TEST(VuprinterTest, SelectingAPrinterResetsItsSettingsAndFiresOnce) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 300), MemoryA4Printer("B", 600)}, "A");
  TVuPrinter printer;
  int fired = 0;
  TPersistent* sender = nullptr;
  printer.OnChangePrinter = [&](TPersistent* s) {
    ++fired;
    sender = s;
  };
  printer.SetPrintCopies(5);
  EXPECT_EQ(printer.PrinterInfo()->PpiX(), 300);
  printer.SetPrinterIndex(1);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(sender, &printer);
  EXPECT_EQ(printer.GetPrinterIndex(), 1);
  EXPECT_EQ(printer.PrinterInfo()->PpiX(), 600);
  printer.SetPrintCopies(3);
  printer.SetCollate(true);
  printer.SetPrinterIndex(1);
  EXPECT_EQ(fired, 2);
  EXPECT_EQ(printer.GetPrintCopies(), 1);
  EXPECT_FALSE(printer.GetCollate());
  printer.SetPrinterIndex(0);
  EXPECT_EQ(printer.GetPrintCopies(), 1);

  EXPECT_EQ(PrinterErrorOf([&] { printer.SetPrinterIndex(5); }), QStringLiteral("Printer selected is not valid"));
  EXPECT_EQ(fired, 3) << "a refused index changes nothing and tells nobody";
  EXPECT_EQ(printer.GetIndexOf("b"), 1);
  EXPECT_EQ(printer.GetIndexOf("C"), -1);
}

TEST(VuprinterTest, SelectingAPrinterRetestsItsDriver) {
  TMemoryPrinterInstall install({BrokenDriver("Broken"), MemoryA4Printer("Good", 600)}, "Broken");
  TVuPrinter printer;
  EXPECT_EQ(printer.PrinterInfo()->PpiX(), 300);
  EXPECT_TRUE(printer.PrinterInfo()->NoDevice());
  printer.SetPrinterIndex(1);
  EXPECT_FALSE(printer.PrinterInfo()->NoDevice());
  EXPECT_EQ(printer.PrinterInfo()->PpiX(), 600);
  printer.SetPrinterIndex(0);
  EXPECT_EQ(printer.PrinterInfo()->AvailableWidth(), 2358);
}

TEST(VuprinterTest, PrintQualityRefreshesTheGeometry) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 300)});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  EXPECT_EQ(info.PpiX(), 300);
  printer.SetPrintQuality(vuHigh);
  EXPECT_EQ(info.PpiX(), 600);
  EXPECT_EQ(info.PpiY(), 600);
  EXPECT_EQ(info.AvailableWidth(), 4960);
  printer.SetPrintQuality(vuDraft);
  EXPECT_EQ(info.PpiX(), 150);
}

TEST(VuprinterTest, GeometryIsMeasuredInPortraitAndOrientationIsPutBack) {
  TMemoryPrinter p = MemoryA4Printer("A", 300, 50, 40, 30, 20);
  TMemoryPrinterInstall install({p});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  Printer().SetOrientation(poLandscape);
  EXPECT_TRUE(info.Orientation());
  EXPECT_EQ(Printer().Orientation(), poLandscape);
  EXPECT_FALSE(info.Landscape());
  // Cached in portrait; the orientation-aware getters turn it.
  EXPECT_EQ(info.Gutters(vuPortrait), (TRect{50, 40, 30, 20}));
  EXPECT_EQ(info.Gutters(vuLandscape), (TRect{40, 30, 20, 50}));
  EXPECT_EQ(info.AvailableWidth(), 2480 - 80);
  EXPECT_EQ(info.PhysicalSizeX(), 3508.0L / 300);
  EXPECT_EQ(info.PhysicalSizeY(), 2480.0L / 300);
  Printer().SetOrientation(poPortrait);
  EXPECT_EQ(info.PhysicalSizeX(), 2480.0L / 300);
}

TEST(VuprinterTest, UnevenResolutionIsExchangedInLandscape) {
  TMemoryPrinter p = MemoryA4Printer("A");
  p.GeometryFor = [](const TDeviceMode& m) {
    TDeviceGeometry g{1240, 7016, 1200, 6900, 20, 60, 150, 600};
    return m.Orientation == DMORIENT_LANDSCAPE ? TDeviceGeometry{7016, 1240, 6900, 1200, 60, 20, 600, 150} : g;
  };
  TMemoryPrinterInstall install({p});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  EXPECT_EQ(info.PpiX(), 150);
  EXPECT_EQ(info.PrintableSizeY(), 6900.0L / 600);
  TVuRect g = info.GuttersInch(vuPortrait);
  EXPECT_EQ(g.Left, 20.0L / 150);
  EXPECT_EQ(g.Top, 60.0L / 600);
  EXPECT_EQ(g.Bottom, 56.0L / 600);
  Printer().SetOrientation(poLandscape);
  EXPECT_EQ(info.PpiX(), 600);
  EXPECT_EQ(info.PhysicalSizeX(), 7016.0L / 600);
  EXPECT_EQ(printer.GetAvailableWidth(vuInches), 1200.0L / 600);
  Printer().SetOrientation(poPortrait);
}

TEST(VuprinterTest, GeometryGettersAreCachedAfterTheFirstLoad) {
  TMemoryPrinterInstall install({MemoryA4Printer("A")});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  info.PhysicalSizeX();
  const int calls = install.Backend().DeviceCalls();
  for (int i = 0; i < 100; ++i) {
    info.PhysicalSizeX();
    info.PhysicalSizeY();
    info.PpiX();
    info.PpiY();
    info.PrintableSizeX();
    info.PrintableSizeY();
    info.AvailableWidth();
    info.AvailableHeight();
    info.Gutters(vuLandscape);
    info.GuttersInch(vuPortrait);
    printer.GetPaperDimensions(vuMillimeters);
    printer.GetAvailableHeight(vuTwips);
  }
  EXPECT_EQ(install.Backend().DeviceCalls(), calls);
  const int geometry = install.Backend().GeometryCalls;
  info.UpdatePrinter();
  EXPECT_EQ(install.Backend().GeometryCalls, geometry + 1);
}

TEST(VuprinterTest, JobOrientationRefreshesOnlyOnAChange) {
  TMemoryPrinterInstall install({MemoryA4Printer("A")});
  TVuPrinter printer;
  EXPECT_EQ(printer.GetOrientation(), vuPortrait);
  const int before = install.Backend().GeometryCalls;
  printer.SetOrientation(vuPortrait);
  EXPECT_EQ(install.Backend().GeometryCalls, before);
  printer.SetOrientation(vuLandscape);
  EXPECT_EQ(printer.GetOrientation(), vuLandscape);
  EXPECT_EQ(install.Backend().GeometryCalls, before + 1);
  // The device stays as it is until a job begins.
  EXPECT_EQ(Printer().Orientation(), poPortrait);
  EXPECT_FALSE(printer.PrinterInfo()->Landscape());
}

TEST(VuprinterTest, PapersAndBinsOfTheDevice) {
  TMemoryPrinter p = MemoryA4Printer("A");
  p.Capabilities.Bins.append({QStringLiteral("Upper tray again"), DMBIN_UPPER, QStringLiteral("Upper2")});
  TMemoryPrinter noMode = MemoryA4Printer("NoMode");
  noMode.HasDeviceMode = false;
  TMemoryPrinterInstall install({p, noMode, MonochromeOf(MemoryA4Printer("Mono"))}, "A");
  TVuPrinter printer;
  QList<TVuPaperName> names;
  printer.GetPaperNames(names);
  EXPECT_EQ(names, (QList<TVuPaperName>{{"A4", 9}, {"US Letter", 1}, {"A5", 11}}));
  EXPECT_EQ(printer.PrinterBins(),
            QStringList({"Automatic", "Upper tray", "Manual feed", "Upper tray again"}));
  EXPECT_EQ(printer.GetPrinterBinIndex(), 0);
  printer.SetPrinterBinIndex(2);
  EXPECT_EQ(PlatformMode().DefaultSource, DMBIN_MANUAL);
  EXPECT_EQ(printer.GetPrinterBinIndex(), 2);
  printer.SetPrinterBinIndex(1);
  EXPECT_EQ(printer.GetPrinterBinIndex(), 3) << "the last bin with that number wins";
  printer.SetPrinterBinIndex(9);
  EXPECT_EQ(PlatformMode().DefaultSource, DMBIN_UPPER);
  EXPECT_TRUE(printer.IsColorPrinter());

  printer.SetPrinterIndex(1);
  QList<TVuPaperName> kept{{"mine", 5}};
  printer.GetPaperNames(kept);
  EXPECT_EQ(kept, (QList<TVuPaperName>{{"mine", 5}}));
  EXPECT_EQ(printer.GetPrinterBinIndex(), -1);
  EXPECT_FALSE(printer.IsColorPrinter());
  EXPECT_EQ(printer.PrinterInfo()->OrientationRotation(), vuRotate0);

  printer.SetPrinterIndex(2);
  EXPECT_FALSE(printer.IsColorPrinter());
  printer.SetPrintColor(vuColor);
  EXPECT_EQ(printer.GetPrintColor(), vuMonochrome) << "a monochrome device keeps its colour setting";
  EXPECT_EQ(printer.PrinterInfo()->OrientationRotation(), vuRotate270);
}

// Settings the device cannot take are refused or brought into range one by one; the others
// stay as they were set.
TEST(VuprinterTest, UnfitSettingsLeaveTheOthersAlone) {
  TMemoryPrinterInstall install({MemoryA4Printer("A")});
  TVuPrinter printer;
  printer.SetCollate(true);
  printer.SetPrintColor(vuMonochrome);
  printer.SetVuPaperSize(Letter);
  struct TCase {
    const char* What;
    std::function<void()> Set;
    int Copies;
    TVuPaperSize Paper;
  } cases[] = {
      {"copies above the spooler's limit", [&] { printer.SetPrintCopies(10000); }, 9999, Letter},
      {"copies within it", [&] { printer.SetPrintCopies(12); }, 12, Letter},
      {"a paper the device lacks", [&] { printer.SetVuPaperSize(A6); }, 12, Letter},
      {"a raw paper code the device lacks", [&] { printer.SetDMPaperSize(300); }, 12, Letter},
      {"a paper it has", [&] { printer.SetVuPaperSize(A5); }, 12, A5},
  };
  for (const TCase& c : cases) {
    c.Set();
    EXPECT_EQ(printer.GetPrintCopies(), c.Copies) << c.What;
    EXPECT_EQ(printer.GetPaperSize(), c.Paper) << c.What;
    EXPECT_EQ(PlatformMode().PaperSize, AsDmPaperSize(c.Paper)) << c.What;
    EXPECT_TRUE(printer.GetCollate()) << c.What;
    EXPECT_EQ(printer.GetPrintColor(), vuMonochrome) << c.What;
  }
}
