// The barcode component: properties and notifications, module widths, encoding entry,
// geometry of the drawn bars and text.
#include <gtest/gtest.h>
#include <QImage>
#include <QRect>
#include <limits>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "platform/Errors.h"
#include "platform/Graphics.h"

namespace {

struct TCounted {
  TNyBarcode Barcode;
  int Changes = 0;
  TCounted() { Barcode.OnChange = [this](TNyBarcode*) { ++Changes; }; }
};

// Bounding box of the pixels of the given colour.
QRect PixelBox(const QImage& image, QRgb colour) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
  return box;
}

QString Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return QStringLiteral("<no error>");
}

}  // namespace

TEST(BarcodeComponent, InitialValuesAndSymbologyTable) {
  TNyBarcode b;
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.Text(), "");
  EXPECT_EQ(b.Modul(), 1);
  EXPECT_EQ(b.Ratio(), 2.0);
  EXPECT_EQ(b.Typ(), bcCodeEAN13);
  EXPECT_FALSE(b.Checksum());
  EXPECT_EQ(b.CheckSumMethod(), csmModulo10);
  EXPECT_EQ(b.Angle(), 0.0);
  EXPECT_EQ(b.ShowText(), bcoNone);
  EXPECT_EQ(b.ShowTextPosition(), stpTopLeft);
  EXPECT_EQ(b.Color(), clWhite);
  EXPECT_EQ(b.ColorBar(), clBlack);
  EXPECT_EQ(b.ShowTextFont(), TFont());

  EXPECT_EQ(BarcodeTypeName(bcCodeCodabar), "Codebar");
  EXPECT_EQ(BarcodeTypeName(bcCode39Extended), "Code39 Extended");
  EXPECT_EQ(BarcodeTypeName(bcCodeUPC_Supp5), "UPC Supp5");
  EXPECT_EQ(BarcodeTypeName(bcCode_2_5_interleaved), "2_5_interleaved");
  int digitsOnly = 0;
  for (int i = 0; i < BarcodeTypeCount; ++i) digitsOnly += BarcodeTypeNumberOnly(TBarcodeType(i));
  EXPECT_EQ(digitsOnly, 14);
  EXPECT_FALSE(BarcodeTypeNumberOnly(bcCodeEAN128B));
  EXPECT_TRUE(BarcodeTypeNumberOnly(bcCodeEAN128C));
}

TEST(BarcodeComponent, SettersNotifyOnRealChangesOnly) {
  TCounted c;
  c.Barcode.SetHeight(10);
  c.Barcode.SetHeight(10);
  c.Barcode.SetText(QStringLiteral("A"));
  c.Barcode.SetTyp(bcCode39);
  c.Barcode.SetAngle(90);
  c.Barcode.SetAngle(90);
  EXPECT_EQ(c.Changes, 4);
  // Colours and the check-sum method are stored without a notification.
  c.Barcode.SetColor(clRed);
  c.Barcode.SetColorBar(clBlue);
  c.Barcode.SetCheckSumMethod(csmNone);
  EXPECT_EQ(c.Changes, 4);
  // The font is copied and always notifies.
  TFont f;
  f.Height = -20;
  c.Barcode.SetShowTextFont(f);
  EXPECT_EQ(c.Barcode.ShowTextFont().Height, -20);
  EXPECT_EQ(c.Changes, 5);
}

TEST(BarcodeComponent, ModulOutsideOneTo49IsRefusedSilently) {
  TCounted c;
  c.Barcode.SetModul(7);
  EXPECT_EQ(c.Changes, 1);
  c.Barcode.SetModul(50);
  c.Barcode.SetModul(0);
  c.Barcode.SetModul(-3);
  EXPECT_EQ(c.Barcode.Modul(), 7);
  EXPECT_EQ(c.Changes, 1);
  c.Barcode.SetModul(49);
  EXPECT_EQ(c.Barcode.Modul(), 49);
}

