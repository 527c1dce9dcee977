// The canvas's state: fonts, pens, brushes and their mix modes, the painter's lifetime, the
// window/viewport mapping, clip regions, single pixels and pictures.
#include "platform/Canvas.h"
#include <algorithm>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <cmath>
#include "platform/Graphics.h"

int ScreenPixelsPerInch() {
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    if (QScreen* screen = app->primaryScreen()) return int(std::lrint(screen->logicalDotsPerInch()));
  return 96;
}

int TFont::Size() const {
  // -MulDiv(Height, 72, PixelsPerInch), which rounds half away from zero.
  long long n = -static_cast<long long>(Height) * 72;
  long long q = (std::llabs(n) * 2 + PixelsPerInch) / (2LL * PixelsPerInch);
  return int(n < 0 ? -q : q);
}

void TFont::SetSize(int points) {
  long long n = static_cast<long long>(points) * PixelsPerInch;
  long long q = (std::llabs(n) * 2 + 72) / 144;
  Height = -int(n < 0 ? -q : q);
}

QFont TFont::ToQFont() const {
  QFont f(Name);
  f.setPixelSize(std::max(1, PixelSize()));
  f.setBold(Style & fsBold);
  f.setItalic(Style & fsItalic);
  f.setUnderline(Style & fsUnderline);
  f.setStrikeOut(Style & fsStrikeOut);
  f.setKerning(false);
  if (Quality == fqNonAntialiased) {
    // Exact black-and-white glyphs with the old platform's integer advances.
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
  }
  return f;
}

TCanvas::TCanvas(QPaintDevice* device) : FDevice(device) {}

TCanvas::~TCanvas() { Release(); }

void TCanvas::SetDevice(QPaintDevice* device) {
  Release();
  FDevice = device;
  FResolvedFonts.clear();  // metrics depend on the device's resolution
}

QPainter* TCanvas::Painter() {
  if (!FPainter && FDevice) {
    FPainter = std::make_unique<QPainter>();
    if (!FPainter->begin(FDevice)) {
      FPainter.reset();
      return nullptr;
    }
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    // The PDF engine (printers and PDF files) writes every image that is not 1-bit as JPEG
    // unless asked otherwise; a barcode must not reach the paper through a lossy codec.
    // Other engines ignore the hint.
    FPainter->setRenderHint(QPainter::LosslessImageRendering, true);
    FPainterFontOf.reset();
    // The clip region is in device pixels: select it before the mapping.
    if (FClip) FPainter->setClipRegion(*FClip);
    if (!FMapping.isIdentity()) FPainter->setWorldTransform(FMapping);
  }
  return FPainter.get();
}

void TCanvas::Release() {
  if (FPainter) {
    if (FPainter->isActive()) FPainter->end();
    FPainter.reset();
  }
}

const QFont& TCanvas::CachedQFont() const {
  auto hit = std::find_if(FResolvedFonts.begin(), FResolvedFonts.end(),
                          [this](const TResolvedFont& r) { return r.Font == FFont; });
  if (hit == FResolvedFonts.end()) {
    const QFont qtFont = FFont.ToQFont();
    TResolvedFont resolved{FFont, qtFont, FDevice ? QFontMetrics(qtFont, FDevice) : QFontMetrics(qtFont), 0, 0, 0, {}, {}};
    resolved.Ascent = resolved.Metrics.ascent();
    resolved.CellHeight = resolved.Metrics.height();
    resolved.MaxAdvance = resolved.Metrics.maxWidth() + 1;
    if (FResolvedFonts.size() == ResolvedFontSlots) FResolvedFonts.pop_back();
    FResolvedFonts.insert(FResolvedFonts.begin(), std::move(resolved));
  } else if (hit != FResolvedFonts.begin()) {
    std::rotate(FResolvedFonts.begin(), hit, hit + 1);
  }
  const TResolvedFont& current = FResolvedFonts.front();
  FAscent = current.Ascent;
  FCellHeight = current.CellHeight;
  return current.QtFont;
}

