// Plain value types shared by every subsystem: the extended-precision real and the
// platform's integer point and rectangle (device coordinates, right and bottom exclusive).
#pragma once
#include <QPoint>
#include <QRect>

// 80-bit extended precision on x86-64; every stored length of the page engine uses it.
using Extended = long double;

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TRect&) const = default;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }

// The Qt rectangle covering the same pixels (Qt's right() and bottom() are inclusive).
inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
inline TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
inline QPoint ToQPoint(const TPoint& p) { return QPoint(p.X, p.Y); }
