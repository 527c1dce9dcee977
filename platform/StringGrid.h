// The string grid control: a table of texts with fixed (heading) rows and columns at the top
// and left, column widths and row heights in screen pixels, and a colour for the fixed cells.
// Built on Qt's table widget; its own headers are hidden, because fixed cells are ordinary
// cells of the grid painted in the fixed colour.
#pragma once
#include <QString>
#include <QTableWidget>
#include "platform/Colors.h"

class TStringGrid : public QTableWidget {
 public:
  explicit TStringGrid(QWidget* parent = nullptr);

  int ColCount() const { return columnCount(); }
  // New columns and rows take DefaultColWidth and DefaultRowHeight.
  void SetColCount(int value);
  int RowCount() const { return rowCount(); }
  void SetRowCount(int value);
  // Kept below the column and row counts, as the fixed part must leave nothing outside.
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor value);

  int DefaultColWidth() const { return FDefaultColWidth; }
  // Every column takes the new width.
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int value);
  // Screen pixels.
  int ColWidths(int col) const { return columnWidth(col); }
  void SetColWidths(int col, int value) { setColumnWidth(col, value); }
  int RowHeights(int row) const { return rowHeight(row); }
  void SetRowHeights(int row, int value) { setRowHeight(row, value); }

  // An empty text for a cell never written or outside the grid.
  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);
  bool IsFixed(int col, int row) const { return col < FFixedCols || row < FFixedRows; }

 private:
  int FFixedCols = 1;
  int FFixedRows = 1;
  TColor FFixedColor = clBtnFace;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
};
