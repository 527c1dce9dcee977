// The document of the page engine: a list of recorded pages that share one resource table,
// one recording canvas, one header and footer, one set of margins and one printer, with the
// paper size, the orientation and the current page. Also the settings objects that frame a
// page when it is shown: margins, drop shadow and page grid.
#pragma once
#include <QString>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "platform/Metafile.h"
#include "preview/core/Vuclasses.h"
#include "preview/document/Vuobjects.h"
#include "preview/printer/Vuprinter.h"
#include "preview/document/Vuresource.h"
#include "preview/core/Vutypes.h"

class TVuValueList;

class TVuCanvas;
class TVuPageList;

// Progress of a print job of the page list: pages drawn so far out of the pages listed.
using TVuPrintProgressEvent = TVuHook<TPersistent* /*sender*/, int /*printed*/, int /*total*/>;

// ---------------------------------------------------------------------------------------
// Margins, shadow and page grid

class TVuMargins;

// The four margins as plain numbers in ValueMeasurement, for editing in a property sheet.
class TVuMarginValues : public TPersistent {
 public:
  explicit TVuMarginValues(TVuMargins* owner) : FOwner(owner) {}
  QString ClassName() const override { return QStringLiteral("TVuMarginValues"); }
  float GetLeft() const;
  float GetTop() const;
  float GetRight() const;
  float GetBottom() const;
  // Each sets its margin (which fires the margins' OnChange on a real change).
  void SetLeft(float value);
  void SetTop(float value);
  void SetRight(float value);
  void SetBottom(float value);
  TVuMeasurement GetValueMeasurement() const { return FValueMeasurement; }
  void SetValueMeasurement(TVuMeasurement value) { FValueMeasurement = value; }

 private:
  TVuMargins* FOwner;
  TVuMeasurement FValueMeasurement = vuInches;
};

