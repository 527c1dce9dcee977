#include "platform/Graphics.h"
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <cstdlib>
#include "platform/Errors.h"
#include "platform/Files.h"

void TGraphic::SaveToFile(const QString& fileName) const {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  SaveToStream(buffer);
  WriteFileReplacing(fileName, buffer.data());
}

void TGraphic::LoadFromFile(const QString& fileName) {
  QByteArray data = ReadWholeFile(fileName);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  LoadFromStream(buffer);
}

void TGraphic::LoadFromStream(QIODevice& stream, qint64 length) {
  if (length < 0) throw EReadError(QStringLiteral("Stream read error"));
  QByteArray data = ReadAtMost(stream, length);
  if (data.size() != length) throw EReadError(QStringLiteral("Stream read error"));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  LoadFromStream(buffer);
}

QImage ReadImageOfFormat(QIODevice& stream, const char* format, const QString& what) {
  QImageReader reader(&stream, format);
  reader.setDecideFormatFromContent(false);
  QImage image = reader.read();
  if (image.isNull()) throw EInvalidGraphic(QStringLiteral("%1 image is not valid").arg(what));
  return image;
}

void WriteImageOfFormat(QIODevice& stream, const QImage& image, const char* format) {
  if (image.isNull()) throw EInvalidGraphic(QStringLiteral("Cannot save an empty picture"));
  QImageWriter writer(&stream, format);
  if (!writer.write(image)) throw EWriteError(QStringLiteral("Stream write error"));
}

void TGraphic::Assign(const TGraphic& source) { RaiseAssignError(source.ClassName(), ClassName()); }

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other)
    : TGraphic(), FImage(other.Image()), FPixelFormat(other.FPixelFormat) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) {
    if (FCanvas) FCanvas->Release();
    FImage = other.Image();
    FPixelFormat = other.FPixelFormat;
  }
  return *this;
}

TBitmap::~TBitmap() = default;

QImage::Format TBitmap::QtFormat(TPixelFormat format) {
  switch (format) {
    case pf1bit: return QImage::Format_Mono;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    case pf24bit: return QImage::Format_RGB888;
    case pf32bit: return QImage::Format_ARGB32;
    default: return QImage::Format_RGB32;  // the display's depth
  }
}

void TBitmap::SetSize(int width, int height) {
  if (FCanvas) FCanvas->Release();
  if (width <= 0 || height <= 0) {
    FImage = QImage();
    return;
  }
  FImage = QImage(width, height, QtFormat(FPixelFormat));
  if (FImage.isNull()) throw EOutOfResources(QStringLiteral("Out of system resources"));
  if (FImage.format() == QImage::Format_Mono) {
    FImage.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    FImage.fill(1);
  } else {
    FImage.fill(Qt::white);
  }
  if (FCanvas) FCanvas->SetDevice(&FImage);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FPixelFormat) return;
  if (FCanvas) FCanvas->Release();
  FPixelFormat = format;
  if (!FImage.isNull()) {
    FImage = FImage.convertToFormat(QtFormat(format));
    if (FCanvas) FCanvas->SetDevice(&FImage);
  }
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCanvas>(FImage.isNull() ? nullptr : &FImage);
  else if (FCanvas->Device() != &FImage && !FImage.isNull()) FCanvas->SetDevice(&FImage);
  return *FCanvas;
}

const QImage& TBitmap::Image() const {
  if (FCanvas) FCanvas->Release();
  return FImage;
}

void TBitmap::SetImage(const QImage& image) {
  if (FCanvas) FCanvas->Release();
  FImage = image;
  if (FCanvas) FCanvas->SetDevice(FImage.isNull() ? nullptr : &FImage);
}

void TBitmap::Draw(TCanvas& canvas, const QRect& rect) const {
  QPainter* p = canvas.Painter();
  if (!p || Empty()) return;
  p->drawImage(rect, Image());
}

QByteArray TBitmap::ToBmp() const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  SaveToStream(buffer);
  return bytes;
}

void TBitmap::SaveToStream(QIODevice& stream) const {
  if (Empty()) throw EInvalidGraphic(QStringLiteral("Cannot save an empty bitmap"));
  if (!Image().save(&stream, "BMP")) throw EWriteError(QStringLiteral("Stream write error"));
}

