// Drawing surface with the conventions of the old desktop platform, on a QPainter over any
// paint device: LineTo leaves out its end point, Rectangle leaves out its right and bottom
// edges, text is placed by the top-left corner of its cell and a solid brush makes the cell
// opaque, fonts are sized in points at the canvas's own pixels per inch.
#pragma once
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include "platform/Colors.h"

class QPaintDevice;
class QPainter;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;  // a set of TFontStyle bits
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;

// The display's logical resolution (96 on the offscreen and Xvfb platforms).
int ScreenPixelsPerInch();

class TPen {
 public:
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  bool operator==(const TPen&) const = default;
};

class TBrush {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrush&) const = default;
};

class TFont {
 public:
  QString Name = QStringLiteral("MS Sans Serif");
  // Negative: character height in pixels (em size); positive: cell height. The size in
  // points is derived through PixelsPerInch, as on the old platform.
  int Height = -11;
  int PixelsPerInch = 96;
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  TFontCharset Charset = DEFAULT_CHARSET;
  int Orientation = 0;  // escapement in tenths of a degree, counter-clockwise
  TFontQuality Quality = fqDefault;

  int Size() const;              // points
  void SetSize(int points);      // Height = -round(points * PixelsPerInch / 72)
  int PixelSize() const { return Height < 0 ? -Height : Height; }
  bool operator==(const TFont&) const = default;
  // The Qt font at the font's own pixel size.
  QFont ToQFont() const;
};

class TCanvas {
 public:
  explicit TCanvas(QPaintDevice* device = nullptr);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  TFont& Font() { return FFont; }
  QPoint PenPos() const { return FPenPos; }
  void SetPenPos(QPoint p) { FPenPos = p; }

  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // from the pen position; the end point is not drawn
  void Rectangle(int left, int top, int right, int bottom);
  void FillRect(const QRect& rect);  // rect in the old convention: right/bottom exclusive
  // Filled with the brush and outlined with the pen; the outline includes every vertex.
  void Polygon(const QPoint* points, int count);
  void Polyline(const QPoint* points, int count);
  // Text cell's top-left at (x, y); with Font().Orientation the text turns counter-clockwise
  // about that point.
  void TextOut(int x, int y, const QString& text);
  QSize TextExtent(const QString& text);
  int TextWidth(const QString& text) { return TextExtent(text).width(); }
  int TextHeight(const QString& text) { return TextExtent(text).height(); }
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // The painter, begun on the device on first use; Release ends it so that the device's
  // pixels can be read or the device replaced.
  QPainter* Painter();
  void Release();
  bool HandleAllocated() const { return FPainter != nullptr; }
  void SetDevice(QPaintDevice* device);
  QPaintDevice* Device() const { return FDevice; }

 protected:
  void ApplyPen();
  void ApplyBrush();
  void ApplyFont();

  QPaintDevice* FDevice = nullptr;
  std::unique_ptr<QPainter> FPainter;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  QPoint FPenPos;
};
