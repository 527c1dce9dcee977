// Icons: a picture with transparency, saved and loaded as a Windows icon (ICO) file.
#pragma once
#include "platform/PixelPicture.h"

class TIcon : public TPixelPicture {
 public:
  TIcon() : TPixelPicture("ico", "Icon") {}
  QString ClassName() const override { return QStringLiteral("TIcon"); }
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TIcon>(*this); }
  // Icons keep their pixels with an alpha channel (ARGB32).
  void SetImage(const QImage& image) override;
};
