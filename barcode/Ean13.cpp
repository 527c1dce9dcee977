#include "barcode/Ean13.h"
#include "barcode/Barcode.h"
#include "platform/SysUtils.h"
#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <QVarLengthArray>
#include <vector>
#include "platform/Errors.h"

namespace {
// Number sets A (L codes), B (G codes) and C (R codes), indexed by digit.
const char* const SetA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                              "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const SetB[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                              "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const SetC[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                              "1001110", "1010000", "1000100", "1001000", "1110100"};
// For first digits 0..9: which set encodes digits 2..7 ('A' or 'B').
const char* const Parity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Digits of part joined with single spaces: "2 3 4 5 6 7".
QString Spaced(QStringView digits) {
  QString text;
  text.reserve(digits.size() * 2);
  for (qsizetype i = 0; i < digits.size(); ++i) {
    if (i) text += u' ';
    text += digits[i];
  }
  return text;
}
}  // namespace

TEan13Value NormaliseEAN13(const QString& typed, const TNyBarcode& barcode) {
  TEan13Value result;
  if (Trim(typed).isEmpty()) return result;
  for (QChar c : typed) {
    if (!IsDigit(c)) {
      result.Kind = TEan13Value::ekRefused;
      result.Message = QStringLiteral("EAN13 must be 13 digits.");
      return result;
    }
  }
  QString digits = typed.size() > 12 ? typed.left(12) : typed.leftJustified(12, u'0');
  try {
    result.Value = barcode.DoCheckSumming(digits);
    result.Kind = TEan13Value::ekCompleted;
  } catch (...) {
    result.Kind = TEan13Value::ekFailed;
  }
  return result;
}

TEan13Modules encodeEAN13(const QString& value) {
  TEan13Modules result;
  if (value.size() != 13) {
    result.Message = QStringLiteral("Barcode ID length must be 13 numbers");
    return result;
  }
  for (QChar c : value) {
    // The completed value always holds digits; anything else is refused like a bad length
    // rather than indexing the number sets out of range.
    if (!IsDigit(c)) {
      result.Message = QStringLiteral("Barcode ID length must be 13 numbers");
      return result;
    }
  }
  if (value[0] == u'0') {
    result.Message = QStringLiteral("First digital cannot be 0.");
    return result;
  }
  result.Ok = true;
  result.Modules = EAN13ModulesOf(value);
  return result;
}

const char* EANNumberSetModules(char set, int digit) {
  return set == 'A' ? SetA[digit] : set == 'B' ? SetB[digit] : SetC[digit];
}

const char* EAN13ParityRow(int firstDigit) { return Parity[firstDigit]; }

void EAN13WriteModules(QStringView digits, char* modules) {
  const char* parity = Parity[digits[0].unicode() - u'0'];
  char* out = modules;
  auto put = [&out](const char* pattern, int n) { out = std::copy(pattern, pattern + n, out); };
  put("101", 3);
  for (int j = 1; j <= 6; ++j) put(EANNumberSetModules(parity[j - 1], digits[j].unicode() - u'0'), 7);
  put("01010", 5);
  for (int j = 7; j <= 12; ++j) put(SetC[digits[j].unicode() - u'0'], 7);
  put("101", 3);
}

QString EAN13ModulesOf(QStringView digits) {
  char m[95];
  EAN13WriteModules(digits, m);
  return QString::fromLatin1(m, 95);
}

namespace {
void SetDigitFont(TFont& font) {
  font.Name = QStringLiteral("Arial");
  font.Color = clBlack;
  font.PixelsPerInch = ScreenPixelsPerInch();
  font.SetSize(11);
  // The bitmap is strictly black and white: glyphs without grey edges.
  font.Quality = fqNonAntialiased;
}

// Opaque cells of the characters '0'..'9' and ' ', each drawn once with TextOut at the
// display's resolution. With full hinting and no kerning every advance is a whole pixel, so a
// text drawn cell by cell equals the text drawn at once (the tests hold the two side by side).
class TDigitCells {
 public:
  static const TDigitCells& ForScreen() {
    static TDigitCells cells;
    if (cells.FPpi != ScreenPixelsPerInch()) cells = TDigitCells();
    return cells;
  }
  const QImage& Cell(QChar c) const { return c == u' ' ? FCells[10] : FCells[c.unicode() - u'0']; }
  const TFont& Font() const { return FFont; }

