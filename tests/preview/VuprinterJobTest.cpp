// The print job of the engine's printer on the in-memory print service, and into PDF files.
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include "platform/Errors.h"
#include "platform/MemoryPrinterBackend.h"
#include "preview/Vuprinter.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"

namespace {

// A4 at 300 dpi with strips of 65, 50, 58 and 50 pixels (left, top, right, bottom).
TMemoryPrinter StripedA4() { return MemoryA4Printer("A", 300, 65, 50, 58, 50); }

// Drives a job as the page list does: the first page's orientation before BeginDoc, each
// following page's before its NewPage; draw(page) draws each page.
void RunJob(TVuPrinter& printer, TVuPagesPerSheet perSheet, const std::vector<TVuOrientation>& pages,
            const std::function<void(int)>& draw = {}) {
  printer.SetOrientation(pages.front());
  printer.SetPagesPerSheet(perSheet);
  printer.BeginDoc();
  for (size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) {
      printer.SetOrientation(pages[i]);
      printer.NewPage();
    }
    if (draw) draw(int(i) + 1);
  }
  printer.EndDoc();
}

std::vector<int> SheetOrientations(const TMemoryJob& job) {
  std::vector<int> r;
  for (const TDeviceMode& m : job.PageModes) r.push_back(m.Orientation);
  return r;
}

QImage Play(const TDevicePicture& page) {
  QImage image(page.Geometry().PrintableWidth, page.Geometry().PrintableHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  const_cast<TDevicePicture&>(page).play(&painter);
  return image;
}

void BlackBox(TCanvas& c, int left, int top, int right, int bottom) {
  c.Pen().Style = psClear;
  c.Brush().Color = clBlack;
  c.Rectangle(left, top, right, bottom);
}

}  // namespace

// Where each page of a sheet goes: the mapping of logical page pixels to device pixels.
TEST(VuprinterJobTest, DrawingAreaPlacesEachPageOnItsPartOfTheSheet) {
  TMemoryPrinterInstall install({StripedA4()});
  struct TCase {
    TVuPagesPerSheet PerSheet;
    TVuOrientation Pages;
    int Page;
    QTransform Mapping;
  } cases[] = {
      {vuOnePage, vuPortrait, 1, QTransform(1, 0, 0, 1, -65, -50)},
      {vuOnePage, vuLandscape, 1, QTransform(1, 0, 0, 1, -50, -58)},
      // Two portrait pages on a landscape sheet 3508 x 2480: halves 1754 wide, scale 70.
      {vuTwoPage, vuPortrait, 1, QTransform(1227 / 1754.0, 0, 0, 1736 / 2480.0, -50, -58)},
      {vuTwoPage, vuPortrait, 2, QTransform(1227 / 1754.0, 0, 0, 1736 / 2480.0, 1754 - 50, -58)},
      {vuTwoPage, vuLandscape, 1, QTransform(1736 / 2480.0, 0, 0, 1227 / 1754.0, -65, -50)},
      {vuTwoPage, vuLandscape, 2, QTransform(1736 / 2480.0, 0, 0, 1227 / 1754.0, -65, 1754 - 50)},
      // Four pages on a portrait sheet: quarters 1240 x 1754, scale 49.
      {vuFourPage, vuPortrait, 1, QTransform(607 / 1240.0, 0, 0, 859 / 1754.0, -65, -50)},
      {vuFourPage, vuPortrait, 2, QTransform(607 / 1240.0, 0, 0, 859 / 1754.0, 1240 - 65, -50)},
      {vuFourPage, vuPortrait, 3, QTransform(607 / 1240.0, 0, 0, 859 / 1754.0, -65, 1754 - 50)},
      {vuFourPage, vuPortrait, 4, QTransform(607 / 1240.0, 0, 0, 859 / 1754.0, 1240 - 65, 1754 - 50)},
      {vuFourPage, vuPortrait, 5, QTransform(607 / 1240.0, 0, 0, 859 / 1754.0, -65, -50)},
  };
  for (const TCase& c : cases) {
    TVuPrinter printer;
    std::vector<TVuOrientation> pages(c.Page, c.Pages);
    QTransform seen;
    RunJob(printer, c.PerSheet, pages, [&](int page) {
      if (page == c.Page) seen = printer.Canvas().Mapping();
    });
    EXPECT_EQ(seen, c.Mapping) << "pages per sheet " << c.PerSheet << ", orientation " << c.Pages << ", page "
                               << c.Page;
  }
}

