// Command-line runs that cannot end well end at once with the reason and status 1: a box
// that would wait for a person, a barcode off the printable area, a page file without pages;
// and a PDF file that needs no printer, on its own paper.
#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include "RunCommandLine.h"
#include "TestSupport.h"
#include "platform/Printers.h"
#include "platform/Services.h"
#include "preview/document/Vupagelist.h"
#include "tests/support/MemoryPrinterBackend.h"

namespace {

const QStringList Value{"--value", "590123412345"};

// The first page's size in whole millimetres, read from the PDF's media box.
QString PageMillimetres(const QString& pdf) {
  QFile f(pdf);
  if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("no file");
  const auto m = QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(QString::fromLatin1(f.readAll()));
  if (!m.hasMatch()) return QStringLiteral("no media box");
  auto mm = [](const QString& points) { return QString::number(std::lround(points.toDouble() * 25.4 / 72)); };
  return mm(m.captured(1)) + u'x' + mm(m.captured(2));
}

// A label printer: a 28 x 89 mm sheet, all of it printable, at 300 dpi.
TMemoryPrinter MemoryLabelPrinter(const QString& name) {
  TMemoryPrinter p = MemoryA4Printer(name);
  p.Capabilities.Papers = {{QStringLiteral("Label 28 x 89 mm"), DMPAPER_USER, QStringLiteral("Label")}};
  p.Defaults.PaperSize = DMPAPER_USER;
  p.Geometry = {331, 1051, 331, 1051, 0, 0, 300, 300};
  return p;
}

}  // namespace

TEST(CommandFaults, AMessageBoxEndsTheRunWithItsTextInsteadOfWaiting) {
  TMemoryPrinter dead = MemoryA4Printer(QStringLiteral("Dead"));
  dead.DriverOpens = false;
  TMemoryPrinterInstall printers({dead}, QStringLiteral("Dead"));
  TTempDir dir;
  QByteArray out, err;
  EXPECT_EQ(RunLine(Value + QStringList{"--print"}, &out, &err), 1);
  EXPECT_EQ(err, "Unable to print... No Printer available.\n");
  EXPECT_EQ(RunLine(Value + QStringList{"--pdf", dir.File("a.pdf"), "--printer", "Dead"}, &out, &err), 1);
  EXPECT_EQ(err, "Unable to print... No Printer available.\n");
  EXPECT_FALSE(QFile::exists(dir.File("a.pdf")));
  EXPECT_TRUE(printers.Backend().Jobs.empty());
  // The window's services are back once the run is over.
  EXPECT_FALSE(ServiceHooks().MessageBox);
  EXPECT_FALSE(ServiceHooks().ErrorDisplay);
}

TEST(CommandFaults, ABarcodeOffThePrintableAreaIsRefusedNotPrintedBlank) {
  TMemoryPrinterInstall printers({MemoryLabelPrinter(QStringLiteral("Label")),
                                  MemoryA4Printer(QStringLiteral("Wide"), 300, 0, 0, 0, 0),
                                  // 80 mm at the right edge cannot be printed on.
                                  MemoryA4Printer(QStringLiteral("Narrow"), 300, 0, 0, 945, 0)},
                                 QStringLiteral("Label"));
  TTempDir dir;
  QFile list(dir.File(QStringLiteral("list.txt")));
  ASSERT_TRUE(list.open(QIODevice::WriteOnly));
  list.write("400638133393\n978030640615\n");
  list.close();
  const QString pdf = dir.File(QStringLiteral("out.pdf"));
  struct {
    QStringList Args;
    int Status;
  } cases[] = {
      {Value + QStringList{"--print"}, 1},
      {Value + QStringList{"--pdf", pdf, "--printer", "Label"}, 1},
      {Value + QStringList{"--print", "--printer", "Wide"}, 0},
      {Value + QStringList{"--print", "--printer", "Narrow"}, 1},
      // Two pages to a landscape sheet: the second page's barcode lands in the strip.
      {{"--batch", list.fileName(), "--pdf", pdf, "--printer", "Narrow", "--pages-per-sheet", "2"}, 1},
      {{"--batch", list.fileName(), "--pdf", pdf, "--printer", "Wide", "--pages-per-sheet", "4"}, 0},
  };
  for (const auto& c : cases) {
    QByteArray out, err;
    const std::string line = c.Args.join(u' ').toStdString();
    QFile::remove(pdf);
    EXPECT_EQ(RunLine(c.Args, &out, &err), c.Status) << line << ": " << err.data();
    if (c.Status == 0) continue;
    EXPECT_TRUE(err.startsWith("The barcode lies outside the printable area of the ")) << line << ": " << err.data();
    EXPECT_FALSE(QFile::exists(pdf)) << line;
  }
  // Only the run that fits reached the spooler.
  EXPECT_EQ(printers.Backend().Jobs.size(), 1u);
}

