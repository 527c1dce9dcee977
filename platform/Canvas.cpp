#include "platform/Canvas.h"
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <cmath>

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
}

QPainter* TCanvas::Painter() {
  if (!FPainter && FDevice) {
    FPainter = std::make_unique<QPainter>();
    FPainter->begin(FDevice);
    FPainter->setRenderHint(QPainter::Antialiasing, false);
  }
  return FPainter.get();
}

void TCanvas::Release() {
  if (FPainter) {
    if (FPainter->isActive()) FPainter->end();
    FPainter.reset();
  }
}

void TCanvas::ApplyPen() {
  QPainter* p = Painter();
  if (!p) return;
  if (FPen.Style == psClear || FPen.Mode == pmNop) {
    p->setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(FPen.Color));
  // Width 0 or 1 is the one-pixel cosmetic pen; FlatCap leaves out a line's end point.
  pen.setWidth(FPen.Width <= 1 ? 0 : FPen.Width);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  switch (FPen.Style) {
    case psDash: pen.setStyle(Qt::DashLine); break;
    case psDot: pen.setStyle(Qt::DotLine); break;
    case psDashDot: pen.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    default: pen.setStyle(Qt::SolidLine); break;
  }
  p->setPen(pen);
  p->setCompositionMode(FPen.Mode == pmNot || FPen.Mode == pmXor || FPen.Mode == pmNotXor
                            ? QPainter::RasterOp_SourceXorDestination
                            : QPainter::CompositionMode_SourceOver);
  if (FPen.Mode == pmNot) p->setPen(QPen(Qt::white, pen.widthF()));
}

void TCanvas::ApplyBrush() {
  QPainter* p = Painter();
  if (!p) return;
  if (FBrush.Style == bsClear) {
    p->setBrush(Qt::NoBrush);
    p->setBackgroundMode(Qt::TransparentMode);
    return;
  }
  p->setBrush(QBrush(ToQColor(FBrush.Color)));
  p->setBackground(QBrush(ToQColor(FBrush.Color)));
  p->setBackgroundMode(Qt::OpaqueMode);
}

void TCanvas::ApplyFont() {
  QPainter* p = Painter();
  if (!p) return;
  p->setFont(FFont.ToQFont());
  p->setPen(ToQColor(FFont.Color));
}

void TCanvas::MoveTo(int x, int y) { FPenPos = QPoint(x, y); }

void TCanvas::LineTo(int x, int y) {
  QPoint from = FPenPos;
  FPenPos = QPoint(x, y);
  if (!Painter()) return;
  ApplyPen();
  Painter()->drawLine(from, FPenPos);
  Painter()->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (!Painter() || right <= left || bottom <= top) return;
  ApplyBrush();
  ApplyPen();
  QPainter* p = Painter();
  if (FPen.Style == psClear) {
    if (FBrush.Style != bsClear) p->fillRect(QRect(left, top, right - left, bottom - top), p->brush());
  } else {
    p->drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
  }
  p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::FillRect(const QRect& r) {
  if (!Painter() || FBrush.Style == bsClear) return;
  ApplyBrush();
  Painter()->fillRect(r, Painter()->brush());
}

void TCanvas::Polygon(const QPoint* points, int count) {
  if (!Painter() || count < 2) return;
  ApplyBrush();
  ApplyPen();
  Painter()->drawPolygon(points, count);
  Painter()->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::Polyline(const QPoint* points, int count) {
  if (!Painter() || count < 2) return;
  ApplyPen();
  Painter()->drawPolyline(points, count);
  Painter()->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  QPainter* p = Painter();
  if (!p) return;
  ApplyBrush();
  ApplyFont();
  QFontMetrics fm(p->font(), FDevice);
  if (FFont.Orientation % 3600 != 0) {
    p->save();
    p->translate(x, y);
    p->rotate(-FFont.Orientation / 10.0);
    p->drawText(0, fm.ascent(), text);
    p->restore();
  } else {
    p->drawText(x, y + fm.ascent(), text);
  }
  FPenPos = QPoint(x + fm.horizontalAdvance(text), y);
}

QSize TCanvas::TextExtent(const QString& text) {
  QFont f = FFont.ToQFont();
  QFontMetrics fm = FDevice ? QFontMetrics(f, FDevice) : QFontMetrics(f);
  return QSize(fm.horizontalAdvance(text), fm.height());
}

TColor TCanvas::Pixel(int x, int y) {
  auto* image = dynamic_cast<QImage*>(FDevice);
  if (!image || !image->valid(x, y)) return clNone;
  Release();
  return FromQColor(QColor(image->pixel(x, y)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  QPainter* p = Painter();
  if (!p) return;
  p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}
