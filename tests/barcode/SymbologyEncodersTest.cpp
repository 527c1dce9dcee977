// The symbology encoders: worked examples and the behaviour chosen where the symbologies
// leave a case open.
#include <gtest/gtest.h>
#include "TestSupport.h"
#include "barcode/Barcode.h"
#include "platform/Errors.h"

namespace {

QString Elements(TBarcodeType typ, const QString& text, bool checksum = false, TNyBarcode* keep = nullptr) {
  TNyBarcode local;
  TNyBarcode& b = keep ? *keep : local;
  b.SetTyp(typ);
  b.SetText(text);
  b.SetChecksum(checksum);
  return b.MakeData();
}

QString Error(TBarcodeType typ, const QString& text, bool checksum = false,
              TCheckSumMethod method = csmModulo10) {
  TNyBarcode b;
  b.SetCheckSumMethod(method);
  try {
    Elements(typ, text, checksum, &b);
  } catch (const Exception& e) {
    return e.Message();
  }
  return QStringLiteral("<no error>");
}

// Width string (bar first) to element characters, as the Code 128 and Code 93 tables use.
QString FromWidths(const char* widths) {
  QString out;
  for (int i = 0; widths[i]; ++i) out += QChar(i % 2 == 0 ? widths[i] + 4 : widths[i] - 1);
  return out;
}

const char* const SetA[10] = {"2605", "1615", "1516", "0805", "0526", "0625", "0508", "0706", "0607", "2506"};
const char* const SetC[10] = {"7150", "6160", "6061", "5350", "5071", "5170", "5053", "5251", "5152", "7051"};

QString SetB(int d) {
  QString c = QString::fromLatin1(SetC[d]);
  std::reverse(c.begin(), c.end());
  return c;
}

}  // namespace

TEST(SymbologyEncoders, EAN13WithAndWithoutChecksum) {
  // Parity row of 4 is ABAABB for 006381, then set C for 333931.
  QString expected = QStringLiteral("505");
  const QString left = QStringLiteral("006381"), parity = QStringLiteral("ABAABB");
  for (int i = 0; i < 6; ++i)
    expected += parity[i] == u'A' ? QString::fromLatin1(SetA[left[i].digitValue()]) : SetB(left[i].digitValue());
  expected += QStringLiteral("05050");
  for (QChar c : QStringLiteral("333931")) expected += QString::fromLatin1(SetC[c.digitValue()]);
  expected += QStringLiteral("505");
  EXPECT_EQ(Elements(bcCodeEAN13, QStringLiteral("4006381333931")), expected);
  TNyBarcode b;
  EXPECT_EQ(Elements(bcCodeEAN13, QStringLiteral("400638133393"), true, &b), expected);
  EXPECT_EQ(b.Text(), "400638133393");  // the completed data is local
}

TEST(SymbologyEncoders, EANLengthsAreAsserted) {
  EXPECT_TRUE(Error(bcCodeEAN8, QStringLiteral("123456789")).startsWith("Invalid Text len (EAN8) ("));
  EXPECT_TRUE(Error(bcCodeEAN13, QStringLiteral("12345678901234")).startsWith("Invalid Text len (EAN13) ("));
  EXPECT_TRUE(Error(bcCodeEAN13, QStringLiteral("1234567890123"), true).startsWith("Invalid Text len (EAN13)"));
  // Eight digits with Checksum would otherwise lose their first digit.
  EXPECT_TRUE(Error(bcCodeEAN8, QStringLiteral("12345670"), true).startsWith("Invalid Text len (EAN8)"));
  // Without a check-sum method the completed data stays one digit short.
  EXPECT_TRUE(Error(bcCodeEAN8, QStringLiteral("1234567"), true, csmNone).startsWith("Invalid Text len (EAN8)"));
  try {
    Elements(bcCodeEAN8, QStringLiteral("123456789"));
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("Barcode"))) << e.Message().toStdString();
    EXPECT_TRUE(e.Message().contains(QStringLiteral("line "))) << e.Message().toStdString();
  }
  // Short texts are padded with zeros.
  EXPECT_EQ(Elements(bcCodeEAN8, QStringLiteral("5")), Elements(bcCodeEAN8, QStringLiteral("00000005")));
}

TEST(SymbologyEncoders, TwoOfFive) {
  // Pairs 12 and 34; the odd 5 is left out.
  const QString i25 = Elements(bcCode_2_5_interleaved, QStringLiteral("12345"));
  EXPECT_EQ(i25, Elements(bcCode_2_5_interleaved, QStringLiteral("1234")));
  // 1 = wnnnw as bars, 2 = nwnnw as spaces.
  EXPECT_EQ(i25.mid(4, 10), QStringLiteral("6051505061"));
  EXPECT_TRUE(i25.startsWith(QStringLiteral("5050")) && i25.endsWith(QStringLiteral("605")));
  EXPECT_EQ(Elements(bcCode_2_5_industrial, QStringLiteral("0")), QStringLiteral("606050") + "50506060" "50" + "605060");
  EXPECT_EQ(Elements(bcCode_2_5_matrix, QStringLiteral("0")), QStringLiteral("705050") + "506150" + "70505");
}

