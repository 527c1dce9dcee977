// Grid print: what a row records on the page. Cells first (background and text box), then
// the grid lines over them; the border closes each page's part of the grid.
#include "preview/grid/Vugridprint.h"

namespace {
// Giving a brush a colour makes a clear brush solid again, as the platform's brush does: a
// fixed cell after a text box (which clears the brush) still gets its background.
void SetBrushColor(TVuCanvas& canvas, TColor color) {
  canvas.Brush().Color = color;
  if (canvas.Brush().Style == bsClear) canvas.Brush().Style = bsSolid;
}
}  // namespace

void TVuAbstractGridPrint::DrawRow(const TVuRect& rect, int row) {
  TVuCanvas& canvas = Canvas();
  const int cols = int(FColInches.size());
  Extended left = rect.Left;
  TVuValueRect cell;
  for (int col = 0; col < cols; ++col) {
    const Extended w = FColInches[size_t(col)];
    cell.SetAsInchRect(VuRect(left, rect.Top, left + w, rect.Bottom));
    if (IsFixedCell(col, row)) {
      canvas.SetFont(FFixedCellFont);
      SetBrushColor(canvas, GetFixedCellColor());
    } else {
      SetBrushColor(canvas, clWhite);
      canvas.SetFont(FFont);
    }
    if (OnDrawCellAssigned()) CallOnDrawCell(col, row, cell);
    else DefaultDrawCell(cell, col, row);
    left += w;
  }
  canvas.Pen().Style = psSolid;
  canvas.Pen().Color = FCellPenColor;
  if (VuHasGridOption(FGridOptions, vuHorzLine) && row > 0)
    canvas.Line(rect.Left, rect.Top, rect.Right, rect.Top, vuInches);
  if (VuHasGridOption(FGridOptions, vuVertLine)) {
    // At each column's left edge; the last column has none at its right.
    left = rect.Left;
    for (int col = 0; col < cols; ++col) {
      canvas.Line(left, rect.Top, left, rect.Bottom, vuInches);
      left += FColInches[size_t(col)];
    }
  }
}

void TVuAbstractGridPrint::DefaultDrawCell(TVuValueRect& rect, int col, int row) {
  DrawCellBackground(rect, col, row);
  DrawCellText(rect, col, row);
}

void TVuAbstractGridPrint::DrawCellBackground(TVuValueRect& rect, int col, int row) {
  TVuCanvas& canvas = Canvas();
  // Ordinary cells have a white brush: only fixed cells get a background. A preview
  // without a background colour of its own shows the paper through every cell.
  if (FMonochrome || canvas.Brush().Color == clWhite || (FPreview && FPreview->Color() == clNone)) return;
  canvas.Pen().Style = psClear;
  const TVuRect r = rect.GetAsInchRect();
  canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom, vuInches);
}

void TVuAbstractGridPrint::DrawCellText(TVuValueRect& rect, int col, int row) {
  const QString text = GetCellText(col, row);
  if (text.isEmpty()) return;
  TAlignment alignment = FDefaultCellAlignment;
  TVuVertAlignment vertAlignment = FDefaultCellVertAlignment;
  OnGetCellAlignment(this, col, row, alignment, vertAlignment);
  TVuCanvas& canvas = Canvas();
  canvas.Pen().Style = psClear;
  canvas.Brush().Style = bsClear;
  canvas.SetTextBoxWordBreak(false);
  const TVuRect r = rect.GetAsInchRect();
  constexpr Extended CellPadding = 0.025L;
  canvas.TextBoxExt(r.Left, r.Top, r.Right, r.Bottom, CellPadding, text, alignment, vertAlignment, vuInches);
  if (auto* box = dynamic_cast<TVuTextBoxObject*>(canvas.LastObject())) {
    box->SetWordBreak(FWordWrap);
    box->SetClipText(true);
  }
}

void TVuAbstractGridPrint::CloseRow(const TVuRect& rect) {
  if (!VuHasGridOption(FGridOptions, vuGridBorder)) return;
  TVuCanvas& canvas = Canvas();
  canvas.Brush().Style = bsClear;
  canvas.Rectangle(FOrigin.X, FOrigin.Y, rect.Right, rect.Bottom, vuInches);
}
