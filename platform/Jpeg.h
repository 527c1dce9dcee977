// JPEG pictures on libjpeg-turbo. A TJPEGImage keeps its compressed bytes as they are and
// decodes them only when it is drawn or converted; assigning any other picture compresses
// it at the image's quality (90 unless changed), full colour, baseline.
#pragma once
#include <QByteArray>
#include <QImage>
#include <memory>
#include "platform/Graphics.h"

// Compresses an image; the alpha channel, if any, is dropped (pixels over white).
QByteArray EncodeJpeg(const QImage& image, int quality = 90, bool progressive = false,
                      bool grayscale = false);
// Decodes a whole JPEG file image into RGB32 pixels. Damaged or truncated data, data that
// is not a JPEG, and a frame larger than the compressed data can describe raise
// EInvalidGraphic before any pixels are allocated. consumed receives the length of the
// JPEG file image, up to and including its end-of-image marker.
QImage DecodeJpeg(const QByteArray& data, qsizetype* consumed = nullptr);
// The pixel size from the frame header, validating only the headers.
QSize JpegSize(const QByteArray& data);

// Decoded pictures are not kept by the pictures themselves: the most recently drawn few are
// kept process-wide, at most JpegCacheImages() of them and JpegCacheLimit() bytes of
// pixels. While a picture's pixels stay in the cache every draw gets the very same QImage
// (the same cacheKey, so a PDF embeds it once). A picture larger than the byte limit is
// decoded for each use. Freeing the last copy of a picture drops its pixels at once.
int JpegCacheImages();
qsizetype JpegCacheLimit();
// New bounds; entries beyond them are dropped at once.
void SetJpegCacheLimits(int images, qsizetype bytes);
// Bytes of pixels the cache holds now.
qsizetype JpegCacheBytes();

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage() = default;
  TJPEGImage(const TJPEGImage& other) = default;
  TJPEGImage& operator=(const TJPEGImage& other) = default;
  using TGraphic::LoadFromStream;

  QString ClassName() const override { return QStringLiteral("TJPEGImage"); }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  bool Empty() const override { return !FData; }
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  // The JPEG file image, byte for byte as stored.
  void SaveToStream(QIODevice& stream) const override;
  // Reads one JPEG file image, in pieces as the decoder asks for them, and leaves the stream
  // just after its end-of-image marker (bytes the decoder read beyond it are given back, on
  // sequential streams too). The data must decode completely, else EInvalidGraphic, the
  // image is left as it was and so is the stream.
  void LoadFromStream(QIODevice& stream) override;
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TJPEGImage>(*this); }
  // By the compressed bytes as stored.
  size_t ContentHash() const override;
  bool SameContent(const TGraphic& other) const override;
  // Another JPEG image: its bytes. Any other picture: drawn into a bitmap and compressed.
  void Assign(const TGraphic& source) override;

  int CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int quality) { FQuality = quality < 1 ? 1 : quality > 100 ? 100 : quality; }
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool value) { FProgressive = value; }
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool value) { FGrayscale = value; }

  const QByteArray& Data() const;
  // Compresses the pixels with the current settings.
  void Compress(const QImage& image);
  // The decoded pixels, from the shared cache when they are still there.
  QImage Image() const;

 private:
  struct TData;
  void SetData(QByteArray bytes, QSize size);
  // Copies of a picture share one compressed block and so one cache entry.
  std::shared_ptr<const TData> FData;
  int FWidth = 0;
  int FHeight = 0;
  int FQuality = 90;
  bool FProgressive = false;
  bool FGrayscale = false;
};