// Which sheets a job makes, and in which orientation.
TEST(VuprinterJobTest, SheetsAndTheirOrientations) {
  const int P = DMORIENT_PORTRAIT, L = DMORIENT_LANDSCAPE;
  struct TCase {
    const char* What;
    TVuPagesPerSheet PerSheet;
    std::vector<TVuOrientation> Pages;
    std::vector<int> Sheets;
  } cases[] = {
      {"one-up: every sheet its page's orientation, back to the first one too", vuOnePage,
       {vuPortrait, vuLandscape, vuPortrait}, {P, L, P}},
      {"two-up: portrait pages share landscape sheets, whatever the later pages say", vuTwoPage,
       {vuPortrait, vuPortrait, vuLandscape, vuPortrait, vuPortrait}, {L, L, L}},
      {"four-up: the fifth page starts the second sheet", vuFourPage,
       {vuPortrait, vuPortrait, vuPortrait, vuPortrait, vuPortrait}, {P, P}},
      {"four-up keeps the first sheet's orientation", vuFourPage,
       {vuLandscape, vuPortrait, vuPortrait, vuPortrait, vuPortrait, vuPortrait}, {L, L}},
  };
  for (const TCase& c : cases) {
    TMemoryPrinterInstall install({StripedA4()});
    TVuPrinter printer;
    RunJob(printer, c.PerSheet, c.Pages);
    ASSERT_EQ(install.Backend().Jobs.size(), 1u) << c.What;
    EXPECT_EQ(SheetOrientations(*install.Backend().Jobs[0]), c.Sheets) << c.What;
    EXPECT_TRUE(install.Backend().Jobs[0]->Finished) << c.What;
  }
}

TEST(VuprinterJobTest, PageDrawnFromThePaperCornerLandsAtItsInchPosition) {
  TMemoryPrinterInstall install({StripedA4()});
  TVuPrinter printer;
  RunJob(printer, vuOnePage, {vuPortrait, vuLandscape}, [&](int) {
    EXPECT_TRUE(printer.Canvas().Painter()->testRenderHint(QPainter::LosslessImageRendering));
    BlackBox(printer.Canvas(), 300, 600, 600, 750);  // 1 in across, 2 in down
  });
  const TMemoryJob& job = *install.Backend().Jobs[0];
  // Device pixels start at the printable corner: portrait strips 65/50, landscape 50/58.
  const QPoint corners[] = {{300 - 65, 600 - 50}, {300 - 50, 600 - 58}};
  for (int sheet = 0; sheet < 2; ++sheet) {
    QImage image = Play(*job.Pages[sheet]);
    QPoint c = corners[sheet];
    EXPECT_EQ(image.pixel(c), qRgb(0, 0, 0)) << sheet;
    EXPECT_EQ(image.pixel(c + QPoint(299, 149)), qRgb(0, 0, 0)) << sheet;
    EXPECT_EQ(image.pixel(c - QPoint(1, 0)), qRgb(255, 255, 255)) << sheet;
    EXPECT_EQ(image.pixel(c + QPoint(300, 149)), qRgb(255, 255, 255)) << sheet;
  }
  EXPECT_EQ(printer.Canvas().Mapping(), QTransform()) << "outside a job the canvas is in device pixels";
}

TEST(VuprinterJobTest, StartingAndEndingWithTheirEvents) {
  TRecordedServices services;
  QStringList log;
  auto hooks = [&](TVuPrinter& p) {
    p.BeforePrint = [&](TPersistent* s) { log << (s == &p && p.Printing() ? "before, printing" : "before?"); };
    p.AfterPrint = [&](TPersistent* s) { log << (s == &p && !p.Printing() ? "after" : "after?"); };
    p.OnAbortPrint = [&](TPersistent* s) { log << (s == &p && !p.Printing() ? "abort" : "abort?"); };
  };
  {
    TMemoryPrinterInstall install({});
    TVuPrinter printer;
    hooks(printer);
    try {
      printer.BeginDoc();
      ADD_FAILURE() << "no error";
    } catch (const EPrinter& e) {
      EXPECT_EQ(e.Message(), "There is no default printer currently selected");
    }
    EXPECT_FALSE(printer.Printing());
  }
  {
    TMemoryPrinter broken = StripedA4();
    broken.DriverOpens = false;
    TMemoryPrinterInstall install({broken});
    TVuPrinter printer;
    hooks(printer);
    printer.BeginDoc();
    EXPECT_EQ(services.Messages, QStringList{"Unable to print... No Printer available."});
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(install.Backend().Jobs.empty());
  }
  EXPECT_TRUE(log.isEmpty()) << log.join(", ").toStdString();

  TMemoryPrinterInstall install({StripedA4()});
  TVuPrinter printer;
  hooks(printer);
  printer.Title = "Labels";
  printer.EndDoc();
  printer.Abort();
  printer.NewPage();
  EXPECT_TRUE(log.isEmpty()) << "nothing happens without a job";
  printer.BeginDoc();
  printer.BeginDoc();  // a job is open: nothing
  printer.EndDoc();
  EXPECT_EQ(log, QStringList({"before, printing", "after"}));
  ASSERT_EQ(install.Backend().Jobs.size(), 1u);
  EXPECT_EQ(install.Backend().Jobs[0]->Title, "Labels");

  log.clear();
  printer.BeforePrint = [&](TPersistent*) { printer.Abort(); };
  printer.BeginDoc();
  EXPECT_EQ(log, QStringList{"abort"});
  EXPECT_TRUE(printer.Aborted());
  EXPECT_FALSE(printer.Printing());
  EXPECT_EQ(install.Backend().Jobs.size(), 1u) << "nothing reached the printer";
}

