// Label sheets recorded on the page engine: one page per sheet, each label's symbol as
// vector rectangles, its digits and text lines as text objects, all in millimetres from the
// paper's corner, so the preview, the thumbnails, page files and every printer get the same
// geometry. A run is recorded a sheet at a time, so that a print job can take each sheet
// away before the next one is recorded.
#pragma once
#include <QSet>
#include <functional>
#include <vector>
#include "labels/LabelPlan.h"
#include "preview/document/Vupagelist.h"

// Where a label went: its sheet (1-based, counted over the whole run), its position on the
// sheet, its page objects (FirstObject up to EndObject), and the item's row and value and
// what the decoder must read, for the check and its messages.
struct TPlacedLabel {
  int Sheet = 0;
  int Position = 0;
  int FirstObject = 0, EndObject = 0;
  int Row = 0;
  QString Value;
  QString Reading;
};

// Sets the document up for the sheet: its paper, portrait, no margins, and no pages: each
// sheet's page comes from the recorder's page source.
void SetUpLabelDocument(TVuPageList& document, const TLabelSheet& sheet);

// Records one label with its top-left corner at (left, top) mm on the current page.
void RecordLabel(TVuCanvas& canvas, const TLabelGeometry& geometry, double left, double top, const TLabelItem& item,
                 const TTextBlock& block);

// Places items CopiesEach times from label position StartAt of the first sheet on, row by
// row. newPage gives the current page of the next sheet (the document's AddPage, or a print
// job's or a page-file writer's NewPage, which first takes the sheets before it away);
// sheetDone gets a sheet's labels once it is full, before the next sheet's page is asked
// for, and from Finish for the last sheet.
class TLabelSheetRecorder {
 public:
  using TNewPage = std::function<TVuPage*()>;
  using TSheetDone = std::function<void(const std::vector<TPlacedLabel>& labels)>;
  TLabelSheetRecorder(TVuPageList& document, const TLabelRequest& request, const TLabelPlan& plan, TNewPage newPage,
                      TSheetDone sheetDone);

  // The plan must have no problems, and block must be the item's fitted text block.
  void Add(const TLabelItem& item, const TTextBlock& block);
  // Hands the last sheet to sheetDone.
  void Finish();

  int Labels() const { return FLabels; }
  int Sheets() const { return FSheet; }

 private:
  void StartSheet();

  TVuPageList& FDocument;
  const TLabelRequest& FRequest;
  const TLabelPlan& FPlan;
  TNewPage FNewPage;
  TSheetDone FSheetDone;
  std::vector<TPlacedLabel> FPlaced;  // the labels of the current sheet
  TVuPage* FPage = nullptr;           // the current sheet's page
  int FPosition = 0;
  int FSheet = 0;
  int FLabels = 0;
};

// For the tests only: the labels of the input rows DropBarOfRows lose one bar (the checking
// path), and OnDocument sees every document a run sets up (what it holds as it goes).
struct TLabelTestHook {
  QSet<int> DropBarOfRows;
  std::function<void(TVuPageList& document)> OnDocument;
};
TLabelTestHook& LabelTestHook();
