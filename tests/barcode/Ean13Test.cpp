// EAN-13 completion, encoding and the pixel geometry of the barcode bitmap.
#include <gtest/gtest.h>
#include <QRandomGenerator>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "barcode/Bcchksum.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"

namespace {
QString Complete(const QString& typed) {
  TNyBarcode barcode;
  TEan13Value v = NormaliseEAN13(typed, barcode);
  return v.Kind == TEan13Value::ekCompleted ? v.Value : QStringLiteral("<kind %1>").arg(v.Kind);
}

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }
}  // namespace

TEST(CheckSumModulo10, WeightsCountFromTheRight) {
  EXPECT_EQ(CheckSumModulo10("123456789012"), "1234567890128");  // sum 92
  EXPECT_EQ(CheckSumModulo10("123000000000"), "1230000000000");  // sum 10
  EXPECT_EQ(CheckSumModulo10("978030640615"), "9780306406157");
  EXPECT_EQ(CheckSumModulo10(""), "0");
  EXPECT_EQ(CheckSumModulo10("7"), "79");  // 3 * 7 = 21
  EXPECT_EQ(CheckSumModulo10("1234567"), "12345670");  // EAN-8 style length
}

TEST(CheckSumModulo10, NonDigitRaisesConversionError) {
  try {
    CheckSumModulo10("12a4");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'a' is not a valid integer value");
  }
}

TEST(TNyBarcode, DoCheckSummingFollowsTheMethod) {
  TNyBarcode barcode;
  EXPECT_EQ(barcode.Typ(), bcCodeEAN13);
  EXPECT_EQ(barcode.CheckSumMethod(), csmModulo10);
  EXPECT_EQ(barcode.DoCheckSumming("400638133393"), "4006381333931");
  barcode.SetCheckSumMethod(csmNone);
  EXPECT_EQ(barcode.DoCheckSumming("400638133393"), "400638133393");
}

TEST(NormaliseEAN13, CutsPadsAndCompletes) {
  EXPECT_EQ(Complete("123"), "1230000000000");
  EXPECT_EQ(Complete("1234567890123"), "1234567890128");  // typed check digit replaced
  EXPECT_EQ(Complete("12345678901234567"), "1234567890128");
  EXPECT_EQ(Complete("4006381333931"), "4006381333931");
  EXPECT_EQ(Complete("978030640615"), "9780306406157");
  EXPECT_EQ(Complete("0123456789012"), "0123456789012");  // refused later, by the encoder
}

TEST(NormaliseEAN13, RefusesAnyNonDigitOfTheUntrimmedText) {
  TNyBarcode barcode;
  for (QString typed : {QStringLiteral(" 1234567890128"), QStringLiteral("1234567890128 "),
                        QStringLiteral("12-34"), QStringLiteral("12\t3"), QString::fromUtf8("12\xc3\xa9")}) {
    TEan13Value v = NormaliseEAN13(typed, barcode);
    EXPECT_EQ(v.Kind, TEan13Value::ekRefused) << typed.toStdString();
    EXPECT_EQ(v.Message, "EAN13 must be 13 digits.");
  }
  EXPECT_EQ(NormaliseEAN13("   ", barcode).Kind, TEan13Value::ekNothing);
  EXPECT_EQ(NormaliseEAN13("", barcode).Kind, TEan13Value::ekNothing);
  EXPECT_EQ(NormaliseEAN13("\t\r\n", barcode).Kind, TEan13Value::ekNothing);
}

TEST(encodeEAN13, WorkedExampleModuleByModule) {
  TEan13Modules m = encodeEAN13("1234567890128");
  ASSERT_TRUE(m.Ok);
  EXPECT_EQ(m.Modules,
            "101"
            "0010011" "0111101" "0011101" "0110001" "0000101" "0010001"
            "01010"
            "1001000" "1110100" "1110010" "1100110" "1101100" "1001000"
            "101");
}

TEST(encodeEAN13, ParityRowOfFirstDigitFour) {
  // First digit 4: A, B, A, A, B, B for digits 2..7; digit 0 is 0001101 in A, 0100111 in B.
  TEan13Modules m = encodeEAN13("4000000000009");
  ASSERT_TRUE(m.Ok);
  EXPECT_EQ(m.Modules.mid(3, 42), "0001101" "0100111" "0001101" "0001101" "0100111" "0100111");
  EXPECT_EQ(m.Modules.mid(50, 7), "1110010");
}

