// libFuzzer target for page files: the data is loaded as a page list's stream. A load may
// succeed or raise one of the platform's errors (a stream, conversion, list or picture
// error); anything else (a crash, a sanitizer report, another exception) is a finding. A
// document that loads must save, and what it saves must load again.
#include <QApplication>
#include <QBuffer>
#include <cstdint>
#include <cstdlib>
#include "platform/Errors.h"
#include "preview/document/Vupagelist.h"

namespace {
TVuPageList* Document() {
  static TVuPageList* list = [] {
    auto* l = new TVuPageList();
    l->AddPage();
    return l;
  }();
  return list;
}
}  // namespace

// fontconfig keeps the patterns Qt's font database asks it for (the text controls of memo
// records resolve their fonts) for the life of the process; LeakSanitizer reports them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication app(*argc, *argv);  // memo records make text controls
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QBuffer in(&bytes);
  in.open(QIODevice::ReadOnly);
  TVuPageList& list = *Document();
  try {
    if (!list.LoadFromStream(in)) return 0;
  } catch (const Exception&) {
    return 0;
  }
  QByteArray saved;
  QBuffer out(&saved);
  out.open(QIODevice::WriteOnly);
  list.SaveToStream(out);
  QBuffer again(&saved);
  again.open(QIODevice::ReadOnly);
  TVuPageList reloaded;
  reloaded.AddPage();
  reloaded.LoadFromStream(again);  // an exception here ends the run: a saved file must load
  return 0;
}
