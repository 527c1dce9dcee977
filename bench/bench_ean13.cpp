// Speed of the EAN-13 road: completing and encoding a value, and drawing its bitmap.
#include <benchmark/benchmark.h>
#include "barcode/Barcode.h"
#include "barcode/Ean13.h"

static void BM_NormaliseCompleteEncode(benchmark::State& state) {
  TNyBarcode barcode;
  const QString typed = QStringLiteral("978030640615");
  for (auto _ : state) {
    TEan13Value v = NormaliseEAN13(typed, barcode);
    TEan13Modules m = encodeEAN13(v.Value);
    benchmark::DoNotOptimize(m.Modules.constData());
  }
}
BENCHMARK(BM_NormaliseCompleteEncode);

static void BM_EncodeRender(benchmark::State& state) {
  const QString value = QStringLiteral("9780306406157");
  for (auto _ : state) {
    TEan13Modules m = encodeEAN13(value);
    auto bitmap = RenderEAN13(value, m.Modules);
    benchmark::DoNotOptimize(bitmap->Image().constBits());
  }
}
BENCHMARK(BM_EncodeRender)->Unit(benchmark::kMicrosecond);

static void BM_EncodeRenderBmp(benchmark::State& state) {
  const QString value = QStringLiteral("9780306406157");
  for (auto _ : state) {
    QByteArray bmp = EAN13BitmapFile(*RenderEAN13(value, encodeEAN13(value).Modules));
    benchmark::DoNotOptimize(bmp.constData());
  }
}
BENCHMARK(BM_EncodeRenderBmp)->Unit(benchmark::kMicrosecond);
