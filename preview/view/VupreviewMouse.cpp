// Preview control: the relays of the paper image's mouse events, hand-panning, the rubber
// band that records a shape or zooms to an area, and centring on a point.
#include <QCursor>
#include <QScrollBar>
#include <algorithm>
#include "platform/Cursors.h"
#include "preview/view/Vupreview.h"

// ---- relays -------------------------------------------------------------------------------

void TVuPreview::EnablePaperMouseEvents() {
  TVuPaperImage& p = *FPaperImage;
  p.OnMouseDown = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
    PaperMouseDown(b, s, x, y);
  };
  p.OnMouseMove = [this](QObject*, Qt::KeyboardModifiers s, int x, int y) { PaperMouseMove(s, x, y); };
  p.OnMouseUp = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, int x, int y) {
    PaperMouseUp(b, s, x, y);
  };
  p.OnPageMouseDown = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, TVuValue& x, TVuValue& y) {
    PaperPageMouseDown(b, s, x, y);
  };
  p.OnPageMouseMove = [this](QObject*, Qt::KeyboardModifiers s, TVuValue& x, TVuValue& y) {
    PaperPageMouseMove(s, x, y);
  };
  p.OnPageMouseUp = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, TVuValue& x, TVuValue& y) {
    OnPageMouseUp(this, b, s, x, y);
  };
  p.OnPageDragOver = [this](QObject*, QObject* source, TVuValue& x, TVuValue& y, TDragState state, bool& accept) {
    OnPageDragOver(this, source, x, y, state, accept);
  };
  p.OnPageDragDrop = [this](QObject*, QObject* source, TVuValue& x, TVuValue& y) {
    OnPageDragDrop(this, source, x, y);
  };
}

void TVuPreview::PaperMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  setFocus(Qt::MouseFocusReason);
  FMouseDownPoint = QPoint(x, y);
  OnMouseDown(this, button, shift, x, y);
}

void TVuPreview::PaperMouseMove(Qt::KeyboardModifiers shift, int x, int y) {
  OnMouseMove(this, shift, x, y);
  if (FPanning) {
    // In client pixels, which stay put while the paper image scrolls under the mouse.
    const QPoint client = FPaperImage->mapTo(viewport(), QPoint(x, y));
    SetHorzPos(FPanHorzPos + (FPanStart.x() - client.x()));
    SetVertPos(FPanVertPos + (FPanStart.y() - client.y()));
  }
  if (FObjectDragging) {
    const TRect& r = FDragOutlineRect;
    const int dx = HorzPos() + x - FMouseDownPoint.x(), dy = VertPos() + y - FMouseDownPoint.y();
    FLastDragOutline = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
    FDragOutlineDrawn = true;
    // The paper image repaints the old and the new outline only.
    FPaperImage->SetObjectOutline(FLastDragOutline);
  }
}

void TVuPreview::PaperMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
  if (FPanning) StopPanning();
  if (FObjectDragging) DragVuObjectEnd();
  OnMouseUp(this, button, shift, x, y);
}

void TVuPreview::PaperPageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, TVuValue& x, TVuValue& y) {
  OnPageMouseDown(this, button, shift, x, y);
  if (!OnObjectMouseDown) return;
  if (TVuVisibleObject* object = VuObjectAtPos(x.Inches(), y.Inches(), vuInches))
    OnObjectMouseDown(this, button, shift, x, y, object);
}

void TVuPreview::PaperPageMouseMove(Qt::KeyboardModifiers shift, TVuValue& x, TVuValue& y) {
  FCurrentPagePoint = {x.Inches(), y.Inches()};
  OnPageMouseMove(this, shift, x, y);
}

void TVuPreview::leaveEvent(QEvent* event) {
  if (FPanning) StopPanning();
  TVuScrollingPageControl::leaveEvent(event);
}

// ---- panning ------------------------------------------------------------------------------

void TVuPreview::StartPanning() {
  if (FPanning) return;
  FPanStart = viewport()->mapFromGlobal(QCursor::pos());
  FPanHorzPos = HorzPos();
  FPanVertPos = VertPos();
  FPanning = true;
  Screen::SetCursor(crHandPoint);
}

void TVuPreview::StopPanning() {
  FPanning = false;
  Screen::SetCursor(crDefault);
}

// ---- rubber band and zoom to an area ------------------------------------------------------

void TVuPreview::DragDrawStart() { FPaperImage->DragDrawStart(); }
void TVuPreview::DragDrawCancel() { FPaperImage->DragDrawStop(); }

void TVuPreview::DragDrawToCanvas() {
  if (!FPaperImage->Dragging()) return;
  FPaperImage->DragDrawStop();
  const TVuRect a = FPaperImage->GetDragDrawInchRect();
  if (EqualVuPoints({a.Left, a.Top}, {a.Right, a.Bottom})) return;
  TVuCanvas& canvas = Canvas();
  switch (DragDrawShape()) {
    case vuDragLine: canvas.Line(a.Left, a.Top, a.Right, a.Bottom, vuInches); break;
    case vuDragEllipse: canvas.Ellipse(a.Left, a.Top, a.Right, a.Bottom, vuInches); break;
    case vuDragRectangle: canvas.Rectangle(a.Left, a.Top, a.Right, a.Bottom, vuInches); break;
    case vuDragNone: break;
  }
}

void TVuPreview::DragDrawZoom() {
  if (!FPaperImage->Dragging()) return;
  FPaperImage->DragDrawStop();
  const TRect& d = FPaperImage->DragRect();
  ZoomToArea({std::min(d.Left, d.Right), std::min(d.Top, d.Bottom), std::max(d.Left, d.Right),
              std::max(d.Top, d.Bottom)});
}

void TVuPreview::ZoomToArea(const TRect& rect) {
  const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
  if (w == 0 || h == 0) return;
  const TVuRect a = FPaperImage->GetDragDrawInchRect();
  const QSize before = ClientSize();
  if (before.width() <= 0 || before.height() <= 0) return;  // nothing on screen to fill
  const Extended s = std::max(Extended(w) / before.width(), Extended(h) / before.height());
  const int old = GetZoom();
  const Extended wanted = old / s;
  // A huge zoom is clamped by SetZoom either way; keep the number inside the integers.
  SetZoom(wanted > 1e9L ? 1000000000 : int(wanted));
  const Extended r = Extended(old) / GetZoom();
  const int w2 = VuRound(w / r), h2 = VuRound(h / r);
  const QSize client = ClientSize();
  const int ox = (client.width() - w2) / 2, oy = (client.height() - h2) / 2;
  const TRect& g = FPaperImage->Gutters();
  const Extended scale = Extended(GetZoom()) / 100;
  SetHorzPos(VuRound(scale * std::min(a.Left, a.Right) * 96) + g.Left - ox);
  SetVertPos(VuRound(scale * std::min(a.Top, a.Bottom) * 96) + g.Top - oy);
}

// ---- centring -----------------------------------------------------------------------------

void TVuPreview::CenterOnClick(int x, int y) {
  SetHorzPos(x - width() / 2);
  SetVertPos(y - height() / 2);
}
