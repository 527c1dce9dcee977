// The preview control: it owns a page list and a paper image and lets an application
// record, browse, zoom and print pages, keeping linked controls informed through numbered
// notifications.
#pragma once
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "preview/document/Vupagelist.h"
#include "preview/printer/Vuprinter.h"
#include "preview/view/VupageControls.h"
#include "preview/view/VupreviewEvents.h"
#include "preview/view/VupreviewPaperImage.h"

class QKeyEvent;
class QResizeEvent;
class QScrollBar;
class QWheelEvent;

// Asked during a load once the file's version is known; LoadFile false refuses the file.
using TVuBeforeLoadEvent = std::function<void(QObject* sender, Extended fileVersion, bool& loadFile)>;

class TVuPreview : public TVuScrollingPageControl {
  Q_OBJECT
 public:
  explicit TVuPreview(QWidget* parent = nullptr);
  ~TVuPreview() override;

  TVuPageList& PageList() const { return *FPageList; }
  TVuPaperImage& PaperImage() const { return *FPaperImage; }

  // ---- pages (numbers 1-based unless stated)
  TVuPage* NewPage();
  // position 0-based.
  TVuPage* InsertPage(int position);
  void DeletePage(int position);
  void DeleteCurrentPage();
  // All pages and drawing resources go; one empty page remains as page 1; OnClear fires.
  void Clear();
  void FirstPage();
  void PrevPage();
  void NextPage();
  void LastPage();
  int GetCurrentPageNum() const;
  // A number outside 1..page count, or the current one, changes nothing.
  void SetCurrentPageNum(int number);
  int GetNumPages() const;
  TVuPage* GetCurrentPage() const;
  TVuPage* GetPage(int number) const;
  // The size the page list gives new pages.
  TVuSize GetPageSize(TVuMeasurement measurement) const;
  // The current page's.
  Extended GetPageWidth(TVuMeasurement measurement) const;
  Extended GetPageHeight(TVuMeasurement measurement) const;
  TVuValueRect& HeaderRect();
  TVuValueRect& FooterRect();
  TVuValueRect& GetAvailablePageRect();
  TVuRect GetAvailablePageVuRect(TVuMeasurement measurement);
  Extended GetAvailablePageWidth(TVuMeasurement measurement);
  Extended GetAvailablePageHeight(TVuMeasurement measurement);
  void SetCustomPageSize(Extended width, Extended height, TVuMeasurement measurement);
  void UsePrinterPageSize();
  // The names of paper sizes 0 to 17 in order.
  void PaperSizes(QStringList& strings) const;
  QString Tokenize(const QString& text, int page) const;
  QString GetDateFormat() const;
  void SetDateFormat(const QString& value);
  QString GetTimeFormat() const;
  void SetTimeFormat(const QString& value);
  void FindText(const QString& text, bool matchCase, std::vector<TVuBaseTextObject*>& results) const;
  TVuResourceTable& ResourceTable() const;
  bool IsUpdating() const;

  // ---- view
  int GetZoom() const;
  // Limited to MinZoom..MaxZoom; keeps the relative scroll position.
  void SetZoom(int value);
  void ZoomIn();
  void ZoomOut();
  void FitWidth();
  void FitHeight();
  void FitWholePage();
  Extended GetFitWidthScale() const;
  Extended GetFitHeightScale() const;
  int MinZoom() const { return FMinZoom; }
  void SetMinZoom(int value);
  int MaxZoom() const { return FMaxZoom; }
  void SetMaxZoom(int value);
  int ZoomIncrement() const { return FZoomIncrement; }
  void SetZoomIncrement(int value) { FZoomIncrement = value; }
  TVuZoomStyle ZoomStyle() const { return FZoomStyle; }
  void SetZoomStyle(TVuZoomStyle value) { FZoomStyle = value; }
  TVuDragDrawing DragDrawShape() const;
  void SetDragDrawShape(TVuDragDrawing value);
  // Ranges from the page extent plus the gutters; re-lays out the paper image.
  void UpdateScrollBars();
  void ScrollToPosition(Extended horzPercent, Extended vertPercent);
  void SaveScrollPos();
  void LoadScrollPos();
  // Scroll bar positions and ranges (range = page extent plus gutters).
  int HorzPos() const;
  int VertPos() const;
  void SetHorzPos(int value);
  void SetVertPos(int value);
  int HorzRange() const { return FHorzRange; }
  int VertRange() const { return FVertRange; }

