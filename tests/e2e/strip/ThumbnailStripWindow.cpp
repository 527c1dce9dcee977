// A window of three thumbnail strips, one for each highlight style, each over a document of
// four pages with page 2 current, for the screenshot test. Once the window is on screen it
// writes, for every strip, the style and the screen position of the marked page's corner and
// of an unmarked page's corner, then "ready".
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <vector>
#include "preview/view/Vuthumbnails.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Thumbnail strips"));
  window.setGeometry(0, 0, 420, 3 * 150);
  const TVuHighlightStyle styles[] = {vuThinLine, vuThickLine, vuBackground};
  std::vector<std::unique_ptr<TVuPreview>> previews;
  std::vector<TVuThumbnails*> strips;
  for (int i = 0; i < 3; ++i) {
    // The previews stay off screen: the strips need only their pages and notifications.
    auto preview = std::make_unique<TVuPreview>();
    TVuCanvas& c = preview->Canvas();
    for (int page = 1; page <= 4; ++page) {
      if (page > 1) preview->NewPage();
      c.SetBrushValues(page % 2 ? clYellow : clLime, bsSolid);
      c.Rectangle(20, 20, 190, 120);
      c.SetFontValues(QStringLiteral("Arial"), 72, clBlack, 0);
      c.TextOut(60, 150, QString::number(page));
    }
    preview->SetCurrentPageNum(2);
    auto* strip = new TVuThumbnails(&window);
    strip->setGeometry(0, i * 150, 420, 140);
    strip->SetHighlightStyle(styles[i]);
    strip->SetPageCaptions(QStringLiteral("Page #"));
    strip->SetPreview(preview.get());
    strips.push_back(strip);
    previews.push_back(std::move(preview));
  }
  window.show();
  QTimer::singleShot(1000, &window, [&] {
    for (TVuThumbnails* strip : strips) {
      const int marked = strip->ItemIndex();
      TVuThumbnail* on = strip->GetThumbnail(marked);
      TVuThumbnail* off = strip->GetThumbnail(marked + 1);
      const QPoint a = on->mapToGlobal(QPoint(on->PageRect().Left, on->PageRect().Top));
      const QPoint b = off->mapToGlobal(QPoint(off->PageRect().Left, off->PageRect().Top));
      std::printf("%d %d %d %d %d\n", int(strip->HighlightStyle()), a.x(), a.y(), b.x(), b.y());
    }
    std::printf("ready\n");
    std::fflush(stdout);
  });
  return app.exec();
}
