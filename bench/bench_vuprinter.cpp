// The engine printer's geometry: getters answer from the cache, a refresh asks the device.
#include <benchmark/benchmark.h>
#include "platform/CupsPrinterBackend.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/printer/Vuprinter.h"

static void BM_CachedGeometryGetters(benchmark::State& state) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 600, 65, 50, 58, 50)});
  TVuPrinter printer;
  TVuPrinterInfo& info = *printer.PrinterInfo();
  for (auto _ : state) {
    benchmark::DoNotOptimize(info.PhysicalSizeX());
    benchmark::DoNotOptimize(info.PpiY());
    benchmark::DoNotOptimize(info.GuttersInch(vuLandscape));
    benchmark::DoNotOptimize(printer.GetPaperDimensions(vuMillimeters));
  }
  state.counters["device_calls"] = install.Backend().DeviceCalls();
}
BENCHMARK(BM_CachedGeometryGetters);

static void BM_GeometryRefresh(benchmark::State& state) {
  TMemoryPrinterInstall install({MemoryA4Printer("A", 600, 65, 50, 58, 50)});
  TVuPrinter printer;
  for (auto _ : state) printer.PrinterInfo()->UpdatePrinter();
}
BENCHMARK(BM_GeometryRefresh);

// The same refresh on the system's print service (skipped without a spooler).
static void BM_CupsGeometryRefresh(benchmark::State& state) {
  if (!SpoolerRunning() || SetPrinterBackend(nullptr).Printers().isEmpty()) {
    state.SkipWithError("no CUPS scheduler with a printer");
    return;
  }
  TVuPrinter printer;
  for (auto _ : state) printer.PrinterInfo()->UpdatePrinter();
}
BENCHMARK(BM_CupsGeometryRefresh)->Unit(benchmark::kMillisecond);

// One job setting read through the device mode on the system's print service.
static void BM_CupsPropertyRead(benchmark::State& state) {
  if (!SpoolerRunning() || SetPrinterBackend(nullptr).Printers().isEmpty()) {
    state.SkipWithError("no CUPS scheduler with a printer");
    return;
  }
  TVuPrinter printer;
  for (auto _ : state) benchmark::DoNotOptimize(printer.GetPrintCopies());
}
BENCHMARK(BM_CupsPropertyRead)->Unit(benchmark::kMillisecond);
