// The symbology encoders of TNyBarcode. Each returns an element string; the tables hold the
// patterns of the symbologies' standards.
#include <QFileInfo>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include "barcode/Barcode.h"
#include "barcode/Bcchksum.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"

namespace {

const QString ClassName = QStringLiteral("TNyBarcode");

[[noreturn]] void RaiseAssertion(const QString& message, const char* file, int line) {
  throw EAssertionFailed(QStringLiteral("%1 (%2, line %3)")
                             .arg(message, QFileInfo(QString::fromLatin1(file)).fileName())
                             .arg(line));
}

inline int Digit(QChar c) { return c.unicode() - u'0'; }

// ---- Two of five: per digit five flags, 'w' wide, 'n' narrow.
const char* const TwoOfFive[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                   "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

// ---- Code 39: the 43 data characters and the start/stop '*', in check-value order
// (0..9, A..Z, - . space $ / + %), each with its 9 elements, bar first.
struct TCode39Entry {
  char Ch;
  const char* Pattern;
};
const TCode39Entry Code39Table[44] = {
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"},
    {'4', "nnnwwnnnw"}, {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"},
    {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"}, {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"},
    {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"}, {'F', "nnwnwwnnn"},
    {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"},
    {'O', "wnnnwnnwn"}, {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"},
    {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"}, {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"},
    {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"}, {'Z', "nwwnwnnnn"},
    {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'$', "nwnwnwnnn"},
    {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"}, {'*', "nwnnwnwnn"},
};
constexpr int Code39Star = 43;

// Table index of a character, -1 when it has none; looked up through a code table.
template <int N, typename TGetChar>
std::array<int8_t, 128> IndexTable(TGetChar getChar) {
  std::array<int8_t, 128> table;
  table.fill(-1);
  for (int i = N - 1; i >= 0; --i) table[size_t(getChar(i))] = int8_t(i);
  return table;
}

int Code39Index(QChar c) {
  static const auto table = IndexTable<44>([](int i) { return Code39Table[i].Ch; });
  return c.unicode() < 128 ? table[c.unicode()] : -1;
}

// Check value of an entry: its place in the table, 0 for '*'.
int Code39Value(int index) { return index == Code39Star ? 0 : index; }

// Bars at the even places ('5' narrow, '6' wide), spaces between them ('0', '1').
void AppendRun(QString& out, const char* flags) {
  char run[16];
  int n = 0;
  for (; flags[n]; ++n) {
    const bool wide = flags[n] == 'w';
    run[n] = n % 2 == 0 ? (wide ? '6' : '5') : (wide ? '1' : '0');
  }
  out += QLatin1StringView(run, n);
}

// ---- Full ASCII: the pair (or single character) of Code 39 characters for codes 0..127.
void AppendFullAscii(QString& out, int code, bool code93Shifts) {
  auto pair = [&](char shift, char ch) {
    if (code93Shifts) {
      switch (shift) {
        case '$': shift = '['; break;
        case '%': shift = ']'; break;
        case '/': shift = '{'; break;
        case '+': shift = '}'; break;
        default: break;
      }
    }
    out += QLatin1Char(shift);
    out += QLatin1Char(ch);
  };
  if (code == 0) pair('%', 'U');
  else if (code <= 26) pair('$', char('A' + code - 1));
  else if (code <= 31) pair('%', char('A' + code - 27));
  else if (code == 32) out += u' ';
  else if (code <= 47) pair('/', char('A' + code - 33));
  else if (code <= 57) out += QLatin1Char(char(code));
  else if (code == 58) pair('/', 'Z');
  else if (code <= 63) pair('%', char('F' + code - 59));
  else if (code == 64) pair('%', 'V');
  else if (code <= 90) out += QLatin1Char(char(code));
  else if (code <= 95) pair('%', char('K' + code - 91));
  else if (code == 96) pair('%', 'W');
  else if (code <= 122) pair('+', char('A' + code - 97));
  else pair('%', char('P' + code - 123));
}

// Codes 128 and up have no full-ASCII form and are dropped.
QString ToFullAscii(const QString& text, bool code93Shifts) {
  QString out;
  out.reserve(text.size() * 2);
  for (QChar c : text)
    if (c.unicode() < 128) AppendFullAscii(out, c.unicode(), code93Shifts);
  return out;
}

// ---- Code 128: width strings of values 0..102, then the starts A, B, C (103..105).
const char* const Code128Widths[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232",
};
constexpr int Code128FNC1 = 102;
constexpr int Code128SwitchB = 100;
const char* const Code128Stop = "2331112";

// Set A holds space to underscore at values 0..63, set B space to tilde at 0..94; anything
// else (controls, DEL, function characters) cannot be looked up.
int Code128ValueA(QChar c) {
  const int code = c.unicode();
  return code >= 32 && code <= 95 ? code - 32 : -1;
}
int Code128ValueB(QChar c) {
  const int code = c.unicode();
  return code >= 32 && code <= 126 ? code - 32 : -1;
}
int Code128ValueC(QChar high, QChar low) {
  if (high < u'0' || high > u'9' || low < u'0' || low > u'9') return -1;
  return Digit(high) * 10 + Digit(low);
}

// Width strings alternate bar and space, starting with a bar: odd places become bars '5'..'8',
// even places spaces '0'..'3'.
QString WidthsToElements(const QByteArray& widths) {
  QString out(widths.size(), Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < widths.size(); ++i) d[i] = QLatin1Char(char(i % 2 == 0 ? widths[i] + 4 : widths[i] - 1));
  return out;
}

// ---- Code 93: the 43 data characters and the four shifts ($) (%) (/) (+), written [ ] { },
// in value order 0..46.
const char Code93Chars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%[]{}";
const char* const Code93Widths[47] = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211",
    "141111", "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212",
    "112311", "122112", "132111", "111123", "111222", "111321", "121122", "131121", "212112",
    "212211", "211122", "211221", "221121", "222111", "112122", "112221", "122121", "123111",
    "121131", "311112", "311211", "321111", "112131", "113121", "211131", "121221", "312111",
    "311121", "122211",
};

int Code93Value(QChar c) {
  static const auto table = IndexTable<47>([](int i) { return Code93Chars[i]; });
  return c.unicode() < 128 ? table[c.unicode()] : -1;
}

// ---- MSI: four bits per digit, most significant first; 0 narrow bar + wide space, 1 the reverse.
const char* const MSIBits[2] = {"51", "60"};

// ---- PostNet: per digit five bars, 'F' full and 'H' half.
const char* const PostNetBars[10] = {"FFHHH", "HHHFF", "HHFHF", "HHFFH", "HFHHF",
                                     "HFHFH", "HFFHH", "FHHHF", "FHHFH", "FHFHH"};

// ---- Codabar: 20 characters with 7 elements each, bar first.
struct TCodabarEntry {
  char Ch;
  const char* Pattern;
};
const TCodabarEntry CodabarTable[20] = {
    {'1', "nnnnwwn"}, {'2', "nnnwnnw"}, {'3', "wwnnnnn"}, {'4', "nnwnnwn"}, {'5', "wnnnnwn"},
    {'6', "nwnnnnw"}, {'7', "nwnnwnn"}, {'8', "nwwnnnn"}, {'9', "wnnwnnn"}, {'0', "nnnnnww"},
    {'-', "nnnwwnn"}, {'$', "nnwwnnn"}, {':', "wnnnwnw"}, {'/', "wnwnnnw"}, {'.', "wnwnwnn"},
    {'+', "nnwnwnw"}, {'A', "nnwwnwn"}, {'B', "nwnwnnw"}, {'C', "nnnwnww"}, {'D', "nnnwwwn"},
};

const char* CodabarPattern(QChar c) {
  for (const TCodabarEntry& e : CodabarTable)
    if (c == QLatin1Char(e.Ch)) return e.Pattern;
  return nullptr;
}

// ---- EAN/UPC: symbols are put together as modules ('0' light, '1' dark) from the number sets
// of the EAN-13 unit, then turned into elements, each run of equal modules one element.
class TEANModules {
 public:
  void Add(const char* modules) {
    while (*modules) FModules[FCount++] = *modules++;
  }
  // A digit in number set 'A', 'B' or 'C'.
  void AddDigit(QChar digit, char set) {
    std::memcpy(FModules + FCount, EANNumberSetModules(set, Digit(digit)), 7);
    FCount += 7;
  }
  // The 95 modules of an EAN-13 symbol.
  void AddEAN13(QStringView digits) {
    EAN13WriteModules(digits, FModules + FCount);
    FCount += 95;
  }
  QString Elements() const {
    QString out(FCount, Qt::Uninitialized);
    QChar* d = out.data();
    qsizetype n = 0;
    for (int i = 0; i < FCount;) {
      int run = 1;
      while (i + run < FCount && FModules[i + run] == FModules[i]) ++run;
      // The number sets and guards never make a run longer than four modules.
      d[n++] = QLatin1Char(char((FModules[i] == '1' ? '5' : '0') + run - 1));
      i += run;
    }
    out.truncate(n);
    return out;
  }

 private:
  // The longest symbol, EAN-13, has 95 modules.
  char FModules[128];
  int FCount = 0;
};

// UPC-E number system 0 by the check digit: 'E' even (set B), 'o' odd (set A). Letters 2 to 6
// of a row are the five-digit add-on's row for that check digit.
const char* const UPCEParity[10] = {"EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo",
                                    "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};

// The UPC check digit is always the modulo 10 one: it is the only one UPC has, and UPC-E
// needs it to choose its parity even when no check-sum method is set.
QChar UPCCheckDigit(const QString& digits) { return CheckSumModulo10(digits).back(); }

// The UPC-A number that a UPC-E symbol of the number system and six digits stands for.
QString ExpandUPCE(int numberSystem, const QString& six) {
  const QString ns = QString::number(numberSystem);
  const QChar last = six[5];
  if (last <= u'2') return ns + six.left(2) + last + QStringLiteral("0000") + six.mid(2, 3);
  if (last == u'3') return ns + six.left(3) + QStringLiteral("00000") + six.mid(3, 2);
  if (last == u'4') return ns + six.left(4) + QStringLiteral("00000") + six[4];
  return ns + six.left(5) + QStringLiteral("0000") + last;
}

}  // namespace

QString TNyBarcode::Code_2_5_interleaved() {
  QString out = QStringLiteral("5050");
  out.reserve(8 + FText.size() * 5);
  // Digits go in pairs; the last digit of an odd-length text has no partner and is left out.
  for (qsizetype i = 0; i + 1 < FText.size(); i += 2) {
    const char* bars = TwoOfFive[Digit(FText[i])];
    const char* spaces = TwoOfFive[Digit(FText[i + 1])];
    for (int k = 0; k < 5; ++k) {
      out += QLatin1Char(bars[k] == 'w' ? '6' : '5');
      out += QLatin1Char(spaces[k] == 'w' ? '1' : '0');
    }
  }
  out += QLatin1StringView("605");
  return out;
}

QString TNyBarcode::Code_2_5_industrial() {
  QString out = QStringLiteral("606050");
  out.reserve(12 + FText.size() * 10);
  for (QChar c : FText) {
    const char* flags = TwoOfFive[Digit(c)];
    for (int k = 0; k < 5; ++k) out += QLatin1StringView(flags[k] == 'w' ? "60" : "50");
  }
  out += QLatin1StringView("605060");
  return out;
}

QString TNyBarcode::Code_2_5_matrix() {
  QString out = QStringLiteral("705050");
  out.reserve(11 + FText.size() * 6);
  for (QChar c : FText) {
    const char* flags = TwoOfFive[Digit(c)];
    for (int k = 0; k < 5; ++k) {
      const bool wide = flags[k] == 'w';
      out += QLatin1Char(k % 2 == 0 ? (wide ? '6' : '5') : (wide ? '1' : '0'));
    }
    out += u'0';
  }
  out += QLatin1StringView("70505");
  return out;
}

namespace {
// Code 39 of a text; characters outside the table are skipped.
QString EncodeCode39(const QString& text, bool withCheck) {
  QString out;
  out.reserve((text.size() + 3) * 10);
  AppendRun(out, Code39Table[Code39Star].Pattern);
  out += u'0';
  int sum = 0;
  for (QChar c : text) {
    const int index = Code39Index(c);
    if (index < 0 || index == Code39Star) continue;
    AppendRun(out, Code39Table[index].Pattern);
    out += u'0';
    sum = (sum + Code39Value(index)) % 43;
  }
  if (withCheck) {
    AppendRun(out, Code39Table[sum].Pattern);
    out += u'0';
  }
  AppendRun(out, Code39Table[Code39Star].Pattern);
  return out;
}

QString EncodeCode93(const QString& text) {
  QByteArray widths;
  widths.reserve((text.size() + 4) * 6 + 1);
  widths += "111141";
  QVarLengthArray<int, 64> values;
  for (QChar c : text) {
    const int v = Code93Value(c);
    if (v < 0) throw Exception(QStringLiteral("%1:Code93 bad Data <%2>").arg(ClassName, text));
    values.append(v);
    widths += Code93Widths[v];
  }
  // Both checks weight the values from the last character backwards; C's weights run 1..20,
  // K's 2..15 over the data with weight 1 for C, each starting again from 1 after its top.
  int sumC = 0, sumK = 0;
  const qsizetype n = values.size();
  for (qsizetype i = 0; i < n; ++i) {
    const qsizetype fromEnd = n - 1 - i;
    // Reduced as they go: long texts cannot overflow the sums.
    sumC = (sumC + values[i] * int(fromEnd % 20 + 1)) % 47;
    const int weightK = fromEnd < 14 ? int(fromEnd + 2) : int((fromEnd - 14) % 15 + 1);
    sumK = (sumK + values[i] * weightK) % 47;
  }
  const int checkC = sumC;
  const int checkK = (checkC + sumK) % 47;
  widths += Code93Widths[checkC];
  widths += Code93Widths[checkK];
  widths += "1111411";
  return WidthsToElements(widths);
}
}  // namespace

QString TNyBarcode::Code_39() { return EncodeCode39(FText, FCheckSum); }

QString TNyBarcode::Code_39Extended() { return EncodeCode39(ToFullAscii(FText, false), FCheckSum); }

QString TNyBarcode::Code_93() { return EncodeCode93(FText); }

QString TNyBarcode::Code_93Extended() { return EncodeCode93(ToFullAscii(FText, true)); }

QString TNyBarcode::Code_128() {
  int start;
  bool ean = false;
  switch (FTyp) {
    case bcCodeEAN128A: ean = true; [[fallthrough]];
    case bcCode128A: start = 103; break;
    case bcCodeEAN128B: ean = true; [[fallthrough]];
    case bcCode128B: start = 104; break;
    case bcCodeEAN128C: ean = true; [[fallthrough]];
    case bcCode128C: start = 105; break;
    default: throw Exception(QStringLiteral("%1: wrong BarcodeType in Code_128").arg(ClassName));
  }
  const bool setC = start == 105;
  if (setC && FText.size() % 2 == 1) SetText(u'0' + FText);
  // EAN-128 with Checksum encodes the text completed with its check digit; Text stays as it is.
  const QString data = ean && FCheckSum ? DoCheckSumming(FText) : FText;

  QByteArray widths;
  widths.reserve((data.size() + 4) * 6 + 1);
  widths += Code128Widths[start];
  // The check sum is reduced modulo 103 as it goes, positions included, so that no text is
  // long enough to overflow it.
  int sum = start % 103;
  int position = 1;
  auto add = [&](int value) {
    widths += Code128Widths[value];
    sum = (sum + value * position) % 103;
    position = position % 103 + 1;
  };
  if (ean) add(Code128FNC1);
  if (setC) {
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) add(std::max(0, Code128ValueC(data[i], data[i + 1])));
    // A completed text of odd length leaves its check digit without a partner: it goes in
    // set B after the switch (value 100), so the data stays exactly as completed.
    if (data.size() % 2 == 1) {
      add(Code128SwitchB);
      add(std::max(0, Code128ValueB(data.back())));
    }
  } else {
    const bool setA = start == 103;
    // A character outside the set counts as space.
    for (QChar c : data) add(std::max(0, setA ? Code128ValueA(c) : Code128ValueB(c)));
  }
  widths += Code128Widths[sum];
  widths += Code128Stop;
  return WidthsToElements(widths);
}

QString TNyBarcode::Code_MSI() {
  QString out = QStringLiteral("60");
  out.reserve(5 + (FText.size() + 1) * 8);
  auto appendDigit = [&out](int d) {
    for (int bit = 3; bit >= 0; --bit) out += QLatin1StringView(MSIBits[(d >> bit) & 1]);
  };
  for (QChar c : FText) appendDigit(Digit(c));

  // Modulo 10 check: the digits at every second place counted from the right, rightmost
  // included, form a number that is doubled; its digit sum plus the other digits gives the
  // check digit. The doubling is done digit by digit, so any length works.
  int sum = 0;
  int carry = 0;
  for (qsizetype i = FText.size() - 1, place = 0; i >= 0; --i, ++place) {
    const int d = Digit(FText[i]);
    if (place % 2 == 0) {
      const int doubled = d * 2 + carry;
      sum = (sum + doubled % 10) % 10;
      carry = doubled / 10;
    } else {
      sum = (sum + d) % 10;
    }
  }
  sum += carry;
  appendDigit((10 - sum % 10) % 10);
  out += QLatin1StringView("515");
  return out;
}

QString TNyBarcode::Code_PostNet() {
  QString out = QStringLiteral("51");
  out.reserve(3 + FText.size() * 10);
  for (QChar c : FText) {
    for (const char* bar = PostNetBars[Digit(c)]; *bar; ++bar) {
      out += QLatin1Char(*bar == 'F' ? '5' : 'A');
      out += u'1';
    }
  }
  out += u'5';
  return out;
}

QString TNyBarcode::Code_Codabar() {
  QString out;
  out.reserve((FText.size() + 2) * 8);
  AppendRun(out, CodabarPattern(u'A'));
  out += u'0';
  for (QChar c : FText) {
    const char* pattern = CodabarPattern(c);
    // There is no pattern to draw for it; a symbol without the character would misstate the text.
    if (!pattern) throw Exception(QStringLiteral("%1:Codabar bad Data <%2>").arg(ClassName, FText));
    AppendRun(out, pattern);
    out += u'0';
  }
  AppendRun(out, CodabarPattern(u'B'));
  return out;
}

QString TNyBarcode::Code_EAN8() {
  QString data;
  if (FCheckSum) {
    // Seven data digits get their check digit; a longer text would lose digits.
    data = SetLen(7);
    data = data.size() == 7 ? DoCheckSumming(data) : QString();
  } else {
    data = SetLen(8);
  }
  if (data.size() != 8) RaiseAssertion(QStringLiteral("Invalid Text len (EAN8)"), __FILE__, __LINE__);
  TEANModules m;
  m.Add("101");
  for (int i = 0; i < 4; ++i) m.AddDigit(data[i], 'A');
  m.Add("01010");
  for (int i = 4; i < 8; ++i) m.AddDigit(data[i], 'C');
  m.Add("101");
  return m.Elements();
}

QString TNyBarcode::Code_EAN13() {
  const QString data = FCheckSum ? DoCheckSumming(SetLen(12)) : SetLen(13);
  if (data.size() != 13) RaiseAssertion(QStringLiteral("Invalid Text len (EAN13)"), __FILE__, __LINE__);
  // The digits are checked by MakeData; the EAN-13 unit encodes them, a first digit 0 included.
  TEANModules m;
  m.AddEAN13(data);
  return m.Elements();
}

QString TNyBarcode::Code_UPC_A() {
  if (FCheckSum) {
    // Eleven data digits (a twelfth is the check digit being replaced); padding to twelve
    // first would push the last data digit out.
    const QString data = FText.size() >= 12 ? FText.left(11) : SetLen(11);
    SetText(data + UPCCheckDigit(data));
  } else {
    SetText(SetLen(12));
  }
  if (FText.size() != 12) RaiseAssertion(QStringLiteral("Invalid Text len (UPC_A)"), __FILE__, __LINE__);
  TEANModules m;
  m.Add("101");
  for (int i = 0; i < 6; ++i) m.AddDigit(FText[i], 'A');
  m.Add("01010");
  for (int i = 6; i < 12; ++i) m.AddDigit(FText[i], 'C');
  m.Add("101");
  return m.Elements();
}

QString TNyBarcode::Code_UPC_E(int numberSystem) {
  // Six digits and their check digit; with Checksum six digits alone are the data (padding
  // them to seven would push the last one out).
  const QString text = FCheckSum && FText.size() < 7 ? SetLen(6) : SetLen(7);
  // More digits would be dropped from the symbol.
  if (text.size() > 7) RaiseAssertion(QStringLiteral("Invalid Text len (UPC_E)"), __FILE__, __LINE__);
  const QString six = text.left(6);
  // The check digit belongs to the UPC-A number the symbol stands for; readers derive it
  // from the parity and verify it against that number.
  const QChar check = UPCCheckDigit(ExpandUPCE(numberSystem, six));
  SetText(FCheckSum ? six + check : text);
  const char* parity = UPCEParity[Digit(check)];
  // Number system 1 uses the opposite parity of number system 0.
  const char even = numberSystem == 0 ? 'B' : 'A', odd = numberSystem == 0 ? 'A' : 'B';
  TEANModules m;
  m.Add("101");
  for (int i = 0; i < 6; ++i) m.AddDigit(six[i], parity[i] == 'E' ? even : odd);
  m.Add("010101");
  return m.Elements();
}

QString TNyBarcode::Code_UPC_E0() { return Code_UPC_E(0); }

QString TNyBarcode::Code_UPC_E1() { return Code_UPC_E(1); }

QString TNyBarcode::Code_Supp2() {
  SetText(SetLen(2));
  if (FText.size() > 3) RaiseAssertion(QStringLiteral("Invalid Text len (UPC Supp2)"), __FILE__, __LINE__);
  const int d1 = Digit(FText[0]), d2 = Digit(FText[1]);
  // The third digit is for the reader's eye only; it is not encoded.
  if (FCheckSum) SetText(FText.left(2) + QChar(u'0' + (9 * d1 + 3 * d2) % 10));
  static const char* const rows[4] = {"oo", "oE", "Eo", "EE"};
  const char* row = rows[(d1 * 10 + d2) % 4];
  TEANModules m;
  m.Add("1011");
  m.AddDigit(FText[0], row[0] == 'E' ? 'B' : 'A');
  m.Add("01");
  m.AddDigit(FText[1], row[1] == 'E' ? 'B' : 'A');
  return m.Elements();
}

QString TNyBarcode::Code_Supp5() {
  SetText(SetLen(5));
  if (FText.size() > 6) RaiseAssertion(QStringLiteral("Invalid Text len (UPC Supp5)"), __FILE__, __LINE__);
  int sum = 0;
  for (int i = 0; i < 5; ++i) sum += Digit(FText[i]) * (i % 2 == 0 ? 3 : 9);
  const int check = sum % 10;
  if (FCheckSum) SetText(FText.left(5) + QChar(u'0' + check));
  const char* row = UPCEParity[check] + 1;
  TEANModules m;
  m.Add("1011");
  for (int i = 0; i < 5; ++i) {
    if (i > 0) m.Add("01");
    m.AddDigit(FText[i], row[i] == 'E' ? 'B' : 'A');
  }
  return m.Elements();
}