TEST(BarcodeComponent, ModuleWidths) {
  TNyBarcode b;
  b.SetTyp(bcCode128B);
  b.MakeModules();
  EXPECT_EQ((std::vector<int>{b.ModuleWidth(0), b.ModuleWidth(1), b.ModuleWidth(2), b.ModuleWidth(3)}),
            (std::vector<int>{1, 2, 3, 4}));
  b.SetModul(2);
  b.SetRatio(2.5);
  b.MakeModules();
  EXPECT_EQ((std::vector<int>{b.ModuleWidth(0), b.ModuleWidth(1), b.ModuleWidth(2), b.ModuleWidth(3)}),
            (std::vector<int>{2, 5, 7, 10}));
  // 1 x 2.5 rounds to the even neighbour 2.
  b.SetModul(1);
  b.MakeModules();
  EXPECT_EQ(b.ModuleWidth(1), 2);
  // The widest elements pass 127 pixels without wrapping.
  b.SetModul(49);
  b.SetRatio(3);
  b.MakeModules();
  EXPECT_EQ((std::vector<int>{b.ModuleWidth(0), b.ModuleWidth(1), b.ModuleWidth(2), b.ModuleWidth(3)}),
            (std::vector<int>{49, 147, 220, 294}));
  b.SetText(QStringLiteral("A"));
  EXPECT_GT(b.GetWidth(), 0);
}

TEST(BarcodeComponent, RatioClampedBySymbology) {
  TCounted c;
  TNyBarcode& b = c.Barcode;
  b.SetText(QStringLiteral("AB"));
  b.SetTyp(bcCode39);
  b.SetRatio(5);
  const int before = c.Changes;
  b.MakeData();
  EXPECT_EQ(b.Ratio(), 3.0);
  EXPECT_EQ(c.Changes, before + 1);  // through the setter
  b.SetRatio(1);
  b.MakeData();
  EXPECT_EQ(b.Ratio(), 2.0);

  b.SetTyp(bcCode128B);
  b.SetRatio(5);
  b.MakeData();
  EXPECT_EQ(b.Ratio(), 5.0);
  b.SetTyp(bcCodeEAN128A);
  b.MakeData();
  EXPECT_EQ(b.Ratio(), 5.0);

  b.SetTyp(bcCode_2_5_matrix);
  b.SetText(QStringLiteral("12"));
  b.SetRatio(2);
  b.MakeData();
  EXPECT_EQ(b.Ratio(), 2.25);
}

// Ratios that would make no sound widths are kept within bounds; the widths are those of
// the bounded ratio.
TEST(BarcodeComponent, RatioBounds) {
  struct TCase {
    TBarcodeType Typ;
    double Ratio;
    double Kept;
    std::vector<int> Widths;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const TCase& c : {TCase{bcCode128B, 1e9, 10.0, {1, 10, 15, 20}}, TCase{bcCode93, 0.5, 1.0, {1, 1, 1, 2}},
                         TCase{bcCodeMSI, -3.0, 1.0, {1, 1, 1, 2}}, TCase{bcCodePostNet, 7.0, 7.0, {1, 7, 10, 14}},
                         TCase{bcCode128C, nan, 2.0, {1, 2, 3, 4}}, TCase{bcCode39, nan, 2.0, {1, 2, 3, 4}},
                         TCase{bcCodeEAN128A, inf, 2.0, {1, 2, 3, 4}}}) {
    SCOPED_TRACE(BarcodeTypeName(c.Typ).toStdString() + " " + std::to_string(c.Ratio));
    TNyBarcode b;
    b.SetTyp(c.Typ);
    b.SetText(QStringLiteral("12"));
    b.SetRatio(c.Ratio);
    b.MakeData();
    EXPECT_EQ(b.Ratio(), c.Kept);
    EXPECT_EQ((std::vector<int>{b.ModuleWidth(0), b.ModuleWidth(1), b.ModuleWidth(2), b.ModuleWidth(3)}), c.Widths);
  }
}

TEST(BarcodeComponent, DigitsOnlyTextIsTrimmedAndChecked) {
  TCounted c;
  TNyBarcode& b = c.Barcode;
  b.SetTyp(bcCode_2_5_industrial);
  b.SetText(QStringLiteral(" 123 "));
  const int before = c.Changes;
  b.MakeData();
  EXPECT_EQ(b.Text(), "123");
  EXPECT_EQ(c.Changes, before + 1);
  b.SetText(QStringLiteral("12a"));
  EXPECT_EQ(Message([&] { b.MakeData(); }), "Barcode must be numeric");
  // Other symbologies keep their spaces.
  b.SetTyp(bcCode39);
  b.SetText(QStringLiteral(" A "));
  b.MakeData();
  EXPECT_EQ(b.Text(), " A ");
}

