#include "barcode/Barcode.h"
#include <cmath>
#include "barcode/Bcchksum.h"
#include "platform/Errors.h"
#include "platform/SysUtils.h"

namespace {

struct TTypRow {
  const char* ValueName;
  const char* Name;
  bool NumberOnly;
};

const TTypRow TypRows[BarcodeTypeCount] = {
    {"bcCode_2_5_interleaved", "2_5_interleaved", true},
    {"bcCode_2_5_industrial", "2_5_industrial", true},
    {"bcCode_2_5_matrix", "2_5_matrix", true},
    {"bcCode39", "Code39", false},
    {"bcCode39Extended", "Code39 Extended", false},
    {"bcCode128A", "Code128A", false},
    {"bcCode128B", "Code128B", false},
    {"bcCode128C", "Code128C", true},
    {"bcCode93", "Code93", false},
    {"bcCode93Extended", "Code93 Extended", false},
    {"bcCodeMSI", "MSI", true},
    {"bcCodePostNet", "PostNet", true},
    {"bcCodeCodabar", "Codebar", false},
    {"bcCodeEAN8", "EAN8", true},
    {"bcCodeEAN13", "EAN13", true},
    {"bcCodeUPC_A", "UPC_A", true},
    {"bcCodeUPC_E0", "UPC_E0", true},
    {"bcCodeUPC_E1", "UPC_E1", true},
    {"bcCodeUPC_Supp2", "UPC Supp2", true},
    {"bcCodeUPC_Supp5", "UPC Supp5", true},
    {"bcCodeEAN128A", "EAN128A", false},
    {"bcCodeEAN128B", "EAN128B", false},
    {"bcCodeEAN128C", "EAN128C", true},
};

bool ValidTyp(TBarcodeType typ) { return int(typ) >= 0 && int(typ) < BarcodeTypeCount; }

const QString ClassName = QStringLiteral("TNyBarcode");

// Highest ratio of the symbologies whose ratio has no range of its own.
constexpr double MaxFreeRatio = 10.0;

// Nearest integer, halves to the even neighbour.
int RoundEven(double value) { return int(std::lrint(value)); }

}  // namespace

QString BarcodeTypeName(TBarcodeType typ) {
  return ValidTyp(typ) ? QString::fromLatin1(TypRows[typ].Name) : QString();
}

bool BarcodeTypeNumberOnly(TBarcodeType typ) { return ValidTyp(typ) && TypRows[typ].NumberOnly; }

QString BarcodeTypeValueName(TBarcodeType typ) {
  return ValidTyp(typ) ? QString::fromLatin1(TypRows[typ].ValueName) : QString();
}

TNyBarcode::TNyBarcode() : FShowTextFont(std::make_unique<TFont>()) {}

TNyBarcode::~TNyBarcode() = default;

void TNyBarcode::Assign(const TNyBarcode* source) {
  if (!source) return;
  FHeight = source->FHeight;
  FText = source->FText;
  FTop = source->FTop;
  FLeft = source->FLeft;
  FModul = source->FModul;
  FRatio = source->FRatio;
  FTyp = source->FTyp;
  FCheckSum = source->FCheckSum;
  FShowText = source->FShowText;
  FAngle = source->FAngle;
  FColor = source->FColor;
  FColorBar = source->FColorBar;
  FCheckSumMethod = source->FCheckSumMethod;
  OnChange = source->OnChange;
}

void TNyBarcode::DoChange() {
  if (OnChange) OnChange(this);
}

#define NY_SETTER(Name, Field, Type) \
  void TNyBarcode::Set##Name(Type value) { \
    if (value == Field) return; \
    Field = value; \
    DoChange(); \
  }

NY_SETTER(Height, FHeight, int)
NY_SETTER(Text, FText, const QString&)
NY_SETTER(Top, FTop, int)
NY_SETTER(Left, FLeft, int)
NY_SETTER(Ratio, FRatio, double)
NY_SETTER(Typ, FTyp, TBarcodeType)
NY_SETTER(Checksum, FCheckSum, bool)
NY_SETTER(Angle, FAngle, double)
NY_SETTER(ShowText, FShowText, TBarcodeOption)
NY_SETTER(ShowTextPosition, FShowTextPosition, TShowTextPosition)
#undef NY_SETTER

void TNyBarcode::SetModul(int value) {
  if (value < 1 || value >= 50 || value == FModul) return;
  FModul = value;
  DoChange();
}

void TNyBarcode::SetShowTextFont(const TFont& value) {
  *FShowTextFont = value;
  DoChange();
}

QString TNyBarcode::DoCheckSumming(const QString& data) const {
  switch (FCheckSumMethod) {
    case csmModulo10: return CheckSumModulo10(data);
    case csmNone: break;
  }
  return data;
}

