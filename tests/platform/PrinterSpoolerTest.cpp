// The process-wide printer on the real spooler: the cups-pdf queue "PDF" that the test
// services set up as the default printer. Without a spooler these tests are skipped,
// except on CI (CI=true), where they fail.
#include <gtest/gtest.h>
#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QThread>
#include "platform/CupsPrinterBackend.h"
#include "platform/Printers.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/common/TestSupport.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

// Qt's CUPS plugin marks PPD options through libcups, which keeps a few strings of every
// PPD with paper sources for good; that is no fault of ours, so the leak check leaves it out.
extern "C" const char* __lsan_default_suppressions() { return "leak:_ppdCacheCreateWithPPD\n"; }

namespace {

// The numbers of "*<keyword> A4/...: "<numbers>"" in the queue's PPD.
QList<double> PpdNumbers(const QString& keyword, const QString& paper) {
  const char* file = cupsGetPPD("PDF");
  if (!file) return {};
  QByteArray path(file);
  QFile f(QString::fromLocal8Bit(path));
  QList<double> values;
  if (f.open(QIODevice::ReadOnly)) {
    QRegularExpression re(QStringLiteral("^\\*%1 %2(/[^:]*)?:\\s*\"([^\"]*)\"").arg(keyword, paper));
    for (const QString& line : QString::fromLatin1(f.readAll()).split(u'\n')) {
      auto m = re.match(line.trimmed());
      if (m.hasMatch()) {
        for (const QString& n : m.captured(2).split(u' ', Qt::SkipEmptyParts)) values << n.toDouble();
        break;
      }
    }
  }
  ::unlink(path.constData());
  return values;
}

int Px(double points, int ppi) { return int(std::lrint(points * ppi / 72.0)); }

}  // namespace

TEST(PrinterSpoolerTest, PdfQueueIsListedAndSelectedAsDefault) {
  REQUIRE_SPOOLER();
  TPrinter& p = SetPrinterBackend(nullptr);
  ASSERT_TRUE(p.Printers().contains("PDF"));
  EXPECT_EQ(p.Printers()[p.PrinterIndex()], "PDF");
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  EXPECT_EQ(device, "PDF");
  EXPECT_TRUE(port.startsWith("cups-pdf:")) << port.toStdString();
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->PaperSize, 9) << "the queue's default paper is A4";
  const TDeviceCapabilities& caps = p.Capabilities("PDF");
  EXPECT_TRUE(caps.Color);
  EXPECT_EQ(caps.LandscapeRotation, 90);
  EXPECT_TRUE(caps.Resolutions.contains(300));
  EXPECT_EQ(caps.DefaultResolution, 300);
}

TEST(PrinterSpoolerTest, GeometryMatchesTheQueuePpdForA4) {
  REQUIRE_SPOOLER();
  TPrinter& p = SetPrinterBackend(nullptr);
  QList<double> dim = PpdNumbers("PaperDimension", "A4");
  QList<double> area = PpdNumbers("ImageableArea", "A4");
  ASSERT_EQ(dim.size(), 2);
  ASSERT_EQ(area.size(), 4);
  for (int ppi : {300, 600}) {
    QString device, driver, port;
    TDeviceModeHandle mode;
    p.GetPrinter(device, driver, port, mode);
    mode->PaperSize = 9;
    mode->PrintQuality = ppi;
    ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));
    TDeviceGeometry g;
    ASSERT_TRUE(p.DeviceGeometry(g));
    EXPECT_EQ(g.PpiX, ppi);
    EXPECT_EQ(g.PpiY, ppi);
    EXPECT_NEAR(g.PhysicalWidth, Px(dim[0], ppi), 1);
    EXPECT_NEAR(g.PhysicalHeight, Px(dim[1], ppi), 1);
    EXPECT_NEAR(g.OffsetX, Px(area[0], ppi), 1);
    EXPECT_NEAR(g.OffsetY, Px(dim[1] - area[3], ppi), 1);
    EXPECT_NEAR(g.PrintableWidth, Px(area[2] - area[0], ppi), 1);
    EXPECT_NEAR(g.PrintableHeight, Px(area[3] - area[1], ppi), 1);
  }
}