TEST(BarcodeComponent, ElementCharactersAndInternalError) {
  TNyBarcode b;
  b.SetModul(2);
  b.MakeModules();  // 2, 4, 6, 8
  int w = 0;
  TBarLineType t = white;
  b.OneBarProps(u'3', w, t);
  EXPECT_EQ(w, 8);
  EXPECT_EQ(t, white);
  b.OneBarProps(u'6', w, t);
  EXPECT_EQ(w, 4);
  EXPECT_EQ(t, black);
  b.OneBarProps(u'C', w, t);
  EXPECT_EQ(w, 6);
  EXPECT_EQ(t, black_half);
  for (QChar bad : {u'4', u'9', u'E', u'a', u' '})
    EXPECT_EQ(Message([&] { b.OneBarProps(bad, w, t); }), "TNyBarcode: internal Error");
  EXPECT_EQ(Message([&] { b.DoLines(QStringLiteral("5X"), *std::make_unique<TCanvas>()); }),
            "TNyBarcode: internal Error");
}

TEST(BarcodeComponent, WrongTypeIsRefused) {
  TNyBarcode b;
  b.SetTyp(TBarcodeType(BarcodeTypeCount));
  EXPECT_EQ(Message([&] { b.MakeData(); }), "TNyBarcode: wrong BarcodeType");
}

TEST(BarcodeComponent, AssignCopiesSettingsWithoutNotifying) {
  TNyBarcode source;
  int sourceCalls = 0;
  source.OnChange = [&](TNyBarcode*) { ++sourceCalls; };
  source.SetHeight(40);
  source.SetText(QStringLiteral("XY"));
  source.SetTop(3);
  source.SetLeft(4);
  source.SetModul(5);
  source.SetRatio(2.5);
  source.SetTyp(bcCode93);
  source.SetChecksum(true);
  source.SetShowText(bcoBoth);
  source.SetAngle(45);
  source.SetColor(clYellow);
  source.SetColorBar(clNavy);
  source.SetCheckSumMethod(csmNone);
  source.SetShowTextPosition(stpBottomRight);
  TFont font;
  font.Height = -30;
  source.SetShowTextFont(font);
  sourceCalls = 0;

  TNyBarcode target;
  target.Assign(&source);
  EXPECT_EQ(sourceCalls, 0);
  EXPECT_EQ(target.Height(), 40);
  EXPECT_EQ(target.Text(), "XY");
  EXPECT_EQ(target.Top(), 3);
  EXPECT_EQ(target.Left(), 4);
  EXPECT_EQ(target.Modul(), 5);
  EXPECT_EQ(target.Ratio(), 2.5);
  EXPECT_EQ(target.Typ(), bcCode93);
  EXPECT_TRUE(target.Checksum());
  EXPECT_EQ(target.ShowText(), bcoBoth);
  EXPECT_EQ(target.Angle(), 45);
  EXPECT_EQ(target.Color(), clYellow);
  EXPECT_EQ(target.ColorBar(), clNavy);
  EXPECT_EQ(target.CheckSumMethod(), csmNone);
  EXPECT_EQ(target.ShowTextPosition(), stpTopLeft);
  EXPECT_EQ(target.ShowTextFont().Height, TFont().Height);
  target.SetHeight(41);  // the copied hook is the source's
  EXPECT_EQ(sourceCalls, 1);
  target.Assign(nullptr);
  EXPECT_EQ(target.Height(), 41);
}

TEST(BarcodeComponent, WidthAndSetWidth) {
  TNyBarcode b;
  b.SetTyp(bcCodeEAN13);
  b.SetText(QStringLiteral("4006381333931"));
  EXPECT_EQ(b.GetWidth(), 95);
  b.SetWidth(300);  // 1 * 300 div 95 = 3
  EXPECT_EQ(b.Modul(), 3);
  EXPECT_EQ(b.GetWidth(), 285);
  b.SetWidth(10);  // 3 * 10 div 285 = 0: refused
  EXPECT_EQ(b.Modul(), 3);
  b.SetWidth(100000);  // far beyond 49
  EXPECT_EQ(b.Modul(), 3);
}

TEST(BarcodeComponent, BoundingBox) {
  TNyBarcode b;
  b.SetTyp(bcCodeEAN13);
  b.SetText(QStringLiteral("4006381333931"));  // W = 95, odd
  b.SetHeight(40);
  EXPECT_EQ(b.GetCanvasWidth(), 96);
  EXPECT_EQ(b.GetCanvasHeight(), 40);
  b.SetModul(2);  // W = 190, even
  EXPECT_EQ(b.GetCanvasWidth(), 190);
  b.SetHeight(41);
  EXPECT_EQ(b.GetCanvasHeight(), 42);
  b.SetAngle(90);
  EXPECT_EQ(b.GetCanvasWidth(), 42);
  EXPECT_EQ(b.GetCanvasHeight(), 190);
  b.SetAngle(45);  // (190 + 41) * 0.7071 + 0.5 = 163.8
  EXPECT_EQ(b.GetCanvasWidth(), 164);
}

