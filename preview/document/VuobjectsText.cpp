// Text objects, text boxes and pictures.
#include <QPainter>
#include <QRegion>
#include <memory>
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vuobjects.h"

// ---- text -------------------------------------------------------------------------------

void TVuBaseTextObject::SetCaption(const QString& value) {
  if (value == FCaption) return;
  FCaption = value;
  Changed();
}

TVuRect TVuBaseTextObject::GetClipRect(TVuMeasurement m) const {
  return ConvertVuRect(FClipRect, vuInches, m);
}

void TVuBaseTextObject::SetClipRect(TVuMeasurement m, const TVuRect& rect) {
  const TVuRect r = ConvertVuRect(rect, m, vuInches);
  if (EqualVuRects(r, FClipRect)) return;
  FClipRect = r;
  Changed();
}

bool TVuBaseTextObject::IsClipped() const { return !EqualVuRects(FClipRect, VuNoClipRect); }

QString TVuBaseTextObject::ExpandedCaption(const TVuObjectDrawData& d) const {
  // Every token starts with a brace; most captions have none and need no clock reading.
  if (!FCaption.contains(u'{')) return FCaption;
  return Tokenize(FCaption, d.PageNum, d.NumPages, VuDateFormat(), VuTimeFormat());
}

void TVuTextObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuBaseTextObject::DrawToCanvas(canvas, d);
  const QString text = ExpandedCaption(d);
  const int x = VuRound(FCoords.Left * d.PpiX), y = VuRound(FCoords.Top * d.PpiY);
  if (!IsClipped()) {
    canvas.ExtTextOut(x, y, 0, nullptr, text);
    return;
  }
  const QRect clip = ToQRect({VuRound(FClipRect.Left * d.PpiX), VuRound(FClipRect.Top * d.PpiY),
                              VuRound(FClipRect.Right * d.PpiX), VuRound(FClipRect.Bottom * d.PpiY)});
  canvas.ExtTextOut(x, y, etoClipped, &clip, text);
}

void TVuTextObject::OffsetObject(Extended dx, Extended dy, TVuMeasurement m) {
  const Extended ix = ConvertValue(dx, m, vuInches), iy = ConvertValue(dy, m, vuInches);
  FCoords.Left += ix;
  FCoords.Top += iy;
  // The clip rectangle was recorded with the text and keeps cutting it in the same place.
  if (IsClipped()) OffsetVuRect(FClipRect, ix, iy);
}

TVuRectPoints TVuTextObject::BoundingRect(const TVuObjectDrawData& d) {
  // The text as drawn, without its tokens expanded or its clip, with the object's brush
  // (an opaque cell counts) and font.
  TMetafile metafile;
  TMetafileCanvas canvas(metafile);
  if (Brush()) Brush()->AssignToCanvas(canvas);
  if (Font()) {
    canvas.Font().PixelsPerInch = d.PpiX;
    Font()->AssignToCanvas(canvas);
  }
  canvas.BeginPath();
  canvas.TextOut(VuRound(FCoords.Left * d.PpiX), VuRound(FCoords.Top * d.PpiY), FCaption);
  canvas.EndPath();
  return RectToVuRectPoints(FromQRect(canvas.PathRegionBounds()));
}

// ---- text boxes -------------------------------------------------------------------------

void TVuTextBoxObject::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Changed();
}

void TVuTextBoxObject::SetClipText(bool value) {
  if (value == FClipText) return;
  FClipText = value;
  Changed();
}

void TVuTextBoxObject::SetPadding(Extended value) {
  if (value == FPadding) return;
  FPadding = value;
  Changed();
}

void TVuTextBoxObject::SetVertAlignment(TVuVertAlignment value) {
  if (value == FVertAlignment) return;
  FVertAlignment = value;
  Changed();
}

void TVuTextBoxObject::SetWordBreak(bool value) {
  if (value == FWordBreak) return;
  FWordBreak = value;
  Changed();
}

TRect TVuTextBoxObject::TextRect(const TVuObjectDrawData& d) const {
  TRect t = CoordsAsPixels(d.PpiX, d.PpiY);
  const int th = VuRound(d.PpiY * FContentHeight);
  if (FVertAlignment == vuMiddle) t.Top += (t.Height() - th) / 2;
  else if (FVertAlignment == vuBottom) t.Top = t.Bottom - th;
  const int px = VuRound(d.PpiX * FPadding), py = VuRound(d.PpiY * FPadding);
  t.Left += px;
  t.Right -= px;
  t.Top += py;
  t.Bottom -= py;
  return t;
}

void TVuTextBoxObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  TVuBaseTextObject::DrawToCanvas(canvas, d);
  const QString text = ExpandedCaption(d);
  VuDrawRect(canvas, CoordsAsPixels(d.PpiX, d.PpiY));
  QRect t = ToQRect(TextRect(d));
  int format = dtExpandTabs | dtNoPrefix;
  if (FAlignment == taRightJustify) format |= dtRight;
  else if (FAlignment == taCenter) format |= dtCenter;
  if (FWordBreak) format |= dtWordBreak;
  canvas.DrawText(text, t, format);
}

// ---- pictures ---------------------------------------------------------------------------

void TVuGraphicObject::SetGraphic(const TGraphic* graphic) {
  if (!graphic) return;
  TVuGraphicList& graphics = ResourceTable()->Graphics();
  TGraphic* entry = nullptr;
  if (auto* icon = dynamic_cast<const TIcon*>(graphic)) {
    std::unique_ptr<TBitmap> bitmap;
    IconToBitmap(*icon, bitmap);
    if (bitmap) entry = graphics.AddGraphic(bitmap.get());
  } else if (dynamic_cast<const TBitmap*>(graphic) || dynamic_cast<const TMetafile*>(graphic) ||
             dynamic_cast<const TJPEGImage*>(graphic)) {
    entry = graphics.AddGraphic(graphic);
  } else {
    std::unique_ptr<TJPEGImage> jpeg;
    GraphicToJPeg(*graphic, jpeg);
    if (jpeg) entry = graphics.AddGraphic(jpeg.get());
  }
  FGraphic = entry;
  // The caller's pixel format: the table may keep a black-and-white bitmap at one bit.
  if (dynamic_cast<const TBitmap*>(entry)) {
    auto* source = dynamic_cast<const TBitmap*>(graphic);
    FPixelFormat = source ? source->PixelFormat() : static_cast<const TBitmap*>(entry)->PixelFormat();
  }
}

// On a screen (a widget or an image of the preview), a picture shown smaller than its size is
// averaged down to the device pixels it covers, so that thin bars and strokes do not drop out
// and a 9 does not read as an 8. Null where it is drawn as it is: at its size or larger, and
// always on paper, where every pixel reaches the printer.
static std::unique_ptr<TBitmap> ShrunkForScreen(TCanvas& canvas, const TRect& rect, const QImage& image) {
  const QPaintDevice* device = canvas.Device();
  QPainter* painter = canvas.Painter();
  if (!device || !painter || image.isNull()) return nullptr;
  const int type = device->devType();
  if (type != QInternal::Widget && type != QInternal::Image && type != QInternal::Pixmap) return nullptr;
  const QSize shown = painter->deviceTransform().mapRect(QRectF(ToQRect(rect)).normalized()).toAlignedRect().size();
  if (shown.width() >= image.width() && shown.height() >= image.height()) return nullptr;
  auto smaller = std::make_unique<TBitmap>();
  smaller->SetImage(image.scaled(shown.expandedTo(QSize(1, 1)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  return smaller;
}

void TVuGraphicObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& d) {
  // A picture adds no figure to an open path; it is drawn all the same.
  if (!FGraphic) return;
  canvas.SetCopyMode(FCopyMode);
  const TRect rect = CoordsAsPixels(d.PpiX, d.PpiY);
  auto* bitmap = dynamic_cast<const TBitmap*>(FGraphic);
  auto* jpeg = dynamic_cast<const TJPEGImage*>(FGraphic);
  if (!bitmap && !jpeg) {
    canvas.StretchDraw(ToQRect(rect), *FGraphic);
    return;
  }
  const bool printer = IsPrinterCanvas(canvas);
  if (bitmap && !printer) {
    // The stored bitmap is only read, never changed, so it is drawn as it is.
    const auto smaller = ShrunkForScreen(canvas, rect, bitmap->Image());
    canvas.StretchDraw(ToQRect(rect), smaller ? *smaller : *bitmap);
    return;
  }
  TBitmap temp;
  if (jpeg) temp.SetImage(jpeg->Image());  // decompressed here
  else temp = *bitmap;
  if (printer) {
    // A black-and-white bitmap keeps its one bit: any deeper format holds the same pixels,
    // and the printer (or PDF file) takes a 1-bit image whole and small.
    if (temp.PixelFormat() != pf1bit) temp.SetPixelFormat(FPixelFormat);
    PrintBitmap(canvas, rect, temp);
  } else {
    const auto smaller = ShrunkForScreen(canvas, rect, temp.Image());
    canvas.StretchDraw(ToQRect(rect), smaller ? *smaller : temp);
  }
}

TVuRectPoints TVuGraphicObject::BoundingRect(const TVuObjectDrawData& d) {
  TRect r = CoordsAsPixels(d.PpiX, d.PpiY);
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return RectToVuRectPoints(r);
}
