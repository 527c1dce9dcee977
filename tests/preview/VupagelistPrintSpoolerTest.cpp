// The page list's print jobs through the real spooler's cups-pdf queue "PDF", the output
// rendered with pdftoppm at 300 dpi and measured. Skipped without a spooler, except on CI.
#include <gtest/gtest.h>
#include <unistd.h>
#include "barcode/Ean13.h"
#include "platform/CupsPrinterBackend.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/preview/VupagelistPrintSupport.h"

namespace {

struct TVupagelistPrintSpoolerTest : testing::Test {
  void SetUp() override { SetPrinterBackend(nullptr); }
  void TearDown() override { SetPrinterBackend(nullptr); }
  // The PDF cups-pdf made of the list's last job.
  QString Output() {
    const int id = dynamic_cast<TCupsPrinterBackend&>(Printer().Backend()).LastJobId();
    EXPECT_GT(id, 0);
    return id > 0 ? WaitForCupsPdfOutput(id, 10000) : QString();
  }
  static QString Title(const char* what) { return QStringLiteral("velean13 list %1 %2").arg(what).arg(::getpid()); }
};

// Millimetres from the paper's edge in pixels at 300 dpi.
double Px(double mm) { return mm / 25.4 * 300; }

// The page numbers of every sheet of a one-up PDF, read from their marks.
std::vector<int> Marks(const QString& pdf) {
  std::vector<int> marks;
  for (int page = 1; page <= ReadPdfInfo(pdf).Pages; ++page)
    marks.push_back(MarkNumber(DarkBox(RenderPdfPage(pdf, page, 300)).width(), 300));
  return marks;
}

}  // namespace

// The barcode page: the 210 x 146 EAN-13 bitmap drawn at (80 mm, 50 mm) prints on one A4
// sheet, stretched to 55.5625 x 38.629 mm, and reads back as its number.
TEST_F(TVupagelistPrintSpoolerTest, BarcodePagePrintsWhereItsMillimetresSay) {
  REQUIRE_SPOOLER();
  const QString value = QStringLiteral("5901234123457");
  std::unique_ptr<TBitmap> bitmap = RenderEAN13(value, EAN13ModulesOf(value));
  TVuPageList list;
  ASSERT_EQ(list.VuPrinter().PrinterInfo()->PpiX(), 300);
  list.AddPage();
  list.Canvas().Draw(80, 50, *bitmap, 1, vuMillimeters);
  list.VuPrinter().Title = Title("barcode");
  list.Print();
  const QString pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  const TPdfInfo info = ReadPdfInfo(pdf);
  EXPECT_EQ(info.Pages, 1);
  EXPECT_TRUE(info.PageSize.startsWith("595")) << info.PageSize.toStdString();
  const QImage page = RenderPdfPage(pdf, 1, 300);
  // Bitmap column c lies at 80 + c x 55.5625 / 210 mm, row r at 50 + r x 38.629 / 146 mm.
  // The bars are measured in the bitmap itself: across a band of rows without digits, and
  // down the first guard bar.
  auto column = [](double c) { return Px(80 + c * 55.5625 / 210); };
  auto row = [](double r) { return Px(50 + r * 38.629 / 146); };
  const QImage source = bitmap->Image().convertToFormat(QImage::Format_RGB32);
  const QRect sourceBars = DarkBoxIn(source, QRect(0, 30, 210, 70));
  const QRect sourceGuard = DarkBoxIn(source, QRect(sourceBars.left(), 0, 1, 146));
  ASSERT_FALSE(sourceBars.isEmpty());
  const QRect bars = DarkBoxIn(page, QRect(QPoint(0, int(row(32))), QPoint(2479, int(row(98)))));
  EXPECT_NEAR(bars.left(), column(sourceBars.left()), 1.0);
  EXPECT_NEAR(bars.right() + 1, column(sourceBars.right() + 1), 1.0);
  const int guardX = int(column(sourceGuard.left() + 0.5));
  const QRect guard = DarkBoxIn(page, QRect(guardX, 0, 1, 3508));
  EXPECT_NEAR(guard.top(), row(sourceGuard.top()), 1.0);
  EXPECT_NEAR(guard.bottom() + 1, row(sourceGuard.bottom() + 1), 1.0);

  TTempDir dir;
  ASSERT_TRUE(page.save(dir.File("page.png")));
  QByteArray read;
  EXPECT_EQ(RunProgram("zbarimg", {"--raw", "-q", dir.File("page.png")}, &read), 0);
  EXPECT_EQ(QString::fromUtf8(read).trimmed(), value);
  QFile::remove(pdf);
}

