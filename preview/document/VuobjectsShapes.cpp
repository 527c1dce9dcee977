// Geometry and drawing of the shapes, poly objects, paths and clip regions, and the drawing
// functions they share.
#include "preview/core/Vufuncs.h"
#include "preview/document/Vuobjects.h"

namespace {

Extended ToInches(Extended value, TVuMeasurement m) { return ConvertValue(value, m, vuInches); }
Extended FromInches(Extended value, TVuMeasurement m) { return ConvertValue(value, vuInches, m); }

}  // namespace

// ---- drawing functions ------------------------------------------------------------------

void VuDrawRect(TCanvas& canvas, const TRect& r) {
  // Without an outline the polygon covers the rectangle's pixels exactly; drawn as one, it
  // reaches a PDF as a single rectangle operator instead of a six-point path.
  if (canvas.Pen().Style == psClear && !canvas.InPath()) {
    canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    return;
  }
  const QPoint points[] = {{r.Left, r.Top},    {r.Right, r.Top}, {r.Right, r.Bottom},
                           {r.Left, r.Bottom}, {r.Left, r.Top},  {r.Right, r.Top}};
  canvas.Polygon(points, 6);
}

void VuDrawEllipse(TCanvas& canvas, int x1, int y1, int x2, int y2) {
  const int w = x2 - x1, h = y2 - y1;
  const int hw = w / 2, hh = h / 2;
  const int cx = VuRound(w / 4.45L), cy = VuRound(h / 4.45L);
  canvas.MoveTo(x1 + hw, y1);
  const QPoint curves[] = {
      {x1 + cx, y1}, {x1, y1 + cy}, {x1, y1 + hh},        // left upper quarter
      {x1, y2 - cy}, {x1 + cx, y2}, {x1 + hw, y2},        // left lower quarter
      {x2 - cx, y2}, {x2, y2 - cy}, {x2, y2 - hh},        // right lower quarter
      {x2, y1 + cy}, {x2 - cx, y1}, {x2 - hw, y1}};       // right upper quarter
  canvas.PolyBezierTo(curves, 12);
}

void VuDrawRoundRect(TCanvas& canvas, int x1, int y1, int x2, int y2, int x3, int y3) {
  const int h = y2 - y1, w = x2 - x1;
  const int cx = VuRound(x3 / 4.0L) - 1, cy = VuRound(y3 / 4.0L) - 1;
  const int rx = std::min(x3 / 2, w), ry = std::min(y3 / 2, h);
  canvas.MoveTo(x1 + rx, y1);
  auto curve = [&](QPoint a, QPoint b, QPoint c) {
    const QPoint p[] = {a, b, c};
    canvas.PolyBezierTo(p, 3);
  };
  curve({x1 + cx, y1}, {x1, y1 + cy}, {x1, y1 + ry});
  canvas.LineTo(x1, y2 - ry);
  curve({x1, y2 - cy}, {x1 + cx, y2}, {x1 + rx, y2});
  canvas.LineTo(x2 - rx, y2);
  curve({x2 - cx, y2}, {x2, y2 - cy}, {x2, y2 - ry});
  canvas.LineTo(x2, y1 + ry);
  curve({x2, y1 + cy}, {x2 - cx, y1}, {x2 - rx, y1});
  canvas.LineTo(x1 + rx, y1);
}

void VuDrawPolyShape(int kind, TCanvas& canvas, const std::vector<QPoint>& points, int last) {
  const size_t count = last < 0 ? 0 : std::min(size_t(last) + 1, points.size());
  if (count == 0) return;
  const std::span<const QPoint> p(points.data(), count);
  switch (kind) {
    case vuPolygonObject: canvas.Polygon(p); break;
    case vuPolylineObject: canvas.Polyline(p); break;
    case vuPolyBezierObject: canvas.PolyBezier(p); break;
    case vuPolylineToObject: canvas.PolylineTo(p); break;
    case vuPolyBezierToObject: canvas.PolyBezierTo(p); break;
    default: break;
  }
}

