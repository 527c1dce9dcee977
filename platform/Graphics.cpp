#include "platform/Graphics.h"
#include <QBuffer>
#include <QPainter>
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

void TBitmap::LoadFromStream(QIODevice& stream) {
  QImage image;
  if (!image.load(&stream, "BMP") || image.isNull())
    throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid"));
  SetImage(image.format() == QImage::Format_Mono ? image : image.convertToFormat(QImage::Format_RGB32));
}
