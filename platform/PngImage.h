// PNG pictures: kept as their pixels, saved and loaded as PNG files. The page engine does
// not store this kind: it turns it into JPEG first.
#pragma once
#include "platform/PixelPicture.h"

class TPngImage : public TPixelPicture {
 public:
  TPngImage() : TPixelPicture("png", "PNG") {}
  QString ClassName() const override { return QStringLiteral("TPngImage"); }
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TPngImage>(*this); }
};