class TVuMargins : public TPersistent {
 public:
  // The printer is not owned; it may be null (no printer margins then).
  explicit TVuMargins(TVuPrinter* printer);
  ~TVuMargins() override;
  TVuMargins(const TVuMargins&) = delete;
  TVuMargins& operator=(const TVuMargins&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuMargins"); }
  // From another margins object: the four margins, both pens, ShowPrinterMargins and
  // Visible (ClipMargins and UsePrinterMargins stay), then OnChange once more.
  void Assign(const TPersistent* source) override;

  TVuValue& Left() const { return *FLeft; }
  TVuValue& Top() const { return *FTop; }
  TVuValue& Right() const { return *FRight; }
  TVuValue& Bottom() const { return *FBottom; }
  TVuMarginValues& Values() const { return *FValues; }

  const TPen& Pen() const { return FPen; }
  void SetPen(const TPen& value);
  const TPen& PrinterMarginPen() const { return FPrinterMarginPen; }
  void SetPrinterMarginPen(const TPen& value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  bool GetShowPrinterMargins() const { return FShowPrinterMargins; }
  void SetShowPrinterMargins(bool value);
  bool GetClipMargins() const { return FClipMargins; }
  void SetClipMargins(bool value);
  bool GetUsePrinterMargins() const { return FUsePrinterMargins; }
  void SetUsePrinterMargins(bool value);
  TVuPrinter* Printer() const { return FPrinter; }
  // True when a printer is installed and selected, so that its margins can be read.
  bool PrinterAvailable() const;

  // Left, Top, Right, Bottom in inches.
  TVuRect GetAsInches() const;
  // Sets Left, Top, Right and Bottom in that order.
  void SetAsInches(const TVuRect& rect);
  // The printer's unprintable margins for the orientation, in measurement; zero without a
  // printer.
  TVuRect GetPrinterMargins(TVuMeasurement measurement, TVuOrientation orientation) const;
  // The margin rectangle in pixels of a page of paperSize inches at ppi.
  TRect MarginRect(const TVuSize& paperSize, int ppi) const;

  // With ClipMargins the margin rectangle (corners included) becomes the clip region; with
  // UsePrinterMargins the margins first take the printer's unprintable margins.
  void Clip(const TVuSize& paperSize, TVuOrientation orientation, int ppi, TCanvas& canvas);
  // The margin frame, and the frame of the printer's unprintable margins, when Visible.
  void Draw(const TVuSize& paperSize, TVuOrientation orientation, int ppi, TCanvas& canvas);
  // ---- page files: a value list with "MV" and "CLM", then the margin pen.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

  void Changed();
  TVuNotifyHook OnChange;

 private:
  void TakePrinterMargins(TVuOrientation orientation);
  TVuPrinter* FPrinter;
  std::unique_ptr<TVuValue> FLeft, FTop, FRight, FBottom;
  std::unique_ptr<TVuMarginValues> FValues;
  TPen FPen;
  TPen FPrinterMarginPen;
  bool FVisible = false;
  bool FShowPrinterMargins = false;
  bool FClipMargins = false;
  bool FUsePrinterMargins = false;
};

// The drop shadow along the right and bottom edges of a shown page.
class TVuShadow : public TPersistent {
 public:
  TVuShadow() = default;
  QString ClassName() const override { return QStringLiteral("TVuShadow"); }
  // From another shadow: colour, width and visibility, then OnChange.
  void Assign(const TPersistent* source) override;
  TColor GetColor() const { return FColor; }
  void SetColor(TColor value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);
  // pageRect: the page in device pixels relative to the page's top-left corner. Removes the
  // clipping and leaves the canvas mapped one unit per device pixel, origin at the page.
  void Draw(TCanvas& canvas, const TRect& pageRect);

  TVuNotifyHook OnChange;

 private:
  TColor FColor = clBlack;
  int FWidth = 3;
  bool FVisible = true;
};

enum TVuGridStyle { vuNoGrid, vuDots, vuLines };

// A 10 mm grid over the page, in lines or dots. Assigning a grid is refused.
class TVuPageGrid : public TPersistent {
 public:
  TVuPageGrid();
  ~TVuPageGrid() override;
  QString ClassName() const override { return QStringLiteral("TVuPageGrid"); }
  TVuGridStyle GetGridStyle() const { return FGridStyle; }
  void SetGridStyle(TVuGridStyle value);
  const TPen& GridPen() const { return FGridPen; }
  void SetGridPen(const TPen& value);
  // Always 10 mm.
  const TVuValue& Spacing() const { return *FSpacing; }
  void DrawToCanvas(TCanvas& canvas, const TVuSize& paperSize, int ppi);

  TVuNotifyHook OnChange;

 private:
  TVuGridStyle FGridStyle = vuNoGrid;
  TPen FGridPen;
  std::unique_ptr<TVuValue> FSpacing;
};

// ---------------------------------------------------------------------------------------
// Header and footer

enum TVuCaptionAlign { vuLeft, vuCenter, vuRight };

class TVuHeaderFooter;

// One of the three captions of a header or footer; the page tokens are expanded per page.
class TVuHeaderFooterCaption : public TPersistent {
 public:
  TVuHeaderFooterCaption(TVuHeaderFooter* owner, TNotifyEvent onChange);
  QString ClassName() const override { return QStringLiteral("TVuHeaderFooterCaption"); }
  // From another caption: text and font; notifies.
  void Assign(const TPersistent* source) override;
  const QString& GetCaption() const { return FCaption; }
  void SetCaption(const QString& value);
  // Arial 12 points at first.
  const TFont& Font() const { return FFont; }
  // Copies the font and notifies.
  void SetFont(const TFont& value);
  TVuHeaderFooter* Owner() const { return FOwner; }
  // ---- page files: a value list with "T", then the font record.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);
  // Writes the caption into rect (device pixels): standing on the rectangle's bottom in a
  // header, hanging from its top in a footer. ppiY is not used: the horizontal resolution
  // sizes the text.
  void DrawToCanvas(TCanvas& canvas, const TRect& rect, int ppiX, int ppiY, TVuCaptionAlign align,
                    int page, int numPages);

  TVuNotifyHook OnChange;

 private:
  void Changed();
  TVuHeaderFooter* FOwner;
  QString FCaption;
  TFont FFont;
};

class TVuHeaderFooter : public TPersistent {
 public:
  explicit TVuHeaderFooter(TNotifyEvent onChange = {});
  ~TVuHeaderFooter() override;
  TVuHeaderFooter(const TVuHeaderFooter&) = delete;
  TVuHeaderFooter& operator=(const TVuHeaderFooter&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuHeaderFooter"); }
  // From another header or footer: only the three captions (text and font).
  void Assign(const TPersistent* source) override;

  TVuHeaderFooterCaption& CaptionLeft() const { return *FCaptions[0]; }
  TVuHeaderFooterCaption& CaptionCenter() const { return *FCaptions[1]; }
  TVuHeaderFooterCaption& CaptionRight() const { return *FCaptions[2]; }
  // Index 0 left, 1 centre, 2 right; a list index error otherwise.
  TVuHeaderFooterCaption& GetCaptionIndex(int index) const;
  void SetCaptionIndex(int index, const TVuHeaderFooterCaption& caption);

  // The stored height, or with 0 the height of the largest caption font.
  Extended GetHeight(TVuMeasurement measurement) const;
  // 0 returns to automatic height.
  void SetHeight(TVuMeasurement measurement, Extended value);
  TVuValue& Height() const { return *FHeight; }
  // The caption font of the greatest point size; ties go to left, then centre.
  const TFont& GetLargestFont() const;
  const TPen& Pen() const { return FPen; }
  // Copies the pen; reports nothing.
  void SetPen(const TPen& value) { FPen = value; }
  bool GetShowLine() const { return FShowLine; }
  void SetShowLine(bool value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool value);

  // True for a header: captions stand on the band's bottom edge and the separator line
  // runs along it; a footer hangs its captions from its top edge.
  virtual bool IsHeader() const = 0;
  // The band of a page of pageSize inches, in pixels at ppiX by ppiY.
  TRect BandRect(const TVuMargins& margins, const TVuSize& pageSize, int ppiX, int ppiY) const;
  // Nothing unless Visible: the captions, then the separator line.
  virtual void DrawToCanvas(TCanvas& canvas, const TVuMargins& margins, const TVuSize& pageSize,
                            int ppiX, int ppiY, int page, int numPages);
  // ---- page files: the three captions, a value list with "VS", "SL", "HT", the line pen.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

  void Changed();
  TVuNotifyHook OnChange;

 private:
  std::unique_ptr<TVuHeaderFooterCaption> FCaptions[3];
  std::unique_ptr<TVuValue> FHeight;
  TPen FPen;
  bool FShowLine = true;
  bool FVisible = false;
};

class TVuHeader : public TVuHeaderFooter {
 public:
  using TVuHeaderFooter::TVuHeaderFooter;
  QString ClassName() const override { return QStringLiteral("TVuHeader"); }
  bool IsHeader() const override { return true; }
};

class TVuFooter : public TVuHeaderFooter {
 public:
  using TVuHeaderFooter::TVuHeaderFooter;
  QString ClassName() const override { return QStringLiteral("TVuFooter"); }
  bool IsHeader() const override { return false; }
};

// ---------------------------------------------------------------------------------------
// Pages and page list

// The origin recorded positions are measured from.
enum TVuCoordsRelative { vuFromPage, vuFromPrinterMargins, vuFromUserMargins, vuFromHeaderLine };

// One recorded page: its objects in drawing order, its size and orientation.
class TVuPage : public TPersistent {
 public:
  explicit TVuPage(TVuPageList* owner);
  ~TVuPage() override;
  TVuPage(const TVuPage&) = delete;
  TVuPage& operator=(const TVuPage&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuPage"); }

  // Appends the object (the page owns it from now on) and fires Changed; returns it.
  TVuBaseObject* AddObject(std::unique_ptr<TVuBaseObject> object);
  // An empty object of a kind number 0 to 19 with the list's resource table; else null.
  std::unique_ptr<TVuBaseObject> CreateVuObject(int typeNumber) const;
  int Count() const { return FObjects.Count(); }
  // A list index error outside 0..Count-1.
  TVuBaseObject* VuObject(int index) const { return FObjects.GetObject(index); }
  // Changes made straight through the list (deleting, moving, changing an object's
  // coordinates) must be followed by Changed, so that the kept hit-test boxes are dropped.
  TVuBaseObjectList& Objects() { return FObjects; }
  const TVuBaseObjectList& Objects() const { return FObjects; }
  // 1-based position in the owner list; 0 without an owner (or not in it).
  int GetPageNum() const;
  TVuPageList* Owner() const { return FOwner; }

  TVuSize GetPageSize(TVuMeasurement measurement) const;
  // Inches; fires Changed.
  void SetPageSize(Extended width, Extended height);
  TVuOrientation GetOrientation() const { return FOrientation; }
  // Re-orders the two dimensions for the orientation, stores it and fires
  // OnOrientationChange, also when nothing changed.
  void SetOrientation(TVuOrientation value);
  bool GetShowHeader() const { return FShowHeader; }
  void SetShowHeader(bool value);
  bool GetShowFooter() const { return FShowFooter; }
  void SetShowFooter(bool value);

  void Clear();
  // Frees the object if the page holds it; fires Changed either way.
  void DeleteVuObject(TVuBaseObject* object);
  // Nothing on an empty page.
  void DeleteLastVuObject();
  // Moves an object of this page in the drawing order and fires Changed; an object not on
  // the page is left alone.
  void ChangeObjectLevel(TVuBaseObject* object, TVuArrangeObject arrange);

  // The topmost visible object whose bounding box at 600 ppi holds the point. Boxes are
  // kept from one hit test to the next until the page changes.
  bool ObjectAtPos(Extended x, Extended y, TVuMeasurement measurement, TVuBaseObject*& object);
  // Forgets the kept bounding boxes; for callers that change an object behind the page's
  // back (offsets and coordinate setters do not notify).
  void InvalidateBounds() { FBounds.clear(); }

  // The objects, then the list's header and footer (where shown), on a canvas prepared so
  // that one logical unit is one pixel at ppiX by ppiY with the page corner at (0, 0).
  void DrawToCanvas(TCanvas& canvas, int ppiX, int ppiY, bool isThumbnail);
  // ---- page files: the page's value list, then its objects in drawing order. An object of
  // an unknown kind is skipped with its value list.
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

  void Changed();
  TVuNotifyHook OnChange;
  TVuNotifyHook OnOrientationChange;
  // Counts the changes the page has reported, so that a kept picture of it (a thumbnail's)
  // can tell whether it is still current.
  unsigned ChangeCount() const { return FChangeCount; }

 private:
  void ObjectsChanged();
  void Notify();
  friend class TVuPageList;
  // Tells the recording canvas that the page's objects are about to be freed.
  void ForgetObjects();
  TVuPageList* FOwner;
  TVuBaseObjectList FObjects;
  TVuOrientation FOrientation = vuPortrait;
  Extended FPageWidth = 8.26L;
  Extended FPageHeight = 11.69L;
  bool FShowHeader = true;
  bool FShowFooter = true;
  bool FAddingObject = false;
  unsigned FChangeCount = 0;
  // Bounding boxes in 600-ppi pixels by object; an object without an entry is measured at
  // the next hit test.
  struct TBounds {
    TRect Rect;
    bool Visible = false;
  };
  std::unordered_map<const TVuBaseObject*, TBounds> FBounds;
};

class TVuPageList : public TPersistent {
 public:
  // The printer is not owned when given; without one the list makes and owns its own.
  explicit TVuPageList(TVuPrinter* printer = nullptr);
  ~TVuPageList() override;
  TVuPageList(const TVuPageList&) = delete;
  TVuPageList& operator=(const TVuPageList&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuPageList"); }

  int Count() const { return int(FPages.size()); }
  TVuPage* AddPage() { return InsertPage(-1); }
  // position -1 appends, else 0..Count; a list index error outside. The last page becomes
  // the current page.
  TVuPage* InsertPage(int position);
  // 0-based; out-of-range positions are ignored. An emptied list gets one fresh page.
  void DeletePage(int position);
  void ClearPages(bool noNewPage, bool clearResources);
  // Page number 1..Count; a list index error outside.
  TVuPage* Page(int number) const;
  // Replaces (and frees) the page at that number.
  void SetPage(int number, std::unique_ptr<TVuPage> page);
  int IndexOf(const TVuPage* page) const;

  int CurrentPage() const { return FCurrentPage; }
  // A number equal to the current one or outside 1..Count is ignored.
  void SetCurrentPage(int number);
  // The current page, or null on an empty list.
  TVuPage* Current() const;
  TVuOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TVuOrientation value);
  TVuPaperSize PaperSize() const { return FPaperSize; }
  void SetPaperSize(TVuPaperSize value);
  // The size given to new pages.
  TVuSize GetPageSize(TVuMeasurement measurement) const;
  // A custom size for every page.
  void SetPageSize(Extended width, Extended height, TVuMeasurement measurement);
  // Paper size and orientation of the printer.
  void UsePrinterPageSize();
  void InitPaperSize();
  TVuPagesPerSheet PagesPerSheet() const { return FPagesPerSheet; }
  void SetPagesPerSheet(TVuPagesPerSheet value) { FPagesPerSheet = value; }

  // Shifts the object as coordsRelative says, appends it to the current page and returns it.
  TVuBaseObject* AddObject(std::unique_ptr<TVuBaseObject> object, TVuCoordsRelative coordsRelative);
  // The change-level hook of visible objects: moves the object on the current page.
  void ChangeObjectLevel(TPersistent* object, TVuArrangeObject arrange);
  // Appends the text and text-box objects of every page, in order, whose text contains
  // text; results is not cleared.
  void FindText(const QString& text, bool matchCase, std::vector<TVuBaseTextObject*>& results) const;

  // Rectangles of the current page in inches, in one shared result object.
  TVuValueRect& HeaderRect();
  TVuValueRect& FooterRect();
  TVuValueRect& AvailablePageRect();

  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return FUpdates.Updating(); }

  // A metafile of the page at the printer's resolution; the caller owns it.
  std::unique_ptr<TMetafile> PrintPageToMetafile(int number);

  // Printing: one job on the printer with the list's paper size and pages per sheet, each
  // page drawn from the paper corner at the printer's resolution, clipped to the margins
  // when they clip, and the sheets started in the orientation of their pages. Print prints
  // every page; PrintRange(from, to) from..to, descending when from > to; PrintPages the
  // listed page numbers in list order. An empty list prints nothing. A page number outside
  // 1..Count raises the list index error after the job is aborted, so nothing half-done
  // reaches the spooler. OnPrintProgress may abort the job through the printer's Abort.
  void Print();
  void PrintRange(int from, int to);
  void PrintPages(std::span<const int> pages);
  void DoPrintProgress(int current, int total);
  // The same job into a PDF file, at the printer's geometry, written in one piece: a file
  // that cannot be written raises the file-creation error and leaves no file.
  void PrintToFile(const QString& fileName);

  TVuCanvas& Canvas() const { return *FCanvas; }
  TVuHeader& Header() const { return *FHeader; }
  TVuFooter& Footer() const { return *FFooter; }
  TVuMargins& Margins() const { return *FMargins; }
  TVuPrinter& VuPrinter() const { return *FPrinter; }
  TVuResourceTable& ResourceTable() const { return *FResourceTable; }

  // The relays that fire the hooks.
  void PageChanged(TPersistent* sender);
  void PageCountChanged();
  void PageMarginsChanged(TPersistent* sender);
  void HeaderFooterChanged(TPersistent* sender);
  QWidget* NeedRichEdit();

  // Silent while updating.
  TVuNotifyHook OnPageContentChanged;
  TVuNotifyHook OnPageCountChanged;
  TVuNotifyHook OnMarginsChanged;
  TVuNotifyHook OnHeaderFooterChanged;
  // Always fired.
  TVuNotifyHook OnPageNumChanged;
  TVuNotifyHook OnOrientationChanged;
  TVuNotifyHook OnPaperSizeChanged;
  TVuNotifyHook OnNewPage;
  TVuNotifyHook OnClear;
  // After every printed page.
  TVuPrintProgressEvent OnPrintProgress;
  // Supplies a rich-text editor control when the resource table needs one.
  std::function<QWidget*(TPersistent* sender)> OnNeedRichEdit;

 private:
  // The printer's unprintable margins for the orientation, zero without a printer.
  TVuRect PrinterGutters(TVuOrientation orientation) const;
  void SetAllPageSizes();

  std::unique_ptr<TVuResourceTable> FResourceTable;
  std::unique_ptr<TVuCanvas> FCanvas;
  std::unique_ptr<TVuFooter> FFooter;
  std::unique_ptr<TVuHeader> FHeader;
  std::unique_ptr<TVuPrinter> FOwnedPrinter;
  TVuPrinter* FPrinter = nullptr;
  std::unique_ptr<TVuMargins> FMargins;
  std::unique_ptr<TVuValueRect> FRectResult;
  std::vector<std::unique_ptr<TVuPage>> FPages;
  int FCurrentPage = 1;
  TVuOrientation FOrientation = vuPortrait;
  TVuPaperSize FPaperSize = A4;
  TVuPagesPerSheet FPagesPerSheet = vuOnePage;
  Extended FPageWidth = 0;
  Extended FPageHeight = 0;
  TVuUpdateCount FUpdates;

  // ---- page files (VupagelistStream.cpp)
 public:
  // The file header, the resource table, header, footer, margins and every page.
  void SaveToStream(QIODevice& stream) const;
  // Reads the whole document into a fresh list and takes it over only once all of it has
  // been read, so a damaged stream raises its error and leaves this list as it was. False
  // when OnBeforeLoad refused the file; nothing has changed then either.
  bool LoadFromStream(QIODevice& stream);
  // Asked after the file header is read, with LoadFile preset to true.
  std::function<void(TPersistent* sender, Extended fileVersion, bool& loadFile)> OnBeforeLoad;

 private:
  void ReadDocument(QIODevice& stream, const TVuValueList& fileHeader);
  void TakeDocument(TVuPageList& loaded);
};
