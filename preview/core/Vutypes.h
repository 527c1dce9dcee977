// Types of the page engine: measurement units, orientation, paper sizes and the geometry
// records in which every length is an extended-precision number (inches unless a caller
// says otherwise), with the functions that build, convert, compare and round them.
#pragma once
#include <vector>
#include "platform/Types.h"

// Ordinals are fixed: defaults and stored values refer to them.
enum TVuMeasurement { vuUnits, vuPixels, vuMillimeters, vuCentimeters, vuInches, vuTwips };

enum TVuOrientation { vuPortrait, vuLandscape };

// The value names are also their text form in page files (PaperSizeToStr).
enum TVuPaperSize {
  A3, A4, A5, A6, B5, C5, Legal, Letter, Custom, B4, Envelope_09, Envelope_10, Envelope_11,
  Envelope_12, Envelope_14, Tabloid, Ledger, Executive
};
constexpr int VuPaperSizeCount = Executive + 1;

struct TVuPoint {
  Extended X = 0;
  Extended Y = 0;
};

struct TVuSize {
  Extended Width = 0;
  Extended Height = 0;
};

// Not normalised: Right may be less than Left.
struct TVuRect {
  Extended Left = 0;
  Extended Top = 0;
  Extended Right = 0;
  Extended Bottom = 0;
};

// An arc, chord or pie: the bounding rectangle's corners, then the start and end points.
struct TVuComplexCoords {
  Extended X1 = 0, Y1 = 0, X2 = 0, Y2 = 0, X3 = 0, Y3 = 0, X4 = 0, Y4 = 0;
};

struct TVuRectPoints {
  TPoint TopLeft;
  TPoint TopRight;
  TPoint BottomLeft;
  TPoint BottomRight;
};

using TVuPolyPoints = std::vector<TVuPoint>;

TVuPoint VuPoint(Extended x, Extended y);
TVuSize VuSize(Extended width, Extended height);
TVuRect VuRect(Extended left, Extended top, Extended right, Extended bottom);
TVuComplexCoords VuComplexCoords(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                                 Extended y3, Extended x4, Extended y4);

// Each edge rounded to the nearest integer, halves to even.
TRect VuRectToRect(const TVuRect& rect);
// Each coordinate multiplied by factor, then rounded.
TRect ScaleRect(const TRect& rect, Extended factor);
TVuRect ScaleVuRect(const TVuRect& rect, Extended factor);
void OffsetVuPoint(TVuPoint& point, Extended dx, Extended dy);
void OffsetVuRect(TVuRect& rect, Extended dx, Extended dy);
TVuRectPoints RectToVuRectPoints(const TRect& rect);
TRect VuRectPointsToRect(const TVuRectPoints& points);
Extended VuRectWidth(const TVuRect& rect);
Extended VuRectHeight(const TVuRect& rect);
int RectWidth(const TRect& rect);
int RectHeight(const TRect& rect);
bool EqualPoints(const TPoint& a, const TPoint& b);
// Exact comparison of the extended values.
bool EqualVuPoints(const TVuPoint& a, const TVuPoint& b);
bool EqualVuRects(const TVuRect& a, const TVuRect& b);
Extended MaxFloat(Extended a, Extended b);
Extended MinFloat(Extended a, Extended b);
int MaxInt(int a, int b);
int MinInt(int a, int b);
void SwapExtValues(Extended& a, Extended& b);

// Nearest integer, halves to the even neighbour (the processor's default rounding).
int VuRound(Extended value);