QString TNyBarcode::SetLen(int n) const {
  if (FText.size() >= n) return FText;
  return QString(n - FText.size(), u'0') + FText;
}

void TNyBarcode::OneBarProps(QChar code, int& width, TBarLineType& lineType) const {
  const char16_t c = code.unicode();
  if (c >= u'0' && c <= u'3') {
    width = FModules[c - u'0'];
    lineType = white;
  } else if (c >= u'5' && c <= u'8') {
    width = FModules[c - u'5'];
    lineType = black;
  } else if (c >= u'A' && c <= u'D') {
    width = FModules[c - u'A'];
    lineType = black_half;
  } else {
    throw Exception(QStringLiteral("%1: internal Error").arg(ClassName));
  }
}

void TNyBarcode::MakeModules() {
  // A ratio that is not a number makes no widths at all: it goes back to the default.
  if (!std::isfinite(FRatio)) SetRatio(2.0);
  // Code 128, Code 93, MSI and PostNet define their wide elements in whole modules, so
  // their ratio is only kept within what still draws: from 1 (wide no narrower than narrow)
  // to MaxFreeRatio (the widest element 49 x 10 x 2 pixels). The other symbologies have a
  // permitted range.
  switch (FTyp) {
    case bcCode_2_5_matrix:
      if (FRatio < 2.25) SetRatio(2.25);
      if (FRatio > 3.0) SetRatio(3.0);
      break;
    case bcCode128A: case bcCode128B: case bcCode128C: case bcCode93: case bcCode93Extended:
    case bcCodeMSI: case bcCodePostNet: case bcCodeEAN128A: case bcCodeEAN128B: case bcCodeEAN128C:
      if (FRatio < 1.0) SetRatio(1.0);
      if (FRatio > MaxFreeRatio) SetRatio(MaxFreeRatio);
      break;
    default:
      if (FRatio < 2.0) SetRatio(2.0);
      if (FRatio > 3.0) SetRatio(3.0);
      break;
  }
  FModules[0] = FModul;
  FModules[1] = RoundEven(FModul * FRatio);
  FModules[2] = FModules[1] * 3 / 2;
  FModules[3] = FModules[1] * 2;
}

QString TNyBarcode::MakeData() {
  MakeModules();
  if (IsNumberOnly()) {
    SetText(Trim(FText));
    for (QChar c : FText)
      if (c < u'0' || c > u'9') throw Exception(QStringLiteral("Barcode must be numeric"));
  }
  if (!ValidTyp(FTyp)) throw Exception(QStringLiteral("%1: wrong BarcodeType").arg(ClassName));
  switch (FTyp) {
    case bcCode_2_5_interleaved: return Code_2_5_interleaved();
    case bcCode_2_5_industrial: return Code_2_5_industrial();
    case bcCode_2_5_matrix: return Code_2_5_matrix();
    case bcCode39: return Code_39();
    case bcCode39Extended: return Code_39Extended();
    case bcCode128A: case bcCode128B: case bcCode128C:
    case bcCodeEAN128A: case bcCodeEAN128B: case bcCodeEAN128C: return Code_128();
    case bcCode93: return Code_93();
    case bcCode93Extended: return Code_93Extended();
    case bcCodeMSI: return Code_MSI();
    case bcCodePostNet: return Code_PostNet();
    case bcCodeCodabar: return Code_Codabar();
    case bcCodeEAN8: return Code_EAN8();
    case bcCodeEAN13: return Code_EAN13();
    case bcCodeUPC_A: return Code_UPC_A();
    case bcCodeUPC_E0: return Code_UPC_E0();
    case bcCodeUPC_E1: return Code_UPC_E1();
    case bcCodeUPC_Supp2: return Code_Supp2();
    case bcCodeUPC_Supp5: return Code_Supp5();
  }
  throw Exception(QStringLiteral("%1: wrong BarcodeType").arg(ClassName));
}

int TNyBarcode::ElementsWidth(const QString& data) const {
  int total = 0;
  int w;
  TBarLineType lt;
  for (QChar c : data) {
    OneBarProps(c, w, lt);
    total += w;
  }
  return total;
}

int TNyBarcode::GetWidth() { return ElementsWidth(MakeData()); }

void TNyBarcode::SetWidth(int value) {
  const int current = GetWidth();
  if (current > 0) SetModul(int(static_cast<long long>(FModul) * value / current));
}

