#include <gtest/gtest.h>
#include <cstring>
#include "preview/core/Vufuncs.h"
#include "preview/core/Vutypes.h"

namespace {
bool SameBits(Extended a, Extended b) { return std::memcmp(&a, &b, 10) == 0; }
}  // namespace

TEST(VuConvertValue, UnitChainsAreExactWhereTheOperationOrderMakesThemSo) {
  EXPECT_EQ(ConvertValue(2540, vuUnits, vuInches), 1.0L);
  EXPECT_EQ(ConvertValue(1, vuInches, vuTwips), 1440.0L);
  EXPECT_EQ(ConvertValue(96, vuPixels, vuTwips), 1440.0L);
  EXPECT_EQ(ConvertValue(1, vuInches, vuMillimeters), 25.4L);
  EXPECT_EQ(ConvertValue(7, vuCentimeters, vuInches), (7 * 10.0L) / 25.4L);
  EXPECT_EQ(ConvertValue(3, vuInches, vuCentimeters), (3 * 25.4L) / 10);
  EXPECT_EQ(ConvertValue(3, vuInches, vuUnits), (3 * 25.4L) * 100);
  EXPECT_EQ(ConvertValue(50, vuMillimeters, vuPixels), (50 / 25.4L) * 96);
}

TEST(VuConvertValue, SameUnitReturnsTheArgumentBitForBit) {
  const Extended odd = 0.1L / 3;
  for (int u = vuUnits; u <= vuTwips; ++u)
    EXPECT_TRUE(SameBits(ConvertValue(odd, TVuMeasurement(u), TVuMeasurement(u)), odd)) << u;
}

TEST(VuConvertValue, RecordsConvertEveryFieldInOrder) {
  TVuRect r = ConvertVuRect(VuRect(25.4L, 50.8L, 0, -25.4L), vuMillimeters, vuInches);
  EXPECT_TRUE(EqualVuRects(r, VuRect(1, 2, 0, -1)));
  TVuComplexCoords c = ConvertVuComplexCoords(VuComplexCoords(1, 2, 3, 4, 5, 6, 7, 8), vuInches, vuTwips);
  EXPECT_EQ(c.X1, 1440);
  EXPECT_EQ(c.Y4, 8 * 1440);
  TVuPolyPoints pts;
  const TVuPoint src[] = {{96, 192}, {48, 0}};
  ArrayToPolyPoints(src, 2, pts);
  ConvertVuPolyPoints(pts, vuPixels, vuInches);
  ASSERT_EQ(pts.size(), 2u);
  EXPECT_TRUE(EqualVuPoints(pts[0], VuPoint(1, 2)));
  EXPECT_TRUE(EqualVuPoints(pts[1], VuPoint(0.5L, 0)));
  EXPECT_EQ(ConvertVuSize(VuSize(1, 2), vuInches, vuPixels).Height, 192);
}

TEST(VuGeometry, RoundingIsToNearestWithTiesToEven) {
  TRect r = VuRectToRect(VuRect(0.5L, 1.5L, 2.5L, -0.5L));
  EXPECT_EQ(r, Rect(0, 2, 2, 0));
  EXPECT_EQ(ScaleRect(Rect(1, 3, 5, -1), 0.5L), Rect(0, 2, 2, 0));
  TVuRect s = ScaleVuRect(VuRect(1, 3, 5, -1), 0.5L);
  EXPECT_TRUE(EqualVuRects(s, VuRect(0.5L, 1.5L, 2.5L, -0.5L)));
}

TEST(VuGeometry, OffsetsCornersAndComparisons) {
  TVuRect r = VuRect(1, 2, 3, 4);
  OffsetVuRect(r, 10, 20);
  EXPECT_TRUE(EqualVuRects(r, VuRect(11, 22, 13, 24)));
  TVuPoint p = VuPoint(1, 1);
  OffsetVuPoint(p, -2, 0.5L);
  EXPECT_TRUE(EqualVuPoints(p, VuPoint(-1, 1.5L)));
  EXPECT_FALSE(EqualVuRects(VuRect(1, 2, 3, 4), VuRect(1, 2, 3, 4.0000001L)));
  EXPECT_TRUE(EqualVuRects(VuRect(-1, -1, -1, -1), VuRect(-1, -1, -1, -1)));
  EXPECT_EQ(VuRectWidth(VuRect(5, 0, 2, 0)), -3);  // not normalised
  TVuRectPoints corners = RectToVuRectPoints(Rect(1, 2, 3, 4));
  EXPECT_TRUE(EqualPoints(corners.TopRight, Point(3, 2)));
  EXPECT_TRUE(EqualPoints(corners.BottomLeft, Point(1, 4)));
  EXPECT_EQ(VuRectPointsToRect(corners), Rect(1, 2, 3, 4));
  Extended a = 1, b = 2;
  SwapExtValues(a, b);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(MaxFloat(a, b), 2);
  EXPECT_EQ(MinInt(-3, 2), -3);
}

TEST(VuPaperSizes, TableValuesConvertFromTheirRowUnit) {
  TVuSize a4 = GetPaperSizeInch(A4);
  EXPECT_EQ(a4.Width, 210 / 25.4L);
  EXPECT_EQ(a4.Height, 297 / 25.4L);
  EXPECT_NEAR(double(a4.Width), 8.26771, 1e-5);
  TVuSize env9 = GetPaperSizeInch(Envelope_09);
  EXPECT_EQ(env9.Width, 3.78L);
  EXPECT_EQ(env9.Height, 8.78L);
  TVuSize env12 = GetPaperSizeInch(Envelope_12);
  EXPECT_EQ(env12.Width, 12.44L);
  EXPECT_EQ(GetPaperSizeInch(A5).Width, 148.5L / 25.4L);
  EXPECT_EQ(GetPaperSizeInch(Ledger).Width, 17);
}

TEST(VuPaperSizes, NamesRoundTripAndUnknownNamesAreCustom) {
  for (int i = A3; i <= Executive; ++i)
    EXPECT_EQ(StrToPaperSize(PaperSizeToStr(TVuPaperSize(i))), TVuPaperSize(i));
  EXPECT_EQ(PaperSizeToStr(Envelope_10), QStringLiteral("Envelope_10"));
  EXPECT_EQ(StrToPaperSize("A4"), A4);
  EXPECT_EQ(StrToPaperSize("a4"), Custom);
  EXPECT_EQ(StrToPaperSize(""), Custom);
  int envelopes = 0;
  for (int i = A3; i <= Executive; ++i) envelopes += IsEnvelope(TVuPaperSize(i));
  EXPECT_EQ(envelopes, 8);
  EXPECT_TRUE(IsEnvelope(B5));
  EXPECT_FALSE(IsEnvelope(Executive));
}
