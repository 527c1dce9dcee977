// Page objects in page files. Each class level's names are described once in a field table
// (name, load default, how the value is taken from and put into the object, whether it is
// written); an object's record is the tables of its levels from the base down, chosen by
// its kind number, and the same tables write it, read it and supply the defaults.
#include <array>
#include "platform/Errors.h"
#include "preview/document/Vuobjects.h"
#include "preview/core/Vustream.h"

namespace {

using TObjectField = TVuField<TVuBaseObject>;

template <class C>
const C& As(const TVuBaseObject& o) {
  return static_cast<const C&>(o);
}
template <class C>
C& As(TVuBaseObject& o) {
  return static_cast<C&>(o);
}

TVuPoint PointOf(Extended x, Extended y) { return {x, y}; }

// Resources are written as their index in the table's list (the first equal entry) and read
// back as the entry at that index: -1 is none, any other index out of range a list error.
const TObjectField kBaseFields[] = {
    {"ID", int64_t(0), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(o.GetObjectID()); },
     [](TVuBaseObject&, const TVuFieldValue&) {}},  // the kind again, not read back
    {"UI", int64_t(-1), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(o.GetUserID()); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { o.SetUserID(VuIntIn(v, INT32_MIN, INT32_MAX, "user id")); }},
};

const TObjectField kOutlineFields[] = {
    {"P", int64_t(-1),
     [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(o.ResourceTable()->Pens().IndexOf(As<TVuOutlineShape>(o).Pen())); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuOutlineShape>(o).SetPen(o.ResourceTable()->Pens().GetPen(VuIntIn(v, -1, INT32_MAX, "pen index")));
     },
     [](const TVuBaseObject& o) { return As<TVuOutlineShape>(o).Pen() != nullptr && o.ResourceTable(); }},
};

const TObjectField kSolidFields[] = {
    {"B", int64_t(-1),
     [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(o.ResourceTable()->Brushes().IndexOf(As<TVuSolidShape>(o).Brush())); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuSolidShape>(o).SetBrush(o.ResourceTable()->Brushes().GetBrush(VuIntIn(v, -1, INT32_MAX, "brush index")));
     },
     [](const TVuBaseObject& o) { return As<TVuSolidShape>(o).Brush() != nullptr && o.ResourceTable(); }},
};

const TObjectField kSimpleSolidFields[] = {
    {"XY", TVuRect{}, [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuBaseSolidShape>(o).Coords(); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuBaseSolidShape>(o).SetCoords(vuInches, VuRc(v)); }},
};

TVuFieldValue FontIndex(const TVuBaseObject& o) {
  return int64_t(o.ResourceTable() ? o.ResourceTable()->Fonts().IndexOf(As<TVuBaseTextObject>(o).Font()) : -1);
}
void SetFontIndex(TVuBaseObject& o, const TVuFieldValue& v) {
  const int index = VuIntIn(v, -1, INT32_MAX, "font index");
  if (index >= 0 || As<TVuBaseTextObject>(o).Font() == nullptr)
    As<TVuBaseTextObject>(o).SetFont(o.ResourceTable()->Fonts().GetFont(index));
}
TVuFieldValue Caption(const TVuBaseObject& o) { return As<TVuBaseTextObject>(o).GetCaption(); }
void SetCaption(TVuBaseObject& o, const TVuFieldValue& v) { As<TVuBaseTextObject>(o).SetCaption(VuStr(v)); }

// The text objects keep their position as the point X, Y of this level.
const TObjectField kBaseTextFields[] = {
    {"T", QString(), Caption, SetCaption},
    {"CR", VuNoClipRect, [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuBaseTextObject>(o).GetClipRect(vuInches); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuBaseTextObject>(o).SetClipRect(vuInches, VuRc(v)); }},
    {"XY", TVuPoint{},
     [](const TVuBaseObject& o) -> TVuFieldValue {
       const TVuRect& c = As<TVuBaseSolidShape>(o).Coords();
       return PointOf(c.Left, c.Top);
     },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuBaseSolidShape>(o).SetX(vuInches, VuPt(v).X);
       As<TVuBaseSolidShape>(o).SetY(vuInches, VuPt(v).Y);
     }},
    {"F", int64_t(-1), FontIndex, SetFontIndex,
     [](const TVuBaseObject& o) { return As<TVuBaseTextObject>(o).Font() != nullptr; }},
};

