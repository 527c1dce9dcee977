// Margins, drop shadow and page grid.
#include "platform/Errors.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vupagelist.h"

// ---- margin values ----------------------------------------------------------------------

float TVuMarginValues::GetLeft() const { return float(FOwner->Left().GetVuValue(FValueMeasurement)); }
float TVuMarginValues::GetTop() const { return float(FOwner->Top().GetVuValue(FValueMeasurement)); }
float TVuMarginValues::GetRight() const { return float(FOwner->Right().GetVuValue(FValueMeasurement)); }
float TVuMarginValues::GetBottom() const { return float(FOwner->Bottom().GetVuValue(FValueMeasurement)); }
void TVuMarginValues::SetLeft(float value) { FOwner->Left().SetVuValue(FValueMeasurement, value); }
void TVuMarginValues::SetTop(float value) { FOwner->Top().SetVuValue(FValueMeasurement, value); }
void TVuMarginValues::SetRight(float value) { FOwner->Right().SetVuValue(FValueMeasurement, value); }
void TVuMarginValues::SetBottom(float value) { FOwner->Bottom().SetVuValue(FValueMeasurement, value); }

// ---- margins ----------------------------------------------------------------------------

TVuMargins::TVuMargins(TVuPrinter* printer) : FPrinter(printer) {
  const TNotifyEvent changed = [this](TPersistent*) { Changed(); };
  for (auto* value : {&FLeft, &FTop, &FRight, &FBottom}) {
    *value = std::make_unique<TVuValue>(changed);
    (*value)->SetAsInches(0.5L);
  }
  FValues = std::make_unique<TVuMarginValues>(this);
  FPen.Color = clSilver;
  FPen.Style = psDot;
  FPen.Width = 1;
  FPrinterMarginPen = FPen;
}

TVuMargins::~TVuMargins() = default;

void TVuMargins::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TVuMargins*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  SetAsInches(other->GetAsInches());
  SetPen(other->FPen);
  SetPrinterMarginPen(other->FPrinterMarginPen);
  SetShowPrinterMargins(other->FShowPrinterMargins);
  SetVisible(other->FVisible);
  Changed();
}

void TVuMargins::SetPen(const TPen& value) {
  if (value == FPen) return;
  FPen = value;
  Changed();
}

void TVuMargins::SetPrinterMarginPen(const TPen& value) {
  if (value == FPrinterMarginPen) return;
  FPrinterMarginPen = value;
  Changed();
}

void TVuMargins::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  Changed();
}

void TVuMargins::SetShowPrinterMargins(bool value) {
  if (value == FShowPrinterMargins) return;
  FShowPrinterMargins = value;
  Changed();
}

void TVuMargins::SetClipMargins(bool value) {
  if (value == FClipMargins) return;
  FClipMargins = value;
  Changed();
}

void TVuMargins::SetUsePrinterMargins(bool value) {
  if (value == FUsePrinterMargins) return;
  FUsePrinterMargins = value;
  Changed();
}

bool TVuMargins::PrinterAvailable() const {
  if (!FPrinter) return false;
  try {
    return FPrinter->PrinterInfo()->PrinterAvailable();
  } catch (const EPrinter&) {
    return false;  // no printer installed
  }
}

TVuRect TVuMargins::GetAsInches() const {
  return VuRect(FLeft->Inches(), FTop->Inches(), FRight->Inches(), FBottom->Inches());
}

void TVuMargins::SetAsInches(const TVuRect& rect) {
  FLeft->SetAsInches(rect.Left);
  FTop->SetAsInches(rect.Top);
  FRight->SetAsInches(rect.Right);
  FBottom->SetAsInches(rect.Bottom);
}

TVuRect TVuMargins::GetPrinterMargins(TVuMeasurement measurement, TVuOrientation orientation) const {
  if (!FPrinter) return TVuRect{};
  return ConvertVuRect(FPrinter->PrinterInfo()->GuttersInch(orientation), vuInches, measurement);
}

TRect TVuMargins::MarginRect(const TVuSize& paperSize, int ppi) const {
  const TVuRect m = GetAsInches();
  return {VuRound(ppi * m.Left), VuRound(ppi * m.Top), VuRound(ppi * (paperSize.Width - m.Right)),
          VuRound(ppi * (paperSize.Height - m.Bottom))};
}

void TVuMargins::TakePrinterMargins(TVuOrientation orientation) {
  SetAsInches(GetPrinterMargins(vuInches, orientation));
}

void TVuMargins::Clip(const TVuSize& paperSize, TVuOrientation orientation, int ppi, TCanvas& canvas) {
  if (FUsePrinterMargins) TakePrinterMargins(orientation);
  if (!FClipMargins) return;
  const TRect r = MarginRect(paperSize, ppi);
  // The clip region is in device pixels; both corners belong to it.
  const QRegion region(QRect(canvas.LPtoDP(QPoint(r.Left, r.Top)), canvas.LPtoDP(QPoint(r.Right, r.Bottom))).normalized());
  canvas.SelectClipRgn(&region);
}

