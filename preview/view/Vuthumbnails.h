// The thumbnail strip: every page of a linked preview as a small paper image, in a row, a
// column or a grid, with a caption under each, the preview's current page marked. Clicking a
// thumbnail makes its page the preview's current page; the strip follows the preview through
// the preview's numbered notifications.
#pragma once
#include <QMenu>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>
#include "platform/Canvas.h"
#include "preview/document/Vupagelist.h"
#include "preview/view/Vupreview.h"

class QContextMenuEvent;

enum TVuThumbNailLayout { vuThumbHorz, vuThumbVert, vuThumbGrid };
enum TVuHighlightStyle { vuThinLine, vuThickLine, vuBackground };

class TVuThumbnails;

// One page of the strip: a paper image drawn as a thumbnail (IsThumbnail on), with the
// caption and the mark painted over the kept picture of the page, so that marking,
// unmarking and caption changes never draw the page's objects again.
class TVuThumbnail : public TVuPaperImage {
  Q_OBJECT
 public:
  TVuThumbnail(TVuThumbnails* strip, QWidget* parent);

  TVuThumbnails* Strip() const { return FStrip; }
  bool Selected() const { return FSelected; }
  // Stores a different value and repaints.
  void SetSelected(bool value);
  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* menu) { FPopupMenu = menu; }
  // The page's change count when its picture was last drawn; the strip compares it with the
  // page's own to find the thumbnails a content notification concerns.
  unsigned DrawnChangeCount() const { return FDrawnChangeCount; }
  void SetDrawnChangeCount(unsigned value) { FDrawnChangeCount = value; }

  // The caption the thumbnail writes: the strip's pattern with every "#" replaced by the page
  // number.
  QString CaptionText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void PaintCaption(TCanvas& canvas);
  void PaintMark(TCanvas& canvas);

  TVuThumbnails* FStrip;
  bool FSelected = false;
  QPointer<QMenu> FPopupMenu;
  unsigned FDrawnChangeCount = 0;
};

class TVuThumbnails : public TVuScrollingPageControl {
  Q_OBJECT
 public:
  explicit TVuThumbnails(QWidget* parent = nullptr);
  ~TVuThumbnails() override;

  TVuPreview* Preview() const { return FPreview; }
  // Unlinks from the old preview (its thumbnails go), links to the new one and rebuilds.
  void SetPreview(TVuPreview* preview);

  TVuThumbNailLayout Layout() const { return FLayout; }
  void SetLayout(TVuThumbNailLayout value);
  int GridWidth() const { return FGridWidth; }
  void SetGridWidth(int value);
  int ThumbSize() const { return FThumbSize; }
  void SetThumbSize(int value);
  int ThumbSpacing() const { return FThumbSpacing; }
  void SetThumbSpacing(int value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value);
  const QString& PageCaptions() const { return FPageCaptions; }
  void SetPageCaptions(const QString& value);
  const TFont& CaptionFont() const { return FCaptionFont; }
  // Copies the font and rebuilds, also when it is the same.
  void SetCaptionFont(const TFont& value);
  bool Highlight() const { return FHighlight; }
  void SetHighlight(bool value);
  TVuHighlightStyle HighlightStyle() const { return FHighlightStyle; }
  void SetHighlightStyle(TVuHighlightStyle value);
  TColor SelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor value);
  bool PlainPages() const { return FPlainPages; }
  void SetPlainPages(bool value);
  bool ScrollIntoView() const { return FScrollIntoView; }
  void SetScrollIntoView(bool value) { FScrollIntoView = value; }
  TVuShadow& Shadow() const { return *FShadow; }
  // Copies into the owned shadow and repaints.
  void SetShadow(const TVuShadow& value);
  QMenu* ThumbPopup() const { return FThumbPopup; }
  // Every existing thumbnail takes the menu as its context menu.
  void SetThumbPopup(QMenu* menu);

  int ItemIndex() const { return FItemIndex; }
  // Unmarks the old thumbnail, marks the new one (with Highlight on) and scrolls it into
  // view.
  void SetItemIndex(int index);
  int ThumbnailCount() const { return int(FThumbnails.size()); }
  // Null for -1 or an index past the end.
  TVuThumbnail* GetThumbnail(int index) const;
  // Puts thumbnail (the strip takes it) at index in place of the one there, which goes.
  void SetThumbnail(int index, TVuThumbnail* thumbnail);
  // The widget the thumbnails lie on; the scroll ranges cover it.
  QWidget* Content() const { return FContent; }
  bool IsUpdating() const { return FUpdates.Updating(); }

  // Rebuilding.
  void UpdateThumbnails();
  void ResizeThumbList();
  void Repaginate();
  void RescaleThumbnails();
  void RedrawThumbnails();
  void AddThumbnail();
  // Removes the last thumbnail.
  void DeleteThumbnail();
  void Changed() { UpdateThumbnails(); }

  // Handlers of the preview's notifications.
  void VuBeginUpdate();
  void VuEndUpdate();
  void VuHeaderFooterChanged();
  void VuNumPagesChanged();
  void VuPageContentChanged();
  void VuPageNumChanged();
  void VuPaperSizeChanged();

  // A press of any mouse button on a thumbnail.
  void ThumbnailMouseDown(TVuThumbnail* thumbnail);

  // How many times the strip has been rebuilt (tests count them).
  int RebuildCount() const { return FRebuilds; }

 protected:
  bool event(QEvent* event) override;

 private:
  TVuThumbnail* NewThumbnail();
  void FreeThumbnails();
  // Repaints every thumbnail; with dropPictures the kept pictures are drawn again too.
  void RepaintThumbnails(bool dropPictures);
  void ForgetPreview();
  int IndexOf(const TVuThumbnail* thumbnail) const;
  int CurrentIndex() const;

  QPointer<TVuPreview> FPreview;
  QMetaObject::Connection FPreviewDestroyed;
  QWidget* FContent = nullptr;  // a child of the scroll area
  std::vector<TVuThumbnail*> FThumbnails;  // children of FContent, freed by the strip
  TVuThumbNailLayout FLayout = vuThumbHorz;
  int FGridWidth = 4;
  int FThumbSize = 4;
  int FThumbSpacing = 8;
  bool FShowCaption = true;
  QString FPageCaptions = QStringLiteral("#");
  TFont FCaptionFont;
  bool FHighlight = true;
  TVuHighlightStyle FHighlightStyle = vuThickLine;
  TColor FSelectedColor = 16711680;
  bool FPlainPages = false;
  bool FScrollIntoView = true;
  std::unique_ptr<TVuShadow> FShadow;
  QPointer<QMenu> FThumbPopup;
  int FItemIndex = 0;
  TVuUpdateCount FUpdates;
  int FRebuilds = 0;
};
