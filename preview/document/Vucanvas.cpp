// The recording canvas: drawing calls become page objects on the current page.
#include "preview/document/Vucanvas.h"
#include "platform/Finally.h"
#include <QLocale>
#include <algorithm>
#include <cmath>
#include "platform/Errors.h"
#include "platform/Metafile.h"
#include "preview/core/Vufuncs.h"

namespace {

// The measuring resolution of texts.
constexpr int kMeasurePpi = 600;
// Pictures keep 96 of their pixels to the inch.
constexpr Extended kPicturePpi = 96;

// A number through a format picture of the float formatting: '0' a digit always shown, '#'
// a digit shown when significant, '.' the decimal point, ',' anywhere before it groups the
// thousands; the characters before and after the picture are copied. An empty picture
// gives the shortest exact form of up to 15 digits.
QString FormatFloat(const QString& format, Extended value) {
  const QLocale locale;
  if (format.isEmpty()) return locale.toString(double(value), 'g', 15);
  auto isPicture = [](QChar c) { return c == u'0' || c == u'#' || c == u'.' || c == u','; };
  qsizetype first = 0;
  while (first < format.size() && !isPicture(format[first])) ++first;
  qsizetype last = format.size();
  while (last > first && !isPicture(format[last - 1])) --last;
  const QString prefix = format.left(first), suffix = format.mid(last), picture = format.mid(first, last - first);
  const qsizetype point = picture.indexOf(u'.');
  const QString integral = point < 0 ? picture : picture.left(point);
  const QString fraction = point < 0 ? QString() : picture.mid(point + 1);
  const bool grouped = integral.contains(u',');
  const int minInt = int(integral.count(u'0'));
  const int maxDec = int(fraction.count(u'0') + fraction.count(u'#'));
  int minDec = 0;
  for (QChar c : fraction) {
    if (c == u'0') ++minDec;
    else if (c == u'#') break;
  }
  QString digits = QString::number(double(std::fabs(value)), 'f', maxDec);
  QString intPart = digits, decPart;
  if (const qsizetype dot = digits.indexOf(u'.'); dot >= 0) {
    intPart = digits.left(dot);
    decPart = digits.mid(dot + 1);
  }
  while (decPart.size() > minDec && decPart.endsWith(u'0')) decPart.chop(1);
  if (intPart == QLatin1String("0") && minInt == 0) intPart.clear();
  while (intPart.size() < minInt) intPart.prepend(u'0');
  if (grouped)
    for (qsizetype i = intPart.size() - 3; i > 0; i -= 3) intPart.insert(i, locale.groupSeparator());
  QString result = intPart;
  if (!decPart.isEmpty()) result += locale.decimalPoint() + decPart;
  if (result.isEmpty()) result = QStringLiteral("0");
  const bool negative = value < 0 && std::any_of(result.begin(), result.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
  return prefix + (negative ? QStringLiteral("-") : QString()) + result + suffix;
}

}  // namespace

TVuCanvas::TVuCanvas(TVuPageList* owner) : FOwner(owner) {
  FBrush.Style = bsClear;
  FBrush.Color = clWhite;
  FFont.Name = QStringLiteral("Arial");
  FFont.SetSize(10);
  FPen.Width = 1;
  FPen.Color = clBlack;
  FPen.Style = psSolid;
  FPen.Mode = pmCopy;
  FTextBoxPadding = std::make_unique<TVuValue>(1, vuMillimeters);
  FExtent = std::make_unique<TVuValueSize>();
  FSavedValues = std::make_unique<TVuCanvasSavedValues>();
}

TVuCanvas::~TVuCanvas() = default;

TVuResourceTable& TVuCanvas::Table() const { return FOwner->ResourceTable(); }

bool TVuCanvas::GetCompareImages() const { return Table().Graphics().CompareGraphics; }
void TVuCanvas::SetCompareImages(bool value) { Table().Graphics().CompareGraphics = value; }

void TVuCanvas::SetTextBoxPadding(const TVuValue& value) { FTextBoxPadding->Assign(&value); }

TVuPoint TVuCanvas::GetPenPos(TVuMeasurement measurement) const {
  return ConvertVuPoint(FPenPos, vuInches, measurement);
}

void TVuCanvas::SetBrushValues(TColor color, TBrushStyle style) {
  FBrush.Color = color;
  FBrush.Style = style;
}

void TVuCanvas::SetPenValues(int width, TColor color, TPenStyle style) {
  FPen.Width = width;
  FPen.Color = color;
  FPen.Style = style;
}

void TVuCanvas::SetFontValues(const QString& name, int size, TColor color, TFontStyles style) {
  if (!name.isEmpty()) FFont.Name = name;
  FFont.SetSize(size);
  FFont.Color = color;
  FFont.Style = style;
}

void TVuCanvas::SetFontHeight(Extended value, TVuMeasurement measurement) {
  FFont.Height = VuRound(ConvertValue(value, measurement, vuInches) * kPicturePpi);
}

void TVuCanvas::SaveCanvasProperties() {
  FSavedValues->CoordsRelativeTo = FCoordsRelativeTo;
  FSavedValues->Brush = FBrush;
  FSavedValues->Font = FFont;
  FSavedValues->Pen = FPen;
}

void TVuCanvas::LoadCanvasProperties() {
  FCoordsRelativeTo = FSavedValues->CoordsRelativeTo;
  FBrush = FSavedValues->Brush;
  FFont = FSavedValues->Font;
  FPen = FSavedValues->Pen;
}

TVuBrush& TVuCanvas::AsVuBrush() {
  FScratchBrush.Assign(FBrush);
  return FScratchBrush;
}

TVuPen& TVuCanvas::AsVuPen() {
  FScratchPen.Assign(FPen);
  return FScratchPen;
}

TVuFont& TVuCanvas::AsVuFont() {
  FScratchFont.Assign(FFont);
  FScratchFont.SetAngle(FTextAngle);
  return FScratchFont;
}

void TVuCanvas::TakeBrush(TVuSolidShape& shape) { shape.SetBrush(Table().Brushes().AddBrush(&AsVuBrush())); }
void TVuCanvas::TakePen(TVuOutlineShape& shape) { shape.SetPen(Table().Pens().AddPen(&AsVuPen())); }
void TVuCanvas::TakeFont(TVuBaseTextObject& text) { text.SetFont(Table().Fonts().AddFont(&AsVuFont())); }

TVuBaseObject* TVuCanvas::AddObjectToPage(std::unique_ptr<TVuBaseObject> object) {
  if (!object) return nullptr;
  if (object->IsVisibleObject()) static_cast<TVuVisibleObject*>(object.get())->SetDraggable(FDraggable);
  return FOwner->AddObject(std::move(object), FCoordsRelativeTo);
}

template <class T>
T* TVuCanvas::Record(std::unique_ptr<T> object) {
  T* raw = object.get();
  AddObjectToPage(std::move(object));
  FLastObject = raw;
  return raw;
}

// ---- measuring --------------------------------------------------------------------------

TCanvas& TVuCanvas::MeasureCanvas() {
  if (!FMeasureCanvas) {
    FMeasureMetafile = std::make_unique<TMetafile>();
    FMeasureCanvas = std::make_unique<TMetafileCanvas>(*FMeasureMetafile);
  }
  TCanvas& canvas = *FMeasureCanvas;
  canvas.Font() = FFont;
  canvas.Font().PixelsPerInch = kMeasurePpi;
  canvas.Font().SetSize(FFont.Size());
  return canvas;
}

TVuValueSize& TVuCanvas::TextExtent(const QString& text) {
  const QSize size = MeasureCanvas().TextExtent(text);
  FExtent->Width().SetAsInches(Extended(size.width()) / kMeasurePpi);
  FExtent->Height().SetAsInches(Extended(size.height()) / kMeasurePpi);
  return *FExtent;
}

TVuValue& TVuCanvas::TextWidth(const QString& text) { return TextExtent(text).Width(); }
TVuValue& TVuCanvas::TextHeight(const QString& text) { return TextExtent(text).Height(); }

TVuValueSize& TVuCanvas::GraphicExtent(const TGraphic& graphic) {
  FExtent->Width().SetAsInches(graphic.Width() / kPicturePpi);
  FExtent->Height().SetAsInches(graphic.Height() / kPicturePpi);
  return *FExtent;
}

TVuValue& TVuCanvas::GraphicWidth(const TGraphic& graphic) { return GraphicExtent(graphic).Width(); }
TVuValue& TVuCanvas::GraphicHeight(const TGraphic& graphic) { return GraphicExtent(graphic).Height(); }

Extended TVuCanvas::TextBoxHeightExt(Extended width, Extended padding, const QString& text, TVuMeasurement m) {
  const Extended w = ConvertValue(width, m, vuInches), p = ConvertValue(padding, m, vuInches);
  TVuFontMapper& mapper = VuFontMapper();
  mapper.WordWrap = FTextBoxWordBreak;
  mapper.MapperPpi = FontMapperPpi;
  const TRect rect{0, 0, VuRound((w - 2 * p) * FontMapperPpi), 0};
  const Extended laidOut = mapper.TextBoxHeight(FFont, rect, text);
  // Whole pixels at the mapper's resolution, so the box breaks its lines alike everywhere.
  const Extended h = Extended(VuRound(laidOut * FontMapperPpi)) / FontMapperPpi;
  return ConvertValue(h + 2 * p, vuInches, m);
}

Extended TVuCanvas::TextBoxHeight(Extended width, const QString& text, TVuMeasurement m) {
  return TextBoxHeightExt(width, FTextBoxPadding->GetVuValue(m), text, m);
}

// ---- text -------------------------------------------------------------------------------

TVuTextObject* TVuCanvas::TextOutExt(Extended x, Extended y, Extended angle, const TVuRect* clip, const QString& text,
                                     TVuMeasurement m) {
  auto object = std::make_unique<TVuTextObject>(&Table());
  object->SetX(m, x);
  object->SetY(m, y);
  object->SetCaption(text);
  if (clip) object->SetClipRect(m, *clip);
  else object->SetClipRect(vuInches, VuNoClipRect);
  FTextAngle = angle;
  TryFinally([&] { TakeFont(*object); }, [&] { FTextAngle = 0; });
  TakeBrush(*object);
  TakePen(*object);
  return Record(std::move(object));
}

TVuTextObject* TVuCanvas::TextOut(Extended x, Extended y, const QString& text, TVuMeasurement m) {
  return TextOutExt(x, y, 0, nullptr, text, m);
}

TVuTextObject* TVuCanvas::TextOutCenter(Extended x, Extended y, const QString& text, TVuMeasurement m) {
  return TextOut(x - TextWidth(text).GetVuValue(m) / 2, y, text, m);
}

TVuTextObject* TVuCanvas::TextOutRight(Extended x, Extended y, const QString& text, TVuMeasurement m) {
  return TextOut(x - TextWidth(text).GetVuValue(m), y, text, m);
}

TVuTextObject* TVuCanvas::RotateOut(Extended x, Extended y, Extended angle, const QString& text, TVuMeasurement m) {
  return TextOutExt(x, y, angle, nullptr, text, m);
}

TVuTextObject* TVuCanvas::FloatOut(Extended x, Extended y, Extended value, const QString& format, TVuMeasurement m) {
  return TextOutRight(x, y, FormatFloat(format, value), m);
}

TVuTextObject* TVuCanvas::TextRect(const TVuRect& rect, Extended x, Extended y, const QString& text, TVuMeasurement m) {
  return TextOutExt(x, y, 0, &rect, text, m);
}

TVuTextObject* TVuCanvas::TextClipped(Extended x, Extended y, const QString& text, Extended width,
                                      TAlignment alignment, TVuMeasurement m) {
  const TVuValueSize& extent = TextExtent(text);
  const Extended tw = extent.Width().GetVuValue(m), th = extent.Height().GetVuValue(m);
  TVuRect band = VuRect(x, y, x + width, y + th);
  Extended start = x;
  if (alignment == taRightJustify) {
    band.Left = x - width;
    band.Right = x;
    start = x - tw;
  } else if (alignment == taCenter) {
    band.Left = x - width / 2;
    band.Right = x + width / 2;
    start = x - tw / 2;
  }
  return TextOutExt(start, y, 0, &band, text, m);
}

TVuTextBoxObject* TVuCanvas::TextBoxExt(Extended x1, Extended y1, Extended x2, Extended y2, Extended padding,
                                        const QString& text, TAlignment alignment, TVuVertAlignment vertAlignment,
                                        TVuMeasurement m) {
  auto box = std::make_unique<TVuTextBoxObject>(&Table());
  box->SetX(m, x1);
  box->SetY(m, y1);
  box->SetX2(m, x2);
  const Extended pad = ConvertValue(padding, m, vuInches);
  if (y2 == 0 || vertAlignment != vuTop) {
    const Extended h = TextBoxHeightExt(box->GetX2(vuInches) - box->GetX(vuInches), pad, text, vuInches);
    if (y2 == 0) box->SetY2(vuInches, box->GetY(vuInches) + h);
    else box->SetY2(m, y2);
    box->SetContentHeight(h);
  } else {
    box->SetY2(m, y2);
    box->SetContentHeight(box->GetY2(vuInches) - box->GetY(vuInches));
  }
  box->SetPadding(pad);
  box->SetAlignment(alignment);
  box->SetVertAlignment(vertAlignment);
  TakeBrush(*box);
  TakeFont(*box);
  TakePen(*box);
  box->SetCaption(text);
  box->SetWordBreak(FTextBoxWordBreak);
  return Record(std::move(box));
}

TVuTextBoxObject* TVuCanvas::TextBox(Extended x1, Extended y1, Extended x2, Extended y2, const QString& text,
                                     TAlignment alignment, TVuVertAlignment vertAlignment, TVuMeasurement m) {
  return TextBoxExt(x1, y1, x2, y2, FTextBoxPadding->GetVuValue(m), text, alignment, vertAlignment, m);
}

// ---- lines and shapes -------------------------------------------------------------------

TVuLineObject* TVuCanvas::Line(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement m) {
  auto line = std::make_unique<TVuLineObject>(&Table());
  TakePen(*line);
  line->SetCoords(m, VuRect(x1, y1, x2, y2));
  return Record(std::move(line));
}

void TVuCanvas::MoveTo(Extended x, Extended y, TVuMeasurement m) { FPenPos = ConvertVuPoint(VuPoint(x, y), m, vuInches); }

TVuLineObject* TVuCanvas::LineTo(Extended x, Extended y, TVuMeasurement m) {
  const TVuPoint end = ConvertVuPoint(VuPoint(x, y), m, vuInches);
  TVuLineObject* line = Line(FPenPos.X, FPenPos.Y, end.X, end.Y, vuInches);
  FPenPos = end;
  return line;
}

template <class T>
T* TVuCanvas::RecordShape(TVuMeasurement m, Extended x1, Extended y1, Extended x2, Extended y2) {
  auto shape = std::make_unique<T>(&Table());
  TakeBrush(*shape);
  TakePen(*shape);
  shape->SetCoords(m, VuRect(x1, y1, x2, y2));
  return Record(std::move(shape));
}

TVuRectangleShape* TVuCanvas::Rectangle(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement m) {
  return RecordShape<TVuRectangleShape>(m, x1, y1, x2, y2);
}

TVuEllipseShape* TVuCanvas::Ellipse(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement m) {
  return RecordShape<TVuEllipseShape>(m, x1, y1, x2, y2);
}

TVuRoundRectShape* TVuCanvas::RoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                                        TVuMeasurement m) {
  auto shape = std::make_unique<TVuRoundRectShape>(&Table());
  TakeBrush(*shape);
  TakePen(*shape);
  shape->SetCoords(m, VuRect(x1, y1, x2, y2));
  shape->SetX3(m, x3);
  shape->SetY3(m, y3);
  return Record(std::move(shape));
}

