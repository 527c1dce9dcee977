// Drawing surface with the conventions of the old desktop platform, on a QPainter over any
// paint device: LineTo leaves out its end point, Rectangle leaves out its right and bottom
// edges, text is placed by the top-left corner of its cell and a solid brush makes the cell
// opaque, fonts are sized in points at the canvas's own pixels per inch, arcs run
// counter-clockwise from their start ray to their end ray. Between BeginPath and EndPath
// the drawing calls collect into a path instead of drawing; the path can be filled, stroked
// or made the clip region. A window/viewport mapping turns logical into device coordinates.
#pragma once
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QTransform>
#include <memory>
#include <optional>
#include <span>
#include <vector>
#include "platform/Colors.h"
#include "platform/CopyModes.h"

class QImage;
class QPaintDevice;
class QPainter;
class TGraphic;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
// End caps and joins of wide (geometric) pens; a cosmetic pen never draws a line's end point.
enum TPenEndCap { pecRound, pecSquare, pecFlat };
enum TPenJoin { pjRound, pjBevel, pjMiter };
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = int;  // a set of TFontStyle bits
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;

// Text alignment of TextOut/ExtTextOut: horizontal and vertical bits combined.
constexpr int TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
constexpr int TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
constexpr int TA_UPDATECP = 1;  // start at the pen position and move it past the text

// Options of ExtTextOut.
constexpr int etoOpaque = 2;   // fill the rectangle with the brush colour first
constexpr int etoClipped = 4;  // clip the text to the rectangle

// Formats of DrawText.
constexpr int dtLeft = 0x0, dtCenter = 0x1, dtRight = 0x2;
constexpr int dtTop = 0x0, dtVCenter = 0x4, dtBottom = 0x8;  // vertical: single line only
constexpr int dtWordBreak = 0x10, dtSingleLine = 0x20, dtExpandTabs = 0x40;
constexpr int dtNoClip = 0x100, dtCalcRect = 0x400, dtNoPrefix = 0x800;

enum TMapMode { mmText = 1, mmIsotropic = 7, mmAnisotropic = 8 };

// The display's logical resolution (96 on the offscreen and Xvfb platforms).
int ScreenPixelsPerInch();

