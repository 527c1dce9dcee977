// The cursor table and the screen cursor.
#include "platform/Cursors.h"
#include <QApplication>
#include <QPainter>
#include <map>

namespace {
std::map<int, QCursor>& Table() {
  static std::map<int, QCursor> table;
  return table;
}

int& ScreenCursor() {
  static int cursor = crDefault;
  return cursor;
}

QCursor BuiltIn(int number) {
  switch (number) {
    case crCross: return QCursor(Qt::CrossCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
  }
}
}  // namespace

QCursor Screen::Cursors(int number) {
  if (number <= 0) return BuiltIn(number);
  auto it = Table().find(number);
  return it == Table().end() ? BuiltIn(crArrow) : it->second;
}

void Screen::SetCursors(int number, const QCursor& cursor) {
  if (number <= 0) return;
  Table()[number] = cursor;
}

int Screen::Cursor() { return ScreenCursor(); }

void Screen::SetCursor(int number) {
  int& current = ScreenCursor();
  if (number == current) return;
  // One override at a time: the toolkit keeps a stack of them.
  if (current != crDefault) QApplication::restoreOverrideCursor();
  current = number;
  if (number != crDefault) QApplication::setOverrideCursor(Cursors(number));
}

QCursor MonochromeCursor(const char* const rows[], int width, int height, int hotX, int hotY) {
  // In a bitmap color1 is black; in the mask color1 marks the pixels shown.
  QBitmap shape(width, height), mask(width, height);
  shape.fill(Qt::color0);
  mask.fill(Qt::color0);
  {
    QPainter shapePainter(&shape), maskPainter(&mask);
    shapePainter.setPen(Qt::color1);
    maskPainter.setPen(Qt::color1);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const char c = rows[y][x];
        if (c == '#') shapePainter.drawPoint(x, y);
        if (c == '#' || c == 'o') maskPainter.drawPoint(x, y);
      }
  }
  return QCursor(shape, mask, hotX, hotY);
}
