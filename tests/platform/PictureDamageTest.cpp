// Pictures read from damaged data either load or raise EInvalidGraphic: never a crash, an
// exit or a half-changed picture. Runs a fixed series of random damages over each format.
#include <gtest/gtest.h>
#include <QBuffer>
#include <random>
#include "platform/Errors.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"

namespace {
QByteArray Saved(const TGraphic& g) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  g.SaveToStream(buffer);
  return buffer.data();
}

TBitmap Sample() {
  TBitmap b(48, 32);
  b.Canvas().Brush().Color = clNavy;
  b.Canvas().FillRect(QRect(4, 4, 20, 12));
  b.Canvas().SetPixel(40, 30, clRed);
  return b;
}

// Loads every damaged variant into a copy of original; a failed load must leave the copy's
// file image as it was.
template <class T>
void Sweep(const T& original, unsigned seed, int& loaded, int& refused) {
  const QByteArray bytes = Saved(original);
  std::mt19937 random(seed);
  for (int n = 0; n < 150; ++n) {
    QByteArray damaged = bytes;
    switch (n % 3) {
      case 0: damaged.truncate(qsizetype(random() % bytes.size())); break;
      case 1:
        for (int k = 0; k <= n % 4; ++k) damaged[qsizetype(random() % bytes.size())] = char(random());
        break;
      default: damaged.insert(qsizetype(random() % bytes.size()), QByteArray(int(random() % 9) + 1, char(random())));
    }
    T target = original;
    QBuffer buffer(&damaged);
    buffer.open(QIODevice::ReadOnly);
    try {
      target.LoadFromStream(buffer);
      ++loaded;
      TBitmap canvas(60, 40);
      target.Draw(canvas.Canvas(), QRect(0, 0, 60, 40));
    } catch (const EInvalidGraphic&) {
      ++refused;
      EXPECT_EQ(Saved(target), bytes) << n;
    }
  }
}
}  // namespace

TEST(PictureDamage, JpegBitmapAndMetafileSurviveRandomDamage) {
  TBitmap bitmap = Sample();
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMetafile metafile;
  metafile.Assign(bitmap);
  int loaded = 0, refused = 0;
  Sweep(jpeg, 1, loaded, refused);
  Sweep(bitmap, 2, loaded, refused);
  Sweep(metafile, 3, loaded, refused);
  // Most damage is noticed; a byte changed inside the pixel data cannot be.
  EXPECT_GT(refused, 150);
  EXPECT_EQ(loaded + refused, 450);
}
