// The engine's print job through the real spooler: cups-pdf queues, their output rendered
// with pdftoppm at 300 dpi and measured. Skipped without a spooler, except on CI.
#include <gtest/gtest.h>
#include <unistd.h>
#include "platform/CupsPrinterBackend.h"
#include "preview/printer/Vuprinter.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/preview/VuprinterJobSupport.h"

namespace {

struct TVuprinterJobSpoolerTest : testing::Test {
  void SetUp() override { SetPrinterBackend(nullptr); }
  void TearDown() override { SetPrinterBackend(nullptr); }
  TCupsPrinterBackend& Cups() { return dynamic_cast<TCupsPrinterBackend&>(Printer().Backend()); }
  // The output of the last job handed to the spooler, once cups-pdf has written it.
  QString Output() {
    int id = Cups().LastJobId();
    EXPECT_GT(id, 0);
    return id > 0 ? WaitForCupsPdfOutput(id, 10000) : QString();
  }
};

// Within a pixel or two of the expected place and size (the scaled pages round).
testing::AssertionResult Near(QRect seen, QRect expected) {
  if ((seen.topLeft() - expected.topLeft()).manhattanLength() <= 3 && std::abs(seen.width() - expected.width()) <= 2 &&
      std::abs(seen.height() - expected.height()) <= 2)
    return testing::AssertionSuccess();
  return testing::AssertionFailure() << "box at (" << seen.x() << ", " << seen.y() << ") " << seen.width() << " x "
                                     << seen.height();
}

QString Title(const char* what) { return QStringLiteral("velean13 %1 %2").arg(what).arg(::getpid()); }

}  // namespace

// On a queue with uneven strips (18, 27, 9, 36 pt), a box drawn one inch from the left and
// two from the top of the paper lands there, on a portrait and on a landscape sheet.
TEST_F(TVuprinterJobSpoolerTest, BoxLandsAtItsInchPositionOnEachSheet) {
  REQUIRE_SPOOLER();
  TStripsQueue queue(18, 27, 9, 36);
  REQUIRE_TEST_QUEUE(queue);
  SetPrinterBackend(nullptr);
  TVuPrinter printer;
  printer.SetPrinterIndex(printer.GetIndexOf(queue.Name()));
  ASSERT_EQ(printer.PrinterInfo()->PpiX(), 300);
  printer.Title = Title("inch");
  RunJob(printer, vuOnePage, {vuPortrait, vuLandscape}, [&](int) { BlackBox(printer.Canvas(), 300, 600, 600, 750); });
  QString pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  ASSERT_EQ(ReadPdfInfo(pdf).Pages, 2);
  EXPECT_TRUE(Near(DarkBox(RenderPdfPage(pdf, 1, 300)), QRect(300, 600, 300, 150)));
  // cups-pdf turns the landscape sheet onto portrait paper: landscape (x, y) lands at
  // portrait (y, 3508 - x).
  EXPECT_TRUE(Near(DarkBox(RenderPdfPage(pdf, 2, 300)), QRect(600, 3508 - 600, 150, 300)));
  QFile::remove(pdf);
}