const TObjectField kTextBoxFields[] = {
    {"XY2", TVuPoint{},
     [](const TVuBaseObject& o) -> TVuFieldValue {
       const TVuRect& c = As<TVuBaseSolidShape>(o).Coords();
       return PointOf(c.Right, c.Bottom);
     },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuBaseSolidShape>(o).SetX2(vuInches, VuPt(v).X);
       As<TVuBaseSolidShape>(o).SetY2(vuInches, VuPt(v).Y);
     }},
    {"TP", Extended(0), [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuTextBoxObject>(o).GetPadding(); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuTextBoxObject>(o).SetPadding(VuExt(v)); }},
    {"TH", Extended(0), [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuTextBoxObject>(o).GetContentHeight(); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuTextBoxObject>(o).SetContentHeight(VuExt(v)); }},
    {"T", QString(), Caption, SetCaption},
    {"TA", int64_t(0), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(As<TVuTextBoxObject>(o).GetAlignment()); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuTextBoxObject>(o).SetAlignment(TAlignment(VuIntIn(v, taLeftJustify, taCenter, "alignment")));
     },
     [](const TVuBaseObject& o) { return As<TVuTextBoxObject>(o).GetAlignment() != taLeftJustify; }},
    {"VA", int64_t(0), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(As<TVuTextBoxObject>(o).GetVertAlignment()); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuTextBoxObject>(o).SetVertAlignment(TVuVertAlignment(VuIntIn(v, vuTop, vuBottom, "vertical alignment")));
     },
     [](const TVuBaseObject& o) { return As<TVuTextBoxObject>(o).GetVertAlignment() != vuTop; }},
    {"CT", true, [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuTextBoxObject>(o).GetClipText(); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuTextBoxObject>(o).SetClipText(VuBool(v)); },
     [](const TVuBaseObject& o) { return !As<TVuTextBoxObject>(o).GetClipText(); }},
    {"WB", true, [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuTextBoxObject>(o).GetWordBreak(); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuTextBoxObject>(o).SetWordBreak(VuBool(v)); },
     [](const TVuBaseObject& o) { return !As<TVuTextBoxObject>(o).GetWordBreak(); }},
    {"F", int64_t(-1), FontIndex, SetFontIndex},
};

const TObjectField kGraphicFields[] = {
    {"CM", int64_t(13369376), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(As<TVuGraphicObject>(o).GetCopyMode()); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuGraphicObject>(o).SetCopyMode(VuIntIn(v, INT32_MIN, INT32_MAX, "copy mode")); }},
    {"PF", int64_t(3), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(As<TVuGraphicObject>(o).GetPixelFormat()); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuGraphicObject>(o).SetPixelFormat(TPixelFormat(VuIntIn(v, pfDevice, pfCustom, "pixel format")));
     }},
    {"G", int64_t(-1),
     [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(o.ResourceTable()->Graphics().IndexOf(As<TVuGraphicObject>(o).Graphic())); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       const int index = VuIntIn(v, -1, INT32_MAX, "picture index");
       if (index >= 0) As<TVuGraphicObject>(o).SetGraphicEntry(o.ResourceTable()->Graphics().GetGraphic(index));
     },
     [](const TVuBaseObject& o) { return As<TVuGraphicObject>(o).Graphic() != nullptr && o.ResourceTable(); }},
};

const TObjectField kSemiComplexFields[] = {
    {"XY3", TVuPoint{},
     [](const TVuBaseObject& o) -> TVuFieldValue {
       const auto& s = As<TVuSemiComplexShape>(o);
       return PointOf(s.GetX3(vuInches), s.GetY3(vuInches));
     },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuSemiComplexShape>(o).SetX3(vuInches, VuPt(v).X);
       As<TVuSemiComplexShape>(o).SetY3(vuInches, VuPt(v).Y);
     }},
};

const TObjectField kComplexFields[] = {
    {"XY4", TVuPoint{},
     [](const TVuBaseObject& o) -> TVuFieldValue {
       const auto& s = As<TVuComplexShape>(o);
       return PointOf(s.GetX4(vuInches), s.GetY4(vuInches));
     },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuComplexShape>(o).SetX4(vuInches, VuPt(v).X);
       As<TVuComplexShape>(o).SetY4(vuInches, VuPt(v).Y);
     }},
};

const TObjectField kPathFields[] = {
    {"PT", int64_t(1), [](const TVuBaseObject& o) -> TVuFieldValue { return int64_t(As<TVuPathObject>(o).GetPathType()); },
     [](TVuBaseObject& o, const TVuFieldValue& v) {
       As<TVuPathObject>(o).SetPathType(TVuPathObjectType(VuIntIn(v, vuBeginPath, vuCloseFigure, "path type")));
     }},
};

const TObjectField kBaseClipFields[] = {
    {"XY", TVuRect{}, [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuBaseClipObject>(o).ClipCoords(); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuBaseClipObject>(o).SetClipCoords(vuInches, VuRc(v)); }},
};

const TObjectField kClipRoundRectFields[] = {
    {"XY3", TVuPoint{}, [](const TVuBaseObject& o) -> TVuFieldValue { return As<TVuClipRoundRectObject>(o).GetCorner(vuInches); },
     [](TVuBaseObject& o, const TVuFieldValue& v) { As<TVuClipRoundRectObject>(o).SetCorner(vuInches, VuPt(v)); }},
};

