// Pages and the page list: inserting, deleting and clearing pages, the current page, paper
// size and orientation, recording objects into the current page, hit tests and text search,
// and the notifications the preview turns into repaints.
#include <algorithm>
#include "platform/Errors.h"
#include "platform/Finally.h"
#include "preview/document/Vucanvas.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vupagelist.h"

namespace {

// The resolution of hit tests.
constexpr int kHitPpi = 600;


bool IsAscii(QStringView text) {
  for (QChar c : text)
    if (c.unicode() >= 0x80) return false;
  return true;
}

// Whether caption holds wanted (already lowered) once both are lowered. Between two ASCII
// texts Qt's case-insensitive search is exactly that and needs no lowered copy.
bool ContainsLowered(const QString& caption, const QString& wanted, bool wantedAscii) {
  if (wantedAscii && IsAscii(caption)) return caption.contains(wanted, Qt::CaseInsensitive);
  return caption.toLower().contains(wanted);
}

}  // namespace

// ---- page -------------------------------------------------------------------------------

TVuPage::TVuPage(TVuPageList* owner) : FOwner(owner) {
  FObjects.OnChange = [this](TVuBaseObjectList*) { ObjectsChanged(); };
}

TVuPage::~TVuPage() {
  FObjects.OnChange = nullptr;
  FObjects.Clear();
}

void TVuPage::Notify() {
  ++FChangeCount;
  OnChange(this);
}

void TVuPage::Changed() {
  InvalidateBounds();
  Notify();
}

void TVuPage::ObjectsChanged() {
  // An object reported a change of its own: its box may have changed.
  if (FAddingObject) return;
  Changed();
}

TVuBaseObject* TVuPage::AddObject(std::unique_ptr<TVuBaseObject> object) {
  if (!object) return nullptr;
  TVuBaseObject* raw = object.get();
  FAddingObject = true;
  FObjects.AddObject(std::move(object));
  FAddingObject = false;
  FBounds.erase(raw);  // measured at the next hit test
  Notify();
  return raw;
}

std::unique_ptr<TVuBaseObject> TVuPage::CreateVuObject(int typeNumber) const {
  return ::CreateVuObject(typeNumber, FOwner ? &FOwner->ResourceTable() : nullptr);
}

int TVuPage::GetPageNum() const { return FOwner ? FOwner->IndexOf(this) + 1 : 0; }

TVuSize TVuPage::GetPageSize(TVuMeasurement measurement) const {
  return VuSize(ConvertValue(FPageWidth, vuInches, measurement), ConvertValue(FPageHeight, vuInches, measurement));
}

void TVuPage::SetPageSize(Extended width, Extended height) {
  FPageWidth = width;
  FPageHeight = height;
  Notify();
}

void TVuPage::SetOrientation(TVuOrientation value) {
  const Extended small = std::min(FPageWidth, FPageHeight), large = std::max(FPageWidth, FPageHeight);
  FPageWidth = value == vuPortrait ? small : large;
  FPageHeight = value == vuPortrait ? large : small;
  FOrientation = value;
  ++FChangeCount;
  OnOrientationChange(this);
}

void TVuPage::SetShowHeader(bool value) {
  if (value == FShowHeader) return;
  FShowHeader = value;
  Notify();
}

void TVuPage::SetShowFooter(bool value) {
  if (value == FShowFooter) return;
  FShowFooter = value;
  Notify();
}

void TVuPage::ForgetObjects() {
  if (!FOwner) return;
  TVuCanvas& canvas = FOwner->Canvas();
  if (FObjects.IndexOf(canvas.LastObject()) >= 0) canvas.ForgetObject(canvas.LastObject());
}

void TVuPage::Clear() {
  ForgetObjects();
  FObjects.Clear();
  FBounds.clear();
  Notify();
}

void TVuPage::DeleteVuObject(TVuBaseObject* object) {
  const int index = FObjects.IndexOf(object);
  if (index >= 0) {
    if (FOwner) FOwner->Canvas().ForgetObject(object);
    FBounds.erase(object);
    FObjects.Delete(index);
  }
  Notify();
}

