// Print preview window: the mouse on the page. Pressing on a recorded object (the barcode)
// and dragging moves it on the page before printing; Shift and a drag over the paper records
// a rectangle there (a frame or a cut mark) with the recording canvas's pen; the right
// button pans the page with the hand cursor.
#include "app/PrintPreviewForm.h"

void TPrintPreviewForm::ConnectPreviewMouse() {
  TVuPreview& p = *VuPreview1;
  p.OnPageMouseDown = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers shift, TVuValue& x,
                             TVuValue& y) {
    TVuPreview& preview = *VuPreview1;
    if (button == Qt::RightButton) {
      preview.StartPanning();
      return;
    }
    if (button != Qt::LeftButton) return;
    if (TVuVisibleObject* object = preview.VuObjectAtPos(x.Inches(), y.Inches(), vuInches)) {
      preview.DragVuObjectStart(object);
      return;
    }
    preview.SelectVuObject(nullptr);
    FDrawingRectangle = shift.testFlag(Qt::ShiftModifier);
    if (FDrawingRectangle) {
      preview.SetDragDrawShape(vuDragRectangle);
      preview.DragDrawStart();
    }
  };
  p.OnMouseUp = [this](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
    if (button != Qt::LeftButton || !FDrawingRectangle) return;
    FDrawingRectangle = false;
    VuPreview1->DragDrawToCanvas();
  };
}
