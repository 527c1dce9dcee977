#include "preview/core/Vutypes.h"
#include <cmath>
#include <utility>

int VuRound(Extended value) { return int(std::llrintl(value)); }

TVuPoint VuPoint(Extended x, Extended y) { return {x, y}; }
TVuSize VuSize(Extended width, Extended height) { return {width, height}; }
TVuRect VuRect(Extended left, Extended top, Extended right, Extended bottom) {
  return {left, top, right, bottom};
}

TVuComplexCoords VuComplexCoords(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                                 Extended y3, Extended x4, Extended y4) {
  return {x1, y1, x2, y2, x3, y3, x4, y4};
}

TRect VuRectToRect(const TVuRect& r) {
  return {VuRound(r.Left), VuRound(r.Top), VuRound(r.Right), VuRound(r.Bottom)};
}

TRect ScaleRect(const TRect& r, Extended factor) {
  return {VuRound(r.Left * factor), VuRound(r.Top * factor), VuRound(r.Right * factor),
          VuRound(r.Bottom * factor)};
}

TVuRect ScaleVuRect(const TVuRect& r, Extended factor) {
  return {r.Left * factor, r.Top * factor, r.Right * factor, r.Bottom * factor};
}

void OffsetVuPoint(TVuPoint& p, Extended dx, Extended dy) {
  p.X += dx;
  p.Y += dy;
}

void OffsetVuRect(TVuRect& r, Extended dx, Extended dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

TVuRectPoints RectToVuRectPoints(const TRect& r) {
  return {{r.Left, r.Top}, {r.Right, r.Top}, {r.Left, r.Bottom}, {r.Right, r.Bottom}};
}

TRect VuRectPointsToRect(const TVuRectPoints& p) {
  return {p.TopLeft.X, p.TopLeft.Y, p.BottomRight.X, p.BottomRight.Y};
}

Extended VuRectWidth(const TVuRect& r) { return r.Right - r.Left; }
Extended VuRectHeight(const TVuRect& r) { return r.Bottom - r.Top; }
int RectWidth(const TRect& r) { return r.Right - r.Left; }
int RectHeight(const TRect& r) { return r.Bottom - r.Top; }
bool EqualPoints(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }
bool EqualVuPoints(const TVuPoint& a, const TVuPoint& b) { return a.X == b.X && a.Y == b.Y; }

bool EqualVuRects(const TVuRect& a, const TVuRect& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

Extended MaxFloat(Extended a, Extended b) { return a > b ? a : b; }
Extended MinFloat(Extended a, Extended b) { return a < b ? a : b; }
int MaxInt(int a, int b) { return a > b ? a : b; }
int MinInt(int a, int b) { return a < b ? a : b; }
void SwapExtValues(Extended& a, Extended& b) { std::swap(a, b); }