void TVuPage::DeleteLastVuObject() {
  if (Count() == 0) return;
  DeleteVuObject(VuObject(Count() - 1));
}

void TVuPage::ChangeObjectLevel(TVuBaseObject* object, TVuArrangeObject arrange) {
  const int index = FObjects.IndexOf(object);
  if (index < 0) return;
  const int last = Count() - 1;
  int target = index;
  switch (arrange) {
    case vuToFront: target = last; break;
    case vuForward: target = std::min(index + 1, last); break;
    case vuBackword: target = std::max(index - 1, 0); break;
    case vuToBack: target = 0; break;
  }
  FObjects.Move(index, target);
  // Boxes are kept by object, so a new drawing order leaves them valid.
  Notify();
}

bool TVuPage::ObjectAtPos(Extended x, Extended y, TVuMeasurement measurement, TVuBaseObject*& object) {
  object = nullptr;
  const int px = VuRound(kHitPpi * ConvertValue(x, measurement, vuInches));
  const int py = VuRound(kHitPpi * ConvertValue(y, measurement, vuInches));
  TVuObjectDrawData d;
  d.PpiX = d.PpiY = kHitPpi;
  bool dataReady = false;
  const int count = Count();
  if (FBounds.empty()) FBounds.reserve(size_t(count));
  for (int i = 0; i < count; ++i) {
    TVuBaseObject* candidate = FObjects.GetObject(i);
    auto [it, added] = FBounds.try_emplace(candidate);
    if (added) {
      it->second.Visible = candidate->IsVisibleObject();
      if (it->second.Visible) {
        if (!dataReady) {
          d.PageNum = GetPageNum();
          d.NumPages = FOwner ? FOwner->Count() : 1;
          dataReady = true;
        }
        TRect r = VuRectPointsToRect(static_cast<TVuVisibleObject*>(candidate)->BoundingRect(d));
        // A box recorded right to left or bottom to top still covers its area.
        if (r.Right < r.Left) std::swap(r.Left, r.Right);
        if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
        it->second.Rect = r;
      }
    }
    const TBounds& b = it->second;
    if (b.Visible && px >= b.Rect.Left && px < b.Rect.Right && py >= b.Rect.Top && py < b.Rect.Bottom)
      object = candidate;
  }
  return object != nullptr;
}

void TVuPage::DrawToCanvas(TCanvas& canvas, int ppiX, int ppiY, bool isThumbnail) {
  TVuObjectDrawData d;
  d.PageNum = GetPageNum();
  d.PpiX = ppiX;
  d.PpiY = ppiY;
  d.NumPages = FOwner ? FOwner->Count() : 1;
  if (FOwner && FOwner->FPagesBefore >= 0) {
    // A page of a document printed a sheet at a time: numbered within the whole document.
    d.PageNum += FOwner->FPagesBefore;
    d.NumPages = std::max(FOwner->FPagesInAll, d.PageNum + FOwner->Count() - GetPageNum());
  }
  d.IsThumbnail = isThumbnail;
  const int count = Count();
  for (int i = 0; i < count; ++i) FObjects.GetObject(i)->Draw(canvas, d);
  if (!FOwner) return;
  const TVuSize size = GetPageSize(vuInches);
  if (FShowHeader) FOwner->Header().DrawToCanvas(canvas, FOwner->Margins(), size, ppiX, ppiY, d.PageNum, d.NumPages);
  if (FShowFooter) FOwner->Footer().DrawToCanvas(canvas, FOwner->Margins(), size, ppiX, ppiY, d.PageNum, d.NumPages);
}

// ---- page list --------------------------------------------------------------------------

TVuPageList::TVuPageList(TVuPrinter* printer) {
  FResourceTable = std::make_unique<TVuResourceTable>();
  FCanvas = std::make_unique<TVuCanvas>(this);
  const TNotifyEvent headerFooterChanged = [this](TPersistent* sender) { HeaderFooterChanged(sender); };
  FFooter = std::make_unique<TVuFooter>(headerFooterChanged);
  FHeader = std::make_unique<TVuHeader>(headerFooterChanged);
  if (!printer) {
    FOwnedPrinter = std::make_unique<TVuPrinter>();
    printer = FOwnedPrinter.get();
  }
  FPrinter = printer;
  FMargins = std::make_unique<TVuMargins>(FPrinter);
  FRectResult = std::make_unique<TVuValueRect>();
  FPaperSize = A4;
  FOrientation = vuPortrait;
  FPagesPerSheet = vuOnePage;
  InitPaperSize();
  FResourceTable->Memos().OnNeedRichEdit = [this](TVuCustomMemoList*) { return NeedRichEdit(); };
  FMargins->OnChange = [this](TPersistent* sender) { PageMarginsChanged(sender); };
}