// An error in the middle of a job must not leave half a job behind.
TEST(VuprinterJobTest, ErrorsInTheMiddleAbortTheJob) {
  TMemoryPrinterInstall install({StripedA4()});
  int aborts = 0;
  {
    TVuPrinter printer;
    printer.OnAbortPrint = [&](TPersistent*) { ++aborts; };
    EXPECT_THROW(
        {
          TVuPrintJobGuard guard(printer);
          printer.BeginDoc();
          printer.NewPage();
          RaiseListIndexError(7);  // the caller's page lookup fails
        },
        EListError);
    EXPECT_FALSE(printer.Printing());
    EXPECT_TRUE(printer.Aborted());
    EXPECT_EQ(aborts, 1);
    {
      TVuPrintJobGuard guard(printer);
      printer.BeginDoc();
      printer.EndDoc();
    }
    EXPECT_EQ(aborts, 1) << "a job that ended is left alone";
    printer.BeginDoc();
  }  // destroyed with the job open
  EXPECT_EQ(aborts, 1) << "the destructor aborts without events";
  auto& jobs = install.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_TRUE(jobs[0]->Aborted && !jobs[0]->Finished);
  EXPECT_TRUE(jobs[1]->Finished && !jobs[1]->Aborted);
  EXPECT_TRUE(jobs[2]->Aborted && !jobs[2]->Finished);
  EXPECT_FALSE(Printer().Printing());
}

TEST(VuprinterJobTest, PrintToFileWritesTheSameSheetsAsPdf) {
  if (!HaveProgram("pdftoppm") || !HaveProgram("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
  // PDF pages place their printable area at whole points, as every device's description
  // gives it: strips of 18, 12, 6 and 24 pt.
  TMemoryPrinterInstall install({MemoryA4Printer("A", 300, 75, 50, 25, 100)});
  TTempDir dir;
  const QString pdf = dir.File("labels.pdf");
  TVuPrinter printer;
  printer.SetOutputFileName(pdf);
  QImage colour(64, 32, QImage::Format_RGB32);
  colour.fill(qRgb(200, 30, 40));
  RunJob(printer, vuOnePage, {vuPortrait, vuLandscape}, [&](int) {
    BlackBox(printer.Canvas(), 300, 600, 600, 750);
    printer.Canvas().StretchDrawImage(QRect(900, 900, 964, 932), colour);
  });
  EXPECT_TRUE(install.Backend().Jobs.empty()) << "nothing went to the printer";
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"labels.pdf"});
  TPdfInfo info = ReadPdfInfo(pdf);
  EXPECT_EQ(info.Pages, 2);
  QImage portrait = RenderPdfPage(pdf, 1, 300), landscape = RenderPdfPage(pdf, 2, 300);
  EXPECT_NEAR(portrait.width(), 2480, 1);
  EXPECT_NEAR(landscape.width(), 3508, 1);
  for (const QImage& page : {portrait, landscape}) {
    QRect box = DarkBox(page.copy(0, 0, 800, 800));
    EXPECT_NEAR(box.left(), 300, 1);
    EXPECT_NEAR(box.top(), 600, 1);
    EXPECT_NEAR(box.right(), 599, 1);
    EXPECT_NEAR(box.bottom(), 749, 1);
    EXPECT_EQ(page.pixel(930, 915), qRgb(200, 30, 40)) << "the picture keeps its colour exactly";
  }
  QFile file(pdf);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_FALSE(file.readAll().contains("DCTDecode")) << "no picture went through JPEG";
}

// A file that cannot be written raises the file-creation error and leaves no file; an
// aborted job leaves an older file as it was.
TEST(VuprinterJobTest, PrintToFileFailsSafely) {
  TMemoryPrinterInstall install({StripedA4()});
  TTempDir dir;
  int after = 0;
  TVuPrinter printer;
  printer.AfterPrint = [&](TPersistent*) { ++after; };
  auto errorOf = [&](const std::function<void()>& f) {
    try {
      f();
    } catch (const EFCreateError& e) {
      return e.Message();
    }
    return QString();
  };

  const QString missing = dir.File("no/such/folder/x.pdf");
  printer.SetOutputFileName(missing);
  EXPECT_EQ(errorOf([&] { printer.BeginDoc(); }),
            QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(missing));
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(Printer().Printing());

  const QString old = dir.File("old.pdf");
  QFile f(old);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("older");
  f.close();
  printer.SetOutputFileName(old);
  printer.BeginDoc();
  EXPECT_THROW(printer.SetOutputFileName(QString()), EPrinter);
  BlackBox(printer.Canvas(), 10, 10, 20, 20);
  printer.Abort();
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.pdf"});
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "older");
  f.close();

  // The folder goes away while the job is drawn: the file cannot be put in place.
  const QString gone = dir.File("gone");
  ASSERT_TRUE(QDir().mkpath(gone));
  const QString target = gone + QStringLiteral("/x.pdf");
  printer.SetOutputFileName(target);
  printer.BeginDoc();
  QDir(gone).removeRecursively();
  EXPECT_TRUE(errorOf([&] { printer.EndDoc(); }).startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(target)));
  EXPECT_FALSE(printer.Printing());
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_EQ(after, 0);
}
