#include <gtest/gtest.h>
#include <QBuffer>
#include <QPainter>
#include <cstdlib>
#include "platform/Errors.h"
#include "platform/Jpeg.h"

namespace {
// A smooth gradient with a few solid blocks: typical of what gets compressed.
TBitmap SampleBitmap(int w = 64, int h = 40) {
  TBitmap bitmap(w, h);
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
  QPainter p(&image);
  p.fillRect(QRect(8, 8, 16, 16), Qt::black);
  p.fillRect(QRect(32, 16, 16, 16), Qt::white);
  p.end();
  bitmap.SetImage(image);
  return bitmap;
}

QByteArray Saved(const TGraphic& g) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  g.SaveToStream(buffer);
  return buffer.data();
}

void LoadBytes(TGraphic& g, QByteArray bytes) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  g.LoadFromStream(buffer);
}
}  // namespace

TEST(Jpeg, BitmapRoundTripKeepsSizeWithinASmallError) {
  TBitmap bitmap = SampleBitmap();
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  EXPECT_EQ(jpeg.Width(), 64);
  EXPECT_EQ(jpeg.Height(), 40);
  EXPECT_EQ(jpeg.CompressionQuality(), 90);

  TJPEGImage loaded;
  LoadBytes(loaded, Saved(jpeg));
  EXPECT_EQ(loaded.Data(), jpeg.Data());
  const QImage& out = loaded.Image();
  ASSERT_EQ(out.size(), QSize(64, 40));
  const QImage& in = bitmap.Image();
  long long total = 0;
  int worst = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 64; ++x) {
      QRgb a = in.pixel(x, y), b = out.pixel(x, y);
      int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                        std::abs(qBlue(a) - qBlue(b))});
      worst = std::max(worst, d);
      total += d;
    }
  EXPECT_LT(double(total) / (64 * 40), 4.0);
  EXPECT_LT(worst, 64);  // block edges ring a little at quality 90
}

TEST(Jpeg, EncodesBaselineFullColour) {
  TJPEGImage jpeg;
  jpeg.Assign(SampleBitmap());
  const QByteArray& d = jpeg.Data();
  ASSERT_GT(d.size(), 4);
  EXPECT_EQ(uchar(d[0]), 0xFF);
  EXPECT_EQ(uchar(d[1]), 0xD8);
  EXPECT_TRUE(d.contains(QByteArray("\xFF\xC0", 2)));   // baseline frame
  EXPECT_FALSE(d.contains(QByteArray("\xFF\xC2", 2)));  // no progressive frame
  const qsizetype sof = d.indexOf(QByteArray("\xFF\xC0", 2));
  EXPECT_EQ(int(uchar(d[sof + 9])), 3);  // three colour components
}

TEST(Jpeg, DamagedDataRaisesAndLeavesTheImageAsItWas) {
  TJPEGImage good;
  good.Assign(SampleBitmap(96, 64));
  const QByteArray bytes = good.Data();
  const qsizetype sos = bytes.indexOf(QByteArray("\xFF\xDA", 2));
  ASSERT_GT(sos, 0);

  std::vector<QByteArray> damaged;
  damaged.push_back(QByteArray());
  damaged.push_back(bytes.left(1));
  damaged.push_back(bytes.left(100));
  damaged.push_back(bytes.left(sos + 20));
  damaged.push_back(bytes.left(bytes.size() - 2));   // no end-of-image marker
  damaged.push_back(bytes.left(bytes.size() / 2));
  QByteArray flipped = bytes;
  flipped[0] = char(flipped[0] ^ 0xFF);  // start-of-image marker
  damaged.push_back(flipped);
  flipped = bytes;
  flipped[bytes.indexOf(QByteArray("\xFF\xC0", 2)) + 1] = char(0xC9);  // unsupported coding
  damaged.push_back(flipped);
  flipped = bytes;
  flipped[bytes.indexOf(QByteArray("\xFF\xC4", 2)) + 4] = char(0x7F);  // Huffman table class
  damaged.push_back(flipped);
  flipped = bytes;
  flipped[sos + 4] = char(9);  // component count of the scan
  damaged.push_back(flipped);
  damaged.push_back(QByteArray("GIF89a not a jpeg at all"));

  for (size_t i = 0; i < damaged.size(); ++i) {
    TJPEGImage target = good;
    EXPECT_THROW(LoadBytes(target, damaged[i]), EInvalidGraphic) << "case " << i;
    EXPECT_EQ(target.Data(), bytes) << "case " << i;
    EXPECT_EQ(target.Width(), 96);
    EXPECT_THROW(DecodeJpeg(damaged[i]), EInvalidGraphic) << "case " << i;
  }
}

