// A print job fed a page at a time holds one sheet's pages, and prints every page it was fed.
#include <gtest/gtest.h>
#include <QDir>
#include "barcode/Ean13.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/VupageStream.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/support/MemoryPrinterBackend.h"

TEST(VupageStream, HoldsOneSheetOfPagesAndPrintsThemAll) {
  TMemoryPrinterInstall install{{MemoryA4Printer(QStringLiteral("Memory"), 300)}, QStringLiteral("Memory")};
  struct TCase {
    TVuPagesPerSheet PerSheet;
    int Pages, Sheets, MostHeld;
  } cases[] = {
      {vuOnePage, 3, 3, 1},
      {vuTwoPage, 7, 4, 2},
      {vuFourPage, 5000, 1250, 4},
  };
  const QString value = QStringLiteral("9780306406157");
  const auto barcode = RenderEAN13(value, encodeEAN13(value).Modules);
  TTempDir dir;
  for (const TCase& c : cases) {
    TVuPageList document;
    document.SetPaperSize(A4);
    document.SetPagesPerSheet(c.PerSheet);
    document.AddPage();
    int mostHeld = 0, clears = 0;
    document.OnNewPage = [&](TPersistent*) { mostHeld = std::max(mostHeld, document.Count()); };
    document.OnClear = [&](TPersistent*) { ++clears; };
    const QString pdf = dir.File(QStringLiteral("stream%1.pdf").arg(c.Pages));
    {
      TVuPageStreamJob job(document, pdf);
      for (int n = 0; n < c.Pages; ++n) {
        job.NewPage();
        document.Canvas().Draw(80, 50, *barcode, 1, vuMillimeters);
      }
      job.Finish();
      EXPECT_EQ(job.PagesPrinted(), c.Pages);
    }
    EXPECT_EQ(mostHeld, c.MostHeld) << c.Pages;
    // The empty first page went at the start, then each printed sheet.
    EXPECT_EQ(clears, 1 + (c.Pages + c.MostHeld - 1) / c.MostHeld) << c.Pages;
    EXPECT_EQ(ReadPdfInfo(pdf).Pages, c.Sheets) << c.Pages;
  }
}

TEST(VupageStream, AJobLeftUnfinishedLeavesNoFile) {
  TMemoryPrinterInstall install{{MemoryA4Printer(QStringLiteral("Memory"), 300)}, QStringLiteral("Memory")};
  TTempDir dir;
  TVuPageList document;
  document.SetPagesPerSheet(vuOnePage);
  {
    TVuPageStreamJob job(document, dir.File("cut.pdf"));
    for (int n = 0; n < 3; ++n) {
      job.NewPage();
      document.Canvas().Rectangle(10, 10, 50, 50);
    }
    EXPECT_EQ(job.PagesPrinted(), 2);
    EXPECT_TRUE(document.VuPrinter().Printing());
  }
  EXPECT_FALSE(document.VuPrinter().Printing());
  EXPECT_TRUE(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}