const QFontMetrics& TCanvas::CachedMetrics() const {
  CachedQFont();
  return FResolvedFonts.front().Metrics;
}

int TCanvas::CachedAdvance(const QString& text) const {
  CachedQFont();
  TResolvedFont& font = FResolvedFonts.front();
  auto it = font.Advances.constFind(text);
  if (it != font.Advances.cend()) return *it;
  if (font.Advances.size() >= RememberedAdvances) font.Advances.clear();
  const int advance = font.Metrics.horizontalAdvance(text);
  font.Advances.insert(text, advance);
  return advance;
}

const TCanvas::TGlyphInk& TCanvas::GlyphInk(QChar c) const {
  CachedQFont();
  TResolvedFont& font = FResolvedFonts.front();
  auto it = font.Inks.constFind(c.unicode());
  if (it != font.Inks.cend()) return *it;
  const QRect box = font.Metrics.boundingRect(c);
  const bool plain = c.unicode() >= 0x20 && c.unicode() < 0x250 && !c.isMark() && font.Metrics.inFont(c);
  return *font.Inks.insert(c.unicode(), TGlyphInk{font.Metrics.leftBearing(c), font.Metrics.rightBearing(c),
                                                  box.top(), box.bottom(), plain});
}

int TCanvas::AdvanceBound(QStringView text) const {
  CachedQFont();
  for (QChar c : text)
    if (!GlyphInk(c).Plain) return -1;
  return int(text.size()) * FResolvedFonts.front().MaxAdvance;
}

bool TCanvas::InkInside(QStringView line, int x, int top, int width, const QRect& rect) const {
  if (line.isEmpty()) return true;
  CachedQFont();
  const int baseline = top + FAscent;
  for (QChar c : line) {
    if (c.isSurrogate() || c.isMark()) return false;
    const TGlyphInk& ink = GlyphInk(c);
    if (ink.Top > ink.Bottom) continue;  // a blank
    if (baseline + ink.Top < rect.top() + 1 || baseline + ink.Bottom > rect.top() + rect.height() - 2) return false;
  }
  // Sideways the text's own cell is the limit, unless a glyph reaches out of it (an italic
  // f, a j's tail).
  return x + std::min(0, GlyphInk(line.front()).LeftBearing) >= rect.left() &&
         x + width - std::min(0, GlyphInk(line.back()).RightBearing) <= rect.left() + rect.width();
}

int TCanvas::FontAscent() {
  CachedQFont();
  return FAscent;
}

namespace {

bool HasRasterOps(QPainter* p) {
  return p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

// The mix of a pen mode, as a painter composition; pmBlack and pmWhite draw in their colour.
QPainter::CompositionMode MixComposition(TPenMode mode) {
  switch (mode) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
  }
}

QColor MixColor(TPenMode mode, TColor color) {
  if (mode == pmBlack) return Qt::black;
  if (mode == pmWhite) return Qt::white;
  return ToQColor(color);
}

Qt::BrushStyle HatchStyle(TBrushStyle style) {
  switch (style) {
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;  // falling from left to right
    case bsBDiagonal: return Qt::BDiagPattern;  // rising from left to right
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    default: return Qt::SolidPattern;
  }
}

}  // namespace

bool TCanvas::PenDraws() const { return FPen.Style != psClear; }

bool TCanvas::Hairline() const { return !FPen.Geometric && FPen.Width <= 1; }