QPoint TNyBarcode::Origin(int width) const {
  const double a = FAngle / 180.0 * M_PI;
  const double s = std::sin(a), c = std::cos(a);
  const double w = width, h = FHeight;
  QPoint offset;
  if (s >= 0 && c >= 0)
    offset = QPoint(0, RoundEven(w * s));
  else if (s >= 0)
    offset = QPoint(-RoundEven(w * c), RoundEven(w * s - h * c));
  else if (c >= 0)
    offset = QPoint(-RoundEven(h * s), 0);
  else
    offset = QPoint(-RoundEven(w * c) - RoundEven(h * s), -RoundEven(h * c));
  return QPoint(FLeft, FTop) + offset;
}

void TNyBarcode::AppendBars(TBarcodeSymbol& symbol, const QString& data) const {
  symbol.Bars.reserve(symbol.Bars.size() + size_t(data.size()));
  int x = 0;
  for (QChar code : data) {
    TBarcodeBar bar;
    int w;
    OneBarProps(code, w, bar.LineType);
    bar.Color = bar.LineType == white ? FColor : FColorBar;
    const int h = bar.LineType == black_half ? FHeight * 2 / 5 : FHeight;
    bar.Area = QRect(x, 0, w, h);
    // The outline's corners are covered pixels: w columns, and rows 0 to h, one more than
    // the area, as the component has always drawn its bars.
    const QPoint corners[4] = {{x, 0}, {x, h}, {x + w - 1, h}, {x + w - 1, 0}};
    for (int i = 0; i < 4; ++i) bar.Outline[size_t(i)] = symbol.Origin + TurnSymbolPoint(FAngle, corners[i]);
    symbol.Bars.push_back(bar);
    x += w;
  }
}

void TNyBarcode::AppendTexts(TBarcodeSymbol& symbol) const {
  if (FShowText == bcoCode || FShowText == bcoBoth) {
    TBarcodeText text;
    text.Text = FText;
    text.Font = *FShowTextFont;
    text.BandWidth = symbol.Width;
    switch (FShowTextPosition) {
      case stpTopLeft: case stpBottomLeft: text.Align = btaLeft; break;
      case stpTopRight: case stpBottomRight: text.Align = btaRight; break;
      case stpTopCenter: case stpBottomCenter: text.Align = btaCenter; break;
    }
    const bool top = FShowTextPosition == stpTopLeft || FShowTextPosition == stpTopRight ||
                     FShowTextPosition == stpTopCenter;
    text.Position = QPoint(FLeft, top ? FTop : FTop + FHeight + 1);
    symbol.Texts.push_back(text);
  }
  if (FShowText == bcoTyp || FShowText == bcoBoth) {
    TBarcodeText name;
    name.Text = GetTypText();
    name.Font = *FShowTextFont;
    // The font height is negative for sizes in points, which puts the name above the symbol.
    name.Position = QPoint(FLeft, FTop + RoundEven(FShowTextFont->Height * 2.5));
    symbol.Texts.push_back(name);
  }
}

TBarcodeSymbol TNyBarcode::SymbolFrame(int width) const {
  TBarcodeSymbol symbol;
  symbol.Width = width;
  symbol.Height = FHeight;
  symbol.Angle = FAngle;
  symbol.Origin = Origin(symbol.Width);
  symbol.Anchor = QPoint(FLeft, FTop);
  return symbol;
}

TBarcodeSymbol TNyBarcode::MakeBars(const QString& data) {
  TBarcodeSymbol symbol = SymbolFrame(GetWidth());
  AppendBars(symbol, data);
  return symbol;
}

TBarcodeSymbol TNyBarcode::MakeSymbol() {
  const QString data = MakeData();
  TBarcodeSymbol symbol = SymbolFrame(ElementsWidth(data));
  AppendBars(symbol, data);
  AppendTexts(symbol);
  return symbol;
}

void TNyBarcode::DoLines(const QString& data, TCanvas& canvas) { DrawSymbolBars(canvas, MakeBars(data)); }

TBarcodeSymbol TNyBarcode::MakeTexts() {
  TBarcodeSymbol symbol = SymbolFrame(GetWidth());
  AppendTexts(symbol);
  return symbol;
}

void TNyBarcode::DrawText(TCanvas& canvas) { DrawSymbolTexts(canvas, MakeTexts()); }


void TNyBarcode::DrawBarcode(TCanvas& canvas) { DrawSymbolWhole(canvas, MakeSymbol()); }

int TNyBarcode::GetCanvasWidth() {
  const double a = FAngle / 180.0 * M_PI;
  return RoundEven(GetWidth() * std::fabs(std::cos(a)) + FHeight * std::fabs(std::sin(a)) + 0.5);
}

int TNyBarcode::GetCanvasHeight() {
  const double a = FAngle / 180.0 * M_PI;
  return RoundEven(GetWidth() * std::fabs(std::sin(a)) + FHeight * std::fabs(std::cos(a)) + 0.5);
}
