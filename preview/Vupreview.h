// The paper image, which shows one recorded page as a sheet of paper at a zoom, and the
// preview control, which owns a page list and a paper image and lets an application record,
// browse, zoom and print pages, keeping linked controls informed through numbered
// notifications.
#pragma once
#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "preview/Vucanvas.h"
#include "preview/Vuclasses.h"
#include "preview/Vuobjects.h"
#include "preview/Vupagelist.h"
#include "preview/Vuprinter.h"
#include "preview/Vuresource.h"
#include "preview/Vutypes.h"

class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QEnterEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;
class QPainter;
class QResizeEvent;
class QScrollBar;
class QWheelEvent;

enum TVuDragDrawing { vuDragNone, vuDragLine, vuDragEllipse, vuDragRectangle };
enum TVuZoomStyle { vuFixedZoom, vuVariableZoom };
// Where a drag-over report stands in the drag.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// ---------------------------------------------------------------------------------------
// Event types shared by the paper image and the preview (the sender first).

using TVuWidgetEvent = TVuHook<QObject*>;
using TVuMouseEvent = TVuHook<QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int>;
using TVuMouseMoveEvent = TVuHook<QObject*, Qt::KeyboardModifiers, int, int>;
using TVuDragOverEvent = TVuHook<QObject*, QObject*, int, int, TDragState, bool&>;
using TVuDragDropEvent = TVuHook<QObject*, QObject*, int, int>;
// Page events carry the position in page inches.
using TVuPageMouseEvent = TVuHook<QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&>;
using TVuPageMouseMoveEvent = TVuHook<QObject*, Qt::KeyboardModifiers, TVuValue&, TVuValue&>;
using TVuPageDragOverEvent = TVuHook<QObject*, QObject*, TVuValue&, TVuValue&, TDragState, bool&>;
using TVuPageDragDropEvent = TVuHook<QObject*, QObject*, TVuValue&, TVuValue&>;
using TVuDrawHeaderFooterEvent = TVuHook<QObject*, TVuValueRect&, TVuCanvas&>;
using TVuNeedRichEditEvent = TVuHook<QObject*, QWidget*&>;
// ---- mouse and keyboard interaction of the preview
// A press over a visible object of the current page, page inches.
using TVuObjectMouseEvent =
    TVuHook<QObject*, Qt::MouseButton, Qt::KeyboardModifiers, TVuValue&, TVuValue&, TVuVisibleObject*>;
// The control's wheel events: delta in eighths of a degree, position in control pixels,
// Handled set by a handler that took the turn.
using TVuMouseWheelEvent = TVuHook<QObject*, Qt::KeyboardModifiers, int, QPoint, bool&>;
using TVuMouseWheelUpDownEvent = TVuHook<QObject*, Qt::KeyboardModifiers, QPoint, bool&>;
enum TVuCursor { vuDefault, vuZoomIn, vuZoomOut };

// ---------------------------------------------------------------------------------------
// Numbered notifications from a preview to its linked windowed controls.

constexpr int VuMsgPagesPerSheetChanged = 7034;
constexpr int VuMsgHeaderFooterChanged = 7035;
constexpr int VuMsgOrientationChanged = 7036;
constexpr int VuMsgPageContentChanged = 7038;
constexpr int VuMsgNumPagesChanged = 7039;
constexpr int VuMsgPrinterChanged = 7042;
constexpr int VuMsgBeginUpdate = 7043;
constexpr int VuMsgEndUpdate = 7044;
constexpr int VuMsgPaperSizeChanged = 7045;
constexpr int VuMsgPageNumChanged = 7047;

// The window message of a notification, delivered with QCoreApplication::sendEvent.
class TVuMessageEvent : public QEvent {
 public:
  TVuMessageEvent(int msg, intptr_t wParam, intptr_t lParam);
  // The event type all notifications share, registered once per process.
  static QEvent::Type EventType();
  int Msg() const { return FMsg; }
  intptr_t WParam() const { return FWParam; }
  intptr_t LParam() const { return FLParam; }

 private:
  int FMsg;
  intptr_t FWParam, FLParam;
};

// ---------------------------------------------------------------------------------------
// Paper image

// A child control that paints one page: white paper with a black border and a drop shadow,
// the page's content laid out at DrawPpi logical dots per inch and mapped onto screen
// pixels, the margin frames and the grid. It converts mouse positions into page inches and
// can rubber-band a rectangle over the page.
//
// What it has painted at the current zoom is kept as an image of the visible area plus a
// margin, so that scrolling copies pixels instead of drawing the page again; every change of
// content, size, zoom, gutters, margins, grid or shadow drops it.
class TVuPaperImage : public QWidget {
  Q_OBJECT
 public:
  explicit TVuPaperImage(QWidget* owner = nullptr);
  ~TVuPaperImage() override;

