// Grid print: the column widths, the row heights and the page breaks of a run, and the
// answers a string grid gives.
#include <cstdio>
#include <cstdlib>
#include "platform/Errors.h"
#include "platform/Finally.h"
#include "preview/core/Vuerrors.h"
#include "preview/core/Vufuncs.h"
#include "preview/grid/Vugridprint.h"

// ---- decimal list -----------------------------------------------------------------------

QString TVuDecimalList::FloatToText(Extended value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15Lg", value);
  return QString::fromLatin1(text);
}

void TVuDecimalList::AddValue(Extended value) { FStrings.append(FloatToText(value)); }

Extended TVuDecimalList::GetValue(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  return std::strtold(FStrings[index].toLatin1().constData(), nullptr);
}

void TVuDecimalList::SetValue(int index, Extended value) {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
  FStrings[index] = FloatToText(value);
}

Extended TVuDecimalList::GetTotal() const {
  Extended total = 0;
  for (int i = 0; i < Count(); ++i) total += GetValue(i);
  return total;
}

// ---- the engine ---------------------------------------------------------------------------

TVuAbstractGridPrint::TVuAbstractGridPrint(QObject* owner)
    : TVuCustomGridPrint(owner),
      FScreenGridWidth(std::make_unique<TVuValue>()),
      FTopValue(std::make_unique<TVuValue>()),
      FBottomValue(std::make_unique<TVuValue>()) {
  FFont.Name = QStringLiteral("Arial");
  FFont.SetSize(8);
  FFixedCellFont = FFont;
}

TVuAbstractGridPrint::~TVuAbstractGridPrint() = default;

void TVuAbstractGridPrint::SetPreview(TVuPreview* value) {
  FPreview = value;
  if (value) FBottomValue->SetAsInches(value->Footer().GetHeight(vuInches) + value->Margins().Bottom().Inches());
}

void TVuAbstractGridPrint::SetPageList(TVuPageList* value) {
  FPageList = value;
  if (value) FBottomValue->SetAsInches(value->Footer().GetHeight(vuInches) + value->Margins().Bottom().Inches());
}

Extended TVuAbstractGridPrint::GetCutOffInch() const {
  // The bottom value already holds the footer's height, so a preview linked through
  // SetPreview keeps two footer heights free above its bottom margin. Stored layouts break
  // their pages on this line; it stays.
  TVuPageList& pages = *Pages();
  return pages.GetPageSize(vuInches).Height - (pages.Footer().GetHeight(vuInches) + FBottomValue->Inches());
}

TVuValue& TVuAbstractGridPrint::GetScreenGridWidth() {
  Extended width = 0;
  const int cols = GetColCount();
  for (int col = 0; col < cols; ++col) width += GetColWidthInch(col);
  FScreenGridWidth->SetAsInches(width);
  return *FScreenGridWidth;
}

Extended TVuAbstractGridPrint::GetColWidth(int col, TVuMeasurement measurement) const {
  return ConvertValue(FColWidths.GetValue(col), vuInches, measurement);
}

void TVuAbstractGridPrint::BuildColWidths() {
  FColWidths.Clear();
  const int cols = GetColCount();
  for (int col = 0; col < cols; ++col) {
    TVuValue width(GetColWidthInch(col) * FScale, vuInches);
    OnGetColWidth(this, col, width);
    FColWidths.AddValue(width.Inches());
  }
  FColInches.clear();
  for (int col = 0; col < FColWidths.Count(); ++col) FColInches.push_back(FColWidths.GetValue(col));
}

