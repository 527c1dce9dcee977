// The print job of the engine's printer on the in-memory print service, and into PDF files.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/printer/Vuprinter.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/preview/VuprinterJobSupport.h"

namespace {

// A4 at 300 dpi with strips of 65, 50, 58 and 50 pixels (left, top, right, bottom).
TMemoryPrinter StripedA4() { return MemoryA4Printer("A", 300, 65, 50, 58, 50); }

}  // namespace

// Where each page goes on its sheet: the mapping of logical page pixels to device pixels.
TEST(VuprinterJobTest, DrawingAreaPlacesEachPageOnItsPartOfTheSheet) {
  TMemoryPrinterInstall install({StripedA4()});
  const QTransform twoUpPortrait(1227 / 1754.0, 0, 0, 1736 / 2480.0, 0, 0);  // halves of 3508 x 2480, scale 70
  const QTransform twoUpLandscape(1736 / 2480.0, 0, 0, 1227 / 1754.0, 0, 0);
  const QTransform fourUp(607 / 1240.0, 0, 0, 859 / 1754.0, 0, 0);  // quarters 1240 x 1754, scale 49
  struct TCase {
    TVuPagesPerSheet PerSheet;
    TVuOrientation Pages;
    int Page;
    QTransform Scale;
    QPoint Origin;
  } cases[] = {
      {vuOnePage, vuPortrait, 1, {}, {-65, -50}},           {vuOnePage, vuLandscape, 1, {}, {-50, -58}},
      {vuTwoPage, vuPortrait, 1, twoUpPortrait, {-50, -58}}, {vuTwoPage, vuPortrait, 2, twoUpPortrait, {1704, -58}},
      {vuTwoPage, vuLandscape, 1, twoUpLandscape, {-65, -50}}, {vuTwoPage, vuLandscape, 2, twoUpLandscape, {-65, 1704}},
      {vuFourPage, vuPortrait, 1, fourUp, {-65, -50}},      {vuFourPage, vuPortrait, 2, fourUp, {1175, -50}},
      {vuFourPage, vuPortrait, 3, fourUp, {-65, 1704}},     {vuFourPage, vuPortrait, 4, fourUp, {1175, 1704}},
      {vuFourPage, vuPortrait, 5, fourUp, {-65, -50}},
  };
  for (const TCase& c : cases) {
    TVuPrinter printer;
    QTransform seen;
    RunJob(printer, c.PerSheet, std::vector<TVuOrientation>(c.Page, c.Pages), [&](int page) {
      if (page == c.Page) seen = printer.Canvas().Mapping();
    });
    EXPECT_EQ(seen, c.Scale * QTransform::fromTranslate(c.Origin.x(), c.Origin.y()))
        << "pages per sheet " << c.PerSheet << ", orientation " << c.Pages << ", page " << c.Page;
  }
}

// Which sheets a job makes, and in which orientation.
TEST(VuprinterJobTest, SheetsAndTheirOrientations) {
  const int P = DMORIENT_PORTRAIT, L = DMORIENT_LANDSCAPE;
  const TVuOrientation p = vuPortrait, l = vuLandscape;
  struct TCase {
    const char* What;
    TVuPagesPerSheet PerSheet;
    std::vector<TVuOrientation> Pages;
    std::vector<int> Sheets;
  } cases[] = {
      {"one-up: every sheet its page's orientation, also back to the first", vuOnePage, {p, l, p}, {P, L, P}},
      {"two-up: landscape sheets for portrait pages, whatever later pages say", vuTwoPage, {p, p, l, p, p}, {L, L, L}},
      {"four-up: the fifth page starts a sheet in the first one's orientation", vuFourPage, {l, p, p, p, p}, {L, L}},
  };
  for (const TCase& c : cases) {
    TMemoryPrinterInstall install({StripedA4()});
    TVuPrinter printer;
    RunJob(printer, c.PerSheet, c.Pages);
    ASSERT_EQ(install.Backend().Jobs.size(), 1u) << c.What;
    std::vector<int> sheets;
    for (const TDeviceMode& m : install.Backend().Jobs[0]->PageModes) sheets.push_back(m.Orientation);
    EXPECT_EQ(sheets, c.Sheets) << c.What;
  }
}