  TVuPage* Page() const { return FPage; }
  // Takes the page's size in inches (when there is a page) and repaints.
  void SetPage(TVuPage* page);
  const TVuSize& PaperSizeInch() const { return FPaperSizeInch; }
  void SetPaperSizeInch(const TVuSize& size);
  int GetZoom() const { return FZoom; }
  void SetZoom(int zoom);
  int GetDrawPpi() const { return FDrawPpi; }
  void SetDrawPpi(int ppi);
  // Left, Top, Right, Bottom free space in pixels.
  const TRect& Gutters() const { return FGutters; }
  void SetGutters(const TRect& gutters);
  TVuMargins* Margins() const { return FMargins; }
  // Only stores the reference; the owner repaints on a margin change.
  void SetMargins(TVuMargins* margins) { FMargins = margins; }
  TVuShadow* Shadow() const { return FShadow; }
  // Stores the reference and makes the shadow's OnChange repaint the paper image.
  void SetShadow(TVuShadow* shadow);
  TVuPageGrid* Grid() const { return FGrid; }
  void SetGrid(TVuPageGrid* grid);
  bool GetDrawContent() const { return FDrawContent; }
  void SetDrawContent(bool value);
  bool GetIsThumbnail() const { return FIsThumbnail; }
  void SetIsThumbnail(bool value);
  TVuDragDrawing GetDragDrawShape() const { return FDragDrawShape; }
  void SetDragDrawShape(TVuDragDrawing value) { FDragDrawShape = value; }
  bool Dragging() const { return FDragging; }
  // Start corner (Left, Top) and moving corner (Right, Bottom) in control pixels.
  const TRect& DragRect() const { return FDragRect; }
  TVuValuePoint& MousePoint() const { return *FMousePoint; }
  TVuValuePoint& DropPoint() const { return *FDropPoint; }

  void BeginUpdate();
  // Repaints when the outermost update ends.
  void EndUpdate();
  bool IsUpdating() const { return FUpdates.Updating(); }

  // The page's size in pixels at ppi and the current zoom.
  TPoint GetPageExtent(int ppi) const;
  // The page in the control's own pixels: centred inside the gutters.
  virtual TRect PageRect() const;
  // Control pixels to page inches; no clamping.
  void XYtoInchValuePoint(int x, int y, TVuValuePoint& point) const;

  // Rubber band.
  void DragDrawStart();
  void DragDrawStop();
  // The two corners in page inches, not normalised.
  TVuRect GetDragDrawInchRect() const;
  // The mouse cursor's position in control pixels.
  QPoint CalcCursorPos() const;

  // Repaints from scratch: drops what was kept of the last paint.
  void Changed();

  // Drawing steps, on a canvas already mapped DrawPpi units per inch onto the page.
  void ClipPaper(TCanvas& canvas) const;
  void DrawPaper(TCanvas& canvas, int ppi, bool outlineOnly) const;
  // The whole page as the paint shows it, onto canvas whose device origin is at origin
  // (device pixels): paper, margins clipping, content, margin frames, grid, border, shadow.
  void PaintPageTo(TCanvas& canvas, QPoint origin);

  // How many times the page content has been drawn (tests and benchmarks count them).
  int ContentDraws() const { return FContentDraws; }
  // Size in bytes of the kept image (0 when none is kept).
  qint64 CacheBytes() const;

  // The kept image may cover at most this many pixels (32 MB at 4 bytes a pixel).
  static constexpr qint64 MaxCachePixels = qint64(8) << 20;
  // Extra pixels kept around the visible area on every side.
  static constexpr int CacheMargin = 256;

  // Ordinary control events, control pixels.
  TVuMouseEvent OnMouseDown;
  TVuMouseMoveEvent OnMouseMove;
  TVuMouseEvent OnMouseUp;
  TVuDragOverEvent OnDragOver;
  TVuDragDropEvent OnDragDrop;
  // Page events, page inches.
  TVuWidgetEvent OnMouseEnter;
  TVuWidgetEvent OnMouseLeave;
  TVuPageDragDropEvent OnPageDragDrop;
  TVuPageDragOverEvent OnPageDragOver;
  TVuPageMouseEvent OnPageMouseDown;
  TVuPageMouseMoveEvent OnPageMouseMove;
  TVuPageMouseEvent OnPageMouseUp;
  // After each paint, clipped to the paper, on a canvas mapped one unit per pixel with the
  // origin at the parent's client origin and a clear brush.
  TVuHook<TVuPaperImage*, TCanvas&> OnPaintPage;