// ---- rectangle-based shapes -------------------------------------------------------------

Extended TVuBaseSolidShape::GetX(TVuMeasurement m) const { return FromInches(FCoords.Left, m); }
Extended TVuBaseSolidShape::GetY(TVuMeasurement m) const { return FromInches(FCoords.Top, m); }
Extended TVuBaseSolidShape::GetX2(TVuMeasurement m) const { return FromInches(FCoords.Right, m); }
Extended TVuBaseSolidShape::GetY2(TVuMeasurement m) const { return FromInches(FCoords.Bottom, m); }
void TVuBaseSolidShape::SetX(TVuMeasurement m, Extended v) { FCoords.Left = ToInches(v, m); }
void TVuBaseSolidShape::SetY(TVuMeasurement m, Extended v) { FCoords.Top = ToInches(v, m); }
void TVuBaseSolidShape::SetX2(TVuMeasurement m, Extended v) { FCoords.Right = ToInches(v, m); }
void TVuBaseSolidShape::SetY2(TVuMeasurement m, Extended v) { FCoords.Bottom = ToInches(v, m); }

TVuRect TVuBaseSolidShape::GetCoords(TVuMeasurement m) const {
  return ConvertVuRect(FCoords, vuInches, m);
}

void TVuBaseSolidShape::SetCoords(TVuMeasurement m, const TVuRect& rect) {
  FCoords = ConvertVuRect(rect, m, vuInches);
}

TRect TVuBaseSolidShape::CoordsAsPixels(int ppiX, int ppiY) const {
  return {VuRound(FCoords.Left * ppiX), VuRound(FCoords.Top * ppiY),
          VuRound(FCoords.Right * ppiX), VuRound(FCoords.Bottom * ppiY)};
}

void TVuBaseSolidShape::MoveCoords(Extended dx, Extended dy) { OffsetVuRect(FCoords, dx, dy); }

void TVuBaseSolidShape::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  MoveCoords(ToInches(dx, m), ToInches(dy, m));
  Changed();
}

void TVuLineObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuSimpleSolidShape::DrawToCanvas(canvas, d);
  const TRect r = CoordsAsPixels(d.PpiX, d.PpiY);
  canvas.MoveTo(r.Left, r.Top);
  canvas.LineTo(r.Right, r.Bottom);
}

TVuRectPoints TVuLineObject::BoundingRect(const TVuObjectDrawData& d) {
  TRect r = CoordsAsPixels(d.PpiX, d.PpiY);
  r = {r.Left - 3, r.Top - 3, r.Right + 3, r.Bottom + 3};
  return RectToVuRectPoints(r);
}

void TVuRectangleShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuSimpleSolidShape::DrawToCanvas(canvas, d);
  VuDrawRect(canvas, CoordsAsPixels(d.PpiX, d.PpiY));
}

// Ellipses and round rectangles draw their outline in a path of their own; inside a path
// that is already open (a recorded path bracket, or the bounding-box measurement) they add
// the outline to it instead, like the platform's own shapes.
void TVuEllipseShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuSimpleSolidShape::DrawToCanvas(canvas, d);
  const TRect r = CoordsAsPixels(d.PpiX, d.PpiY);
  const bool own = !canvas.InPath();
  if (own) canvas.BeginPath();
  VuDrawEllipse(canvas, r.Left, r.Top, r.Right, r.Bottom);
  if (own) {
    canvas.EndPath();
    canvas.StrokeAndFillPath();
  } else {
    canvas.CloseFigure();
  }
}

Extended TVuSemiComplexShape::GetX3(TVuMeasurement m) const { return FromInches(FX3, m); }
Extended TVuSemiComplexShape::GetY3(TVuMeasurement m) const { return FromInches(FY3, m); }

void TVuSemiComplexShape::SetX3(TVuMeasurement m, Extended value) {
  const Extended v = ToInches(value, m);
  if (v == FX3) return;
  FX3 = v;
  Changed();
}

