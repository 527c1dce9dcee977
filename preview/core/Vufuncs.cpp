#include "preview/core/Vufuncs.h"
#include <QFontMetricsF>
#include <QImage>
#include <QStringList>
#include <array>
#include "platform/DateTime.h"
#include "platform/Graphics.h"

namespace {
constexpr Extended MmPerInch = 25.4L;

Extended ToInches(Extended x, TVuMeasurement unit) {
  switch (unit) {
    case vuUnits: return (x / 100) / MmPerInch;
    case vuPixels: return x / 96;
    case vuMillimeters: return x / MmPerInch;
    case vuCentimeters: return (x * 10) / MmPerInch;
    case vuTwips: return x / 1440;
    case vuInches: break;
  }
  return x;
}

Extended FromInches(Extended i, TVuMeasurement unit) {
  switch (unit) {
    case vuUnits: return (i * MmPerInch) * 100;
    case vuPixels: return i * 96;
    case vuMillimeters: return i * MmPerInch;
    case vuCentimeters: return (i * MmPerInch) / 10;
    case vuTwips: return i * 1440;
    case vuInches: break;
  }
  return i;
}

struct TPaperRow {
  const char* Name;
  Extended Width;
  Extended Height;
  TVuMeasurement Unit;
};

// Indexed by TVuPaperSize. The numbers are exactly the ones the page files were made with,
// including the rows that are not the nominal sizes of the paper they name.
constexpr std::array<TPaperRow, VuPaperSizeCount> PaperTable{{
    {"A3", 297, 420, vuMillimeters},
    {"A4", 210, 297, vuMillimeters},
    {"A5", 148.5L, 210, vuMillimeters},
    {"A6", 105, 148, vuMillimeters},
    {"B5", 6.92L, 9.84L, vuInches},
    {"C5", 6.38L, 9.02L, vuInches},
    {"Legal", 8.5L, 14, vuInches},
    {"Letter", 8.5L, 11, vuInches},
    {"Custom", 210, 297, vuMillimeters},
    {"B4", 250, 354, vuMillimeters},
    {"Envelope_09", 3.78L, 8.78L, vuInches},
    {"Envelope_10", 4.18L, 9.12L, vuInches},
    {"Envelope_11", 4.12L, 10.38L, vuInches},
    {"Envelope_12", 12.44L, 11, vuInches},
    {"Envelope_14", 14.5L, 11.12L, vuInches},
    {"Tabloid", 11, 17, vuInches},
    {"Ledger", 17, 11, vuInches},
    {"Executive", 7.14L, 10.12L, vuInches},
}};

bool ValidPaper(TVuPaperSize paper) { return paper >= A3 && paper <= Executive; }

}  // namespace

Extended ConvertValue(Extended value, TVuMeasurement from, TVuMeasurement to) {
  if (from == to) return value;
  return FromInches(ToInches(value, from), to);
}

TVuPoint ConvertVuPoint(const TVuPoint& p, TVuMeasurement from, TVuMeasurement to) {
  return {ConvertValue(p.X, from, to), ConvertValue(p.Y, from, to)};
}

TVuSize ConvertVuSize(const TVuSize& s, TVuMeasurement from, TVuMeasurement to) {
  return {ConvertValue(s.Width, from, to), ConvertValue(s.Height, from, to)};
}

TVuRect ConvertVuRect(const TVuRect& r, TVuMeasurement from, TVuMeasurement to) {
  return {ConvertValue(r.Left, from, to), ConvertValue(r.Top, from, to),
          ConvertValue(r.Right, from, to), ConvertValue(r.Bottom, from, to)};
}

TVuComplexCoords ConvertVuComplexCoords(const TVuComplexCoords& c, TVuMeasurement from,
                                        TVuMeasurement to) {
  auto cv = [&](Extended v) { return ConvertValue(v, from, to); };
  return {cv(c.X1), cv(c.Y1), cv(c.X2), cv(c.Y2), cv(c.X3), cv(c.Y3), cv(c.X4), cv(c.Y4)};
}

void ConvertVuPolyPoints(TVuPolyPoints& points, TVuMeasurement from, TVuMeasurement to) {
  for (TVuPoint& p : points) {
    p.X = ConvertValue(p.X, from, to);
    p.Y = ConvertValue(p.Y, from, to);
  }
}

void ArrayToPolyPoints(const TVuPoint* points, int count, TVuPolyPoints& result) {
  result.assign(points, points + (count > 0 ? count : 0));
}

TVuSize GetPaperSizeInch(TVuPaperSize paper) {
  const TPaperRow& row = PaperTable[ValidPaper(paper) ? paper : A4];
  return {ConvertValue(row.Width, row.Unit, vuInches), ConvertValue(row.Height, row.Unit, vuInches)};
}

