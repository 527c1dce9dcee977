// Grid print: lays the cells of a string grid out on the pages of a preview control. Column
// widths and row heights come from the grid in screen pixels and become inches; the columns
// may be scaled to a requested total width, every row grows to the height its texts need,
// and a row that would cross the cut-off line above the footer continues on the next page,
// with row 0 repeated at its top when asked. Backgrounds, text boxes, grid lines and the
// border are recorded through the preview's recording canvas, so the grid previews and
// prints like any other page content.
#pragma once
#include <QHash>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "platform/StringGrid.h"
#include "preview/document/Vucanvas.h"
#include "preview/core/Vuclasses.h"
#include "preview/document/Vuobjects.h"
#include "preview/view/Vupreview.h"

// Ordinals are fixed: a stored option set is the sum of 1 << ordinal.
enum TVuGridOption { vuVertLine, vuHorzLine, vuFixedRowPerPage, vuFixedCells3D, vuGridBorder };
using TVuGridOptions = uint8_t;
constexpr TVuGridOptions VuGridOptionBit(TVuGridOption option) { return TVuGridOptions(1u << option); }
constexpr bool VuHasGridOption(TVuGridOptions options, TVuGridOption option) {
  return (options & VuGridOptionBit(option)) != 0;
}
constexpr TVuGridOptions VuDefaultGridOptions = VuGridOptionBit(vuVertLine) | VuGridOptionBit(vuHorzLine) |
                                                VuGridOptionBit(vuFixedRowPerPage) | VuGridOptionBit(vuGridBorder);

// Events of the grid print; the component is the sender.
using TVuDrawRowEvent = TVuHook<QObject*, int /*Row*/>;
using TVuDrawCellEvent = TVuHook<QObject*, int /*Col*/, int /*Row*/, TVuValueRect& /*ARect*/, TVuCanvas& /*ACanvas*/>;
using TVuNewPageEvent = TVuHook<QObject*, TVuValue& /*ATopMargin*/, TVuValue& /*ABottomMargin*/>;
using TVuFinishGridEvent = TVuHook<QObject*, TVuValue& /*YPos*/>;
using TVuGetCellAlignmentEvent =
    TVuHook<QObject*, int /*Col*/, int /*Row*/, TAlignment& /*Alignment*/, TVuVertAlignment& /*VertAlignment*/>;
using TVuGetColumnWidthEvent = TVuHook<QObject*, int /*Col*/, TVuValue& /*ColWidth*/>;
using TVuGetRowHeightEvent = TVuHook<QObject*, int /*Row*/, TVuValue& /*RowHeight*/>;
using TVuGridProgressEvent = TVuHook<QObject*, Extended /*Percent*/>;

// A list of numbers kept as text in the general format with 15 significant digits, so the
// values it gives back carry 15 digits, not full extended precision.
class TVuDecimalList {
 public:
  void AddValue(Extended value);
  // A list index error outside 0..Count-1.
  Extended GetValue(int index) const;
  void SetValue(int index, Extended value);
  // The items added up in order.
  Extended GetTotal() const;
  int Count() const { return int(FStrings.size()); }
  void Clear() { FStrings.clear(); }
  const QStringList& Strings() const { return FStrings; }
  // The text form of an item.
  static QString FloatToText(Extended value);

 private:
  QStringList FStrings;
};

class TVuCustomGridPrint : public TVuComponent {
  Q_OBJECT
 public:
  using TVuComponent::TVuComponent;
};

// The layout engine; what it needs to know of a grid it asks through the abstract
// operations, answered by a subclass from its grid.
class TVuAbstractGridPrint : public TVuCustomGridPrint {
  Q_OBJECT
 public:
  explicit TVuAbstractGridPrint(QObject* owner = nullptr);
  ~TVuAbstractGridPrint() override;

  // ---- the grid's answers
  virtual QString GetCellText(int col, int row) = 0;
  virtual int GetColCount() = 0;
  virtual Extended GetColWidthInch(int col) = 0;
  // Inches, not scaled.
  virtual Extended GetDefaultRowHeight(int row) = 0;
  virtual TColor GetFixedCellColor() = 0;
  virtual int GetRowCount() = 0;
  // The grid's row height, grown to the tallest cell text of the row.
  virtual Extended GetRowHeightInch(int row);
  virtual bool IsFixedCell(int col, int row) = 0;
  // After each row: a data-bound grid moves to its next record.
  virtual void NextRecord(int row) {}
  virtual bool OnDrawCellAssigned() = 0;

