// Paper image: geometry, painting through the kept image, the rubber band and the relays of
// mouse and drag-and-drop events in page inches.
#include <QCursor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include "preview/view/Vupreview.h"

TVuPaperImage::TVuPaperImage(QWidget* owner)
    : QWidget(owner), FMousePoint(std::make_unique<TVuValuePoint>()), FDropPoint(std::make_unique<TVuValuePoint>()) {
  setMouseTracking(true);
  setAcceptDrops(true);
}

TVuPaperImage::~TVuPaperImage() {
  // The shadow and the grid outlive the paper image in their owner: unhook the repaint.
  if (FShadow) FShadow->OnChange = nullptr;
  if (FGrid) FGrid->OnChange = nullptr;
}

// ---- settings -----------------------------------------------------------------------------

void TVuPaperImage::SetPage(TVuPage* page) {
  FPage = page;
  if (page) FPaperSizeInch = page->GetPageSize(vuInches);
  Changed();
}

void TVuPaperImage::SetPaperSizeInch(const TVuSize& size) {
  FPaperSizeInch = size;
  Changed();
}

void TVuPaperImage::SetZoom(int zoom) {
  if (zoom == FZoom) return;
  FZoom = zoom;
  Changed();
}

void TVuPaperImage::SetDrawPpi(int ppi) {
  if (ppi == FDrawPpi) return;
  FDrawPpi = ppi;
  Changed();
}

void TVuPaperImage::SetGutters(const TRect& gutters) {
  if (gutters == FGutters) return;
  FGutters = gutters;
  Changed();
}

void TVuPaperImage::SetShadow(TVuShadow* shadow) {
  FShadow = shadow;
  if (shadow) shadow->OnChange = [this](TPersistent*) { Changed(); };
  Changed();
}

void TVuPaperImage::SetGrid(TVuPageGrid* grid) {
  FGrid = grid;
  if (grid) grid->OnChange = [this](TPersistent*) { Changed(); };
  Changed();
}

void TVuPaperImage::SetDrawContent(bool value) {
  if (value == FDrawContent) return;
  FDrawContent = value;
  Changed();
}

void TVuPaperImage::SetIsThumbnail(bool value) {
  if (value == FIsThumbnail) return;
  FIsThumbnail = value;
  Changed();
}

void TVuPaperImage::BeginUpdate() { FUpdates.Begin(); }

void TVuPaperImage::EndUpdate() {
  FUpdates.End();
  if (!FUpdates.Updating()) Changed();
}

void TVuPaperImage::Changed() {
  FCacheValid = false;
  FCache = QImage();
  // What was drawn for the moment goes with the old picture.
  if (FScratchCanvas) FScratchCanvas->Release();
  FScratchLayer = QImage();
  update();
}

qint64 TVuPaperImage::CacheBytes() const { return FCacheValid ? FCache.sizeInBytes() : 0; }

// ---- geometry -----------------------------------------------------------------------------

TPoint TVuPaperImage::GetPageExtent(int ppi) const {
  return {VuRound(ppi * FPaperSizeInch.Width * FZoom / 100), VuRound(ppi * FPaperSizeInch.Height * FZoom / 100)};
}

TRect TVuPaperImage::PageRect() const {
  const TPoint e = GetPageExtent(96);
  const int dx = (width() - FGutters.Left - FGutters.Right - e.X) / 2;
  const int dy = (height() - FGutters.Top - FGutters.Bottom - e.Y) / 2;
  const int left = FGutters.Left + dx, top = FGutters.Top + dy;
  return {left, top, left + e.X, top + e.Y};
}

void TVuPaperImage::XYtoInchValuePoint(int x, int y, TVuValuePoint& point) const {
  const TRect p = PageRect();
  const int dx = x - p.Left, dy = y - p.Top;
  const Extended scale = Extended(FZoom) / 100;
  point.X().SetAsInches(dx == 0 ? 0 : dx / 96.0L / scale);
  point.Y().SetAsInches(dy == 0 ? 0 : dy / 96.0L / scale);
}

