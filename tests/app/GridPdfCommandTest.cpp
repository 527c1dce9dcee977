// A CSV file as a grid in a PDF file: the command line, and the document read back with
// pdftotext (every cell once and in order, the heading on top of every page, the pages
// that the page-break rule gives, the same pages whether printed as laid out or after).
#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include "TestSupport.h"
#include "RunCommandLine.h"
#include "app/CommandLine.h"
#include "app/GridPdfCommand.h"
#include "tests/support/MemoryPrinterBackend.h"

namespace {

void WriteFile(const QString& name, const QByteArray& data) {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(data);
}

QString Cell(int row, int col) { return QStringLiteral("%1%2").arg(QChar(u'a' + col)).arg(row, 4, 10, QChar(u'0')); }
}  // namespace

TEST(GridPdfCommand, ParserTakesTwoFilesAndTheHeaderFlag) {
  using enum TCommandMode;
  struct { QStringList Args; TCommandMode Mode; const char* Error; } cases[] = {
      {{"--grid-pdf", "t.csv", "t.pdf"}, cmGridPdf, ""},
      {{"--grid-pdf", "t.csv", "t.pdf", "--header"}, cmGridPdf, ""},
      {{"--grid-pdf", "t.csv"}, cmUsageError, "--grid-pdf needs CSVFILE and OUTPUT.pdf."},
      {{"--grid-pdf", "t.csv", "--header"}, cmUsageError, "--grid-pdf needs CSVFILE and OUTPUT.pdf."},
      {{"--grid-pdf", "t.csv", "t.pdf", "--copies", "2"}, cmUsageError, "--copies does not go with --grid-pdf."},
      {{"--grid-pdf", "t.csv", "t.pdf", "--header", "--header"}, cmUsageError, "--header is given twice."},
      {{"--value", "1", "--grid-pdf", "t.csv", "t.pdf"}, cmUsageError, "--grid-pdf goes first."},
  };
  for (const auto& c : cases) {
    const TCommandLine r = ParseCommandLine(c.Args);
    EXPECT_EQ(r.Mode, c.Mode) << c.Args.join(u' ').toStdString();
    EXPECT_EQ(r.Error, QString::fromLatin1(c.Error)) << c.Args.join(u' ').toStdString();
  }
  const TCommandLine r = ParseCommandLine({"--grid-pdf", "t.csv", "t.pdf", "--header"});
  EXPECT_EQ(r.Value("--grid-pdf"), "t.csv");
  EXPECT_EQ(r.Value("--pdf"), "t.pdf");
  EXPECT_TRUE(r.Has("--header"));
}

TEST(GridPdfCommand, MalformedCsvIsRefusedWithItsLineAndWritesNothing) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha"));
  TTempDir dir;
  const QString csv = dir.File("bad.csv"), pdf = dir.File("bad.pdf");
  WriteFile(csv, "code,name\n1,ok\n2,\"not closed\n3,x\n");
  QByteArray out, err;
  EXPECT_EQ(RunLine({"--grid-pdf", csv, pdf}, &out, &err), 1);
  EXPECT_EQ(err, "CSV line 3: a quoted field is not closed.\n");
  EXPECT_FALSE(QFile::exists(pdf));
  WriteFile(csv, "");
  EXPECT_EQ(RunLine({"--grid-pdf", csv, pdf}, &out, &err), 1);
  EXPECT_EQ(err, "The CSV file has no records.\n");
  EXPECT_FALSE(QFile::exists(pdf));
}