TEST(SymbologyEncoders, Code39) {
  const QString star = QStringLiteral("515060605");  // nwnnwnwnn
  const QString a = QStringLiteral("605051506");     // wnnnnwnnw
  TNyBarcode b;
  b.SetTyp(bcCode39);
  b.SetText(QStringLiteral("A"));
  const QString plain = b.MakeData();
  EXPECT_EQ(plain, star + "0" + a + "0" + star);
  // Check: 10 modulo 43 = 10, which is 'A' again.
  b.SetChecksum(true);
  const QString checked = b.MakeData();
  EXPECT_EQ(checked, star + "0" + a + "0" + a + "0" + star);
  // Characters outside the table are skipped, lower-case letters included.
  EXPECT_EQ(Elements(bcCode39, QStringLiteral("a#A")), plain);
  // "%" (42) + "1" (1) = 43 -> check value 0, the first entry: '0'.
  EXPECT_EQ(Elements(bcCode39, QStringLiteral("%1"), true), Elements(bcCode39, QStringLiteral("%10"), false));
}

TEST(SymbologyEncoders, Code39ExtendedPairs) {
  TNyBarcode b;
  EXPECT_EQ(Elements(bcCode39Extended, QStringLiteral("a\x01\x7f"), false, &b), Elements(bcCode39, QStringLiteral("+A$A%T")));
  EXPECT_EQ(b.Text(), QStringLiteral("a\x01\x7f"));
  EXPECT_EQ(Elements(bcCode39Extended, QStringLiteral("-.:@[`{")), Elements(bcCode39, QStringLiteral("/M/N/Z%V%K%W%P")));
  EXPECT_EQ(Elements(bcCode39Extended, QString(QChar(0)) + QChar(0xE9) + "Z"), Elements(bcCode39, QStringLiteral("%UZ")));
}

TEST(SymbologyEncoders, Code128Checks) {
  // B: (104 + 33 x 1 + 34 x 2) mod 103 = 102.
  EXPECT_EQ(Elements(bcCode128B, QStringLiteral("AB")),
            FromWidths("211214" "111323" "131123" "411131" "2331112"));
  // A looks up set A for both A types; a comma is 12 in every set.
  const QString commaA = Elements(bcCode128A, QStringLiteral(","));
  EXPECT_EQ(commaA, FromWidths("211412" "112232" "112232" "2331112"));  // (103 + 12) mod 103 = 12
  // EAN-128 A: FNC1 at position 1, the comma at 2: (103 + 102 + 24) mod 103 = 23.
  EXPECT_EQ(Elements(bcCodeEAN128A, QStringLiteral(",")), FromWidths("211412" "411131" "112232" "312131" "2331112"));
  // A character outside set A counts as space (value 0): (103 + 0) mod 103 = 0.
  EXPECT_EQ(Elements(bcCode128A, QStringLiteral("a")), FromWidths("211412" "212222" "212222" "2331112"));
}

TEST(SymbologyEncoders, Code128CPadsOddTexts) {
  TNyBarcode b;
  // Pairs 01 and 23: (105 + 1 x 1 + 23 x 2) mod 103 = 49.
  EXPECT_EQ(Elements(bcCode128C, QStringLiteral("123"), false, &b),
            FromWidths("211232" "222122" "312131" "211331" "2331112"));
  EXPECT_EQ(b.Text(), "0123");
}

TEST(SymbologyEncoders, EAN128ChecksumLeavesTextAlone) {
  TNyBarcode b;
  b.SetTyp(bcCodeEAN128C);
  b.SetText(QStringLiteral("1234"));
  b.SetChecksum(true);
  int changes = 0;
  b.OnChange = [&](TNyBarcode*) { ++changes; };
  const QString first = b.MakeData();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(b.MakeData(), first);
    b.GetWidth();
    b.GetCanvasWidth();
  }
  EXPECT_EQ(b.Text(), "1234");
  EXPECT_EQ(changes, 0);
  // 12348 completed is odd: its last digit goes in set B after Code B (100).
  // (105 + 102 + 12 x 2 + 34 x 3 + 100 x 4 + 24 x 5) mod 103 = 853 mod 103 = 29
  EXPECT_EQ(first, FromWidths("211232" "411131" "112232" "131123" "114131" "311222" "322211" "2331112"));
  // Letters cannot take a modulo 10 check digit.
  EXPECT_EQ(Error(bcCodeEAN128B, QStringLiteral("AB"), true), "'A' is not a valid integer value");
}