  // The variable zoom steps of ZoomIn and ZoomOut.
  static constexpr int ZoomTable[] = {7, 10, 14, 20, 30, 45, 60, 80, 120, 170, 250, 350, 500, 650, 800};

  // ---- printing
  // PrintRange(1, page count).
  void Print();
  // The page list's PrintRange inside an update bracket: the screen is not repainted while
  // the job runs, and once after it.
  void PrintRange(int fromPage, int toPage);
  // The current page, without the update bracket.
  void PrintCurrentPage();
  std::unique_ptr<TMetafile> PrintPageToMetafile(int number);
  // The whole document as a PDF file through the page list's print job: the same sheets and
  // layout as on paper, written safely (no file is left on failure).
  void PrintToFile(const QString& fileName);

  // ---- page files
  // Writes the document to a new file beside fileName and renames it over fileName, so a
  // failed save leaves any existing file as it was. Nothing is shown either way; false on
  // failure, with the reason in LastFileError.
  bool SaveToFile(const QString& fileName);
  // Reads the whole file before the preview's document is replaced: a file that cannot be
  // read or is damaged, or a load BeforeLoad refuses, leaves the preview showing what it
  // showed. Nothing is shown; false on failure (a refusal included), reason in LastFileError.
  bool LoadFromFile(const QString& fileName);
  void SaveToStream(QIODevice& stream);
  // Raises the stream's or the conversion's error on damaged data, changing nothing; false
  // when BeforeLoad refused the file.
  bool LoadFromStream(QIODevice& stream);
  // The "V" of the file's first value list, 0 when absent. A file that cannot be opened
  // or read raises its error.
  Extended GetFileVersion(const QString& fileName);
  // Why the last SaveToFile or LoadFromFile failed; empty after a success.
  const QString& LastFileError() const { return FLastFileError; }

  // ---- updates and linked controls
  void BeginUpdate();
  void EndUpdate();
  void AddAssociatedComponent(QObject* component);
  void RemoveAssociatedComponent(QObject* component);
  // Sent synchronously to every linked windowed control that has a parent; nothing while
  // the page list is updating.
  void MessageToControls(TVuNotification msg);
  // Accepted; no effect.
  void Assign(const TPersistent*) {}
  // After the control has been set up from its stored form: the new-page events for the
  // first page, which existed before the application's handlers were connected.
  void Loaded();