class TPen {
 public:
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  // A geometric pen is Width logical units wide whatever its width and style; otherwise a
  // width of 0 or 1 is the one-pixel cosmetic hairline and wider pens are geometric.
  bool Geometric = false;
  TPenEndCap EndCap = pecRound;
  TPenJoin Join = pjRound;
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
  // Kept and compared; glyphs are chosen from the Unicode text, so it does not change them.
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
  // The raster operation of StretchDraw (cm* of CopyModes.h).
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode mode) { FCopyMode = mode; }
  int TextAlign() const { return FTextAlign; }
  void SetTextAlign(int align) { FTextAlign = align; }

  // Lines and shapes, in logical coordinates.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // from the pen position; the end point is not drawn
  void Rectangle(int left, int top, int right, int bottom);
  void FillRect(const QRect& rect);  // rect in the old convention: right/bottom exclusive
  void Ellipse(int left, int top, int right, int bottom);
  // Corner ellipses of width w and height h.
  void RoundRect(int left, int top, int right, int bottom, int w, int h);
  // The curve on the ellipse inscribed in the box, counter-clockwise from the ray through
  // (x3, y3) to the ray through (x4, y4), both rays from the box's centre.
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Filled with the brush and outlined with the pen; the outline includes every vertex.
  void Polygon(std::span<const QPoint> points);
  // Each segment draws its start and leaves out its end, so the last point is not drawn.
  void Polyline(std::span<const QPoint> points);
  // Points: a start point, then three per curve (two control points and the end point).
  void PolyBezier(std::span<const QPoint> points);
  // The "to" forms start at the pen position and leave it at their last point.
  void PolylineTo(std::span<const QPoint> points);
  void PolyBezierTo(std::span<const QPoint> points);  // three points per curve
  void Polygon(const QPoint* points, int count) { Polygon(Points(points, count)); }
  void Polyline(const QPoint* points, int count) { Polyline(Points(points, count)); }
  void PolyBezier(const QPoint* points, int count) { PolyBezier(Points(points, count)); }
  void PolylineTo(const QPoint* points, int count) { PolylineTo(Points(points, count)); }
  void PolyBezierTo(const QPoint* points, int count) { PolyBezierTo(Points(points, count)); }
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);  // one device pixel at the mapped point

  // Text. Text cell's top-left at (x, y) (with the default alignment); with
  // Font().Orientation the text turns counter-clockwise about that point.
  void TextOut(int x, int y, const QString& text);
  // Options etoOpaque/etoClipped refer to rect; dx, when given, holds one advance per
  // character (UTF-16 unit) in logical units and places the characters by it.
  void ExtTextOut(int x, int y, int options, const QRect* rect, const QString& text,
                  const int* dx = nullptr, int dxCount = 0);
  // Text clipped to rect, which is first filled when the brush is not clear.
  void TextRect(const QRect& rect, int x, int y, const QString& text);
  // Formatted text in rect (dt* flags); returns the height of the text. With dtCalcRect
  // nothing is drawn and rect receives the size the text needs.
  int DrawText(const QString& text, QRect& rect, int format);
  QSize TextExtent(const QString& text);
  int TextWidth(const QString& text) { return TextExtent(text).width(); }
  int TextHeight(const QString& text) { return TextExtent(text).height(); }
  int FontAscent();

  // Pictures, stretched into rect (right/bottom exclusive) with the canvas's CopyMode. A
  // rectangle whose width or height is negative mirrors the picture along that axis. Pictures
  // are drawn inside a path bracket too: they add no figure to the path.
  void StretchDraw(const QRect& rect, const TGraphic& graphic);
  // The transfer of device-independent pixels: the image stretched into rect, combined with
  // the destination and the brush by CopyMode (one of the fifteen named raster operations;
  // any other value copies). Where the device cannot read back its own pixels (printers,
  // recordings), the part of the operation that does not need them is drawn as a copy.
  void StretchDIBits(const QRect& rect, const QImage& image);

  // Paths. Shapes, lines, curves and text drawn between BeginPath and EndPath add figures.
  void BeginPath();
  void EndPath();
  void AbortPath();
  void CloseFigure();
  bool InPath() const { return FInPath; }
  // The path of the last bracket, in logical coordinates (empty once it has been used).
  const QPainterPath& Path() const { return FPath; }
  // Each of these closes the open figures where filling needs it and uses up the path.
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  // The area of the path in device pixels (alternate fill); the path is used up.
  QRegion PathToRegion();
  // The bounding box of the figures' region, without building the region (hit tests ask
  // for it often); the path is used up.
  QRect PathRegionBounds();
  // Makes the path the clip region, replacing any earlier one.
  void SelectClipPath();
  // Clip region in device pixels; nullptr selects no clip region.
  void SelectClipRgn(const QRegion* region);
  bool HasClipRegion() const { return FClip.has_value(); }
  QRegion ClipRegion() const { return FClip.value_or(QRegion()); }

  // Window/viewport mapping: device = (logical - windowOrg) * viewportExt / windowExt + viewportOrg.
  void SetMapMode(TMapMode mode);
  TMapMode MapMode() const { return FMapMode; }
  void SetWindowOrg(int x, int y);
  void SetWindowExt(int cx, int cy);
  void SetViewportOrg(int x, int y);
  void SetViewportExt(int cx, int cy);
  QTransform Mapping() const { return FMapping; }
  QPoint LPtoDP(QPoint p) const;
  QPoint DPtoLP(QPoint p) const;

  // The painter, begun on the device on first use; Release ends it so that the device's
  // pixels can be read or the device replaced. The mapping and the clip region stay with the
  // canvas and return when the painter is begun again. Every painter the canvas begins asks
  // for lossless images, so that pictures reach a printer or PDF page unchanged.
  QPainter* Painter();
  void Release();
  bool HandleAllocated() const { return FPainter != nullptr; }
  void SetDevice(QPaintDevice* device);
  QPaintDevice* Device() const { return FDevice; }

 private:
  static std::span<const QPoint> Points(const QPoint* points, int count) {
    return points && count > 0 ? std::span<const QPoint>(points, size_t(count)) : std::span<const QPoint>();
  }
  void ApplyPen();
  void ApplyBrush();
  void ApplyFont();
  // False for the clear pen.
  bool PenDraws() const;
  // True for the one-pixel cosmetic pen (not geometric, width up to 1).
  bool Hairline() const;
  // Hairline segments through the points (closed: back to the first), each drawing its start
  // pixel and leaving out its end pixel, in device pixels, whatever their direction.
  void DrawHairlines(std::span<const QPoint> points, bool closed);
  void EndRasterOp();
  QRectF ShapeBox(int left, int top, int right, int bottom) const;
  QPainterPath ArcPath(int kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4,
                       bool forPath) const;
  void DrawShapePath(const QPainterPath& path, bool fill);
  void AddFigure(const QPainterPath& figure);
  void PathMoveIfNeeded();
  void UpdateMapping();
  void DrawTextRun(int x, int y, const QString& text, const int* dx, int dxCount, bool forcedLeftTop);

  QPaintDevice* FDevice = nullptr;
  std::unique_ptr<QPainter> FPainter;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  QPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  int FTextAlign = TA_LEFT | TA_TOP;

  bool FInPath = false;
  bool FPathNeedsMove = true;
  QPainterPath FPath;
  std::optional<QRegion> FClip;

  TMapMode FMapMode = mmText;
  QPoint FWindowOrg, FViewportOrg;
  QSize FWindowExt{1, 1}, FViewportExt{1, 1};
  QTransform FMapping;

  // Where a character's ink lies: its bearings and its rows from the baseline (above
  // negative, Bottom included), in the canvas font on the device.
  struct TGlyphInk {
    int LeftBearing = 0, RightBearing = 0, Top = 0, Bottom = 0;
    // A Latin character of the font itself: one glyph, no wider than the font's widest.
    bool Plain = false;
  };
  // The Qt fonts of the last few TFonts applied, most recent first, so that pages that
  // alternate between a handful of fonts do not resolve each one again for every text.
  struct TResolvedFont {
    TFont Font;
    QFont QtFont;
    QFontMetrics Metrics;  // on the canvas's device
    int Ascent = 0, CellHeight = 0;
    // The widest glyph's advance and a pixel for rounding.
    int MaxAdvance = 0;
    // Advances of texts drawn in it, for the texts a table repeats in every other row.
    QHash<QString, int> Advances;
    QHash<char16_t, TGlyphInk> Inks;
  };
  static constexpr qsizetype RememberedAdvances = 65536;
  static constexpr int ResolvedFontSlots = 4;
  mutable std::vector<TResolvedFont> FResolvedFonts;
  mutable int FAscent = 0, FCellHeight = 0;
  // The TFont last set on the painter, so that it is not resolved for the device again.
  std::optional<TFont> FPainterFontOf;
  const QFont& CachedQFont() const;
  // The metrics of CachedQFont() on the device. Both references stay valid until the canvas
  // font changes.
  const QFontMetrics& CachedMetrics() const;
  // CachedMetrics().horizontalAdvance(text), measured once for a text met again.
  int CachedAdvance(const QString& text) const;
  const TGlyphInk& GlyphInk(QChar c) const;
  // A width the text cannot exceed, found without laying it out: its characters times the
  // widest glyph; -1 unless every character is plain.
  int AdvanceBound(QStringView text) const;
  // Whether the ink of a line of text drawn with its cell's top left at (x, top) and this
  // width stays inside rect (above and below with a pixel to spare: accents can reach past
  // the ascent), so that clipping to rect changes nothing. Not for surrogates and combining
  // marks, whose ink their neighbours place.
  bool InkInside(QStringView line, int x, int top, int width, const QRect& rect) const;
};