Extended TVuAbstractGridPrint::MeasuredTextBoxHeight(Extended width, const QString& text) {
  TVuCanvas& canvas = Canvas();
  const bool wordBreak = canvas.GetTextBoxWordBreak();
  const Extended padding = canvas.TextBoxPadding().Inches();
  TMeasured* measured = nullptr;
  for (TMeasured& m : FMeasured)
    if (m.WordBreak == wordBreak && m.Width == width && m.Padding == padding && m.Font == canvas.Font()) {
      measured = &m;
      break;
    }
  if (!measured) {
    FMeasured.push_back(TMeasured{canvas.Font(), wordBreak, width, padding, {}});
    measured = &FMeasured.back();
  }
  auto it = measured->Heights.constFind(text);
  if (it != measured->Heights.cend()) return *it;
  const Extended height = canvas.TextBoxHeight(width, text, vuInches);
  measured->Heights.insert(text, height);
  return height;
}

Extended TVuAbstractGridPrint::GetRowHeightInch(int row) {
  Extended h = GetDefaultRowHeight(row);
  if (OnGetRowHeight) {
    TVuValue height(h, vuInches);
    OnGetRowHeight(this, row, height);
    h = height.Inches();
  }
  TVuCanvas& canvas = Canvas();
  const int cols = GetColCount();
  for (int col = 0; col < cols; ++col) {
    canvas.SetTextBoxWordBreak(FWordWrap);
    const QString text = GetCellText(col, row);
    if (text.isEmpty()) continue;
    // A column the run has not measured (a grid read before its first run) takes its
    // scaled screen width.
    const Extended width = col < int(FColInches.size()) ? FColInches[size_t(col)] : GetColWidthInch(col) * FScale;
    h = MaxFloat(h, MeasuredTextBoxHeight(width, text));
  }
  return h;
}

void TVuAbstractGridPrint::CloseCurrentRow() {
  if (FRowRectSet) CloseRow(FRowRect);
}

void TVuAbstractGridPrint::GridToPage(Extended x, Extended y, Extended width, TVuMeasurement measurement) {
  if (!Pages()) {
    ShowVuError(this, QStringLiteral("The \"Preview\" property must be set to a TVuPreview component"));
    return;
  }
  // A preview also holds back its paint and its linked controls.
  auto beginUpdate = [this] { FPreview ? FPreview->BeginUpdate() : FPageList->BeginUpdate(); };
  auto endUpdate = [this] { FPreview ? FPreview->EndUpdate() : FPageList->EndUpdate(); };
  beginUpdate();
  TryFinally([&] { LayOut(x, y, width, measurement); }, [&] { endUpdate(); });
}

int TVuAbstractGridPrint::CountPages(Extended x, Extended y, Extended width, TVuMeasurement measurement) {
  if (!Pages()) {
    ShowVuError(this, QStringLiteral("The \"Preview\" property must be set to a TVuPreview component"));
    return 0;
  }
  // The new-page handler may move the bottom value; the run that follows must start from
  // the one it has now.
  const Extended bottom = FBottomValue->Inches();
  FCounting = true;
  FPagesCounted = 1;
  TryFinally([&] { LayOut(x, y, width, measurement); },
             [&] {
               FCounting = false;
               FBottomValue->SetAsInches(bottom);
             });
  FMeasuredKept = true;
  return FPagesCounted;
}

void TVuAbstractGridPrint::LayOut(Extended x, Extended y, Extended width, TVuMeasurement measurement) {
  FRowCount = -1;
  FScale = 1;
  if (width != 0) {
    // A grid without width has nothing to scale.
    const Extended screenWidth = GetScreenGridWidth().GetVuValue(measurement);
    if (screenWidth != 0) FScale = width / screenWidth;
  }
  // Every run starts without a row, so an empty grid gets no border.
  FRowRect = TVuRect{};
  FRowRectSet = false;
  if (!FMeasuredKept) FMeasured.clear();
  FMeasuredKept = false;
  BuildColWidths();
  FTotalWidth = FColWidths.GetTotal();
  FPos = VuPoint(ConvertValue(x, measurement, vuInches), ConvertValue(y, measurement, vuInches));
  FOrigin = FPos;
  FTopValue->SetAsInches(FPos.Y);
  Canvas().SetFont(FFont);
  const int rows = GetRowCount();
  for (int row = 0; row < rows; ++row) {
    FRowHeight = GetRowHeightInch(row);
    if (!FCounting) BeforeDrawRow(this, row);
    if (FPos.Y + FRowHeight > GetCutOffInch()) NewPage();
    FRowRect = VuRect(FPos.X, FPos.Y, FPos.X + FTotalWidth, FPos.Y + FRowHeight);
    FRowRectSet = true;
    LayRow(FRowRect, row);
    FPos.Y += FRowHeight;
    if (FCounting) continue;
    AfterDrawRow(this, row);
    OnDrawProgress(this, Extended(row + 1) / rows * 100);
    NextRecord(row);
  }
  if (FCounting) return;
  if (OnFinishGrid) {
    TVuValue yPos(FPos.Y, vuInches);
    OnFinishGrid(this, yPos);
  }
  CloseCurrentRow();
}

