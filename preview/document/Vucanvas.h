// The recording canvas: looks like a device canvas but draws nothing. Every drawing call
// becomes a page object on the current page of its page list, with the current pen, brush
// and font entered as shared resources of the list's table. Positions are given in a
// measurement unit (DefaultMeasurement when a call has none) and stored in inches.
#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <span>
#include "platform/Canvas.h"
#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "preview/core/Vuclasses.h"
#include "preview/document/Vuobjects.h"
#include "preview/document/Vupagelist.h"
#include "preview/document/Vuresource.h"
#include "preview/core/Vutypes.h"

// The one saved copy of the canvas's drawing state.
class TVuCanvasSavedValues : public TPersistent {
 public:
  QString ClassName() const override { return QStringLiteral("TVuCanvasSavedValues"); }
  TVuCoordsRelative CoordsRelativeTo = vuFromPage;
  TBrush Brush;
  TFont Font;
  TPen Pen;
};

class TVuCanvas : public TPersistent {
 public:
  // Records into owner's current page with owner's resource table; neither is owned.
  explicit TVuCanvas(TVuPageList* owner);
  ~TVuCanvas() override;
  TVuCanvas(const TVuCanvas&) = delete;
  TVuCanvas& operator=(const TVuCanvas&) = delete;
  QString ClassName() const override { return QStringLiteral("TVuCanvas"); }

  // ---- published properties
  // Straight through to the resource table's graphic list.
  bool GetCompareImages() const;
  void SetCompareImages(bool value);
  TVuCoordsRelative GetCoordsRelativeTo() const { return FCoordsRelativeTo; }
  void SetCoordsRelativeTo(TVuCoordsRelative value) { FCoordsRelativeTo = value; }
  TVuMeasurement GetDefaultMeasurement() const { return FDefaultMeasurement; }
  void SetDefaultMeasurement(TVuMeasurement value) { FDefaultMeasurement = value; }

