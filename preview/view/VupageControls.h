// The control chain of the preview and the thumbnail strip: a scrolling control that draws
// through a recording canvas.
#pragma once
#include "preview/document/Vucanvas.h"
#include "preview/view/VuclassesControls.h"

// Adds the recording canvas the control draws through.
class TVuCanvasWinControl : public TVuScrollingWinControl {
  Q_OBJECT
 public:
  explicit TVuCanvasWinControl(QWidget* parent = nullptr) : TVuScrollingWinControl(parent) {}
  TVuCanvas& Canvas() const { return *FCanvas; }

 protected:
  TVuCanvas* FCanvas = nullptr;
};

// Common base of the preview and the thumbnail strip.
class TVuScrollingPageControl : public TVuCanvasWinControl {
  Q_OBJECT
 public:
  using TVuCanvasWinControl::TVuCanvasWinControl;
};
