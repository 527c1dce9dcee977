// Writes the seed corpus of the page-file fuzzer: documents the engine saved, covering every
// object kind, every picture kind, header and footer, margins and several pages.
#include <QApplication>
#include <QDir>
#include <cstdio>
#include "platform/Files.h"
#include "tests/preview/VustreamTestSupport.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: page_corpus FOLDER\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  auto write = [&](const char* name, const TVuPageList& list) {
    WriteFileReplacing(folder + u'/' + QString::fromLatin1(name), SavedBytes(list), false);
  };
  {
    TVuPageList list;
    list.AddPage();
    write("empty.vup", list);
  }
  {
    TVuPageList list;
    list.AddPage();
    RecordEveryKind(list, 1);
    write("every_kind.vup", list);
  }
  {
    TVuPageList list;
    list.AddPage();
    RecordEveryKind(list, 4);
    list.SetOrientation(vuLandscape);
    write("four_pages.vup", list);
  }
  {
    TVuPageList list;
    list.AddPage();
    list.SetPageSize(100, 150, vuMillimeters);
    list.Canvas().StretchDraw(80, 50, 91, 58, TestPicture(42, 29));
    list.Header().CaptionCenter().SetCaption(QStringLiteral("two\nlines"));
    write("picture_custom_size.vup", list);
  }
  return 0;
}