// One full bar of width w drawn alone: where its pixels land at 0 and 90 degrees.
TEST(BarcodeComponent, FirstElementAtZeroAndNinetyDegrees) {
  TNyBarcode b;
  b.SetTyp(bcCodeEAN13);
  b.SetText(QStringLiteral("4006381333931"));
  b.SetHeight(30);
  b.SetModul(3);  // widths 3, 6, 9, 12; W = 285
  b.SetLeft(7);
  b.SetTop(5);
  b.SetColor(clRed);
  const int W = b.GetWidth();
  const int w = 6, h = 30;

  TBitmap zero(400, 400);
  b.DoLines(QStringLiteral("6"), zero.Canvas());
  // Corners (Left, Top), (Left, Top + H), (Left + w - 1, Top + H), (Left + w - 1, Top).
  EXPECT_EQ(PixelBox(zero.Image(), qRgb(0, 0, 0)), QRect(QPoint(7, 5), QPoint(7 + w - 1, 5 + h)));

  b.SetAngle(90);
  TBitmap ninety(400, 400);
  b.DoLines(QStringLiteral("6"), ninety.Canvas());
  // (Left, Top + W), (Left + h, Top + W), (Left + h, Top + W - (w - 1)), (Left, Top + W - (w - 1)).
  EXPECT_EQ(PixelBox(ninety.Image(), qRgb(0, 0, 0)),
            QRect(QPoint(7, 5 + W - (w - 1)), QPoint(7 + h, 5 + W)));

  // A space is painted too, in Color; a half bar hangs from the top with 2/5 of the height.
  b.SetAngle(0);
  TBitmap mixed(400, 400);
  b.DoLines(QStringLiteral("0A"), mixed.Canvas());
  EXPECT_EQ(PixelBox(mixed.Image(), qRgb(255, 0, 0)), QRect(QPoint(7, 5), QPoint(9, 35)));
  EXPECT_EQ(PixelBox(mixed.Image(), qRgb(0, 0, 0)), QRect(QPoint(10, 5), QPoint(12, 5 + 12)));
}

TEST(BarcodeComponent, RotatedSymbolStaysInItsBox) {
  for (double angle : {30.0, 120.0, 200.0, 300.0, -45.0}) {
    TNyBarcode b;
    b.SetTyp(bcCode128B);
    b.SetText(QStringLiteral("Rotate"));
    b.SetHeight(40);
    b.SetAngle(angle);
    b.SetLeft(20);
    b.SetTop(20);
    TBitmap bitmap(300, 300);
    b.DrawBarcode(bitmap.Canvas());
    const QRect box = PixelBox(bitmap.Image(), qRgb(0, 0, 0));
    SCOPED_TRACE(angle);
    EXPECT_GE(box.left(), 19);
    EXPECT_GE(box.top(), 19);
    EXPECT_LE(box.right(), 20 + b.GetCanvasWidth() + 1);
    EXPECT_LE(box.bottom(), 20 + b.GetCanvasHeight() + 1);
  }
}

TEST(BarcodeComponent, TextBelowCentredAndNameAbove) {
  TNyBarcode b;
  b.SetTyp(bcCode39);
  b.SetText(QStringLiteral("ABC"));
  b.SetHeight(40);
  b.SetLeft(10);
  b.SetTop(60);
  b.SetColor(clRed);  // bar spaces in red, so black pixels outside the bars are text
  b.SetShowText(bcoBoth);
  b.SetShowTextPosition(stpBottomCenter);
  TFont font = b.ShowTextFont();
  font.Color = clBlack;
  b.SetShowTextFont(font);
  TBitmap bitmap(300, 200);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font() = font;
  const int textWidth = canvas.TextWidth(QStringLiteral("ABC"));
  const QSize nameSize = canvas.TextExtent(QStringLiteral("Code39"));
  const int W = b.GetWidth();
  b.DrawBarcode(canvas);
  const QImage image = bitmap.Image();

  QRect below, above;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100 && (y > 60 + 40 || y < 60)) (y > 100 ? below : above) |= QRect(x, y, 1, 1);
  ASSERT_FALSE(below.isEmpty());
  ASSERT_FALSE(above.isEmpty());
  const int x0 = 10 + (W - textWidth) / 2;
  EXPECT_GE(below.left(), x0);
  EXPECT_LE(below.right(), x0 + textWidth);
  EXPECT_GE(below.top(), 60 + 40 + 1);
  // The name at (Left, Top + round(-11 * 2.5)) = (10, 32).
  EXPECT_GE(above.left(), 10);
  EXPECT_LE(above.left(), 12);
  EXPECT_GE(above.top(), 32);
  EXPECT_LE(above.bottom(), 32 + nameSize.height());
}