template <class T>
T* TVuCanvas::RecordComplex(TVuMeasurement m, const TVuComplexCoords& coords) {
  auto shape = std::make_unique<T>(&Table());
  TakeBrush(*shape);
  TakePen(*shape);
  shape->SetCoords(m, coords);
  return Record(std::move(shape));
}

TVuArcShape* TVuCanvas::Arc(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                            Extended y4, TVuMeasurement m) {
  return RecordComplex<TVuArcShape>(m, VuComplexCoords(x1, y1, x2, y2, x3, y3, x4, y4));
}

TVuChordShape* TVuCanvas::Chord(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3,
                                Extended x4, Extended y4, TVuMeasurement m) {
  return RecordComplex<TVuChordShape>(m, VuComplexCoords(x1, y1, x2, y2, x3, y3, x4, y4));
}

TVuPieShape* TVuCanvas::Pie(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3, Extended y3, Extended x4,
                            Extended y4, TVuMeasurement m) {
  return RecordComplex<TVuPieShape>(m, VuComplexCoords(x1, y1, x2, y2, x3, y3, x4, y4));
}

template <class T>
T* TVuCanvas::RecordPoly(std::span<const TVuPoint> points, int last, TVuMeasurement m, bool withBrush) {
  // last -1 records no points; anything past the array is refused before it is read.
  if (last < -1 || last >= int(points.size())) RaiseListIndexError(last);
  auto poly = std::make_unique<T>(&Table());
  if (withBrush) TakeBrush(*poly);
  TakePen(*poly);
  poly->SetPoints(m, TVuPolyPoints(points.begin(), points.begin() + (last + 1)));
  return Record(std::move(poly));
}

