// Thumbnail: the mark, the page (the paper image's kept picture), the caption, and the
// context menu.
#include <QContextMenuEvent>
#include <QMenu>
#include "platform/Errors.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vuobjects.h"
#include "preview/view/Vuthumbnails.h"

TVuThumbnail::TVuThumbnail(TVuThumbnails* strip, QWidget* parent) : TVuPaperImage(parent), FStrip(strip) {
  SetIsThumbnail(true);
  // A thumbnail is a picture to click, not a drop target.
  setAcceptDrops(false);
}

void TVuThumbnail::SetSelected(bool value) {
  if (value == FSelected) return;
  FSelected = value;
  // The mark lies over the kept picture of the page, which stays.
  update();
}

QString TVuThumbnail::CaptionText() const {
  const int number = Page() ? Page()->GetPageNum() : 0;
  return ReplaceStringFields(FStrip->PageCaptions(), QStringLiteral("#"), QString::number(number));
}

void TVuThumbnail::paintEvent(QPaintEvent* event) {
  if (FStrip->IsUpdating()) return;
  // The strip's Highlight decides whether a marked thumbnail shows its mark.
  const bool marked = FSelected && FStrip->Highlight();
  const TVuHighlightStyle style = FStrip->HighlightStyle();
  if (marked && style == vuBackground) {
    TCanvas canvas(this);
    canvas.Brush().Color = FStrip->SelectedColor();
    canvas.Brush().Style = bsSolid;
    canvas.Pen() = TPen{};
    canvas.Pen().Color = clBlack;
    canvas.Pen().Width = 1;
    canvas.Rectangle(0, 0, width(), height());
    canvas.Release();
  }
  // Paper, content unless plain, shadow: drawn once and kept until the page changes.
  TVuPaperImage::paintEvent(event);
  TCanvas canvas(this);
  canvas.Font().PixelsPerInch = 96;
  if (FStrip->ShowCaption()) PaintCaption(canvas);
  if (marked && style != vuBackground) PaintMark(canvas);
  canvas.Release();
}

void TVuThumbnail::PaintCaption(TCanvas& canvas) {
  const QString text = CaptionText();
  const TColor selected = FStrip->SelectedColor();
  canvas.Font() = FStrip->CaptionFont();
  canvas.Font().PixelsPerInch = 96;
  if (FSelected && FStrip->Highlight()) canvas.Font().Color = selected;
  if (canvas.Font().Color == selected && FStrip->HighlightStyle() == vuBackground)
    canvas.Font().Color = InvertColor(selected);
  canvas.Brush().Style = bsClear;
  const int x = (width() - canvas.TextWidth(text)) / 2;
  // 4 pixels below the page.
  const int y = height() - Gutters().Bottom + 4;
  canvas.TextOut(x, y, text);
  canvas.Pen().Mode = pmCopy;
}

void TVuThumbnail::PaintMark(TCanvas& canvas) {
  canvas.Brush().Style = bsClear;
  canvas.Pen() = TPen{};
  canvas.Pen().Color = FStrip->SelectedColor();
  canvas.Pen().Width = FStrip->HighlightStyle() == vuThickLine ? 2 : 1;
  VuDrawRect(canvas, PageRect());
}

void TVuThumbnail::contextMenuEvent(QContextMenuEvent* event) {
  if (!FPopupMenu) {
    event->ignore();
    return;
  }
  FPopupMenu->popup(event->globalPos());
}