void TVuSemiComplexShape::SetY3(TVuMeasurement m, Extended value) {
  const Extended v = ToInches(value, m);
  if (v == FY3) return;
  FY3 = v;
  Changed();
}

void TVuSemiComplexShape::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  const Extended ix = ToInches(dx, m), iy = ToInches(dy, m);
  MoveCoords(ix, iy);
  FX3 += ix;
  FY3 += iy;
  Changed();
}

void TVuRoundRectShape::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  // X3 and Y3 of a round rectangle are its corner sizes, not a point: only the box moves.
  TVuBaseSolidShape::OffsetObject(dx, dy, m);
}

void TVuRoundRectShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuSemiComplexShape::DrawToCanvas(canvas, d);
  const TRect r = CoordsAsPixels(d.PpiX, d.PpiY);
  const bool own = !canvas.InPath();
  if (own) canvas.BeginPath();
  VuDrawRoundRect(canvas, r.Left, r.Top, r.Right, r.Bottom, VuRound(FX3 * d.PpiX),
                  VuRound(FY3 * d.PpiY));
  if (own) {
    canvas.EndPath();
    canvas.StrokeAndFillPath();
  } else {
    canvas.CloseFigure();
  }
}

Extended TVuComplexShape::GetX4(TVuMeasurement m) const { return FromInches(FX4, m); }
Extended TVuComplexShape::GetY4(TVuMeasurement m) const { return FromInches(FY4, m); }

void TVuComplexShape::SetX4(TVuMeasurement m, Extended value) {
  const Extended v = ToInches(value, m);
  if (v == FX4) return;
  FX4 = v;
  Changed();
}

void TVuComplexShape::SetY4(TVuMeasurement m, Extended value) {
  const Extended v = ToInches(value, m);
  if (v == FY4) return;
  FY4 = v;
  Changed();
}

TVuComplexCoords TVuComplexShape::GetCoords(TVuMeasurement m) const {
  return ConvertVuComplexCoords({FCoords.Left, FCoords.Top, FCoords.Right, FCoords.Bottom, FX3,
                                 FY3, FX4, FY4},
                                vuInches, m);
}

void TVuComplexShape::SetCoords(TVuMeasurement m, const TVuComplexCoords& coords) {
  const TVuComplexCoords c = ConvertVuComplexCoords(coords, m, vuInches);
  FCoords = {c.X1, c.Y1, c.X2, c.Y2};
  FX3 = c.X3;
  FY3 = c.Y3;
  FX4 = c.X4;
  FY4 = c.Y4;
}

void TVuComplexShape::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  const Extended ix = ToInches(dx, m), iy = ToInches(dy, m);
  MoveCoords(ix, iy);
  FX3 += ix;
  FY3 += iy;
  FX4 += ix;
  FY4 += iy;
  Changed();
}

void TVuComplexShape::DevicePoints(const TVuObjectDrawData& d, int (&p)[8]) const {
  const TRect r = CoordsAsPixels(d.PpiX, d.PpiY);
  p[0] = r.Left;
  p[1] = r.Top;
  p[2] = r.Right;
  p[3] = r.Bottom;
  p[4] = VuRound(FX3 * d.PpiX);
  p[5] = VuRound(FY3 * d.PpiY);
  p[6] = VuRound(FX4 * d.PpiX);
  p[7] = VuRound(FY4 * d.PpiY);
}

void TVuArcShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuComplexShape::DrawToCanvas(canvas, d);
  int p[8];
  DevicePoints(d, p);
  canvas.Arc(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
}

void TVuChordShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuComplexShape::DrawToCanvas(canvas, d);
  int p[8];
  DevicePoints(d, p);
  canvas.Chord(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
}

void TVuPieShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuComplexShape::DrawToCanvas(canvas, d);
  int p[8];
  DevicePoints(d, p);
  canvas.Pie(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
}