TEST(CommandFaults, APdfFileNeedsNoPrinterAndIsOnItsPaper) {
  // The default printer has Letter paper; a PDF file does not take it without --printer.
  TMemoryPrinter letter = MemoryA4Printer(QStringLiteral("Alpha"));
  letter.Defaults.PaperSize = 1;
  TTempDir dir;
  const QString pdf = dir.File(QStringLiteral("out.pdf"));
  QFile csv(dir.File(QStringLiteral("t.csv")));
  ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
  csv.write("a,b\n1,2\n");
  csv.close();
  QFile values(dir.File(QStringLiteral("values.txt")));
  ASSERT_TRUE(values.open(QIODevice::WriteOnly));
  values.write("4006381333931\n");
  values.close();
  struct {
    std::vector<TMemoryPrinter> Printers;
    QStringList Args;
    const char* Size;
  } cases[] = {
      {{}, Value + QStringList{"--pdf", pdf}, "210x297"},
      {{}, Value + QStringList{"--pdf", pdf, "--paper", "letter"}, "216x279"},
      {{letter}, Value + QStringList{"--pdf", pdf, "--paper", "A5"}, "148x210"},
      {{letter}, Value + QStringList{"--pdf", pdf}, "210x297"},
      {{letter}, {"--grid-pdf", csv.fileName(), pdf}, "210x297"},
      {{}, {"--grid-pdf", csv.fileName(), pdf, "--paper", "Legal"}, "216x356"},
      // Labels are on their sheet's paper, whatever the default printer has.
      {{letter}, {"--labels", "letter-3x10-2.625x1in", "--batch", values.fileName(), "--pdf", pdf}, "216x279"},
  };
  for (auto& c : cases) {
    TMemoryPrinterInstall printers(c.Printers, c.Printers.empty() ? QString() : c.Printers.front().Name);
    const std::string line = c.Args.join(u' ').toStdString();
    QFile::remove(pdf);
    QByteArray out, err;
    EXPECT_EQ(RunLine(c.Args, &out, &err), 0) << line << ": " << err.data();
    EXPECT_EQ(PageMillimetres(pdf), QLatin1String(c.Size)) << line;
    // The print service the run replaced is back.
    EXPECT_EQ(Printer().Printers().size(), qsizetype(c.Printers.size())) << line;
  }
  QByteArray err;
  EXPECT_EQ(RunLine(Value + QStringList{"--pdf", pdf, "--paper", "A9"}, nullptr, &err), 2);
  EXPECT_TRUE(err.startsWith("--paper needs one of A3, A4, A5, A6, B5, C5, Legal, Letter, B4,")) << err.data();
}

TEST(CommandFaults, APageFileWithoutPagesIsRefused) {
  TMemoryPrinterInstall none({});
  TTempDir dir;
  TVuPageList empty;
  empty.ClearPages(true, true);
  ASSERT_EQ(empty.Count(), 0);
  const QString file = dir.File(QStringLiteral("empty.vup")), pdf = dir.File(QStringLiteral("out.pdf"));
  empty.SaveToFile(file);
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--view", file, "--pdf", pdf}, &out, &err), 1);
  EXPECT_EQ(QString::fromLocal8Bit(err), QStringLiteral("\"%1\" has no pages: there is nothing to print.\n").arg(file));
  EXPECT_TRUE(out.isEmpty());
  EXPECT_FALSE(QFile::exists(pdf));
}
