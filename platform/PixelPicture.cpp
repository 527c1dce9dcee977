#include "platform/PixelPicture.h"
#include <QPainter>
#include <typeinfo>

void TPixelPicture::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty()) return;
  p->drawImage(rect, FImage);
}

void TPixelPicture::SaveToStream(QIODevice& stream) const { WriteImageOfFormat(stream, FImage, FFormat); }

void TPixelPicture::LoadFromStream(QIODevice& stream) {
  SetImage(ReadImageOfFormat(stream, FFormat, QString::fromLatin1(FKind)));
}

void TPixelPicture::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (typeid(source) == typeid(*this)) {
    FImage = static_cast<const TPixelPicture&>(source).FImage;
    return;
  }
  if (source.Empty()) {
    SetImage(QImage());
    return;
  }
  TBitmap bitmap;
  bitmap.Assign(source);
  SetImage(bitmap.Image());
}
