// The process-wide printer on the in-memory print service.
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "platform/Printers.h"
#include "tests/common/TestSupport.h"

namespace {

TMemoryPrinter MonochromePrinter(const QString& name) {
  TMemoryPrinter p = MemoryA4Printer(name, 600, 50, 40, 30, 20);
  p.Capabilities.Color = false;
  p.Capabilities.Duplex = false;
  p.Capabilities.Bins.clear();
  p.Defaults.Color = DMCOLOR_MONOCHROME;
  p.Defaults.DefaultSource = 0;
  return p;
}


const QString kNoPrinter = QStringLiteral("There is no default printer currently selected");

}  // namespace

TEST(PrinterTest, NoPrinterInstalledFailsWithThePlatformMessage) {
  TMemoryPrinterInstall install({});
  TPrinter& p = Printer();
  EXPECT_TRUE(p.Printers().isEmpty());
  EXPECT_EQ(PrinterErrorOf([&] { p.PrinterIndex(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { p.Orientation(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { p.BeginDoc(); }), kNoPrinter);
  EXPECT_EQ(PrinterErrorOf([&] { p.SetPrinterIndex(-1); }), kNoPrinter);
  QString device = "x", driver = "x", port = "x";
  TDeviceModeHandle mode = std::make_shared<TDeviceMode>();
  p.GetPrinter(device, driver, port, mode);
  EXPECT_TRUE(device.isEmpty());
  EXPECT_EQ(mode, nullptr);
  EXPECT_FALSE(p.SetPrinter("Nobody", "", "", nullptr));
}

TEST(PrinterTest, SelectionStartsAtTheDefaultPrinterAndChecksTheIndex) {
  TMemoryPrinterInstall install({MemoryA4Printer("First"), MemoryA4Printer("Second")}, "Second");
  TPrinter& p = Printer();
  EXPECT_EQ(p.Printers(), QStringList({"First", "Second"}));
  EXPECT_EQ(p.PrinterIndex(), 1);
  p.SetPrinterIndex(0);
  EXPECT_EQ(p.PrinterIndex(), 0);
  EXPECT_EQ(PrinterErrorOf([&] { p.SetPrinterIndex(2); }), QStringLiteral("Printer selected is not valid"));
  EXPECT_EQ(p.PrinterIndex(), 0);
  p.SetPrinterIndex(-1);
  EXPECT_EQ(p.PrinterIndex(), 1);

  // Printers installed but none marked as default: the first one.
  TMemoryPrinterInstall other({MemoryA4Printer("A"), MemoryA4Printer("B")});
  EXPECT_EQ(Printer().PrinterIndex(), 0);
}

TEST(PrinterTest, DeviceModeChangesTakeEffectThroughSetPrinterOnly) {
  TMemoryPrinterInstall install({MemoryA4Printer("Colour"), MonochromePrinter("Mono")}, "Colour");
  TPrinter& p = Printer();
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(device, "Colour");
  EXPECT_EQ(driver, "memory");
  EXPECT_TRUE(mode->Fields & DM_COLOR);
  EXPECT_TRUE(mode->Fields & DM_DUPLEX);
  mode->Copies = 3;
  mode->Collate = DMCOLLATE_TRUE;
  mode->Orientation = DMORIENT_LANDSCAPE;

  TDeviceModeHandle again;
  p.GetPrinter(device, driver, port, again);
  EXPECT_EQ(again->Copies, 1) << "a handed-out record is a copy";

  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));
  p.GetPrinter(device, driver, port, again);
  EXPECT_EQ(again->Copies, 3);
  EXPECT_EQ(again->Collate, DMCOLLATE_TRUE);
  EXPECT_EQ(p.Orientation(), poLandscape);

  // A value out of range is refused and nothing changes.
  again->Copies = 0;
  EXPECT_FALSE(p.SetPrinter(device, driver, port, again));
  p.GetPrinter(device, driver, port, again);
  EXPECT_EQ(again->Copies, 3);

  // No device mode: the driver's defaults.
  ASSERT_TRUE(p.SetPrinter(device, driver, port, nullptr));
  p.GetPrinter(device, driver, port, again);
  EXPECT_EQ(again->Copies, 1);
  EXPECT_EQ(p.Orientation(), poPortrait);

  // A field the device does not honour keeps the driver's value and its flag stays clear.
  p.SetPrinterIndex(1);
  p.GetPrinter(device, driver, port, mode);
  EXPECT_FALSE(mode->Fields & DM_COLOR);
  mode->Fields |= DM_COLOR;
  mode->Color = DMCOLOR_COLOR;
  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));
  p.GetPrinter(device, driver, port, mode);
  EXPECT_EQ(mode->Color, DMCOLOR_MONOCHROME);
  EXPECT_FALSE(mode->Fields & DM_COLOR);
}

