// Thumbnail strip: linking to a preview, the properties, rebuilding, sizes and positions,
// marking, clicks and the handlers of the preview's notifications.
#include <QMenu>
#include "platform/Errors.h"
#include "preview/view/Vuthumbnails.h"

TVuThumbnails::TVuThumbnails(QWidget* parent)
    : TVuScrollingPageControl(parent), FShadow(std::make_unique<TVuShadow>()) {
  FShadow->SetWidth(2);
  // The thumbnails lie on one content widget that the scroll area moves; its size, set
  // after every layout, gives the scroll ranges.
  FContent = new QWidget;
  FContent->setAutoFillBackground(false);
  FContent->resize(0, 0);
  setWidgetResizable(false);
  setWidget(FContent);
  FShadow->OnChange = [this](TPersistent*) { RepaintThumbnails(true); };
  resize(240, 115);
}

TVuThumbnails::~TVuThumbnails() {
  // The thumbnails refer to the owned shadow: they go first.
  FreeThumbnails();
  FShadow->OnChange = nullptr;
  if (FPreview) FPreview->RemoveAssociatedComponent(this);
  disconnect(FPreviewDestroyed);
}

// ---- linking ------------------------------------------------------------------------------

void TVuThumbnails::SetPreview(TVuPreview* preview) {
  if (preview == FPreview) return;
  if (FPreview) {
    FreeThumbnails();
    FPreview->RemoveAssociatedComponent(this);
    disconnect(FPreviewDestroyed);
    FPreview = nullptr;
    FContent->resize(0, 0);
  }
  FPreview = preview;
  if (!preview) return;
  preview->AddAssociatedComponent(this);
  // The pages die with the preview: the thumbnails go with them.
  FPreviewDestroyed = connect(preview, &QObject::destroyed, this, [this] { ForgetPreview(); });
  UpdateThumbnails();
}

void TVuThumbnails::ForgetPreview() {
  FreeThumbnails();
  FPreview = nullptr;
  FContent->resize(0, 0);
}

// ---- properties ---------------------------------------------------------------------------

void TVuThumbnails::SetLayout(TVuThumbNailLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  RedrawThumbnails();
}

void TVuThumbnails::SetGridWidth(int value) {
  // A grid row holds at least one thumbnail.
  value = std::max(value, 1);
  if (value == FGridWidth) return;
  FGridWidth = value;
  RedrawThumbnails();
}

void TVuThumbnails::SetThumbSize(int value) {
  if (value == FThumbSize) return;
  FThumbSize = value;
  UpdateThumbnails();
}

void TVuThumbnails::SetThumbSpacing(int value) {
  if (value == FThumbSpacing) return;
  FThumbSpacing = value;
  UpdateThumbnails();
}

void TVuThumbnails::SetShowCaption(bool value) {
  if (value == FShowCaption) return;
  FShowCaption = value;
  UpdateThumbnails();
}

void TVuThumbnails::SetPageCaptions(const QString& value) {
  if (value == FPageCaptions) return;
  FPageCaptions = value;
  RepaintThumbnails(false);
}

void TVuThumbnails::SetCaptionFont(const TFont& value) {
  FCaptionFont = value;
  UpdateThumbnails();
}

void TVuThumbnails::SetHighlight(bool value) {
  if (value == FHighlight) return;
  FHighlight = value;
  RepaintThumbnails(false);
}

void TVuThumbnails::SetHighlightStyle(TVuHighlightStyle value) {
  if (value == FHighlightStyle) return;
  FHighlightStyle = value;
  RepaintThumbnails(false);
}

void TVuThumbnails::SetSelectedColor(TColor value) {
  if (value == FSelectedColor) return;
  FSelectedColor = value;
  RepaintThumbnails(false);
}

void TVuThumbnails::SetPlainPages(bool value) {
  if (value == FPlainPages) return;
  FPlainPages = value;
  // The content flag belongs to the kept picture: each thumbnail draws its page again.
  for (TVuThumbnail* t : FThumbnails) t->SetDrawContent(!value);
}

void TVuThumbnails::SetShadow(const TVuShadow& value) {
  FShadow->Assign(&value);
  RepaintThumbnails(true);
}

void TVuThumbnails::SetThumbPopup(QMenu* menu) {
  if (menu == FThumbPopup) return;
  FThumbPopup = menu;
  for (TVuThumbnail* t : FThumbnails) t->SetPopupMenu(menu);
}

void TVuThumbnails::RepaintThumbnails(bool dropPictures) {
  for (TVuThumbnail* t : FThumbnails) {
    if (dropPictures) t->Changed();
    else t->update();
  }
  viewport()->update();
}