TVuPolygonObject* TVuCanvas::Polygon(std::span<const TVuPoint> points, int last, TVuMeasurement m) {
  return RecordPoly<TVuPolygonObject>(points, last, m, true);
}

TVuPolylineObject* TVuCanvas::Polyline(std::span<const TVuPoint> points, int last, TVuMeasurement m) {
  return RecordPoly<TVuPolylineObject>(points, last, m, false);
}

TVuPolyBezierObject* TVuCanvas::PolyBezier(std::span<const TVuPoint> points, int last, TVuMeasurement m) {
  return RecordPoly<TVuPolyBezierObject>(points, last, m, false);
}

TVuPolylineToObject* TVuCanvas::PolylineTo(std::span<const TVuPoint> points, int last, TVuMeasurement m) {
  return RecordPoly<TVuPolylineToObject>(points, last, m, false);
}

TVuPolyBezierToObject* TVuCanvas::PolyBezierTo(std::span<const TVuPoint> points, int last, TVuMeasurement m) {
  return RecordPoly<TVuPolyBezierToObject>(points, last, m, false);
}

// ---- pictures ---------------------------------------------------------------------------

TVuGraphicObject* TVuCanvas::StretchDraw(Extended x1, Extended y1, Extended x2, Extended y2, const TGraphic& graphic,
                                         TVuMeasurement m) {
  auto object = std::make_unique<TVuGraphicObject>(&Table());
  object->SetGraphic(&graphic);
  object->SetCopyMode(FCopyMode);
  object->SetCoords(m, VuRect(x1, y1, x2, y2));
  return Record(std::move(object));
}