TVuPageList::~TVuPageList() {
  FCanvas->ForgetObject(FCanvas->LastObject());
  FPages.clear();
  FResourceTable->Memos().OnNeedRichEdit = nullptr;
}

int TVuPageList::IndexOf(const TVuPage* page) const {
  // Every drawn page asks for its number: the place found last time is tried first, so that
  // numbering the pages of a long document stays linear.
  if (page && page->FIndexHint >= 0 && size_t(page->FIndexHint) < FPages.size() &&
      FPages[size_t(page->FIndexHint)].get() == page)
    return page->FIndexHint;
  for (size_t i = 0; i < FPages.size(); ++i)
    if (FPages[i].get() == page) {
      page->FIndexHint = int(i);
      return int(i);
    }
  return -1;
}

TVuPage* TVuPageList::InsertPage(int position) {
  if (position < -1 || position > Count()) RaiseListIndexError(position);
  auto page = std::make_unique<TVuPage>(this);
  page->SetOrientation(FOrientation);
  InitPaperSize();
  page->SetPageSize(FPageWidth, FPageHeight);
  page->OnChange = [this](TPersistent* sender) { PageChanged(sender); };
  page->OnOrientationChange = [this](TPersistent* sender) { PageChanged(sender); };
  TVuPage* raw = page.get();
  if (position == -1) FPages.push_back(std::move(page));
  else FPages.insert(FPages.begin() + position, std::move(page));
  PageCountChanged();
  PageChanged(raw);
  // The last page becomes current, wherever the new one went.
  SetCurrentPage(Count());
  OnNewPage(this);
  return raw;
}

void TVuPageList::DeletePage(int position) {
  if (position < 0 || position >= Count()) return;
  FPages[size_t(position)]->ForgetObjects();
  FPages.erase(FPages.begin() + position);
  if (FCurrentPage > Count()) FCurrentPage = Count();
  if (Count() == 0) {
    FCurrentPage = 1;
    AddPage();
  }
  PageCountChanged();
  PageChanged(this);
}

void TVuPageList::ClearPages(bool noNewPage, bool clearResources) {
  FCanvas->ForgetObject(FCanvas->LastObject());
  FPages.clear();
  if (clearResources) FResourceTable->Clear();
  if (!noNewPage) {
    FCurrentPage = 1;
    AddPage();
  }
  OnClear(this);
}

TVuPage* TVuPageList::Page(int number) const {
  if (number < 1 || number > Count()) RaiseListIndexError(number - 1);
  return FPages[size_t(number - 1)].get();
}

void TVuPageList::SetPage(int number, std::unique_ptr<TVuPage> page) {
  if (number < 1 || number > Count()) RaiseListIndexError(number - 1);
  if (!page) return;
  FPages[size_t(number - 1)]->ForgetObjects();
  page->OnChange = [this](TPersistent* sender) { PageChanged(sender); };
  page->OnOrientationChange = [this](TPersistent* sender) { PageChanged(sender); };
  TVuPage* raw = page.get();
  FPages[size_t(number - 1)] = std::move(page);
  PageChanged(raw);
}

void TVuPageList::SetCurrentPage(int number) {
  if (number == FCurrentPage || number < 1 || number > Count()) return;
  FCurrentPage = number;
  OnPageNumChanged(this);
}

TVuPage* TVuPageList::Current() const {
  if (FCurrentPage < 1 || FCurrentPage > Count()) return nullptr;
  return FPages[size_t(FCurrentPage - 1)].get();
}

