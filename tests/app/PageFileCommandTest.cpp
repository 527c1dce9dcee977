// Page files from the command line: the barcode document saved as a page file, and a page
// file printed into a PDF file without a window; unreadable files and damaged ones refused.
#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include "TestSupport.h"
#include "RunCommandLine.h"
#include "app/CommandLine.h"
#include "app/PrintCommand.h"
#include "platform/Files.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/document/Vupagelist.h"


TEST(PageFileCommandLine, ParserTakesThePageFileModes) {
  using enum TCommandMode;
  struct TCase {
    QStringList args;
    TCommandMode mode;
  } cases[] = {
      {{"--value", "1", "--save-pages", "a.vup"}, cmSavePages},
      {{"--batch", "l", "--save-pages", "a.vup"}, cmBatchSavePages},
      {{"--view", "a.vup", "--pdf", "a.pdf"}, cmViewPdf},
      {{"--view", "a.vup"}, cmView},
      {{"--value", "1", "--save-pages", "a.vup", "--pdf", "a.pdf"}, cmUsageError},
      {{"--view", "a.vup", "--save-pages", "b.vup"}, cmUsageError},
      {{"--view", "a.vup", "--out", "d"}, cmUsageError},
      {{"--view"}, cmUsageError},
  };
  for (const TCase& c : cases) EXPECT_EQ(ParseCommandLine(c.args).Mode, c.mode) << c.args.join(' ').toStdString();
}

TEST(PageFileCommandLine, SavedPagesLoadAndPrintAsThePdfModeDoes) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha"));
  TTempDir dir;
  QFile list(dir.File("list.txt"));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("400638133393\nabc\n978020137962\n");
  list.close();
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--batch", list.fileName(), "--save-pages", dir.File("batch.vup")}, &out, &err), 1);
  EXPECT_EQ(out, "2 pages, 1 refused\n");
  EXPECT_EQ(RunLine({"--value", "400638133393", "--save-pages", dir.File("one.vup")}, &out), 0);
  EXPECT_EQ(out, "4006381333931\n");

  // The file holds the same document the PDF mode prints: one page with the barcode picture.
  TVuPageList loaded;
  QByteArray data = ReadWholeFile(dir.File("batch.vup"));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  ASSERT_TRUE(loaded.LoadFromStream(buffer));
  EXPECT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.ResourceTable().Graphics().Count(), 2);
  EXPECT_EQ(loaded.Page(2)->VuObject(0)->GetObjectID(), vuGraphicObject);

  EXPECT_EQ(RunLine({"--view", dir.File("batch.vup"), "--pdf", dir.File("batch.pdf")}, &out, &err), 0);
  EXPECT_EQ(out, "2 pages\n");
  EXPECT_TRUE(ReadWholeFile(dir.File("batch.pdf")).startsWith("%PDF"));
}

TEST(PageFileCommandLine, UnreadableOrDamagedFilesAreErrorsAndLeaveNothing) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha"));
  TTempDir dir;
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--value", "400638133393", "--save-pages", dir.File("no/such/folder/a.vup")}, &out, &err), 1);
  EXPECT_TRUE(err.startsWith("Cannot create file")) << err.toStdString();
  EXPECT_FALSE(QFile::exists(dir.File("no/such/folder/a.vup")));

  EXPECT_EQ(RunLine({"--view", dir.File("missing.vup"), "--pdf", dir.File("a.pdf")}, &out, &err), 1);
  EXPECT_TRUE(err.contains("missing.vup")) << err.toStdString();
  ASSERT_EQ(RunLine({"--value", "400638133393", "--save-pages", dir.File("one.vup")}), 0);
  QByteArray cut = ReadWholeFile(dir.File("one.vup"));
  cut.chop(3);
  WriteFileReplacing(dir.File("cut.vup"), cut, false);
  EXPECT_EQ(RunLine({"--view", dir.File("cut.vup"), "--pdf", dir.File("a.pdf")}, &out, &err), 1);
  EXPECT_TRUE(err.contains("is not a readable page file")) << err.toStdString();
  EXPECT_FALSE(QFile::exists(dir.File("a.pdf")));

  EXPECT_EQ(RunLine({"--view", dir.File("one.vup")}, &out, &err), 2);
  EXPECT_TRUE(err.contains("--pdf")) << err.toStdString();
}
