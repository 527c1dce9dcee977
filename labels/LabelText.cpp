#include "labels/LabelText.h"
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <algorithm>

namespace {
// Faces are measured at this many times the recording size, so that hinting at small sizes
// does not bend the measures; the printer draws at 600 or 1200 ppi, not at 96.
constexpr int Scale = 25;
constexpr double MmPerPixel = 25.4 / 96;

QFont ScaledFont(const QString& family, int pixelHeight) {
  QFont f(family);
  f.setPixelSize(pixelHeight * Scale);
  f.setKerning(false);
  return f;
}

double ToMm(double scaledPixels) { return scaledPixels / Scale * MmPerPixel; }

QStringList Wrap(const QString& text, const QString& family, int px, double width, bool& fits) {
  QStringList lines;
  QString line;
  fits = true;
  for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
    if (TextWidthMm(family, px, word) > width) {
      fits = false;
      return {};
    }
    const QString candidate = line.isEmpty() ? word : line + u' ' + word;
    if (TextWidthMm(family, px, candidate) <= width) {
      line = candidate;
    } else {
      lines << line;
      line = word;
    }
  }
  if (!line.isEmpty() || lines.isEmpty()) lines << line;
  return lines;
}
}  // namespace

TDigitFace DigitFace() {
  static const TDigitFace face = [] {
    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("OCR B"))) return TDigitFace{QStringLiteral("OCR B"), false};
    return TDigitFace{TextFace(), true};
  }();
  return face;
}

QString TextFace() { return QStringLiteral("Liberation Sans"); }

TFaceMetrics MeasureFace(const QString& family, int pixelHeight) {
  const QFontMetricsF fm(ScaledFont(family, pixelHeight));
  TFaceMetrics m;
  m.Ascent = ToMm(fm.ascent());
  m.LineSpacing = ToMm(fm.lineSpacing());
  const QRectF ink = fm.tightBoundingRect(QStringLiteral("0123456789"));
  m.DigitTop = ToMm(fm.ascent() + ink.top());
  m.DigitHeight = ToMm(ink.height());
  for (char16_t d = u'0'; d <= u'9'; ++d) m.DigitAdvance = std::max(m.DigitAdvance, ToMm(fm.horizontalAdvance(QChar(d))));
  return m;
}

double TextWidthMm(const QString& family, int pixelHeight, const QString& text) {
  // The same few words are measured at every size tried and on every label of a run.
  static QHash<QString, double> cache;
  const QString key = family + u'\x1f' + QString::number(pixelHeight) + u'\x1f' + text;
  if (const auto it = cache.constFind(key); it != cache.cend()) return *it;
  const double w = ToMm(QFontMetricsF(ScaledFont(family, pixelHeight)).horizontalAdvance(text));
  if (cache.size() > 100000) cache.clear();
  cache.insert(key, w);
  return w;
}

std::optional<TTextBlock> FitTexts(const QStringList& texts, const QString& family, double width, double height) {
  for (int px = LabelTextMaxPixels; px >= LabelTextMinPixels; --px) {
    TTextBlock block;
    block.PixelHeight = px;
    block.LineHeight = MeasureFace(family, px).LineSpacing;
    bool fits = true;
    for (const QString& text : texts) {
      const QString t = text.simplified();
      if (TextWidthMm(family, px, t) <= width) {
        block.Lines << t;
        continue;
      }
      block.Lines << Wrap(t, family, px, width, fits);
      if (!fits) break;
    }
    if (fits && block.Height() <= height + 1e-9) return block;
  }
  return std::nullopt;
}
