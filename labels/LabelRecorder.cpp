#include "labels/LabelRecorder.h"
#include "preview/document/Vucanvas.h"

TLabelTestHook& LabelTestHook() {
  static TLabelTestHook hook;
  return hook;
}

void SetUpLabelDocument(TVuPageList& document, const TLabelSheet& sheet) {
  document.ClearPages(true, true);
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
  if (LabelTestHook().OnDocument) LabelTestHook().OnDocument(document);
}

namespace {
// Black text of the family at pixels on a clear background, so no text cell covers a bar.
TFont& UseTextFont(TVuCanvas& canvas, const QString& family, int pixels) {
  canvas.Brush().Style = bsClear;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Color = clBlack;
  TFont& font = canvas.Font();
  font.Name = family;
  font.Height = -pixels;
  font.Color = clBlack;
  font.Style = 0;
  return font;
}

// A symbol of the component's element string: its bars (PostNet's short ones standing on
// the baseline), then its text centred under them, or each character under its own
// characters for the EAN/UPC symbols, made smaller where it is wider than the symbol.
void RecordSymbol(TVuCanvas& canvas, const TLabelGeometry& g, double x0, double y0, const TLabelItem& item) {
  const TSymbolRules& rules = *g.Size.Rules;
  const double X = g.Size.X();
  const bool damaged = LabelTestHook().DropBarOfRows.contains(item.Row);
  // An add-on's digits stand above its bars: the bars move down to the bottom of the
  // symbol's height and the digits' ink starts at its top.
  const bool textAbove = rules.Text && (rules.Typ == bcCodeUPC_Supp2 || rules.Typ == bcCodeUPC_Supp5);
  const double barsTop = textAbove ? y0 + g.Size.Height() - g.Size.BarHeight() : y0;
  int index = 0;
  for (const TSymbolBar& bar : SymbolBars(rules, item.Elements)) {
    if (damaged && index++ == 7) continue;
    const double height = bar.Guard ? g.Size.GuardBarHeight() : g.Size.BarHeight();
    const double top = bar.Half ? barsTop + height * 3 / 5 : barsTop;
    canvas.Rectangle(x0 + bar.Module * X, top, x0 + (bar.Module + bar.Width) * X, barsTop + height, vuMillimeters);
  }
  if (!rules.Text) return;
  TFont& font = UseTextFont(canvas, g.Digits.Family, g.DigitPixels);
  const QString text = SymbolText(rules, item.Value);
  const std::vector<double> centres = SymbolTextCentres(rules, int(text.size()));
  const double digitsY = textAbove ? y0 - MeasureFace(g.Digits.Family, g.DigitPixels).DigitTop : y0 + g.DigitCellTop;
  // Smaller type stands on the same baseline.
  auto baselineShift = [&](int pixels) {
    return MeasureFace(g.Digits.Family, g.DigitPixels).Ascent - MeasureFace(g.Digits.Family, pixels).Ascent;
  };
  if (!centres.empty()) {
    // UPC prints its number-system and check digits, outside the guard bars, in smaller type.
    const bool upc = rules.Typ == bcCodeUPC_A || rules.Typ == bcCodeUPC_E0 || rules.Typ == bcCodeUPC_E1;
    const int small = g.DigitPixels * 3 / 4;
    const double smallShift = upc ? baselineShift(small) : 0;
    for (int i = 0; i < text.size(); ++i) {
      const bool outer = upc && (i == 0 || i == text.size() - 1);
      font.Height = -(outer ? small : g.DigitPixels);
      canvas.TextOutCenter(x0 + centres[size_t(i)] * X, digitsY + (outer ? smallShift : 0), text.mid(i, 1), vuMillimeters);
    }
    return;
  }
  const double room = item.Width * X;
  int pixels = g.DigitPixels;
  while (pixels > 4 && TextWidthMm(g.Digits.Family, pixels, text) > room) --pixels;
  font.Height = -pixels;
  canvas.TextOutCenter(x0 + room / 2, digitsY + baselineShift(pixels), text, vuMillimeters);
}
}  // namespace

