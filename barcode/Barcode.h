// The general barcode component.
#pragma once
#include <QString>
#include <functional>

enum TBarcodeType {
  bcCode_2_5_interleaved, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode39, bcCode39Extended,
  bcCode128A, bcCode128B, bcCode128C, bcCode93, bcCode93Extended, bcCodeMSI, bcCodePostNet,
  bcCodeCodabar, bcCodeEAN8, bcCodeEAN13, bcCodeUPC_A, bcCodeUPC_E0, bcCodeUPC_E1,
  bcCodeUPC_Supp2, bcCodeUPC_Supp5, bcCodeEAN128A, bcCodeEAN128B, bcCodeEAN128C
};

enum TCheckSumMethod { csmNone, csmModulo10 };

class TNyBarcode {
 public:
  TNyBarcode() = default;
  virtual ~TNyBarcode() = default;

  TBarcodeType Typ() const { return FTyp; }
  void SetTyp(TBarcodeType value);
  TCheckSumMethod CheckSumMethod() const { return FCheckSumMethod; }
  void SetCheckSumMethod(TCheckSumMethod value) { FCheckSumMethod = value; }

  // csmNone: the text unchanged; csmModulo10: the text with its modulo 10 check digit.
  QString DoCheckSumming(const QString& data) const;

  std::function<void(TNyBarcode* sender)> OnChange;

 protected:
  virtual void DoChange();

 private:
  TBarcodeType FTyp = bcCodeEAN13;
  TCheckSumMethod FCheckSumMethod = csmModulo10;
};
