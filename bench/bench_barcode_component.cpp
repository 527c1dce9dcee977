// MakeData of the barcode component for a typical text of every symbology.
#include <benchmark/benchmark.h>
#include "barcode/Barcode.h"

namespace {

struct TTypical {
  TBarcodeType Typ;
  const char* Text;
  bool Checksum;
};

const TTypical Typicals[BarcodeTypeCount] = {
    {bcCode_2_5_interleaved, "1234567890", false}, {bcCode_2_5_industrial, "1234567890", false},
    {bcCode_2_5_matrix, "1234567890", false},      {bcCode39, "VELEAN13-39", true},
    {bcCode39Extended, "VelEAN13 ext", true},      {bcCode128A, "VELEAN-128A", false},
    {bcCode128B, "VelEAN13 128B", false},          {bcCode128C, "12345678901234", false},
    {bcCode93, "VELEAN13-93", false},              {bcCode93Extended, "VelEAN13 ext", false},
    {bcCodeMSI, "1234567890", false},              {bcCodePostNet, "12345678901", false},
    {bcCodeCodabar, "1234-5678", false},           {bcCodeEAN8, "9638507", true},
    {bcCodeEAN13, "400638133393", true},           {bcCodeUPC_A, "03600029145", true},
    {bcCodeUPC_E0, "123456", true},                {bcCodeUPC_E1, "123456", true},
    {bcCodeUPC_Supp2, "12", true},                 {bcCodeUPC_Supp5, "52495", true},
    {bcCodeEAN128A, "LOT-42", false},              {bcCodeEAN128B, "10abc42", false},
    {bcCodeEAN128C, "0104006381333", true},
};

void BM_MakeData(benchmark::State& state) {
  const TTypical& t = Typicals[state.range(0)];
  TNyBarcode barcode;
  barcode.SetTyp(t.Typ);
  barcode.SetText(QString::fromLatin1(t.Text));
  barcode.SetChecksum(t.Checksum);
  barcode.MakeData();  // settles Text where the encoding stores it back
  for (auto _ : state) benchmark::DoNotOptimize(barcode.MakeData());
  state.SetLabel(BarcodeTypeName(t.Typ).toStdString());
}

}  // namespace

BENCHMARK(BM_MakeData)->DenseRange(0, BarcodeTypeCount - 1);
