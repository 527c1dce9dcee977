#include <gtest/gtest.h>
#include "preview/document/Vuresource.h"

namespace {
// A bitmap whose canvas font is Arial of the given points at ppi pixels per inch.
struct TSurface {
  TBitmap Bitmap;
  TSurface(int w, int h, int ppi, int points) : Bitmap(w, h) {
    TFont& f = Bitmap.Canvas().Font();
    f.Name = "Arial";
    f.Color = clBlack;
    f.PixelsPerInch = ppi;
    f.SetSize(points);
    Bitmap.Canvas().Brush().Style = bsClear;
  }
  TCanvas& Canvas() { return Bitmap.Canvas(); }
  // Leftmost and rightmost columns holding dark ink.
  std::pair<int, int> InkColumns() {
    const QImage& image = Bitmap.Image();
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 128) left = std::min(left, x), right = std::max(right, x);
    return {left, right};
  }
};
}  // namespace

TEST(VuFontMapper, CharSpacingCarriesLostFractionsForward) {
  // Each W measures 945 pixels at 7200 ppi: 78.75 device pixels at 600 ppi.
  std::vector<int> spacing = TVuFontMapper::CharSpacingFromWidths({945, 945, 945}, 7200, 600);
  EXPECT_EQ(spacing, (std::vector<int>{78, 79, 78}));
  // 2.5 device pixels each: the carry reaches 1.5, pays 1 and rounds 1.5 to 2 (even).
  spacing = TVuFontMapper::CharSpacingFromWidths({250, 250, 250, 250}, 100, 1);
  EXPECT_EQ(spacing, (std::vector<int>{2, 2, 3, 2}));
  EXPECT_TRUE(TVuFontMapper::CharSpacingFromWidths({}, 7200, 600).empty());
}

TEST(VuFontMapper, ExtentIsInInchesWhateverTheCanvasResolution) {
  TVuFontMapper& mapper = VuFontMapper();
  TSurface screen(10, 10, 96, 12), printer(10, 10, 1200, 12);
  TVuSize a = mapper.TextExtent(screen.Canvas(), "Hello world");
  TVuSize b = mapper.TextExtent(printer.Canvas(), "Hello world");
  EXPECT_EQ(a.Width, b.Width);
  EXPECT_EQ(a.Height, b.Height);
  EXPECT_GT(a.Width, 0.5L);
  EXPECT_LT(a.Width, 1.5L);
}

TEST(VuFontMapper, DrawnWidthInInchesIsTheSameAtEveryResolution) {
  const QString text = QStringLiteral("HIH WHIM HIH");
  std::vector<int> ppis = {96, 600, 1200};
  std::vector<double> inkInches;
  for (int ppi : ppis) {
    TSurface s(ppi * 2, ppi / 2, ppi, 14);
    VuFontMapper().TextOut(s.Canvas(), ppi / 10, ppi / 10, Rect(0, 0, ppi * 2, ppi / 2), text, false);
    auto [left, right] = s.InkColumns();
    ASSERT_GE(right, left) << ppi;
    inkInches.push_back(double(right + 1 - left) / ppi);
  }
  // Against the finest output, each differs by at most one of its own pixels (plus one
  // pixel of the finest, for its own rounding).
  for (size_t i = 0; i < ppis.size(); ++i)
    EXPECT_NEAR(inkInches[i], inkInches[2], 1.0 / ppis[i] + 1.0 / 1200) << ppis[i];
}

TEST(VuFontMapper, MeasuresEachFontWithItsOwnAdvances) {
  TVuFontMapper& mapper = VuFontMapper();
  TSurface small(10, 10, 96, 10), big(10, 10, 96, 20), bold(10, 10, 96, 10);
  bold.Canvas().Font().Style = fsBold;
  const Extended w10 = mapper.TextWidth(small.Canvas(), "Wide words");
  for (int round = 0; round < 3; ++round) {
    EXPECT_NEAR(double(mapper.TextWidth(big.Canvas(), "Wide words")), double(2 * w10), 0.01);
    EXPECT_GT(mapper.TextWidth(bold.Canvas(), "Wide words"), w10);
    EXPECT_EQ(mapper.TextWidth(small.Canvas(), "Wide words"), w10);
  }
  EXPECT_EQ(mapper.TextWidth(small.Canvas(), ""), 0);
}

