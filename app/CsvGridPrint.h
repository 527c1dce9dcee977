// Grid print of a CSV table: the layout engine answered straight from the table's records,
// so a long file is held once, not a second time in the cells of a string grid control.
#pragma once
#include <vector>
#include "app/CsvReader.h"
#include "preview/grid/Vugridprint.h"

class TCsvGridPrint : public TVuAbstractGridPrint {
 public:
  // The table is the print's; with header its first record is the fixed heading row.
  TCsvGridPrint(TCsvTable table, bool header);

  // Screen pixels, as a string grid keeps them.
  void SetColWidths(std::vector<int> pixels) { FColPixels = std::move(pixels); }
  void SetRowPixels(int pixels) { FRowPixels = pixels; }
  void SetFixedColor(TColor color) { FFixedColor = color; }
  const TCsvTable& Table() const { return FTable; }

  // An empty text for a field a short record lacks.
  QString GetCellText(int col, int row) override;
  int GetColCount() override { return int(FColPixels.size()); }
  Extended GetColWidthInch(int col) override;
  Extended GetDefaultRowHeight(int row) override;
  TColor GetFixedCellColor() override { return FFixedColor; }
  int GetRowCount() override { return int(FTable.size()); }
  // The heading, when asked for and when a record follows it (a fixed part leaves rows below).
  bool IsFixedCell(int col, int row) override { return FHeader && row == 0 && FTable.size() > 1; }
  bool OnDrawCellAssigned() override { return false; }
  void CallOnDrawCell(int col, int row, TVuValueRect& rect) override {}

 private:
  TCsvTable FTable;
  bool FHeader;
  std::vector<int> FColPixels;
  int FRowPixels = 24;
  TColor FFixedColor = clBtnFace;
};
