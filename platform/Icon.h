// Icons: a picture with transparency, saved and loaded as a Windows icon (ICO) file.
#pragma once
#include <QImage>
#include "platform/Graphics.h"

class TIcon : public TGraphic {
 public:
  QString ClassName() const override { return QStringLiteral("TIcon"); }
  int Width() const override { return FImage.width(); }
  int Height() const override { return FImage.height(); }
  bool Empty() const override { return FImage.isNull(); }
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  void SaveToStream(QIODevice& stream) const override;
  void LoadFromStream(QIODevice& stream) override;
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TIcon>(*this); }
  void Assign(const TGraphic& source) override;

  const QImage& Image() const { return FImage; }
  void SetImage(const QImage& image);

 private:
  QImage FImage;  // ARGB32
};