QRect TVuPaperImage::PaintedArea() const {
  const TRect p = PageRect();
  // The border is drawn corners included, so it reaches one pixel past the extent; the
  // shadow lies beyond that.
  const int shadow = FShadow && FShadow->GetVisible() ? std::max(FShadow->GetWidth(), 0) : 0;
  return QRect(p.Left, p.Top, p.Right - p.Left + 1 + shadow, p.Bottom - p.Top + 1 + shadow);
}

// ---- painting -----------------------------------------------------------------------------

void TVuPaperImage::DrawPaper(TCanvas& canvas, int ppi, bool outlineOnly) const {
  canvas.Pen() = TPen{};
  canvas.Pen().Color = clBlack;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Pen().Width = 0;
  canvas.Brush().Color = clWhite;
  canvas.Brush().Style = outlineOnly ? bsClear : bsSolid;
  VuDrawRect(canvas, {0, 0, VuRound(ppi * FPaperSizeInch.Width), VuRound(ppi * FPaperSizeInch.Height)});
}

void TVuPaperImage::ClipPaper(TCanvas& canvas) const {
  const QPoint a = canvas.LPtoDP(QPoint(0, 0));
  const QPoint b =
      canvas.LPtoDP(QPoint(VuRound(FDrawPpi * FPaperSizeInch.Width), VuRound(FDrawPpi * FPaperSizeInch.Height)));
  // Both corners belong to the paper.
  const QRegion region(QRect(a, b).normalized());
  canvas.SelectClipRgn(&region);
}

void TVuPaperImage::PaintPageTo(TCanvas& canvas, QPoint origin) {
  const TVuOrientation orientation = FPage ? FPage->GetOrientation() : vuPortrait;
  canvas.Brush().Color = clWhite;
  const TPoint extent = GetPageExtent(96);
  const int logicalW = VuRound(FDrawPpi * FPaperSizeInch.Width), logicalH = VuRound(FDrawPpi * FPaperSizeInch.Height);
  // A page without a size (or a zoom that leaves nothing of it) has no mapping to draw by.
  if (extent.X <= 0 || extent.Y <= 0 || logicalW <= 0 || logicalH <= 0) return;
  canvas.SetMapMode(mmAnisotropic);
  canvas.SetWindowOrg(0, 0);
  canvas.SetWindowExt(logicalW, logicalH);
  canvas.SetViewportOrg(origin.x(), origin.y());
  canvas.SetViewportExt(extent.X, extent.Y);
  canvas.Font().PixelsPerInch = FDrawPpi;

  DrawPaper(canvas, FDrawPpi, false);
  ClipPaper(canvas);
  if (FMargins) FMargins->Clip(FPaperSizeInch, orientation, FDrawPpi, canvas);
  if (FPage && FDrawContent) {
    ++FContentDraws;
    FPage->DrawToCanvas(canvas, FDrawPpi, FDrawPpi, FIsThumbnail);
  }
  if (FMargins) FMargins->Draw(FPaperSizeInch, orientation, FDrawPpi, canvas);
  if (FGrid) FGrid->DrawToCanvas(canvas, FPaperSizeInch, FDrawPpi);
  canvas.SelectClipRgn(nullptr);
  // Once more with a clear brush, so that the border lies on top of the content.
  DrawPaper(canvas, FDrawPpi, true);
  if (FShadow) FShadow->Draw(canvas, {0, 0, extent.X, extent.Y});
}

void TVuPaperImage::RenderInto(QImage& image, QPoint imageOrigin) {
  image.fill(Qt::transparent);
  TCanvas canvas(&image);
  const TRect p = PageRect();
  PaintPageTo(canvas, QPoint(p.Left, p.Top) - imageOrigin);
  canvas.Release();
}

