#include "app/GridPdfCommand.h"
#include <QFontMetrics>
#include <QHash>
#include <algorithm>
#include "app/OutputFile.h"
#include "platform/Errors.h"
#include "platform/Finally.h"
#include "preview/document/VupageStream.h"
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
// them to the page's width, and word wrap takes care of the rest. A text met again (a
// colour, a place, a quantity) is not measured again.
std::vector<int> ColumnPixels(const TCsvTable& table, int cols, const TFont& font) {
  const QFontMetrics metrics(font.ToQFont());
  QHash<QString, int> measured;
  std::vector<int> widths(size_t(cols), MinColumnPixels);
  for (const QStringList& record : table)
    for (qsizetype c = 0; c < record.size(); ++c) {
      int& width = widths[size_t(c)];
      if (width >= MaxColumnPixels) continue;
      const QString& text = record[c];
      const QString first = text.left(text.indexOf(u'\n')).trimmed();
      auto it = measured.constFind(first);
      if (it == measured.cend()) it = measured.insert(first, metrics.horizontalAdvance(first) + 12);
      width = std::max(width, *it);
    }
  for (int& width : widths) width = std::min(width, MaxColumnPixels);
  return widths;
}
}  // namespace

std::unique_ptr<TGridDocument> NewGridDocument(TCsvTable table, bool header, TVuPaperSize paper) {
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

  doc->GridPrint = std::make_unique<TCsvGridPrint>(std::move(table), header);
  TCsvGridPrint& print = *doc->GridPrint;
  print.SetRowPixels(EmptyRowPixels);
  print.SetFixedColor(RGBColor(0xE0, 0xE0, 0xE0));
  // After the margins and the footer: the bottom value is taken from them.
  print.SetPageList(&pages);
  print.SetWordWrap(true);
  TFont bold = print.Font();
  bold.Style = fsBold;
  print.SetFixedCellFont(bold);
  print.SetColWidths(ColumnPixels(print.Table(), print.GetColCount(), print.Font()));
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
  doc->Left = margins.Left().Inches();
  doc->Top = margins.Top().Inches();
  doc->Width = pages.GetPageSize(vuInches).Width - margins.Left().Inches() - margins.Right().Inches();
  return doc;
}

void TGridDocument::LayOut() { GridPrint->GridToPage(Left, Top, Width, vuInches); }

int TGridDocument::PrintTo(const QString& pdfFile) {
  // The footer's "of N" is drawn on the first page already.
  const int total = GridPrint->CountPages(Left, Top, Width, vuInches);
  TVuPageStreamJob job(*Pages, pdfFile);
  // The grid's few pens and fonts serve every page.
  job.KeepResources();
  job.SetTotalPages(total);
  job.NewPage();
  GridPrint->OnAddPage = [&job](QObject*) { job.NewPage(); };
  TryFinally([&] { LayOut(); }, [&] { GridPrint->OnAddPage = nullptr; });
  // Numbers in the footers that do not add up must not reach a file.
  const int laidOut = job.PagesPrinted() + job.PagesHeld();
  if (laidOut != total)
    throw Exception(QStringLiteral("The grid took %1 pages where %2 were counted.").arg(laidOut).arg(total));
  job.Finish();
  return job.PagesPrinted();
}

void RunGridPdf(const QString& csvFile, const QString& pdfFile, bool header, TVuPaperSize paper, FILE* out,
                FILE* err) {
  TCsvTable table = ParseCsv(ReadInput(csvFile));
  const size_t rows = table.size();
  auto doc = NewGridDocument(std::move(table), header, paper);
  TVuPrinter& printer = doc->Pages->VuPrinter();
  // The sheet of the paper, or of the printer the command names.
  printer.GetPrinterIndex();
  printer.Title = QStringLiteral("<document>");
  TPdfOutput pdf(pdfFile, out);
  const int pages = doc->PrintTo(pdf.FileName());
  pdf.Deliver();
  const QString done = QStringLiteral("%1 rows, %2 pages\n").arg(rows).arg(pages);
  std::fputs(done.toLocal8Bit().constData(), ReportStream(pdfFile, out, err));
}