  // ---- layout
  // The scaled column widths, each offered to OnGetColWidth.
  virtual void BuildColWidths();
  virtual void CallOnDrawCell(int col, int row, TVuValueRect& rect) = 0;
  // The border around the grid's part on the current page, down to rect's bottom right.
  virtual void CloseRow(const TVuRect& rect);
  virtual void DrawRow(const TVuRect& rect, int row);
  // Lays the whole grid out from (x, y) on the preview's current page; width 0 keeps the
  // grid's own column widths, any other width scales the columns to it.
  virtual void GridToPage(Extended x, Extended y, Extended width, TVuMeasurement measurement);
  // The pages GridToPage with the same arguments fills, counting the current page, found
  // without recording anything or changing pages: the same row heights and page breaks, and
  // the handlers that shape them (OnGetColWidth, OnGetRowHeight, OnGridNewPage), but none of
  // the drawing events. A cell handler that changes the canvas font is not followed. The text
  // heights it measures serve the next GridToPage, so counting first measures nothing twice.
  // 0 when the links are missing.
  virtual int CountPages(Extended x, Extended y, Extended width, TVuMeasurement measurement);
  // Closes the current page's part and goes on at the top of the next page.
  virtual void NewPage();

  // ---- other operations
  Extended GetColWidth(int col, TVuMeasurement measurement) const;
  // The sum of the columns' screen widths in inches.
  TVuValue& GetScreenGridWidth();
  // Page height less the footer height and the bottom value, in inches.
  Extended GetCutOffInch() const;
  void DefaultDrawCell(TVuValueRect& rect, int col, int row);
  void DrawCellBackground(TVuValueRect& rect, int col, int row);
  void DrawCellText(TVuValueRect& rect, int col, int row);
  // The scaled width of all columns (inches) and the scale factor of the last run.
  Extended TotalWidth() const { return FTotalWidth; }
  Extended ScaleFactor() const { return FScale; }
  // Space kept free at the bottom of a page and the top of the grid on a new page.
  TVuValue& BottomValue() const { return *FBottomValue; }
  TVuValue& TopValue() const { return *FTopValue; }
  const TVuDecimalList& ColWidths() const { return FColWidths; }

  // ---- published properties
  TColor GetCellPenColor() const { return FCellPenColor; }
  void SetCellPenColor(TColor value) { FCellPenColor = value; }
  TAlignment GetDefaultCellAlignment() const { return FDefaultCellAlignment; }
  void SetDefaultCellAlignment(TAlignment value) { FDefaultCellAlignment = value; }
  TVuVertAlignment GetDefaultCellVertAlignment() const { return FDefaultCellVertAlignment; }
  void SetDefaultCellVertAlignment(TVuVertAlignment value) { FDefaultCellVertAlignment = value; }
  const TFont& Font() const { return FFont; }
  // Copies the font.
  void SetFont(const TFont& value) { FFont = value; }
  const TFont& FixedCellFont() const { return FFixedCellFont; }
  void SetFixedCellFont(const TFont& value) { FFixedCellFont = value; }
  TVuGridOptions GetGridOptions() const { return FGridOptions; }
  void SetGridOptions(TVuGridOptions value) { FGridOptions = value; }
  bool GetMonochrome() const { return FMonochrome; }
  void SetMonochrome(bool value) { FMonochrome = value; }
  TVuPreview* Preview() const { return FPreview; }
  // Takes the footer's height plus the preview's bottom margin as the bottom value.
  void SetPreview(TVuPreview* value);
  // Lays the grid out on a page list without a preview, for runs without a window: the
  // pages a preview of the default colour gets. A preview, once set, comes first.
  void SetPageList(TVuPageList* value);
  // Stored; the layout does not consult it.
  bool GetScaleText() const { return FScaleText; }
  void SetScaleText(bool value) { FScaleText = value; }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { FWordWrap = value; }