 private:
  TDigitCells() : FPpi(ScreenPixelsPerInch()) {
    SetDigitFont(FFont);
    TBitmap probe(1, 1);
    SetDigitFont(probe.Canvas().Font());
    for (int i = 0; i <= 10; ++i) {
      const QString text = i == 10 ? QStringLiteral(" ") : QString(QChar(u'0' + i));
      const QSize size = probe.Canvas().TextExtent(text);
      TBitmap cell(size.width(), size.height());
      SetDigitFont(cell.Canvas().Font());
      cell.Canvas().TextOut(0, 0, text);
      FCells[i] = cell.Image();
    }
  }
  int FPpi;
  TFont FFont;
  QImage FCells[11];
};

// Copies a text's cells into the image with the text's top-left at (x, y), clipped.
void BlitText(QImage& image, int x, int y, QStringView text, const TDigitCells& cells) {
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  const int imageWidth = image.width(), imageHeight = image.height();
  for (qsizetype n = 0; n < text.size(); ++n) {
    const QImage& cell = cells.Cell(text[n]);
    const int cellWidth = cell.width();
    const int left = std::max(x, 0), right = std::min(x + cellWidth, imageWidth);
    const int first = std::max(0, -y), last = std::min(cell.height(), imageHeight - y);
    const uchar* cellBits = cell.constBits();
    const qsizetype cellStride = cell.bytesPerLine();
    for (int row = first; row < last && left < right; ++row) {
      const QRgb* from = reinterpret_cast<const QRgb*>(cellBits + row * cellStride) + (left - x);
      std::copy(from, from + (right - left), reinterpret_cast<QRgb*>(bits + (y + row) * stride) + left);
    }
    x += cellWidth;
  }
}

// Fills the bars of an unrotated symbol into a white image, clipped. Bars end at a few
// distinct rows (the digits' bars above the texts, guard bars below them), so the bar area is
// a few bands of identical rows: each band's row is made once and copied.
void FillBars(QImage& image, const TBarcodeSymbol& symbol) {
  const int imageWidth = image.width(), imageHeight = image.height();
  // The distinct top and bottom rows, in order; there are only a few of them.
  QVarLengthArray<int, 8> edges;
  auto addEdge = [&edges](int edge) {
    auto at = std::lower_bound(edges.begin(), edges.end(), edge);
    if (at == edges.end() || *at != edge) edges.insert(at, edge);
  };
  for (const TBarcodeBar& bar : symbol.Bars) {
    const QRect area = bar.Area.translated(symbol.Origin);
    addEdge(std::clamp(area.y(), 0, imageHeight));
    addEdge(std::clamp(area.y() + area.height(), 0, imageHeight));
  }
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  std::vector<QRgb> row(static_cast<size_t>(imageWidth));
  QVarLengthArray<QRgb, 64> colours(symbol.Bars.size());
  for (size_t i = 0; i < symbol.Bars.size(); ++i) {
    const TColor colour = symbol.Bars[i].Color;
    colours[qsizetype(i)] = i > 0 && colour == symbol.Bars[i - 1].Color ? colours[qsizetype(i) - 1] : ToQColor(colour).rgb();
  }
  for (qsizetype band = 0; band + 1 < edges.size(); ++band) {
    const int top = edges[band], bottom = edges[band + 1];
    std::fill(row.begin(), row.end(), qRgb(255, 255, 255));
    bool any = false;
    for (size_t i = 0; i < symbol.Bars.size(); ++i) {
      const QRect area = symbol.Bars[i].Area.translated(symbol.Origin);
      if (area.y() > top || area.y() + area.height() < bottom) continue;
      const int left = std::max(area.x(), 0), right = std::min(area.x() + area.width(), imageWidth);
      if (left >= right) continue;
      std::fill(row.begin() + left, row.begin() + right, colours[qsizetype(i)]);
      any = true;
    }
    if (!any) continue;
    for (int y = top; y < bottom; ++y) std::copy(row.begin(), row.end(), reinterpret_cast<QRgb*>(bits + y * stride));
  }
}
}  // namespace

TBarcodeSymbol EAN13Symbol(const QString& value, const QString& modules) {
  TBarcodeSymbol symbol;
  symbol.Width = 190;
  symbol.Height = 126;
  symbol.Bars.reserve(32);
  // Module k (1..95) covers columns 2k + 13 and 2k + 14; guard modules end at row 135, the
  // others at row 122. Neighbouring dark modules of the same length make one bar.
  const qsizetype count = std::min<qsizetype>(modules.size(), 95);
  for (qsizetype k = 1; k <= count;) {
    if (modules[k - 1] != u'1') {
      ++k;
      continue;
    }
    auto bottomOf = [](qsizetype module) {
      const bool guard = module <= 3 || (module >= 46 && module <= 50) || module >= 93;
      return guard ? 136 : 123;
    };
    const int bottom = bottomOf(k);
    qsizetype last = k;
    while (last < count && modules[last] == u'1' && bottomOf(last + 1) == bottom) ++last;
    const int x = int(2 * k + 13), w = int(2 * (last - k + 1));
    TBarcodeBar bar;
    bar.Area = QRect(x, 10, w, bottom - 10);
    bar.Outline = {QPoint(x, 10), QPoint(x, bottom - 1), QPoint(x + w - 1, bottom - 1), QPoint(x + w - 1, 10)};
    symbol.Bars.push_back(bar);
    k = last + 1;
  }
  TBarcodeText text;
  SetDigitFont(text.Font);
  text.Position = QPoint(4, 123);
  text.Text = value.left(1);
  symbol.Texts.push_back(text);
  text.Position = QPoint(30, 123);
  text.Text = Spaced(QStringView(value).mid(1, 6));
  symbol.Texts.push_back(text);
  text.Position = QPoint(121, 123);
  text.Text = Spaced(QStringView(value).mid(7, 6));
  symbol.Texts.push_back(text);
  return symbol;
}

