// Printing barcode pages without a window: the command line's print options and the jobs
// they start, on an in-memory print service.
#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include "TestSupport.h"
#include "RunCommandLine.h"
#include "app/CommandLine.h"
#include "app/PrintCommand.h"
#include "tests/support/MemoryPrinterBackend.h"


TEST(PrintCommandLine, ParserPicksThePrintModesAndRefusesWhatDoesNotFit) {
  using enum TCommandMode;
  struct { QStringList Args; TCommandMode Mode; const char* Error; } cases[] = {
      {{"--value", "1", "--print"}, cmPrint, ""},
      {{"--value", "1", "--print", "--printer", "PDF", "--copies", "2"}, cmPrint, ""},
      {{"--value", "1", "--pdf", "a.pdf"}, cmPdf, ""},
      {{"--batch", "l", "--pdf", "a.pdf", "--pages-per-sheet", "4"}, cmBatchPdf, ""},
      {{"--value", "1", "--print", "--save", "a.bmp"}, cmUsageError, "--save and --print cannot be used together."},
      {{"--batch", "l", "--out", "d", "--pdf", "a.pdf"}, cmUsageError, "--out and --pdf cannot be used together."},
      {{"--value", "1", "--pdf", "a.pdf", "--printer", "PDF"}, cmPdf, ""},
      {{"--value", "1", "--save", "a.bmp", "--printer", "PDF"}, cmUsageError, "--printer goes with --print or --pdf."},
      {{"--value", "1", "--print", "--paper", "A4"}, cmUsageError, "--paper goes with --pdf."},
      {{"--value", "1", "--print", "--copies", "0"}, cmUsageError, "--copies needs a number from 1 to 999."},
      {{"--batch", "l", "--pdf", "a.pdf", "--pages-per-sheet", "3"}, cmUsageError, "--pages-per-sheet needs 1, 2 or 4."},
      {{"--batch", "l", "--out", "d", "--pages-per-sheet", "2"}, cmUsageError, "--pages-per-sheet goes with --batch and --pdf or --print."},
      {{"--modules", "1", "--print"}, cmUsageError, "--print goes with --value or --batch."},
      {{"--batch", "l", "--print", "--printer", "PDF", "--copies", "2", "--pages-per-sheet", "2"}, cmBatchPrint, ""},
      {{"--batch", "l", "--print", "--pdf", "a.pdf"}, cmUsageError, "--pdf and --print cannot be used together."},
      {{"--batch", "l", "--pdf", "a.pdf", "--copies", "2"}, cmUsageError, "--copies goes with --print."},
  };
  for (const auto& c : cases) {
    const TCommandLine r = ParseCommandLine(c.Args);
    EXPECT_EQ(r.Mode, c.Mode) << c.Args.join(u' ').toStdString() << ": " << r.Error.toStdString();
    EXPECT_EQ(r.Error, QString::fromLatin1(c.Error)) << c.Args.join(u' ').toStdString();
  }
}

TEST(PrintCommandLine, PrintsOnTheNamedQueueWithItsCopiesAndRefusesAMissingOne) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha")), MemoryA4Printer(QStringLiteral("Beta"))},
                                 QStringLiteral("Alpha"));
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--value", "400638133393", "--print", "--printer", "beta", "--copies", "3"}, &out, &err), 0) << err.data();
  EXPECT_EQ(RunLine({"--value", "400638133393", "--print"}, &out, &err), 0) << err.data();
  auto& jobs = printers.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0]->Device, "Beta");
  EXPECT_EQ(jobs[0]->Mode.Copies, 3);
  EXPECT_EQ(jobs[0]->Pages.size(), 1u);
  EXPECT_TRUE(jobs[0]->Finished);
  // The selection made by the first run stays for the process, as in the window.
  EXPECT_EQ(jobs[1]->Device, "Beta");

  EXPECT_EQ(RunLine({"--value", "400638133393", "--print", "--printer", "Gamma"}, &out, &err), 1);
  EXPECT_EQ(err, "Printer \"Gamma\" is not installed.\n");
  EXPECT_EQ(jobs.size(), 2u);
}

TEST(PrintCommandLine, NoPrinterIsAnErrorNotASilentSuccess) {
  TMemoryPrinterInstall none({});
  QByteArray err;
  EXPECT_EQ(RunLine({"--value", "400638133393", "--print"}, nullptr, &err), 1);
  EXPECT_EQ(err, "There is no default printer currently selected\n");
}

TEST(PrintCommandLine, BatchPdfHasOnePagePerAcceptedValueFourToASheet) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha"));
  TTempDir dir;
  QFile list(dir.File(QStringLiteral("list.txt")));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("400638133393\nabc\n978020137962\n\n590123412345\n400638133393\n501234567890\n");
  list.close();
  const QString pdf = dir.File(QStringLiteral("out.pdf"));
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--batch", list.fileName(), "--pdf", pdf, "--pages-per-sheet", "4"}, &out, &err), 1);
  EXPECT_EQ(out, "5 pages, 1 refused\n");
  EXPECT_EQ(err, "line 2: EAN13 must be 13 digits.\n");
  ASSERT_TRUE(QFile::exists(pdf));
  EXPECT_TRUE(printers.Backend().Jobs.empty());  // a file job bypasses the spooler
  if (!HaveProgram(QStringLiteral("pdfinfo")) || !HaveProgram(QStringLiteral("pdfimages")))
    GTEST_SKIP() << "poppler-utils are not installed";
  QByteArray info, images;
  ASSERT_EQ(RunProgram(QStringLiteral("pdfinfo"), {pdf}, &info), 0);
  EXPECT_TRUE(QString::fromLatin1(info).contains(QRegularExpression(QStringLiteral("\\nPages: +2\\n"))))
      << info.toStdString();
  // Four different pictures (the repeated value shares its picture), none through JPEG.
  ASSERT_EQ(RunProgram(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}, &images), 0);
  QSet<QByteArray> objects;
  const QList<QByteArray> lines = images.split('\n');
  for (qsizetype i = 2; i < lines.size(); ++i) {
    const QList<QByteArray> f = lines[i].simplified().split(' ');
    if (f.size() < 12) continue;
    EXPECT_NE(f[8], "jpeg") << lines[i].data();
    objects.insert(f[10]);
  }
  EXPECT_EQ(objects.size(), 4);
}

TEST(PrintCommandLine, BatchPrintIsOneJobOnTheNamedQueue) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha")), MemoryA4Printer(QStringLiteral("Beta"))},
                                 QStringLiteral("Alpha"));
  TTempDir dir;
  QFile list(dir.File(QStringLiteral("list.txt")));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("400638133393\n978020137962\n590123412345\n501234567890\n978030640615\n");
  list.close();
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--batch", list.fileName(), "--print", "--printer", "Beta", "--copies", "2", "--pages-per-sheet", "2"},
                    &out, &err), 0) << err.data();
  // The in-memory service numbers no jobs.
  EXPECT_EQ(out, "5 pages, 0 refused, job 0\n");
  auto& jobs = printers.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]->Device, "Beta");
  EXPECT_EQ(jobs[0]->Mode.Copies, 2);
  EXPECT_EQ(jobs[0]->Pages.size(), 3u);  // two pages to a sheet
  EXPECT_TRUE(jobs[0]->Finished);
}
