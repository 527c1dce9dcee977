// Preview control: construction, pages, the handlers of the page list's, printer's and paper
// image's reports, updates and the notifications to linked controls, published properties
// and the stored form of the margins.
#include "preview/view/Vupreview.h"
#include "platform/Finally.h"
#include <QCoreApplication>
#include <QScrollBar>
#include <algorithm>
#include "platform/Errors.h"
#include "platform/SysUtils.h"
#include "preview/core/Vufuncs.h"

// ---- notification event -------------------------------------------------------------------

TVuMessageEvent::TVuMessageEvent(TVuNotification msg) : QEvent(EventType()), FMsg(msg) {}

QEvent::Type TVuMessageEvent::EventType() {
  static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
  return type;
}

// ---- construction -------------------------------------------------------------------------

TVuPreview::TVuPreview(QWidget* parent) : TVuScrollingPageControl(parent) {
  FPageList = std::make_unique<TVuPageList>();
  FPaperImage = new TVuPaperImage(this);
  FPageGrid = std::make_unique<TVuPageGrid>();
  FShadow = std::make_unique<TVuShadow>();
  FSelectionPen.Width = 1;
  FSelectionPen.Color = 255;  // red
  LoadZoomCursors();
  resize(240, 300);

  // The paper image is the scroll area's only child; the preview sizes it itself.
  setWidgetResizable(false);
  setWidget(FPaperImage);
  // Windowless on the old platform: the preview's background shows around the page.
  FPaperImage->setAutoFillBackground(false);
  FPaperImage->SetShadow(FShadow.get());
  FPaperImage->SetMargins(&FPageList->Margins());
  FPaperImage->SetGrid(FPageGrid.get());
  // An arrow key moves a scroll bar 8 pixels.
  horizontalScrollBar()->setSingleStep(8);
  verticalScrollBar()->setSingleStep(8);

  FPageList->OnNeedRichEdit = [this](TPersistent* sender) { return NeedRichEdit(sender); };
  FPageList->OnNewPage = [this](TPersistent* sender) { NewPageEvents(sender); };
  FPaperImage->OnPaintPage = [this](TVuPaperImage* sender, TCanvas& canvas) { PaintPage(sender, canvas); };
  EnablePaperMouseEvents();

  FPageList->AddPage();
  FPageList->SetCurrentPage(1);
  FPaperImage->SetPage(FPageList->Page(1));

  FCanvas = &FPageList->Canvas();
  FPageList->OnPageContentChanged = [this](TPersistent* s) { DoPageContentChanged(s); };
  FPageList->OnPageCountChanged = [this](TPersistent* s) { DoPageCountChanged(s); };
  FPageList->OnPageNumChanged = [this](TPersistent* s) { DoPageNumChanged(s); };
  FPageList->OnPaperSizeChanged = [this](TPersistent* s) { DoPaperSizeChanged(s); };
  FPageList->OnOrientationChanged = [this](TPersistent* s) { DoOrientationChanged(s); };
  FPageList->OnMarginsChanged = [this](TPersistent* s) { DoMarginsChanged(s); };
  FPageList->OnHeaderFooterChanged = [this](TPersistent* s) { HeaderFooterChanged(s); };
  FPageList->OnClear = [this](TPersistent* s) { DoClear(s); };
  FPageList->OnPrintProgress = [this](TPersistent*, int printed, int total) {
    OnPrintProgress(this, printed, total);
  };
  TVuPrinter& printer = FPageList->VuPrinter();
  printer.BeforePrint = [this](TPersistent* s) { DoBeforePrint(s); };
  printer.AfterPrint = [this](TPersistent* s) { DoAfterPrint(s); };
  printer.OnAbortPrint = [this](TPersistent* s) { DoAbortPrint(s); };
  printer.OnChangePrinter = [this](TPersistent* s) { DoPrinterChanged(s); };
  FPaperImage->OnMouseEnter = [this](QObject* s) { DoMouseEnter(s); };
  FPaperImage->OnMouseLeave = [this](QObject* s) { DoMouseLeave(s); };
  UpdateScrollBars();
}

