// The font mapper: text measured at a fixed reference resolution and placed character by
// character at advances scaled to the device, so that a text has the same width in inches
// on every surface, up to the final rounding.
#include <QCoreApplication>
#include <cmath>
#include "platform/SysUtils.h"
#include "preview/Vufuncs.h"
#include "preview/Vuresource.h"

namespace {
int InitialFontMapperPpi() {
  const QString os = ReturnOSVersion();
  return os == QLatin1StringView("Windows 98") || os == QLatin1StringView("Windows 95") ? 3600 : 7200;
}

// The measuring font: the face, style and point size of font at ppi pixels per inch.
TFont AtResolution(const TFont& font, int ppi) {
  TFont measured = font;
  measured.Quality = fqDefault;
  measured.Orientation = 0;
  measured.PixelsPerInch = ppi;
  measured.SetSize(font.Size());
  return measured;
}

TVuFontMapper* TheMapper = nullptr;

// Fonts must go before the application's font database does.
void DropMapperCache() {
  if (TheMapper) {
    delete TheMapper;
    TheMapper = nullptr;
  }
}
}  // namespace

const int FontMapperPpi = InitialFontMapperPpi();

TVuFontMapper& VuFontMapper() {
  if (!TheMapper) {
    TheMapper = new TVuFontMapper;
    if (QCoreApplication::instance()) qAddPostRoutine(DropMapperCache);
  }
  return *TheMapper;
}

TVuFontMapper::TVuFontMapper() : MapperPpi(FontMapperPpi), FMeasureBitmap(1, 1) {}

TVuFontMapper::~TVuFontMapper() = default;

void TVuFontMapper::DropCache() {
  FCachedMetrics.reset();
  FCachedFont.reset();
}

const QFontMetricsF& TVuFontMapper::Metrics(const TFont& font) {
  if (!FCachedMetrics || FCachedPpi != MapperPpi || !FCachedFont || !(*FCachedFont == font)) {
    FCachedFont = font;
    FCachedPpi = MapperPpi;
    FCachedMetrics.emplace(AtResolution(font, MapperPpi).ToQFont());
  }
  return *FCachedMetrics;
}

TVuSize TVuFontMapper::TextExtent(TCanvas& canvas, const QString& text) {
  const QFontMetricsF& m = Metrics(canvas.Font());
  return {Extended(m.horizontalAdvance(text)) / MapperPpi, Extended(m.height()) / MapperPpi};
}

std::vector<int> TVuFontMapper::CharSpacingFromWidths(const std::vector<Extended>& widths, int mapperPpi,
                                                      int devicePpi) {
  std::vector<int> spacing;
  spacing.reserve(widths.size());
  Extended carried = 0;
  for (Extended width : widths) {
    const Extended a = width / mapperPpi * devicePpi;
    const Extended whole = std::trunc(a);
    int element = int(whole);
    carried += a - whole;
    if (carried > 1) {
      element += int(std::trunc(carried));
      carried -= std::nearbyintl(carried);  // halves to even: the carry may go negative
    }
    spacing.push_back(element);
  }
  return spacing;
}

void TVuFontMapper::CalculateCharSpacing(TCanvas& measureCanvas, const QString& text) {
  const QFontMetricsF& m = Metrics(measureCanvas.Font());
  std::vector<Extended> widths;
  widths.reserve(size_t(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    // A surrogate pair is one character: its width goes to the first half.
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      widths.push_back(m.horizontalAdvance(text.mid(i, 2)));
      widths.push_back(0);
      ++i;
    } else {
      widths.push_back(m.horizontalAdvance(text[i]));
    }
  }
  CharSpacing = CharSpacingFromWidths(widths, MapperPpi, DevicePpi);
}

void TVuFontMapper::TextOut(TCanvas& canvas, int x, int y, const TRect& clip, const QString& text,
                            bool screenPpi) {
  MapperPpi = screenPpi ? 96 : FontMapperPpi;
  DevicePpi = canvas.Font().PixelsPerInch;
  CharSpacing.clear();
  CalculateCharSpacing(canvas, text);
  VuDrawText(canvas, x, y, clip, text, CharSpacing, int(CharSpacing.size()) - 1);
}

void TVuFontMapper::VuDrawText(TCanvas& canvas, int x, int y, const TRect& clip, const QString& text,
                               const std::vector<int>& spacing, int last) {
  if (FMeasureOnly) return;
  const QRect clipRect = ToQRect(clip);
  const bool placed = last != -1 && !spacing.empty() && ReturnOSVersion() != QLatin1StringView("Windows NT");
  const int count = placed ? std::min<int>(last + 1, int(spacing.size())) : 0;
  canvas.ExtTextOut(x, y, etoClipped, &clipRect, text, placed ? spacing.data() : nullptr, count);
}

void TVuFontMapper::OutputLine(TCanvas& canvas, const TRect& rect, QString line, int k, TAlignment alignment,
                               bool screenPpi) {
  line = TrimRight(line);
  const int w = VuRound(TextWidth(canvas, line) * DevicePpi);
  const int boxWidth = rect.Right - rect.Left;
  int x = rect.Left;
  if (alignment == taRightJustify) x = rect.Left + (boxWidth - w);
  else if (alignment == taCenter) x = rect.Left + (boxWidth - w) / 2;
  const int y = rect.Top + VuRound(TextHeight(canvas, line) * k * DevicePpi);
  TextOut(canvas, x, y, rect, line, screenPpi);
}

Extended TVuFontMapper::TextBox(TCanvas& canvas, const TRect& rect, const QString& text, TAlignment alignment,
                                bool screenPpi) {
  MapperPpi = screenPpi ? 96 : FontMapperPpi;
  DevicePpi = canvas.Font().PixelsPerInch;
  int n = 0;
  QString line;
  const Extended limit = Extended(rect.Right - rect.Left) / DevicePpi;
  bool pendingBreak = false;
  QString rest = text;
  rest.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
  qsizetype at = 0;
  while (at < rest.size()) {
    qsizetype end = at;
    while (end < rest.size() && rest[end] != u' ' && rest[end] != u'\r') ++end;
    if (end < rest.size()) ++end;  // the space or CR goes with the word
    QString word = rest.mid(at, end - at);
    at = end;
    if ((TextWidth(canvas, line + word) > limit || pendingBreak) && WordWrap) {
      if (TextWidth(canvas, word) > limit) {
        line += word;
        word.clear();
      }
      OutputLine(canvas, rect, line, n, alignment, screenPpi);
      line.clear();
      ++n;
      pendingBreak = false;
    }
    line += word;
    if (word.endsWith(u'\r')) pendingBreak = true;
  }
  if (!line.isEmpty()) {
    OutputLine(canvas, rect, line, n, alignment, screenPpi);
    ++n;
  }
  return TextHeight(canvas, text) * n;
}

Extended TVuFontMapper::TextBoxHeight(const TFont& font, const TRect& rect, const QString& text) {
  TCanvas& measure = FMeasureBitmap.Canvas();
  measure.Font() = AtResolution(font, MapperPpi);
  FMeasureOnly = true;
  Extended height;
  try {
    height = TextBox(measure, rect, text, taLeftJustify, false);
  } catch (...) {
    FMeasureOnly = false;
    throw;
  }
  FMeasureOnly = false;
  return height;
}
