// Page objects: the bases, the shared-resource pattern, the object list and the factory by
// kind number.
#include "preview/document/Vuobjects.h"
#include "platform/Errors.h"
#include "platform/Metafile.h"
#include "preview/core/Vufuncs.h"

// ---- base objects -----------------------------------------------------------------------

TVuBaseObject::TVuBaseObject(TVuResourceTable* resourceTable) : FResourceTable(resourceTable) {}

TVuBaseObject::~TVuBaseObject() = default;

void TVuBaseObject::Changed() {
  if (OnChange) OnChange(this);
}

void TVuBaseObject::DrawToCanvas(TCanvas&, const TVuObjectDrawData&) {}
void TVuBaseObject::OffsetObject(Extended, Extended, TVuMeasurement) {}

void TVuBaseObject::Draw(TCanvas& canvas, const TVuObjectDrawData& drawData) {
  if (!FPrintable && IsPrinterCanvas(canvas)) return;
  DrawToCanvas(canvas, drawData);
}

TVuRectPoints TVuVisibleObject::BoundingRect(const TVuObjectDrawData& drawData) {
  TMetafile metafile;
  TMetafileCanvas canvas(metafile);
  canvas.BeginPath();
  Draw(canvas, drawData);
  canvas.EndPath();
  return RectToVuRectPoints(FromQRect(canvas.PathRegionBounds()));
}

void TVuVisibleObject::Arrange(TVuArrangeObject order) {
  if (OnChangeLevel) OnChangeLevel(this, order);
}

// ---- shared resources -------------------------------------------------------------------
// A working copy is changed by its caller; the change call reaches the object's
// ...Changed, which must not free the copy while the copy's own setter is still running, so
// the copy is retired and freed at the next GetPen (GetBrush, GetFont) or with the object.

namespace {
// The working copy of a shared resource: a fresh copy of the entry (Assign raises for no
// entry where the resource requires one), whose changes reach onChange.
template <class TRes, class TChange>
TRes& WorkingCopy(TRes* entry, std::unique_ptr<TRes>& copy, std::unique_ptr<TRes>& retired, TChange onChange) {
  retired.reset();
  if (!copy) copy = std::make_unique<TRes>();
  copy->OnChange = nullptr;
  copy->Assign(entry);
  copy->OnChange = onChange;
  return *copy;
}

// The changed working copy replaces the object's entry in the resource list; the copy is
// retired, not freed, because its own setter is still running. False without a copy.
template <class TRes, class TList, class TAdd>
bool TakeWorkingCopy(TList& list, TAdd add, TRes*& entry, std::unique_ptr<TRes>& copy,
                     std::unique_ptr<TRes>& retired) {
  if (!copy) return false;
  list.DeleteResource(entry);
  entry = (list.*add)(copy.get());
  copy->OnChange = nullptr;
  retired = std::move(copy);
  return true;
}

// Points the object at the list's entry equal to given. The first assignment takes given as
// it is (the entry the object was made with).
template <class TRes, class TList, class TAdd>
void ShareResource(TList& list, TAdd add, TRes*& entry, TRes* given) {
  if (!entry) {
    entry = given;
    return;
  }
  if (!given) return;
  // Add first: the argument may be the very entry being released.
  TRes* added = (list.*add)(given);
  list.DeleteResource(entry);
  entry = added;
}
}  // namespace

TVuOutlineShape::~TVuOutlineShape() = default;

TVuPen& TVuOutlineShape::GetPen() {
  // No pen: the assignment error.
  return WorkingCopy(FPen, FPenCopy, FRetiredPenCopy, [this](TPersistent* sender) { PenChanged(sender); });
}

void TVuOutlineShape::PenChanged(TPersistent*) {
  if (TakeWorkingCopy(ResourceTable()->Pens(), &TVuPenList::AddPen, FPen, FPenCopy, FRetiredPenCopy)) Changed();
}

void TVuOutlineShape::SetPen(TVuPen* pen) {
  ShareResource(ResourceTable()->Pens(), &TVuPenList::AddPen, FPen, pen);
}

void TVuOutlineShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) {
  if (FPen) FPen->AssignToCanvas(canvas, drawData.PpiX);
}

TVuSolidShape::~TVuSolidShape() = default;

TVuBrush& TVuSolidShape::GetBrush() {
  // No brush: the copy keeps the defaults.
  return WorkingCopy(FBrush, FBrushCopy, FRetiredBrushCopy, [this](TPersistent* sender) { BrushChanged(sender); });
}

void TVuSolidShape::BrushChanged(TPersistent*) {
  if (TakeWorkingCopy(ResourceTable()->Brushes(), &TVuBrushList::AddBrush, FBrush, FBrushCopy, FRetiredBrushCopy))
    Changed();
}

void TVuSolidShape::SetBrush(TVuBrush* brush) {
  ShareResource(ResourceTable()->Brushes(), &TVuBrushList::AddBrush, FBrush, brush);
}

void TVuSolidShape::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) {
  TVuOutlineShape::DrawToCanvas(canvas, drawData);
  if (FBrush) FBrush->AssignToCanvas(canvas);
}

