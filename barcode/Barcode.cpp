#include "barcode/Barcode.h"
#include "barcode/Bcchksum.h"

void TNyBarcode::SetTyp(TBarcodeType value) {
  if (value == FTyp) return;
  FTyp = value;
  DoChange();
}

void TNyBarcode::DoChange() {
  if (OnChange) OnChange(this);
}

QString TNyBarcode::DoCheckSumming(const QString& data) const {
  switch (FCheckSumMethod) {
    case csmModulo10: return CheckSumModulo10(data);
    case csmNone: break;
  }
  return data;
}
