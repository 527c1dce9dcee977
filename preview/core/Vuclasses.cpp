#include "preview/core/Vuclasses.h"
#include "preview/core/Vufuncs.h"

TVuValue::TVuValue(TNotifyEvent onChange) : FOnChange(std::move(onChange)) {}

TVuValue::TVuValue(Extended value, TVuMeasurement measurement)
    : FInches(ConvertValue(value, measurement, vuInches)) {}

void TVuValue::Assign(const TPersistent* source) {
  if (auto* value = dynamic_cast<const TVuValue*>(source)) {
    FInches = value->FInches;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

Extended TVuValue::GetAsMillimeters() const { return ConvertValue(FInches, vuInches, vuMillimeters); }
Extended TVuValue::GetAsCentimeters() const { return ConvertValue(FInches, vuInches, vuCentimeters); }
int TVuValue::GetAsVuUnits() const { return VuRound(ConvertValue(FInches, vuInches, vuUnits)); }
int TVuValue::GetAsTwips() const { return VuRound(ConvertValue(FInches, vuInches, vuTwips)); }
int TVuValue::GetAsPixels(int pixelsPerInch) const { return VuRound(pixelsPerInch * FInches); }
Extended TVuValue::GetVuValue(TVuMeasurement m) const { return ConvertValue(FInches, vuInches, m); }

void TVuValue::SetAsInches(Extended value) {
  if (value == FInches) return;
  FInches = value;
  Changed();
}

void TVuValue::SetAsMillimeters(Extended value) { SetAsInches(ConvertValue(value, vuMillimeters, vuInches)); }
void TVuValue::SetAsCentimeters(Extended value) { SetAsInches(ConvertValue(value, vuCentimeters, vuInches)); }
void TVuValue::SetAsVuUnits(int value) { SetAsInches(ConvertValue(value, vuUnits, vuInches)); }
void TVuValue::SetAsTwips(int value) { SetAsInches(ConvertValue(value, vuTwips, vuInches)); }
void TVuValue::SetVuValue(TVuMeasurement m, Extended value) { SetAsInches(ConvertValue(value, m, vuInches)); }

void TVuValue::SetAsPixels(int pixelsPerInch, int pixels) {
  SetAsInches(Extended(pixels) / pixelsPerInch);
}

void TVuValue::Changed() {
  if (FOnChange) FOnChange(this);
}

TVuCustomValueSize::TVuCustomValueSize()
    : FFirst(std::make_unique<TVuValue>([this](TPersistent* s) { ValueChanged(s); })),
      FSecond(std::make_unique<TVuValue>([this](TPersistent* s) { ValueChanged(s); })) {}

TVuCustomValueSize::~TVuCustomValueSize() = default;

void TVuCustomValueSize::ValueChanged(TPersistent*) {
  if (OnChange) OnChange(this);
}

void TVuCustomValueSize::Assign(const TPersistent* source) {
  if (auto* size = dynamic_cast<const TVuValueSize*>(source)) {
    Second().SetAsInches(size->Height().Inches());
    First().SetAsInches(size->Width().Inches());
    return;
  }
  TPersistent::Assign(source);
}

TVuValueRect::TVuValueRect()
    : FTopLeft(std::make_unique<TVuValuePoint>()), FBottomRight(std::make_unique<TVuValuePoint>()) {}

TVuValueRect::~TVuValueRect() = default;

TVuValue* TVuValueRect::GetValue(int index) const {
  switch (index) {
    case 1: return &Left();
    case 2: return &Top();
    case 3: return &Right();
    case 4: return &Bottom();
    default: return nullptr;
  }
}

void TVuValueRect::SetValue(int index, const TVuValue* value) {
  if (TVuValue* edge = GetValue(index)) edge->Assign(value);
}

TVuRect TVuValueRect::GetAsInchRect() const {
  return {Left().Inches(), Top().Inches(), Right().Inches(), Bottom().Inches()};
}

void TVuValueRect::SetAsInchRect(const TVuRect& r) {
  Left().SetAsInches(r.Left);
  Top().SetAsInches(r.Top);
  Right().SetAsInches(r.Right);
  Bottom().SetAsInches(r.Bottom);
}

QString VuAboutText(const QString& className) {
  return QStringLiteral("%1 - page preview and print engine, version %2")
      .arg(className, QString::number(double(VuLibraryVersion), 'f', 2));
}

TVuComponent::TVuComponent(QObject* owner) : TVuCustomComponent(owner) {}
QString TVuComponent::About() const { return VuAboutText(QString::fromLatin1(metaObject()->className())); }