  // ---- mouse and keyboard interaction
  // Scrolls so that (x, y), paper-image pixels, lies in the middle of the control.
  void CenterOnClick(int x, int y);
  // Hand-scrolling from the mouse position until the next button release, mouse-leave or
  // StopPanning.
  void StartPanning();
  void StopPanning();
  bool Panning() const { return FPanning; }
  // The preview's own cursor: the default one or the zoom cursors 101 and 102.
  void SetCursor(TVuCursor cursor);
  // The paper image's rubber band.
  void DragDrawStart();
  void DragDrawCancel();
  // Ends the rubber band and records DragDrawShape with its corners on the current page.
  void DragDrawToCanvas();
  // Ends the rubber band and zooms to the area it covers.
  void DragDrawZoom();
  // rect in paper-image pixels, normalised; an empty width or height does nothing.
  void ZoomToArea(const TRect& rect);
  // The topmost visible object of the current page under (x, y) in measurement; or null.
  TVuVisibleObject* VuObjectAtPos(Extended x, Extended y, TVuMeasurement measurement);
  // The object's box on screen in the preview's client pixels; empty for no object.
  TRect VuObjectRect(TVuVisibleObject* object) const;
  TVuVisibleObject* SelectedVuObject() const { return FSelectedObject; }
  // Outlines the object (or nothing) with the selection pen.
  void SelectVuObject(TVuVisibleObject* object);
  void DeleteSelectedVuObject();
  // Starts moving a draggable object with the mouse; nothing for a null or fixed object.
  void DragVuObjectStart(TVuVisibleObject* object);
  // Moves the selected object by the distance the mouse went since DragVuObjectStart.
  void DragVuObjectEnd();
  bool DraggingVuObject() const { return FObjectDragging; }
  // The paper image's scratch canvas with a clear brush, for temporary drawing on screen.
  TCanvas& GetScratchCanvas();
  TPen& SelectionPen() { return FSelectionPen; }
  bool ShowSelection() const { return FShowSelection; }
  void SetShowSelection(bool value);
  // Runs after each paint of the paper image: the selection frame.
  void PaintPage(TVuPaperImage* sender, TCanvas& canvas);

  // Numbers of the zoom cursors in the application's cursor table.
  static constexpr int ZoomInCursor = 101;
  static constexpr int ZoomOutCursor = 102;


