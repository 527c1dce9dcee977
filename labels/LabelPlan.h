// A label run planned before anything is recorded: the symbol's magnification for the sheet,
// where the symbol and the text lines sit in a label, and every label's text block. Every
// problem is found here, so a run that cannot be printed as asked records nothing.
#pragma once
#include <QString>
#include <QStringList>
#include <vector>
#include "labels/Gs1Ean13.h"
#include "labels/LabelSheet.h"
#include "labels/LabelText.h"

// One article: its row in the input (for messages), the completed value with its modules,
// and the texts printed under the symbol.
struct TLabelItem {
  int Row = 0;
  QString Value;
  QString Modules;
  QStringList Texts;
};

struct TLabelRequest {
  TLabelSheet Sheet;
  double Magnification = 0;  // 0.80 to 2.00; 0 picks the largest that fits
  int StartAt = 1;           // label positions before it on the first sheet stay empty
  int CopiesEach = 1;
  int TextLines = 0;         // text columns asked for
};

// Where things sit in a label, from its top-left corner, in mm.
struct TLabelGeometry {
  TEan13Size Size;
  double SymbolLeft = 0;  // the left edge of module 0
  double SymbolTop = 0;   // the top of the bars
  double TextLeft = 0, TextTop = 0, TextWidth = 0, TextHeight = 0;
  TDigitFace Digits;
  int DigitPixels = 0;     // the digits' em in 96-ppi pixels
  double DigitCellTop = 0; // the top of the digits' text cell below SymbolTop
};

struct TLabelPlan {
  TLabelGeometry Geometry;
  std::vector<TTextBlock> Blocks;  // by item
  QStringList Problems;            // not empty: nothing may be recorded
  QStringList Warnings;            // said on stderr, the run goes on
};

// Gap between the digits and the first text line, and the distance a fitted symbol and the
// text lines keep from the label's edges (die cutting is not exact), in mm.
constexpr double LabelTextGap = 0.8;
constexpr double LabelTextEdge = 0.8;

TLabelPlan PlanLabels(const TLabelRequest& request, const std::vector<TLabelItem>& items);
// The sheets a run fills.
int SheetsNeeded(const TLabelRequest& request, int items);
