#include "barcode/Ean13.h"
#include "barcode/Barcode.h"
#include "platform/SysUtils.h"

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

std::unique_ptr<TBitmap> RenderEAN13(const QString& value, const QString& modules, int width,
                                     int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  DrawEAN13(bitmap->Canvas(), value, modules);
  bitmap->Canvas().Release();
  return bitmap;
}

void DrawEAN13(TCanvas& canvas, const QString& value, const QString& modules) {
  canvas.Pen().Color = clBlack;
  // Module k covers columns 2k+13 and 2k+14; guard modules reach down to row 135.
  for (int i = 1; i <= 189; i += 2) {
    const int k = (i + 1) / 2;
    if (k > modules.size() || modules[k - 1] != u'1') continue;
    const bool guard = i <= 6 || (i >= 90 && i <= 100) || i >= 184;
    const int bottom = guard ? 136 : 123;
    canvas.MoveTo(i + 14, 10);
    canvas.LineTo(i + 14, bottom);
    canvas.MoveTo(i + 15, 10);
    canvas.LineTo(i + 15, bottom);
  }
  TFont& font = canvas.Font();
  font.Name = QStringLiteral("Arial");
  font.Color = clBlack;
  font.PixelsPerInch = ScreenPixelsPerInch();
  font.SetSize(11);
  // The bitmap is strictly black and white: glyphs without grey edges.
  font.Quality = fqNonAntialiased;
  canvas.TextOut(4, 123, value.left(1));
  canvas.TextOut(30, 123, Spaced(QStringView(value).mid(1, 6)));
  canvas.TextOut(121, 123, Spaced(QStringView(value).mid(7, 6)));
}
