// Comparing pictures by content, and black-and-white bitmaps kept at one bit per pixel.
#include <QBuffer>
#include <QHash>
#include <cstring>
#include <typeinfo>
#include "platform/Errors.h"
#include "platform/Graphics.h"
#include "platform/Jpeg.h"

namespace {
// The picture's file image; a picture that cannot be saved (an empty one) has none.
QByteArray FileImage(const TGraphic& graphic) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  try {
    graphic.SaveToStream(buffer);
  } catch (const Exception&) {
    return QByteArray();
  }
  return buffer.data();
}

// The bytes of a scan line that hold pixels, and the mask of its last byte: the bits past
// the last pixel of a 1-bit line are padding and may hold anything.
struct TLineBytes {
  qsizetype Whole = 0;   // bytes compared as they are
  uchar LastMask = 0;    // mask of one further byte, 0 when there is none
};

TLineBytes LineBytesOf(const QImage& image) {
  const qint64 bits = qint64(image.width()) * image.depth();
  TLineBytes r;
  r.Whole = qsizetype(bits / 8);
  const int rest = int(bits % 8);
  if (rest) r.LastMask = image.format() == QImage::Format_MonoLSB ? uchar((1u << rest) - 1) : uchar(0xFF00u >> rest);
  return r;
}

size_t PixelHash(const QImage& image) {
  const TLineBytes line = LineBytesOf(image);
  size_t hash = qHashMulti(0, image.width(), image.height(), int(image.format()));
  for (QRgb c : image.colorTable()) hash = qHashMulti(hash, c);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* bits = image.constScanLine(y);
    hash = qHashBits(bits, size_t(line.Whole), hash);
    if (line.LastMask) hash = qHashMulti(hash, bits[line.Whole] & line.LastMask);
  }
  return hash;
}

bool SamePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.format() != b.format() || a.colorTable() != b.colorTable()) return false;
  if (a.isNull()) return true;
  const TLineBytes line = LineBytesOf(a);
  for (int y = 0; y < a.height(); ++y) {
    const uchar* p = a.constScanLine(y);
    const uchar* q = b.constScanLine(y);
    if (std::memcmp(p, q, size_t(line.Whole)) != 0) return false;
    if (line.LastMask && ((p[line.Whole] ^ q[line.Whole]) & line.LastMask)) return false;
  }
  return true;
}

constexpr QRgb Black = 0xFF000000u, White = 0xFFFFFFFFu;

// The 1-bit image of an image whose every pixel is exactly black or white (colour 0 black,
// 1 white, as new 1-bit bitmaps are made); a null image when any pixel is another colour.
QImage MonochromeOf(const QImage& source) {
  const QImage rgb = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                         ? source
                         : source.convertToFormat(QImage::Format_ARGB32);
  const int width = rgb.width(), height = rgb.height();
  QImage mono(width, height, QImage::Format_Mono);
  if (mono.isNull()) return QImage();
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  // RGB32 pixels carry an opaque alpha byte by definition; ARGB32 ones must be opaque.
  const QRgb opaque = rgb.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
  for (int y = 0; y < height; ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    uchar* out = mono.scanLine(y);
    std::memset(out, 0, size_t(mono.bytesPerLine()));
    for (int x = 0; x < width; ++x) {
      const QRgb c = in[x] | opaque;
      if (c == White) out[x >> 3] |= uchar(0x80u >> (x & 7));
      else if (c != Black) return QImage();
    }
  }
  mono.setDotsPerMeterX(source.dotsPerMeterX());
  mono.setDotsPerMeterY(source.dotsPerMeterY());
  return mono;
}

// A 1-bit image whose two colours are black and white, in either order and whatever their
// alpha (a file's palette has none), as the 1-bit image of MonochromeOf; a null image for
// any other.
QImage CanonicalMono(const QImage& image) {
  if (image.format() != QImage::Format_Mono && image.format() != QImage::Format_MonoLSB) return QImage();
  const QList<QRgb> table = image.colorTable();
  if (table.size() != 2) return QImage();
  const QRgb first = table[0] | 0xFF000000u, second = table[1] | 0xFF000000u;
  if (!((first == Black && second == White) || (first == White && second == Black))) return QImage();
  QImage mono = image.format() == QImage::Format_Mono ? image : image.convertToFormat(QImage::Format_Mono);
  if (first == White) mono.invertPixels();
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  return mono;
}
}  // namespace

size_t TGraphic::ContentHash() const {
  const QByteArray bytes = FileImage(*this);
  return qHashMulti(0, Width(), Height(), bytes);
}

bool TGraphic::SameContent(const TGraphic& other) const {
  if (typeid(other) != typeid(*this) || other.Width() != Width() || other.Height() != Height()) return false;
  return FileImage(*this) == FileImage(other);
}

size_t TBitmap::ContentHash() const { return PixelHash(Image()); }

bool TBitmap::SameContent(const TGraphic& other) const {
  auto* bitmap = dynamic_cast<const TBitmap*>(&other);
  return bitmap && SamePixels(Image(), bitmap->Image());
}

bool TBitmap::MakeMonochrome() {
  const QImage& image = Image();
  if (image.isNull()) return false;
  const QList<QRgb> canonical{qRgb(0, 0, 0), qRgb(255, 255, 255)};
  if (image.format() == QImage::Format_Mono && image.colorTable() == canonical) {
    FPixelFormat = pf1bit;
    return true;
  }
  QImage mono = CanonicalMono(image);
  if (mono.isNull()) mono = MonochromeOf(image);
  if (mono.isNull()) return false;
  FPixelFormat = pf1bit;
  SetImage(mono);
  return true;
}

size_t TJPEGImage::ContentHash() const { return qHashMulti(0, Width(), Height(), Empty() ? QByteArray() : Data()); }

bool TJPEGImage::SameContent(const TGraphic& other) const {
  auto* jpeg = dynamic_cast<const TJPEGImage*>(&other);
  if (!jpeg || jpeg->Width() != Width() || jpeg->Height() != Height() || jpeg->Empty() != Empty()) return false;
  return Empty() || jpeg->Data() == Data();
}