std::unique_ptr<TBitmap> RenderEAN13(const QString& value, const QString& modules, int width,
                                     int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  if (width < 1 || height < 1) return bitmap;
  const TBarcodeSymbol symbol = EAN13Symbol(value, modules);
  // The same pixels as DrawEAN13 on a white bitmap, written straight into the image: this
  // runs once per Preview and once per file of a batch. Texts the digit cells cannot show
  // go through the canvas.
  const TDigitCells& cells = TDigitCells::ForScreen();
  const bool cellTexts = std::all_of(symbol.Texts.begin(), symbol.Texts.end(), [&](const TBarcodeText& t) {
    return t.Align == btaLeft && t.Font == cells.Font() &&
           std::all_of(t.Text.begin(), t.Text.end(), [](QChar c) { return IsDigit(c) || c == u' '; });
  });
  QImage image = bitmap->Image();
  bitmap->SetImage(QImage());
  FillBars(image, symbol);
  if (cellTexts) {
    for (const TBarcodeText& t : symbol.Texts) BlitText(image, t.Position.x(), t.Position.y(), t.Text, cells);
    bitmap->SetImage(image);
  } else {
    bitmap->SetImage(image);
    DrawSymbolTexts(bitmap->Canvas(), symbol);
    bitmap->Canvas().Release();
  }
  // Bars and digits are exactly black on white: kept, stored and printed at one bit per pixel.
  bitmap->MakeMonochrome();
  return bitmap;
}

#ifdef __SSE2__
namespace {
// The collected sign bits hold the leftmost pixel lowest; a bitmap byte holds it highest.
constexpr uchar BitReversedNibble[16] = {0x0, 0x8, 0x4, 0xC, 0x2, 0xA, 0x6, 0xE,
                                         0x1, 0x9, 0x5, 0xD, 0x3, 0xB, 0x7, 0xF};
}  // namespace
#endif

QByteArray EAN13BitmapFile(const TBitmap& bitmap) {
  const QImage image = bitmap.Image().convertToFormat(QImage::Format_RGB32);
  const int width = image.width(), height = image.height();
  if (width <= 0 || height <= 0) throw EInvalidGraphic(QStringLiteral("Cannot save an empty bitmap"));
  const int rowBytes = ((width + 31) / 32) * 4;  // rows padded to 32 bits
  const int offset = 14 + 40 + 8;                // file header, info header, two colours
  QByteArray file(offset + rowBytes * height, '\0');
  auto put16 = [&](int at, uint16_t v) { file[at] = char(v & 0xFF); file[at + 1] = char(v >> 8); };
  auto put32 = [&](int at, uint32_t v) { for (int b = 0; b < 4; ++b) file[at + b] = char((v >> (8 * b)) & 0xFF); };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, offset);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));  // bottom-up rows
  put16(26, 1);
  put16(28, 1);                 // bits per pixel
  put32(34, uint32_t(rowBytes * height));
  put32(38, 3780);              // 96 pixels per inch
  put32(42, 3780);
  put32(46, 2);
  put32(50, 2);
  // Colour 0 white, colour 1 black (blue, green, red, reserved).
  put32(54, 0x00FFFFFF);
  put32(58, 0x00000000);
  uchar* out = reinterpret_cast<uchar*>(file.data()) + offset;
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - y));
    uchar* row = out + y * rowBytes;
    // Eight pixels to a byte, without branches: the top bit of green tells light from dark.
    int x = 0;
#ifdef __SSE2__
    // Four pixels at a time: shift the green top bit into each sign bit and collect the signs.
    for (; x + 8 <= width; x += 8) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line + x + 4));
      const unsigned lo = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(a, 16))));
      const unsigned hi = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_slli_epi32(b, 16))));
      row[x >> 3] = uchar(~BitReversedNibble[lo] << 4 & 0xF0) | uchar(~BitReversedNibble[hi] & 0x0F);
    }
#endif
    for (; x + 8 <= width; x += 8) {
      unsigned light = 0;
      for (int b = 0; b < 8; ++b) light |= ((line[x + b] >> 15) & 1u) << (7 - b);
      row[x >> 3] = uchar(~light);
    }
    if (x < width) {
      unsigned light = 0;
      const int n = width - x;
      for (int b = 0; b < n; ++b) light |= ((line[x + b] >> 15) & 1u) << (7 - b);
      row[x >> 3] = uchar(~light & (0xFFu << (8 - n)));
    }
  }
  return file;
}

void DrawEAN13(TCanvas& canvas, const QString& value, const QString& modules) {
  const TBarcodeSymbol symbol = EAN13Symbol(value, modules);
  DrawSymbolBars(canvas, symbol);
  DrawSymbolTexts(canvas, symbol);
}