TVuGraphicObject* TVuCanvas::Draw(Extended x, Extended y, const TGraphic& graphic, Extended scale, TVuMeasurement m) {
  const TVuValueSize& extent = GraphicExtent(graphic);
  const Extended w = extent.Width().GetVuValue(m) * scale, h = extent.Height().GetVuValue(m) * scale;
  return StretchDraw(x, y, x + w, y + h, graphic, m);
}

// ---- paths and clipping -----------------------------------------------------------------

TVuPathObject* TVuCanvas::RecordPath(TVuPathObjectType type) {
  auto path = std::make_unique<TVuPathObject>(&Table());
  path->SetPathType(type);
  return static_cast<TVuPathObject*>(AddObjectToPage(std::move(path)));
}

TVuPathObject* TVuCanvas::BeginPath() { return RecordPath(vuBeginPath); }
TVuPathObject* TVuCanvas::EndPath() { return RecordPath(vuEndPath); }
TVuPathObject* TVuCanvas::FillPath() { return RecordPath(vuFillPath); }
TVuPathObject* TVuCanvas::StrokePath() { return RecordPath(vuStrokePath); }
TVuPathObject* TVuCanvas::StrokeAndFillPath() { return RecordPath(vuStrokeAndFillPath); }
TVuPathObject* TVuCanvas::CloseFigure() { return RecordPath(vuCloseFigure); }

