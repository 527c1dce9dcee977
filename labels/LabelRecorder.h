// Label sheets recorded on the page engine: one page per sheet, each label's symbol as
// vector rectangles, its digits and text lines as text objects, all in millimetres from the
// paper's corner, so the preview, the thumbnails, page files and every printer get the same
// geometry.
#pragma once
#include <vector>
#include "labels/LabelPlan.h"
#include "preview/document/Vupagelist.h"

// Where a label went: page number (1-based), label position on its sheet, and its item.
struct TPlacedLabel {
  int Page = 0;
  int Position = 0;
  int Item = 0;
};

// Sets the document up for the sheet: its paper, portrait, no margins, no header or
// footer, and no pages yet beyond the empty first one.
void SetUpLabelDocument(TVuPageList& document, const TLabelSheet& sheet);

// Records every item CopiesEach times from label position StartAt of the first sheet on,
// row by row; the plan must have no problems. Returns the labels in the order placed.
std::vector<TPlacedLabel> RecordLabels(TVuPageList& document, const TLabelRequest& request, const TLabelPlan& plan,
                                       const std::vector<TLabelItem>& items);

// Records one label with its top-left corner at (left, top) mm on the current page.
void RecordLabel(TVuCanvas& canvas, const TLabelGeometry& geometry, double left, double top, const TLabelItem& item,
                 const TTextBlock& block);

// For the tests of the checking path only: the label of this input row loses one bar.
struct TLabelTestHook {
  int DropBarOfRow = 0;
};
TLabelTestHook& LabelTestHook();