TEST(PrinterTest, SelectingAnIndexStartsFromTheDriverDefaults) {
  TMemoryPrinterInstall install({MemoryA4Printer("A"), MemoryA4Printer("B")}, "A");
  TPrinter& p = Printer();
  QString d, dr, po;
  TDeviceModeHandle mode;
  p.GetPrinter(d, dr, po, mode);
  mode->Copies = 7;
  ASSERT_TRUE(p.SetPrinter(d, dr, po, mode));
  p.SetPrinterIndex(1);
  p.SetPrinterIndex(0);
  p.GetPrinter(d, dr, po, mode);
  EXPECT_EQ(mode->Copies, 1);
}

TEST(PrinterTest, GeometryFollowsOrientationAndResolution) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 300, 65, 50, 58, 50)});
  TPrinter& p = Printer();
  QPaintDevice* surface = p.Handle();
  EXPECT_EQ(surface->logicalDpiX(), 300);
  TDeviceGeometry g;
  ASSERT_TRUE(p.DeviceGeometry(g));
  EXPECT_EQ(g, (TDeviceGeometry{2480, 3508, 2357, 3408, 65, 50, 300, 300}));

  p.SetOrientation(poLandscape);
  ASSERT_TRUE(p.DeviceGeometry(g));
  EXPECT_EQ(g, (TDeviceGeometry{3508, 2480, 3408, 2357, 50, 58, 300, 300}));
  p.SetOrientation(poPortrait);

  QString d, dr, po;
  TDeviceModeHandle mode;
  p.GetPrinter(d, dr, po, mode);
  mode->PrintQuality = DMRES_HIGH;
  ASSERT_TRUE(p.SetPrinter(d, dr, po, mode));
  ASSERT_TRUE(p.DeviceGeometry(g));
  EXPECT_EQ(g.PpiX, 600);
  EXPECT_EQ(g.PhysicalWidth, 4960);
  EXPECT_EQ(p.Handle()->logicalDpiX(), 600);
  EXPECT_EQ(p.Handle()->width(), g.PrintableWidth);
  EXPECT_EQ(p.Handle(), surface) << "the information surface outlives setting changes";
}

TEST(PrinterTest, DriverThatCannotBeOpenedGivesNoInformation) {
  TMemoryPrinter broken = MemoryA4Printer("Broken");
  broken.DriverOpens = false;
  broken.HasDeviceMode = false;
  TMemoryPrinterInstall install({broken});
  TPrinter& p = Printer();
  EXPECT_EQ(p.PrinterIndex(), 0);
  EXPECT_EQ(p.CreateInformationContext("Broken"), nullptr);
  TDeviceGeometry g;
  EXPECT_FALSE(p.DeviceGeometry(g));
  QString d, dr, po;
  TDeviceModeHandle mode;
  p.GetPrinter(d, dr, po, mode);
  EXPECT_EQ(d, "Broken");
  EXPECT_EQ(mode, nullptr);
  // Text can still be measured on the printer's surface.
  ASSERT_NE(p.Handle(), nullptr);
  EXPECT_EQ(p.Handle()->logicalDpiX(), 300);
  EXPECT_EQ(PrinterErrorOf([&] { p.BeginDoc(); }), QStringLiteral("The print job could not be started on \"Broken\""));
  EXPECT_FALSE(p.Printing());
}