// A one-inch mark one inch into every page: two portrait pages share a landscape sheet at
// scale 70 (halves 1754 px wide, the mark 210 px), four share a portrait sheet at scale 49
// (quarters 1239 x 1754 px, the mark 147 px), and the fifth starts a second sheet.
TEST_F(TVuprinterJobSpoolerTest, TwoAndFourPagesToASheet) {
  REQUIRE_SPOOLER();
  TVuPrinter printer;
  printer.SetVuPaperSize(A4);
  ASSERT_EQ(printer.PrinterInfo()->PpiX(), 300);
  auto mark = [&](int) { BlackBox(printer.Canvas(), 300, 300, 600, 600); };
  printer.Title = Title("two-up");
  RunJob(printer, vuTwoPage, {vuPortrait, vuPortrait}, mark);
  QString pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(ReadPdfInfo(pdf).Pages, 1);
  // Turned onto portrait paper: landscape (x, y) is portrait (y, 3508 - x).
  QImage sheet = RenderPdfPage(pdf, 1, 300);
  EXPECT_TRUE(Near(DarkBoxIn(sheet, QRect(0, 1754, 2479, 1754)), QRect(210, 3508 - 420, 210, 210)));
  EXPECT_TRUE(Near(DarkBoxIn(sheet, QRect(0, 0, 2479, 1754)), QRect(210, 3508 - 1754 - 420, 210, 210)));
  QFile::remove(pdf);

  printer.Title = Title("four-up");
  RunJob(printer, vuFourPage, std::vector<TVuOrientation>(5, vuPortrait), mark);
  pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  ASSERT_EQ(ReadPdfInfo(pdf).Pages, 2);
  sheet = RenderPdfPage(pdf, 1, 300);
  for (QPoint q : {QPoint(0, 0), QPoint(1239, 0), QPoint(0, 1754), QPoint(1239, 1754)})
    EXPECT_TRUE(Near(DarkBoxIn(sheet, QRect(q, QSize(1239, 1754))), QRect(q + QPoint(147, 147), QSize(147, 147))))
        << q.x() << "," << q.y();
  EXPECT_TRUE(Near(DarkBox(RenderPdfPage(pdf, 2, 300)), QRect(147, 147, 147, 147)));
  QFile::remove(pdf);
}

TEST_F(TVuprinterJobSpoolerTest, SettingsReachTheJobAbortSendsNothingFilesBypassTheSpooler) {
  REQUIRE_SPOOLER();
  TVuPrinter printer;
  printer.SetPrintCopies(2);
  printer.SetCollate(true);
  printer.Title = Title("copies");
  RunJob(printer, vuOnePage, {vuPortrait}, [&](int) { BlackBox(printer.Canvas(), 300, 300, 600, 600); });
  int id = Cups().LastJobId();
  ASSERT_GT(id, 0);
  TJobAttributes attrs = JobAttributes(id);
  EXPECT_EQ(attrs.value("job-name"), printer.Title);
  EXPECT_EQ(attrs.value("copies"), "2");
  EXPECT_EQ(attrs.value("multiple-document-handling"), "separate-documents-collated-copies");
  QString pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(ReadPdfInfo(pdf).Pages, 2) << "two copies";
  QFile::remove(pdf);

  QByteArray before, after;
  ASSERT_EQ(RunProgram("lpstat", {"-W", "completed", "-o"}, &before), 0);
  Cups().SetLastJobId(0);
  bool aborted = false;
  printer.BeforePrint = [&](TPersistent*) { printer.Abort(); };
  printer.OnAbortPrint = [&](TPersistent*) { aborted = true; };
  printer.BeginDoc();
  EXPECT_TRUE(aborted);
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(Cups().LastJobId(), 0);
  QThread::msleep(1000);
  ASSERT_EQ(RunProgram("lpstat", {"-W", "completed", "-o"}, &after), 0);
  // Other tests may print on the same scheduler meanwhile: only a new job of this title counts.
  for (const QByteArray& line : after.split('\n')) {
    if (line.isEmpty() || before.contains(line)) continue;
    const int newId = line.split(' ').first().split('-').last().toInt();
    EXPECT_NE(JobAttributes(newId).value("job-name"), printer.Title) << "no job reached the spooler";
  }

  // Into a file at the queue's geometry, instead of the spooler.
  TTempDir dir;
  printer.BeforePrint = nullptr;
  printer.SetOutputFileName(dir.File("labels.pdf"));
  RunJob(printer, vuOnePage, {vuPortrait});
  EXPECT_EQ(Cups().LastJobId(), 0);
  TPdfInfo info = ReadPdfInfo(dir.File("labels.pdf"));
  EXPECT_EQ(info.Pages, 1);
  EXPECT_TRUE(info.PageSize.startsWith("595")) << info.PageSize.toStdString();
}