TVuClipRectObject* TVuCanvas::SetClipRect(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement m) {
  auto clip = std::make_unique<TVuClipRectObject>(&Table());
  clip->SetClipCoords(m, VuRect(x1, y1, x2, y2));
  return static_cast<TVuClipRectObject*>(AddObjectToPage(std::move(clip)));
}

TVuClipEllipseObject* TVuCanvas::SetClipEllipse(Extended x1, Extended y1, Extended x2, Extended y2, TVuMeasurement m) {
  auto clip = std::make_unique<TVuClipEllipseObject>(&Table());
  clip->SetClipCoords(m, VuRect(x1, y1, x2, y2));
  return static_cast<TVuClipEllipseObject*>(AddObjectToPage(std::move(clip)));
}

TVuClipRoundRectObject* TVuCanvas::SetClipRoundRect(Extended x1, Extended y1, Extended x2, Extended y2, Extended x3,
                                                    Extended y3, TVuMeasurement m) {
  auto clip = std::make_unique<TVuClipRoundRectObject>(&Table());
  clip->SetClipCoords(m, VuRect(x1, y1, x2, y2));
  clip->SetCorner(m, VuPoint(x3, y3));
  return static_cast<TVuClipRoundRectObject*>(AddObjectToPage(std::move(clip)));
}

TVuRemoveClipObject* TVuCanvas::RemoveClipRgn() {
  return static_cast<TVuRemoveClipObject*>(AddObjectToPage(std::make_unique<TVuRemoveClipObject>(&Table())));
}
