// Page objects that draw: outlined and solid shapes, texts, lines, pictures and polygons.
#pragma once
#include "preview/document/VuobjectsBase.h"

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