TEST(PrinterTest, JobRecordsPagesWithTitleAndOrientationPerPage) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 100)});
  TPrinter& p = Printer();
  EXPECT_EQ(PrinterErrorOf([&] { p.NewPage(); }), QStringLiteral("Printer is not currently printing"));
  p.Title = "Labels";
  p.BeginDoc();
  EXPECT_TRUE(p.Printing());
  EXPECT_EQ(PrinterErrorOf([&] { p.BeginDoc(); }), QStringLiteral("Printing in progress"));
  EXPECT_EQ(PrinterErrorOf([&] { p.SetPrinterIndex(0); }), QStringLiteral("Printing in progress"));
  p.Canvas().Brush().Color = clBlack;
  p.Canvas().Pen().Style = psClear;
  p.Canvas().Rectangle(100, 200, 150, 260);
  p.SetOrientation(poLandscape);
  p.NewPage();
  EXPECT_EQ(p.PageNumber(), 2);
  p.EndDoc();
  EXPECT_FALSE(p.Printing());

  auto& jobs = install.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 1u);
  const TMemoryJob& job = *jobs[0];
  EXPECT_EQ(job.Title, "Labels");
  EXPECT_TRUE(job.Finished);
  ASSERT_EQ(job.Pages.size(), 2u);
  EXPECT_EQ(job.PageModes[0].Orientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(job.PageModes[1].Orientation, DMORIENT_LANDSCAPE);
  EXPECT_GT(job.Pages[1]->Geometry().PhysicalWidth, job.Pages[1]->Geometry().PhysicalHeight);

  // The first page holds the rectangle where it was drawn.
  QImage image(job.Pages[0]->Geometry().PrintableWidth, job.Pages[0]->Geometry().PrintableHeight,
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  job.Pages[0]->play(&painter);
  painter.end();
  EXPECT_EQ(image.pixel(100, 200), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(149, 259), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(150, 259), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(99, 200), qRgb(255, 255, 255));
}

TEST(PrinterTest, AbortedJobIsDroppedAndMarked) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 100)});
  TPrinter& p = Printer();
  p.BeginDoc();
  p.Abort();
  EXPECT_FALSE(p.Printing());
  EXPECT_TRUE(p.Aborted());
  ASSERT_EQ(install.Backend().Jobs.size(), 1u);
  EXPECT_TRUE(install.Backend().Jobs[0]->Aborted);
  EXPECT_FALSE(install.Backend().Jobs[0]->Finished);
  p.BeginDoc();
  EXPECT_FALSE(p.Aborted());
  p.EndDoc();
}

TEST(PrinterTest, QualityChoosesAmongTheDeviceResolutions) {
  TDeviceCapabilities caps;
  caps.Resolutions = {150, 300, 600, 1200};
  caps.DefaultResolution = 600;
  EXPECT_EQ(ResolutionForQuality(caps, DMRES_DRAFT), 150);
  EXPECT_EQ(ResolutionForQuality(caps, DMRES_LOW), 300);
  EXPECT_EQ(ResolutionForQuality(caps, DMRES_MEDIUM), 600);
  EXPECT_EQ(ResolutionForQuality(caps, DMRES_HIGH), 1200);
  EXPECT_EQ(ResolutionForQuality(caps, 300), 300);
  EXPECT_EQ(ResolutionForQuality(caps, 1000), 1200);
  EXPECT_EQ(ResolutionForQuality(caps, 450), 300) << "a tie goes to the lower one";
  caps.Resolutions = {};
  EXPECT_EQ(ResolutionForQuality(caps, DMRES_HIGH), 600);
}

// What a caller holds of the platform printer outlives later lookups and a new backend.
TEST(PrinterTest, HeldCapabilitiesHandleAndCanvasStayValid) {
  std::vector<TMemoryPrinter> many;
  for (int i = 0; i < 40; ++i) many.push_back(MemoryA4Printer(QStringLiteral("P%1").arg(i), 300 + i));
  TMemoryPrinterInstall install(std::move(many));
  TPrinter& p = Printer();
  const TDeviceCapabilities& first = p.Capabilities("P0");
  for (int i = 1; i < 40; ++i) p.Capabilities(QStringLiteral("P%1").arg(i));
  EXPECT_EQ(first.DefaultResolution, 300);

  QPaintDevice* handle = p.Handle();
  TCanvas& canvas = p.Canvas();
  TMemoryPrinterInstall other({MemoryA4Printer("Other", 600)});
  EXPECT_EQ(&Printer(), &p) << "the platform printer lives on with the new backend";
  EXPECT_EQ(p.Printers(), QStringList{"Other"});
  EXPECT_EQ(p.Handle(), handle);
  EXPECT_EQ(handle->logicalDpiX(), 600);
  canvas.Font().PixelsPerInch = 600;
  canvas.Font().SetSize(12);
  EXPECT_GT(canvas.TextHeight("Xg"), 0);
}