void TVuPageList::SetOrientation(TVuOrientation value) {
  BeginUpdate();
  TryFinally(
      [&] {
        for (auto& page : FPages) page->SetOrientation(value);
      },
      [&] {
        FOrientation = value;
        if (Count() > 0) {
          const TVuSize size = FPages.front()->GetPageSize(vuInches);
          FPageWidth = size.Width;
          FPageHeight = size.Height;
        } else {
          // No page to take the size from: the list's own size turns like a page's.
          const Extended small = std::min(FPageWidth, FPageHeight), large = std::max(FPageWidth, FPageHeight);
          FPageWidth = value == vuPortrait ? small : large;
          FPageHeight = value == vuPortrait ? large : small;
        }
        EndUpdate();
        OnOrientationChanged(this);
      });
}

void TVuPageList::SetAllPageSizes() {
  for (auto& page : FPages) page->SetPageSize(FPageWidth, FPageHeight);
}

void TVuPageList::SetPaperSize(TVuPaperSize value) {
  if (value == FPaperSize) return;
  BeginUpdate();
  TryFinally(
      [&] {
        FPaperSize = value;
        InitPaperSize();
        SetAllPageSizes();
      },
      [&] { EndUpdate(); });
  OnPaperSizeChanged(this);
}

void TVuPageList::InitPaperSize() {
  if (FPaperSize == Custom) return;
  const TVuSize size = GetPaperSizeInch(FPaperSize);
  FPageWidth = FOrientation == vuLandscape ? size.Height : size.Width;
  FPageHeight = FOrientation == vuLandscape ? size.Width : size.Height;
}

TVuSize TVuPageList::GetPageSize(TVuMeasurement measurement) const {
  return VuSize(ConvertValue(FPageWidth, vuInches, measurement), ConvertValue(FPageHeight, vuInches, measurement));
}

void TVuPageList::SetPageSize(Extended width, Extended height, TVuMeasurement measurement) {
  FPageWidth = ConvertValue(width, measurement, vuInches);
  FPageHeight = ConvertValue(height, measurement, vuInches);
  FPaperSize = Custom;
  SetAllPageSizes();
  OnPaperSizeChanged(this);
}

void TVuPageList::UsePrinterPageSize() {
  BeginUpdate();
  TryFinally(
      [&] {
        SetPaperSize(FPrinter->GetPaperSize());
        if (FPaperSize == Custom) {
          const TVuSize size = FPrinter->GetPaperDimensions(vuInches);
          SetPageSize(size.Width, size.Height, vuInches);
        }
        SetOrientation(FPrinter->GetOrientation());
      },
      [&] { EndUpdate(); });
}

TVuRect TVuPageList::PrinterGutters(TVuOrientation orientation) const {
  return FPrinter->PrinterInfo()->GuttersInch(orientation);
}

TVuBaseObject* TVuPageList::AddObject(std::unique_ptr<TVuBaseObject> object, TVuCoordsRelative coordsRelative) {
  if (!object) return nullptr;
  TVuPage* page = Current();
  if (!page) RaiseListIndexError(FCurrentPage - 1);  // an empty list has no page to record on
  Extended dx = 0, dy = 0;
  switch (coordsRelative) {
    case vuFromPage: break;
    case vuFromPrinterMargins: {
      const TVuRect g = PrinterGutters(FOrientation);
      dx = g.Left;
      dy = g.Top;
      break;
    }
    case vuFromUserMargins:
      dx = FMargins->Left().Inches();
      dy = FMargins->Top().Inches();
      break;
    case vuFromHeaderLine:
      dx = FMargins->Left().Inches();
      dy = FMargins->Top().Inches() + FHeader->GetHeight(vuInches);
      break;
  }
  if (dx != 0 || dy != 0) object->OffsetObject(dx, dy, vuInches);
  if (object->IsVisibleObject())
    static_cast<TVuVisibleObject*>(object.get())->OnChangeLevel = [this](TPersistent* sender, TVuArrangeObject arrange) {
      ChangeObjectLevel(sender, arrange);
    };
  return page->AddObject(std::move(object));
}

void TVuPageList::ChangeObjectLevel(TPersistent* object, TVuArrangeObject arrange) {
  if (TVuPage* page = Current()) page->ChangeObjectLevel(dynamic_cast<TVuBaseObject*>(object), arrange);
}

