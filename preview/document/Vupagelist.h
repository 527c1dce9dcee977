// The document of the page engine: a list of recorded pages that share one resource table,
// one recording canvas, one header and footer (VupagelistHeaderFooter.h), one set of margins
// (VupagelistMargins.h) and one printer, with the paper size, the orientation and the
// current page.
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
#include "preview/document/VupagelistHeaderFooter.h"
#include "preview/document/VupagelistMargins.h"

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
  // The page's place in its owner's list when last looked up (see TVuPageList::IndexOf).
  mutable int FIndexHint = -1;
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
  // PrintPages into that PDF file, or to the spooler when outputFile is empty.
  void PrintPagesTo(std::span<const int> pages, const QString& outputFile);
  // The steps of a job, for jobs fed a few pages at a time (TVuPageStreamJob): starts the
  // printer's job with the list's paper and pages per sheet (false when none started);
  // draws one page, clipped as PrintPages clips it, on the job's current page.
  bool BeginPrintJob(TVuOrientation firstOrientation, const QString& outputFile);
  void PrintPageOnJob(TVuPage& page);

  // Page numbers for a document whose pages are printed and let go a sheet at a time
  // (TVuPageStreamJob): its pages are drawn as pages pagesBefore + 1, ... of pagesInAll
  // (0: as many as are known so far). pagesBefore -1 numbers the pages as they stand.
  void SetPageNumbering(int pagesBefore, int pagesInAll) {
    FPagesBefore = pagesBefore;
    FPagesInAll = pagesInAll;
  }

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

  // ---- page files
  // The file header, the resource table, header, footer, margins and every page.
  void SaveToStream(QIODevice& stream) const;
  // Its sections for files written a part at a time: the file header with the given page
  // count; the header, footer and margins.
  void SaveFileHeaderToStream(QIODevice& stream, int numPages) const;
  void SaveSettingsToStream(QIODevice& stream) const;
  // Reads the whole document into a fresh list and takes it over only once all of it has
  // been read, so a damaged stream raises its error and leaves this list as it was. False
  // when OnBeforeLoad refused the file; nothing has changed then either.
  bool LoadFromStream(QIODevice& stream);
  // Writes the document to a new file beside fileName and renames it over fileName, so a
  // failed save leaves any existing file as it was; raises the file's error.
  void SaveToFile(const QString& fileName) const;
  // Reads the whole file, then LoadFromStream; raises the file's or the stream's error.
  bool LoadFromFile(const QString& fileName);
  // Prints a page file from the stream into that PDF file (empty: to the spooler) without
  // holding its pages: the file's settings and resources replace the list's, then its pages
  // are read and printed a sheet at a time (TVuPageStreamJob). Returns the pages printed;
  // a damaged stream raises its error and the job is aborted, leaving no file.
  int PrintFromStream(QIODevice& stream, const QString& outputFile);
  // Asked after the file header is read, with LoadFile preset to true.
  std::function<void(TPersistent* sender, Extended fileVersion, bool& loadFile)> OnBeforeLoad;

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
  // Read by TVuPage::DrawToCanvas.
  friend class TVuPage;
  int FPagesBefore = -1;
  int FPagesInAll = 0;

  void ReadDocument(QIODevice& stream, const TVuValueList& fileHeader);
  void TakeDocument(TVuPageList& loaded);
};