TVuPreview::~TVuPreview() {
  // The page list outlives the child widgets' destruction by the base: silence its reports
  // to a preview that is going away.
  FPageList->OnPageContentChanged = nullptr;
  FPageList->OnPageCountChanged = nullptr;
  FPageList->OnPageNumChanged = nullptr;
  FPageList->OnPaperSizeChanged = nullptr;
  FPageList->OnOrientationChanged = nullptr;
  FPageList->OnMarginsChanged = nullptr;
  FPageList->OnHeaderFooterChanged = nullptr;
  FPageList->OnClear = nullptr;
  FPageList->OnNewPage = nullptr;
  FPageList->OnNeedRichEdit = nullptr;
  TVuPrinter& printer = FPageList->VuPrinter();
  printer.BeforePrint = nullptr;
  printer.AfterPrint = nullptr;
  printer.OnAbortPrint = nullptr;
  printer.OnChangePrinter = nullptr;
  // The paper image refers to the page list's margins and pages and to the owned shadow and
  // grid: it goes first.
  delete takeWidget();
  FPaperImage = nullptr;
}

// ---- pages --------------------------------------------------------------------------------

TVuPage* TVuPreview::NewPage() { return FPageList->AddPage(); }
TVuPage* TVuPreview::InsertPage(int position) { return FPageList->InsertPage(position); }
void TVuPreview::DeletePage(int position) { FPageList->DeletePage(position); }
void TVuPreview::DeleteCurrentPage() { DeletePage(GetCurrentPageNum() - 1); }
void TVuPreview::Clear() {
  SelectVuObject(nullptr);
  FPageList->ClearPages(false, true);
}
void TVuPreview::FirstPage() { SetCurrentPageNum(1); }
void TVuPreview::PrevPage() { SetCurrentPageNum(GetCurrentPageNum() - 1); }
void TVuPreview::NextPage() { SetCurrentPageNum(GetCurrentPageNum() + 1); }
void TVuPreview::LastPage() { SetCurrentPageNum(GetNumPages()); }
int TVuPreview::GetCurrentPageNum() const { return FPageList->CurrentPage(); }
void TVuPreview::SetCurrentPageNum(int number) { FPageList->SetCurrentPage(number); }
int TVuPreview::GetNumPages() const { return FPageList->Count(); }
TVuPage* TVuPreview::GetCurrentPage() const { return FPageList->Current(); }
TVuPage* TVuPreview::GetPage(int number) const { return FPageList->Page(number); }
TVuSize TVuPreview::GetPageSize(TVuMeasurement m) const { return FPageList->GetPageSize(m); }

Extended TVuPreview::GetPageWidth(TVuMeasurement m) const {
  TVuPage* page = GetCurrentPage();
  return page ? page->GetPageSize(m).Width : 0;
}

Extended TVuPreview::GetPageHeight(TVuMeasurement m) const {
  TVuPage* page = GetCurrentPage();
  return page ? page->GetPageSize(m).Height : 0;
}

TVuValueRect& TVuPreview::HeaderRect() { return FPageList->HeaderRect(); }
TVuValueRect& TVuPreview::FooterRect() { return FPageList->FooterRect(); }
TVuValueRect& TVuPreview::GetAvailablePageRect() { return FPageList->AvailablePageRect(); }

TVuRect TVuPreview::GetAvailablePageVuRect(TVuMeasurement m) {
  return ConvertVuRect(GetAvailablePageRect().GetAsInchRect(), vuInches, m);
}

Extended TVuPreview::GetAvailablePageWidth(TVuMeasurement m) {
  const TVuRect r = GetAvailablePageVuRect(m);
  return r.Right - r.Left;
}

Extended TVuPreview::GetAvailablePageHeight(TVuMeasurement m) {
  const TVuRect r = GetAvailablePageVuRect(m);
  return r.Bottom - r.Top;
}

void TVuPreview::SetCustomPageSize(Extended width, Extended height, TVuMeasurement m) {
  FPageList->SetPageSize(width, height, m);
}

void TVuPreview::UsePrinterPageSize() { FPageList->UsePrinterPageSize(); }

