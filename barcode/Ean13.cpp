#include "barcode/Ean13.h"
#include "barcode/Barcode.h"
#include "platform/SysUtils.h"
#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
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
  const int first = value[0].unicode() - u'0';
  if (first == 0) {
    result.Message = QStringLiteral("First digital cannot be 0.");
    return result;
  }
  QString m;
  m.reserve(95);
  m += QLatin1String("101");
  for (int j = 1; j <= 6; ++j) {
    const int d = value[j].unicode() - u'0';
    m += QLatin1String(Parity[first][j - 1] == 'A' ? SetA[d] : SetB[d]);
  }
  m += QLatin1String("01010");
  for (int j = 7; j <= 12; ++j) m += QLatin1String(SetC[value[j].unicode() - u'0']);
  m += QLatin1String("101");
  result.Ok = true;
  result.Modules = m;
  return result;
}

namespace {
// Bars of the symbol: module k covers columns 2k+13 and 2k+14 from row 10; guard modules end
// at row 135, the others at row 122. Calls bar(column, bottomExclusive) for each dark column.
template <typename F>
void ForEachBarColumn(const QString& modules, F&& bar) {
  for (int i = 1; i <= 189; i += 2) {
    const int k = (i + 1) / 2;
    if (k > modules.size() || modules[k - 1] != u'1') continue;
    const bool guard = i <= 6 || (i >= 90 && i <= 100) || i >= 184;
    const int bottom = guard ? 136 : 123;
    bar(i + 14, bottom);
    bar(i + 15, bottom);
  }
}

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

 private:
  TDigitCells() : FPpi(ScreenPixelsPerInch()) {
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
  QImage FCells[11];
};

// Copies a text's cells into the image with the text's top-left at (x, y), clipped.
void BlitText(QImage& image, int x, int y, QStringView text, const TDigitCells& cells) {
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  for (qsizetype n = 0; n < text.size(); ++n) {
    const QImage& cell = cells.Cell(text[n]);
    const int left = std::max(x, 0), right = std::min(x + cell.width(), image.width());
    for (int row = 0; row < cell.height() && left < right; ++row) {
      if (y + row < 0 || y + row >= image.height()) continue;
      const QRgb* from = reinterpret_cast<const QRgb*>(cell.constScanLine(row)) + (left - x);
      std::copy(from, from + (right - left), reinterpret_cast<QRgb*>(bits + (y + row) * stride) + left);
    }
    x += cell.width();
  }
}

bool AllDigits(const QString& value) {
  return value.size() == 13 && std::all_of(value.begin(), value.end(), IsDigit);
}
}  // namespace

std::unique_ptr<TBitmap> RenderEAN13(const QString& value, const QString& modules, int width,
                                     int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  if (!AllDigits(value) || width < 1 || height < 1) {
    DrawEAN13(bitmap->Canvas(), value, modules);
    bitmap->Canvas().Release();
    return bitmap;
  }
  // The same pixels as DrawEAN13 on a white bitmap, written straight into the image: this
  // runs once per Preview and once per file of a batch.
  QImage image = bitmap->Image();
  bitmap->SetImage(QImage());
  const QRgb black = qRgb(0, 0, 0);
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  const int imageWidth = image.width(), imageHeight = image.height();
  // Bars end at one of two bottoms (digits' bars above the texts, guard bars below them), so
  // the bar area is two bands of identical rows: make each band's row once and copy it.
  std::vector<QRgb> normalRow(imageWidth, qRgb(255, 255, 255)), guardRow = normalRow;
  int lowest = 10;
  ForEachBarColumn(modules, [&](int column, int bottom) {
    if (column >= imageWidth) return;
    normalRow[column] = black;
    if (bottom > 123) guardRow[column] = black;
    lowest = std::max(lowest, bottom);
  });
  for (int y = 10; y < std::min({123, lowest, imageHeight}); ++y)
    std::copy(normalRow.begin(), normalRow.end(), reinterpret_cast<QRgb*>(bits + y * stride));
  for (int y = 123; y < std::min(lowest, imageHeight); ++y)
    std::copy(guardRow.begin(), guardRow.end(), reinterpret_cast<QRgb*>(bits + y * stride));
  const TDigitCells& cells = TDigitCells::ForScreen();
  BlitText(image, 4, 123, QStringView(value).left(1), cells);
  BlitText(image, 30, 123, Spaced(QStringView(value).mid(1, 6)), cells);
  BlitText(image, 121, 123, Spaced(QStringView(value).mid(7, 6)), cells);
  bitmap->SetImage(image);
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
  canvas.Pen().Color = clBlack;
  ForEachBarColumn(modules, [&](int column, int bottom) {
    canvas.MoveTo(column, 10);
    canvas.LineTo(column, bottom);
  });
  SetDigitFont(canvas.Font());
  canvas.TextOut(4, 123, value.left(1));
  canvas.TextOut(30, 123, Spaced(QStringView(value).mid(1, 6)));
  canvas.TextOut(121, 123, Spaced(QStringView(value).mid(7, 6)));
}