TEST(Jpeg, ReadsOnlyItsOwnBytesFromALongerStream) {
  TJPEGImage jpeg;
  jpeg.Assign(SampleBitmap());
  QByteArray stream = QByteArray("head") + jpeg.Data() + QByteArray("next record");
  QBuffer buffer(&stream);
  buffer.open(QIODevice::ReadOnly);
  buffer.seek(4);
  TJPEGImage loaded;
  loaded.LoadFromStream(buffer);
  EXPECT_EQ(loaded.Data(), jpeg.Data());
  EXPECT_EQ(buffer.readAll(), QByteArray("next record"));
}

TEST(Jpeg, DrawsScaledIntoTheRectangle) {
  TBitmap bitmap(10, 10);
  bitmap.Canvas().Brush().Color = clBlack;
  bitmap.Canvas().FillRect(QRect(0, 0, 10, 10));
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TBitmap target(40, 40);
  jpeg.Draw(target.Canvas(), QRect(10, 10, 20, 20));
  const QImage& out = target.Image();
  EXPECT_LT(qRed(out.pixel(20, 20)), 16);
  EXPECT_EQ(out.pixel(5, 5), qRgb(255, 255, 255));
  EXPECT_EQ(out.pixel(31, 31), qRgb(255, 255, 255));
}

TEST(Jpeg, GrayscaleAndProgressiveSettingsAreHonoured) {
  TJPEGImage jpeg;
  jpeg.SetGrayscale(true);
  jpeg.SetProgressiveEncoding(true);
  jpeg.Assign(SampleBitmap());
  EXPECT_TRUE(jpeg.Data().contains(QByteArray("\xFF\xC2", 2)));
  const QImage& out = jpeg.Image();
  EXPECT_EQ(qRed(out.pixel(50, 30)), qBlue(out.pixel(50, 30)));
}

namespace {
// Puts the cache bounds back however a test ends.
struct TCacheLimitsGuard {
  int Images = JpegCacheImages();
  qsizetype Bytes = JpegCacheLimit();
  ~TCacheLimitsGuard() { SetJpegCacheLimits(Images, Bytes); }
};
}  // namespace

TEST(Jpeg, DecodedPixelsLiveOnlyInABoundedSharedCache) {
  TCacheLimitsGuard guard;
  TJPEGImage first;
  first.Assign(SampleBitmap());
  const qint64 key = first.Image().cacheKey();
  EXPECT_EQ(first.Image().cacheKey(), key);  // the very same image while cached
  const TJPEGImage copy = first;
  EXPECT_EQ(copy.Image().cacheKey(), key);  // and for every copy of the picture

  // Drawing as many other pictures as the cache holds pushes the first one out: the picture
  // itself keeps only its compressed bytes.
  std::vector<TJPEGImage> others(static_cast<size_t>(JpegCacheImages()));
  for (TJPEGImage& other : others) {
    other.Assign(SampleBitmap(32, 32));
    TBitmap target(32, 32);
    other.Draw(target.Canvas(), QRect(0, 0, 32, 32));
  }
  EXPECT_NE(first.Image().cacheKey(), key);

  // The byte bound: two 32 x 32 pictures fit, a third pushes the oldest out, and a picture
  // larger than the bound is never kept.
  SetJpegCacheLimits(100, 2 * 32 * 32 * 4);
  const qint64 k0 = others[0].Image().cacheKey(), k1 = others[1].Image().cacheKey();
  EXPECT_EQ(others[1].Image().cacheKey(), k1);
  others[2].Image();
  EXPECT_EQ(others[1].Image().cacheKey(), k1);
  EXPECT_NE(others[0].Image().cacheKey(), k0);
  EXPECT_LE(JpegCacheBytes(), 2 * 32 * 32 * 4);
  EXPECT_NE(first.Image().cacheKey(), first.Image().cacheKey());
  // Freeing a picture frees its pixels.
  const qsizetype before = JpegCacheBytes();
  others.clear();
  EXPECT_LT(JpegCacheBytes(), before);
}
