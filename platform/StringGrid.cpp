#include "platform/StringGrid.h"
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
// Paints fixed cells on the grid's fixed colour, as headings, before the text.
class TFixedCellDelegate : public QStyledItemDelegate {
 public:
  explicit TFixedCellDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), FGrid(grid) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (FGrid->IsFixed(index.column(), index.row())) painter->fillRect(option.rect, ToQColor(FGrid->FixedColor()));
    QStyledItemDelegate::paint(painter, option, index);
  }

 private:
  TStringGrid* FGrid;
};
}  // namespace

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(5, 5, parent) {
  horizontalHeader()->hide();
  verticalHeader()->hide();
  for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Interactive);
  }
  SetDefaultColWidth(FDefaultColWidth);
  SetDefaultRowHeight(FDefaultRowHeight);
  setItemDelegate(new TFixedCellDelegate(this));
}

void TStringGrid::SetColCount(int value) {
  value = std::max(value, 0);
  // New sections take the headers' default size, which follows the default width.
  setColumnCount(value);
  FFixedCols = std::min(FFixedCols, std::max(value - 1, 0));
}

void TStringGrid::SetRowCount(int value) {
  value = std::max(value, 0);
  setRowCount(value);
  FFixedRows = std::min(FFixedRows, std::max(value - 1, 0));
}

void TStringGrid::SetFixedCols(int value) {
  FFixedCols = std::clamp(value, 0, std::max(columnCount() - 1, 0));
  viewport()->update();
}

void TStringGrid::SetFixedRows(int value) {
  FFixedRows = std::clamp(value, 0, std::max(rowCount() - 1, 0));
  viewport()->update();
}

void TStringGrid::SetFixedColor(TColor value) {
  FFixedColor = value;
  viewport()->update();
}

void TStringGrid::SetDefaultColWidth(int value) {
  FDefaultColWidth = value;
  horizontalHeader()->setDefaultSectionSize(value);
  for (int c = 0; c < columnCount(); ++c) setColumnWidth(c, value);
}

void TStringGrid::SetDefaultRowHeight(int value) {
  FDefaultRowHeight = value;
  verticalHeader()->setDefaultSectionSize(value);
  for (int r = 0; r < rowCount(); ++r) setRowHeight(r, value);
}

QString TStringGrid::Cells(int col, int row) const {
  const QTableWidgetItem* cell = item(row, col);
  return cell ? cell->text() : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
  if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount()) return;
  if (QTableWidgetItem* cell = item(row, col)) cell->setText(text);
  else setItem(row, col, new QTableWidgetItem(text));
}