bool TVuPaperImage::EnsureCache(const QRect& needed) {
  const TRect p = PageRect();
  const QRect page = ToQRect(p);
  if (FCacheValid && FCachePage == page && FCacheRect.contains(needed)) return true;
  const QRect area = PaintedArea();
  // The visible part of the control plus a margin, so that small scroll steps are copies.
  QRect visible = visibleRegion().boundingRect();
  if (visible.isEmpty()) visible = needed;
  QRect want = visible.adjusted(-CacheMargin, -CacheMargin, CacheMargin, CacheMargin).united(needed) & area;
  // Kept at the screen's own pixel density, so that high-density screens stay sharp.
  const qreal dpr = devicePixelRatioF();
  auto pixels = [dpr](const QRect& r) { return qint64(r.width() * dpr) * qint64(r.height() * dpr); };
  if (pixels(want) > MaxCachePixels) want = needed & area;
  if (pixels(want) > MaxCachePixels) return false;
  if (want.isEmpty()) {
    FCacheValid = false;
    FCache = QImage();
    return true;
  }
  const QSize size = (QSizeF(want.size()) * dpr).toSize();
  if (FCache.size() != size || FCache.devicePixelRatio() != dpr) {
    FCache = QImage(size, QImage::Format_ARGB32_Premultiplied);
    FCache.setDevicePixelRatio(dpr);
  }
  RenderInto(FCache, want.topLeft());
  FCacheRect = want;
  FCachePage = page;
  FCacheValid = true;
  return true;
}

void TVuPaperImage::paintEvent(QPaintEvent* event) {
  if (FUpdates.Updating()) return;
  const QRect needed = event->rect() & PaintedArea();
  if (!needed.isEmpty()) {
    if (EnsureCache(needed)) {
      if (FCacheValid) {
        QPainter painter(this);
        const QRectF source(QRectF(needed.translated(-FCacheRect.topLeft())).topLeft() * FCache.devicePixelRatio(),
                            QSizeF(needed.size()) * FCache.devicePixelRatio());
        painter.drawImage(QRectF(needed), FCache, source);
      }
    } else {
      // Too large to keep: draw the requested pixels straight onto the control.
      QImage image(needed.size(), QImage::Format_ARGB32_Premultiplied);
      RenderInto(image, needed.topLeft());
      QPainter painter(this);
      painter.drawImage(QRectF(needed), image);
    }
  }
  if (OnPaintPage) {
    TCanvas canvas(this);
    const TRect p = PageRect();
    const QRegion paper(QRect(p.Left, p.Top, p.Right - p.Left + 1, p.Bottom - p.Top + 1));
    canvas.SelectClipRgn(&paper);
    // One unit per pixel with the origin at the parent's client origin.
    canvas.SetMapMode(mmText);
    canvas.SetWindowOrg(0, 0);
    canvas.SetViewportOrg(-x(), -y());
    canvas.Brush().Style = bsClear;
    OnPaintPage(this, canvas);
    canvas.Release();
  }
  if (FDragging) {
    QPainter painter(this);
    DrawDragOutline(painter);
  }
  if (!FScratchLayer.isNull() || FHasObjectOutline) {
    QPainter painter(this);
    DrawScratchLayer(painter, event->rect());
    DrawObjectOutline(painter);
  }
}

// ---- rubber band --------------------------------------------------------------------------

QPoint TVuPaperImage::CalcCursorPos() const { return mapFromGlobal(QCursor::pos()); }

void TVuPaperImage::DragDrawStart() {
  if (FDragging) return;
  FDragging = true;
  const QPoint p = CalcCursorPos();
  FDragRect = {p.x(), p.y(), p.x(), p.y()};
  update(DragOutlineRegion(FDragRect));
}

void TVuPaperImage::DragDrawStop() {
  FDragging = false;
  // The outline is not part of the kept image: repainting its pixels removes it.
  update();
}

TVuRect TVuPaperImage::GetDragDrawInchRect() const {
  TVuValuePoint point;
  XYtoInchValuePoint(FDragRect.Left, FDragRect.Top, point);
  TVuRect r;
  r.Left = point.X().Inches();
  r.Top = point.Y().Inches();
  XYtoInchValuePoint(FDragRect.Right, FDragRect.Bottom, point);
  r.Right = point.X().Inches();
  r.Bottom = point.Y().Inches();
  return r;
}

QRegion TVuPaperImage::DragOutlineRegion(const TRect& r) const {
  const QRect box = QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)).normalized();
  // The four one-pixel edges of the outline, corners included.
  QRegion region(box.left(), box.top(), box.width(), 1);
  region += QRect(box.left(), box.bottom(), box.width(), 1);
  region += QRect(box.left(), box.top(), 1, box.height());
  region += QRect(box.right(), box.top(), 1, box.height());
  return region;
}

