// Preview control: the selected object and its frame, the object under a point, moving an
// object with the mouse and the scratch canvas.
#include "preview/core/Vufuncs.h"
#include "preview/view/Vupreview.h"

TVuVisibleObject* TVuPreview::VuObjectAtPos(Extended x, Extended y, TVuMeasurement measurement) {
  TVuPage* page = GetCurrentPage();
  if (!page) return nullptr;
  TVuBaseObject* object = nullptr;
  page->ObjectAtPos(x, y, measurement, object);
  // The page reports visible objects only.
  return object && object->IsVisibleObject() ? static_cast<TVuVisibleObject*>(object) : nullptr;
}

TRect TVuPreview::VuObjectRect(TVuVisibleObject* object) const {
  if (!object) return {};
  TVuObjectDrawData d;
  d.PageNum = GetCurrentPageNum();
  d.PpiX = d.PpiY = 96;
  d.NumPages = GetNumPages();
  TRect r = ScaleRect(VuRectPointsToRect(object->BoundingRect(d)), Extended(GetZoom()) / 100);
  const TRect p = FPaperImage->PageRect();
  const int dx = p.Left - HorzPos(), dy = p.Top - VertPos();
  r = {r.Left + dx - 1, r.Top + dy - 1, r.Right + dx, r.Bottom + dy};
  return r;
}

void TVuPreview::SelectVuObject(TVuVisibleObject* object) {
  FSelectedObject = object;
  // A drag moves the selected object: with none left there is nothing to move.
  if (!object && FObjectDragging) {
    FObjectDragging = false;
    FPaperImage->ClearObjectOutline();
  }
  // The frame is drawn after the kept picture: no need to draw the page again.
  FPaperImage->update();
}

void TVuPreview::SetShowSelection(bool value) {
  if (value == FShowSelection) return;
  FShowSelection = value;
  FPaperImage->update();
}

void TVuPreview::CheckSelection() {
  if (!FSelectedObject) return;
  TVuPage* page = GetCurrentPage();
  if (page && page->Objects().IndexOf(FSelectedObject) >= 0) return;
  // Deleted or gone with its page: nothing may refer to it any more.
  SelectVuObject(nullptr);
}

void TVuPreview::DeleteSelectedVuObject() {
  TVuVisibleObject* object = FSelectedObject;
  if (!object) return;
  SelectVuObject(nullptr);
  if (TVuPage* page = GetCurrentPage()) page->DeleteVuObject(object);
}

void TVuPreview::PaintPage(TVuPaperImage*, TCanvas& canvas) {
  if (!FSelectedObject || !FShowSelection) return;
  canvas.Pen() = FSelectionPen;
  const int widen = VuRound(Extended(GetZoom()) / 100 * 10);
  const TRect r = VuObjectRect(FSelectedObject);
  VuDrawRect(canvas, {r.Left - widen, r.Top - widen, r.Right + widen + 1, r.Bottom + widen + 1});
}

void TVuPreview::DragVuObjectStart(TVuVisibleObject* object) {
  if (!object || !object->GetDraggable()) return;
  FObjectDragging = true;
  SelectVuObject(object);
  FDragStartPoint = FCurrentPagePoint;
  FDragOutlineRect = VuObjectRect(object);
  FDragOutlineDrawn = false;
  FPaperImage->update();
}

void TVuPreview::DragVuObjectEnd() {
  if (!FObjectDragging) return;
  FObjectDragging = false;
  FDragOutlineDrawn = false;
  FPaperImage->ClearObjectOutline();
  TVuVisibleObject* object = FSelectedObject;
  if (!object) return;
  const int reported = FContentChanges;
  object->OffsetObject(FCurrentPagePoint.X - FDragStartPoint.X, FCurrentPagePoint.Y - FDragStartPoint.Y, vuInches);
  // Some objects report their move through the page and some do not. Unless the move was
  // reported, the page drops its kept hit-test boxes and reports the new content now, so
  // that the paper image repaints and the linked controls hear of it (7038) exactly once.
  if (FContentChanges == reported)
    if (TVuPage* page = GetCurrentPage()) page->Changed();
  FPaperImage->Changed();
}

TCanvas& TVuPreview::GetScratchCanvas() {
  TCanvas& canvas = FPaperImage->ScratchCanvas();
  canvas.Brush().Style = bsClear;
  return canvas;
}
