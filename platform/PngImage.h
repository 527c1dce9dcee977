// PNG pictures: kept as their pixels, saved and loaded as PNG files. The page engine does
// not store this kind: it turns it into JPEG first.
#pragma once
#include <QImage>
#include "platform/Graphics.h"

class TPngImage : public TGraphic {
 public:
  QString ClassName() const override { return QStringLiteral("TPngImage"); }
  int Width() const override { return FImage.width(); }
  int Height() const override { return FImage.height(); }
  bool Empty() const override { return FImage.isNull(); }
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  void SaveToStream(QIODevice& stream) const override;
  void LoadFromStream(QIODevice& stream) override;
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TPngImage>(*this); }
  void Assign(const TGraphic& source) override;

  const QImage& Image() const { return FImage; }
  void SetImage(const QImage& image) { FImage = image; }

 private:
  QImage FImage;
};
