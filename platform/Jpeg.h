// JPEG pictures on libjpeg-turbo. A TJPEGImage keeps its compressed bytes as they are and
// decodes them only when it is drawn or converted; assigning any other picture compresses
// it at the image's quality (90 unless changed), full colour, baseline.
#pragma once
#include <QByteArray>
#include <QImage>
#include "platform/Graphics.h"

// Compresses an image; the alpha channel, if any, is dropped (pixels over white).
QByteArray EncodeJpeg(const QImage& image, int quality = 90, bool progressive = false,
                      bool grayscale = false);
// Decodes a whole JPEG file image into RGB32 pixels. Damaged or truncated data, and data
// that is not a JPEG, raise EInvalidGraphic. consumed receives the length of the JPEG
// file image, up to and including its end-of-image marker.
QImage DecodeJpeg(const QByteArray& data, qsizetype* consumed = nullptr);
// The pixel size from the frame header, validating only the headers.
QSize JpegSize(const QByteArray& data);

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage() = default;
  TJPEGImage(const TJPEGImage& other);
  TJPEGImage& operator=(const TJPEGImage& other);

  QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  bool Empty() const override { return FData.isEmpty(); }
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  // The JPEG file image, byte for byte as stored.
  void SaveToStream(QIODevice& stream) const override;
  // Reads one JPEG file image and leaves the stream just after it; the data must decode
  // completely, else EInvalidGraphic and the image is left as it was.
  void LoadFromStream(QIODevice& stream) override;
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TJPEGImage>(*this); }
  // Another JPEG image: its bytes. Any other picture: drawn into a bitmap and compressed.
  void Assign(const TGraphic& source) override;

  int CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int quality) { FQuality = quality < 1 ? 1 : quality > 100 ? 100 : quality; }
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool value) { FProgressive = value; }
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool value) { FGrayscale = value; }

  const QByteArray& Data() const { return FData; }
  // Compresses the pixels with the current settings.
  void Compress(const QImage& image);
  // The decoded pixels (decoded once, then kept).
  const QImage& Image() const;

 private:
  QByteArray FData;
  int FWidth = 0;
  int FHeight = 0;
  int FQuality = 90;
  bool FProgressive = false;
  bool FGrayscale = false;
  mutable QImage FDecoded;
};
