#include <gtest/gtest.h>
#include <QBuffer>
#include <cstring>
#include "platform/Errors.h"
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "platform/PngImage.h"

namespace {
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

// A red square with a blue diagonal, recorded at 96 ppi in a 20 x 10 frame.
void RecordSample(TMetafile& mf) {
  mf.SetWidth(20);
  mf.SetHeight(10);
  TMetafileCanvas canvas(mf);
  canvas.Brush().Color = clRed;
  canvas.Pen().Style = psClear;
  canvas.Rectangle(0, 0, 10, 10);
  canvas.Pen().Style = psSolid;
  canvas.Pen().Color = clBlue;
  canvas.MoveTo(10, 0);
  canvas.LineTo(20, 10);
}
}  // namespace

TEST(Bitmap, CreatedWhiteInEachPixelFormat) {
  for (TPixelFormat f : {pfDevice, pf1bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap b;
    b.SetPixelFormat(f);
    b.SetSize(3, 2);
    EXPECT_EQ(b.PixelFormat(), f);
    EXPECT_EQ(QColor(b.Image().pixel(2, 1)), QColor(Qt::white)) << f;
  }
}

TEST(Bitmap, ReleasedHandleComesBackOnUseWithThePixelsKept) {
  TBitmap b(4, 4);
  b.Canvas().SetPixel(1, 1, clRed);
  EXPECT_TRUE(b.HandleAllocated());
  b.ReleaseHandle();
  EXPECT_FALSE(b.HandleAllocated());
  EXPECT_EQ(b.Image().pixel(1, 1), qRgb(255, 0, 0));
  b.Canvas().SetPixel(2, 2, clBlue);
  EXPECT_EQ(b.Image().pixel(2, 2), qRgb(0, 0, 255));
}

TEST(Bitmap, DamagedBmpRaisesAndKeepsTheOldPixels) {
  TBitmap b(30, 20);
  b.Canvas().SetPixel(0, 0, clRed);
  const QByteArray bmp = Saved(b);
  for (QByteArray bad : {bmp.left(10), bmp.left(60), QByteArray("BMxxxx"), QByteArray()}) {
    TBitmap target(2, 2);
    EXPECT_THROW(LoadBytes(target, bad), EInvalidGraphic) << bad.size();
    EXPECT_EQ(target.Width(), 2);
  }
  TBitmap copy;
  LoadBytes(copy, bmp);
  EXPECT_EQ(copy.Image().pixel(0, 0), qRgb(255, 0, 0));
}

TEST(Bitmap, AssignDrawsOtherKindsOnWhite) {
  TIcon icon;
  QImage argb(4, 4, QImage::Format_ARGB32);
  argb.fill(Qt::transparent);
  argb.setPixel(1, 1, qRgb(0, 255, 0));
  icon.SetImage(argb);
  TBitmap b;
  b.Assign(icon);
  EXPECT_EQ(b.Width(), 4);
  EXPECT_EQ(b.Image().pixel(1, 1), qRgb(0, 255, 0));
  EXPECT_EQ(b.Image().pixel(0, 0), qRgb(255, 255, 255));
}

TEST(Metafile, ReplaysAtAnyResolution) {
  TMetafile mf;
  RecordSample(mf);
  ASSERT_FALSE(mf.Empty());
  EXPECT_EQ(mf.Width(), 20);
  EXPECT_EQ(mf.MMWidth(), 529);  // 20/96 inch
  TBitmap big(200, 100);
  mf.Draw(big.Canvas(), QRect(0, 0, 200, 100));
  const QImage& out = big.Image();
  EXPECT_EQ(out.pixel(50, 50), qRgb(255, 0, 0));
  EXPECT_EQ(out.pixel(99, 99), qRgb(255, 0, 0));
  EXPECT_EQ(out.pixel(101, 50), qRgb(255, 255, 255));
  // The diagonal scales with the frame: a line from (100, 0) to (200, 100).
  EXPECT_EQ(out.pixel(150, 50), qRgb(0, 0, 255));
}

TEST(Metafile, SavesAndLoadsItsOwnFormatAndRefusesDamage) {
  TMetafile mf;
  RecordSample(mf);
  const QByteArray bytes = Saved(mf);
  TMetafile loaded;
  LoadBytes(loaded, bytes);
  EXPECT_EQ(loaded.Width(), 20);
  EXPECT_EQ(loaded.Height(), 10);
  EXPECT_EQ(Saved(loaded), bytes);

  QByteArray flipped = bytes;
  flipped[bytes.size() / 2] = char(flipped[bytes.size() / 2] ^ 0x5A);
  QByteArray huge = bytes;
  huge[12] = char(0xFF), huge[13] = char(0xFF), huge[14] = char(0xFF), huge[15] = char(0x7F);
  for (const QByteArray& bad : {bytes.left(bytes.size() - 1), bytes.left(8), flipped, huge, QByteArray()}) {
    TMetafile target;
    RecordSample(target);
    EXPECT_THROW(LoadBytes(target, bad), EInvalidGraphic);
    EXPECT_EQ(Saved(target), bytes);
  }
}

TEST(Icon, SavesAsIcoWithTransparency) {
  QImage argb(16, 16, QImage::Format_ARGB32);
  argb.fill(Qt::transparent);
  argb.setPixel(3, 4, qRgba(255, 0, 0, 255));
  TIcon icon;
  icon.SetImage(argb);
  const QByteArray ico = Saved(icon);
  ASSERT_GE(ico.size(), 6);
  EXPECT_EQ(ico.left(4), QByteArray("\0\0\1\0", 4));
  TIcon loaded;
  LoadBytes(loaded, ico);
  EXPECT_EQ(loaded.Width(), 16);
  EXPECT_EQ(loaded.Image().pixel(3, 4), qRgba(255, 0, 0, 255));
  EXPECT_EQ(qAlpha(loaded.Image().pixel(0, 0)), 0);
  TIcon target;
  EXPECT_THROW(LoadBytes(target, QByteArray("not an icon")), EInvalidGraphic);
}

TEST(PngImage, RoundTripsAndConvertsToJpeg) {
  TPngImage png;
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(qRgb(10, 200, 30));
  png.SetImage(image);
  TPngImage loaded;
  LoadBytes(loaded, Saved(png));
  EXPECT_EQ(loaded.Image().pixel(7, 7), qRgb(10, 200, 30));
  EXPECT_THROW(LoadBytes(loaded, Saved(png).left(30)), EInvalidGraphic);
  TJPEGImage jpeg;
  jpeg.Assign(png);
  EXPECT_EQ(jpeg.Width(), 8);
  QRgb px = jpeg.Image().pixel(4, 4);
  EXPECT_NEAR(qGreen(px), 200, 6);
}

TEST(Graphic, MetafileRecordsAnyPictureAssignedToIt) {
  TBitmap bitmap(2, 2);
  bitmap.Canvas().SetPixel(0, 0, clRed);
  TMetafile mf;
  mf.Assign(bitmap);
  EXPECT_EQ(mf.Width(), 2);
  TBitmap out(4, 4);
  mf.Draw(out.Canvas(), QRect(0, 0, 4, 4));
  EXPECT_EQ(out.Image().pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(out.Image().pixel(3, 3), qRgb(255, 255, 255));
}

namespace {
// Read-only bytes, sequential or random-access, unbuffered so that Delivered counts exactly
// what readers asked for.
class TCountingStream : public QIODevice {
 public:
  TCountingStream(QByteArray data, bool sequential) : FData(std::move(data)), FSequential(sequential) {
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  }
  bool isSequential() const override { return FSequential; }
  qint64 size() const override { return FSequential ? 0 : FData.size(); }
  bool seek(qint64 pos) override { return !FSequential && pos >= 0 && pos <= FData.size() && QIODevice::seek(FAt = pos); }
  qint64 Delivered = 0;

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 n = std::min(maxSize, FData.size() - FAt);
    std::memcpy(data, FData.constData() + FAt, size_t(n));
    FAt += n;
    Delivered += n;
    return n;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray FData;
  bool FSequential;
  qint64 FAt = 0;
};
}  // namespace

TEST(PictureStream, ReadersTakeOnlyTheirOwnBytesFromEveryKindOfStream) {
  TBitmap bitmap(24, 16);
  bitmap.Canvas().Brush().Color = clNavy;
  bitmap.Canvas().FillRect(QRect(2, 2, 10, 8));
  TJPEGImage jpeg;
  jpeg.Assign(bitmap);
  TMetafile metafile;
  metafile.Assign(bitmap);
  TIcon icon;
  icon.SetImage(bitmap.Image());
  TPngImage png;
  png.SetImage(bitmap.Image());
  // Without a length a JPEG stops at its end-of-image marker and a bitmap whose size field
  // is 0 where its headers end; the 20 MB after them are not theirs to read.
  QByteArray bmp = Saved(bitmap);
  bmp[2] = bmp[3] = bmp[4] = bmp[5] = 0;
  const QByteArray rest = QByteArray("next") + QByteArray(20 << 20, 'x');
  // With a length every kind reads exactly it, slack included, as a page file's records.
  const std::vector<const TGraphic*> kinds = {&jpeg, &bitmap, &metafile, &icon, &png};
  QByteArray file;
  for (const TGraphic* g : kinds) file += Saved(*g) + QByteArray("slack");
  for (bool sequential : {false, true}) {
    for (const QByteArray& picture : {jpeg.Data(), bmp}) {
      TCountingStream stream(picture + rest, sequential);
      std::unique_ptr<TGraphic> g(picture == bmp ? static_cast<TGraphic*>(new TBitmap) : new TJPEGImage);
      g->LoadFromStream(stream);
      EXPECT_EQ(g->Width(), 24) << sequential;
      EXPECT_LE(stream.Delivered, picture.size() + (64 << 10)) << sequential;
      EXPECT_EQ(stream.read(4), QByteArray("next")) << sequential;
    }
    TCountingStream stream(file + "NEXT", sequential);
    for (const TGraphic* g : kinds) {
      std::unique_ptr<TGraphic> loaded = g->Clone();
      loaded->Assign(TBitmap());  // emptied, so only the load can make it equal again
      ASSERT_TRUE(loaded->Empty());
      loaded->LoadFromStream(stream, Saved(*g).size() + 5);
      EXPECT_EQ(Saved(*loaded), Saved(*g)) << g->ClassName().toStdString();
    }
    EXPECT_EQ(stream.Delivered, file.size()) << "each byte read once, none beyond";
    EXPECT_EQ(stream.read(4), QByteArray("NEXT"));
  }
  // A stream that ends inside the length is a read error; the picture stays as it was.
  QBuffer cut;
  cut.setData(jpeg.Data());
  cut.open(QIODevice::ReadOnly);
  TJPEGImage target = jpeg;
  EXPECT_THROW(target.LoadFromStream(cut, jpeg.Data().size() + 1), EReadError);
  EXPECT_EQ(target.Data(), jpeg.Data());
}