TEST(PrinterSpoolerTest, JobSettingsAndDrawingReachTheSpooler) {
  REQUIRE_SPOOLER();
  TPrinter& p = SetPrinterBackend(nullptr);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&p.Backend());
  ASSERT_NE(cups, nullptr);
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  mode->PaperSize = 1;  // Letter
  mode->Copies = 2;
  mode->Collate = DMCOLLATE_TRUE;
  mode->Color = DMCOLOR_MONOCHROME;
  mode->PrintQuality = 300;
  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));

  TDeviceGeometry g;
  ASSERT_TRUE(p.DeviceGeometry(g));
  p.Title = QStringLiteral("velean13 spooler test %1").arg(::getpid());
  p.BeginDoc();
  ASSERT_EQ(p.Handle()->logicalDpiX(), 300);
  TCanvas& c = p.Canvas();
  c.Pen().Style = psClear;
  c.Brush().Color = clRed;
  // One inch from the left edge and two from the top, one inch wide and half an inch high.
  c.Rectangle(300 - g.OffsetX, 600 - g.OffsetY, 600 - g.OffsetX, 750 - g.OffsetY);
  p.EndDoc();
  int id = cups->LastJobId();
  ASSERT_GT(id, 0);

  TJobAttributes attrs = JobAttributes(id);
  EXPECT_EQ(attrs.value("job-name"), p.Title);
  EXPECT_EQ(attrs.value("copies"), "2");
  EXPECT_EQ(attrs.value("print-color-mode"), "monochrome");
  EXPECT_EQ(attrs.value("multiple-document-handling"), "separate-documents-collated-copies");
  EXPECT_EQ(attrs.value("sides"), "one-sided");
  EXPECT_EQ(attrs.value("media"), "Letter");
  EXPECT_EQ(attrs.value("Resolution"), "300dpi");

  QString pdf = WaitForCupsPdfOutput(id);
  ASSERT_FALSE(pdf.isEmpty()) << "no cups-pdf output for job " << id;
  TPdfInfo info = ReadPdfInfo(pdf);
  EXPECT_EQ(info.Pages, 2) << "two copies";
  EXPECT_EQ(info.PageSize, "612 x 792") << "US Letter";

  QImage page = RenderPdfPage(pdf, 1, 300);
  ASSERT_FALSE(page.isNull());
  QRect box = DarkBox(page);
  EXPECT_NEAR(box.left(), 300, 1);
  EXPECT_NEAR(box.top(), 600, 1);
  EXPECT_NEAR(box.right(), 599, 1);
  EXPECT_NEAR(box.bottom(), 749, 1);
  QRgb inside = page.pixel(450, 675);
  EXPECT_EQ(qRed(inside), qGreen(inside)) << "printed in grey";
  EXPECT_EQ(qGreen(inside), qBlue(inside));
  QFile::remove(pdf);
}

TEST(PrinterSpoolerTest, ColourJobKeepsItsColour) {
  REQUIRE_SPOOLER();
  TPrinter& p = SetPrinterBackend(nullptr);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&p.Backend());
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  mode->Color = DMCOLOR_COLOR;
  mode->PrintQuality = 300;
  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));
  p.Title = QStringLiteral("velean13 colour test %1").arg(::getpid());
  p.BeginDoc();
  p.Canvas().Pen().Style = psClear;
  p.Canvas().Brush().Color = clRed;
  p.Canvas().Rectangle(300, 300, 600, 600);
  p.EndDoc();
  int id = cups->LastJobId();
  ASSERT_GT(id, 0);
  EXPECT_EQ(JobAttributes(id).value("print-color-mode"), "color");
  QString pdf = WaitForCupsPdfOutput(id);
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(ReadPdfInfo(pdf).Pages, 1);
  QImage page = RenderPdfPage(pdf, 1, 300);
  ASSERT_FALSE(page.isNull());
  QRgb inside = page.pixel(450, 450);
  EXPECT_GT(qRed(inside), 200);
  EXPECT_LT(qGreen(inside), 60);
  QFile::remove(pdf);
}