TEST(encodeEAN13, Refusals) {
  EXPECT_EQ(encodeEAN13("0123456789012").Message, "First digital cannot be 0.");
  EXPECT_FALSE(encodeEAN13("0123456789012").Ok);
  EXPECT_EQ(encodeEAN13("123456789012").Message, "Barcode ID length must be 13 numbers");
  EXPECT_EQ(encodeEAN13("12345678901234").Message, "Barcode ID length must be 13 numbers");
  EXPECT_FALSE(encodeEAN13("12345678901x4").Ok);
}

TEST(encodeEAN13, EveryValueHas95ModulesAndItsGuards) {
  auto* rng = QRandomGenerator::global();
  TNyBarcode barcode;
  for (int n = 0; n < 500; ++n) {
    QString digits = QString::number(rng->bounded(1, 10));
    for (int i = 0; i < 11; ++i) digits += QChar(u'0' + rng->bounded(10));
    TEan13Modules m = encodeEAN13(barcode.DoCheckSumming(digits));
    ASSERT_TRUE(m.Ok);
    ASSERT_EQ(m.Modules.size(), 95);
    EXPECT_TRUE(m.Modules.startsWith("101") && m.Modules.endsWith("101"));
    EXPECT_EQ(m.Modules.mid(45, 5), "01010");
    // Each digit pattern has two bars; the symbol has 30 bars in its digits and 6 in guards.
    int bars = 0;
    for (int i = 0; i < 95; ++i) bars += m.Modules[i] == u'1' && (i == 0 || m.Modules[i - 1] == u'0');
    EXPECT_EQ(bars, 30);
  }
}

class RenderEAN13Test : public testing::Test {
 protected:
  void Render(const QString& value) {
    TEan13Modules m = encodeEAN13(value);
    ASSERT_TRUE(m.Ok);
    modules = m.Modules;
    image = RenderEAN13(value, modules)->Image().convertToFormat(QImage::Format_RGB32);
  }
  QString modules;
  QImage image;
};

TEST_F(RenderEAN13Test, ExactBlackAndWhiteOfTheRightSize) {
  Render("1234567890128");
  ASSERT_EQ(image.size(), QSize(210, 146));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QRgb p = image.pixel(x, y) & 0xFFFFFF;
      ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << "grey pixel at " << x << "," << y;
    }
}

TEST_F(RenderEAN13Test, BarsFollowTheModulesRowsAndColumns) {
  for (QString value : {QStringLiteral("1234567890128"), QStringLiteral("4006381333931"),
                        QStringLiteral("9780306406157")}) {
    Render(value);
    for (int k = 1; k <= 95; ++k) {
      const bool guard = k <= 3 || (k >= 46 && k <= 50) || k >= 93;
      const bool dark = modules[k - 1] == u'1';
      for (int x : {2 * k + 13, 2 * k + 14}) {
        EXPECT_FALSE(Dark(image, x, 9)) << value.toStdString() << " module " << k;
        for (int y : {10, 60, 122}) EXPECT_EQ(Dark(image, x, y), dark) << "module " << k << " row " << y;
        // Guards reach row 135; no bar reaches row 136.
        if (guard) {
          EXPECT_EQ(Dark(image, x, 135), dark) << "guard module " << k;
          EXPECT_FALSE(Dark(image, x, 136)) << "guard module " << k;
        }
      }
    }
  }
}

TEST_F(RenderEAN13Test, DarkModuleAreas) {
  Render("1234567890128");
  // Start guard: dark columns 15, 16, 19, 20 from row 10 to 135; 17 and 18 white.
  for (int y = 0; y < 146; ++y) {
    const bool inBar = y >= 10 && y <= 135;
    EXPECT_EQ(Dark(image, 15, y), inBar) << y;
    EXPECT_EQ(Dark(image, 16, y), inBar) << y;
    EXPECT_FALSE(Dark(image, 17, y)) << y;
    EXPECT_FALSE(Dark(image, 18, y)) << y;
    EXPECT_EQ(Dark(image, 19, y), inBar) << y;
    EXPECT_EQ(Dark(image, 20, y), inBar) << y;
  }
  // A normal dark module: module 5 is '1' (second module of digit 2 in set A "0010011").
  ASSERT_EQ(modules[5 - 1], u'0');
  ASSERT_EQ(modules[6 - 1], u'1');
  int column = 2 * 6 + 13, dark = 0;
  for (int y = 0; y < 123; ++y) dark += Dark(image, column, y);
  EXPECT_EQ(dark, 113);
}

