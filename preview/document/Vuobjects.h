// Page objects: one per drawing call recorded on a page. Each keeps its geometry in inches
// from the page's top-left corner and pointers to shared pens, brushes, fonts and pictures
// of the page list's resource table, and draws itself on any surface at any resolution:
// a device coordinate is round(inches x pixels per inch), halves to even, nothing added.
#pragma once
#include <QIODevice>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <vector>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "platform/CopyModes.h"
#include "platform/Graphics.h"
#include "preview/document/Vuresource.h"
#include "preview/core/Vutypes.h"

class TVuValueList;  // the key/value form of an object in page files

// What every drawing object is handed: the page's number and count for the page tokens and
// the target's resolution.
struct TVuObjectDrawData {
  int PageNum = 1;
  int PpiX = 600;
  int PpiY = 600;
  int NumPages = 1;
  bool IsThumbnail = false;  // objects do not read it
};

enum TVuArrangeObject { vuToFront, vuForward, vuBackword, vuToBack };
enum TVuVertAlignment { vuTop, vuMiddle, vuBottom };
enum TVuPathObjectType { vuBeginPath, vuEndPath, vuFillPath, vuStrokePath, vuStrokeAndFillPath, vuCloseFigure };

// Kind numbers, as page files store them.
enum TVuObjectKind {
  vuTextObject = 0, vuLineObject = 1, vuRectangleShape = 2, vuEllipseShape = 3,
  vuRoundRectShape = 4, vuArcShape = 5, vuChordShape = 6, vuPieShape = 7, vuPathObject = 8,
  vuRemoveClipObject = 9, vuClipRectObject = 10, vuClipRoundRectObject = 11,
  vuClipEllipseObject = 12, vuGraphicObject = 13, vuTextBoxObject = 14, vuPolygonObject = 15,
  vuPolylineObject = 16, vuPolyBezierObject = 17, vuPolylineToObject = 18, vuPolyBezierToObject = 19
};
constexpr int VuObjectKindCount = 20;

class TVuBaseObject : public TPersistent {
 public:
  explicit TVuBaseObject(TVuResourceTable* resourceTable);
  ~TVuBaseObject() override;
  TVuBaseObject(const TVuBaseObject&) = delete;
  TVuBaseObject& operator=(const TVuBaseObject&) = delete;

  QString ClassName() const override { return QStringLiteral("TVuBaseObject"); }
  virtual int GetObjectID() const = 0;
  virtual void Changed();
  virtual void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData);
  // The page-file form of the object; the page-file unit fills these in.
  virtual void LoadFromValueList(TVuValueList& list);
  virtual void SaveToValueList(TVuValueList& list) const;
  // Moves the object by (dx, dy) given in unit measurement.
  virtual void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement);
  // ---- page files: the kind as an integer, then one value list (two empty lines, "ID",
  // "UI", then the names of each class level from the base down).
  void SaveToStream(QIODevice& stream) const;
  void LoadFromStream(QIODevice& stream);

  // Skips a non-printable object on a printer surface, else DrawToCanvas.
  void Draw(TCanvas& canvas, const TVuObjectDrawData& drawData);

  int ObjectID() const { return GetObjectID(); }
  bool GetPrintable() const { return FPrintable; }
  void SetPrintable(bool value) { FPrintable = value; }
  int GetUserID() const { return FUserID; }
  void SetUserID(int value) { FUserID = value; }
  TVuResourceTable* ResourceTable() const { return FResourceTable; }
  // A visible object has a bounding box, a level and a drag flag.
  virtual bool IsVisibleObject() const { return false; }

  TNotifyEvent OnChange;

 private:
  TVuResourceTable* FResourceTable;
  bool FPrintable = true;
  int FUserID = -1;
};

using TVuChangeObjectLevel = std::function<void(TPersistent* sender, TVuArrangeObject order)>;

class TVuVisibleObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuVisibleObject"); }
  bool IsVisibleObject() const override { return true; }
  // The device-pixel box of what the object draws, measured in a path on an offscreen
  // metafile surface.
  virtual TVuRectPoints BoundingRect(const TVuObjectDrawData& drawData);
  // Asks the page list to move the object in its page's drawing order.
  void Arrange(TVuArrangeObject order);
  bool GetDraggable() const { return FDraggable; }
  void SetDraggable(bool value) { FDraggable = value; }

  TVuChangeObjectLevel OnChangeLevel;

 private:
  bool FDraggable = true;
};