namespace {
quint32 LittleU32(const QByteArray& b, int at) {
  return quint32(uchar(b[at])) | quint32(uchar(b[at + 1])) << 8 | quint32(uchar(b[at + 2])) << 16 |
         quint32(uchar(b[at + 3])) << 24;
}
int LittleU16(const QByteArray& b, int at) { return uchar(b[at]) | uchar(b[at + 1]) << 8; }

constexpr qint64 MaxBmpFile = qint64(1) << 30;

EInvalidGraphic BadBitmap() { return EInvalidGraphic(QStringLiteral("Bitmap image is not valid")); }

// The length of a BMP file image whose size field is unusable, from its info header (read
// into bytes, which holds the file header) and the pixel data it declares.
qint64 LengthFromHeaders(QIODevice& stream, QByteArray& bytes) {
  bytes += stream.read(4);
  if (bytes.size() < 18) throw BadBitmap();
  const quint32 infoSize = LittleU32(bytes, 14);
  if (infoSize != 12 && (infoSize < 40 || infoSize > 1024)) throw BadBitmap();
  bytes += ReadAtMost(stream, infoSize - 4);
  if (bytes.size() < qsizetype(14 + infoSize)) throw BadBitmap();
  const qint64 offBits = LittleU32(bytes, 10);
  qint64 width = 0, height = 0;
  int bitCount = 0;
  quint32 compression = 0, sizeImage = 0;
  if (infoSize == 12) {
    width = LittleU16(bytes, 18);
    height = LittleU16(bytes, 20);
    bitCount = LittleU16(bytes, 24);
  } else {
    width = qint32(LittleU32(bytes, 18));
    height = std::abs(qint64(qint32(LittleU32(bytes, 22))));
    bitCount = LittleU16(bytes, 28);
    compression = LittleU32(bytes, 30);
    sizeImage = LittleU32(bytes, 34);
  }
  if (width <= 0 || height <= 0 || bitCount <= 0 || offBits < bytes.size()) throw BadBitmap();
  qint64 pixelBytes = sizeImage;
  if (compression == 0 || compression == 3 || compression == 6) {
    const qint64 rowSize = (width * bitCount + 31) / 32 * 4;
    if (height > MaxBmpFile / rowSize) throw BadBitmap();
    pixelBytes = rowSize * height;
  } else if (sizeImage == 0) {
    throw BadBitmap();  // compressed rows of unknown length
  }
  if (offBits + pixelBytes > MaxBmpFile) throw BadBitmap();
  return offBits + pixelBytes;
}

// Reads exactly one BMP file image from the stream (as long as its header says) and checks
// that the pixel rows it declares are all there: the toolkit's reader would accept a cut
// file and fill the missing rows.
QByteArray ReadBmpBytes(QIODevice& stream) {
  QByteArray bytes = stream.read(14);
  if (bytes.size() < 14 || bytes[0] != 'B' || bytes[1] != 'M') throw BadBitmap();
  qint64 length = LittleU32(bytes, 2);
  if (length < 54 || length > MaxBmpFile) length = LengthFromHeaders(stream, bytes);
  bytes += ReadAtMost(stream, length - bytes.size());
  if (bytes.size() < 26 || bytes.size() < length) throw BadBitmap();
  const quint32 offBits = LittleU32(bytes, 10);
  const quint32 infoSize = LittleU32(bytes, 14);
  if (infoSize >= 40 && bytes.size() >= 54) {
    const qint64 width = qint32(LittleU32(bytes, 18));
    const qint64 height = std::abs(qint64(qint32(LittleU32(bytes, 22))));
    const int bitCount = LittleU16(bytes, 28);
    const quint32 compression = LittleU32(bytes, 30);
    if (width <= 0 || height <= 0) throw BadBitmap();
    if (compression == 0 || compression == 3) {
      const qint64 rowSize = (width * bitCount + 31) / 32 * 4;
      // Divided rather than multiplied: a damaged header's width and height can overflow.
      const qint64 pixelBytes = bytes.size() - qint64(offBits);
      if (rowSize <= 0 || pixelBytes < 0 || height > pixelBytes / rowSize) throw BadBitmap();
    }
  }
  return bytes;
}
}  // namespace

void TBitmap::LoadFromStream(QIODevice& stream) {
  QImage image;
  if (!image.loadFromData(ReadBmpBytes(stream), "BMP") || image.isNull())
    throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
  if (image.format() == QImage::Format_Mono) {
    SetImage(image);
    FPixelFormat = pf1bit;
    // A black-and-white file gives the 1-bit bitmap a recorded one has, whatever the order
    // of its palette.
    MakeMonochrome();
  } else {
    SetImage(image.convertToFormat(QImage::Format_RGB32));
  }
}

void TBitmap::Assign(const TGraphic& source) {
  if (&source == this) return;
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    *this = *bitmap;
    return;
  }
  SetSize(source.Width(), source.Height());
  if (Empty()) return;
  source.Draw(Canvas(), QRect(0, 0, Width(), Height()));
  Canvas().Release();
}

void TBitmap::ReleaseHandle() { FCanvas.reset(); }
