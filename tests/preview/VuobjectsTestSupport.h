// Helpers for the page-object tests: shared resources entered in a table as the recording
// canvas enters them, and white bitmaps to draw on.
#pragma once
#include <QImage>
#include <memory>
#include <ostream>
#include "platform/Canvas.h"
#include "preview/document/Vuobjects.h"

inline TVuPen* AddTestPen(TVuResourceTable& table, TColor color = clBlack, int width = 0) {
  TVuPen pen;
  pen.SetColor(color);
  pen.SetWidth(width);
  pen.SetMode(pmCopy);
  return table.Pens().AddPen(&pen);
}

inline TVuBrush* AddTestBrush(TVuResourceTable& table, TColor color, TBrushStyle style = bsSolid) {
  TVuBrush brush;
  brush.SetColor(color);
  brush.SetStyle(style);
  return table.Brushes().AddBrush(&brush);
}

inline TVuFont* AddTestFont(TVuResourceTable& table, int points = 12) {
  TVuFont font;
  font.SetName(QStringLiteral("Arial"));
  font.SetSize(points);
  return table.Fonts().AddFont(&font);
}

inline TVuObjectDrawData DrawDataAt(int ppi, int page = 1, int pages = 1) {
  TVuObjectDrawData d;
  d.PpiX = d.PpiY = ppi;
  d.PageNum = page;
  d.NumPages = pages;
  return d;
}

// Reference count of a table entry.
template <class List, class T>
int RefCount(const List& list, const T* entry) {
  const int i = list.IndexOf(entry);
  return i < 0 ? 0 : list.References().GetValue(i);
}

struct TObjectSurface {
  QImage Image;
  TCanvas Canvas;
  explicit TObjectSurface(int w = 200, int h = 200) : Image(w, h, QImage::Format_RGB32), Canvas(&Image) {
    Image.fill(Qt::white);
  }
  TColor At(int x, int y) {
    Canvas.Release();
    return FromQColor(QColor(Image.pixel(x, y)));
  }
  QRect Ink() {
    Canvas.Release();
    QRect r;
    for (int y = 0; y < Image.height(); ++y)
      for (int x = 0; x < Image.width(); ++x)
        if (Image.pixel(x, y) != 0xFFFFFFFFu) r |= QRect(x, y, 1, 1);
    return r;
  }
  int Count(TColor color) {
    Canvas.Release();
    int n = 0;
    for (int y = 0; y < Image.height(); ++y)
      for (int x = 0; x < Image.width(); ++x)
        if (FromQColor(QColor(Image.pixel(x, y))) == color) ++n;
    return n;
  }
};

inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "TRect(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
inline void PrintTo(const QRect& r, std::ostream* os) {
  *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