  // ---- published properties
  TVuCanvas& Canvas() const { return TVuCanvasWinControl::Canvas(); }
  TVuHeader& Header() const;
  // Assigns the captions into the page list's header.
  void SetHeader(const TVuHeader& value);
  TVuFooter& Footer() const;
  void SetFooter(const TVuFooter& value);
  TVuPrinter& VuPrinter() const;
  // Writing the printer has no effect.
  void SetVuPrinter(TVuPrinter*) {}
  // Reads the left gutter; writing sets all four and repaints, ranges unchanged.
  int GetGutter() const;
  void SetGutter(int value);
  TVuMargins& Margins() const;
  void SetMargins(const TVuMargins& value);
  TVuOrientation Orientation() const;
  void SetOrientation(TVuOrientation value);
  TVuPageGrid& PageGrid() const { return *FPageGrid; }
  TVuPagesPerSheet PagesPerSheet() const;
  void SetPagesPerSheet(TVuPagesPerSheet value);
  TVuPaperSize PaperSize() const;
  void SetPaperSize(TVuPaperSize value);
  TVuShadow& Shadow() const { return *FShadow; }
  void SetShadow(const TVuShadow& value);
  // The preview keeps its scroll ranges itself; the flag is stored and read back.
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool value) { FAutoScroll = value; }
  // The stored form of the margins: four margins in twips and the two margin pens.
  QString GetMarginValues() const;
  void SetMarginValues(const QString& text);

  // ---- events (the preview is the sender)
  TVuWidgetEvent AfterPrint;
  TVuWidgetEvent BeforePrint;
  // Relayed from the page list after each printed page; a handler may abort the job through
  // the printer's Abort.
  TVuHook<QObject*, int /*printed*/, int /*total*/> OnPrintProgress;
  TVuWidgetEvent OnAbortPrint;
  TVuWidgetEvent OnClear;
  TVuDrawHeaderFooterEvent OnDrawHeader;
  TVuDrawHeaderFooterEvent OnDrawFooter;
  TVuWidgetEvent OnNewPage;
  TVuWidgetEvent OnPageChanged;
  TVuWidgetEvent OnOrientationChanged;
  TVuNeedRichEditEvent OnNeedRichEdit;
  TVuMouseEvent OnMouseDown;
  TVuMouseMoveEvent OnMouseMove;
  TVuMouseEvent OnMouseUp;
  TVuWidgetEvent OnMouseEnter;
  TVuWidgetEvent OnMouseLeave;
  TVuPageMouseEvent OnPageMouseDown;
  TVuPageMouseEvent OnPageMouseUp;
  TVuPageMouseMoveEvent OnPageMouseMove;
  TVuPageDragOverEvent OnPageDragOver;
  TVuPageDragDropEvent OnPageDragDrop;

  TVuObjectMouseEvent OnObjectMouseDown;
  TVuMouseWheelEvent OnMouseWheel;
  TVuMouseWheelUpDownEvent OnMouseWheelUp;
  TVuMouseWheelUpDownEvent OnMouseWheelDown;

  TVuBeforeLoadEvent BeforeLoad;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Handlers of the page list's, the printer's and the paper image's reports.
  void DoPageContentChanged(TPersistent* sender);
  void DoPageCountChanged(TPersistent* sender);
  void DoPageNumChanged(TPersistent* sender);
  void DoPaperSizeChanged(TPersistent* sender);
  void DoOrientationChanged(TPersistent* sender);
  void DoMarginsChanged(TPersistent* sender);
  void HeaderFooterChanged(TPersistent* sender);
  void NewPageEvents(TPersistent* sender);
  void DoClear(TPersistent* sender);
  QWidget* NeedRichEdit(TPersistent* sender);
  void DoBeforePrint(TPersistent* sender);
  void DoAfterPrint(TPersistent* sender);
  void DoAbortPrint(TPersistent* sender);
  void DoPrinterChanged(TPersistent* sender);
  void DoMouseEnter(QObject* sender);
  void DoMouseLeave(QObject* sender);
  // Connects the paper image's mouse and page events to the preview's relays.
  void EnablePaperMouseEvents();
  // Shows the page list's current page in the paper image.
  void ShowCurrentPage();
  // Repaints the whole control, the page included.
  void Repaint();
  // The client area's size once the scroll bars the ranges need are shown.
  QSize ClientSize() const;

  std::unique_ptr<TVuPageList> FPageList;
  TVuPaperImage* FPaperImage = nullptr;  // a child widget
  std::unique_ptr<TVuPageGrid> FPageGrid;
  std::unique_ptr<TVuShadow> FShadow;
  // Linked controls; one that is destroyed drops out by itself.
  std::vector<QPointer<QObject>> FAssociated;
  int FMinZoom = 5;
  int FMaxZoom = 400;
  int FZoomIncrement = 10;
  TVuZoomStyle FZoomStyle = vuVariableZoom;
  Extended FSavedHorzPercent = 0;
  Extended FSavedVertPercent = 0;
  int FHorzRange = 0;
  int FVertRange = 0;
  bool FAutoScroll = true;

  // The scroll bar keys and the wheel move: the vertical one when shown, else the
  // horizontal one when shown, else none.
  QScrollBar* HandledScrollBar() const;
  // The platform's wheel handling after the preview's own step; true when handled.
  bool DoMouseWheel(Qt::KeyboardModifiers shift, int wheelDelta, QPoint mousePos);
  // The relays of the paper image's mouse events, in the order the preview runs them.
  void PaperMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void PaperMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void PaperMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void PaperPageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, TVuValue& x, TVuValue& y);
  void PaperPageMouseMove(Qt::KeyboardModifiers shift, TVuValue& x, TVuValue& y);
  // Drops a selection whose object is no longer on the current page.
  void CheckSelection();
  static void LoadZoomCursors();

  TVuVisibleObject* FSelectedObject = nullptr;
  TPen FSelectionPen;
  bool FShowSelection = true;
  bool FPanning = false;
  QPoint FPanStart;  // client pixels
  int FPanHorzPos = 0, FPanVertPos = 0;
  bool FObjectDragging = false;
  TVuPoint FDragStartPoint;    // page inches
  TVuPoint FCurrentPagePoint;  // page inches, from the last page mouse move
  QPoint FMouseDownPoint;      // paper-image pixels
  TRect FDragOutlineRect;      // client pixels, where the object was when the drag started
  bool FDragOutlineDrawn = false;
  TRect FLastDragOutline;      // paper-image pixels
  int FContentChanges = 0;     // page-content reports so far
  QString FLastFileError;
};