  // The relays, as the platform's events call them.
  void DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void DoMouseMove(Qt::KeyboardModifiers shift, int x, int y);
  void DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept);
  void DoDragDrop(QObject* source, int x, int y);

  // ---- outline of an object being moved ---------------------------------------------------
  // Shown inverted and dotted over the paper image (control pixels, the rectangle's right
  // and bottom edges excluded); moving it repaints only the old and the new outline.
  void SetObjectOutline(const TRect& rect);
  void ClearObjectOutline();
  bool HasObjectOutline() const { return FHasObjectOutline; }
  const TRect& ObjectOutline() const { return FObjectOutline; }
  // The area the last outline changes asked to repaint, in pixels (benchmarks count it).
  qint64 OutlineRepaintArea() const { return FOutlineRepaintArea; }
  // A canvas over a transparent layer shown on top of the paper image, for temporary
  // drawing on screen; every repaint from scratch (Changed) empties the layer. Drawing on it
  // shows once the canvas is released or destroyed.
  TCanvas& ScratchCanvas();
  // ------------------------------------------------------------------------------------------

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Control pixels the page, its border and its shadow can touch.
  QRect PaintedArea() const;
  // Makes the kept image cover needed (control pixels); false when it cannot be kept.
  bool EnsureCache(const QRect& needed);
  void RenderInto(QImage& image, QPoint imageOrigin);
  void RunPaintPage(QPainter& painter);
  // The rubber band's outline pixels (control pixels) and their drawing.
  QRegion DragOutlineRegion(const TRect& rect) const;
  void DrawDragOutline(QPainter& painter) const;
  void UpdateDragRect(int x, int y);

  TVuPage* FPage = nullptr;
  TVuSize FPaperSizeInch;
  int FZoom = 20;
  TRect FGutters{30, 30, 30, 30};
  int FDrawPpi = 600;
  TVuMargins* FMargins = nullptr;
  TVuShadow* FShadow = nullptr;
  TVuPageGrid* FGrid = nullptr;
  bool FDrawContent = true;
  bool FIsThumbnail = false;
  TVuUpdateCount FUpdates;
  TVuDragDrawing FDragDrawShape = vuDragRectangle;
  bool FDragging = false;
  TRect FDragRect;
  std::unique_ptr<TVuValuePoint> FMousePoint;
  std::unique_ptr<TVuValuePoint> FDropPoint;

  QImage FCache;
  QRect FCacheRect;     // control pixels the image covers
  QRect FCachePage;     // the page rectangle it was drawn for
  bool FCacheValid = false;
  int FContentDraws = 0;

  // ---- outline of an object being moved, scratch layer --------------------------------------
  QRegion ObjectOutlineRegion(const TRect& rect) const;
  void DrawObjectOutline(QPainter& painter) const;
  void DrawScratchLayer(QPainter& painter, const QRect& area) const;
  bool FHasObjectOutline = false;
  TRect FObjectOutline;
  qint64 FOutlineRepaintArea = 0;
  QImage FScratchLayer;
  std::unique_ptr<TCanvas> FScratchCanvas;
  // ------------------------------------------------------------------------------------------
};

// ---------------------------------------------------------------------------------------
// Control chain of the preview and the thumbnail strip

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

// ---------------------------------------------------------------------------------------
// Preview control

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

  // ---- updates and linked controls
  void BeginUpdate();
  void EndUpdate();
  void AddAssociatedComponent(QObject* component);
  void RemoveAssociatedComponent(QObject* component);
  // Sent synchronously to every linked windowed control that has a parent; nothing while
  // the page list is updating.
  void MessageToControls(int msg, intptr_t wParam, intptr_t lParam);
  // Accepted; no effect.
  void Assign(const TPersistent*) {}
  // After the control has been set up from its stored form: the new-page events for the
  // first page, which existed before the application's handlers were connected.
  void Loaded();

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

  // ---- mouse and keyboard interaction ----------------------------------------------------
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

  TVuObjectMouseEvent OnObjectMouseDown;
  TVuMouseWheelEvent OnMouseWheel;
  TVuMouseWheelUpDownEvent OnMouseWheelUp;
  TVuMouseWheelUpDownEvent OnMouseWheelDown;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
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
  // ------------------------------------------------------------------------------------------

 public:
  // ---- page files (VupreviewFile.cpp)
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
  TVuBeforeLoadEvent BeforeLoad;

  // The variable zoom steps of ZoomIn and ZoomOut.
  static constexpr int ZoomTable[] = {7, 10, 14, 20, 30, 45, 60, 80, 120, 170, 250, 350, 500, 650, 800};

 protected:
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

  // ---- page files
  QString FLastFileError;
};
