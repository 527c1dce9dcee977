// The component recorded on a page of the preview engine: drawn at 600 ppi it shows the bars
// the platform canvas draws at the same scale, its code text centred, and it decodes.
#include <gtest/gtest.h>
#include <QImage>
#include <cmath>
#include <vector>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "platform/Canvas.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/Vupagelist.h"

namespace {

// One recorded pixel (1/96 inch) is 6.25 device pixels at 600 ppi: 4 recorded pixels are 25.
constexpr int Ppi = 600;
constexpr double Scale = Ppi / 96.0;

struct TPage {
  TMemoryPrinterInstall Install{{MemoryA4Printer(QStringLiteral("Memory"))}, QStringLiteral("Memory")};
  TVuPageList List;
  TPage() { List.AddPage(); }
  // The page's objects drawn at 600 ppi on a white image of w x h pixels.
  QImage Draw(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    List.Page(1)->DrawToCanvas(canvas, Ppi, Ppi, false);
    canvas.Release();
    return image;
  }
};

void Configure(TNyBarcode& b, TBarcodeType typ, const QString& text, double angle, int modul, int height, int at) {
  b.SetTyp(typ);
  b.SetText(text);
  b.SetChecksum(typ == bcCodeEAN13);
  b.SetAngle(angle);
  b.SetModul(modul);
  b.SetHeight(height);
  b.SetLeft(at);
  b.SetTop(at);
}

bool Dark(const QImage& image, QPointF p) {
  const int x = int(std::lround(p.x())), y = int(std::lround(p.y()));
  if (!image.rect().contains(x, y)) return false;
  return qGray(image.pixel(x, y)) < 128;
}

// Positions t (0..length) where the colour changes along the symbol's own x axis at depth v
// below its top edge: the point (t, v) of the unrotated symbol turned by angle about origin.
std::vector<int> Edges(const QImage& image, QPointF origin, double angle, double v, int length) {
  const double a = angle / 180.0 * M_PI, s = std::sin(a), c = std::cos(a);
  std::vector<int> edges;
  bool last = false;
  for (int t = -20; t < length + 20; ++t) {
    const bool dark = Dark(image, origin + QPointF(c * t + s * v, -s * t + c * v));
    if (dark != last) edges.push_back(t);
    last = dark;
  }
  return edges;
}

// The dark pixels beyond the symbol's bar area, in the symbol's own axes (t along its x,
// v down its y, unrotated, from its origin): the extent of t and the least v.
struct TInk {
  double MinT = 1e9, MaxT = -1e9, MinV = 1e9;
};
TInk InkBeyondBars(const QImage& image, QPointF origin, double angle, int width, int height) {
  const double a = angle / 180.0 * M_PI, s = std::sin(a), c = std::cos(a);
  TInk ink;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) >= 128) continue;
      const QPointF d = QPointF(x, y) - origin;
      const double t = c * d.x() - s * d.y(), v = s * d.x() + c * d.y();
      if (t > -4 && t < width + 4 && v > -4 && v < height + 4) continue;
      ink.MinT = std::min(ink.MinT, t);
      ink.MaxT = std::max(ink.MaxT, t);
      ink.MinV = std::min(ink.MinV, v);
    }
  return ink;
}

// zbarimg's "TYPE:data" lines for the image, or empty when it is not installed.
QString Decode(const QImage& image) {
  TTempDir dir;
  const QString file = dir.File(QStringLiteral("page.png"));
  EXPECT_TRUE(image.save(file, "PNG"));
  QByteArray out;
  RunProgram(QStringLiteral("zbarimg"), {QStringLiteral("-q"), file}, &out);
  return QString::fromUtf8(out).trimmed();
}

}  // namespace