bool IsEnvelope(TVuPaperSize paper) {
  switch (paper) {
    case B5: case C5: case B4: case Envelope_09: case Envelope_10: case Envelope_11:
    case Envelope_12: case Envelope_14:
      return true;
    default:
      return false;
  }
}

QString PaperSizeToStr(TVuPaperSize paper) {
  return ValidPaper(paper) ? QString::fromLatin1(PaperTable[paper].Name) : QString();
}

TVuPaperSize StrToPaperSize(const QString& text) {
  for (int i = A3; i <= Executive; ++i)
    if (text == QLatin1StringView(PaperTable[i].Name)) return TVuPaperSize(i);
  return Custom;
}

QString FontStyleToString(TFontStyles style) {
  QStringList letters;
  if (style & fsBold) letters << QStringLiteral("b");
  if (style & fsItalic) letters << QStringLiteral("i");
  if (style & fsUnderline) letters << QStringLiteral("u");
  return letters.join(u',');
}

TFontStyles FontStyleFromString(const QString& text) {
  TFontStyles style = 0;
  for (const QString& item : text.split(u',')) {
    if (item.compare(u"b", Qt::CaseInsensitive) == 0) style |= fsBold;
    else if (item.compare(u"i", Qt::CaseInsensitive) == 0) style |= fsItalic;
    else if (item.compare(u"u", Qt::CaseInsensitive) == 0) style |= fsUnderline;
  }
  return style;
}

Extended GetFontHeightInch(const TFont& font) {
  TFont measured = font;
  measured.PixelsPerInch = 600;
  measured.SetSize(font.Size());
  QImage surface(1, 1, QImage::Format_RGB32);
  surface.setDotsPerMeterX(qRound(600 / 0.0254));
  surface.setDotsPerMeterY(qRound(600 / 0.0254));
  QFontMetricsF metrics(measured.ToQFont(), &surface);
  return Extended(metrics.ascent() + metrics.descent()) / 600;
}

TColor InvertColor(TColor color) {
  TColor rgb = ColorToRGB(color);
  auto flip = [](int channel) { return channel <= 128 ? 255 : 0; };
  return RGBColor(flip(GetRValue(rgb)), flip(GetGValue(rgb)), flip(GetBValue(rgb)));
}

bool IsPrinterCanvas(const TCanvas& canvas) {
  return canvas.Device() && canvas.Device()->devType() == QInternal::Printer;
}

// None of the old platform's families exists here.
QString ReturnOSVersion() { return QString(); }

QString ReplaceStringFields(const QString& source, const QString& field, const QString& value) {
  if (field.isEmpty()) return source;
  QString out;
  qsizetype from = 0;
  for (qsizetype at; (at = source.indexOf(field, from)) >= 0; from = at + field.size()) {
    out += QStringView(source).mid(from, at - from);
    out += value;
  }
  out += QStringView(source).mid(from);
  return out;
}

QString Tokenize(const QString& text, int page, int numPages, const QString& dateFormat,
                 const QString& timeFormat, const QDateTime& now) {
  // Each value is made only when its token is there: page texts are drawn on every repaint,
  // and formatting the date and time for texts that do not show them is most of the cost.
  QString s = text;
  auto replace = [&s](const QString& token, auto value) {
    if (s.contains(token)) s = ReplaceStringFields(s, token, value());
  };
  replace(QStringLiteral("{DATE}"), [&] { return FormatDateTime(dateFormat, now); });
  replace(QStringLiteral("{TIME}"), [&] { return FormatDateTime(timeFormat, now); });
  replace(QStringLiteral("{PAGE}"), [&] { return QString::number(page); });
  replace(QStringLiteral("{NUMPAGES}"), [&] { return QString::number(numPages); });
  return s;
}

QString Tokenize(const QString& text, int page, int numPages, const QString& dateFormat,
                 const QString& timeFormat) {
  const bool dated = text.contains(QStringLiteral("{DATE}")) || text.contains(QStringLiteral("{TIME}"));
  return Tokenize(text, page, numPages, dateFormat, timeFormat,
                  dated ? QDateTime::currentDateTime() : QDateTime());
}

QString& VuDateFormat() {
  static QString format = QStringLiteral("dd/mm/yyyy");
  return format;
}

QString& VuTimeFormat() {
  static QString format = QStringLiteral("hh/mm");
  return format;
}

void PrintBitmap(TCanvas& canvas, const TRect& rect, const TBitmap& bitmap) {
  // The pixels go over as a device-independent image in their own depth; the painter
  // converts them for the device, so bitmaps print on any printer.
  if (!bitmap.Empty()) canvas.StretchDIBits(ToQRect(rect), bitmap.Image());
}
