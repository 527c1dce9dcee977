// The CSV reader on arbitrary bytes: it either gives a table or refuses with its CSV error.
#include <cstddef>
#include <cstdint>
#include "app/CsvReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const TCsvTable table = ParseCsv(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    (void)table;
  } catch (const ECsvError&) {
  }
  return 0;
}