TEST_F(RenderEAN13Test, MarginsStayWhiteOutsideTheFirstDigit) {
  Render("1234567890128");
  for (int x = 0; x < 210; ++x)
    for (int y = 0; y < 10; ++y) EXPECT_FALSE(Dark(image, x, y)) << x << "," << y;
  for (int y = 0; y < 146; ++y) {
    for (int x = 205; x < 210; ++x) EXPECT_FALSE(Dark(image, x, y)) << x << "," << y;
    for (int x = 0; x < 4; ++x) EXPECT_FALSE(Dark(image, x, y)) << x << "," << y;
    if (y < 123) {
      for (int x = 4; x < 15; ++x) EXPECT_FALSE(Dark(image, x, y)) << x << "," << y;
    }
  }
  // The first digit is drawn in its cell below the bars.
  int ink = 0;
  for (int y = 123; y < 146; ++y)
    for (int x = 4; x < 15; ++x) ink += Dark(image, x, y);
  EXPECT_GT(ink, 5);
}

TEST(DrawEAN13, DigitTextCellsAreOpaqueAndWhereTheLayoutPutsThem) {
  // Drawn over a grey background, the opaque white text cells show as white boxes.
  TBitmap bitmap(210, 146);
  QImage grey(210, 146, QImage::Format_RGB32);
  grey.fill(QColor(128, 128, 128));
  bitmap.SetImage(grey);
  DrawEAN13(bitmap.Canvas(), "1234567890128", encodeEAN13("1234567890128").Modules);
  const QImage& image = bitmap.Image();
  auto isGrey = [&](int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == 0x808080; };
  const int row = 130;
  for (int x = 30; x <= 97; ++x) EXPECT_FALSE(isGrey(x, row)) << x;
  for (int x = 121; x <= 188; ++x) EXPECT_FALSE(isGrey(x, row)) << x;
  for (int x : {29, 98, 99, 120, 189, 190}) EXPECT_TRUE(isGrey(x, row)) << x;
  EXPECT_FALSE(isGrey(4, row));
  EXPECT_TRUE(isGrey(3, row));
  // Cells start on row 123, right below the last row of the normal bars.
  const QString modules = encodeEAN13("1234567890128").Modules;
  for (int k = 10; k <= 40; ++k) {
    if (modules[k - 1] != u'0') continue;
    EXPECT_TRUE(isGrey(2 * k + 13, 122)) << "light module " << k;
    EXPECT_FALSE(isGrey(2 * k + 13, 123)) << "light module " << k;
  }
}

// The bitmap renderer writes pixels directly; it must equal the canvas drawing of the same
// symbol on a white bitmap, pixel for pixel, for every digit in every text position.
TEST(RenderEAN13, EqualsTheCanvasDrawing) {
  auto* rng = QRandomGenerator::global();
  TNyBarcode barcode;
  QStringList values = {"1234567890128", "9999999999994", "1000000000009", "5012345678900"};
  for (int n = 0; n < 60; ++n) {
    QString digits = QString::number(rng->bounded(1, 10));
    for (int i = 0; i < 11; ++i) digits += QChar(u'0' + rng->bounded(10));
    values << barcode.DoCheckSumming(digits);
  }
  for (const QString& value : values) {
    const QString modules = encodeEAN13(value).Modules;
    TBitmap reference(210, 146);
    DrawEAN13(reference.Canvas(), value, modules);
    const auto rendered = RenderEAN13(value, modules);
    ASSERT_EQ(rendered->PixelFormat(), pf1bit) << value.toStdString();
    ASSERT_EQ(rendered->Image().convertToFormat(QImage::Format_RGB32), reference.Image()) << value.toStdString();
  }
  // Other sizes clip the same way.
  const QString modules = encodeEAN13("1234567890128").Modules;
  for (QSize size : {QSize(100, 130), QSize(300, 200)}) {
    TBitmap reference(size.width(), size.height());
    DrawEAN13(reference.Canvas(), "1234567890128", modules);
    EXPECT_EQ(RenderEAN13("1234567890128", modules, size.width(), size.height())->Image().convertToFormat(QImage::Format_RGB32),
              reference.Image());
  }
}

TEST(EAN13BitmapFile, OneBitPerPixelWithTheSamePixels) {
  const QString value = "4006381333931";
  auto bitmap = RenderEAN13(value, encodeEAN13(value).Modules);
  QByteArray file = EAN13BitmapFile(*bitmap);
  ASSERT_TRUE(file.startsWith("BM"));
  EXPECT_EQ(uint8_t(file[28]), 1);  // bits per pixel
  QImage loaded;
  ASSERT_TRUE(loaded.loadFromData(file, "BMP"));
  EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32), bitmap->Image().convertToFormat(QImage::Format_RGB32));
}
