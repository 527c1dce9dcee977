// Pictures kept as their pixels and written in one image file format (icons, PNG images).
#pragma once
#include <QImage>
#include "platform/Graphics.h"

class TPixelPicture : public TGraphic {
 public:
  using TGraphic::LoadFromStream;
  int Width() const override { return FImage.width(); }
  int Height() const override { return FImage.height(); }
  bool Empty() const override { return FImage.isNull(); }
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  void SaveToStream(QIODevice& stream) const override;
  void LoadFromStream(QIODevice& stream) override;
  // From a picture of the same kind the pixels are shared; any other kind is turned into
  // pixels first.
  void Assign(const TGraphic& source) override;

  const QImage& Image() const { return FImage; }
  virtual void SetImage(const QImage& image) { FImage = image; }

 protected:
  // format: the image file format ("ico", "png"); kind: its name in error messages.
  TPixelPicture(const char* format, const char* kind) : FFormat(format), FKind(kind) {}
  QImage FImage;

 private:
  const char* FFormat;
  const char* FKind;
};