TEST(PrinterSpoolerTest, AbortedJobNeverReachesTheSpooler) {
  REQUIRE_SPOOLER();
  TPrinter& p = SetPrinterBackend(nullptr);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&p.Backend());
  cups->SetLastJobId(0);
  p.BeginDoc();
  p.Canvas().Rectangle(10, 10, 100, 100);
  p.Abort();
  EXPECT_TRUE(p.Aborted());
  EXPECT_EQ(cups->LastJobId(), 0);
}

TEST(PrinterSpoolerTest, LandscapePagesComeOutTurnedOnThePortraitSheet) {
  REQUIRE_SPOOLER();
  TPrinter& p = SetPrinterBackend(nullptr);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&p.Backend());
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  mode->PaperSize = 9;
  mode->PrintQuality = 300;
  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));
  p.SetOrientation(poLandscape);
  TDeviceGeometry landscape;
  ASSERT_TRUE(p.DeviceGeometry(landscape));
  ASSERT_GT(landscape.PhysicalWidth, landscape.PhysicalHeight);
  p.Title = QStringLiteral("velean13 landscape test %1").arg(::getpid());
  p.BeginDoc();
  p.Canvas().Pen().Style = psClear;
  p.Canvas().Brush().Color = clBlack;
  p.Canvas().Rectangle(300, 600, 600, 750);  // 1 inch across, 2 down, 1 by 0.5 inch
  p.SetOrientation(poPortrait);  // the second sheet in portrait
  p.NewPage();
  p.Canvas().Rectangle(300, 600, 600, 750);
  p.EndDoc();
  QString pdf = WaitForCupsPdfOutput(cups->LastJobId());
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(ReadPdfInfo(pdf).Pages, 2);
  // The device turns landscape a quarter counter-clockwise: landscape (x, y) lands at
  // portrait (y, landscape width - x).
  QRect turned = DarkBox(RenderPdfPage(pdf, 1, 300));
  EXPECT_NEAR(turned.left(), 600, 1);
  EXPECT_NEAR(turned.right(), 749, 1);
  EXPECT_NEAR(turned.top(), landscape.PhysicalWidth - 600, 1);
  EXPECT_NEAR(turned.bottom(), landscape.PhysicalWidth - 300 - 1, 1);
  QRect upright = DarkBox(RenderPdfPage(pdf, 2, 300));
  EXPECT_NEAR(upright.left(), 300, 1);
  EXPECT_NEAR(upright.top(), 600, 1);
  QFile::remove(pdf);
}

TEST(PrinterSpoolerTest, DuplexAndPaperSourceReachTheSpoolerWhereTheDeviceHasThem) {
  REQUIRE_SPOOLER();
  TDuplexQueue queue;
  REQUIRE_TEST_QUEUE(queue);
  TPrinter& p = SetPrinterBackend(nullptr);
  int index = int(p.Printers().indexOf(queue.Name()));
  ASSERT_GE(index, 0);
  p.SetPrinterIndex(index);
  const TDeviceCapabilities& caps = p.Capabilities(queue.Name());
  EXPECT_TRUE(caps.Duplex);
  EXPECT_EQ(caps.Bins, (QList<TBinInfo>{{"Automatic", DMBIN_AUTO, "Auto"},
                                        {"Upper Tray", DMBIN_UPPER, "Upper"},
                                        {"Manual Feed", DMBIN_MANUAL, "Manual"}}));
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  ASSERT_NE(mode, nullptr);
  EXPECT_TRUE(mode->Fields & DM_DUPLEX);
  EXPECT_TRUE(mode->Fields & DM_DEFAULTSOURCE);
  EXPECT_EQ(mode->Duplex, DMDUP_SIMPLEX);
  EXPECT_EQ(mode->DefaultSource, DMBIN_AUTO);
  mode->Duplex = DMDUP_VERTICAL;
  mode->DefaultSource = DMBIN_UPPER;
  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));

  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&p.Backend());
  p.Title = QStringLiteral("velean13 duplex test %1").arg(::getpid());
  p.BeginDoc();
  p.Canvas().Rectangle(100, 100, 200, 200);
  p.EndDoc();
  int id = cups->LastJobId();
  ASSERT_GT(id, 0);
  TJobAttributes attrs = JobAttributes(id);
  EXPECT_EQ(attrs.value("sides"), "two-sided-long-edge");
  EXPECT_EQ(attrs.value("InputSlot"), "Upper");
  // Let the job finish before its queue goes.
  QString pdf = WaitForCupsPdfOutput(id);
  EXPECT_FALSE(pdf.isEmpty());
  QFile::remove(pdf);
}

