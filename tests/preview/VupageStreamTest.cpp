// A print job fed a page at a time holds one sheet's pages, and prints every page it was fed.
#include <gtest/gtest.h>
#include <QBuffer>
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
    bool Pdf;  // into a PDF file, else to the (in-memory) spooler
  } cases[] = {
      {vuOnePage, 3, 3, 1, true},
      {vuTwoPage, 7, 4, 2, true},
      {vuFourPage, 5000, 1250, 4, false},
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
    const QString pdf = c.Pdf ? dir.File(QStringLiteral("stream%1.pdf").arg(c.Pages)) : QString();
    install.Backend().Jobs.clear();
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
    if (c.Pdf) {
      EXPECT_EQ(ReadPdfInfo(pdf).Pages, c.Sheets) << c.Pages;
    } else {
      ASSERT_EQ(install.Backend().Jobs.size(), 1u);
      EXPECT_TRUE(install.Backend().Jobs[0]->Finished);
      EXPECT_EQ(install.Backend().Jobs[0]->Pages.size(), size_t(c.Sheets));
    }
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

// A page file printed as it is read, a sheet at a time: every page, numbered within the
// whole file in its footer.
TEST(VupageStream, APageFilePrintsAsItIsReadWithItsPageNumbers) {
  TMemoryPrinterInstall install{{MemoryA4Printer(QStringLiteral("Memory"), 300)}, QStringLiteral("Memory")};
  TVuPageList written;
  written.Footer().CaptionCenter().SetCaption(QStringLiteral("Page {PAGE} of {NUMPAGES}"));
  written.Footer().SetVisible(true);
  for (int n = 1; n <= 5; ++n) {
    written.AddPage();
    written.Canvas().TextOut(20, 20, QStringLiteral("body %1").arg(n));
  }
  QBuffer file;
  file.open(QIODevice::WriteOnly);
  written.SaveToStream(file);
  file.close();
  file.open(QIODevice::ReadOnly);

  TTempDir dir;
  const QString pdf = dir.File("read.pdf");
  TVuPageList reader;
  int mostHeld = 0;
  reader.OnNewPage = [&](TPersistent*) { mostHeld = std::max(mostHeld, reader.Count()); };
  EXPECT_EQ(reader.PrintFromStream(file, pdf), 5);
  EXPECT_EQ(mostHeld, 1);
  QByteArray text;
  ASSERT_EQ(RunProgram("pdftotext", {"-layout", pdf, "-"}, &text), 0);
  const QStringList pages = QString::fromUtf8(text).split(u'\f', Qt::SkipEmptyParts);
  ASSERT_EQ(pages.size(), 5);
  for (int n = 1; n <= 5; ++n) {
    EXPECT_TRUE(pages[n - 1].contains(QStringLiteral("body %1").arg(n))) << pages[n - 1].toStdString();
    EXPECT_TRUE(pages[n - 1].contains(QStringLiteral("Page %1 of 5").arg(n))) << pages[n - 1].toStdString();
  }
}

// A page file of pictures printed as it is read: its bitmaps are read from the file a sheet
// at a time and let go after it, and every page prints as the whole document printed at once.
TEST(VupageStream, APageFilesBitmapsAreReadASheetAtATime) {
  TMemoryPrinterInstall install{{MemoryA4Printer(QStringLiteral("Memory"), 300)}, QStringLiteral("Memory")};
  TTempDir dir;
  TVuPageList written;
  written.SetPaperSize(A4);
  written.SetPagesPerSheet(vuTwoPage);
  const QStringList values = {"9780306406157", "4006381333931", "1234567890128", "5901234123457", "4012345678901"};
  for (const QString& value : values) {
    written.AddPage();
    written.Canvas().Draw(80, 50, *RenderEAN13(value, encodeEAN13(value).Modules), 1, vuMillimeters);
  }
  written.SaveToFile(dir.File("pictures.vup"));
  written.PrintToFile(dir.File("whole.pdf"));

  QFile file(dir.File("pictures.vup"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  TVuPageList reader;
  reader.SetPagesPerSheet(vuTwoPage);
  auto pictures = [&] {
    int read = 0;
    const TVuGraphicList& graphics = reader.ResourceTable().Graphics();
    for (int i = 0; i < graphics.Count(); ++i) read += graphics.GetGraphic(i)->Empty() ? 0 : 1;
    return read;
  };
  int mostRead = 0;
  reader.OnNewPage = [&](TPersistent*) { mostRead = std::max(mostRead, pictures()); };
  EXPECT_EQ(reader.PrintFromStream(file, dir.File("streamed.pdf")), 5);
  // Before each new page: at most the two pictures of the sheet being filled.
  EXPECT_EQ(mostRead, 2);
  for (int sheet = 1; sheet <= 3; ++sheet) {
    const QImage whole = RenderPdfPage(dir.File("whole.pdf"), sheet, 100);
    ASSERT_FALSE(whole.isNull());
    EXPECT_EQ(RenderPdfPage(dir.File("streamed.pdf"), sheet, 100), whole) << sheet;
  }
}
