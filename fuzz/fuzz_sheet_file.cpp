// The sheet-file reader on arbitrary text: it either gives sheets whose geometry is sound or
// refuses with the file's name and a line number inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include "labels/SheetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
  try {
    for (const TLabelSheet& sheet : ParseSheetFile(text, QStringLiteral("fuzz.sheet")))
      if (!sheet.Fault().isEmpty()) std::abort();
  } catch (const ESheetFile& error) {
    if (error.Line() < 1 || error.Line() > text.count(u'\n') + 1) std::abort();
  }
  return 0;
}
