// The faces and text measures of a label: the symbol's digits in OCR-B where it is installed,
// the extra text lines in a sans face, shrunk and then wrapped to the label, never cut.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// "OCR B" when installed, else a sans face; Fallback says which was taken instead.
struct TDigitFace {
  QString Family;
  bool Fallback = false;
};
TDigitFace DigitFace();
// The face of the text lines.
QString TextFace();

// Measures of a face at a pixel height (the em, in 96-ppi pixels, as the recording canvas
// sizes fonts), in millimetres.
struct TFaceMetrics {
  double Ascent = 0, LineSpacing = 0;
  double DigitTop = 0, DigitHeight = 0;  // the digits' ink below the cell top, and its height
  double DigitAdvance = 0;               // the widest digit
};
TFaceMetrics MeasureFace(const QString& family, int pixelHeight);
double TextWidthMm(const QString& family, int pixelHeight, const QString& text);

// Texts laid out in a box: one face size for all lines.
struct TTextBlock {
  int PixelHeight = 0;
  QStringList Lines;
  double LineHeight = 0;  // mm
  double Height() const { return Lines.size() * LineHeight; }
};
// Largest and smallest sizes tried, in 96-ppi pixels (about 9 and 4.5 points).
constexpr int LabelTextMaxPixels = 12;
constexpr int LabelTextMinPixels = 6;
// Each text on its own line at the largest size at which every text fits width x height
// (mm); a text wider than the box is wrapped between words. Nothing when even the smallest
// size does not fit; a word wider than the box never fits.
std::optional<TTextBlock> FitTexts(const QStringList& texts, const QString& family, double width, double height);