// ---- poly objects -----------------------------------------------------------------------

TVuPolyPoints TVuPolyBaseObject::GetPoints(TVuMeasurement m) const {
  TVuPolyPoints points = FPoints;
  ConvertVuPolyPoints(points, vuInches, m);
  return points;
}

void TVuPolyBaseObject::SetPoints(TVuMeasurement m, const TVuPolyPoints& points) {
  FPoints = points;
  ConvertVuPolyPoints(FPoints, m, vuInches);
  Changed();
}

void TVuPolyBaseObject::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  const Extended ix = ToInches(dx, m), iy = ToInches(dy, m);
  for (TVuPoint& p : FPoints) OffsetVuPoint(p, ix, iy);
}

void TVuPolyBaseObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuSolidShape::DrawToCanvas(canvas, d);
  if (FPoints.empty()) return;
  std::vector<QPoint> device;
  device.reserve(FPoints.size());
  for (const TVuPoint& p : FPoints) device.emplace_back(VuRound(p.X * d.PpiX), VuRound(p.Y * d.PpiY));
  VuDrawPolyShape(GetObjectID(), canvas, device, int(device.size()) - 1);
}

// ---- paths and clip regions -------------------------------------------------------------

void TVuPathObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData&) {
  switch (FPathType) {
    case vuBeginPath: canvas.BeginPath(); break;
    case vuEndPath: canvas.EndPath(); break;
    case vuFillPath: canvas.FillPath(); break;
    case vuStrokePath: canvas.StrokePath(); break;
    case vuStrokeAndFillPath: canvas.StrokeAndFillPath(); break;
    case vuCloseFigure: canvas.CloseFigure(); break;
  }
}

void TVuRemoveClipObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData&) {
  canvas.SelectClipRgn(nullptr);
}

TVuRect TVuBaseClipObject::GetClipCoords(TVuMeasurement m) const {
  return ConvertVuRect(FClipCoords, vuInches, m);
}

void TVuBaseClipObject::SetClipCoords(TVuMeasurement m, const TVuRect& rect) {
  FClipCoords = ConvertVuRect(rect, m, vuInches);
}

void TVuBaseClipObject::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  OffsetVuRect(FClipCoords, ToInches(dx, m), ToInches(dy, m));
}

TRect TVuBaseClipObject::ClipAsPixels(const TVuObjectDrawData& d) const {
  return {VuRound(FClipCoords.Left * d.PpiX), VuRound(FClipCoords.Top * d.PpiY),
          VuRound(FClipCoords.Right * d.PpiX), VuRound(FClipCoords.Bottom * d.PpiY)};
}

void TVuBaseClipObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  canvas.BeginPath();
  AddShape(canvas, d);
  canvas.EndPath();
  canvas.SelectClipPath();
}

void TVuClipRectObject::AddShape(TCanvas& canvas, const TVuObjectDrawData& d) {
  VuDrawRect(canvas, ClipAsPixels(d));
}

void TVuClipEllipseObject::AddShape(TCanvas& canvas, const TVuObjectDrawData& d) {
  const TRect r = ClipAsPixels(d);
  VuDrawEllipse(canvas, r.Left, r.Top, r.Right, r.Bottom);
}

TVuPoint TVuClipRoundRectObject::GetCorner(TVuMeasurement m) const {
  return ConvertVuPoint(FCorner, vuInches, m);
}

void TVuClipRoundRectObject::SetCorner(TVuMeasurement m, const TVuPoint& corner) {
  FCorner = ConvertVuPoint(corner, m, vuInches);
}

void TVuClipRoundRectObject::AddShape(TCanvas& canvas, const TVuObjectDrawData& d) {
  const TRect r = ClipAsPixels(d);
  VuDrawRoundRect(canvas, r.Left, r.Top, r.Right, r.Bottom, VuRound(FCorner.X * d.PpiX),
                  VuRound(FCorner.Y * d.PpiY));
}