TEST(BarcodeComponent, TextPositions) {
  TNyBarcode b;
  b.SetTyp(bcCode128B);
  b.SetText(QStringLiteral("Wide text"));
  b.SetHeight(20);
  b.SetShowText(bcoCode);
  TBitmap probe(1, 1);
  probe.Canvas().Font() = b.ShowTextFont();
  const int tw = probe.Canvas().TextWidth(b.Text());
  const int W = b.GetWidth();
  struct TCase { TShowTextPosition Position; int X; int Y; };
  for (TCase c : {TCase{stpTopLeft, 0, 0}, TCase{stpTopRight, W - tw, 0}, TCase{stpTopCenter, (W - tw) / 2, 0},
                  TCase{stpBottomLeft, 0, 21}, TCase{stpBottomRight, W - tw, 21},
                  TCase{stpBottomCenter, (W - tw) / 2, 21}}) {
    b.SetShowTextPosition(c.Position);
    b.SetLeft(5);
    b.SetTop(5);
    TBitmap bitmap(W + 20, 60);
    // Text only: the white text cell shows where the text went on a grey canvas.
    bitmap.Canvas().Brush().Color = clGray;
    bitmap.Canvas().FillRect(QRect(0, 0, W + 20, 60));
    b.DrawText(bitmap.Canvas());
    const QRect cell = PixelBox(bitmap.Image(), qRgb(255, 255, 255));
    SCOPED_TRACE(int(c.Position));
    EXPECT_EQ(cell.topLeft(), QPoint(5 + c.X, 5 + c.Y));
    EXPECT_EQ(cell.width(), tw);
  }
}

TEST(BarcodeComponent, CanvasStateRestored) {
  TNyBarcode b;
  b.SetTyp(bcCode93);
  b.SetText(QStringLiteral("KEEP"));
  b.SetHeight(10);
  b.SetShowText(bcoCode);
  TFont big;
  big.Height = -25;
  b.SetShowTextFont(big);
  TBitmap bitmap(200, 80);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Pen().Color = clGreen;
  canvas.Pen().Width = 3;
  canvas.Brush().Color = clAqua;
  canvas.Font().Height = -9;
  const TPen pen = canvas.Pen();
  const TBrush brush = canvas.Brush();
  const TFont font = canvas.Font();
  b.DrawBarcode(canvas);
  EXPECT_EQ(canvas.Pen(), pen);
  EXPECT_EQ(canvas.Brush(), brush);
  EXPECT_EQ(canvas.Font(), font);
  // DrawText gives the font back even when it fails half way.
  b.SetTyp(bcCodeEAN8);
  b.SetText(QStringLiteral("12x"));
  EXPECT_EQ(Message([&] { b.DrawText(canvas); }), "Barcode must be numeric");
  EXPECT_EQ(canvas.Font(), font);
}

TEST(BarcodeComponent, BitmapHoldsSymbolTextAndQuietZone) {
  TNyBarcode b;
  b.SetTyp(bcCodeEAN13);
  b.SetText(QStringLiteral("4006381333931"));
  b.SetHeight(50);
  b.SetModul(2);
  b.SetShowText(bcoBoth);
  b.SetShowTextPosition(stpBottomCenter);
  auto bitmap = DrawBarcodeBitmap(b);
  const QRect ink = PixelBox(bitmap->Image(), qRgb(0, 0, 0));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), 20);
  EXPECT_GE(ink.top(), 20);
  EXPECT_LE(ink.right(), bitmap->Width() - 21);
  EXPECT_LE(ink.bottom(), bitmap->Height() - 21);
  EXPECT_LE(bitmap->Width(), 190 + 2 * 20 + 2);
}
