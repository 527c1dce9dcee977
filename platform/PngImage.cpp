#include "platform/PngImage.h"
#include <QPainter>

void TPngImage::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty()) return;
  p->drawImage(rect, FImage);
}

void TPngImage::SaveToStream(QIODevice& stream) const { WriteImageOfFormat(stream, FImage, "png"); }

void TPngImage::LoadFromStream(QIODevice& stream) {
  FImage = ReadImageOfFormat(stream, "png", QStringLiteral("PNG"));
}

void TPngImage::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* png = dynamic_cast<const TPngImage*>(&source)) {
    FImage = png->FImage;
    return;
  }
  if (source.Empty()) {
    FImage = QImage();
    return;
  }
  TBitmap bitmap;
  bitmap.Assign(source);
  FImage = bitmap.Image();
}
