// Page objects: one per drawing call recorded on a page. Each keeps its geometry in inches
// from the page's top-left corner and pointers to shared pens, brushes, fonts and pictures
// of the page list's resource table, and draws itself on any surface at any resolution:
// a device coordinate is round(inches x pixels per inch), halves to even, nothing added.
// This header: the base classes, the object list of a page and the drawing functions.
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