TEST(BarcodeVucanvas, RecordedBarsMatchThePlatformCanvasAndTheTextIsCentred) {
  struct TCase {
    TBarcodeType Typ;
    QString Text;
    double Angle;
  } cases[] = {
      {bcCodeEAN13, QStringLiteral("590123412345"), 0},
      {bcCodePostNet, QStringLiteral("801234567"), 90},  // half-height bars among the full ones
      {bcCode128B, QStringLiteral("VE13"), 270},
      {bcCode39, QStringLiteral("AB-12"), 30},  // recorded as turned polygons
  };
  for (const TCase& k : cases) {
    SCOPED_TRACE(BarcodeTypeName(k.Typ).toStdString() + " at " + std::to_string(k.Angle));
    // Recorded in pixels of 1/96 inch: module 4, height 64, at (48, 48); on the platform
    // canvas the same at 600 ppi: module 25, height 400, at (300, 300).
    TPage page;
    TNyBarcode recorded;
    Configure(recorded, k.Typ, k.Text, k.Angle, 4, 64, 48);
    recorded.SetShowText(bcoCode);
    recorded.SetShowTextPosition(stpBottomLeft);  // centred on the recording canvas all the same
    recorded.DrawBarcode(page.List.Canvas());
    TNyBarcode drawn;
    Configure(drawn, k.Typ, k.Text, k.Angle, 25, 400, 300);
    const TBarcodeSymbol symbol = drawn.MakeSymbol();
    ASSERT_EQ(symbol.Width, std::lround(recorded.GetWidth() * Scale));

    const int side = 2 * 300 + drawn.GetWidth() + drawn.Height() + 200;
    const QImage onPage = page.Draw(side, side);
    QImage direct(side, side, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
      TCanvas canvas(&direct);
      drawn.DoLines(drawn.MakeData(), canvas);
    }
    const QPointF origin(symbol.Origin);
    // Depth 50 crosses the half-height bars (they end at 160), depth 300 only the full ones.
    for (double v : {50.0, 300.0}) {
      SCOPED_TRACE("depth " + std::to_string(v));
      const std::vector<int> want = Edges(direct, origin, k.Angle, v, symbol.Width);
      const std::vector<int> got = Edges(onPage, origin, k.Angle, v, symbol.Width);
      ASSERT_GE(want.size(), 20u);
      ASSERT_EQ(got.size(), want.size());
      // Recorded bars carry a pen two device pixels wide; a module is 25.
      for (size_t i = 0; i < want.size(); ++i) EXPECT_NEAR(got[i], want[i], 3) << "edge " << i;
    }

    // The code text: below the bars before turning, centred on the symbol's middle.
    const TInk ink = InkBeyondBars(onPage, origin, k.Angle, symbol.Width, symbol.Height);
    EXPECT_GT(ink.MinV, symbol.Height);
    EXPECT_LT(ink.MinV, symbol.Height + 40);
    EXPECT_NEAR((ink.MinT + ink.MaxT) / 2, symbol.Width / 2.0, 12) << "centred";
  }
}

TEST(BarcodeVucanvas, RecordedEan13DecodesUpright) {
  if (!HaveProgram(QStringLiteral("zbarimg"))) GTEST_SKIP() << "zbarimg is not installed";
  TPage page;
  TNyBarcode b;
  Configure(b, bcCodeEAN13, QStringLiteral("590123412345"), 0, 2, 60, 24);
  b.SetShowText(bcoCode);
  b.SetShowTextPosition(stpBottomCenter);
  b.DrawBarcode(page.List.Canvas());
  EXPECT_EQ(Decode(page.Draw(1600, 800)), QStringLiteral("EAN-13:5901234123457"));
}

TEST(BarcodeVucanvas, RecordedCode128DecodesTurned) {
  if (!HaveProgram(QStringLiteral("zbarimg"))) GTEST_SKIP() << "zbarimg is not installed";
  TPage page;
  TNyBarcode b;
  Configure(b, bcCode128B, QStringLiteral("VelEAN13 {ok}"), 90, 2, 60, 24);
  b.SetShowText(bcoCode);
  b.SetShowTextPosition(stpBottomCenter);
  b.DrawBarcode(page.List.Canvas());
  EXPECT_EQ(Decode(page.Draw(800, 2500)), QStringLiteral("CODE-128:VelEAN13 {ok}"));
}