TVuBaseTextObject::~TVuBaseTextObject() = default;

TVuFont& TVuBaseTextObject::GetFont() {
  // No font: the assignment error.
  return WorkingCopy(FFont, FFontCopy, FRetiredFontCopy, [this](TPersistent* sender) { FontChanged(sender); });
}

void TVuBaseTextObject::FontChanged(TPersistent*) {
  if (TakeWorkingCopy(ResourceTable()->Fonts(), &TVuFontList::AddFont, FFont, FFontCopy, FRetiredFontCopy)) Changed();
}

void TVuBaseTextObject::SetFont(TVuFont* font) {
  ShareResource(ResourceTable()->Fonts(), &TVuFontList::AddFont, FFont, font);
}

void TVuBaseTextObject::DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) {
  TVuBaseSolidShape::DrawToCanvas(canvas, drawData);
  if (FFont) {
    // The point size becomes a pixel height at the target's resolution.
    canvas.Font().PixelsPerInch = drawData.PpiX;
    FFont->AssignToCanvas(canvas);
  }
}

// ---- the factory ------------------------------------------------------------------------

std::unique_ptr<TVuBaseObject> CreateVuObject(int kind, TVuResourceTable* table) {
  switch (kind) {
    case vuTextObject: return std::make_unique<TVuTextObject>(table);
    case vuLineObject: return std::make_unique<TVuLineObject>(table);
    case vuRectangleShape: return std::make_unique<TVuRectangleShape>(table);
    case vuEllipseShape: return std::make_unique<TVuEllipseShape>(table);
    case vuRoundRectShape: return std::make_unique<TVuRoundRectShape>(table);
    case vuArcShape: return std::make_unique<TVuArcShape>(table);
    case vuChordShape: return std::make_unique<TVuChordShape>(table);
    case vuPieShape: return std::make_unique<TVuPieShape>(table);
    case vuPathObject: return std::make_unique<TVuPathObject>(table);
    case vuRemoveClipObject: return std::make_unique<TVuRemoveClipObject>(table);
    case vuClipRectObject: return std::make_unique<TVuClipRectObject>(table);
    case vuClipRoundRectObject: return std::make_unique<TVuClipRoundRectObject>(table);
    case vuClipEllipseObject: return std::make_unique<TVuClipEllipseObject>(table);
    case vuGraphicObject: return std::make_unique<TVuGraphicObject>(table);
    case vuTextBoxObject: return std::make_unique<TVuTextBoxObject>(table);
    case vuPolygonObject: return std::make_unique<TVuPolygonObject>(table);
    case vuPolylineObject: return std::make_unique<TVuPolylineObject>(table);
    case vuPolyBezierObject: return std::make_unique<TVuPolyBezierObject>(table);
    case vuPolylineToObject: return std::make_unique<TVuPolylineToObject>(table);
    case vuPolyBezierToObject: return std::make_unique<TVuPolyBezierToObject>(table);
    default: return nullptr;
  }
}

// ---- the object list --------------------------------------------------------------------

void TVuBaseObjectList::Check(int index) const {
  if (index < 0 || index >= Count()) RaiseListIndexError(index);
}

void TVuBaseObjectList::Hook(TVuBaseObject& object) {
  object.OnChange = [this](TPersistent* sender) { Changed(sender); };
}

void TVuBaseObjectList::AddObject(std::unique_ptr<TVuBaseObject> object) {
  if (!object) return;
  Hook(*object);
  FItems.push_back(std::move(object));
  Changed(FItems.back().get());
}

void TVuBaseObjectList::InsertObject(int index, std::unique_ptr<TVuBaseObject> object) {
  if (!object) return;
  index = std::clamp(index, 0, Count());
  Hook(*object);
  TVuBaseObject* raw = object.get();
  FItems.insert(FItems.begin() + index, std::move(object));
  Changed(raw);
}

TVuBaseObject* TVuBaseObjectList::GetObject(int index) const {
  Check(index);
  return FItems[size_t(index)].get();
}

void TVuBaseObjectList::SetObject(int index, std::unique_ptr<TVuBaseObject> object) {
  Check(index);
  if (object) Hook(*object);
  FItems[size_t(index)] = std::move(object);
}

int TVuBaseObjectList::IndexOf(const TVuBaseObject* object) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == object) return int(i);
  return -1;
}

void TVuBaseObjectList::Delete(int index) {
  Check(index);
  FItems.erase(FItems.begin() + index);
}

std::unique_ptr<TVuBaseObject> TVuBaseObjectList::Extract(int index) {
  Check(index);
  std::unique_ptr<TVuBaseObject> object = std::move(FItems[size_t(index)]);
  FItems.erase(FItems.begin() + index);
  object->OnChange = nullptr;
  return object;
}

void TVuBaseObjectList::Move(int from, int to) {
  Check(from);
  Check(to);
  if (from == to) return;
  std::unique_ptr<TVuBaseObject> object = std::move(FItems[size_t(from)]);
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, std::move(object));
}

void TVuBaseObjectList::Clear() { FItems.clear(); }

void TVuBaseObjectList::Changed(TPersistent*) {
  if (OnChange) OnChange(this);
}
