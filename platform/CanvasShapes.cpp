// Lines, rectangles, ellipses, arcs, polygons and Bezier curves. Each either draws or, inside
// a path bracket, adds its figure to the path.
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <numbers>
#include "platform/Canvas.h"

namespace {

enum { akArc, akChord, akPie };

QPolygonF ToPolygonF(const QPoint* points, int count) {
  QPolygonF poly;
  poly.reserve(count);
  for (int i = 0; i < count; ++i) poly << QPointF(points[i]);
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
  if (PenDraws() && FPen.Mode != pmNop) p->drawLine(from, FPenPos);
  EndRasterOp();
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
      if (FBrush.Style != bsClear) p->fillRect(QRect(left, top, right - left, bottom - top), p->brush());
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

void TCanvas::Polygon(const QPoint* points, int count) {
  if (count < 2) return;
  if (FInPath) {
    QPainterPath figure;
    figure.addPolygon(ToPolygonF(points, count));
    figure.closeSubpath();
    AddFigure(figure);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  ApplyBrush();
  ApplyPen();
  if (FPen.Mode != pmNop) p->drawPolygon(points, count, Qt::OddEvenFill);
  EndRasterOp();
}

void TCanvas::Polyline(const QPoint* points, int count) {
  if (count < 2) return;
  if (FInPath) {
    QPainterPath figure;
    figure.addPolygon(ToPolygonF(points, count));
    AddFigure(figure);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  ApplyPen();
  if (PenDraws() && FPen.Mode != pmNop) p->drawPolyline(points, count);
  EndRasterOp();
}

void TCanvas::PolylineTo(const QPoint* points, int count) {
  if (count < 1) return;
  const QPoint from = FPenPos;
  FPenPos = points[count - 1];
  if (FInPath) {
    if (FPathNeedsMove || FPath.elementCount() == 0) {
      FPath.moveTo(from);
      FPathNeedsMove = false;
    }
    for (int i = 0; i < count; ++i) FPath.lineTo(points[i]);
    return;
  }
  QPainter* p = Painter();
  if (!p) return;
  QPolygon poly;
  poly.reserve(count + 1);
  poly << from;
  for (int i = 0; i < count; ++i) poly << points[i];
  ApplyPen();
  if (PenDraws() && FPen.Mode != pmNop) p->drawPolyline(poly);
  EndRasterOp();
}

void TCanvas::PolyBezier(const QPoint* points, int count) {
  // A start point and three points per curve; incomplete curves are left out.
  const int curves = count >= 4 ? (count - 1) / 3 : 0;
  if (curves == 0) return;
  QPainterPath path(points[0]);
  for (int i = 0; i < curves; ++i)
    path.cubicTo(points[1 + 3 * i], points[2 + 3 * i], points[3 + 3 * i]);
  if (FInPath) AddFigure(path);
  else DrawShapePath(path, false);
}

void TCanvas::PolyBezierTo(const QPoint* points, int count) {
  const int curves = count / 3;
  if (curves == 0) return;
  const QPoint from = FPenPos;
  FPenPos = points[3 * curves - 1];
  if (FInPath) {
    if (FPathNeedsMove || FPath.elementCount() == 0) {
      FPath.moveTo(from);
      FPathNeedsMove = false;
    }
    for (int i = 0; i < curves; ++i)
      FPath.cubicTo(points[3 * i], points[3 * i + 1], points[3 * i + 2]);
    return;
  }
  QPainterPath path(from);
  for (int i = 0; i < curves; ++i) path.cubicTo(points[3 * i], points[3 * i + 1], points[3 * i + 2]);
  DrawShapePath(path, false);
}
