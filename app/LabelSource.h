// The list of a label run as items, read as often as the run needs it: once to check every
// row and plan the sheet, once more to record. Only the list's text is held, never a table
// of it, so a list of a hundred thousand rows costs its own size.
#pragma once
#include <QString>
#include <QList>
#include "app/CsvReader.h"
#include "labels/LabelPlan.h"

class TLabelSource {
 public:
  // fileName: a CSV file, or - for standard input (read once, here). column: the value's
  // column (from 1); textColumns: the columns printed under the symbol; symbology: what the
  // values are encoded as. Raises EFOpenError when the file cannot be read and ECsvError
  // when it is not UTF-8.
  TLabelSource(const QString& fileName, int column, QList<int> textColumns, TBarcodeType symbology = bcCodeEAN13);

  // The next record that is not blank. True with the item filled, or with refusal set (the
  // row's fault, without "row N: ") when the record cannot be a label; false at the end.
  // Raises ECsvError at a malformed record.
  bool Next(TLabelItem& item, QString& refusal);
  void Rewind();

 private:
  // A value of any other symbology than EAN-13 as its element string.
  void Encode(const QString& text, TLabelItem& item, QString& refusal) const;

  TCsvRecords FRecords;
  int FColumn;
  QList<int> FTextColumns;
  TBarcodeType FSymbology;
  int FRow = 0;
};