// ---- the list of thumbnails ---------------------------------------------------------------

TVuThumbnail* TVuThumbnails::GetThumbnail(int index) const {
  if (index < 0 || index >= ThumbnailCount()) return nullptr;
  return FThumbnails[size_t(index)];
}

int TVuThumbnails::IndexOf(const TVuThumbnail* thumbnail) const {
  for (size_t i = 0; i < FThumbnails.size(); ++i)
    if (FThumbnails[i] == thumbnail) return int(i);
  return -1;
}

TVuThumbnail* TVuThumbnails::NewThumbnail() {
  auto* t = new TVuThumbnail(this, FContent);
  t->SetShadow(FShadow.get());
  t->SetDrawContent(!FPlainPages);
  t->SetPopupMenu(FThumbPopup);
  t->OnMouseDown = [this](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    ThumbnailMouseDown(static_cast<TVuThumbnail*>(sender));
  };
  // Each paper image takes over the shadow's change hook; the strip keeps it, so that a
  // change of the shadow reaches every thumbnail.
  FShadow->OnChange = [this](TPersistent*) { RepaintThumbnails(true); };
  return t;
}

void TVuThumbnails::SetThumbnail(int index, TVuThumbnail* thumbnail) {
  if (index < 0 || index >= ThumbnailCount()) RaiseListIndexError(index);
  if (!thumbnail || thumbnail == FThumbnails[size_t(index)]) return;
  TVuThumbnail* old = FThumbnails[size_t(index)];
  thumbnail->setParent(FContent);
  thumbnail->SetShadow(FShadow.get());
  thumbnail->SetDrawContent(!FPlainPages);
  thumbnail->SetPopupMenu(FThumbPopup);
  thumbnail->OnMouseDown = [this](QObject* sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    ThumbnailMouseDown(static_cast<TVuThumbnail*>(sender));
  };
  FThumbnails[size_t(index)] = thumbnail;
  delete old;
  FShadow->OnChange = [this](TPersistent*) { RepaintThumbnails(true); };
  RedrawThumbnails();
  thumbnail->show();
}

void TVuThumbnails::AddThumbnail() {
  TVuThumbnail* t = NewThumbnail();
  FThumbnails.push_back(t);
  t->show();
}

void TVuThumbnails::DeleteThumbnail() {
  if (FThumbnails.empty()) return;
  delete FThumbnails.back();
  FThumbnails.pop_back();
  FShadow->OnChange = [this](TPersistent*) { RepaintThumbnails(true); };
}

void TVuThumbnails::FreeThumbnails() {
  while (!FThumbnails.empty()) DeleteThumbnail();
}

// ---- rebuilding ---------------------------------------------------------------------------

void TVuThumbnails::UpdateThumbnails() {
  ++FRebuilds;
  // The thumbnails are kept and given their pages again rather than freed and created anew:
  // a long document then costs only the thumbnails that come or go. Each still draws its
  // page afresh, since page numbers and counts in headers and footers may have changed.
  setUpdatesEnabled(false);
  ResizeThumbList();
  Repaginate();
  RescaleThumbnails();
  RedrawThumbnails();
  setUpdatesEnabled(true);
  if (FPreview) SetItemIndex(FPreview->GetCurrentPageNum() - 1);
}

void TVuThumbnails::ResizeThumbList() {
  const int wanted = FPreview ? FPreview->GetNumPages() : 0;
  while (ThumbnailCount() > wanted) DeleteThumbnail();
  FThumbnails.reserve(size_t(wanted));
  while (ThumbnailCount() < wanted) AddThumbnail();
}

void TVuThumbnails::Repaginate() {
  if (!FPreview) return;
  for (int i = 0; i < ThumbnailCount(); ++i) {
    TVuThumbnail* t = FThumbnails[size_t(i)];
    TVuPage* page = FPreview->GetPage(i + 1);
    t->SetPage(page);
    t->SetDrawnChangeCount(page->ChangeCount());
  }
}

void TVuThumbnails::RescaleThumbnails() {
  // The caption band: 4 pixels of space and the character height (the font's height is
  // negative for a font given in points).
  const int caption = FShowCaption ? 4 - FCaptionFont.Height : 0;
  for (TVuThumbnail* t : FThumbnails) {
    t->SetGutters({FThumbSpacing, FThumbSpacing, FThumbSpacing, FThumbSpacing + caption});
    t->SetZoom(FThumbSize + 2);
    const TPoint e = t->GetPageExtent(96);
    const TRect& g = t->Gutters();
    t->resize(e.X + g.Left + g.Right, e.Y + g.Top + g.Bottom);
  }
}

int TVuThumbnails::CurrentIndex() const { return FPreview ? FPreview->GetCurrentPageNum() - 1 : -1; }

