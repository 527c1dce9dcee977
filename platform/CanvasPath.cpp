// Path brackets: the figures collected between BeginPath and EndPath are filled, stroked, or
// turned into a region of device pixels that can become the clip region.
#include <QPainter>
#include <cmath>
#include "platform/Canvas.h"

namespace {

// The path with every figure closed, as filling closes them.
QPainterPath Closed(const QPainterPath& path) {
  QPainterPath out;
  out.setFillRule(path.fillRule());
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    switch (e.type) {
      case QPainterPath::MoveToElement:
        if (i > 0) out.closeSubpath();
        out.moveTo(e);
        break;
      case QPainterPath::LineToElement: out.lineTo(e); break;
      case QPainterPath::CurveToElement:
        out.cubicTo(e, path.elementAt(i + 1), path.elementAt(i + 2));
        i += 2;
        break;
      default: break;
    }
  }
  if (out.elementCount() > 0) out.closeSubpath();
  return out;
}

}  // namespace

void TCanvas::BeginPath() {
  FInPath = true;
  FPath = QPainterPath();
  FPath.setFillRule(Qt::OddEvenFill);
  FPathNeedsMove = true;
}

void TCanvas::EndPath() { FInPath = false; }

void TCanvas::AbortPath() {
  FInPath = false;
  FPath = QPainterPath();
}

void TCanvas::CloseFigure() {
  if (!FInPath || FPath.elementCount() == 0) return;
  FPath.closeSubpath();
  FPathNeedsMove = true;
}

void TCanvas::FillPath() {
  if (FInPath) return;
  const QPainterPath path = Closed(FPath);
  FPath = QPainterPath();
  QPainter* p = Painter();
  if (!p || path.isEmpty()) return;
  ApplyBrush();
  ApplyPen();
  p->setPen(Qt::NoPen);
  if (FPen.Mode != pmNop) p->drawPath(path);
  EndRasterOp();
}

void TCanvas::StrokePath() {
  if (FInPath) return;
  const QPainterPath path = FPath;
  FPath = QPainterPath();
  QPainter* p = Painter();
  if (!p || path.isEmpty()) return;
  ApplyPen();
  p->setBrush(Qt::NoBrush);
  if (PenDraws() && FPen.Mode != pmNop) p->drawPath(path);
  EndRasterOp();
}

void TCanvas::StrokeAndFillPath() {
  if (FInPath) return;
  const QPainterPath path = Closed(FPath);
  FPath = QPainterPath();
  if (path.isEmpty()) return;
  DrawShapePath(path, true);
}

QRegion TCanvas::PathToRegion() {
  if (FInPath) return QRegion();
  // Each closed figure toggles the pixels it covers (alternate filling); pixels whose
  // centres lie on a left or top edge belong to the region, those on a right or bottom edge
  // do not.
  QRegion region;
  const QPainterPath device = FMapping.map(FPath);
  FPath = QPainterPath();
  for (const QPolygonF& poly : device.toFillPolygons())
    region = region.xored(QRegion(poly.toPolygon(), Qt::OddEvenFill));
  return region;
}

QRect TCanvas::PathRegionBounds() {
  if (FInPath) return QRect();
  // The figures' exact extent (curves measured, not flattened), rounded as the region's
  // vertices are: a figure covers the pixels from its least x and y up to, not including,
  // its greatest. A path without area covers none.
  const QRectF b = FMapping.map(FPath).boundingRect();
  FPath = QPainterPath();
  const int left = int(std::lrint(b.left())), top = int(std::lrint(b.top()));
  const int right = int(std::lrint(b.right())), bottom = int(std::lrint(b.bottom()));
  if (right <= left || bottom <= top) return QRect();
  return QRect(left, top, right - left, bottom - top);
}

void TCanvas::SelectClipPath() {
  if (FInPath) return;
  const QRegion region = PathToRegion();
  SelectClipRgn(&region);
}