  // ---- drawing state
  TBrush& Brush() { return FBrush; }
  TFont& Font() { return FFont; }
  TPen& Pen() { return FPen; }
  Extended GetTextAngle() const { return FTextAngle; }
  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode value) { FCopyMode = value; }
  TAlignment GetTextBoxAlignment() const { return FTextBoxAlignment; }
  void SetTextBoxAlignment(TAlignment value) { FTextBoxAlignment = value; }
  TVuVertAlignment GetTextBoxVertAlignment() const { return FTextBoxVertAlignment; }
  void SetTextBoxVertAlignment(TVuVertAlignment value) { FTextBoxVertAlignment = value; }
  TVuValue& TextBoxPadding() const { return *FTextBoxPadding; }
  void SetTextBoxPadding(const TVuValue& value);
  bool GetTextBoxWordBreak() const { return FTextBoxWordBreak; }
  void SetTextBoxWordBreak(bool value) { FTextBoxWordBreak = value; }
  bool GetDraggable() const { return FDraggable; }
  void SetDraggable(bool value) { FDraggable = value; }
  // Inches.
  const TVuPoint& PenPos() const { return FPenPos; }
  TVuPoint GetPenPos(TVuMeasurement measurement) const;
  TVuPoint GetPenPos() const { return GetPenPos(FDefaultMeasurement); }
  // The object of the last recording call other than the path, clip and remove-clip calls.
  TVuBaseObject* LastObject() const { return FLastObject; }
  // Called by the page list before it frees objects, so that LastObject never points at a
  // freed object: LastObject becomes null when it is object.
  void ForgetObject(const TVuBaseObject* object) {
    if (object && object == FLastObject) FLastObject = nullptr;
  }
  TVuCanvasSavedValues& SavedValues() const { return *FSavedValues; }
  TVuPageList* Owner() const { return FOwner; }

  void SetBrush(const TBrush& brush) { FBrush = brush; }
  void SetFont(const TFont& font) { FFont = font; }
  void SetPen(const TPen& pen) { FPen = pen; }
  void SetBrushValues(TColor color, TBrushStyle style);
  // Width, colour and style in that order.
  void SetPenValues(int width, TColor color, TPenStyle style);
  // The name only when not empty, then size in points, colour and style.
  void SetFontValues(const QString& name, int size, TColor color, TFontStyles style);
  // The font's cell height in pixels becomes round(value in inches x 96).
  void SetFontHeight(Extended value, TVuMeasurement measurement);
  void SetFontHeight(Extended value) { SetFontHeight(value, FDefaultMeasurement); }
  // CoordsRelativeTo, brush, font and pen; a second save overwrites the first.
  void SaveCanvasProperties();
  void LoadCanvasProperties();

  // Scratch resources owned by the canvas, assigned from the current state; callers add
  // them to the resource table and keep the entry returned.
  TVuBrush& AsVuBrush();
  TVuPen& AsVuPen();
  // With its angle set to TextAngle.
  TVuFont& AsVuFont();
  // Hands the object to the page list with CoordsRelativeTo; a visible object takes the
  // canvas's Draggable. Returns the added object.
  TVuBaseObject* AddObjectToPage(std::unique_ptr<TVuBaseObject> object);

  // ---- measuring: results live in a scratch pair that the next measuring call overwrites
  // Width and height of text in Font at 600 pixels per inch, in inches.
  TVuValueSize& TextExtent(const QString& text);
  TVuValue& TextWidth(const QString& text);
  TVuValue& TextHeight(const QString& text);
  // The picture's size at 96 pixels per inch.
  TVuValueSize& GraphicExtent(const TGraphic& graphic);
  TVuValue& GraphicWidth(const TGraphic& graphic);
  TVuValue& GraphicHeight(const TGraphic& graphic);
  // The height a text box width wide needs for text, padding on all sides included, laid
  // out at the font mapper's resolution; in measurement.
  Extended TextBoxHeightExt(Extended width, Extended padding, const QString& text, TVuMeasurement measurement);
  Extended TextBoxHeightExt(Extended width, Extended padding, const QString& text) {
    return TextBoxHeightExt(width, padding, text, FDefaultMeasurement);
  }
  Extended TextBoxHeight(Extended width, const QString& text, TVuMeasurement measurement);
  Extended TextBoxHeight(Extended width, const QString& text) { return TextBoxHeight(width, text, FDefaultMeasurement); }

  // ---- text
  // The common recorder of texts: (x, y) is the top-left of the text cell; clip null
  // records an unclipped text.
  TVuTextObject* TextOutExt(Extended x, Extended y, Extended angle, const TVuRect* clip, const QString& text,
                            TVuMeasurement measurement);
  TVuTextObject* TextOutExt(Extended x, Extended y, Extended angle, const TVuRect* clip, const QString& text) {
    return TextOutExt(x, y, angle, clip, text, FDefaultMeasurement);
  }
  TVuTextObject* TextOut(Extended x, Extended y, const QString& text, TVuMeasurement measurement);
  TVuTextObject* TextOut(Extended x, Extended y, const QString& text) { return TextOut(x, y, text, FDefaultMeasurement); }
  TVuTextObject* TextOutLeft(Extended x, Extended y, const QString& text, TVuMeasurement measurement) {
    return TextOut(x, y, text, measurement);
  }
  TVuTextObject* TextOutLeft(Extended x, Extended y, const QString& text) { return TextOut(x, y, text); }
  // x is the centre (the right end) of the text.
  TVuTextObject* TextOutCenter(Extended x, Extended y, const QString& text, TVuMeasurement measurement);
  TVuTextObject* TextOutCenter(Extended x, Extended y, const QString& text) {
    return TextOutCenter(x, y, text, FDefaultMeasurement);
  }
  TVuTextObject* TextOutRight(Extended x, Extended y, const QString& text, TVuMeasurement measurement);
  TVuTextObject* TextOutRight(Extended x, Extended y, const QString& text) {
    return TextOutRight(x, y, text, FDefaultMeasurement);
  }
  // angle in degrees, counter-clockwise.
  TVuTextObject* RotateOut(Extended x, Extended y, Extended angle, const QString& text, TVuMeasurement measurement);
  TVuTextObject* RotateOut(Extended x, Extended y, Extended angle, const QString& text) {
    return RotateOut(x, y, angle, text, FDefaultMeasurement);
  }
  // The value formatted with the format picture, right-aligned at x.
  TVuTextObject* FloatOut(Extended x, Extended y, Extended value, const QString& format, TVuMeasurement measurement);
  TVuTextObject* FloatOut(Extended x, Extended y, Extended value, const QString& format) {
    return FloatOut(x, y, value, format, FDefaultMeasurement);
  }
  TVuTextObject* TextRect(const TVuRect& rect, Extended x, Extended y, const QString& text, TVuMeasurement measurement);
  TVuTextObject* TextRect(const TVuRect& rect, Extended x, Extended y, const QString& text) {
    return TextRect(rect, x, y, text, FDefaultMeasurement);
  }
  // A text clipped to a band width wide and one text high, aligned at x.
  TVuTextObject* TextClipped(Extended x, Extended y, const QString& text, Extended width, TAlignment alignment,
                             TVuMeasurement measurement);
  TVuTextObject* TextClipped(Extended x, Extended y, const QString& text, Extended width, TAlignment alignment) {
    return TextClipped(x, y, text, width, alignment, FDefaultMeasurement);
  }
  // y2 = 0 grows the box to fit its text.
  TVuTextBoxObject* TextBoxExt(Extended x1, Extended y1, Extended x2, Extended y2, Extended padding,
                               const QString& text, TAlignment alignment, TVuVertAlignment vertAlignment,
                               TVuMeasurement measurement);
  TVuTextBoxObject* TextBoxExt(Extended x1, Extended y1, Extended x2, Extended y2, Extended padding,
                               const QString& text, TAlignment alignment, TVuVertAlignment vertAlignment) {
    return TextBoxExt(x1, y1, x2, y2, padding, text, alignment, vertAlignment, FDefaultMeasurement);
  }
  // With TextBoxPadding.
  TVuTextBoxObject* TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text,
                            TAlignment alignment, TVuVertAlignment vertAlignment, TVuMeasurement measurement);
  TVuTextBoxObject* TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text,
                            TAlignment alignment, TVuVertAlignment vertAlignment) {
    return TextBox(x1, y1, x2, y2, text, alignment, vertAlignment, FDefaultMeasurement);
  }
  // With TextBoxAlignment and TextBoxVertAlignment.
  TVuTextBoxObject* TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text,
                            TVuMeasurement measurement) {
    return TextBox(x1, y1, x2, y2, text, FTextBoxAlignment, FTextBoxVertAlignment, measurement);
  }
  TVuTextBoxObject* TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text) {
    return TextBox(x1, y1, x2, y2, text, FTextBoxAlignment, FTextBoxVertAlignment, FDefaultMeasurement);
  }

  // ---- lines and shapes
  // PenPos is not changed.
  TVuLineObject* Line(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement measurement);
  TVuLineObject* Line(Extended x1, Extended y1, Extended x2, Extended y2) {
    return Line(x1, y1, x2, y2, FDefaultMeasurement);
  }
  void MoveTo(Extended x, Extended y, TVuMeasurement measurement);
  void MoveTo(Extended x, Extended y) { MoveTo(x, y, FDefaultMeasurement); }
  TVuLineObject* LineTo(Extended x, Extended y, TVuMeasurement measurement);
  TVuLineObject* LineTo(Extended x, Extended y) { return LineTo(x, y, FDefaultMeasurement); }
  TVuRectangleShape* Rectangle(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement measurement);
  TVuRectangleShape* Rectangle(Extended x1, Extended y1, Extended x2, Extended y2) {
    return Rectangle(x1, y1, x2, y2, FDefaultMeasurement);
  }
  TVuEllipseShape* Ellipse(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement measurement);
  TVuEllipseShape* Ellipse(Extended x1, Extended y1, Extended x2, Extended y2) {
    return Ellipse(x1, y1, x2, y2, FDefaultMeasurement);
  }
  // x3, y3: width and height of the corner ellipses.
  TVuRoundRectShape* RoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                               TVuMeasurement measurement);
  TVuRoundRectShape* RoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3) {
    return RoundRect(x1, y1, x2, y2, x3, y3, FDefaultMeasurement);
  }
  TVuArcShape* Arc(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                   Extended y4, TVuMeasurement measurement);
  TVuArcShape* Arc(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                   Extended y4) {
    return Arc(x1, y1, x2, y2, x3, y3, x4, y4, FDefaultMeasurement);
  }
  TVuChordShape* Chord(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                       Extended y4, TVuMeasurement measurement);
  TVuChordShape* Chord(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                       Extended y4) {
    return Chord(x1, y1, x2, y2, x3, y3, x4, y4, FDefaultMeasurement);
  }
  TVuPieShape* Pie(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                   Extended y4, TVuMeasurement measurement);
  TVuPieShape* Pie(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                   Extended y4) {
    return Pie(x1, y1, x2, y2, x3, y3, x4, y4, FDefaultMeasurement);
  }
  // Points 0..last of points (in measurement); a last outside the array is a list index
  // error. The polygon takes brush and pen, the others the pen only; the "to" forms start
  // at the device's current position when drawn, which MoveTo does not set.
  TVuPolygonObject* Polygon(std::span<const TVuPoint> points, int last, TVuMeasurement measurement);
  TVuPolygonObject* Polygon(std::span<const TVuPoint> points, int last) {
    return Polygon(points, last, FDefaultMeasurement);
  }
  TVuPolylineObject* Polyline(std::span<const TVuPoint> points, int last, TVuMeasurement measurement);
  TVuPolylineObject* Polyline(std::span<const TVuPoint> points, int last) {
    return Polyline(points, last, FDefaultMeasurement);
  }
  TVuPolyBezierObject* PolyBezier(std::span<const TVuPoint> points, int last, TVuMeasurement measurement);
  TVuPolyBezierObject* PolyBezier(std::span<const TVuPoint> points, int last) {
    return PolyBezier(points, last, FDefaultMeasurement);
  }
  TVuPolylineToObject* PolylineTo(std::span<const TVuPoint> points, int last, TVuMeasurement measurement);
  TVuPolylineToObject* PolylineTo(std::span<const TVuPoint> points, int last) {
    return PolylineTo(points, last, FDefaultMeasurement);
  }
  TVuPolyBezierToObject* PolyBezierTo(std::span<const TVuPoint> points, int last, TVuMeasurement measurement);
  TVuPolyBezierToObject* PolyBezierTo(std::span<const TVuPoint> points, int last) {
    return PolyBezierTo(points, last, FDefaultMeasurement);
  }

  // ---- pictures
  TVuGraphicObject* StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const TGraphic& graphic,
                                TVuMeasurement measurement);
  TVuGraphicObject* StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const TGraphic& graphic) {
    return StretchDraw(x1, y1, x2, y2, graphic, FDefaultMeasurement);
  }
  // The picture at 96 pixels per inch times scale, top-left at (x, y).
  TVuGraphicObject* Draw(Extended x, Extended y, const TGraphic& graphic, Extended scale, TVuMeasurement measurement);
  TVuGraphicObject* Draw(Extended x, Extended y, const TGraphic& graphic, Extended scale) {
    return Draw(x, y, graphic, scale, FDefaultMeasurement);
  }

  // ---- paths and clipping (LastObject stays)
  TVuPathObject* BeginPath();
  TVuPathObject* EndPath();
  TVuPathObject* FillPath();
  TVuPathObject* StrokePath();
  TVuPathObject* StrokeAndFillPath();
  TVuPathObject* CloseFigure();
  TVuClipRectObject* SetClipRect(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement measurement);
  TVuClipRectObject* SetClipRect(Extended x1, Extended y1, Extended x2, Extended y2) {
    return SetClipRect(x1, y1, x2, y2, FDefaultMeasurement);
  }
  TVuClipEllipseObject* SetClipEllipse(Extended x1, Extended y1, Extended x2, Extended y2,
                                       TVuMeasurement measurement);
  TVuClipEllipseObject* SetClipEllipse(Extended x1, Extended y1, Extended x2, Extended y2) {
    return SetClipEllipse(x1, y1, x2, y2, FDefaultMeasurement);
  }
  TVuClipRoundRectObject* SetClipRoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                                           Extended y3, TVuMeasurement measurement);
  TVuClipRoundRectObject* SetClipRoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                                           Extended y3) {
    return SetClipRoundRect(x1, y1, x2, y2, x3, y3, FDefaultMeasurement);
  }
  TVuRemoveClipObject* RemoveClipRgn();

 private:
  TVuResourceTable& Table() const;
  // Enters the current brush, pen or font in the table and gives the entry to the object.
  void TakeBrush(TVuSolidShape& shape);
  void TakePen(TVuOutlineShape& shape);
  void TakeFont(TVuBaseTextObject& text);
  template <class T>
  T* Record(std::unique_ptr<T> object);
  template <class T>
  T* RecordShape(TVuMeasurement measurement, Extended x1, Extended y1, Extended x2, Extended y2);
  template <class T>
  T* RecordComplex(TVuMeasurement measurement, const TVuComplexCoords& coords);
  template <class T>
  T* RecordPoly(std::span<const TVuPoint> points, int last, TVuMeasurement measurement, bool withBrush);
  TVuPathObject* RecordPath(TVuPathObjectType type);
  // The canvas measuring surface: a metafile canvas with its font at 600 ppi.
  TCanvas& MeasureCanvas();

  TVuPageList* FOwner;
  TVuCoordsRelative FCoordsRelativeTo = vuFromPage;
  TVuMeasurement FDefaultMeasurement = vuMillimeters;
  TBrush FBrush;
  TFont FFont;
  TPen FPen;
  Extended FTextAngle = 0;
  TCopyMode FCopyMode = cmSrcCopy;
  TAlignment FTextBoxAlignment = taLeftJustify;
  TVuVertAlignment FTextBoxVertAlignment = vuTop;
  std::unique_ptr<TVuValue> FTextBoxPadding;
  bool FTextBoxWordBreak = true;
  bool FDraggable = true;
  TVuPoint FPenPos;
  TVuBaseObject* FLastObject = nullptr;
  TVuBrush FScratchBrush;
  TVuFont FScratchFont;
  TVuPen FScratchPen;
  std::unique_ptr<TVuValueSize> FExtent;
  std::unique_ptr<TVuCanvasSavedValues> FSavedValues;
  std::unique_ptr<TMetafile> FMeasureMetafile;
  std::unique_ptr<TMetafileCanvas> FMeasureCanvas;
};