void TVuMargins::Draw(const TVuSize& paperSize, TVuOrientation orientation, int ppi, TCanvas& canvas) {
  if (!FVisible) return;
  canvas.Brush().Style = bsClear;
  canvas.Pen() = FPen;
  const bool printer = PrinterAvailable();
  if (printer && FUsePrinterMargins) TakePrinterMargins(orientation);
  const TRect r = MarginRect(paperSize, ppi);
  canvas.Rectangle(r.Left, r.Top, r.Right, r.Bottom);
  if (!printer || !FShowPrinterMargins) return;
  canvas.Pen() = FPrinterMarginPen;
  TVuPrinterInfo& info = *FPrinter->PrinterInfo();
  const TVuRect g = info.GuttersInch(orientation);
  // The physical sheet, measured in portrait, turned for landscape.
  Extended pw = info.PhysicalSizeX(), ph = info.PhysicalSizeY();
  if ((orientation == vuLandscape) != (pw > ph)) std::swap(pw, ph);
  canvas.Rectangle(VuRound(ppi * g.Left), VuRound(ppi * g.Top), VuRound(ppi * (pw - g.Right)),
                   VuRound(ppi * (ph - g.Bottom)));
}

void TVuMargins::Changed() { OnChange(this); }

// ---- shadow -----------------------------------------------------------------------------

void TVuShadow::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TVuShadow*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  FColor = other->FColor;
  FWidth = other->FWidth;
  FVisible = other->FVisible;
  OnChange(this);
}

void TVuShadow::SetColor(TColor value) {
  if (value == FColor) return;
  FColor = value;
  OnChange(this);
}

void TVuShadow::SetWidth(int value) {
  if (value == FWidth) return;
  FWidth = value;
  OnChange(this);
}

void TVuShadow::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  OnChange(this);
}

void TVuShadow::Draw(TCanvas& canvas, const TRect& r) {
  if (!FVisible) return;
  canvas.SelectClipRgn(nullptr);
  // One unit per device pixel, the origin staying at the page's corner.
  const QPoint origin = canvas.LPtoDP(QPoint(0, 0));
  canvas.SetMapMode(mmText);
  canvas.SetWindowOrg(0, 0);
  canvas.SetViewportOrg(origin.x(), origin.y());
  canvas.Brush().Color = FColor;
  canvas.Brush().Style = bsSolid;
  canvas.Pen() = TPen{};
  canvas.Pen().Color = FColor;
  canvas.Pen().Width = 1;
  const int w = FWidth;
  canvas.Rectangle(r.Right + 1, r.Top + w + 1, r.Right + w + 1, r.Bottom + 1);
  canvas.Rectangle(r.Left + w + 1, r.Bottom + 1, r.Right + w + 1, r.Bottom + w + 1);
}

// ---- page grid --------------------------------------------------------------------------

TVuPageGrid::TVuPageGrid() {
  FGridPen.Color = clSilver;
  FGridPen.Width = 1;
  FSpacing = std::make_unique<TVuValue>([this](TPersistent*) { OnChange(this); });
  FSpacing->SetAsMillimeters(10);
}

TVuPageGrid::~TVuPageGrid() = default;

void TVuPageGrid::SetGridStyle(TVuGridStyle value) {
  if (value == FGridStyle) return;
  FGridStyle = value;
  OnChange(this);
}

void TVuPageGrid::SetGridPen(const TPen& value) {
  if (value == FGridPen) return;
  FGridPen = value;
  OnChange(this);
}

void TVuPageGrid::DrawToCanvas(TCanvas& canvas, const TVuSize& paper, int ppi) {
  if (FGridStyle == vuNoGrid) return;
  const Extended s = FSpacing->Inches();
  const int nx = VuRound(paper.Width / s), ny = VuRound(paper.Height / s);
  canvas.Pen() = FGridPen;
  if (FGridStyle == vuLines) {
    const int bottom = VuRound(ppi * paper.Height), right = VuRound(ppi * paper.Width);
    for (int i = 1; i <= nx; ++i) {
      const int x = VuRound(ppi * i * s);
      canvas.MoveTo(x, 0);
      canvas.LineTo(x, bottom);
    }
    for (int j = 1; j <= ny; ++j) {
      const int y = VuRound(ppi * j * s);
      canvas.MoveTo(0, y);
      canvas.LineTo(right, y);
    }
    return;
  }
  for (int i = 1; i <= nx; ++i)
    for (int j = 1; j <= ny; ++j) canvas.SetPixel(VuRound(ppi * i * s), VuRound(ppi * j * s), FGridPen.Color);
}
