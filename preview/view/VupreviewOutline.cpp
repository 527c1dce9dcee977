// Paper image: the inverted, dotted outline of an object being moved with the mouse and the
// scratch layer for temporary drawing on screen. Both live outside the kept image, so
// showing, moving or removing them repaints only their own pixels.
#include <QPainter>
#include "preview/view/Vupreview.h"

namespace {
QRect OutlineBox(const TRect& r) {
  // A rectangle's outline without its right and bottom edges, as Rectangle draws it.
  return QRect(QPoint(std::min(r.Left, r.Right), std::min(r.Top, r.Bottom)),
               QPoint(std::max(r.Left, r.Right) - 1, std::max(r.Top, r.Bottom) - 1));
}

qint64 RegionArea(const QRegion& region) {
  qint64 area = 0;
  for (const QRect& r : region) area += qint64(r.width()) * r.height();
  return area;
}
}  // namespace

QRegion TVuPaperImage::ObjectOutlineRegion(const TRect& rect) const {
  const QRect box = OutlineBox(rect);
  if (box.width() <= 0 || box.height() <= 0) return {};
  QRegion region(box.left(), box.top(), box.width(), 1);
  region += QRect(box.left(), box.bottom(), box.width(), 1);
  region += QRect(box.left(), box.top(), 1, box.height());
  region += QRect(box.right(), box.top(), 1, box.height());
  return region;
}

void TVuPaperImage::SetObjectOutline(const TRect& rect) {
  if (FHasObjectOutline && rect == FObjectOutline) return;
  QRegion dirty = FHasObjectOutline ? ObjectOutlineRegion(FObjectOutline) : QRegion();
  FObjectOutline = rect;
  FHasObjectOutline = true;
  dirty += ObjectOutlineRegion(rect);
  FOutlineRepaintArea = RegionArea(dirty);
  update(dirty);
}

void TVuPaperImage::ClearObjectOutline() {
  if (!FHasObjectOutline) return;
  FHasObjectOutline = false;
  const QRegion dirty = ObjectOutlineRegion(FObjectOutline);
  FOutlineRepaintArea = RegionArea(dirty);
  update(dirty);
}

void TVuPaperImage::DrawObjectOutline(QPainter& painter) const {
  if (!FHasObjectOutline) return;
  const QRect box = OutlineBox(FObjectOutline);
  if (box.width() <= 0 || box.height() <= 0) return;
  painter.setClipping(false);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  // Every other pixel along each edge: those of even distance from the top-left corner.
  const QRegion outline = ObjectOutlineRegion(FObjectOutline);
  for (const QRect& edge : outline)
    for (int y = edge.top(); y <= edge.bottom(); ++y)
      for (int x = edge.left() + (edge.left() + y - box.left() - box.top()) % 2; x <= edge.right(); x += 2)
        painter.fillRect(x, y, 1, 1, Qt::black);
}

TCanvas& TVuPaperImage::ScratchCanvas() {
  if (FScratchLayer.isNull()) {
    FScratchLayer = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    FScratchLayer.fill(Qt::transparent);
  }
  if (!FScratchCanvas) FScratchCanvas = std::make_unique<TCanvas>();
  if (FScratchCanvas->Device() != &FScratchLayer) FScratchCanvas->SetDevice(&FScratchLayer);
  // What the caller draws now shows at the next paint.
  update();
  return *FScratchCanvas;
}

void TVuPaperImage::DrawScratchLayer(QPainter& painter, const QRect& area) const {
  if (FScratchLayer.isNull()) return;
  // The painter on the layer must end before its pixels are read; the canvas begins a new
  // one on its next use.
  if (FScratchCanvas) FScratchCanvas->Release();
  painter.setClipping(false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(area.topLeft(), FScratchLayer, area);
}
