#include "labels/BuiltinSheets.h"

namespace {
struct TRow {
  const char* Name;
  const char* Stock;
  const char* Description;
  TVuPaperSize Paper;
  int Columns, Rows;
  double Width, Height, Left, Top, PitchX, PitchY, Radius;
  bool Inches;  // Letter stock is published in inches
};

// Columns x rows, label size, left and top margin of the first label, pitch, corner radius.
constexpr TRow Rows[] = {
    {"1x1-199.6x289.1", "L7167", "1 label a sheet, shipping", A4, 1, 1, 199.6, 289.1, 5.2, 3.95, 199.6, 289.1, 2, false},
    {"2x4-99.1x67.7", "L7165", "8 parcel labels", A4, 2, 4, 99.1, 67.7, 4.65, 13.1, 101.6, 67.7, 2.5, false},
    {"2x7-99.1x38.1", "L7163", "14 parcel labels", A4, 2, 7, 99.1, 38.1, 4.65, 15.15, 101.6, 38.1, 2.5, false},
    {"2x8-99.1x33.9", "L7162", "16 address labels", A4, 2, 8, 99.1, 33.9, 4.65, 12.9, 101.6, 33.9, 2.5, false},
    {"3x6-63.5x46.6", "L7161", "18 address labels", A4, 3, 6, 63.5, 46.6, 7.25, 8.7, 66.04, 46.6, 2.5, false},
    {"3x7-63.5x38.1", "L7160", "21 address labels", A4, 3, 7, 63.5, 38.1, 7.25, 15.15, 66.04, 38.1, 2.5, false},
    {"3x7-70x42.3", "", "21 labels, no side margins", A4, 3, 7, 70, 42.3, 0, 0.45, 70, 42.3, 0, false},
    {"3x8-64x33.9", "L7159", "24 address labels", A4, 3, 8, 64, 33.9, 6.5, 12.9, 66.5, 33.9, 2.5, false},
    {"3x8-70x37", "", "24 labels, no side margins", A4, 3, 8, 70, 37, 0, 0.5, 70, 37, 0, false},
    {"4x10-45.7x25.4", "L7654", "40 mini labels", A4, 4, 10, 45.7, 25.4, 9.7, 21.5, 48.3, 25.4, 1.5, false},
    {"4x10-48.5x25.4", "", "40 labels, butted columns", A4, 4, 10, 48.5, 25.4, 8, 21.5, 48.5, 25.4, 0, false},
    {"4x16-48.5x16.9", "", "64 small labels", A4, 4, 16, 48.5, 16.9, 8, 13.3, 48.5, 16.9, 0, false},
    {"5x13-38.1x21.2", "L7651", "65 mini labels", A4, 5, 13, 38.1, 21.2, 4.75, 10.7, 40.64, 21.2, 1.5, false},
    {"letter-2x5-4x2in", "5163", "10 shipping labels", Letter, 2, 5, 4, 2, 0.15625, 0.5, 4.1875, 2, 0.0625, true},
    {"letter-2x7-4x1.33in", "5162", "14 address labels", Letter, 2, 7, 4, 4.0 / 3, 0.15625, 5.0 / 6, 4.1875, 4.0 / 3, 0.0625, true},
    {"letter-2x10-4x1in", "5161", "20 address labels", Letter, 2, 10, 4, 1, 0.15625, 0.5, 4.1875, 1, 0.0625, true},
    {"letter-3x10-2.625x1in", "5160", "30 address labels", Letter, 3, 10, 2.625, 1, 0.1875, 0.5, 2.75, 1, 0.0625, true},
    {"letter-4x20-1.75x0.5in", "5167", "80 return-address labels", Letter, 4, 20, 1.75, 0.5, 0.3, 0.5, 2.05, 0.5, 0.0625, true},
};

std::vector<TLabelSheet> Build() {
  std::vector<TLabelSheet> sheets;
  for (const TRow& r : Rows) {
    const double k = r.Inches ? 25.4 : 1;
    TLabelSheet s;
    s.Name = QString::fromLatin1(r.Name);
    s.Stock = QString::fromLatin1(r.Stock);
    s.Description = QString::fromLatin1(r.Description);
    if (!s.Stock.isEmpty()) s.Description += QStringLiteral(" (stock %1)").arg(s.Stock);
    s.Paper = r.Paper;
    s.PaperWidth = r.Paper == Letter ? 215.9 : 210;
    s.PaperHeight = r.Paper == Letter ? 279.4 : 297;
    s.Columns = r.Columns;
    s.Rows = r.Rows;
    s.LabelWidth = r.Width * k;
    s.LabelHeight = r.Height * k;
    s.Left = r.Left * k;
    s.Top = r.Top * k;
    s.PitchX = r.PitchX * k;
    s.PitchY = r.PitchY * k;
    s.Radius = r.Radius * k;
    sheets.push_back(s);
  }
  return sheets;
}
}  // namespace

const std::vector<TLabelSheet>& BuiltinLabelSheets() {
  static const std::vector<TLabelSheet> sheets = Build();
  return sheets;
}