void TCanvas::ApplyPen() {
  QPainter* p = Painter();
  if (!p) return;
  // The mix mode applies to everything the call draws, outline and fill.
  QPainter::CompositionMode mix = MixComposition(FPen.Mode);
  p->setCompositionMode(mix != QPainter::CompositionMode_SourceOver && HasRasterOps(p)
                            ? mix
                            : QPainter::CompositionMode_SourceOver);
  if (!PenDraws() || FPen.Mode == pmNop) {
    p->setPen(Qt::NoPen);
    return;
  }
  QPen pen(MixColor(FPen.Mode, FPen.Color));
  if (Hairline()) {
    // The one-pixel cosmetic hairline; FlatCap leaves out a line's end point. Its dashes are
    // counted in device pixels.
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    switch (FPen.Style) {
      case psDash: pen.setDashPattern({18, 6}); break;
      case psDot: pen.setDashPattern({3, 3}); break;
      case psDashDot: pen.setDashPattern({9, 6, 3, 6}); break;
      case psDashDotDot: pen.setDashPattern({9, 3, 3, 3, 3, 3}); break;
      default: break;
    }
  } else {
    pen.setWidth(std::max(FPen.Width, 0));
    pen.setCapStyle(FPen.EndCap == pecSquare ? Qt::SquareCap
                    : FPen.EndCap == pecFlat ? Qt::FlatCap
                                             : Qt::RoundCap);
    // Mitred joins as the old platform draws them: a miter longer than ten pen widths becomes
    // a bevel. Qt's MiterJoin clips a long miter at its limit instead, so an outline that
    // turns back on itself (a rectangle through repeated corners) grows a spike.
    pen.setJoinStyle(FPen.Join == pjMiter ? Qt::SvgMiterJoin
                     : FPen.Join == pjBevel ? Qt::BevelJoin
                                            : Qt::RoundJoin);
    pen.setMiterLimit(10);
    // Dashes of a wide pen are counted in pen widths.
    switch (FPen.Style) {
      case psDash: pen.setDashPattern({3, 1}); break;
      case psDot: pen.setDashPattern({1, 1}); break;
      case psDashDot: pen.setDashPattern({3, 1, 1, 1}); break;
      case psDashDotDot: pen.setDashPattern({3, 1, 1, 1, 1, 1}); break;
      default: break;
    }
  }
  p->setPen(pen);
}

void TCanvas::ApplyBrush() {
  QPainter* p = Painter();
  if (!p) return;
  if (FBrush.Style == bsClear) {
    p->setBrush(Qt::NoBrush);
    p->setBackgroundMode(Qt::TransparentMode);
    return;
  }
  const QColor color = MixColor(FPen.Mode, FBrush.Color);
  if (FBrush.Style == bsSolid) {
    // The same brush is kept: setting it again marks the painter's state changed, and a PDF
    // writes the colour again for every shape.
    if (p->brush().style() != Qt::SolidPattern || p->brush().color() != color) p->setBrush(QBrush(color));
    // A solid brush makes text cells and the gaps of dashed hairlines opaque.
    p->setBackground(QBrush(color));
    p->setBackgroundMode(Qt::OpaqueMode);
  } else {
    // Hatch lines in the brush colour over a transparent background, in device pixels.
    p->setBrush(QBrush(color, HatchStyle(FBrush.Style)));
    p->setBackgroundMode(Qt::TransparentMode);
  }
}

void TCanvas::ApplyFont() {
  QPainter* p = Painter();
  if (!p) return;
  if (!FPainterFontOf || !(*FPainterFontOf == FFont)) {
    p->setFont(CachedQFont());
    FPainterFontOf = FFont;
  }
  p->setPen(ToQColor(FFont.Color));
}

