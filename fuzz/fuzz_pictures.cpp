// libFuzzer target for the picture readers: the first byte picks the kind (and, by its top
// bit, a read bounded by the data's length as a page file's record gives it), the rest is
// the file image. A reader may accept the data or raise EInvalidGraphic; anything else (a
// crash, a sanitizer report, another exception) is a finding.
#include <QBuffer>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include "platform/Errors.h"
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "platform/PngImage.h"

namespace {
std::unique_ptr<TGraphic> Make(uint8_t kind) {
  switch (kind % 5) {
    case 0: return std::make_unique<TJPEGImage>();
    case 1: return std::make_unique<TBitmap>();
    case 2: return std::make_unique<TMetafile>();
    case 3: return std::make_unique<TIcon>();
    default: return std::make_unique<TPngImage>();
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  std::unique_ptr<TGraphic> graphic = Make(data[0]);
  try {
    if (data[0] & 0x80) graphic->LoadFromStream(buffer, buffer.size());
    else graphic->LoadFromStream(buffer);
  } catch (const EInvalidGraphic&) {
    return 0;
  }
  // What loads must also draw.
  if (graphic->Width() > 0 && graphic->Height() > 0 && graphic->Width() * int64_t(graphic->Height()) < (1 << 22)) {
    TBitmap target(32, 32);
    graphic->Draw(target.Canvas(), QRect(0, 0, 32, 32));
  }
  return 0;
}