void TVuThumbnails::RedrawThumbnails() {
  const int current = CurrentIndex();
  int x = 0, y = 0, right = 0, bottom = 0;
  for (int i = 0; i < ThumbnailCount(); ++i) {
    TVuThumbnail* t = FThumbnails[size_t(i)];
    t->SetSelected(i == current);
    // Positions on the content widget, which the scroll area moves: the same as the
    // running point less the scroll positions in the strip's client area.
    const int w = t->width(), h = t->height();
    t->move(x, y);
    right = std::max(right, x + w);
    bottom = std::max(bottom, y + h);
    // Neighbours overlap by one pixel.
    switch (FLayout) {
      case vuThumbHorz: x += w - 1; break;
      case vuThumbVert: y += h - 1; break;
      case vuThumbGrid:
        if ((i + 1) % FGridWidth == 0) {
          y += h - 1;
          x = 0;
        } else {
          x += w - 1;
        }
        break;
    }
  }
  FContent->resize(right, bottom);
}

// ---- marking and clicks -------------------------------------------------------------------

void TVuThumbnails::SetItemIndex(int index) {
  if (index == FItemIndex) return;
  if (TVuThumbnail* old = GetThumbnail(FItemIndex)) old->SetSelected(false);
  FItemIndex = index;
  TVuThumbnail* t = GetThumbnail(index);
  if (t && FHighlight) t->SetSelected(true);
  if (FPreview && FScrollIntoView && t) ensureWidgetVisible(t, 0, 0);
}

void TVuThumbnails::ThumbnailMouseDown(TVuThumbnail* thumbnail) {
  if (FUpdates.Updating()) return;
  const int index = IndexOf(thumbnail);
  if (index < 0) return;
  SetItemIndex(index);
  if (FPreview) FPreview->SetCurrentPageNum(FItemIndex + 1);
}

// ---- following the preview ----------------------------------------------------------------

bool TVuThumbnails::event(QEvent* e) {
  if (e->type() != TVuMessageEvent::EventType()) return TVuScrollingPageControl::event(e);
  switch (static_cast<TVuMessageEvent*>(e)->Msg()) {
    case VuMsgBeginUpdate: VuBeginUpdate(); break;
    case VuMsgEndUpdate: VuEndUpdate(); break;
    case VuMsgHeaderFooterChanged: VuHeaderFooterChanged(); break;
    case VuMsgNumPagesChanged: VuNumPagesChanged(); break;
    case VuMsgPageContentChanged: VuPageContentChanged(); break;
    case VuMsgPageNumChanged: VuPageNumChanged(); break;
    case VuMsgPaperSizeChanged: VuPaperSizeChanged(); break;
    default: break;
  }
  return true;
}

void TVuThumbnails::VuBeginUpdate() { FUpdates.Begin(); }

void TVuThumbnails::VuEndUpdate() {
  if (FUpdates.End()) UpdateThumbnails();
}

void TVuThumbnails::VuHeaderFooterChanged() { RepaintThumbnails(true); }

// Inside the preview's update the page list reports what it held back just before the end
// arrives; the end rebuilds everything, so these wait for it.
void TVuThumbnails::VuNumPagesChanged() {
  if (!FUpdates.Updating()) UpdateThumbnails();
}

void TVuThumbnails::VuPaperSizeChanged() {
  if (!FUpdates.Updating()) UpdateThumbnails();
}

void TVuThumbnails::VuPageContentChanged() {
  if (FUpdates.Updating()) return;
  // The notification does not say which page changed: the pages whose change count moved
  // since their thumbnail was drawn are drawn again, the rest keep their pictures.
  if (FPreview) {
    bool resized = false;
    for (int i = 0; i < ThumbnailCount() && i < FPreview->GetNumPages(); ++i) {
      TVuThumbnail* t = FThumbnails[size_t(i)];
      TVuPage* page = FPreview->GetPage(i + 1);
      if (t->Page() == page && t->DrawnChangeCount() == page->ChangeCount()) continue;
      const TVuSize before = t->PaperSizeInch();
      t->SetPage(page);
      t->SetDrawnChangeCount(page->ChangeCount());
      const TVuSize after = t->PaperSizeInch();
      resized = resized || before.Width != after.Width || before.Height != after.Height;
    }
    // A page of its own size (or turned) needs a thumbnail of that size.
    if (resized) {
      RescaleThumbnails();
      RedrawThumbnails();
    }
  }
  SetItemIndex(-1);
  SetItemIndex(CurrentIndex());
}

void TVuThumbnails::VuPageNumChanged() { SetItemIndex(CurrentIndex()); }
