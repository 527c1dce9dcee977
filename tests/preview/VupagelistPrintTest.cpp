// The page list's print jobs on the in-memory print service: page order, progress and abort,
// pages outside the list, the margin clip and jobs into files.
#include <gtest/gtest.h>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/preview/VupagelistPrintSupport.h"

namespace {

// A4 at 300 ppi; strips of 30, 45, 30 and 45 pixels, so the device's origin is not the paper's.
struct TPrintedDocument {
  TMemoryPrinterInstall Install{{MemoryA4Printer(QStringLiteral("Memory"), 300, 30, 45, 30, 45)},
                                QStringLiteral("Memory")};
  TVuPageList List;
  explicit TPrintedDocument(int pages) {
    for (int n = 1; n <= pages; ++n) AddNumberedPage(List, n);
  }
  std::vector<std::shared_ptr<TMemoryJob>>& Jobs() { return Install.Backend().Jobs; }
  // The dark box of a recorded page, in pixels from the paper corner.
  QRect Box(const TMemoryJob& job, size_t page) {
    return DarkBox(PlayPage(*job.Pages[page], QSize(2420, 3418))).translated(30, 45);
  }
  // The page numbers of a job's sheets, read from their marks.
  std::vector<int> Marks(const TMemoryJob& job) {
    std::vector<int> marks;
    for (size_t i = 0; i < job.Pages.size(); ++i) marks.push_back(MarkNumber(Box(job, i).width(), 300));
    return marks;
  }
};

}  // namespace

TEST(VupagelistPrintTest, PagesPrintInTheOrderAskedFromThePaperCorner) {
  struct TCase {
    const char* What;
    std::function<void(TVuPageList&)> Print;
    std::vector<int> Pages;
  } cases[] = {
      {"Print", [](TVuPageList& l) { l.Print(); }, {1, 2, 3}},
      {"PrintRange(1, 3)", [](TVuPageList& l) { l.PrintRange(1, 3); }, {1, 2, 3}},
      {"PrintPages(2, 2, 1)", [](TVuPageList& l) { l.PrintPages(std::vector<int>{2, 2, 1}); }, {2, 2, 1}},
  };
  for (const TCase& c : cases) {
    TPrintedDocument d(3);
    std::vector<std::pair<int, int>> progress;
    d.List.OnPrintProgress = [&](TPersistent* sender, int printed, int total) {
      EXPECT_EQ(sender, &d.List);
      progress.emplace_back(printed, total);
    };
    c.Print(d.List);
    ASSERT_EQ(d.Jobs().size(), 1u) << c.What;
    TMemoryJob& job = *d.Jobs()[0];
    EXPECT_TRUE(job.Finished) << c.What;
    EXPECT_EQ(d.Marks(job), c.Pages) << c.What;
    const int n = int(c.Pages.size());
    EXPECT_EQ(progress.size(), size_t(n)) << c.What;
    EXPECT_EQ(progress.back(), std::make_pair(n, n)) << c.What;
    // The mark drawn one inch into the page is one inch from the paper's corner.
    EXPECT_EQ(d.Box(job, 0).topLeft(), QPoint(300, 300)) << c.What;
  }
}

// Jobs that stop early: by a progress handler, by a page outside the list, or not at all.
TEST(VupagelistPrintTest, StoppedJobsLeaveNothingOpen) {
  struct TCase {
    const char* What;
    std::function<void(TPrintedDocument&)> Run;
    bool Started;  // a job reached the print service
    int Sheets;    // sheets it started
  } cases[] = {
      // The third sheet is started before the progress of the second page is told.
      {"a progress handler aborts after the second page",
       [](TPrintedDocument& d) {
         d.List.OnPrintProgress = [&](TPersistent*, int printed, int) {
           if (printed == 2) d.List.VuPrinter().Abort();
         };
         d.List.Print();
       },
       true, 3},
      {"a page after the last",
       [](TPrintedDocument& d) { EXPECT_THROW(d.List.PrintPages(std::vector<int>{1, 7}), EListError); }, true, 1},
      {"page 0 first",
       [](TPrintedDocument& d) { EXPECT_THROW(d.List.PrintRange(0, 2), EListError); }, false, 0},
      {"an empty list",
       [](TPrintedDocument& d) {
         d.List.ClearPages(true, true);
         d.List.Print();
       },
       false, 0},
  };
  for (const TCase& c : cases) {
    TPrintedDocument d(3);
    int aborts = 0, ends = 0;
    d.List.VuPrinter().OnAbortPrint = [&](TPersistent*) { ++aborts; };
    d.List.VuPrinter().AfterPrint = [&](TPersistent*) { ++ends; };
    c.Run(d);
    EXPECT_FALSE(d.List.VuPrinter().Printing()) << c.What;
    EXPECT_EQ(ends, 0) << c.What;
    ASSERT_EQ(d.Jobs().size(), c.Started ? 1u : 0u) << c.What;
    if (!c.Started) continue;
    EXPECT_EQ(aborts, 1) << c.What;
    EXPECT_TRUE(d.Jobs()[0]->Aborted) << c.What;
    EXPECT_FALSE(d.Jobs()[0]->Finished) << c.What;
    EXPECT_EQ(d.Jobs()[0]->Pages.size(), size_t(c.Sheets)) << c.What;
  }
}