void RecordLabel(TVuCanvas& canvas, const TLabelGeometry& g, double left, double top, const TLabelItem& item,
                 const TTextBlock& block) {
  const double X = g.Size.X();
  // A symbol narrower than the widest of the run is centred where that one stands.
  const double x0 = left + g.SymbolLeft + (g.Size.Modules - item.Width) * X / 2, y0 = top + g.SymbolTop;
  // Bars: filled rectangles with no outline, so each is exactly its modules wide.
  canvas.Pen().Style = psClear;
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clBlack;
  if (g.Size.Rules->Typ != bcCodeEAN13) {
    RecordSymbol(canvas, g, x0, y0, item);
  } else {
    const bool damaged = LabelTestHook().DropBarOfRows.contains(item.Row);
    int index = 0;
    for (const TEan13Bar& bar : Ean13Bars(item.Modules)) {
      if (damaged && index++ == 7) continue;
      const double height = bar.Guard ? g.Size.GuardBarHeight() : g.Size.BarHeight();
      canvas.Rectangle(x0 + bar.Module * X, y0, x0 + (bar.Module + bar.Width) * X, y0 + height, vuMillimeters);
    }
    UseTextFont(canvas, g.Digits.Family, g.DigitPixels);
    const double digitsY = y0 + g.DigitCellTop;
    // The first digit stands in the left quiet zone; the others are centred under their
    // seven-module characters, left of the centre guard and right of it.
    if (!g.DigitWidthsKnown) {
      for (int d = 0; d < 10; ++d) g.DigitWidths[size_t(d)] = canvas.TextWidth(QString(QChar(u'0' + d))).GetVuValue(vuMillimeters);
      g.DigitWidthsKnown = true;
    }
    for (int i = 0; i < item.Value.size(); ++i) {
      const double centre = i == 0 ? -4.0 : i <= 6 ? 3 + 7 * (i - 1) + 3.5 : 50 + 7 * (i - 7) + 3.5;
      // As TextOutCenter places it, with the digit's width measured once.
      const long double width = g.DigitWidths[size_t(item.Value[i].digitValue())];
      canvas.TextOut(x0 + centre * X - width / 2, digitsY, item.Value.mid(i, 1), vuMillimeters);
    }
  }
  if (block.Lines.isEmpty()) return;
  UseTextFont(canvas, TextFace(), block.PixelHeight);
  const double centre = left + g.TextLeft + g.TextWidth / 2;
  for (int i = 0; i < block.Lines.size(); ++i)
    canvas.TextOutCenter(centre, top + g.TextTop + i * block.LineHeight, block.Lines[i], vuMillimeters);
}

TLabelSheetRecorder::TLabelSheetRecorder(TVuPageList& document, const TLabelRequest& request, const TLabelPlan& plan,
                                         TNewPage newPage, TSheetDone sheetDone)
    : FDocument(document),
      FRequest(request),
      FPlan(plan),
      FNewPage(std::move(newPage)),
      FSheetDone(std::move(sheetDone)),
      FPosition(request.StartAt - 1) {
  FPlaced.reserve(size_t(request.Sheet.Count()));
}

void TLabelSheetRecorder::StartSheet() {
  if (FSheet > 0) FSheetDone(FPlaced);
  FPlaced.clear();
  FPage = FNewPage();
  FPage->SetShowHeader(false);
  FPage->SetShowFooter(false);
  ++FSheet;
}

void TLabelSheetRecorder::Add(const TLabelItem& item, const TTextBlock& block) {
  const TLabelSheet& sheet = FRequest.Sheet;
  for (int copy = 0; copy < FRequest.CopiesEach; ++copy) {
    if (FSheet == 0 || FPosition == sheet.Count()) {
      StartSheet();
      if (FSheet > 1) FPosition = 0;
    }
    const QRectF cell = sheet.Cell(FPosition);
    const int first = FPage->Count();
    RecordLabel(FDocument.Canvas(), FPlan.Geometry, cell.left(), cell.top(), item, block);
    FPlaced.push_back({FSheet, FPosition, first, FPage->Count(), item.Row, item.Value,
                       ZbarReading(*FPlan.Geometry.Size.Rules, item.Value)});
    ++FPosition;
    ++FLabels;
  }
}

void TLabelSheetRecorder::Finish() {
  if (FSheet > 0) FSheetDone(FPlaced);
  FPlaced.clear();
}