void TVuPreview::PaperSizes(QStringList& strings) const {
  strings.clear();
  for (int i = 0; i < VuPaperSizeCount; ++i) strings.append(PaperSizeToStr(TVuPaperSize(i)));
}

QString TVuPreview::Tokenize(const QString& text, int page) const {
  return ::Tokenize(text, page, GetNumPages(), VuDateFormat(), VuTimeFormat());
}

QString TVuPreview::GetDateFormat() const { return VuDateFormat(); }
void TVuPreview::SetDateFormat(const QString& value) { VuDateFormat() = value; }
QString TVuPreview::GetTimeFormat() const { return VuTimeFormat(); }
void TVuPreview::SetTimeFormat(const QString& value) { VuTimeFormat() = value; }

void TVuPreview::FindText(const QString& text, bool matchCase, std::vector<TVuBaseTextObject*>& results) const {
  FPageList->FindText(text, matchCase, results);
}

TVuResourceTable& TVuPreview::ResourceTable() const { return FPageList->ResourceTable(); }
bool TVuPreview::IsUpdating() const { return FPageList->Updating(); }

void TVuPreview::Print() { PrintRange(1, GetNumPages()); }

namespace {
// Runs one print job inside the preview's update bracket. A failed job (a page outside the
// list, an unwritable file) still ends the bracket, so the preview paints again; the end is
// not left to a destructor because ending an update fires hooks that may raise.
template <class Job>
void InUpdate(TVuPreview& preview, Job job) {
  preview.BeginUpdate();
  TryFinally(job, [&] { preview.EndUpdate(); });
}
}  // namespace

void TVuPreview::PrintRange(int fromPage, int toPage) {
  InUpdate(*this, [&] { FPageList->PrintRange(fromPage, toPage); });
}

void TVuPreview::PrintToFile(const QString& fileName) {
  InUpdate(*this, [&] { FPageList->PrintToFile(fileName); });
}

void TVuPreview::PrintCurrentPage() {
  const int current = GetCurrentPageNum();
  FPageList->PrintRange(current, current);
}

std::unique_ptr<TMetafile> TVuPreview::PrintPageToMetafile(int number) {
  return FPageList->PrintPageToMetafile(number);
}

// ---- reports ------------------------------------------------------------------------------

void TVuPreview::ShowCurrentPage() { FPaperImage->SetPage(FPageList->Current()); }

void TVuPreview::Repaint() {
  viewport()->update();
  FPaperImage->Changed();
}

void TVuPreview::DoPageContentChanged(TPersistent*) {
  ++FContentChanges;
  CheckSelection();
  ShowCurrentPage();
  UpdateScrollBars();
  MessageToControls(VuMsgPageContentChanged);
}

void TVuPreview::DoPageCountChanged(TPersistent*) { MessageToControls(VuMsgNumPagesChanged); }

void TVuPreview::DoPageNumChanged(TPersistent*) {
  ShowCurrentPage();
  SelectVuObject(nullptr);
  OnPageChanged(this);
  MessageToControls(VuMsgPageNumChanged);
}

void TVuPreview::DoPaperSizeChanged(TPersistent*) {
  ShowCurrentPage();
  MessageToControls(VuMsgPaperSizeChanged);
}

void TVuPreview::DoOrientationChanged(TPersistent*) {
  MessageToControls(VuMsgOrientationChanged);
  Repaint();
  OnOrientationChanged(this);
}

void TVuPreview::DoMarginsChanged(TPersistent*) {
  FPaperImage->Changed();
  MessageToControls(VuMsgHeaderFooterChanged);
}

void TVuPreview::HeaderFooterChanged(TPersistent*) {
  Repaint();
  MessageToControls(VuMsgHeaderFooterChanged);
}

void TVuPreview::NewPageEvents(TPersistent*) {
  OnNewPage(this);
  // The page list's canvas: the first page is added before Canvas is taken from it.
  OnDrawHeader(this, FPageList->HeaderRect(), FPageList->Canvas());
  OnDrawFooter(this, FPageList->FooterRect(), FPageList->Canvas());
}

void TVuPreview::DoClear(TPersistent*) { OnClear(this); }

