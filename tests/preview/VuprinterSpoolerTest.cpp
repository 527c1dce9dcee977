// The engine's printer on the real cups-pdf queue "PDF". Skipped without a spooler, except
// on CI (CI=true), where that fails.
#include <gtest/gtest.h>
#include <cmath>
#include "platform/CupsPrinterBackend.h"
#include "preview/printer/Vuprinter.h"
#include "tests/platform/PrinterSpoolerSupport.h"

// Qt's CUPS plugin marks PPD options through libcups, which keeps a few strings of every
// PPD with paper sources for good; that is no fault of ours, so the leak check leaves it out.
extern "C" const char* __lsan_default_suppressions() { return "leak:_ppdCacheCreateWithPPD\n"; }

namespace {

// A fresh process-wide printer on the system's print service for each test.
struct TVuprinterSpoolerTest : testing::Test {
  void SetUp() override { SetPrinterBackend(nullptr); }
  void TearDown() override { SetPrinterBackend(nullptr); }
};

QString OptionValue(const QList<QPair<QString, QString>>& options, const QString& name) {
  for (const auto& [n, v] : options)
    if (n == name) return v;
  return QString();
}

}  // namespace

TEST_F(TVuprinterSpoolerTest, QueueIsListedAndSelectedAsDefault) {
  REQUIRE_SPOOLER();
  TVuPrinter printer;
  EXPECT_TRUE(printer.PrinterSelected());
  EXPECT_EQ(printer.GetIndexOf("pdf"), printer.GetPrinterIndex());
  EXPECT_TRUE(printer.PrinterInfo()->PrinterAvailable());
  EXPECT_FALSE(printer.PrinterInfo()->NoDevice());
  EXPECT_TRUE(printer.IsColorPrinter());
  EXPECT_EQ(printer.PrinterInfo()->OrientationRotation(), vuRotate90);
  QList<TVuPaperName> names;
  printer.GetPaperNames(names);
  EXPECT_TRUE(names.contains(TVuPaperName{"A4", 9}));
  EXPECT_TRUE(names.contains(TVuPaperName{"US Letter", 1}));
  EXPECT_TRUE(printer.PrinterBins().isEmpty()) << "cups-pdf has a single paper source";
  EXPECT_EQ(printer.GetPrinterBinIndex(), -1);
}