// A4 with strips of 18, 27, 9 and 36 pt (left, top, right, bottom): in landscape the strips
// turn with the sheet, so the printable area starts at the portrait top and right strips,
// and a box drawn at an inch position of the landscape sheet lands there.
TEST(PrinterSpoolerTest, LandscapeOnUnevenStripsStartsAtTheTurnedStrips) {
  REQUIRE_SPOOLER();
  TStripsQueue queue(18, 27, 9, 36);
  REQUIRE_TEST_QUEUE(queue);
  TPrinter& p = SetPrinterBackend(nullptr);
  auto* cups = dynamic_cast<TCupsPrinterBackend*>(&p.Backend());
  int index = int(p.Printers().indexOf(queue.Name()));
  ASSERT_GE(index, 0);
  p.SetPrinterIndex(index);
  QString device, driver, port;
  TDeviceModeHandle mode;
  p.GetPrinter(device, driver, port, mode);
  mode->PaperSize = 9;
  mode->PrintQuality = 600;
  ASSERT_TRUE(p.SetPrinter(device, driver, port, mode));
  TDeviceGeometry g;
  ASSERT_TRUE(p.DeviceGeometry(g));
  EXPECT_EQ(QRect(g.OffsetX, g.OffsetY, g.PrintableWidth, g.PrintableHeight), QRect(150, 225, 4733, 6492));
  p.SetOrientation(poLandscape);
  ASSERT_TRUE(p.DeviceGeometry(g));
  // Landscape strips: left = portrait top, top = portrait right, and so on round the sheet.
  EXPECT_EQ(QRect(g.OffsetX, g.OffsetY, g.PrintableWidth, g.PrintableHeight), QRect(225, 75, 6492, 4733));

  p.Title = QStringLiteral("velean13 strips test %1").arg(::getpid());
  p.BeginDoc();
  p.Canvas().Pen().Style = psClear;
  p.Canvas().Brush().Color = clBlack;
  // One inch from the left edge of the landscape sheet and two from its top, 1 by 0.5 inch,
  // placed by the turned strips as the engine's margins see them.
  p.Canvas().Rectangle(600 - 225, 1200 - 75, 1200 - 225, 1500 - 75);
  p.EndDoc();
  QString pdf = WaitForCupsPdfOutput(cups->LastJobId());
  ASSERT_FALSE(pdf.isEmpty());
  // cups-pdf puts the landscape sheet on portrait paper turned: landscape (x, y) lands at
  // portrait (y, landscape width - x). Rendered at 300 dpi.
  QRect box = DarkBox(RenderPdfPage(pdf, 1, 300));
  const int width = 3508;  // landscape A4 at 300 dpi
  EXPECT_NEAR(box.left(), 600, 1);
  EXPECT_NEAR(box.right(), 749, 1);
  EXPECT_NEAR(box.top(), width - 600, 1);
  EXPECT_NEAR(box.bottom(), width - 300 - 1, 1);
  QFile::remove(pdf);
}