void TCanvas::EndRasterOp() {
  if (FPainter) FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// Mapping.

void TCanvas::UpdateMapping() {
  qreal sx = 1, sy = 1;
  if (FMapMode != mmText && FWindowExt.width() != 0 && FWindowExt.height() != 0) {
    sx = qreal(FViewportExt.width()) / FWindowExt.width();
    sy = qreal(FViewportExt.height()) / FWindowExt.height();
    if (FMapMode == mmIsotropic) {
      // One scale on both axes, the smaller of the two, keeping each axis's direction.
      const qreal m = std::min(std::abs(sx), std::abs(sy));
      sx = sx < 0 ? -m : m;
      sy = sy < 0 ? -m : m;
    }
  }
  FMapping = QTransform(sx, 0, 0, sy, FViewportOrg.x() - FWindowOrg.x() * sx,
                        FViewportOrg.y() - FWindowOrg.y() * sy);
  if (FPainter) FPainter->setWorldTransform(FMapping);
}

void TCanvas::SetMapMode(TMapMode mode) {
  FMapMode = mode;
  if (mode == mmText) {
    FWindowExt = QSize(1, 1);
    FViewportExt = QSize(1, 1);
  }
  UpdateMapping();
}

void TCanvas::SetWindowOrg(int x, int y) {
  FWindowOrg = QPoint(x, y);
  UpdateMapping();
}

void TCanvas::SetWindowExt(int cx, int cy) {
  if (FMapMode == mmText || cx == 0 || cy == 0) return;
  FWindowExt = QSize(cx, cy);
  UpdateMapping();
}

void TCanvas::SetViewportOrg(int x, int y) {
  FViewportOrg = QPoint(x, y);
  UpdateMapping();
}

void TCanvas::SetViewportExt(int cx, int cy) {
  if (FMapMode == mmText || cx == 0 || cy == 0) return;
  FViewportExt = QSize(cx, cy);
  UpdateMapping();
}

QPoint TCanvas::LPtoDP(QPoint p) const {
  const QPointF d = FMapping.map(QPointF(p));
  return QPoint(int(std::lrint(d.x())), int(std::lrint(d.y())));
}

QPoint TCanvas::DPtoLP(QPoint p) const {
  const QPointF l = FMapping.inverted().map(QPointF(p));
  return QPoint(int(std::lrint(l.x())), int(std::lrint(l.y())));
}

// Clip regions.

void TCanvas::SelectClipRgn(const QRegion* region) {
  if (region) FClip = *region;
  else FClip.reset();
  if (!FPainter) return;
  if (!FClip) {
    FPainter->setClipping(false);
    return;
  }
  const QTransform t = FPainter->worldTransform();
  FPainter->resetTransform();
  FPainter->setClipRegion(*FClip, Qt::ReplaceClip);
  FPainter->setWorldTransform(t);
}

// Pixels.

TColor TCanvas::Pixel(int x, int y) {
  auto* image = dynamic_cast<QImage*>(FDevice);
  const QPoint d = LPtoDP(QPoint(x, y));
  if (!image || !image->valid(d)) return clNone;
  Release();
  return FromQColor(QColor(image->pixel(d)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  QPainter* p = Painter();
  if (!p || FInPath) return;
  const QPoint d = LPtoDP(QPoint(x, y));
  const QTransform t = p->worldTransform();
  p->resetTransform();
  p->fillRect(QRect(d, QSize(1, 1)), ToQColor(color));
  p->setWorldTransform(t);
}

// Pictures.

namespace {

// The mirror that maps a rectangle given with a negative width or height onto its normalised
// self, turned along that axis; identity for a normal rectangle.
QTransform MirrorOf(const QRect& rect, QRect& normalised) {
  const int l = rect.left(), r = rect.left() + rect.width();
  const int t = rect.top(), b = rect.top() + rect.height();
  normalised = QRect(std::min(l, r), std::min(t, b), std::abs(r - l), std::abs(b - t));
  const bool mx = r < l, my = b < t;
  return QTransform(mx ? -1 : 1, 0, 0, my ? -1 : 1, mx ? l + r : 0, my ? t + b : 0);
}

}  // namespace

void TCanvas::StretchDraw(const QRect& rect, const TGraphic& graphic) {
  if (graphic.Empty()) return;
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&graphic)) {
    StretchDIBits(rect, bitmap->Image());
    return;
  }
  if (FCopyMode == cmSrcCopy) {
    QPainter* p = Painter();
    if (!p) return;
    QRect target;
    const QTransform mirror = MirrorOf(rect, target);
    const QTransform saved = p->worldTransform();
    if (!mirror.isIdentity()) p->setWorldTransform(mirror * saved);
    graphic.Draw(*this, target);
    p->setWorldTransform(saved);
    FPainterFontOf.reset();  // a recording may leave its own font on the painter
    return;
  }
  // Other pictures are first rendered at the target's size, then combined like a bitmap.
  const QSize size(std::abs(rect.width()), std::abs(rect.height()));
  if (size.isEmpty()) return;
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    TCanvas temp(&image);
    graphic.Draw(temp, QRect(QPoint(0, 0), size));
  }
  StretchDIBits(rect, image);
}

