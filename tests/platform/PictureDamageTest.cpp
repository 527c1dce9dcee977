// Pictures read from damaged data either load or raise EInvalidGraphic: never a crash, an
// exit or a half-changed picture. Runs a fixed series of random damages over each format.
#include <gtest/gtest.h>
#include <QBuffer>
#include <atomic>
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

namespace {
// A read-only buffer that remembers the largest read anyone asked of it.
class TWatchedBuffer : public QBuffer {
 public:
  explicit TWatchedBuffer(QByteArray* data) : QBuffer(data) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
  qint64 LargestRequest = 0;

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    LargestRequest = std::max(LargestRequest, maxSize);
    return QBuffer::readData(data, maxSize);
  }
};

void PutU32(QByteArray& bytes, int at, quint32 value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = char(value >> (8 * i));
}
}  // namespace

TEST(PictureDamage, LengthFieldsPromisingMoreThanTheDataAreNotTakenOnTrust) {
  // A bitmap header claiming a file of 256 MiB, and a metafile claiming a recording of
  // 512 MiB, each followed by a few bytes: refused without asking for the promised memory.
  QByteArray bmp = Saved(Sample()).left(40);
  PutU32(bmp, 2, 1u << 28);
  QByteArray wmf = Saved(TMetafile()).left(20);
  PutU32(wmf, 12, 1u << 29);
  wmf += QByteArray(30, 'x');
  // Pixel rows whose size times their count overflows 64 bits.
  QByteArray huge = Saved(Sample());
  PutU32(huge, 18, 0x7fffffff);
  PutU32(huge, 22, 0x7fffffff);
  huge[28] = char(0xff), huge[29] = char(0xff);
  const std::pair<TGraphic*, QByteArray*> cases[] = {
      {new TBitmap, &bmp}, {new TMetafile, &wmf}, {new TBitmap, &huge}};
  for (const auto& [graphic, data] : cases) {
    std::unique_ptr<TGraphic> owner(graphic);
    TWatchedBuffer buffer(data);
    EXPECT_THROW(graphic->LoadFromStream(buffer), EInvalidGraphic);
    EXPECT_LE(buffer.LargestRequest, 1 << 20);
  }
}

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
namespace {
std::atomic<size_t> Largest{0};  // the largest allocation since it was last reset
void OnMalloc(const volatile void*, size_t size) {
  if (size > Largest) Largest = size;
}
void OnFree(const volatile void*) {}
}  // namespace
#endif

TEST(PictureDamage, JpegFramesTheDataCannotHoldAreRefusedBeforeAllocating) {
#if !defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "needs the address sanitizer's allocation hooks";
#else
  static const int installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
  ASSERT_NE(installed, 0);
  // Real 48 x 32 pictures whose frame header claims 16000 x 16000 pixels (1 GiB decoded).
  for (bool progressive : {false, true}) {
    TJPEGImage small;
    small.SetProgressiveEncoding(progressive);
    small.Assign(Sample());
    QBuffer buffer;
    buffer.setData(small.Data());
    const qsizetype sof = buffer.data().indexOf(QByteArray(progressive ? "\xFF\xC2" : "\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    buffer.buffer().replace(sof + 5, 4, QByteArray("\x3E\x80\x3E\x80", 4));
    buffer.open(QIODevice::ReadOnly);
    TJPEGImage target = small;
    Largest = 0;
    EXPECT_THROW(DecodeJpeg(buffer.data()), EInvalidGraphic) << progressive;
    EXPECT_THROW(target.LoadFromStream(buffer), EInvalidGraphic) << progressive;
    EXPECT_LT(Largest, size_t(16) << 20) << progressive;
    EXPECT_EQ(target.Data(), small.Data());
    EXPECT_EQ(buffer.pos(), 0) << "a refused picture leaves the stream where it was";
  }
#endif
}
