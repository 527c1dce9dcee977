// A barcode page kept at one bit per pixel: the page file it makes, and the print of that file
// against the print of a page file written with the same barcode at 24 bits.
#include <gtest/gtest.h>
#include <QBuffer>
#include <QtEndian>
#include "barcode/Ean13.h"
#include "platform/Graphics.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"
#include "tests/common/TestSupport.h"
#include "tests/platform/PrinterSpoolerSupport.h"
#include "tests/support/MemoryPrinterBackend.h"

namespace {

QByteArray Saved(const TVuPageList& list) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  list.SaveToStream(buffer);
  return buffer.data();
}

std::unique_ptr<TVuPageList> Loaded(QByteArray file) {
  auto list = std::make_unique<TVuPageList>();
  QBuffer buffer(&file);
  buffer.open(QIODevice::ReadOnly);
  EXPECT_TRUE(list->LoadFromStream(buffer));
  return list;
}

// The page file with its one picture record holding other BMP bytes: the record's end
// position is the only absolute position in such a file.
QByteArray WithPicture(const QByteArray& file, const QByteArray& from, const QByteArray& to) {
  const qsizetype at = file.indexOf(from);
  EXPECT_GT(at, 4);
  QByteArray end(4, '\0');
  qToLittleEndian<qint32>(qint32(at + to.size()), end.data());
  return file.left(at - 4) + end + to + file.mid(at + from.size());
}

// Bits per component and encoding of each picture in a PDF file, by pdfimages.
QStringList PictureDepths(const QString& pdf) {
  QByteArray list;
  EXPECT_EQ(RunProgram("pdfimages", {"-list", pdf}, &list), 0);
  QStringList depths;
  for (const QString& line : QString::fromUtf8(list).split(u'\n').mid(2)) {
    const QStringList f = line.simplified().split(u' ');
    if (f.size() >= 9) depths << f[7] + u'/' + f[8];
  }
  return depths;
}

}  // namespace

TEST(MonochromePicture, BarcodePageSavesLoadsAndPrintsAsThe24BitPage) {
  TMemoryPrinterInstall install{{MemoryA4Printer(QStringLiteral("Memory"), 300, 30, 45, 30, 45)},
                                QStringLiteral("Memory")};
  const QString value = QStringLiteral("9780306406157");
  const std::unique_ptr<TBitmap> mono = RenderEAN13(value, encodeEAN13(value).Modules);
  ASSERT_EQ(mono->PixelFormat(), pf1bit);
  ASSERT_EQ(mono->Image().format(), QImage::Format_Mono);
  TBitmap rgb;  // the same barcode as the display-depth bitmap of earlier builds
  rgb.SetImage(mono->Image().convertToFormat(QImage::Format_RGB32));

  auto recordedWith = [](const TBitmap& bitmap) {
    auto list = std::make_unique<TVuPageList>();
    list->SetPaperSize(A4);
    list->AddPage();
    list->Canvas().Draw(80, 50, bitmap, 1, vuMillimeters);
    return list;
  };
  const QByteArray oneBit = Saved(*recordedWith(*mono));
  // A file of earlier builds: the picture record as a 24-bit BMP, the object's pixel format
  // that of the display-depth bitmap.
  const QByteArray twentyFourBit = WithPicture(Saved(*recordedWith(rgb)), mono->ToBmp(), rgb.ToBmp());
  EXPECT_LT(oneBit.size(), 6 * 1024);
  EXPECT_GT(twentyFourBit.size(), 210 * 146 * 3);

  TTempDir dir;
  struct TPrinted {
    QString Pdf;
    QImage Picture;  // the stored picture after loading, as 32-bit pixels
  } printed[2];
  const QByteArray* files[2] = {&oneBit, &twentyFourBit};
  for (int i = 0; i < 2; ++i) {
    auto list = Loaded(*files[i]);
    ASSERT_EQ(list->ResourceTable().Graphics().Count(), 1);
    auto* picture = dynamic_cast<TBitmap*>(list->ResourceTable().Graphics().GetGraphic(0));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Image().format() == QImage::Format_Mono, i == 0);
    printed[i].Picture = picture->Image().convertToFormat(QImage::Format_RGB32);
    printed[i].Pdf = dir.File(QStringLiteral("page%1.pdf").arg(i));
    list->PrintToFile(printed[i].Pdf);
  }
  EXPECT_EQ(printed[0].Picture, rgb.Image());
  EXPECT_EQ(printed[1].Picture, rgb.Image());
  // The 1-bit picture reaches the PDF file as a 1-bit image, the other as 8-bit colour;
  // neither through a lossy codec.
  EXPECT_EQ(PictureDepths(printed[0].Pdf), QStringList{"1/image"});
  EXPECT_EQ(PictureDepths(printed[1].Pdf), QStringList{"8/image"});
  const QImage a = RenderPdfPage(printed[0].Pdf, 1, 300), b = RenderPdfPage(printed[1].Pdf, 1, 300);
  ASSERT_FALSE(a.isNull());
  EXPECT_FALSE(DarkBox(a).isEmpty());
  EXPECT_EQ(a, b);
}