// The fifteen named raster operations. Each is written with the painter's raster operations
// on the pattern (the brush colour, white for a clear brush), the source and the destination.
void TCanvas::StretchDIBits(const QRect& rect, const QImage& image) {
  QPainter* p = Painter();
  if (!p || image.isNull() || rect.width() == 0 || rect.height() == 0) return;
  QRect target;
  const QTransform mirror = MirrorOf(rect, target);
  const QTransform saved = p->worldTransform();
  if (!mirror.isIdentity()) p->setWorldTransform(mirror * saved);
  const bool rop = HasRasterOps(p);
  const QColor pattern = FBrush.Style == bsClear ? QColor(Qt::white) : ToQColor(FBrush.Color);
  auto draw = [&](QPainter::CompositionMode mode, const QImage& source) {
    p->setCompositionMode(mode);
    p->drawImage(QRectF(target), source);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  };
  auto fill = [&](QPainter::CompositionMode mode, const QColor& color) {
    p->setCompositionMode(mode);
    p->fillRect(target, color);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
  };
  auto inverted = [&]() {
    QImage s = image.convertToFormat(QImage::Format_RGB32);
    s.invertPixels();
    return s;
  };
  // The source combined with the pattern before it meets the destination.
  auto withPattern = [&](const QImage& source, QPainter::CompositionMode mode) {
    QImage s = source.convertToFormat(QImage::Format_RGB32);
    QPainter sp(&s);
    sp.setCompositionMode(mode);
    sp.fillRect(s.rect(), pattern);
    sp.end();
    return s;
  };
  // Where the surface cannot combine with its own pixels (printers, pictures), the part of
  // the operation that does not read them is drawn as a plain copy.
  auto combine = [&](QPainter::CompositionMode mode, const QImage& source) {
    draw(rop ? mode : QPainter::CompositionMode_SourceOver, source);
  };
  const auto over = QPainter::CompositionMode_SourceOver;
  switch (IsNamedCopyMode(FCopyMode) ? FCopyMode : cmSrcCopy) {
    case cmBlackness: fill(over, Qt::black); break;                     // 0
    case cmWhiteness: fill(over, Qt::white); break;                     // 1
    case cmPatCopy: fill(over, pattern); break;                         // P
    case cmDstInvert:                                                   // ~D
      if (rop) fill(QPainter::RasterOp_NotDestination, Qt::black);
      break;
    case cmPatInvert:                                                   // P ^ D
      if (rop) fill(QPainter::RasterOp_SourceXorDestination, pattern);
      else fill(over, pattern);
      break;
    case cmNotSrcCopy: draw(over, inverted()); break;                   // ~S
    case cmSrcPaint: combine(QPainter::RasterOp_SourceOrDestination, image); break;      // S | D
    case cmSrcAnd: combine(QPainter::RasterOp_SourceAndDestination, image); break;       // S & D
    case cmSrcInvert: combine(QPainter::RasterOp_SourceXorDestination, image); break;    // S ^ D
    case cmSrcErase: combine(QPainter::RasterOp_SourceAndNotDestination, image); break;  // S & ~D
    case cmNotSrcErase:                                                 // ~S & ~D
      if (rop) draw(QPainter::RasterOp_NotSourceAndNotDestination, image);
      else draw(over, inverted());
      break;
    case cmMergePaint:                                                  // ~S | D
      if (rop) draw(QPainter::RasterOp_NotSourceOrDestination, image);
      else draw(over, inverted());
      break;
    case cmMergeCopy:                                                   // P & S
      draw(over, withPattern(image, QPainter::RasterOp_SourceAndDestination));
      break;
    case cmPatPaint:                                                    // P | ~S | D
      combine(QPainter::RasterOp_SourceOrDestination,
              withPattern(inverted(), QPainter::RasterOp_SourceOrDestination));
      break;
    default: draw(over, image); break;                                  // S
  }
  p->setWorldTransform(saved);
}
