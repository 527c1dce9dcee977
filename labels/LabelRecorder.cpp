#include "labels/LabelRecorder.h"
#include "preview/document/Vucanvas.h"

TLabelTestHook& LabelTestHook() {
  static TLabelTestHook hook;
  return hook;
}

void SetUpLabelDocument(TVuPageList& document, const TLabelSheet& sheet) {
  document.ClearPages(false, true);
  document.SetOrientation(vuPortrait);
  if (sheet.Paper == Custom) {
    document.SetPageSize(sheet.PaperWidth, sheet.PaperHeight, vuMillimeters);
  } else {
    document.SetPaperSize(sheet.Paper);
  }
  TVuMargins& margins = document.Margins();
  for (TVuValue* edge : {&margins.Top(), &margins.Bottom(), &margins.Left(), &margins.Right()}) edge->SetAsMillimeters(0);
  TVuCanvas& canvas = document.Canvas();
  canvas.SetCoordsRelativeTo(vuFromPage);
  canvas.SetDefaultMeasurement(vuMillimeters);
  canvas.SetDraggable(false);
  document.Page(1)->SetShowHeader(false);
  document.Page(1)->SetShowFooter(false);
}

void RecordLabel(TVuCanvas& canvas, const TLabelGeometry& g, double left, double top, const TLabelItem& item,
                 const TTextBlock& block) {
  const double x0 = left + g.SymbolLeft, y0 = top + g.SymbolTop, X = g.Size.X();
  // Bars: filled rectangles with no outline, so each is exactly its modules wide.
  canvas.Pen().Style = psClear;
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clBlack;
  int index = 0;
  for (const TEan13Bar& bar : Ean13Bars(item.Modules)) {
    if (item.Row == LabelTestHook().DropBarOfRow && index++ == 7) continue;
    const double height = bar.Guard ? g.Size.GuardBarHeight() : g.Size.BarHeight();
    canvas.Rectangle(x0 + bar.Module * X, y0, x0 + (bar.Module + bar.Width) * X, y0 + height, vuMillimeters);
  }
  // Texts on a clear background, so no text cell covers a guard bar.
  canvas.Brush().Style = bsClear;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Color = clBlack;
  TFont& font = canvas.Font();
  font.Name = g.Digits.Family;
  font.Height = -g.DigitPixels;
  font.Color = clBlack;
  font.Style = 0;
  const double digitsY = y0 + g.DigitCellTop;
  // The first digit stands in the left quiet zone; the others are centred under their
  // seven-module characters, left of the centre guard and right of it.
  for (int i = 0; i < item.Value.size(); ++i) {
    const double centre = i == 0 ? -4.0 : i <= 6 ? 3 + 7 * (i - 1) + 3.5 : 50 + 7 * (i - 7) + 3.5;
    canvas.TextOutCenter(x0 + centre * X, digitsY, item.Value.mid(i, 1), vuMillimeters);
  }
  if (block.Lines.isEmpty()) return;
  font.Name = TextFace();
  font.Height = -block.PixelHeight;
  const double centre = left + g.TextLeft + g.TextWidth / 2;
  for (int i = 0; i < block.Lines.size(); ++i)
    canvas.TextOutCenter(centre, top + g.TextTop + i * block.LineHeight, block.Lines[i], vuMillimeters);
}

std::vector<TPlacedLabel> RecordLabels(TVuPageList& document, const TLabelRequest& request, const TLabelPlan& plan,
                                       const std::vector<TLabelItem>& items) {
  std::vector<TPlacedLabel> placed;
  const TLabelSheet& sheet = request.Sheet;
  int position = request.StartAt - 1, page = 1;
  document.BeginUpdate();
  for (size_t i = 0; i < items.size(); ++i)
    for (int copy = 0; copy < request.CopiesEach; ++copy) {
      if (position == sheet.Count()) {
        TVuPage* next = document.AddPage();
        next->SetShowHeader(false);
        next->SetShowFooter(false);
        position = 0;
        ++page;
      }
      const QRectF cell = sheet.Cell(position);
      RecordLabel(document.Canvas(), plan.Geometry, cell.left(), cell.top(), items[i], plan.Blocks[i]);
      placed.push_back({page, position, int(i)});
      ++position;
    }
  document.EndUpdate();
  return placed;
}