TEST(SymbologyEncoders, Code93Checks) {
  // Weights: C 1..20 then 1..5, K 2..15 then 1..11, from the last character backwards.
  const QString chars = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
  const QString text = QStringLiteral("CODE93WEIGHTSOFTWENTYFIVE");
  ASSERT_EQ(text.size(), 25);
  int c = 0, k = 0;
  for (int i = 0; i < 25; ++i) {
    const int v = int(chars.indexOf(text[i]));
    const int fromEnd = 24 - i;
    c += v * (fromEnd < 20 ? fromEnd + 1 : fromEnd - 19);
    k += v * (fromEnd < 14 ? fromEnd + 2 : fromEnd - 13);
  }
  c %= 47;
  k = (k + c) % 47;
  const char* const widths[47] = {
      "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211",
      "141111", "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212",
      "112311", "122112", "132111", "111123", "111222", "111321", "121122", "131121", "212112",
      "212211", "211122", "211221", "221121", "222111", "112122", "112221", "122121", "123111",
      "121131", "311112", "311211", "321111", "112131", "113121", "211131", "121221", "312111",
      "311121", "122211"};
  const QString data = Elements(bcCode93, text);
  const QString tail = FromWidths((std::string(widths[c]) + widths[k] + "1111411").c_str());
  EXPECT_TRUE(data.endsWith(tail));
  EXPECT_EQ(data.size(), 6 + 25 * 6 + 12 + 7);
  EXPECT_EQ(Error(bcCode93, QStringLiteral("abc")), "TNyBarcode:Code93 bad Data <abc>");
}

TEST(SymbologyEncoders, Code93ExtendedShifts) {
  TNyBarcode b;
  EXPECT_EQ(Elements(bcCode93Extended, QStringLiteral("ab"), false, &b), Elements(bcCode93, QStringLiteral("}A}B")));
  EXPECT_EQ(b.Text(), "ab");
  EXPECT_EQ(Elements(bcCode93Extended, QStringLiteral("\x1b!%")), Elements(bcCode93, QStringLiteral("]A{A{E")));
}

TEST(SymbologyEncoders, MSICheckDigit) {
  // 1 + 3 = 4; 24 x 2 = 48, digit sum 12; 16 -> check 4.
  const QString bits[10] = {"51515151", "51515160", "51516051", "51516060", "51605151",
                            "51605160", "51606051", "51606060", "60515151", "60515160"};
  EXPECT_EQ(Elements(bcCodeMSI, QStringLiteral("1234")),
            "60" + bits[1] + bits[2] + bits[3] + bits[4] + bits[4] + "515");
  // Odd lengths double the rightmost digit's group: 123 -> 13 x 2 = 26 -> 8, + 2 = 10 -> 0.
  EXPECT_EQ(Elements(bcCodeMSI, QStringLiteral("123")), "60" + bits[1] + bits[2] + bits[3] + bits[0] + "515");
  // Far beyond 32 bits: 40 nines. The doubled group 99..9 (20 digits) x 2 = 199..98, digit
  // sum 1 + 19 x 9 + 8 = 180; plus 20 x 9 = 180; 360 -> check 0.
  const QString nines(40, u'9');
  EXPECT_TRUE(Elements(bcCodeMSI, nines).endsWith(bits[0] + "515"));
  const QString longer = QString(39, u'9') + u'8';  // doubled: 99..98 x 2 = 199..96: 1+171+6 = 178, + 180 = 358 -> 2
  EXPECT_TRUE(Elements(bcCodeMSI, longer).endsWith(bits[2] + "515"));
}

TEST(SymbologyEncoders, PostNetAndCodabar) {
  EXPECT_EQ(Elements(bcCodePostNet, QStringLiteral("01")), QStringLiteral("51") + "5151A1A1A1" + "A1A1A15151" + "5");
  TNyBarcode b;
  const QString codabar = Elements(bcCodeCodabar, QStringLiteral("0"), false, &b);
  EXPECT_EQ(codabar, QStringLiteral("5061515") + "0" + "5050516" + "0" + "5151506");
  // No pattern exists for other characters: refused rather than left out.
  EXPECT_EQ(Error(bcCodeCodabar, QStringLiteral("12E4")), "TNyBarcode:Codabar bad Data <12E4>");
  EXPECT_EQ(Error(bcCodeCodabar, QStringLiteral("a")), "TNyBarcode:Codabar bad Data <a>");
}