void TVuAbstractGridPrint::LayRow(const TVuRect& rect, int row) {
  if (!FCounting) {
    DrawRow(rect, row);
    return;
  }
  const int cols = int(FColInches.size());
  if (cols > 0) Canvas().SetFont(IsFixedCell(cols - 1, row) ? FFixedCellFont : FFont);
}

void TVuAbstractGridPrint::NewPage() {
  if (FCounting) {
    ++FPagesCounted;
  } else {
    CloseCurrentRow();
    TVuPageList& pages = *Pages();
    if (pages.CurrentPage() != pages.Count()) pages.SetCurrentPage(pages.CurrentPage() + 1);
    else if (OnAddPage) OnAddPage(this);
    else pages.AddPage();
  }
  OnGridNewPage(this, *FTopValue, *FBottomValue);
  FPos = VuPoint(FOrigin.X, FTopValue->Inches());
  FOrigin = FPos;
  const Extended h = GetRowHeightInch(0);
  if (VuHasGridOption(FGridOptions, vuFixedRowPerPage)) LayRow(VuRect(FPos.X, FPos.Y, FPos.X + FTotalWidth, FPos.Y + h), 0);
  // Without the repeated row its place stays free.
  FPos.Y += h;
}

// ---- a string grid's answers --------------------------------------------------------------

QString TVuGridPrint::GetCellText(int col, int row) { return FGrid->Cells(col, row); }

int TVuGridPrint::GetColCount() { return FGrid->ColCount(); }

Extended TVuGridPrint::GetColWidthInch(int col) { return Extended(FGrid->ColWidths(col)) / ScreenPixelsPerInch(); }

Extended TVuGridPrint::GetDefaultRowHeight(int row) {
  return Extended(FGrid->RowHeights(row)) / ScreenPixelsPerInch();
}

TColor TVuGridPrint::GetFixedCellColor() { return FGrid->FixedColor(); }

int TVuGridPrint::GetRowCount() {
  if (FRowCount < 0) FRowCount = FGrid->RowCount();
  return FRowCount;
}

bool TVuGridPrint::IsFixedCell(int col, int row) { return col < FGrid->FixedCols() || row < FGrid->FixedRows(); }

void TVuGridPrint::CallOnDrawCell(int col, int row, TVuValueRect& rect) {
  OnDrawCell(this, col, row, rect, Canvas());
}

bool TVuGridPrint::LinksSet() {
  if (!Pages()) {
    ShowVuError(this, QStringLiteral("The \"Preview\" property must be set to a TVuPreview component"));
    return false;
  }
  if (!FGrid) {
    ShowVuError(this, QStringLiteral("The \"Grid\" property must be set to a valid grid component\""));
    return false;
  }
  return true;
}

void TVuGridPrint::GridToPage(Extended x, Extended y, Extended width, TVuMeasurement measurement) {
  if (LinksSet()) TVuAbstractGridPrint::GridToPage(x, y, width, measurement);
}

int TVuGridPrint::CountPages(Extended x, Extended y, Extended width, TVuMeasurement measurement) {
  return LinksSet() ? TVuAbstractGridPrint::CountPages(x, y, width, measurement) : 0;
}
