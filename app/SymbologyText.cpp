#include "app/SymbologyText.h"
#include "barcode/Bcchksum.h"

namespace {

enum TCharSet { csDigits, csCode39, csAscii, csCode128A, csCode128B, csCodabar };

TCharSet SetOf(TBarcodeType typ) {
  switch (typ) {
    case bcCode39:
    case bcCode93: return csCode39;
    case bcCode39Extended:
    case bcCode93Extended: return csAscii;
    case bcCode128A:
    case bcCodeEAN128A: return csCode128A;
    case bcCode128B:
    case bcCodeEAN128B: return csCode128B;
    case bcCodeCodabar: return csCodabar;
    default: return csDigits;
  }
}

bool InSet(TCharSet set, QChar c) {
  const char16_t u = c.unicode();
  switch (set) {
    case csDigits: return u >= u'0' && u <= u'9';
    case csCode39:
      return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || QStringView(u"-. $/+%").contains(c);
    case csAscii: return u < 128;
    case csCode128A: return u >= 32 && u <= 95;
    case csCode128B: return u >= 32 && u <= 126;
    case csCodabar: return (u >= u'0' && u <= u'9') || QStringView(u"-$:/.+").contains(c);
  }
  return false;
}

const char* SetText(TCharSet set) {
  switch (set) {
    case csDigits: return "digits 0 to 9";
    case csCode39: return "0 to 9, A to Z (capitals), space and - . $ / + %";
    case csAscii: return "ASCII characters";
    case csCode128A: return "capitals, digits, space and the punctuation of ASCII 32 to 95";
    case csCode128B: return "the printable ASCII characters 32 to 126";
    case csCodabar: return "0 to 9 and - $ : / . + (the start and stop characters are added)";
  }
  return "";
}

// The data digits and the full length of the symbologies with a check digit of their own.
struct TCheckDigitRule {
  TBarcodeType Typ;
  int Data;
};
constexpr TCheckDigitRule CheckDigitRules[] = {
    {bcCodeEAN8, 7}, {bcCodeEAN13, 12}, {bcCodeUPC_A, 11}, {bcCodeUPC_E0, 6}, {bcCodeUPC_E1, 6},
};

// The check digit of a UPC-E symbol comes from the UPC-A number it stands for; the component
// knows that number and completes six digits itself.
QChar UpcECheckDigit(TBarcodeType typ, const QString& six) {
  TNyBarcode b;
  b.SetTyp(typ);
  b.SetChecksum(true);
  b.SetText(six);
  b.MakeData();
  return b.Text().size() == 7 ? b.Text()[6] : QChar();
}

}  // namespace

TSymbologyText CheckSymbologyText(TBarcodeType typ, const QString& text, bool checksum) {
  TSymbologyText r{text, checksum, QString()};
  const QString name = BarcodeTypeName(typ);
  if (text.isEmpty()) {
    r.Problem = QStringLiteral("%1 needs a text to encode.").arg(name);
    return r;
  }
  const TCharSet set = SetOf(typ);
  for (qsizetype i = 0; i < text.size(); ++i)
    if (!InSet(set, text[i])) {
      r.Problem = QStringLiteral("%1 cannot carry \"%2\" (character %3 of the text): it takes %4.")
                      .arg(name, QString(text[i]))
                      .arg(i + 1)
                      .arg(QLatin1String(SetText(set)));
      return r;
    }
  const qsizetype n = text.size();
  switch (typ) {
    case bcCode_2_5_interleaved:
      // Digits go in pairs, one in the bars and one in the spaces; --checksum adds one.
      if ((n + (checksum ? 1 : 0)) % 2 != 0)
        r.Problem = QStringLiteral("%1 encodes digits in pairs: %2 digits%3 are an odd number.")
                        .arg(name)
                        .arg(n)
                        .arg(checksum ? QStringLiteral(" and the check digit") : QString());
      return r;
    case bcCode128C:
    case bcCodeEAN128C:
      if (n % 2 != 0) r.Problem = QStringLiteral("%1 encodes digits in pairs: %2 digits are an odd number.").arg(name).arg(n);
      return r;
    case bcCodeUPC_Supp2:
    case bcCodeUPC_Supp5: {
      const int want = typ == bcCodeUPC_Supp2 ? 2 : 5;
      if (n != want) r.Problem = QStringLiteral("%1 takes exactly %2 digits, not %3.").arg(name).arg(want).arg(n);
      return r;
    }
    default: break;
  }
  for (const TCheckDigitRule& rule : CheckDigitRules) {
    if (rule.Typ != typ) continue;
    const bool upcE = typ == bcCodeUPC_E0 || typ == bcCodeUPC_E1;
    if (n != rule.Data && n != rule.Data + 1) {
      r.Problem = QStringLiteral("%1 takes %2 digits, or %3 ending in their check digit; not %4.")
                      .arg(name)
                      .arg(rule.Data)
                      .arg(rule.Data + 1)
                      .arg(n);
      return r;
    }
    const QString data = text.left(rule.Data);
    const QChar check = upcE ? UpcECheckDigit(typ, data) : CheckSumModulo10(data).back();
    if (n == rule.Data + 1 && text.back() != check) {
      r.Problem = QStringLiteral("%1: the check digit of %2 is %3, not %4.").arg(name, data, QString(check), QString(text.back()));
      return r;
    }
    // The complete number carries its check digit: the component draws it as it is.
    r.Text = data + check;
    r.Checksum = false;
    return r;
  }
  return r;
}

std::optional<TBarcodeType> FindSymbology(const QString& name) {
  for (int i = 0; i < BarcodeTypeCount; ++i) {
    const auto typ = TBarcodeType(i);
    if (name.compare(BarcodeTypeValueName(typ), Qt::CaseInsensitive) == 0 ||
        name.compare(BarcodeTypeName(typ), Qt::CaseInsensitive) == 0)
      return typ;
  }
  return std::nullopt;
}
