#include "app/CsvGridPrint.h"
#include "platform/Canvas.h"

TCsvGridPrint::TCsvGridPrint(TCsvTable table, bool header) : FTable(std::move(table)), FHeader(header) {
  qsizetype cols = 1;
  for (const QStringList& record : FTable) cols = std::max(cols, record.size());
  FColPixels.assign(size_t(cols), 64);
}

QString TCsvGridPrint::GetCellText(int col, int row) {
  const QStringList& record = FTable[size_t(row)];
  return col < record.size() ? record[col] : QString();
}

Extended TCsvGridPrint::GetColWidthInch(int col) {
  return Extended(FColPixels[size_t(col)]) / ScreenPixelsPerInch();
}

Extended TCsvGridPrint::GetDefaultRowHeight(int) { return Extended(FRowPixels) / ScreenPixelsPerInch(); }