void TVuPageList::FindText(const QString& text, bool matchCase, std::vector<TVuBaseTextObject*>& results) const {
  const QString wanted = matchCase ? text : text.toLower();
  const bool wantedAscii = IsAscii(wanted);
  for (const auto& page : FPages) {
    const int count = page->Count();
    for (int i = 0; i < count; ++i) {
      TVuBaseObject* object = page->VuObject(i);
      const int kind = object->GetObjectID();
      if (kind != vuTextObject && kind != vuTextBoxObject) continue;
      auto* textObject = static_cast<TVuBaseTextObject*>(object);
      const QString& caption = textObject->GetCaption();
      if (matchCase ? caption.contains(wanted) : ContainsLowered(caption, wanted, wantedAscii)) results.push_back(textObject);
    }
  }
}

TVuValueRect& TVuPageList::HeaderRect() {
  const TVuSize size = Current() ? Current()->GetPageSize(vuInches) : GetPageSize(vuInches);
  const TVuRect m = FMargins->GetAsInches();
  FRectResult->SetAsInchRect(VuRect(m.Left, m.Top, size.Width - m.Right, m.Top + FHeader->GetHeight(vuInches)));
  return *FRectResult;
}

TVuValueRect& TVuPageList::FooterRect() {
  const TVuSize size = Current() ? Current()->GetPageSize(vuInches) : GetPageSize(vuInches);
  const TVuRect m = FMargins->GetAsInches();
  FRectResult->SetAsInchRect(
      VuRect(m.Left, size.Height - m.Bottom - FFooter->GetHeight(vuInches), size.Width - m.Right, size.Height - m.Bottom));
  return *FRectResult;
}

TVuValueRect& TVuPageList::AvailablePageRect() {
  TVuPage* page = Current();
  const TVuSize size = page ? page->GetPageSize(vuInches) : GetPageSize(vuInches);
  const TVuRect m = FMargins->GetUsePrinterMargins()
                        ? PrinterGutters(page ? page->GetOrientation() : FOrientation)
                        : FMargins->GetAsInches();
  const Extended hh = FHeader->GetHeight(vuInches), fh = FFooter->GetHeight(vuInches);
  FRectResult->SetAsInchRect(VuRect(m.Left, m.Top + hh, size.Width - m.Right, size.Height - (fh + m.Bottom)));
  return *FRectResult;
}

void TVuPageList::BeginUpdate() { FUpdates.Begin(); }

void TVuPageList::EndUpdate() {
  if (!FUpdates.End()) return;
  PageCountChanged();
  PageChanged(this);
}

std::unique_ptr<TMetafile> TVuPageList::PrintPageToMetafile(int number) {
  TVuPage* page = Page(number);
  TVuPrinterInfo& info = *FPrinter->PrinterInfo();
  const int ppiX = info.PpiX(), ppiY = info.PpiY();
  const TVuSize size = page->GetPageSize(vuInches);
  auto metafile = std::make_unique<TMetafile>();
  const int width = VuRound(size.Width * ppiX), height = VuRound(size.Height * ppiY);
  metafile->SetWidth(width);
  metafile->SetHeight(height);
  {
    TMetafileCanvas canvas(*metafile);
    canvas.Font().PixelsPerInch = ppiX;
    const QRegion clip(0, 0, width, height);
    canvas.SelectClipRgn(&clip);
    page->DrawToCanvas(canvas, ppiX, ppiY, false);
  }
  return metafile;
}

void TVuPageList::PageChanged(TPersistent*) { OnPageContentChanged.FireUnlessUpdating(FUpdates, this); }

void TVuPageList::PageCountChanged() { OnPageCountChanged.FireUnlessUpdating(FUpdates, this); }

void TVuPageList::PageMarginsChanged(TPersistent*) { OnMarginsChanged.FireUnlessUpdating(FUpdates, this); }

void TVuPageList::HeaderFooterChanged(TPersistent*) { OnHeaderFooterChanged.FireUnlessUpdating(FUpdates, this); }

QWidget* TVuPageList::NeedRichEdit() { return OnNeedRichEdit ? OnNeedRichEdit(this) : nullptr; }
