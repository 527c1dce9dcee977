// Preview control: zoom with its limits and steps, fitting, scroll ranges and the scroll
// position kept across a zoom change.
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include "preview/view/Vupreview.h"
#include "platform/Finally.h"

namespace {
// trunc of a scale times 100, kept inside the integers so that a huge or invalid scale
// becomes a zoom the limits then clamp.
int TruncZoom(Extended scale) {
  const Extended z = 100 * scale;
  if (!(z > -1e9L)) return 0;  // NaN and very negative
  if (z > 1e9L) return 1000000000;
  return int(z);
}
}  // namespace

int TVuPreview::GetZoom() const { return FPaperImage->GetZoom(); }

void TVuPreview::SetZoom(int value) {
  value = std::min(value, FMaxZoom);
  value = std::max(value, FMinZoom);
  if (value == GetZoom()) return;
  SaveScrollPos();
  TryFinally(
      [&] {
        FPaperImage->SetZoom(value);
        UpdateScrollBars();
        // One repaint of the page at the new zoom.
        FPaperImage->BeginUpdate();
        FPaperImage->EndUpdate();
      },
      [&] { LoadScrollPos(); });
}

void TVuPreview::ZoomIn() {
  const int zoom = GetZoom();
  if (FZoomStyle == vuFixedZoom) {
    SetZoom(zoom + FZoomIncrement);
    return;
  }
  for (int step : ZoomTable)
    if (step > zoom) {
      SetZoom(step);
      return;
    }
}

void TVuPreview::ZoomOut() {
  const int zoom = GetZoom();
  if (FZoomStyle == vuFixedZoom) {
    SetZoom(zoom - FZoomIncrement);
    return;
  }
  for (auto it = std::rbegin(ZoomTable); it != std::rend(ZoomTable); ++it)
    if (*it < zoom) {
      SetZoom(*it);
      return;
    }
}

Extended TVuPreview::GetFitWidthScale() const {
  const TRect& g = FPaperImage->Gutters();
  const Extended page = GetPageWidth(vuInches) * 96;
  if (page <= 0) return 0;
  return (width() - g.Left - g.Right - 20) / page;
}

Extended TVuPreview::GetFitHeightScale() const {
  const TRect& g = FPaperImage->Gutters();
  const Extended page = GetPageHeight(vuInches) * 96;
  if (page <= 0) return 0;
  return (height() - g.Top - g.Bottom - 20) / page;
}

void TVuPreview::FitWidth() { SetZoom(TruncZoom(GetFitWidthScale())); }
void TVuPreview::FitHeight() { SetZoom(TruncZoom(GetFitHeightScale())); }
void TVuPreview::FitWholePage() { SetZoom(TruncZoom(std::min(GetFitWidthScale(), GetFitHeightScale()))); }

void TVuPreview::SetMaxZoom(int value) {
  if (value == FMaxZoom) return;
  FMaxZoom = std::max(value, FMinZoom);
  if (GetZoom() > FMaxZoom) SetZoom(FMaxZoom);
}

void TVuPreview::SetMinZoom(int value) {
  if (value == FMinZoom) return;
  FMinZoom = std::min(value, FMaxZoom);
  if (GetZoom() < FMinZoom) SetZoom(FMinZoom);
}

TVuDragDrawing TVuPreview::DragDrawShape() const { return FPaperImage->GetDragDrawShape(); }
void TVuPreview::SetDragDrawShape(TVuDragDrawing value) { FPaperImage->SetDragDrawShape(value); }

// ---- scrolling ----------------------------------------------------------------------------

int TVuPreview::HorzPos() const { return horizontalScrollBar()->value(); }
int TVuPreview::VertPos() const { return verticalScrollBar()->value(); }
void TVuPreview::SetHorzPos(int value) { horizontalScrollBar()->setValue(value); }
void TVuPreview::SetVertPos(int value) { verticalScrollBar()->setValue(value); }

QSize TVuPreview::ClientSize() const {
  // Worked out here rather than read from the viewport, whose geometry follows only once
  // the control has been laid out (a hidden control has not been).
  const QSize full = maximumViewportSize();
  const int barHeight = horizontalScrollBar()->sizeHint().height();
  const int barWidth = verticalScrollBar()->sizeHint().width();
  int w = full.width(), h = full.height();
  bool horz = FHorzRange > w, vert = FVertRange > h;
  if (horz) h -= barHeight;
  if (!vert && FVertRange > h) vert = true;
  if (vert) w -= barWidth;
  if (!horz && FHorzRange > w) {
    horz = true;
    h -= barHeight;
  }
  return {std::max(w, 0), std::max(h, 0)};
}

void TVuPreview::UpdateScrollBars() {
  const TPoint e = FPaperImage->GetPageExtent(96);
  const TRect& g = FPaperImage->Gutters();
  FHorzRange = e.X + g.Left + g.Right;
  FVertRange = e.Y + g.Top + g.Bottom;
  const QSize client = ClientSize();
  FPaperImage->resize(std::max(client.width(), FHorzRange), std::max(client.height(), FVertRange));
  // The scroll area follows the child's size on its resize event, which a hidden control
  // receives only when shown: set the ranges now as well.
  horizontalScrollBar()->setRange(0, std::max(0, FHorzRange - client.width()));
  verticalScrollBar()->setRange(0, std::max(0, FVertRange - client.height()));
  horizontalScrollBar()->setPageStep(std::max(client.width(), 1));
  verticalScrollBar()->setPageStep(std::max(client.height(), 1));
  FPaperImage->move(-HorzPos(), -VertPos());
  viewport()->update();
}

void TVuPreview::SaveScrollPos() {
  const QSize client = ClientSize();
  FSavedHorzPercent = 0;
  FSavedVertPercent = 0;
  if (FHorzRange - client.width() > 0) FSavedHorzPercent = Extended(HorzPos()) / (FHorzRange - client.width()) * 100;
  if (FVertRange - client.height() > 0) FSavedVertPercent = Extended(VertPos()) / (FVertRange - client.height()) * 100;
}

void TVuPreview::LoadScrollPos() { ScrollToPosition(FSavedHorzPercent, FSavedVertPercent); }

void TVuPreview::ScrollToPosition(Extended horzPercent, Extended vertPercent) {
  const QSize client = ClientSize();
  SetHorzPos(VuRound((FHorzRange - client.width()) * horzPercent / 100));
  SetVertPos(VuRound((FVertRange - client.height()) * vertPercent / 100));
}

void TVuPreview::resizeEvent(QResizeEvent* event) {
  TVuScrollingPageControl::resizeEvent(event);
  UpdateScrollBars();
}
