// A label run planned before anything is recorded: the symbol's magnification for the sheet,
// where the symbol and the text lines sit in a label, and whether every label's text fits.
// Every problem is found here, so a run that cannot be printed as asked records nothing.
#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include "labels/Gs1Ean13.h"
#include "labels/SymbolRules.h"
#include "labels/LabelSheet.h"
#include "labels/LabelText.h"

// One article: its row in the input (for messages), the completed value with its symbol
// (EAN-13: its 95 modules; any other symbology: the component's element string and its
// width in X), and the texts printed under the symbol.
struct TLabelItem {
  int Row = 0;
  QString Value;
  QString Modules;
  QString Elements;
  double Width = Ean13Modules;
  QStringList Texts;
};

struct TLabelRequest {
  TLabelSheet Sheet;
  double Magnification = 0;  // 0.80 to 2.00; 0 picks the largest that fits
  int StartAt = 1;           // label positions before it on the first sheet stay empty
  int CopiesEach = 1;
  int TextLines = 0;         // text columns asked for
  TBarcodeType Symbology = bcCodeEAN13;
  double Modules = Ean13Modules;  // the widest symbol of the list, in X
  bool OutsideRange = false;      // magnifications below the symbology's range, shorter bars
};

// Where things sit in a label, from its top-left corner, in mm.
struct TLabelGeometry {
  TSymbolSize Size;
  double LabelHeight = 0;
  double SymbolLeft = 0;  // the left edge of module 0 of the widest symbol
  double SymbolTop = 0;   // the top of the bars
  double TextLeft = 0, TextTop = 0, TextWidth = 0, TextHeight = 0;
  TDigitFace Digits;
  int DigitPixels = 0;     // the digits' em in 96-ppi pixels
  double DigitCellTop = 0; // the top of the digits' text cell below SymbolTop
  // The width of each digit '0' to '9' in the digits' face, in mm, measured by the recording
  // canvas for the first label and kept for the rest (every label sets the same face).
  mutable std::array<long double, 10> DigitWidths{};
  mutable bool DigitWidthsKnown = false;
};

struct TLabelPlan {
  TLabelGeometry Geometry;
  QStringList Problems;  // not empty: nothing may be recorded
  QStringList Warnings;  // said on stderr, the run goes on
};

// Gap between the digits and the first text line, and the distance a fitted symbol and the
// text lines keep from the label's edges (die cutting is not exact), in mm.
constexpr double LabelTextGap = 0.8;
constexpr double LabelTextEdge = 0.8;

// The symbol's size for the sheet and the box left for the text lines. A list is planned in
// three steps, so that it need not be held: PlanLabels, then FitLabelTexts for every item
// (the tallest block it gives), then PlaceLabelGroup.
TLabelPlan PlanLabels(const TLabelRequest& request);
// The item's text lines fitted into the plan's text box (an empty block without text
// columns); nothing when they do not fit, with the reason, naming the row, in problem.
std::optional<TTextBlock> FitLabelTexts(const TLabelRequest& request, const TLabelPlan& plan, const TLabelItem& item,
                                        QString& problem);
// Centres the symbol and the tallest text block (mm) together in the label.
void PlaceLabelGroup(TLabelPlan& plan, double tallestBlock);
