// Helpers for tests of the page list's print jobs.
#pragma once
#include <QImage>
#include <QPainter>
#include "platform/PrinterBackend.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"

// Adds a page whose mark tells its number: a black box one inch from the left and top of
// the paper, half an inch high and a quarter inch wide per page number.
inline void AddNumberedPage(TVuPageList& list, int number, TVuOrientation orientation = vuPortrait) {
  list.AddPage()->SetOrientation(orientation);
  TVuCanvas& c = list.Canvas();
  c.Pen().Style = psClear;
  c.Brush().Color = clBlack;
  c.Brush().Style = bsSolid;
  c.Rectangle(1, 1, 1 + 0.25L * number, 1.5L, vuInches);
}

// The page number a mark of that width in pixels stands for, at ppi and scale percent.
inline int MarkNumber(int width, int ppi, int scale = 100) { return qRound(width * 400.0 / (ppi * scale)); }

// A recorded page of the in-memory print service, played onto white pixels of the sheet's size.
inline QImage PlayPage(TDevicePicture& page, QSize sheet) {
  QImage image(sheet, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  page.play(&p);
  return image;
}
