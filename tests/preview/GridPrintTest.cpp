// Grid print on a preview of an in-memory A4 printer: column widths, row heights, page
// breaks, backgrounds, progress and the link errors, read back from the recorded objects.
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <vector>
#include "TestSupport.h"
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/core/Vufuncs.h"
#include "preview/grid/Vugridprint.h"

namespace {
struct TCellBox {
  int Page;
  TVuRect Rect;
};

class GridPrint : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ScreenPixelsPerInch(), 96);
    FGrid.SetFixedCols(0);
    FPrint.SetGrid(&FGrid);
    FPrint.SetPreview(&FPreview);
  }
  // rows x cols cells "r<row>c<col>", every row rowPx high, every column colPx wide.
  void Fill(int rows, int cols, int rowPx, int colPx) {
    FGrid.SetColCount(cols);
    FGrid.SetRowCount(rows);
    FGrid.SetDefaultRowHeight(rowPx);
    FGrid.SetDefaultColWidth(colPx);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) FGrid.SetCells(c, r, QStringLiteral("r%1c%2").arg(r).arg(c));
  }
  // Every text box with that caption, in page order.
  std::vector<TCellBox> Boxes(const QString& caption) const {
    std::vector<TCellBox> found;
    for (int p = 1; p <= FPreview.GetNumPages(); ++p) {
      TVuPage* page = FPreview.GetPage(p);
      for (int i = 0; i < page->Count(); ++i)
        if (auto* box = dynamic_cast<TVuTextBoxObject*>(page->VuObject(i)); box && box->GetCaption() == caption)
          found.push_back({p, box->GetCoords(vuInches)});
    }
    return found;
  }
  int CountObjects(int kind) const {
    int n = 0;
    for (int p = 1; p <= FPreview.GetNumPages(); ++p)
      for (int i = 0; i < FPreview.GetPage(p)->Count(); ++i) n += FPreview.GetPage(p)->VuObject(i)->GetObjectID() == kind;
    return n;
  }

  TRecordedServices FServices;
  TMemoryPrinterInstall FPrinters{{MemoryA4Printer("A")}, "A"};
  TVuPreview FPreview;
  TStringGrid FGrid;
  TVuGridPrint FPrint;
};
}  // namespace

TEST(VuDecimalList, KeepsFifteenSignificantDigits) {
  TVuDecimalList list;
  list.AddValue(1.0L / 3);
  list.AddValue(0.5L);
  list.AddValue(2);
  EXPECT_EQ(list.Strings(), QStringList({"0.333333333333333", "0.5", "2"}));
  EXPECT_NE(list.GetValue(0), 1.0L / 3);
  EXPECT_EQ(list.GetTotal(), list.GetValue(0) + 2.5L);
  list.SetValue(2, 4);
  EXPECT_EQ(list.GetValue(2), 4);
  EXPECT_THROW(list.GetValue(3), EListError);
}

TEST_F(GridPrint, ColumnsAreScaledToTheRequestedWidth) {
  Fill(1, 3, 24, 96);
  FGrid.SetColWidths(1, 192);
  EXPECT_EQ(FPrint.GetScreenGridWidth().Inches(), 4);
  struct { Extended Width; TVuMeasurement Unit; std::vector<Extended> Inches; } cases[] = {
      {2, vuInches, {0.5L, 1, 0.5L}},
      {0, vuInches, {1, 2, 1}},
      {101.6L, vuMillimeters, {1, 2, 1}},
      {8, vuInches, {2, 4, 2}},
  };
  for (const auto& c : cases) {
    FPrint.GridToPage(0.5L, 0.5L, c.Width, c.Unit);
    ASSERT_EQ(FPrint.ColWidths().Count(), 3);
    for (int col = 0; col < 3; ++col)
      EXPECT_NEAR(double(FPrint.GetColWidth(col, vuInches)), double(c.Inches[size_t(col)]), 1e-12)
          << "width " << double(c.Width) << " column " << col;
    EXPECT_NEAR(double(FPrint.TotalWidth()), double(c.Inches[0] * 2 + c.Inches[1]), 1e-12);
  }
}