TEST(VuFontMapper, ClipLimitsTheOutput) {
  TSurface s(200, 40, 96, 14);
  VuFontMapper().TextOut(s.Canvas(), 0, 0, Rect(0, 0, 30, 40), "WWWWWWWWWW", true);
  auto [left, right] = s.InkColumns();
  EXPECT_LT(right, 30);
  EXPECT_GE(left, 0);
}

TEST(VuFontMapper, TextBoxWrapsWordsAndBreaksAtLineEnds) {
  TVuFontMapper& mapper = VuFontMapper();
  mapper.WordWrap = true;  // the shared mapper keeps what the last text box measure set
  TSurface s(400, 400, 96, 12);
  const Extended line = mapper.TextHeight(s.Canvas(), "x");
  const int wordPx = int(mapper.TextWidth(s.Canvas(), "word ") * 96);
  const TRect narrow = Rect(0, 0, wordPx * 3 + wordPx / 2, 400);  // three words a line
  const QString text = QStringLiteral("word word word word word word word");
  EXPECT_EQ(mapper.TextBox(s.Canvas(), narrow, text, taLeftJustify, false), line * 3);
  EXPECT_EQ(mapper.TextBox(s.Canvas(), narrow, "word\r\nword\rword", taLeftJustify, false), line * 3);
  EXPECT_EQ(mapper.TextBox(s.Canvas(), narrow, "word\r\r\rword", taLeftJustify, false), line * 4);
  // A word with its CR just fits the box: the CR takes no width.
  const int fits = int(mapper.TextWidth(s.Canvas(), "word") * 96) + 1;
  EXPECT_EQ(mapper.TextWidth(s.Canvas(), "word\r"), mapper.TextWidth(s.Canvas(), "word"));
  EXPECT_EQ(mapper.TextBox(s.Canvas(), Rect(0, 0, fits, 400), "word\rword\rword", taLeftJustify, false), line * 3);
  // A bare LF breaks like a CR (texts from files and grid cells), also beside CR LF.
  EXPECT_EQ(mapper.TextBox(s.Canvas(), narrow, "word\nword\nword", taLeftJustify, false), line * 3);
  EXPECT_EQ(mapper.TextBox(s.Canvas(), narrow, "word\n\r\nword", taLeftJustify, false), line * 3);
  // A word wider than the box gets a line of its own.
  EXPECT_EQ(mapper.TextBox(s.Canvas(), Rect(0, 0, 5, 400), "word word", taLeftJustify, false), line * 2);
  mapper.WordWrap = false;
  EXPECT_EQ(mapper.TextBox(s.Canvas(), narrow, text + "\r\nword", taLeftJustify, false), line);
  mapper.WordWrap = true;
}

TEST(VuFontMapper, TextBoxAlignsEachLine) {
  TVuFontMapper& mapper = VuFontMapper();
  for (TAlignment alignment : {taLeftJustify, taRightJustify, taCenter}) {
    TSurface s(300, 60, 96, 12);
    mapper.TextBox(s.Canvas(), Rect(20, 0, 280, 60), "HIH", alignment, false);
    auto [left, right] = s.InkColumns();
    switch (alignment) {
      case taLeftJustify: EXPECT_NEAR(left, 21, 2); break;
      case taRightJustify: EXPECT_NEAR(right, 279, 3); break;
      case taCenter: EXPECT_NEAR((left + right) / 2.0, 150, 3); break;
    }
  }
}

TEST(VuFontMapper, TextBoxHeightMeasuresWithoutDrawing) {
  TVuFontMapper& mapper = VuFontMapper();
  TFont font;
  font.Name = "Arial";
  font.PixelsPerInch = 600;
  font.SetSize(12);
  mapper.MapperPpi = FontMapperPpi;
  // Box width in pixels at the mapper's resolution: 1 inch.
  const TRect box = Rect(0, 0, FontMapperPpi, 0);
  const Extended one = mapper.TextBoxHeight(font, box, "word");
  EXPECT_GT(one, 0.1L);
  const Extended many = mapper.TextBoxHeight(font, box, QString("word ").repeated(40));
  EXPECT_GT(many, one * 5);
  EXPECT_EQ(mapper.MapperPpi, FontMapperPpi);
  EXPECT_EQ(mapper.MeasureBitmap().Image().pixel(0, 0), qRgb(255, 255, 255));
}