TEST(GridPdfCommand, FiveHundredRowsReadBackInOrderWithTheHeadingOnEveryPage) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha"));
  TTempDir dir;
  constexpr int Rows = 500, Cols = 4;
  QByteArray data = "code,name,place,note\r\n";
  for (int r = 1; r <= Rows; ++r) {
    QStringList fields;
    for (int c = 0; c < Cols; ++c) fields << Cell(r, c);
    data += fields.join(u',').toUtf8() + "\r\n";
  }
  const QString csv = dir.File("rows.csv"), pdf = dir.File("rows.pdf");
  WriteFile(csv, data);

  // The pages the rule gives: rows of equal height h fill a page while they end above page
  // height - 2 x footer - bottom margin; later pages start one heading row below the top.
  auto doc = NewGridDocument(ParseCsv(data), true);
  doc->LayOut();
  TVuPageList& laidOut = *doc->Pages;
  const Extended h0 = doc->GridPrint->GetRowHeightInch(0), h = doc->GridPrint->GetRowHeightInch(1);
  const Extended top = laidOut.Margins().Top().Inches();
  const Extended cutOff =
      laidOut.GetPageSize(vuInches).Height - 2 * laidOut.Footer().GetHeight(vuInches) - laidOut.Margins().Bottom().Inches();
  int expectedPages = 1;
  Extended y = top + h0;
  for (int r = 1; r <= Rows; ++r) {
    if (y + h > cutOff) {
      ++expectedPages;
      y = top + h0;
    }
    y += h;
  }
  ASSERT_GT(expectedPages, 5);
  EXPECT_EQ(laidOut.Count(), expectedPages);

  QByteArray out, err;
  ASSERT_EQ(RunLine({"--grid-pdf", csv, pdf, "--header"}, &out, &err), 0) << err.data();
  EXPECT_EQ(out, QStringLiteral("%1 rows, %2 pages\n").arg(Rows + 1).arg(expectedPages).toUtf8());
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  QByteArray text;
  ASSERT_EQ(RunProgram("pdftotext", {"-layout", pdf, "-"}, &text), 0);
  QStringList pages = QString::fromUtf8(text).split(u'\f');
  if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
  ASSERT_EQ(pages.size(), expectedPages);

  QStringList cells;
  const QRegularExpression cellPattern(QStringLiteral("^[a-d][0-9]{4}$"));
  for (int p = 0; p < pages.size(); ++p) {
    QStringList lines;
    for (const QString& line : pages[p].split(u'\n'))
      if (!line.trimmed().isEmpty()) lines << line.simplified();
    ASSERT_GE(lines.size(), 3) << "page " << p + 1;
    EXPECT_EQ(lines.first(), "code name place note") << "page " << p + 1;
    EXPECT_EQ(lines.last(), QStringLiteral("Page %1 of %2").arg(p + 1).arg(expectedPages));
    for (const QString& line : lines)
      for (const QString& word : line.split(u' '))
        if (cellPattern.match(word).hasMatch()) cells << word;
  }
  QStringList expected;
  for (int r = 1; r <= Rows; ++r)
    for (int c = 0; c < Cols; ++c) expected << Cell(r, c);
  EXPECT_EQ(cells, expected);
}

// Printed as it is laid out, the grid holds one page at a time and yet gives the pages of the
// whole layout, footers ("of N") included: rows of one, two and several lines, with and
// without the repeated heading.
TEST(GridPdfCommand, PrintedAsLaidOutItHoldsOnePageAndGivesTheWholeLayoutsPages) {
  TMemoryPrinterInstall printers({MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha"));
  if (!HaveProgram("pdftotext")) GTEST_SKIP() << "poppler-utils are not installed";
  TTempDir dir;
  QByteArray data = "code,name,note\n";
  for (int r = 1; r <= 300; ++r) {
    QByteArray note = r % 7 == 0   ? "\"two\nlines\""
                      : r % 11 == 0 ? QByteArray("a note long enough to wrap over a few lines of its column ").repeated(3)
                                    : QByteArray();
    data += Cell(r, 0).toUtf8() + "," + Cell(r, 1).toUtf8() + "," + note + "\n";
  }
  auto pdfText = [](const QString& pdf) {
    QByteArray text;
    EXPECT_EQ(RunProgram("pdftotext", {"-layout", pdf, "-"}, &text), 0);
    return text;
  };
  for (bool header : {true, false}) {
    SCOPED_TRACE(header ? "with heading" : "without heading");
    auto whole = NewGridDocument(ParseCsv(data), header);
    whole->LayOut();
    whole->Pages->PrintToFile(dir.File("whole.pdf"));
    auto streamed = NewGridDocument(ParseCsv(data), header);
    TVuPageList& pages = *streamed->Pages;
    int mostHeld = 0;
    pages.OnNewPage = [&](TPersistent*) { mostHeld = std::max(mostHeld, pages.Count()); };
    const int printed = streamed->PrintTo(dir.File("streamed.pdf"));
    ASSERT_GT(whole->Pages->Count(), 3);
    EXPECT_EQ(printed, whole->Pages->Count());
    EXPECT_EQ(mostHeld, 1);
    EXPECT_EQ(pdfText(dir.File("streamed.pdf")), pdfText(dir.File("whole.pdf")));
  }
}