// The resource pattern, told for the pen: GetPen hands out a private working copy; its
// first effective change releases the shared entry, adds the copy to the table in its place
// and frees the copy, so each further change asks GetPen again.
class TVuOutlineShape : public TVuVisibleObject {
 public:
  using TVuVisibleObject::TVuVisibleObject;
  ~TVuOutlineShape() override;
  QString ClassName() const override { return QStringLiteral("TVuOutlineShape"); }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;

  TVuPen* Pen() const { return FPen; }
  TVuPen* PenCopy() const { return FPenCopy.get(); }
  // Fails with the assignment error when the object has no pen.
  TVuPen& GetPen();
  void PenChanged(TPersistent* sender);
  // The first pen is taken as it is (an entry already counted for this object); later ones
  // replace it by the table's entry equal to them.
  void SetPen(TVuPen* pen);

 private:
  TVuPen* FPen = nullptr;
  std::unique_ptr<TVuPen> FPenCopy;
  std::unique_ptr<TVuPen> FRetiredPenCopy;  // freed once its change call has returned
};

class TVuSolidShape : public TVuOutlineShape {
 public:
  using TVuOutlineShape::TVuOutlineShape;
  ~TVuSolidShape() override;
  QString ClassName() const override { return QStringLiteral("TVuSolidShape"); }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;

  TVuBrush* Brush() const { return FBrush; }
  TVuBrush* BrushCopy() const { return FBrushCopy.get(); }
  // Without a brush the copy has the brush defaults; its first change gives the object one.
  TVuBrush& GetBrush();
  void BrushChanged(TPersistent* sender);
  void SetBrush(TVuBrush* brush);

 private:
  TVuBrush* FBrush = nullptr;
  std::unique_ptr<TVuBrush> FBrushCopy;
  std::unique_ptr<TVuBrush> FRetiredBrushCopy;
};

// Coords are Left, Top, Right, Bottom, read as X, Y, X2, Y2; none of the setters notifies.
class TVuBaseSolidShape : public TVuSolidShape {
 public:
  using TVuSolidShape::TVuSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuBaseSolidShape"); }
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;

  Extended GetX(TVuMeasurement m) const;
  Extended GetY(TVuMeasurement m) const;
  Extended GetX2(TVuMeasurement m) const;
  Extended GetY2(TVuMeasurement m) const;
  void SetX(TVuMeasurement m, Extended value);
  void SetY(TVuMeasurement m, Extended value);
  void SetX2(TVuMeasurement m, Extended value);
  void SetY2(TVuMeasurement m, Extended value);
  TVuRect GetCoords(TVuMeasurement m) const;
  void SetCoords(TVuMeasurement m, const TVuRect& rect);
  const TVuRect& Coords() const { return FCoords; }
  TRect CoordsAsPixels(int ppiX, int ppiY) const;

 protected:
  // Adds inches to both corners.
  void MoveCoords(Extended dxInches, Extended dyInches);
  TVuRect FCoords;
};

class TVuSimpleSolidShape : public TVuBaseSolidShape {
 public:
  using TVuBaseSolidShape::TVuBaseSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuSimpleSolidShape"); }
};

// Not clipped: the ClipRect value of all four edges -1.
constexpr TVuRect VuNoClipRect{-1, -1, -1, -1};

class TVuBaseTextObject : public TVuBaseSolidShape {
 public:
  using TVuBaseSolidShape::TVuBaseSolidShape;
  ~TVuBaseTextObject() override;
  QString ClassName() const override { return QStringLiteral("TVuBaseTextObject"); }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;

  const QString& GetCaption() const { return FCaption; }
  void SetCaption(const QString& value);
  TVuRect GetClipRect(TVuMeasurement m) const;
  void SetClipRect(TVuMeasurement m, const TVuRect& rect);
  bool IsClipped() const;

  TVuFont* Font() const { return FFont; }
  TVuFont* FontCopy() const { return FFontCopy.get(); }
  // Fails with the assignment error when the object has no font.
  TVuFont& GetFont();
  void FontChanged(TPersistent* sender);
  void SetFont(TVuFont* font);

 protected:
  // The caption with the page tokens of the page being drawn expanded.
  QString ExpandedCaption(const TVuObjectDrawData& drawData) const;
  QString FCaption;
  TVuRect FClipRect = VuNoClipRect;