  TVuDrawRowEvent AfterDrawRow;
  TVuDrawRowEvent BeforeDrawRow;
  TVuGridProgressEvent OnDrawProgress;
  // Where a page comes from when the grid runs past the last one: unset, the page list adds
  // it; a print job fed a page at a time hands out its next page instead, printing the full
  // sheet first. The new page must be the list's last and current one.
  TVuHook<QObject*> OnAddPage;
  TVuFinishGridEvent OnFinishGrid;
  TVuGetCellAlignmentEvent OnGetCellAlignment;
  TVuGetColumnWidthEvent OnGetColWidth;
  TVuGetRowHeightEvent OnGetRowHeight;
  TVuNewPageEvent OnGridNewPage;

 protected:
  TVuCanvas& Canvas() const { return Pages()->Canvas(); }
  // The page list laid out on: the preview's, else the one set with SetPageList; null
  // without either.
  TVuPageList* Pages() const { return FPreview ? &FPreview->PageList() : FPageList; }
  // The row count as read from the grid; -1 until read in this run.
  int FRowCount = -1;

 private:
  // The height of a text box for text in a column's width, measured once per run for each
  // text, font, word break and width: measuring dominates the layout of large grids.
  Extended MeasuredTextBoxHeight(Extended width, const QString& text);
  // The border of the current page's part, once a row has been laid out in this run.
  void CloseCurrentRow();
  // The run of GridToPage and CountPages; FCounting tells which.
  void LayOut(Extended x, Extended y, Extended width, TVuMeasurement measurement);
  // DrawRow, or while counting only the font the row's last cell leaves on the canvas, which
  // the next row is measured in.
  void LayRow(const TVuRect& rect, int row);

  struct TMeasured {
    TFont Font;
    bool WordBreak = false;
    Extended Width = 0;
    Extended Padding = 0;
    QHash<QString, Extended> Heights;
  };

  TVuDecimalList FColWidths;
  // The list's values as numbers, read once per run: every row asks for every width.
  std::vector<Extended> FColInches;
  Extended FTotalWidth = 0;
  std::unique_ptr<TVuValue> FScreenGridWidth;
  std::unique_ptr<TVuValue> FTopValue;
  std::unique_ptr<TVuValue> FBottomValue;
  TFont FFont;
  TFont FFixedCellFont;
  Extended FScale = 1;
  TVuPoint FPos;
  TVuPoint FOrigin;
  Extended FRowHeight = 0;
  TVuRect FRowRect;
  bool FRowRectSet = false;
  QPointer<TVuPreview> FPreview;
  TVuPageList* FPageList = nullptr;
  std::vector<TMeasured> FMeasured;
  // CountPages leaves its measurements to the next run.
  bool FMeasuredKept = false;
  bool FCounting = false;
  int FPagesCounted = 0;

  TColor FCellPenColor = clBlack;
  TAlignment FDefaultCellAlignment = taLeftJustify;
  TVuVertAlignment FDefaultCellVertAlignment = vuTop;
  TVuGridOptions FGridOptions = VuDefaultGridOptions;
  bool FMonochrome = false;
  bool FScaleText = false;
  bool FWordWrap = false;
};

// Grid print of a string grid control.
class TVuGridPrint : public TVuAbstractGridPrint {
  Q_OBJECT
 public:
  using TVuAbstractGridPrint::TVuAbstractGridPrint;

  QString GetCellText(int col, int row) override;
  int GetColCount() override;
  Extended GetColWidthInch(int col) override;
  Extended GetDefaultRowHeight(int row) override;
  TColor GetFixedCellColor() override;
  // Read once per run.
  int GetRowCount() override;
  bool IsFixedCell(int col, int row) override;
  bool OnDrawCellAssigned() override { return bool(OnDrawCell); }
  void CallOnDrawCell(int col, int row, TVuValueRect& rect) override;
  // Reports a missing preview or grid and draws nothing.
  void GridToPage(Extended x, Extended y, Extended width, TVuMeasurement measurement) override;
  // Reports a missing preview or grid and gives 0.
  int CountPages(Extended x, Extended y, Extended width, TVuMeasurement measurement) override;

  TStringGrid* GetGrid() const { return FGrid; }
  void SetGrid(TStringGrid* value) { FGrid = value; }

  TVuDrawCellEvent OnDrawCell;

 private:
  // Reports the first missing link.
  bool LinksSet();

  QPointer<TStringGrid> FGrid;
};
