// The paper image: a child control that shows one recorded page as a sheet of paper at a
// zoom.
#pragma once
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <memory>
#include "platform/Canvas.h"
#include "preview/document/Vupagelist.h"
#include "preview/view/VupreviewEvents.h"

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
