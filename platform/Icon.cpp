#include "platform/Icon.h"
#include <QPainter>
#include "platform/Errors.h"

namespace {
QImage PixelsOf(const TGraphic& source) {
  TBitmap bitmap;
  bitmap.Assign(source);
  return bitmap.Image();
}
}  // namespace

void TIcon::SetImage(const QImage& image) {
  FImage = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
}

void TIcon::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty()) return;
  p->drawImage(rect, FImage);
}

void TIcon::SaveToStream(QIODevice& stream) const { WriteImageOfFormat(stream, FImage, "ico"); }

void TIcon::LoadFromStream(QIODevice& stream) { SetImage(ReadImageOfFormat(stream, "ico", QStringLiteral("Icon"))); }

void TIcon::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* icon = dynamic_cast<const TIcon*>(&source)) {
    FImage = icon->FImage;
    return;
  }
  SetImage(source.Empty() ? QImage() : PixelsOf(source));
}
