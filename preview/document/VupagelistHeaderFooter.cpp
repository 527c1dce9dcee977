// Header and footer: a band along the top or bottom margin with three captions and a
// separator line towards the page body.
#include "platform/Errors.h"
#include "preview/core/Vufuncs.h"
#include "preview/document/Vupagelist.h"
#include "preview/document/Vuresource.h"

namespace {

// Captions are written without a clipping rectangle: one far larger than any page.
constexpr int kUnclipped = 1 << 24;
const TRect kNoClip{-kUnclipped, -kUnclipped, kUnclipped, kUnclipped};

}  // namespace

// ---- caption ----------------------------------------------------------------------------

TVuHeaderFooterCaption::TVuHeaderFooterCaption(TVuHeaderFooter* owner, TNotifyEvent onChange)
    : OnChange(std::move(onChange)), FOwner(owner) {
  FFont.Name = QStringLiteral("Arial");
  FFont.SetSize(12);
}

void TVuHeaderFooterCaption::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TVuHeaderFooterCaption*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  FCaption = other->FCaption;
  FFont = other->FFont;
  Changed();
}

void TVuHeaderFooterCaption::SetCaption(const QString& value) {
  if (value == FCaption) return;
  FCaption = value;
  Changed();
}

void TVuHeaderFooterCaption::SetFont(const TFont& value) {
  FFont = value;
  Changed();
}

void TVuHeaderFooterCaption::Changed() { OnChange(this); }

void TVuHeaderFooterCaption::DrawToCanvas(TCanvas& canvas, const TRect& rect, int ppiX, int, TVuCaptionAlign align,
                                          int page, int numPages) {
  if (FCaption.isEmpty()) return;
  // Every token starts with a brace; a caption without one needs no clock reading.
  const QString text = FCaption.contains(u'{')
                           ? Tokenize(FCaption, page, numPages, VuDateFormat(), VuTimeFormat())
                           : FCaption;
  // As large on the target as the point size says at ppiX pixels per inch.
  canvas.Font() = FFont;
  canvas.Font().PixelsPerInch = ppiX;
  canvas.Font().SetSize(FFont.Size());
  TVuFontMapper& mapper = VuFontMapper();
  const TVuSize extent = mapper.TextExtent(canvas, text);
  const int tw = VuRound(ppiX * extent.Width), th = VuRound(ppiX * extent.Height);
  int x = rect.Left;
  if (align == vuCenter) x = (rect.Left + rect.Right - tw) / 2;
  else if (align == vuRight) x = rect.Right - tw;
  const bool header = FOwner && FOwner->IsHeader();
  const int y = header ? rect.Bottom - th : rect.Top;
  mapper.TextOut(canvas, x, y, kNoClip, text, false);
}

// ---- header and footer ------------------------------------------------------------------

TVuHeaderFooter::TVuHeaderFooter(TNotifyEvent onChange) : OnChange(std::move(onChange)) {
  const TNotifyEvent changed = [this](TPersistent*) { Changed(); };
  for (auto& caption : FCaptions) caption = std::make_unique<TVuHeaderFooterCaption>(this, changed);
  FHeight = std::make_unique<TVuValue>(changed);
}

TVuHeaderFooter::~TVuHeaderFooter() = default;

void TVuHeaderFooter::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TVuHeaderFooter*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  for (int i = 0; i < 3; ++i) FCaptions[i]->Assign(other->FCaptions[i].get());
}

TVuHeaderFooterCaption& TVuHeaderFooter::GetCaptionIndex(int index) const {
  if (index < 0 || index > 2) RaiseListIndexError(index);
  return *FCaptions[index];
}

void TVuHeaderFooter::SetCaptionIndex(int index, const TVuHeaderFooterCaption& caption) {
  GetCaptionIndex(index).Assign(&caption);
}

const TFont& TVuHeaderFooter::GetLargestFont() const {
  const TFont* largest = &FCaptions[0]->Font();
  for (int i = 1; i < 3; ++i)
    if (FCaptions[i]->Font().Size() > largest->Size()) largest = &FCaptions[i]->Font();
  return *largest;
}

Extended TVuHeaderFooter::GetHeight(TVuMeasurement measurement) const {
  if (FHeight->Inches() != 0) return FHeight->GetVuValue(measurement);
  const TFont& font = GetLargestFont();
  if (!FFontHeight || !(FFontHeight->first == font)) FFontHeight.emplace(font, GetFontHeightInch(font));
  return ConvertValue(FFontHeight->second, vuInches, measurement);
}

void TVuHeaderFooter::SetHeight(TVuMeasurement measurement, Extended value) {
  FHeight->SetVuValue(measurement, value);
}

void TVuHeaderFooter::SetShowLine(bool value) {
  if (value == FShowLine) return;
  FShowLine = value;
  Changed();
}

void TVuHeaderFooter::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  Changed();
}

TRect TVuHeaderFooter::BandRect(const TVuMargins& margins, const TVuSize& page, int ppiX, int ppiY) const {
  const TVuRect m = margins.GetAsInches();
  const Extended h = GetHeight(vuInches);
  const int left = VuRound(ppiX * m.Left), right = VuRound(ppiX * (page.Width - m.Right));
  if (IsHeader()) return {left, VuRound(ppiY * m.Top), right, VuRound(ppiY * (m.Top + h))};
  return {left, VuRound(ppiY * (page.Height - m.Bottom - h)), right, VuRound(ppiY * (page.Height - m.Bottom))};
}

void TVuHeaderFooter::DrawToCanvas(TCanvas& canvas, const TVuMargins& margins, const TVuSize& pageSize, int ppiX,
                                   int ppiY, int page, int numPages) {
  if (!FVisible) return;
  const TRect band = BandRect(margins, pageSize, ppiX, ppiY);
  const TVuCaptionAlign aligns[3] = {vuLeft, vuCenter, vuRight};
  for (int i = 0; i < 3; ++i) FCaptions[i]->DrawToCanvas(canvas, band, ppiX, ppiY, aligns[i], page, numPages);
  if (!FShowLine) return;
  canvas.Pen() = FPen;
  const int y = IsHeader() ? band.Bottom : band.Top;
  canvas.MoveTo(band.Left, y);
  canvas.LineTo(band.Right, y);
}

void TVuHeaderFooter::Changed() { OnChange(this); }
