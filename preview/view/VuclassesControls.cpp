#include "preview/view/VuclassesControls.h"
#include <QPalette>

void VuApplyColor(QWidget* w, TColor color) {
  QPalette palette = w->palette();
  palette.setColor(QPalette::Window, ToQColor(color));
  w->setPalette(palette);
  w->setAutoFillBackground(true);
}

void VuApplyBorder(QFrame* frame, TBorderStyle style, bool ctl3D) {
  if (style == bsNone) frame->setFrameStyle(QFrame::NoFrame);
  else if (ctl3D) frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  else frame->setFrameStyle(QFrame::Box | QFrame::Plain);
}