void TVuPaperImage::DrawDragOutline(QPainter& painter) const {
  const TRect p = PageRect();
  // The page rectangle shrunk by one pixel on every side.
  painter.setClipRect(ToQRect({p.Left + 1, p.Top + 1, p.Right - 1, p.Bottom - 1}));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setCompositionMode(QPainter::RasterOp_NotDestination);
  // Inverted dotted pixels: every other pixel along each edge, counted from the corner.
  const QRect box = QRect(QPoint(FDragRect.Left, FDragRect.Top), QPoint(FDragRect.Right, FDragRect.Bottom)).normalized();
  auto dot = [&painter](int x, int y) { painter.fillRect(x, y, 1, 1, Qt::black); };
  for (int x = box.left(); x <= box.right(); x += 2) {
    dot(x, box.top());
    if (box.bottom() != box.top()) dot(x, box.bottom());
  }
  for (int y = box.top() + 2; y < box.bottom(); y += 2) {
    dot(box.left(), y);
    if (box.right() != box.left()) dot(box.right(), y);
  }
}

void TVuPaperImage::UpdateDragRect(int x, int y) {
  QRegion dirty = DragOutlineRegion(FDragRect);
  FDragRect.Right = x;
  FDragRect.Bottom = y;
  dirty += DragOutlineRegion(FDragRect);
  update(dirty);
}

// ---- relays -------------------------------------------------------------------------------

void TVuPaperImage::DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  XYtoInchValuePoint(x, y, *FMousePoint);
  OnMouseDown(this, button, shift, x, y);
  OnPageMouseDown(this, button, shift, FMousePoint->X(), FMousePoint->Y());
}

void TVuPaperImage::DoMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
  if (FUpdates.Updating()) return;
  OnMouseMove(this, shift, x, y);
  if (FDragging) UpdateDragRect(x, y);
  XYtoInchValuePoint(x, y, *FMousePoint);
  OnPageMouseMove(this, shift, FMousePoint->X(), FMousePoint->Y());
}

void TVuPaperImage::DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  OnMouseUp(this, button, shift, x, y);
  XYtoInchValuePoint(x, y, *FMousePoint);
  OnPageMouseUp(this, button, shift, FMousePoint->X(), FMousePoint->Y());
}

void TVuPaperImage::DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept) {
  OnDragOver(this, source, x, y, state, accept);
  XYtoInchValuePoint(x, y, *FDropPoint);
  OnPageDragOver(this, source, FDropPoint->X(), FDropPoint->Y(), state, accept);
}

void TVuPaperImage::DoDragDrop(QObject* source, int x, int y) {
  OnDragDrop(this, source, x, y);
  XYtoInchValuePoint(x, y, *FDropPoint);
  OnPageDragDrop(this, source, FDropPoint->X(), FDropPoint->Y());
}

void TVuPaperImage::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  DoMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TVuPaperImage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  DoMouseMove(event->modifiers(), p.x(), p.y());
}

void TVuPaperImage::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  DoMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TVuPaperImage::enterEvent(QEnterEvent*) { OnMouseEnter(this); }

void TVuPaperImage::leaveEvent(QEvent*) { OnMouseLeave(this); }

void TVuPaperImage::dragEnterEvent(QDragEnterEvent* event) {
  bool accept = false;
  const QPoint p = event->position().toPoint();
  DoDragOver(event->source(), p.x(), p.y(), dsDragEnter, accept);
  if (accept) event->acceptProposedAction();
  else event->ignore();
}

void TVuPaperImage::dragMoveEvent(QDragMoveEvent* event) {
  bool accept = false;
  const QPoint p = event->position().toPoint();
  DoDragOver(event->source(), p.x(), p.y(), dsDragMove, accept);
  if (accept) event->acceptProposedAction();
  else event->ignore();
}

void TVuPaperImage::dragLeaveEvent(QDragLeaveEvent*) {
  // The platform reports neither source nor position on leaving: take the cursor's.
  bool accept = false;
  const QPoint p = mapFromGlobal(QCursor::pos());
  DoDragOver(nullptr, p.x(), p.y(), dsDragLeave, accept);
}

void TVuPaperImage::dropEvent(QDropEvent* event) {
  const QPoint p = event->position().toPoint();
  DoDragDrop(event->source(), p.x(), p.y());
  event->acceptProposedAction();
}