TEST_F(TVuprinterSpoolerTest, A4GeometryAt300Dpi) {
  REQUIRE_SPOOLER();
  TVuPrinter printer;
  printer.SetVuPaperSize(A4);
  TVuPrinterInfo& info = *printer.PrinterInfo();
  EXPECT_EQ(info.PpiX(), 300) << "the queue's default resolution";
  // The queue's PPD gives A4 as 595 x 842 points, all of it printable.
  EXPECT_NEAR(double(info.PhysicalSizeX()), 595 / 72.0, 1.0 / 300);
  EXPECT_NEAR(double(info.PhysicalSizeY()), 842 / 72.0, 1.0 / 300);
  EXPECT_EQ(info.Gutters(vuPortrait), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(info.AvailableWidth(), int(std::lrint(595 * 300 / 72.0)));
  TVuSize mm = printer.GetPaperDimensions(vuMillimeters);
  EXPECT_NEAR(double(mm.Width), 210, 0.2);
  EXPECT_NEAR(double(mm.Height), 297, 0.2);
  printer.SetPrintQuality(vuHigh);
  EXPECT_EQ(info.PpiX(), 2400);
  EXPECT_NEAR(double(info.PhysicalSizeX()), 595 / 72.0, 1.0 / 2400);
}

TEST_F(TVuprinterSpoolerTest, SettingsRoundTripThroughTheDeviceMode) {
  REQUIRE_SPOOLER();
  TVuPrinter printer;
  printer.SetCollate(true);
  printer.SetPrintCopies(3);
  printer.SetPrintColor(vuMonochrome);
  printer.SetVuPaperSize(Letter);
  printer.SetVuPaperSize(A6);  // the queue has no A6: refused, Letter stays
  printer.SetPrintQuality(vuDraft);
  printer.SetDitherType(vuFine);
  EXPECT_TRUE(printer.GetCollate());
  EXPECT_EQ(printer.GetPrintCopies(), 3);
  EXPECT_EQ(printer.GetPrintColor(), vuMonochrome);
  EXPECT_EQ(printer.GetPaperSize(), Letter);
  EXPECT_EQ(printer.GetPrintQuality(), vuDraft);
  EXPECT_EQ(printer.GetDitherType(), vuFine);
  TVuPrinterInfo& info = *printer.PrinterInfo();
  EXPECT_EQ(info.PpiX(), 150);
  EXPECT_NEAR(double(info.PhysicalSizeX()), 8.5, 1.0 / 150);
  EXPECT_NEAR(double(info.PhysicalSizeY()), 11, 1.0 / 150);

  // The orientation lives in the device mode too; the geometry is still measured in
  // portrait and turned by the getters.
  Printer().SetOrientation(poLandscape);
  EXPECT_TRUE(info.Orientation());
  EXPECT_NEAR(double(info.PhysicalSizeX()), 11, 1.0 / 150);
  EXPECT_EQ(Printer().Orientation(), poLandscape);

  // What the spooler is told for a job with these settings.
  QString d, dr, po;
  TDeviceModeHandle mode;
  Printer().GetPrinter(d, dr, po, mode);
  ASSERT_NE(mode, nullptr);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&Printer().Backend());
  ASSERT_NE(cups, nullptr);
  auto options = cups->JobOptions(d, *mode);
  EXPECT_EQ(OptionValue(options, "media"), "Letter");
  EXPECT_EQ(OptionValue(options, "copies"), "3");
  EXPECT_EQ(OptionValue(options, "Collate"), "True");
  EXPECT_EQ(OptionValue(options, "print-color-mode"), "monochrome");
  EXPECT_EQ(OptionValue(options, "Resolution"), "150dpi");
  EXPECT_EQ(OptionValue(options, "print-quality"), "3");

  // A new selection starts from the driver's defaults again.
  printer.SetPrinterIndex(printer.GetPrinterIndex());
  EXPECT_FALSE(printer.GetCollate());
  EXPECT_EQ(printer.GetPrintCopies(), 1);
  EXPECT_EQ(printer.GetPrintColor(), vuColor);
  EXPECT_EQ(printer.GetPaperSize(), A4);
  EXPECT_EQ(Printer().Orientation(), poPortrait);
}

TEST_F(TVuprinterSpoolerTest, DuplexAndBinsOfAQueueThatHasThem) {
  REQUIRE_SPOOLER();
  TDuplexQueue queue;
  REQUIRE_TEST_QUEUE(queue);
  SetPrinterBackend(nullptr);
  TVuPrinter printer;
  int index = printer.GetIndexOf(queue.Name());
  ASSERT_GE(index, 0);
  printer.SetPrinterIndex(index);
  EXPECT_EQ(printer.PrinterBins(), QStringList({"Automatic", "Upper Tray", "Manual Feed"}));
  EXPECT_EQ(printer.GetPrinterBinIndex(), 0);
  printer.SetPrinterBinIndex(2);
  EXPECT_EQ(printer.GetPrinterBinIndex(), 2);
  EXPECT_EQ(printer.GetDuplex(), vuSimplex);
  printer.SetDuplex(vuHorzDuplex);
  EXPECT_EQ(printer.GetDuplex(), vuHorzDuplex);

  QString d, dr, po;
  TDeviceModeHandle mode;
  Printer().GetPrinter(d, dr, po, mode);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&Printer().Backend());
  ASSERT_NE(cups, nullptr);
  auto options = cups->JobOptions(d, *mode);
  EXPECT_EQ(OptionValue(options, "sides"), "two-sided-short-edge");
  EXPECT_EQ(OptionValue(options, "InputSlot"), "Manual");

  // The PDF queue cannot print both sides: it does not take the setting, and its jobs go
  // one-sided.
  printer.SetPrinterIndex(printer.GetIndexOf("PDF"));
  printer.SetDuplex(vuVertDuplex);
  EXPECT_EQ(printer.GetDuplex(), vuSimplex);
  Printer().GetPrinter(d, dr, po, mode);
  EXPECT_EQ(OptionValue(cups->JobOptions(d, *mode), "sides"), "one-sided");
}
