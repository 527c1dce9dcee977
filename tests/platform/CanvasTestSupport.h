// Pixel-test helpers for the drawing surface: a white RGB32 image with a canvas on it.
#pragma once
#include <QImage>
#include <memory>
#include <ostream>
#include "platform/Canvas.h"

inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

struct TTestSurface {
  QImage Image;
  std::unique_ptr<TCanvas> Canvas;
  explicit TTestSurface(int w = 120, int h = 120, QColor fill = Qt::white)
      : Image(w, h, QImage::Format_RGB32) {
    Image.fill(fill);
    Canvas = std::make_unique<TCanvas>(&Image);
  }
  TCanvas& C() { return *Canvas; }
  // The pixel as 0x00BBGGRR, with any drawing finished.
  TColor At(int x, int y) {
    Canvas->Release();
    return FromQColor(QColor(Image.pixel(x, y)));
  }
  // Number of pixels of the colour inside [x0, x1) x [y0, y1).
  int Count(TColor color, int x0, int y0, int x1, int y1) {
    Canvas->Release();
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (FromQColor(QColor(Image.pixel(x, y))) == color) ++n;
    return n;
  }
  // Bounding box of the pixels that differ from white; empty when there are none.
  QRect Ink(TColor background = clWhite) {
    Canvas->Release();
    QRect r;
    for (int y = 0; y < Image.height(); ++y)
      for (int x = 0; x < Image.width(); ++x)
        if (FromQColor(QColor(Image.pixel(x, y))) != background) r |= QRect(x, y, 1, 1);
    return r;
  }
};