// Numbered pages two and four to a sheet: each mark in its half or quarter at the sheet's
// scale; the fifth of four-up pages starts the second sheet top left.
TEST_F(TVupagelistPrintSpoolerTest, TwoAndFourPagesToASheet) {
  REQUIRE_SPOOLER();
  TVuPageList list;
  for (int n = 1; n <= 5; ++n) AddNumberedPage(list, n);

  list.SetPagesPerSheet(vuTwoPage);
  list.VuPrinter().Title = Title("two-up");
  list.PrintRange(1, 2);
  QString pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  EXPECT_EQ(ReadPdfInfo(pdf).Pages, 1);
  // A landscape sheet of 3508 x 2480 at scale 70, turned by cups-pdf onto portrait paper:
  // landscape (x, y) is portrait (y, 3508 - x). Page 1 is the left half, now the bottom.
  QImage sheet = RenderPdfPage(pdf, 1, 300);
  for (int n : {1, 2}) {
    const QRect half = n == 1 ? QRect(0, 1754, 2480, 1754) : QRect(0, 0, 2480, 1754);
    const QRect mark = DarkBoxIn(sheet, half);
    EXPECT_EQ(MarkNumber(mark.height(), 300, 70), n);
    EXPECT_NEAR(mark.left(), 210, 2) << n;
    EXPECT_NEAR(mark.bottom() + 1, 3508 - (n - 1) * 1754 - 210, 2) << n;
  }
  QFile::remove(pdf);

  list.SetPagesPerSheet(vuFourPage);
  list.VuPrinter().Title = Title("four-up");
  list.Print();
  pdf = Output();
  ASSERT_FALSE(pdf.isEmpty());
  ASSERT_EQ(ReadPdfInfo(pdf).Pages, 2);
  // Quarters of 1240 x 1754 at scale 49: the mark 147 px from the quarter's corner.
  sheet = RenderPdfPage(pdf, 1, 300);
  const QPoint corners[] = {{0, 0}, {1240, 0}, {0, 1754}, {1240, 1754}};
  for (int n = 1; n <= 4; ++n) {
    const QRect mark = DarkBoxIn(sheet, QRect(corners[n - 1], QSize(1240, 1754)));
    EXPECT_EQ(MarkNumber(mark.width(), 300, 49), n);
    EXPECT_NEAR((mark.topLeft() - corners[n - 1] - QPoint(147, 147)).manhattanLength(), 0, 3) << n;
  }
  const QRect fifth = DarkBox(RenderPdfPage(pdf, 2, 300));
  EXPECT_EQ(MarkNumber(fifth.width(), 300, 49), 5);
  EXPECT_NEAR((fifth.topLeft() - QPoint(147, 147)).manhattanLength(), 0, 3);
  QFile::remove(pdf);
}

// Ranges print their pages in the order asked; the same list into a file gives the same pages.
TEST_F(TVupagelistPrintSpoolerTest, RangesAndTheFileJob) {
  REQUIRE_SPOOLER();
  TVuPageList list;
  for (int n = 1; n <= 3; ++n) AddNumberedPage(list, n);
  struct TCase {
    int From, To;
    std::vector<int> Pages;
  } cases[] = {{3, 1, {3, 2, 1}}, {2, 2, {2}}};
  std::vector<QImage> printed(4);
  for (const TCase& c : cases) {
    list.VuPrinter().Title = Title("range");
    list.PrintRange(c.From, c.To);
    const QString pdf = Output();
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(Marks(pdf), c.Pages) << c.From << ".." << c.To;
    if (c.From == 3)
      for (int page = 1; page <= 3; ++page) printed[size_t(4 - page)] = RenderPdfPage(pdf, page, 300);
    QFile::remove(pdf);
  }

  TTempDir dir;
  list.PrintToFile(dir.File("pages.pdf"));
  const TPdfInfo info = ReadPdfInfo(dir.File("pages.pdf"));
  EXPECT_EQ(info.Pages, 3);
  EXPECT_TRUE(info.PageSize.startsWith("595")) << info.PageSize.toStdString();
  for (int page = 1; page <= 3; ++page) {
    const QRect inFile = DarkBox(RenderPdfPage(dir.File("pages.pdf"), page, 300));
    const QRect onPaper = DarkBox(printed[size_t(page)]);
    EXPECT_NEAR((inFile.topLeft() - onPaper.topLeft()).manhattanLength(), 0, 1) << page;
    EXPECT_NEAR(inFile.width(), onPaper.width(), 1) << page;
    EXPECT_NEAR(inFile.height(), onPaper.height(), 1) << page;
  }
}
