#include "app/LabelSource.h"
#include "barcode/Barcode.h"
#include "app/OutputFile.h"
#include "app/SymbologyText.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"

TLabelSource::TLabelSource(const QString& fileName, int column, QList<int> textColumns, TBarcodeType symbology)
    : FRecords(ReadInput(fileName)), FColumn(column), FTextColumns(std::move(textColumns)), FSymbology(symbology) {}

void TLabelSource::Rewind() {
  FRecords.Rewind();
  FRow = 0;
}

void TLabelSource::Encode(const QString& text, TLabelItem& item, QString& refusal) const {
  // Refused as the --symbology command refuses it: a text the symbology cannot carry as
  // given, naming the character; a missing check digit of EAN-8 and UPC is completed.
  const TSymbologyText checked = CheckSymbologyText(FSymbology, text, false);
  if (!checked.Problem.isEmpty()) {
    refusal = checked.Problem;
    return;
  }
  TNyBarcode barcode;
  barcode.SetTyp(FSymbology);
  barcode.SetChecksum(checked.Checksum);
  barcode.SetText(checked.Text);
  try {
    item.Elements = barcode.MakeData();
  } catch (const Exception& error) {
    refusal = error.Message();
    return;
  }
  item.Value = checked.Text;
  SymbolBars(SymbolRules(FSymbology), item.Elements, &item.Width);
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
  item = TLabelItem{};
  item.Row = FRow;
  if (FColumn > record.size()) {
    refusal = QStringLiteral("there is no column %1.").arg(FColumn);
    return true;
  }
  for (const int c : FTextColumns) item.Texts << (c <= record.size() ? record[c - 1] : QString());
  if (FSymbology != bcCodeEAN13) {
    Encode(record[FColumn - 1], item, refusal);
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
  return true;
}
