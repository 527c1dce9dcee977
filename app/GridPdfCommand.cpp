#include "app/GridPdfCommand.h"
#include <QFile>
#include <QFontMetrics>
#include <algorithm>
#include "app/OutputFile.h"
#include "platform/Errors.h"
#include "preview/printer/Vuprinter.h"

namespace {
constexpr Extended PageMarginMm = 10;
constexpr int MinColumnPixels = 24;
constexpr int MaxColumnPixels = 400;
// An empty record keeps a row of this height; rows with text grow to it.
constexpr int EmptyRowPixels = 18;

TFont ArialPixels(int pixels) {
  TFont f;
  f.Name = QStringLiteral("Arial");
  f.Height = -pixels;
  return f;
}

// Columns start as wide as their widest first line (screen pixels); the layout then scales
// them to the page's width, and word wrap takes care of the rest.
void SizeColumns(TStringGrid& grid, const TCsvTable& table, const TFont& font) {
  const QFontMetrics metrics(font.ToQFont());
  std::vector<int> widths(size_t(grid.ColCount()), MinColumnPixels);
  for (const QStringList& record : table)
    for (qsizetype c = 0; c < record.size(); ++c) {
      const QString& text = record[c];
      const QString first = text.left(text.indexOf(u'\n'));
      widths[size_t(c)] = std::max(widths[size_t(c)], metrics.horizontalAdvance(first.trimmed()) + 12);
    }
  for (int c = 0; c < grid.ColCount(); ++c) grid.SetColWidths(c, std::min(widths[size_t(c)], MaxColumnPixels));
}
}  // namespace

std::unique_ptr<TGridDocument> NewGridDocument(const TCsvTable& table, bool header, TVuPaperSize paper) {
  if (table.empty()) throw Exception(QStringLiteral("The CSV file has no records."));
  auto doc = std::make_unique<TGridDocument>();
  doc->Pages = std::make_unique<TVuPageList>();
  TVuPageList& pages = *doc->Pages;
  pages.AddPage();
  pages.SetPaperSize(paper);
  pages.SetOrientation(vuPortrait);
  TVuMargins& margins = pages.Margins();
  margins.Top().SetAsMillimeters(PageMarginMm);
  margins.Bottom().SetAsMillimeters(PageMarginMm);
  margins.Left().SetAsMillimeters(PageMarginMm);
  margins.Right().SetAsMillimeters(PageMarginMm);
  TVuFooter& footer = pages.Footer();
  footer.CaptionCenter().SetCaption(QStringLiteral("Page {PAGE} of  {NUMPAGES}"));
  footer.CaptionCenter().SetFont(ArialPixels(13));
  footer.SetShowLine(false);
  footer.SetVisible(true);

  doc->Grid = std::make_unique<TStringGrid>();
  TStringGrid& grid = *doc->Grid;
  int cols = 1;
  for (const QStringList& record : table) cols = std::max(cols, int(record.size()));
  grid.SetDefaultRowHeight(EmptyRowPixels);
  grid.SetColCount(cols);
  grid.SetRowCount(int(table.size()));
  grid.SetFixedCols(0);
  grid.SetFixedRows(header ? 1 : 0);
  grid.SetFixedColor(RGBColor(0xE0, 0xE0, 0xE0));
  for (size_t r = 0; r < table.size(); ++r)
    for (qsizetype c = 0; c < table[r].size(); ++c) grid.SetCells(int(c), int(r), table[r][c]);

  doc->GridPrint = std::make_unique<TVuGridPrint>();
  TVuGridPrint& print = *doc->GridPrint;
  print.SetGrid(&grid);
  // After the margins and the footer: the bottom value is taken from them.
  print.SetPageList(&pages);
  print.SetWordWrap(true);
  TFont bold = print.Font();
  bold.Style = fsBold;
  print.SetFixedCellFont(bold);
  SizeColumns(grid, table, print.Font());
  if (header) {
    print.SetGridOptions(VuDefaultGridOptions);
  } else {
    // No heading to repeat: the first data row's place at the top of a new page is given
    // back, so every page starts at the top margin.
    print.SetGridOptions(VuDefaultGridOptions & ~VuGridOptionBit(vuFixedRowPerPage));
    const Extended top = margins.Top().Inches();
    print.OnGridNewPage = [&print, top](QObject*, TVuValue& topMargin, TVuValue&) {
      topMargin.SetAsInches(top - print.GetRowHeightInch(0));
    };
  }
  const Extended width = pages.GetPageSize(vuInches).Width - margins.Left().Inches() - margins.Right().Inches();
  print.GridToPage(margins.Left().Inches(), margins.Top().Inches(), width, vuInches);
  return doc;
}

void RunGridPdf(const QString& csvFile, const QString& pdfFile, bool header, TVuPaperSize paper, FILE* out,
                FILE* err) {
  TCsvTable table;
  if (IsStandardStream(csvFile)) {
    QFile input;
    if (!OpenInput(input, csvFile)) throw EFOpenError(QStringLiteral("Cannot read standard input."));
    table = ParseCsv(input.readAll());
  } else {
    table = ReadCsvFile(csvFile);
  }
  auto doc = NewGridDocument(table, header, paper);
  TVuPageList& pages = *doc->Pages;
  TVuPrinter& printer = pages.VuPrinter();
  // The sheet of the paper, or of the printer the command names.
  printer.GetPrinterIndex();
  printer.Title = QStringLiteral("<document>");
  TPdfOutput pdf(pdfFile, out);
  pages.PrintToFile(pdf.FileName());
  pdf.Deliver();
  const QString done = QStringLiteral("%1 rows, %2 pages\n").arg(table.size()).arg(pages.Count());
  std::fputs(done.toLocal8Bit().constData(), ReportStream(pdfFile, out, err));
}