 private:
  TVuFont* FFont = nullptr;
  std::unique_ptr<TVuFont> FFontCopy;
  std::unique_ptr<TVuFont> FRetiredFontCopy;
};

// One line of text with the top-left of its cell at (X, Y).
class TVuTextObject : public TVuBaseTextObject {
 public:
  using TVuBaseTextObject::TVuBaseTextObject;
  QString ClassName() const override { return QStringLiteral("TVuTextObject"); }
  int GetObjectID() const override { return vuTextObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // Moves the reference point, and a clip rectangle with it; does not notify.
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
  TVuRectPoints BoundingRect(const TVuObjectDrawData& drawData) override;
};

// Text laid out in the box Coords: aligned, word-broken, clipped to the box less padding.
class TVuTextBoxObject : public TVuBaseTextObject {
 public:
  using TVuBaseTextObject::TVuBaseTextObject;
  QString ClassName() const override { return QStringLiteral("TVuTextBoxObject"); }
  int GetObjectID() const override { return vuTextBoxObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  // Kept and saved; the text is always clipped to its rectangle.
  bool GetClipText() const { return FClipText; }
  void SetClipText(bool value);
  Extended GetPadding() const { return FPadding; }  // inches
  void SetPadding(Extended value);
  // The laid-out text's height, twice the padding included, in inches.
  Extended GetContentHeight() const { return FContentHeight; }
  void SetContentHeight(Extended value) { FContentHeight = value; }
  TVuVertAlignment GetVertAlignment() const { return FVertAlignment; }
  void SetVertAlignment(TVuVertAlignment value);
  bool GetWordBreak() const { return FWordBreak; }
  void SetWordBreak(bool value);
  // The device rectangle the text goes into.
  TRect TextRect(const TVuObjectDrawData& drawData) const;

 private:
  TAlignment FAlignment = taLeftJustify;
  bool FClipText = true;
  Extended FPadding = 0;
  Extended FContentHeight = 0;
  TVuVertAlignment FVertAlignment = vuTop;
  bool FWordBreak = true;
};

class TVuLineObject : public TVuSimpleSolidShape {
 public:
  using TVuSimpleSolidShape::TVuSimpleSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuLineObject"); }
  int GetObjectID() const override { return vuLineObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // CoordsAsPixels grown by 3 pixels on every side, not normalised.
  TVuRectPoints BoundingRect(const TVuObjectDrawData& drawData) override;
};

class TVuGraphicObject : public TVuSimpleSolidShape {
 public:
  using TVuSimpleSolidShape::TVuSimpleSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuGraphicObject"); }
  int GetObjectID() const override { return vuGraphicObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // The target rectangle: a picture adds nothing to a path.
  TVuRectPoints BoundingRect(const TVuObjectDrawData& drawData) override;

  // Icons become bitmaps, bitmaps, metafiles and JPEG images are stored as they are, any
  // other picture becomes a JPEG image; the table's entry becomes Graphic.
  void SetGraphic(const TGraphic* graphic);
  TGraphic* Graphic() const { return FGraphic; }
  // For page files: an entry of the table taken as it is.
  void SetGraphicEntry(TGraphic* entry) { FGraphic = entry; }
  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode value) { FCopyMode = value; }
  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat value) { FPixelFormat = value; }