QWidget* TVuPreview::NeedRichEdit(TPersistent*) {
  QWidget* editor = nullptr;
  OnNeedRichEdit(this, editor);
  return editor;
}

void TVuPreview::DoBeforePrint(TPersistent*) { BeforePrint(this); }
void TVuPreview::DoAfterPrint(TPersistent*) { AfterPrint(this); }
void TVuPreview::DoAbortPrint(TPersistent*) { OnAbortPrint(this); }

void TVuPreview::DoPrinterChanged(TPersistent*) {
  MessageToControls(VuMsgPrinterChanged);
  Repaint();
}

void TVuPreview::DoMouseEnter(QObject*) { OnMouseEnter(this); }
void TVuPreview::DoMouseLeave(QObject*) {
  if (FPanning) StopPanning();
  OnMouseLeave(this);
}

// ---- updates and linked controls ----------------------------------------------------------

void TVuPreview::BeginUpdate() {
  MessageToControls(VuMsgBeginUpdate);
  FPageList->BeginUpdate();
  FPaperImage->BeginUpdate();
}

void TVuPreview::EndUpdate() {
  FPageList->EndUpdate();
  FPaperImage->EndUpdate();
  MessageToControls(VuMsgEndUpdate);
}

void TVuPreview::AddAssociatedComponent(QObject* component) {
  if (!component) return;
  if (std::find(FAssociated.begin(), FAssociated.end(), component) != FAssociated.end()) return;
  FAssociated.emplace_back(component);
}

void TVuPreview::RemoveAssociatedComponent(QObject* component) {
  auto it = std::find(FAssociated.begin(), FAssociated.end(), component);
  if (it != FAssociated.end()) FAssociated.erase(it);
}

void TVuPreview::MessageToControls(TVuNotification msg) {
  if (FPageList->Updating()) return;
  // A receiver may link or unlink controls while it handles the notification.
  const std::vector<QPointer<QObject>> receivers = FAssociated;
  for (const QPointer<QObject>& receiver : receivers) {
    auto* control = qobject_cast<QWidget*>(receiver.data());
    if (!control || !control->parentWidget()) continue;
    TVuMessageEvent event(msg);
    QCoreApplication::sendEvent(control, &event);
  }
}

void TVuPreview::Loaded() { NewPageEvents(FPageList.get()); }

// ---- published properties -----------------------------------------------------------------

TVuHeader& TVuPreview::Header() const { return FPageList->Header(); }
void TVuPreview::SetHeader(const TVuHeader& value) { FPageList->Header().Assign(&value); }
TVuFooter& TVuPreview::Footer() const { return FPageList->Footer(); }
void TVuPreview::SetFooter(const TVuFooter& value) { FPageList->Footer().Assign(&value); }
TVuPrinter& TVuPreview::VuPrinter() const { return FPageList->VuPrinter(); }
int TVuPreview::GetGutter() const { return FPaperImage->Gutters().Left; }
void TVuPreview::SetGutter(int value) { FPaperImage->SetGutters({value, value, value, value}); }
TVuMargins& TVuPreview::Margins() const { return FPageList->Margins(); }
void TVuPreview::SetMargins(const TVuMargins& value) { FPageList->Margins().Assign(&value); }
TVuOrientation TVuPreview::Orientation() const { return FPageList->Orientation(); }

void TVuPreview::SetOrientation(TVuOrientation value) {
  FPageList->SetOrientation(value);
  UpdateScrollBars();
}

TVuPagesPerSheet TVuPreview::PagesPerSheet() const { return FPageList->PagesPerSheet(); }

void TVuPreview::SetPagesPerSheet(TVuPagesPerSheet value) {
  FPageList->SetPagesPerSheet(value);
  MessageToControls(VuMsgPagesPerSheetChanged);
}

TVuPaperSize TVuPreview::PaperSize() const { return FPageList->PaperSize(); }
void TVuPreview::SetPaperSize(TVuPaperSize value) { FPageList->SetPaperSize(value); }
void TVuPreview::SetShadow(const TVuShadow& value) { FShadow->Assign(&value); }
