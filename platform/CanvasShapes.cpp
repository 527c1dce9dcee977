// Lines, rectangles, ellipses, arcs, polygons and Bezier curves. Each either draws or, inside
// a path bracket, adds its figure to the path.
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <numbers>
#include <vector>
#include "platform/Canvas.h"

namespace {

enum { akArc, akChord, akPie };

QPolygonF ToPolygonF(std::span<const QPoint> points) {
  QPolygonF poly;
  poly.reserve(qsizetype(points.size()));
  for (QPoint p : points) poly << QPointF(p);
  return poly;
}

}  // namespace

void TCanvas::PathMoveIfNeeded() {
  if (FPathNeedsMove || FPath.elementCount() == 0) {
    FPath.moveTo(FPenPos);
    FPathNeedsMove = false;
  }
}

void TCanvas::AddFigure(const QPainterPath& figure) {
  FPath.addPath(figure);
  FPathNeedsMove = true;
}

void TCanvas::DrawShapePath(const QPainterPath& path, bool fill) {
  QPainter* p = Painter();
  if (!p) return;
  if (fill) ApplyBrush();
  else p->setBrush(Qt::NoBrush);
  ApplyPen();
  if (FPen.Mode != pmNop) {
    if (PenDraws() && !FPen.Geometric && FPen.Width <= 1) {
      // A hairline curve through pixel centres lights the pixels its integer points name,
      // start and end included, as the outlines of Rectangle and LineTo do.
      const qreal sx = FMapping.m11() != 0 ? 0.5 / std::abs(FMapping.m11()) : 0.5;
      const qreal sy = FMapping.m22() != 0 ? 0.5 / std::abs(FMapping.m22()) : 0.5;
      const QPainterPath shifted = path.translated(sx, sy);
      p->drawPath(shifted);
      // The hairline stroker may leave out a curve's first pixel; the platform draws it.
      if (p->compositionMode() == QPainter::CompositionMode_SourceOver && path.elementCount() > 0) {
        const QPointF start = FMapping.map(QPointF(path.elementAt(0)));
        const QTransform t = p->worldTransform();
        p->resetTransform();
        p->fillRect(QRect(int(std::lrint(start.x())), int(std::lrint(start.y())), 1, 1), p->pen().color());
        p->setWorldTransform(t);
      }
    } else {
      p->drawPath(path);
    }
  }
  EndRasterOp();
}

// The box a closed shape is drawn in: with a pen the outline runs on the left..right-1 and
// top..bottom-1 pixels; a wide inside-frame pen is kept inside them; without a pen the fill
// covers the same pixels.
QRectF TCanvas::ShapeBox(int left, int top, int right, int bottom) const {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (!PenDraws()) return QRectF(left, top, right - left, bottom - top);
  if (FPen.Style == psInsideFrame && (FPen.Width > 1 || FPen.Geometric)) {
    // The stroke, centred on the outline, covers left..right-1 exactly.
    const qreal half = FPen.Width / 2.0;
    return QRectF(left + half, top + half, right - left - FPen.Width, bottom - top - FPen.Width);
  }
  return QRectF(left, top, right - left - 1, bottom - top - 1);
}

void TCanvas::MoveTo(int x, int y) {
  FPenPos = QPoint(x, y);
  if (FInPath) FPathNeedsMove = true;
}