TEST(SymbologyEncoders, UPCAAndCheckDigit) {
  TNyBarcode b;
  Elements(bcCodeUPC_A, QStringLiteral("3600029145"), false, &b);
  EXPECT_EQ(b.Text(), "003600029145");  // padded and stored
  Elements(bcCodeUPC_A, QStringLiteral("03600029145"), true, &b);
  EXPECT_EQ(b.Text(), "036000291452");
  Elements(bcCodeUPC_A, QStringLiteral("036000291459"), true, &b);  // wrong check digit replaced
  EXPECT_EQ(b.Text(), "036000291452");
  // Without a check-sum method UPC still gets its modulo 10 check digit.
  b.SetCheckSumMethod(csmNone);
  b.SetText(QStringLiteral("03600029145"));
  b.MakeData();
  EXPECT_EQ(b.Text(), "036000291452");
  EXPECT_TRUE(Error(bcCodeUPC_A, QStringLiteral("1234567890123")).startsWith("Invalid Text len (UPC_A)"));
}

TEST(SymbologyEncoders, UPCE) {
  TNyBarcode b;
  // 123456 stands for 01234500006, check digit 5: parity row EooEEo, set B for E.
  const QString data = Elements(bcCodeUPC_E0, QStringLiteral("123456"), true, &b);
  EXPECT_EQ(b.Text(), "1234565");
  EXPECT_EQ(data, QStringLiteral("505") + SetB(1) + SetA[2] + SetA[3] + SetB(4) + SetB(5) + SetA[6] + "050505");
  // The stored check digit does not choose the parity; the computed one does.
  EXPECT_EQ(Elements(bcCodeUPC_E0, QStringLiteral("1234560")), data);
  // Number system 1 has the opposite parity.
  const QString e1 = Elements(bcCodeUPC_E1, QStringLiteral("123456"), true, &b);
  // 11234500006 -> check 2: EEooEo inverted.
  EXPECT_EQ(b.Text(), "1234562");
  EXPECT_EQ(e1, QStringLiteral("505") + SetA[1] + SetA[2] + SetB(3) + SetB(4) + SetA[5] + SetB(6) + "050505");
  // Without a check-sum method the parity still follows the modulo 10 check digit.
  b.SetCheckSumMethod(csmNone);
  EXPECT_EQ(Elements(bcCodeUPC_E0, QStringLiteral("123456"), true, &b), data);
  EXPECT_TRUE(Error(bcCodeUPC_E0, QStringLiteral("12345678")).startsWith("Invalid Text len (UPC_E)"));
}

TEST(SymbologyEncoders, AddOns) {
  TNyBarcode b;
  // 12 mod 4 = 0: both in set A.
  EXPECT_EQ(Elements(bcCodeUPC_Supp2, QStringLiteral("12"), true, &b),
            QStringLiteral("506") + SetA[1] + "05" + SetA[2]);
  EXPECT_EQ(b.Text(), "125");  // (9 x 1 + 3 x 2) mod 10, not encoded
  // 13 mod 4 = 1: A then B.
  EXPECT_EQ(Elements(bcCodeUPC_Supp2, QStringLiteral("13")), QStringLiteral("506") + SetA[1] + "05" + SetB(3));
  // 52495: 3 x (5 + 4 + 5) + 9 x (2 + 9) = 141 -> 1, row EEoEoo -> EoEoo.
  EXPECT_EQ(Elements(bcCodeUPC_Supp5, QStringLiteral("52495"), true, &b),
            QStringLiteral("506") + SetB(5) + "05" + SetA[2] + "05" + SetB(4) + "05" + SetA[9] + "05" + SetA[5]);
  EXPECT_EQ(b.Text(), "524951");
}

// Long texts keep the right Code 128 check symbol: the check sum of value x position is far
// beyond 32 bits for them. The oracle is a one-character Code 128 B symbol whose check
// (104 + v) mod 103 is the same value, so its check symbol is the one expected.
TEST(SymbologyEncoders, Code128CheckOfLongTexts) {
  struct TCase {
    TBarcodeType Typ;
    char Ch;
    int Count;
  };
  for (TCase c : {TCase{bcCode128B, '~', 6761}, TCase{bcCode128B, '~', 6800}, TCase{bcCode128B, '~', 7000},
                  TCase{bcCode128C, '9', 14000}}) {
    SCOPED_TRACE(c.Count);
    const bool setC = c.Typ == bcCode128C;
    const long long start = setC ? 105 : 104, value = setC ? 99 : c.Ch - 32;
    const long long symbols = setC ? c.Count / 2 : c.Count;
    const int check = int((start + value * symbols * (symbols + 1) / 2) % 103);
    const int oracleValue = (check + 102) % 103;
    ASSERT_LE(oracleValue, 94);
    const QString oracle = Elements(bcCode128B, QString(QChar(32 + oracleValue)));
    const QString elements = Elements(c.Typ, QString(c.Count, QLatin1Char(c.Ch)));
    // Check symbol (6 elements) and stop (7 elements).
    EXPECT_EQ(elements.right(13), oracle.right(13));
    EXPECT_EQ(elements.size(), 6 * (symbols + 2) + 7);
  }
}
