// Comma-separated values as a table of texts: RFC 4180 quoting (a field in double quotes may
// hold commas, line breaks and doubled quotes), records ended by CR LF or a bare LF, UTF-8
// with or without a byte-order mark. A malformed file is refused with its line number.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>
#include "platform/Errors.h"

// "CSV line N: ..." (N counts from 1).
class ECsvError : public Exception {
 public:
  ECsvError(int line, const QString& reason);
  int Line() const { return FLine; }

 private:
  int FLine;
};

// Records in file order; records may differ in their number of fields.
using TCsvTable = std::vector<QStringList>;

// The records of a text one at a time, so that a long list need not be held as a table;
// Rewind starts again at the first record. The text is checked for UTF-8 when it is given.
class TCsvRecords {
 public:
  explicit TCsvRecords(const QByteArray& data);
  // The next record; false after the last one.
  bool Next(QStringList& record);
  void Rewind();

 private:
  QString FText;
  qsizetype FAt = 0;
  int FLine = 1;
};

TCsvTable ParseCsv(const QByteArray& data);