TEST_F(GridPrint, RowsGrowToTheirTallestTextAndAreNeverScaled) {
  Fill(3, 2, 24, 96);
  FPrint.SetGridOptions(0);
  FPrint.SetWordWrap(true);
  FGrid.SetCells(1, 1, QStringLiteral("one two three four five six seven eight nine ten"));
  FGrid.SetCells(0, 2, QStringLiteral("first\nsecond\nthird"));
  for (Extended width : {0.0L, 1.0L, 4.0L}) {
    FPreview.Clear();
    FPrint.GridToPage(1, 1, width, vuInches);
    const Extended r0 = VuRectHeight(Boxes("r0c0").at(0).Rect);
    EXPECT_EQ(r0, 0.25L) << "a short text keeps the grid's 24 px at width " << double(width);
    const TVuRect r1 = Boxes("r1c0").at(0).Rect;
    EXPECT_GT(VuRectHeight(r1), 0.25L);
    // The second row starts where the first ends, and its cells share its height.
    EXPECT_EQ(r1.Top, 1 + r0);
    EXPECT_EQ(VuRectHeight(Boxes("one two three four five six seven eight nine ten").at(0).Rect), VuRectHeight(r1));
    // Three lines broken at LF: taller than two lines of the same font.
    FPreview.Canvas().SetFont(FPrint.Font());
    FPreview.Canvas().SetTextBoxWordBreak(true);
    const Extended twoLines = FPreview.Canvas().TextBoxHeight(FPrint.GetColWidth(0, vuInches), "a\rb", vuInches);
    EXPECT_GT(VuRectHeight(Boxes("first\nsecond\nthird").at(0).Rect), twoLines) << "width " << double(width);
  }
}

TEST_F(GridPrint, PagesBreakAboveTwoFootersAndTheBottomMarginAndRepeatRowZero) {
  // Half-inch rows, taller than their one-line texts.
  Fill(60, 2, 48, 96);
  FPreview.Footer().SetHeight(vuInches, 0.3L);
  FPreview.Margins().Bottom().SetAsInches(0.4L);
  FPrint.SetPreview(&FPreview);  // takes footer and margin into the bottom value
  const Extended cutOff = FPreview.GetPageSize(vuInches).Height - 2 * 0.3L - 0.4L;
  EXPECT_NEAR(double(FPrint.GetCutOffInch()), double(cutOff), 1e-15);
  for (bool repeat : {true, false}) {
    SCOPED_TRACE(repeat ? "row 0 repeated" : "row 0 not repeated");
    FPreview.Clear();
    FPrint.SetGridOptions(repeat ? VuDefaultGridOptions : VuDefaultGridOptions & ~VuGridOptionBit(vuFixedRowPerPage));
    const Extended top = 1;
    FPrint.GridToPage(1, top, 0, vuInches);
    // Rows follow each other down the page; a row that would end below the cut-off goes to
    // the next page, one row-0 height below the top.
    int page = 1;
    Extended y = top;
    for (int r = 0; r < 60; ++r) {
      if (y + 0.5L > cutOff) {
        ++page;
        y = top + 0.5L;
      }
      const std::vector<TCellBox> boxes = Boxes(QStringLiteral("r%1c1").arg(r));
      const TCellBox& cell = r == 0 ? boxes.at(0) : boxes.back();
      EXPECT_EQ(cell.Page, page) << "row " << r;
      EXPECT_NEAR(double(cell.Rect.Top), double(y), 1e-12) << "row " << r;
      y += 0.5L;
    }
    ASSERT_GT(page, 2);
    EXPECT_EQ(FPreview.GetNumPages(), page);
    // Row 0 at the top of every further page, or nowhere but page 1.
    const std::vector<TCellBox> heads = Boxes("r0c0");
    ASSERT_EQ(int(heads.size()), repeat ? page : 1);
    for (size_t i = 1; i < heads.size(); ++i) {
      EXPECT_EQ(heads[i].Page, int(i) + 1);
      EXPECT_EQ(heads[i].Rect.Top, top);
    }
  }
}

