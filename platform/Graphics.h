// Pictures. A TBitmap keeps only its pixel data (a QImage); its canvas paints straight into
// it and is released whenever the pixels are read, so the two never disagree.
#pragma once
#include <QImage>
#include <QString>
#include <memory>
#include "platform/Canvas.h"

class QIODevice;

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual QString ClassName() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  // Stretches the picture into rect (right/bottom exclusive) on the canvas.
  virtual void Draw(TCanvas& canvas, const QRect& rect) const = 0;
  virtual void SaveToStream(QIODevice& stream) const = 0;
  // Raises EInvalidGraphic on data that is not a valid picture of this kind; the picture
  // is then left as it was.
  virtual void LoadFromStream(QIODevice& stream) = 0;
  // Reads one picture from exactly the next length bytes of the stream, random-access or
  // sequential, and leaves the stream right after them whatever the picture's own reader
  // used of them; nothing beyond them is read. A picture that does not load from them raises
  // its error; a stream that ends (or a length below 0) raises EReadError. Either way the
  // picture is left as it was.
  void LoadFromStream(QIODevice& stream, qint64 length);
  virtual std::unique_ptr<TGraphic> Clone() const = 0;
  // A fingerprint of the content, equal whenever SameContent holds, so that equal pictures
  // are found without comparing every pair. Pictures kept as pixels hash their pixels;
  // the others their file image.
  virtual size_t ContentHash() const;
  // Whether other is a picture of the same kind and content (for bitmaps: the same size,
  // pixel format, colour table and pixels).
  virtual bool SameContent(const TGraphic& other) const;
  // Copies source into this picture, converting between kinds where this kind can take
  // the other; otherwise fails with "Cannot assign a <source> to a <target>".
  virtual void Assign(const TGraphic& source);

  // Writes the picture in its own file format, replacing the file only once the whole
  // picture is written.
  void SaveToFile(const QString& fileName) const;
  void LoadFromFile(const QString& fileName);
};

// One image of a Qt image format from or to a stream, for the picture kinds kept as pixels;
// data that is not such an image raises EInvalidGraphic ("<what> image is not valid").
QImage ReadImageOfFormat(QIODevice& stream, const char* format, const QString& what);
void WriteImageOfFormat(QIODevice& stream, const QImage& image, const char* format);

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int width, int height);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  ~TBitmap() override;
  using TGraphic::LoadFromStream;

  QString ClassName() const override { return QStringLiteral("TBitmap"); }
  int Width() const override { return FImage.width(); }
  int Height() const override { return FImage.height(); }
  bool Empty() const override { return FImage.isNull(); }
  void Draw(TCanvas& canvas, const QRect& rect) const override;
  void SaveToStream(QIODevice& stream) const override;  // Windows bitmap (BMP)
  // Reads as many bytes as the file header gives; when its size field is unusable (writers
  // may leave it 0), as many as the info header and pixel rows take. Leaves the stream
  // just after them. A 1-bit file gives a 1-bit bitmap (pf1bit), any other the display's depth.
  void LoadFromStream(QIODevice& stream) override;
  std::unique_ptr<TGraphic> Clone() const override { return std::make_unique<TBitmap>(*this); }
  // Any picture: a bitmap of its size, created white, with the picture drawn on it.
  void Assign(const TGraphic& source) override;

  // The device handle of the old platform is the drawing state kept with the canvas; a
  // stored bitmap releases it so that only its pixel data stays, and gets it back on use.
  void ReleaseHandle();
  bool HandleAllocated() const { return FCanvas != nullptr; }

  // New size; every pixel becomes white.
  void SetSize(int width, int height);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat format);
  TCanvas& Canvas();
  // The pixels, with any drawing in progress finished.
  const QImage& Image() const;
  void SetImage(const QImage& image);
  QByteArray ToBmp() const;
  size_t ContentHash() const override;
  bool SameContent(const TGraphic& other) const override;
  // A bitmap whose pixels are all exactly black or white becomes a 1-bit bitmap with the
  // same pixels (pf1bit): an eighth of the memory, a small file, and printed as a 1-bit
  // image. Any other bitmap is left as it is; the result says which.
  bool MakeMonochrome();

 private:
  static QImage::Format QtFormat(TPixelFormat format);
  QImage FImage;
  TPixelFormat FPixelFormat = pfDevice;
  mutable std::unique_ptr<TCanvas> FCanvas;
};