// Starting, ending and aborting, with their events; nothing half-done is left behind.
TEST(VuprinterJobTest, JobLifecycleAndEvents) {
  TRecordedServices services;
  QStringList log;
  auto hook = [&](TVuPrinter& p) {
    p.BeforePrint = [&](TPersistent* s) { log << (s == &p && p.Printing() ? "before" : "before?"); };
    p.AfterPrint = [&](TPersistent* s) { log << (s == &p && !p.Printing() ? "after" : "after?"); };
    p.OnAbortPrint = [&](TPersistent* s) { log << (s == &p && !p.Printing() ? "abort" : "abort?"); };
  };
  {
    TMemoryPrinterInstall none({});
    TVuPrinter printer;
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
    TMemoryPrinter broken = StripedA4();
    broken.DriverOpens = false;
    TMemoryPrinterInstall install({broken});
    hook(printer);
    printer.BeginDoc();
    EXPECT_EQ(services.Messages, QStringList{"Unable to print... No Printer available."});
    EXPECT_FALSE(printer.Printing());
  }
  TMemoryPrinterInstall install({StripedA4()});
  auto& jobs = install.Backend().Jobs;
  {
    TVuPrinter printer;
    hook(printer);
    printer.Title = "Labels";
    printer.EndDoc();  // no job: nothing
    printer.BeginDoc();
    printer.EndDoc();
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0]->Title, "Labels");
    EXPECT_TRUE(jobs[0]->Finished);

    printer.BeforePrint = [&](TPersistent*) { printer.Abort(); };
    printer.BeginDoc();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_EQ(jobs.size(), 1u) << "an abort in BeforePrint sends nothing";

    printer.BeforePrint = nullptr;
    EXPECT_THROW(
        {
          TVuPrintJobGuard guard(printer);
          printer.BeginDoc();
          RaiseListIndexError(7);  // the caller's page lookup fails mid-job
        },
        EListError);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_TRUE(jobs[1]->Aborted && !jobs[1]->Finished);
    printer.BeginDoc();
  }  // destroyed with the job open: aborted, without events
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_TRUE(jobs[2]->Aborted && !jobs[2]->Finished);
  EXPECT_EQ(log, QStringList({"before", "after", "abort", "abort"}));
}

// Into a PDF file: the same sheets, pictures lossless; a file that cannot be written raises
// the file-creation error, and a failed or aborted job leaves no file and an older one as it was.
TEST(VuprinterJobTest, PrintToFile) {
  if (!HaveProgram("pdftoppm") || !HaveProgram("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
  // Strips of whole points (18, 12, 6, 24), as device descriptions give them.
  TMemoryPrinterInstall install({MemoryA4Printer("A", 300, 75, 50, 25, 100)});
  TTempDir dir;
  TVuPrinter printer;
  printer.SetOutputFileName(dir.File("labels.pdf"));
  QImage colour(64, 32, QImage::Format_RGB32);
  colour.fill(qRgb(200, 30, 40));
  RunJob(printer, vuOnePage, {vuPortrait, vuLandscape}, [&](int) {
    BlackBox(printer.Canvas(), 300, 600, 600, 750);
    printer.Canvas().StretchDIBits(QRect(900, 900, 64, 32), colour);
  });
  EXPECT_TRUE(install.Backend().Jobs.empty()) << "nothing went to the printer";
  EXPECT_EQ(ReadPdfInfo(dir.File("labels.pdf")).Pages, 2);
  for (int page : {1, 2}) {
    QImage image = RenderPdfPage(dir.File("labels.pdf"), page, 300);
    EXPECT_EQ(DarkBox(image.copy(0, 0, 800, 800)), QRect(300, 600, 300, 150)) << page;
    EXPECT_EQ(image.pixel(930, 915), qRgb(200, 30, 40)) << page;
  }
  QFile pdf(dir.File("labels.pdf"));
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  EXPECT_FALSE(pdf.readAll().contains("DCTDecode")) << "no picture went through JPEG";

  const QString missing = dir.File("no/such/x.pdf");
  printer.SetOutputFileName(missing);
  try {
    printer.BeginDoc();
    ADD_FAILURE() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(missing));
  }
  EXPECT_FALSE(printer.Printing());

  printer.SetOutputFileName(dir.File("labels.pdf"));
  printer.BeginDoc();
  printer.Abort();
  const QString gone = dir.File("gone");
  ASSERT_TRUE(QDir().mkpath(gone));
  printer.SetOutputFileName(gone + "/x.pdf");
  printer.BeginDoc();
  QDir(gone).removeRecursively();
  EXPECT_THROW(printer.EndDoc(), EFCreateError);
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"labels.pdf"});
  EXPECT_EQ(ReadPdfInfo(dir.File("labels.pdf")).Pages, 2) << "the older file is untouched";
}