TEST_F(GridPrint, NewPageHandlerMovesTheTopAndAFollowingRunReusesPages) {
  Fill(40, 1, 48, 96);
  FPrint.OnGridNewPage = [](QObject*, TVuValue& topMargin, TVuValue&) { topMargin.SetAsMillimeters(15); };
  FPrint.GridToPage(1, 3, 0, vuInches);
  const int pages = FPreview.GetNumPages();
  ASSERT_GE(pages, 2);
  EXPECT_NEAR(double(Boxes("r0c0").at(1).Rect.Top), 15 / 25.4, 1e-12);
  // A second run from page 1 moves through the existing pages instead of adding new ones.
  FPreview.SetCurrentPageNum(1);
  FPrint.GridToPage(1, 3, 0, vuInches);
  EXPECT_EQ(FPreview.GetNumPages(), pages);
  EXPECT_EQ(Boxes("r39c0").size(), 2u);
}

TEST_F(GridPrint, OnlyFixedCellsOfAColourGetABackground) {
  Fill(3, 3, 24, 64);
  FGrid.SetFixedCols(1);
  FGrid.SetFixedRows(1);
  FPrint.SetGridOptions(0);  // no border: rectangles are backgrounds only
  struct { bool Monochrome; TColor Fixed; int Backgrounds; } cases[] = {
      {false, clSilver, 5},  // row 0 and column 0
      {true, clSilver, 0},
      {false, clWhite, 0},
  };
  for (const auto& c : cases) {
    FPreview.Clear();
    FPrint.SetMonochrome(c.Monochrome);
    FGrid.SetFixedColor(c.Fixed);
    FPrint.GridToPage(0, 0, 0, vuInches);
    EXPECT_EQ(CountObjects(vuRectangleShape), c.Backgrounds) << c.Monochrome << " " << c.Fixed;
    EXPECT_EQ(CountObjects(vuTextBoxObject), 9);
  }
}

TEST_F(GridPrint, ProgressEndsAtOneHundredInOneUpdate) {
  for (int rows : {1, 3, 7, 250}) {
    FPreview.Clear();
    Fill(rows, 2, 20, 64);
    std::vector<Extended> progress;
    bool updating = true;
    FPrint.OnDrawProgress = [&](QObject*, Extended percent) { progress.push_back(percent); };
    FPrint.BeforeDrawRow = [&](QObject*, int) { updating = updating && FPreview.IsUpdating(); };
    FPrint.GridToPage(0.5L, 0.5L, 0, vuInches);
    ASSERT_EQ(int(progress.size()), rows);
    EXPECT_EQ(progress.back(), 100) << rows << " rows";
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_TRUE(updating);
    EXPECT_FALSE(FPreview.IsUpdating());
  }
}

TEST_F(GridPrint, EmptyGridGetsNoBorderEvenAfterAnEarlierRun) {
  Fill(2, 2, 24, 64);
  FGrid.SetFixedRows(0);
  FPrint.SetGridOptions(VuGridOptionBit(vuGridBorder));
  FPrint.GridToPage(0.5L, 0.5L, 0, vuInches);
  EXPECT_EQ(CountObjects(vuRectangleShape), 1);
  FPreview.Clear();
  FGrid.SetRowCount(0);
  FPrint.GridToPage(0.5L, 0.5L, 0, vuInches);
  EXPECT_EQ(FPreview.GetCurrentPage()->Count(), 0);
}

TEST_F(GridPrint, MissingLinksAreReportedAndNothingIsDrawn) {
  Fill(2, 2, 24, 64);
  TVuGridPrint unlinked;
  unlinked.GridToPage(0, 0, 0, vuInches);
  unlinked.SetPreview(&FPreview);
  unlinked.GridToPage(0, 0, 0, vuInches);
  EXPECT_EQ(FServices.Messages,
            QStringList({"TVuGridPrint Error!\n\nThe \"Preview\" property must be set to a TVuPreview component",
                         "TVuGridPrint Error!\n\nThe \"Grid\" property must be set to a valid grid component\""}));
  EXPECT_EQ(FPreview.GetCurrentPage()->Count(), 0);
  // A destroyed grid clears the link.
  {
    TStringGrid gone;
    unlinked.SetGrid(&gone);
  }
  EXPECT_EQ(unlinked.GetGrid(), nullptr);
}