// A box over the whole page is cut to the margins when they clip, else to the page.
TEST(VupagelistPrintTest, MarginsClipThePrintedPage) {
  for (bool clip : {true, false}) {
    TPrintedDocument d(0);
    d.List.AddPage();
    d.List.Canvas().Brush().Color = clBlack;
    d.List.Canvas().Brush().Style = bsSolid;
    d.List.Canvas().Rectangle(-1, -1, 10, 13, vuInches);
    d.List.Margins().SetAsInches(VuRect(1, 0.5L, 0.75L, 0.25L));
    d.List.Margins().SetClipMargins(clip);
    d.List.Print();
    ASSERT_EQ(d.Jobs().size(), 1u);
    const TVuSize size = d.List.Page(1)->GetPageSize(vuInches);
    const int w = VuRound(size.Width * 300), h = VuRound(size.Height * 300);
    const QRect expected = clip ? QRect(QPoint(300, 150), QPoint(w - 225 - 1, h - 75 - 1))
                                : QRect(QPoint(30, 45), QPoint(std::min(w, 2450) - 1, std::min(h, 3463) - 1));
    EXPECT_EQ(d.Box(*d.Jobs()[0], 0), expected) << "clip " << clip;
  }
}

TEST(VupagelistPrintTest, PrintToFileWritesTheSameJobIntoAPdf) {
  TPrintedDocument d(0);
  // A light picture shared by every page (light, so that the marks stay the only dark ink).
  TBitmap picture(64, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) picture.Canvas().SetPixel(x, y, RGBColor(160 + x, 200 + y, 255 - x));
  for (int n = 1; n <= 3; ++n) {
    AddNumberedPage(d.List, n);
    d.List.Canvas().StretchDraw(3, 5, 5, 6, picture, vuInches);
  }
  TTempDir dir;
  const QString file = dir.File("pages.pdf");
  d.List.PrintToFile(file);
  EXPECT_TRUE(d.Jobs().empty()) << "nothing went to the print service";
  ASSERT_EQ(ReadPdfInfo(file).Pages, 3);
  // The picture went into the file once, for all pages, without lossy compression.
  QByteArray list;
  ASSERT_EQ(RunProgram("pdfimages", {"-list", file}, &list), 0);
  QStringList objects, encodings;
  for (const QString& line : QString::fromUtf8(list).split(u'\n').mid(2)) {
    const QStringList f = line.simplified().split(u' ');
    if (f.size() < 11 || f[2] != "image") continue;
    encodings << f[8];
    objects << f[10];
  }
  EXPECT_EQ(objects.size(), 3);
  EXPECT_EQ(objects.count(objects.value(0)), objects.size()) << objects.join(u',').toStdString();
  EXPECT_FALSE(encodings.contains("jpeg")) << encodings.join(u',').toStdString();
  // The next job goes to the printer again.
  d.List.PrintRange(1, 1);
  EXPECT_EQ(d.Jobs().size(), 1u);
  EXPECT_TRUE(d.List.VuPrinter().GetOutputFileName().isEmpty());

  // Names that cannot be written raise the file error and leave nothing, the printer idle.
  for (const QString& bad : {QString(), dir.File("missing/pages.pdf")}) {
    EXPECT_THROW(d.List.PrintToFile(bad), EFCreateError) << bad.toStdString();
    EXPECT_FALSE(d.List.VuPrinter().Printing());
    EXPECT_TRUE(d.List.VuPrinter().GetOutputFileName().isEmpty());
  }
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{"pages.pdf"});
  EXPECT_EQ(d.Jobs().size(), 1u);
}
