// The font mapper: text measured at a fixed reference resolution and placed character by
// character at advances scaled to the device, so that a text has the same width in inches
// on every surface, up to the final rounding.
#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include "platform/SysUtils.h"
#include "platform/Finally.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vuresource.h"

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

void TVuFontMapper::DropCache() { FMeasured.clear(); }

TVuFontMapper::TMeasuredFont& TVuFontMapper::Measured(const TFont& font) {
  for (size_t i = 0; i < FMeasured.size(); ++i) {
    if (FMeasured[i]->Ppi == MapperPpi && FMeasured[i]->Font == font) {
      if (i) std::rotate(FMeasured.begin(), FMeasured.begin() + i, FMeasured.begin() + i + 1);
      return *FMeasured.front();
    }
  }
  constexpr size_t Kept = 8;
  if (FMeasured.size() >= Kept) FMeasured.pop_back();
  FMeasured.insert(FMeasured.begin(), std::unique_ptr<TMeasuredFont>(new TMeasuredFont{
                                          font, MapperPpi, QFontMetricsF(AtResolution(font, MapperPpi).ToQFont()), {}}));
  return *FMeasured.front();
}

void TVuFontMapper::CharWidths(TMeasuredFont& measured, const QString& text, std::vector<Extended>& widths) {
  widths.clear();
  widths.reserve(size_t(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const char32_t code = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
    // Line breaks take no room on a line, as in the fonts the layout was made with; the
    // fonts here may give them the width of a missing glyph, which would move a word
    // ending in CR onto the line before it.
    if (code == u'\r' || code == u'\n') {
      widths.push_back(0);
      continue;
    }
    auto it = measured.Advances.find(code);
    if (it == measured.Advances.end())
      it = measured.Advances
               .emplace(code, pair ? measured.Metrics.horizontalAdvance(text.mid(i, 2))
                                   : measured.Metrics.horizontalAdvance(text[i]))
               .first;
    widths.push_back(it->second);
    if (pair) {
      widths.push_back(0);
      ++i;
    }
  }
}

TVuSize TVuFontMapper::TextExtent(TCanvas& canvas, const QString& text) {
  TMeasuredFont& measured = Measured(canvas.Font());
  CharWidths(measured, text, FWidths);
  Extended width = 0;
  for (Extended w : FWidths) width += w;
  return {width / MapperPpi, Extended(measured.Metrics.height()) / MapperPpi};
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
  CharWidths(Measured(measureCanvas.Font()), text, FWidths);
  CharSpacing = CharSpacingFromWidths(FWidths, MapperPpi, DevicePpi);
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
  // CR LF, CR and a bare LF (as texts from files and grid cells end their lines) all break.
  rest.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
  rest.replace(u'\n', u'\r');
  qsizetype at = 0;
  while (at < rest.size()) {
    qsizetype end = at;
    while (end < rest.size() && rest[end] != u' ' && rest[end] != u'\r') ++end;
    if (end < rest.size()) ++end;  // the space or CR goes with the word
    QString word = rest.mid(at, end - at);
    at = end;
    if (WordWrap && (pendingBreak || TextWidth(canvas, line + word) > limit)) {
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
  Extended height = 0;
  TryFinally([&] { height = TextBox(measure, rect, text, taLeftJustify, false); }, [&] { FMeasureOnly = false; });
  return height;
}
