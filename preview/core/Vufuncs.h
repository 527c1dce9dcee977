// Conversions and utility functions of the page engine: the one conversion between units,
// paper sizes and their names, font-style texts, colours, page tokens, the operating-system
// name and the transfer of a bitmap to a printer.
#pragma once
#include <QDateTime>
#include <QString>
#include "platform/Canvas.h"
#include "platform/CopyModes.h"
#include "preview/core/Vutypes.h"

class TBitmap;

// The only conversion between units. From == To returns Value untouched; otherwise Value
// goes to inches and on to the target unit with the operations in a fixed order, so that
// e.g. 2540 units are exactly 1 inch.
Extended ConvertValue(Extended value, TVuMeasurement from, TVuMeasurement to);
TVuPoint ConvertVuPoint(const TVuPoint& point, TVuMeasurement from, TVuMeasurement to);
TVuSize ConvertVuSize(const TVuSize& size, TVuMeasurement from, TVuMeasurement to);
TVuRect ConvertVuRect(const TVuRect& rect, TVuMeasurement from, TVuMeasurement to);
TVuComplexCoords ConvertVuComplexCoords(const TVuComplexCoords& coords, TVuMeasurement from,
                                        TVuMeasurement to);
void ConvertVuPolyPoints(TVuPolyPoints& points, TVuMeasurement from, TVuMeasurement to);
void ArrayToPolyPoints(const TVuPoint* points, int count, TVuPolyPoints& result);

// Portrait width and height in inches. Custom has no size of its own: it gives A4's.
TVuSize GetPaperSizeInch(TVuPaperSize paper);
bool IsEnvelope(TVuPaperSize paper);
QString PaperSizeToStr(TVuPaperSize paper);
// Exact, case-sensitive; an unknown name gives Custom.
TVuPaperSize StrToPaperSize(const QString& text);

// "b", "i", "u" for bold, italic, underline, comma-separated; strike-out is not written.
QString FontStyleToString(TFontStyles style);
TFontStyles FontStyleFromString(const QString& text);
// Ascent plus descent of the font at its point size, realised at 600 pixels per inch.
Extended GetFontHeightInch(const TFont& font);

// A pure contrasting colour: each channel 255 when it is 128 or less, else 0.
TColor InvertColor(TColor color);
// True when the canvas draws on a printer.
bool IsPrinterCanvas(const TCanvas& canvas);
// The operating-system family among the old desktop platform's; empty on this platform.
QString ReturnOSVersion();

QString ReplaceStringFields(const QString& source, const QString& field, const QString& value);
// Expands {DATE}, {TIME}, {PAGE} and {NUMPAGES}, in that order.
QString Tokenize(const QString& text, int page, int numPages, const QString& dateFormat,
                 const QString& timeFormat);
QString Tokenize(const QString& text, int page, int numPages, const QString& dateFormat,
                 const QString& timeFormat, const QDateTime& now);

// The process-wide date and time formats every preview, header, footer and text box shares;
// "dd/mm/yyyy" and "hh/mm" at start-up.
QString& VuDateFormat();
QString& VuTimeFormat();

// Stretches the bitmap's pixels onto rect of a (printer) canvas with the canvas's copy mode;
// modes other than the named raster operations act as source-copy. An empty bitmap draws
// nothing.
void PrintBitmap(TCanvas& canvas, const TRect& rect, const TBitmap& bitmap);