void TCanvas::LineTo(int x, int y) {
  const QPoint from = FPenPos;
  FPenPos = QPoint(x, y);
  if (FInPath) {
    if (FPathNeedsMove || FPath.elementCount() == 0) {
      FPath.moveTo(from);
      FPathNeedsMove = false;
    }
    FPath.lineTo(FPenPos);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  ApplyPen();
  if (PenDraws() && FPen.Mode != pmNop) {
    if (Hairline()) {
      const QPoint ends[] = {from, FPenPos};
      DrawHairlines(ends, false);
    } else {
      p->drawLine(from, FPenPos);
    }
  }
  EndRasterOp();
}

// Qt's hairline leaves out the pixel of a line that lies furthest along the line's major axis
// (x when |dx| >= |dy|), whichever end that is: a line drawn right or down loses its end point,
// one drawn left or up its start point. A segment running backwards along its major axis is
// therefore drawn so that its end pixel is the one left out: an axis-parallel or diagonal one
// is slid one pixel back along itself; any other is clipped off at its end column (row) and
// given its start pixel, which keeps Qt's own rasterisation of the line in between.
void TCanvas::DrawHairlines(std::span<const QPoint> points, bool closed) {
  QPainter* p = Painter();
  if (!p || points.size() < 2) return;
  // Lines end on whole device pixels, as the old platform maps its end points.
  const QTransform mapping = p->worldTransform();
  std::vector<QPoint> device;
  device.reserve(points.size());
  for (QPoint q : points) {
    const QPointF d = mapping.map(QPointF(q));
    device.emplace_back(int(std::lrint(d.x())), int(std::lrint(d.y())));
  }
  // Without a mapping the points are device pixels already; resetting the transform anyway
  // would cost a PDF page a restored and saved graphics state for every line.
  const bool mapped = !p->combinedTransform().isIdentity();
  if (mapped) p->resetTransform();
  QPen pen = p->pen();
  const QColor color = pen.color();
  const bool dashed = pen.style() != Qt::SolidLine;
  qreal travelled = 0;  // the dash pattern runs on from one segment to the next
  const size_t n = device.size(), segments = closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i) {
    const QPoint a = device[i], b = device[(i + 1) % n];
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    if (dx == 0 && dy == 0) continue;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const int length = std::abs(major);
    if (dashed) {
      pen.setDashOffset(travelled);
      p->setPen(pen);
    }
    travelled += length;
    if (major > 0) {
      p->drawLine(a, b);  // Qt leaves out b itself
    } else if (minor == 0 || std::abs(minor) == length) {
      const QPoint back(-dx / length, -dy / length);
      p->drawLine(a + back, b + back);  // left out: a + back, just before the start
    } else {
      // Qt draws the pixels from b's column (row) up to, not including, a's; keep those
      // past b's and add a.
      const QRect keep = xMajor ? QRect(b.x() + 1, std::min(a.y(), b.y()) - 1, length, std::abs(dy) + 3)
                                : QRect(std::min(a.x(), b.x()) - 1, b.y() + 1, std::abs(dx) + 3, length);
      p->save();
      p->setClipRect(keep, p->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
      p->drawLine(a, b);
      p->restore();
      p->fillRect(QRect(a, QSize(1, 1)), color);
    }
  }
  if (mapped) p->setWorldTransform(mapping);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (right == left || bottom == top) return;
  if (FInPath) {
    QPainterPath figure;
    figure.addRect(QRectF(left, top, right - left, bottom - top));
    AddFigure(figure);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  ApplyBrush();
  ApplyPen();
  if (FPen.Mode != pmNop) {
    if (!PenDraws()) {
      // drawRect with the painter's own brush: fillRect would set the brush again for every
      // rectangle, and a PDF would repeat the colour with each one.
      if (FBrush.Style != bsClear) p->drawRect(QRect(left, top, right - left, bottom - top));
    } else if (FPen.Style == psInsideFrame && (FPen.Width > 1 || FPen.Geometric)) {
      p->drawRect(ShapeBox(left, top, right, bottom));
    } else {
      p->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    }
  }
  EndRasterOp();
}

void TCanvas::FillRect(const QRect& r) {
  if (FInPath || !Painter() || FBrush.Style == bsClear) return;
  ApplyBrush();
  Painter()->fillRect(r, Painter()->brush());
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (right == left || bottom == top) return;
  QPainterPath figure;
  if (FInPath) {
    figure.addEllipse(QRectF(left, top, right - left, bottom - top).normalized());
    AddFigure(figure);
    return;
  }
  figure.addEllipse(ShapeBox(left, top, right, bottom));
  DrawShapePath(figure, true);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int w, int h) {
  if (right == left || bottom == top) return;
  const QRectF box = FInPath ? QRectF(left, top, right - left, bottom - top).normalized()
                             : ShapeBox(left, top, right, bottom);
  // The corner ellipses are at most as large as the box.
  const qreal rx = std::min<qreal>(std::abs(w), box.width()) / 2;
  const qreal ry = std::min<qreal>(std::abs(h), box.height()) / 2;
  QPainterPath figure;
  figure.addRoundedRect(box, rx, ry, Qt::AbsoluteSize);
  if (FInPath) AddFigure(figure);
  else DrawShapePath(figure, true);
}

// The arc's angles follow the old platform: each ray runs from the centre of the bounding
// box through its point, the curve starts where the first ray meets the ellipse and runs
// counter-clockwise (on the y-down device) to where the second one does. Coinciding rays
// give the whole ellipse.
QPainterPath TCanvas::ArcPath(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4,
                              int y4, bool forPath) const {
  const QRectF full = QRectF(x1, y1, x2 - x1, y2 - y1).normalized();
  const QRectF box = forPath ? full : ShapeBox(x1, y1, x2, y2);
  const QPointF c = full.center();
  const qreal rx = std::max<qreal>(full.width() / 2, 1e-9), ry = std::max<qreal>(full.height() / 2, 1e-9);
  // Qt's arc angles are parametric on the ellipse: the ray's direction is turned into the
  // parameter of the point where it meets the ellipse.
  auto angle = [&](int x, int y) {
    return std::atan2((c.y() - y) / ry, (x - c.x()) / rx) * 180 / std::numbers::pi;
  };
  const qreal start = angle(x3, y3);
  qreal sweep = angle(x4, y4) - start;
  while (sweep <= 0) sweep += 360;
  while (sweep > 360) sweep -= 360;
  QPainterPath path;
  if (kind == akPie) {
    path.moveTo(box.center());
    path.arcTo(box, start, sweep);
    path.closeSubpath();
  } else {
    path.arcMoveTo(box, start);
    path.arcTo(box, start, sweep);
    if (kind == akChord) path.closeSubpath();
  }
  return path;
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  if (x1 == x2 || y1 == y2) return;
  if (FInPath) {
    // Arc, unlike a "to" form, starts a figure of its own.
    AddFigure(ArcPath(akArc, x1, y1, x2, y2, x3, y3, x4, y4, true));
    return;
  }
  DrawShapePath(ArcPath(akArc, x1, y1, x2, y2, x3, y3, x4, y4, false), false);
}

void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  if (x1 == x2 || y1 == y2) return;
  if (FInPath) AddFigure(ArcPath(akChord, x1, y1, x2, y2, x3, y3, x4, y4, true));
  else DrawShapePath(ArcPath(akChord, x1, y1, x2, y2, x3, y3, x4, y4, false), true);
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  if (x1 == x2 || y1 == y2) return;
  if (FInPath) AddFigure(ArcPath(akPie, x1, y1, x2, y2, x3, y3, x4, y4, true));
  else DrawShapePath(ArcPath(akPie, x1, y1, x2, y2, x3, y3, x4, y4, false), true);
}

void TCanvas::Polygon(std::span<const QPoint> points) {
  if (points.size() < 2) return;
  if (FInPath) {
    QPainterPath figure;
    figure.addPolygon(ToPolygonF(points));
    figure.closeSubpath();
    AddFigure(figure);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  ApplyBrush();
  // Without pen and brush nothing is drawn (a text box's frame, mostly); a PDF page would
  // still get an empty graphics state for it, and the pen of the text before and after.
  if (!PenDraws() && FBrush.Style == bsClear) return;
  ApplyPen();
  if (FPen.Mode != pmNop) {
    const int count = int(points.size());
    if (PenDraws() && Hairline()) {
      // The fill, then an outline whose every edge draws its start: each vertex once.
      const QPen pen = p->pen();
      if (FBrush.Style != bsClear) {
        p->setPen(Qt::NoPen);
        p->drawPolygon(points.data(), count, Qt::OddEvenFill);
        p->setPen(pen);
      }
      DrawHairlines(points, true);
    } else {
      p->drawPolygon(points.data(), count, Qt::OddEvenFill);
    }
  }
  EndRasterOp();
}

void TCanvas::Polyline(std::span<const QPoint> points) {
  if (points.size() < 2) return;
  if (FInPath) {
    QPainterPath figure;
    figure.addPolygon(ToPolygonF(points));
    AddFigure(figure);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  ApplyPen();
  if (PenDraws() && FPen.Mode != pmNop) {
    if (Hairline()) DrawHairlines(points, false);
    else p->drawPolyline(points.data(), int(points.size()));
  }
  EndRasterOp();
}

void TCanvas::PolylineTo(std::span<const QPoint> points) {
  if (points.empty()) return;
  const QPoint from = FPenPos;
  FPenPos = points.back();
  if (FInPath) {
    if (FPathNeedsMove || FPath.elementCount() == 0) {
      FPath.moveTo(from);
      FPathNeedsMove = false;
    }
    for (QPoint q : points) FPath.lineTo(q);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  std::vector<QPoint> line;
  line.reserve(points.size() + 1);
  line.push_back(from);
  line.insert(line.end(), points.begin(), points.end());
  ApplyPen();
  if (PenDraws() && FPen.Mode != pmNop) {
    if (Hairline()) DrawHairlines(line, false);
    else p->drawPolyline(line.data(), int(line.size()));
  }
  EndRasterOp();
}

void TCanvas::PolyBezier(std::span<const QPoint> points) {
  // A start point and three points per curve; incomplete curves are left out.
  const size_t curves = points.size() >= 4 ? (points.size() - 1) / 3 : 0;
  if (curves == 0) return;
  QPainterPath path(points[0]);
  for (size_t i = 0; i < curves; ++i)
    path.cubicTo(points[1 + 3 * i], points[2 + 3 * i], points[3 + 3 * i]);
  if (FInPath) AddFigure(path);
  else DrawShapePath(path, false);
}

void TCanvas::PolyBezierTo(std::span<const QPoint> points) {
  const size_t curves = points.size() / 3;
  if (curves == 0) return;
  const QPoint from = FPenPos;
  FPenPos = points[3 * curves - 1];
  if (FInPath) {
    if (FPathNeedsMove || FPath.elementCount() == 0) {
      FPath.moveTo(from);
      FPathNeedsMove = false;
    }
    for (size_t i = 0; i < curves; ++i)
      FPath.cubicTo(points[3 * i], points[3 * i + 1], points[3 * i + 2]);
    return;
  }
  QPainterPath path(from);
  for (size_t i = 0; i < curves; ++i) path.cubicTo(points[3 * i], points[3 * i + 1], points[3 * i + 2]);
  DrawShapePath(path, false);
}