 private:
  TCopyMode FCopyMode = cmSrcCopy;
  TGraphic* FGraphic = nullptr;
  TPixelFormat FPixelFormat = pf8bit;
};

class TVuRectangleShape : public TVuSimpleSolidShape {
 public:
  using TVuSimpleSolidShape::TVuSimpleSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuRectangleShape"); }
  int GetObjectID() const override { return vuRectangleShape; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

class TVuEllipseShape : public TVuSimpleSolidShape {
 public:
  using TVuSimpleSolidShape::TVuSimpleSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuEllipseShape"); }
  int GetObjectID() const override { return vuEllipseShape; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

// X3, Y3 in inches; their setters notify on a real change.
class TVuSemiComplexShape : public TVuSimpleSolidShape {
 public:
  using TVuSimpleSolidShape::TVuSimpleSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuSemiComplexShape"); }
  // Moves Coords and the point (X3, Y3).
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
  Extended GetX3(TVuMeasurement m) const;
  Extended GetY3(TVuMeasurement m) const;
  void SetX3(TVuMeasurement m, Extended value);
  void SetY3(TVuMeasurement m, Extended value);

 protected:
  Extended FX3 = 0;
  Extended FY3 = 0;
};

// X3, Y3 are the width and height of the corner ellipses.
class TVuRoundRectShape : public TVuSemiComplexShape {
 public:
  using TVuSemiComplexShape::TVuSemiComplexShape;
  QString ClassName() const override { return QStringLiteral("TVuRoundRectShape"); }
  int GetObjectID() const override { return vuRoundRectShape; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // Moves the box; the corner sizes are sizes, not a point, and stay.
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
};

// The curve on the ellipse inscribed in Coords runs from the ray through (X3, Y3) to the
// ray through (X4, Y4).
class TVuComplexShape : public TVuSemiComplexShape {
 public:
  using TVuSemiComplexShape::TVuSemiComplexShape;
  QString ClassName() const override { return QStringLiteral("TVuComplexShape"); }
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
  Extended GetX4(TVuMeasurement m) const;
  Extended GetY4(TVuMeasurement m) const;
  void SetX4(TVuMeasurement m, Extended value);
  void SetY4(TVuMeasurement m, Extended value);
  TVuComplexCoords GetCoords(TVuMeasurement m) const;
  void SetCoords(TVuMeasurement m, const TVuComplexCoords& coords);
  using TVuBaseSolidShape::SetCoords;

 protected:
  // The eight device coordinates of the platform's arc calls.
  void DevicePoints(const TVuObjectDrawData& d, int (&p)[8]) const;
  Extended FX4 = 0;
  Extended FY4 = 0;
};

class TVuArcShape : public TVuComplexShape {
 public:
  using TVuComplexShape::TVuComplexShape;
  QString ClassName() const override { return QStringLiteral("TVuArcShape"); }
  int GetObjectID() const override { return vuArcShape; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

class TVuChordShape : public TVuComplexShape {
 public:
  using TVuComplexShape::TVuComplexShape;
  QString ClassName() const override { return QStringLiteral("TVuChordShape"); }
  int GetObjectID() const override { return vuChordShape; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

class TVuPieShape : public TVuComplexShape {
 public:
  using TVuComplexShape::TVuComplexShape;
  QString ClassName() const override { return QStringLiteral("TVuPieShape"); }
  int GetObjectID() const override { return vuPieShape; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

// Points in inches; the kind number chooses the platform poly call.
class TVuPolyBaseObject : public TVuSolidShape {
 public:
  using TVuSolidShape::TVuSolidShape;
  QString ClassName() const override { return QStringLiteral("TVuPolyBaseObject"); }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // Moves every point; does not notify.
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
  TVuPolyPoints GetPoints(TVuMeasurement m) const;
  void SetPoints(TVuMeasurement m, const TVuPolyPoints& points);
  const TVuPolyPoints& Points() const { return FPoints; }

 protected:
  TVuPolyPoints FPoints;
};

#define VU_POLY_KIND(Name, Kind)                                                   \
  class Name : public TVuPolyBaseObject {                                          \
   public:                                                                         \
    using TVuPolyBaseObject::TVuPolyBaseObject;                                    \
    QString ClassName() const override { return QStringLiteral(#Name); }           \
    int GetObjectID() const override { return Kind; }                              \
  };
VU_POLY_KIND(TVuPolygonObject, vuPolygonObject)
VU_POLY_KIND(TVuPolylineObject, vuPolylineObject)
VU_POLY_KIND(TVuPolyBezierObject, vuPolyBezierObject)
VU_POLY_KIND(TVuPolylineToObject, vuPolylineToObject)
VU_POLY_KIND(TVuPolyBezierToObject, vuPolyBezierToObject)
#undef VU_POLY_KIND

// One path call on the canvas; the objects between a begin and an end object add figures.
class TVuPathObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuPathObject"); }
  int GetObjectID() const override { return vuPathObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  TVuPathObjectType GetPathType() const { return FPathType; }
  void SetPathType(TVuPathObjectType value) { FPathType = value; }

 private:
  TVuPathObjectType FPathType = vuBeginPath;
};

// Selects no clip region.
class TVuRemoveClipObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuRemoveClipObject"); }
  int GetObjectID() const override { return vuRemoveClipObject; }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

// Makes its shape the clip region, replacing any earlier one, until a later clip object or
// a remove-clip object.
class TVuBaseClipObject : public TVuBaseObject {
 public:
  using TVuBaseObject::TVuBaseObject;
  QString ClassName() const override { return QStringLiteral("TVuBaseClipObject"); }
  void DrawToCanvas(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
  // The clip region moves with the objects it was recorded with; does not notify.
  void OffsetObject(Extended dx, Extended dy, TVuMeasurement measurement) override;
  TVuRect GetClipCoords(TVuMeasurement m) const;
  void SetClipCoords(TVuMeasurement m, const TVuRect& rect);
  const TVuRect& ClipCoords() const { return FClipCoords; }

 protected:
  // Adds the clip shape, in device pixels, to the open path.
  virtual void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) = 0;
  TRect ClipAsPixels(const TVuObjectDrawData& drawData) const;
  TVuRect FClipCoords;
};

class TVuClipRectObject : public TVuBaseClipObject {
 public:
  using TVuBaseClipObject::TVuBaseClipObject;
  QString ClassName() const override { return QStringLiteral("TVuClipRectObject"); }
  int GetObjectID() const override { return vuClipRectObject; }

 protected:
  void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

class TVuClipEllipseObject : public TVuBaseClipObject {
 public:
  using TVuBaseClipObject::TVuBaseClipObject;
  QString ClassName() const override { return QStringLiteral("TVuClipEllipseObject"); }
  int GetObjectID() const override { return vuClipEllipseObject; }

 protected:
  void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) override;
};

// Corner: the corner ellipses' width and height in inches (kept under offsets).
class TVuClipRoundRectObject : public TVuClipRectObject {
 public:
  using TVuClipRectObject::TVuClipRectObject;
  QString ClassName() const override { return QStringLiteral("TVuClipRoundRectObject"); }
  int GetObjectID() const override { return vuClipRoundRectObject; }
  TVuPoint GetCorner(TVuMeasurement m) const;
  void SetCorner(TVuMeasurement m, const TVuPoint& corner);

 protected:
  void AddShape(TCanvas& canvas, const TVuObjectDrawData& drawData) override;

 private:
  TVuPoint FCorner;
};

// A new object of the class of a kind number (0 to 19), or null for any other number.
std::unique_ptr<TVuBaseObject> CreateVuObject(int kind, TVuResourceTable* resourceTable);

// The objects of one page, owned: deleting or clearing frees them. Each object reports its
// changes to the list, and the list to its page.
class TVuBaseObjectList {
 public:
  TVuBaseObjectList() = default;
  TVuBaseObjectList(const TVuBaseObjectList&) = delete;
  TVuBaseObjectList& operator=(const TVuBaseObjectList&) = delete;

  int Count() const { return int(FItems.size()); }
  void AddObject(std::unique_ptr<TVuBaseObject> object);
  // index is clamped into 0..Count.
  void InsertObject(int index, std::unique_ptr<TVuBaseObject> object);
  // A list index error for an index out of range.
  TVuBaseObject* GetObject(int index) const;
  // Replaces (and frees) the object at index.
  void SetObject(int index, std::unique_ptr<TVuBaseObject> object);
  int IndexOf(const TVuBaseObject* object) const;
  void Delete(int index);
  // Takes the object out of the list without freeing it.
  std::unique_ptr<TVuBaseObject> Extract(int index);
  void Move(int from, int to);
  void Clear();
  void Changed(TPersistent* sender);

  // The list's own change handler, set by its page; the list is the sender.
  std::function<void(TVuBaseObjectList* sender)> OnChange;

 private:
  void Check(int index) const;
  void Hook(TVuBaseObject& object);
  std::vector<std::unique_ptr<TVuBaseObject>> FItems;
};

// Drawing functions on device pixels with the canvas's current pen and brush.
// One filled and outlined polygon through the four corners, the first two repeated so that
// the pen joins every corner.
void VuDrawRect(TCanvas& canvas, const TRect& rect);
// Outlines of lines and Bezier curves, meant to be drawn inside a path.
void VuDrawEllipse(TCanvas& canvas, int x1, int y1, int x2, int y2);
void VuDrawRoundRect(TCanvas& canvas, int x1, int y1, int x2, int y2, int x3, int y3);
// Kind 15 polygon, 16 polyline, 17 poly-Bezier, 18 polyline-to, 19 poly-Bezier-to on points
// 0..last; any other kind draws nothing.
void VuDrawPolyShape(int kind, TCanvas& canvas, const std::vector<QPoint>& points, int last);
