#include "app/LabelSource.h"
#include <QFile>
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"

namespace {
QByteArray ReadInput(const QString& name) {
  QFile in;
  if (name == u"-") {
    if (!in.open(stdin, QIODevice::ReadOnly)) throw EFOpenError(QStringLiteral("Cannot read standard input."));
    return in.readAll();
  }
  in.setFileName(name);
  if (!in.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(name, in.errorString()));
  return in.readAll();
}
}  // namespace

TLabelSource::TLabelSource(const QString& fileName, int column, QList<int> textColumns)
    : FRecords(ReadInput(fileName)), FColumn(column), FTextColumns(std::move(textColumns)) {}

void TLabelSource::Rewind() {
  FRecords.Rewind();
  FRow = 0;
}

bool TLabelSource::Next(TLabelItem& item, QString& refusal) {
  static const TNyBarcode barcode;
  QStringList record;
  for (;;) {
    if (!FRecords.Next(record)) return false;
    ++FRow;
    if (!record.join(QString()).trimmed().isEmpty()) break;
  }
  refusal.clear();
  item = TLabelItem{FRow, {}, {}, {}};
  if (FColumn > record.size()) {
    refusal = QStringLiteral("there is no column %1.").arg(FColumn);
    return true;
  }
  const TEan13Value v = NormaliseEAN13(record[FColumn - 1], barcode);
  if (v.Kind != TEan13Value::ekCompleted) {
    refusal = v.Kind == TEan13Value::ekRefused ? v.Message : QStringLiteral("the value cannot be completed.");
    return true;
  }
  const TEan13Modules m = encodeEAN13(v.Value);
  if (!m.Ok) {
    refusal = m.Message;
    return true;
  }
  item.Value = v.Value;
  item.Modules = m.Modules;
  for (const int c : FTextColumns) item.Texts << (c <= record.size() ? record[c - 1] : QString());
  return true;
}