// The poly objects' points: "SZ", then "XY0", "XY1", ... A count larger than the lines the
// record holds cannot be right and is refused before anything is allocated for it.
void SavePolyPoints(const TVuBaseObject& o, TVuValueList& list) {
  const TVuPolyPoints& points = As<TVuPolyBaseObject>(o).Points();
  list.WriteIntValue(QStringLiteral("SZ"), int64_t(points.size()));
  for (size_t i = 0; i < points.size(); ++i) list.WriteVuPointValue(QStringLiteral("XY%1").arg(i), points[i]);
}

void LoadPolyPoints(TVuBaseObject& o, const TVuValueList& list) {
  const int64_t count = list.ReadIntValue(QStringLiteral("SZ"), 0);
  if (count < 0 || count > list.Count())
    throw EReadError(QStringLiteral("Stream read error: %1 points in a record of %2 lines").arg(count).arg(list.Count()));
  TVuPolyPoints points{size_t(count), TVuPoint{}};
  for (int64_t i = 0; i < count; ++i) points[size_t(i)] = list.ReadVuPointValue(QStringLiteral("XY%1").arg(i), TVuPoint{});
  As<TVuPolyBaseObject>(o).SetPoints(vuInches, points);
}

struct TLevel {
  std::span<const TObjectField> Fields;
  void (*Save)(const TVuBaseObject&, TVuValueList&) = nullptr;
  void (*Load)(TVuBaseObject&, const TVuValueList&) = nullptr;
};

const TLevel kBase{kBaseFields}, kOutline{kOutlineFields}, kSolid{kSolidFields}, kSimpleSolid{kSimpleSolidFields},
    kBaseText{kBaseTextFields}, kTextBox{kTextBoxFields}, kGraphic{kGraphicFields}, kSemiComplex{kSemiComplexFields},
    kComplex{kComplexFields}, kPath{kPathFields}, kBaseClip{kBaseClipFields}, kClipRoundRect{kClipRoundRectFields},
    kPoly{{}, SavePolyPoints, LoadPolyPoints};

// The class levels of each kind, base first.
const std::vector<const TLevel*>& LevelsOf(int kind) {
  static const std::array<std::vector<const TLevel*>, VuObjectKindCount> levels = [] {
    std::array<std::vector<const TLevel*>, VuObjectKindCount> l;
    const std::vector<const TLevel*> shape{&kBase, &kOutline, &kSolid, &kSimpleSolid};
    const std::vector<const TLevel*> text{&kBase, &kOutline, &kSolid, &kBaseText};
    l[vuTextObject] = text;
    l[vuTextBoxObject] = text;
    l[vuTextBoxObject].push_back(&kTextBox);
    for (int k : {vuLineObject, vuRectangleShape, vuEllipseShape}) l[size_t(k)] = shape;
    l[vuGraphicObject] = shape;
    l[vuGraphicObject].push_back(&kGraphic);
    l[vuRoundRectShape] = shape;
    l[vuRoundRectShape].push_back(&kSemiComplex);
    for (int k : {vuArcShape, vuChordShape, vuPieShape}) {
      l[size_t(k)] = shape;
      l[size_t(k)].push_back(&kSemiComplex);
      l[size_t(k)].push_back(&kComplex);
    }
    for (int k : {vuPolygonObject, vuPolylineObject, vuPolyBezierObject, vuPolylineToObject, vuPolyBezierToObject})
      l[size_t(k)] = {&kBase, &kOutline, &kSolid, &kPoly};
    l[vuPathObject] = {&kBase, &kPath};
    l[vuRemoveClipObject] = {&kBase};
    for (int k : {vuClipRectObject, vuClipEllipseObject}) l[size_t(k)] = {&kBase, &kBaseClip};
    l[vuClipRoundRectObject] = {&kBase, &kBaseClip, &kClipRoundRect};
    return l;
  }();
  static const std::vector<const TLevel*> none{&kBase};
  return kind >= 0 && kind < VuObjectKindCount ? levels[size_t(kind)] : none;
}

}  // namespace

void TVuBaseObject::SaveToValueList(TVuValueList& list) const {
  for (const TLevel* level : LevelsOf(GetObjectID())) {
    WriteFields<TVuBaseObject>(list, *this, level->Fields);
    if (level->Save) level->Save(*this, list);
  }
}

void TVuBaseObject::LoadFromValueList(TVuValueList& list) {
  for (const TLevel* level : LevelsOf(GetObjectID())) {
    ReadFields<TVuBaseObject>(list, *this, level->Fields);
    if (level->Load) level->Load(*this, list);
  }
}

void TVuBaseObject::SaveToStream(QIODevice& stream) const {
  TVuWriter writer(stream);
  writer.WriteInteger(GetObjectID());
  TVuValueList list;
  list.AddLine(QString());
  list.AddLine(QString());
  SaveToValueList(list);
  list.SaveToStream(writer);
}

void TVuBaseObject::LoadFromStream(QIODevice& stream) {
  TVuValueList list;
  list.LoadFromStream(stream);
  LoadFromValueList(list);
}
