#include <gtest/gtest.h>
#include <QFile>
#include <QPrinter>
#include "platform/DateTime.h"
#include "platform/Graphics.h"
#include "preview/core/Vufuncs.h"
#include "tests/common/TestSupport.h"

TEST(VuFontStyles, LettersInFixedOrderWithoutStrikeOut) {
  EXPECT_EQ(FontStyleToString(fsBold | fsUnderline), QStringLiteral("b,u"));
  EXPECT_EQ(FontStyleToString(fsBold | fsItalic | fsUnderline), QStringLiteral("b,i,u"));
  EXPECT_EQ(FontStyleToString(fsStrikeOut), QString());
  EXPECT_EQ(FontStyleFromString("U,B"), fsBold | fsUnderline);
  EXPECT_EQ(FontStyleFromString("i,x,,s"), fsItalic);
  EXPECT_EQ(FontStyleFromString(""), 0);
}

TEST(VuColors, InvertColorGivesAPureContrast) {
  EXPECT_EQ(InvertColor(RGBColor(128, 128, 128)), clWhite);
  EXPECT_EQ(InvertColor(RGBColor(129, 129, 129)), clBlack);
  EXPECT_EQ(InvertColor(clRed), clAqua);
  EXPECT_EQ(InvertColor(clWhite), clBlack);
}

TEST(VuTokens, ReplaceStringFieldsReplacesEachOccurrenceOnce) {
  EXPECT_EQ(ReplaceStringFields("a{X}b{X}", "{X}", "[{X}]"), QStringLiteral("a[{X}]b[{X}]"));
  EXPECT_EQ(ReplaceStringFields("aaa", "aa", "a"), QStringLiteral("aa"));
  EXPECT_EQ(ReplaceStringFields("no fields", "{X}", "y"), QStringLiteral("no fields"));
}

TEST(VuTokens, TokenizeReplacesPagesAndLeavesEverythingElse) {
  const QString caption = QStringLiteral("Page {PAGE} of  {NUMPAGES}");
  EXPECT_EQ(Tokenize(caption, 2, 5, VuDateFormat(), VuTimeFormat()), QStringLiteral("Page 2 of  5"));
  EXPECT_EQ(Tokenize(caption, 3, 3, VuDateFormat(), VuTimeFormat()), QStringLiteral("Page 3 of  3"));
  EXPECT_EQ(Tokenize("{page} {Page} {PAGE", 1, 1, "dd", "hh"), QStringLiteral("{page} {Page} {PAGE"));
  EXPECT_EQ(Tokenize("plain {text}", 1, 9, "dd", "hh"), QStringLiteral("plain {text}"));
}

TEST(VuTokens, DateAndTimeUseTheSharedFormats) {
  EXPECT_EQ(VuDateFormat(), QStringLiteral("dd/mm/yyyy"));
  EXPECT_EQ(VuTimeFormat(), QStringLiteral("hh/mm"));
  const QDateTime when(QDate(2026, 3, 7), QTime(14, 5, 9));
  const QString sep = DateSeparator();
  EXPECT_EQ(Tokenize("{TIME}", 1, 1, VuDateFormat(), VuTimeFormat(), when), "14" + sep + "05");
  EXPECT_EQ(Tokenize("{DATE}", 1, 1, VuDateFormat(), VuTimeFormat(), when), "07" + sep + "03" + sep + "2026");
}

TEST(VuDateTime, PatternSpecifiers) {
  const QDateTime when(QDate(2026, 1, 2), QTime(9, 7, 3, 45));
  EXPECT_EQ(FormatDateTime("d.m.yy h:n:s", when), "2.1.26 9" + QString(TimeSeparator()) + "7" +
                                                       QString(TimeSeparator()) + "3");
  EXPECT_EQ(FormatDateTime("hh mm", when), QStringLiteral("09 07"));  // minutes after an hour
  EXPECT_EQ(FormatDateTime("mm hh", when), QStringLiteral("01 09"));  // month before it
  EXPECT_EQ(FormatDateTime("hh:nn am/pm", QDateTime(QDate(2026, 1, 2), QTime(15, 30))),
            "03" + QString(TimeSeparator()) + "30 pm");
  EXPECT_EQ(FormatDateTime("\"dd\" zzz", when), QStringLiteral("dd 045"));
}

TEST(VuCanvasFunctions, PrinterCanvasIsRecognised) {
  QImage image(4, 4, QImage::Format_RGB32);
  TCanvas screen(&image);
  EXPECT_FALSE(IsPrinterCanvas(screen));
  TTempDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.File("p.pdf"));
  TCanvas paper(&printer);
  EXPECT_TRUE(IsPrinterCanvas(paper));
}

TEST(VuCanvasFunctions, PrintBitmapStretchesPixelsAndSkipsEmptyBitmaps) {
  TBitmap target(20, 10);
  TBitmap empty;
  PrintBitmap(target.Canvas(), Rect(0, 0, 20, 10), empty);
  EXPECT_EQ(target.Image().pixel(5, 5), qRgb(255, 255, 255));

  TBitmap source(2, 1);
  source.Canvas().SetPixel(0, 0, clBlack);
  source.Canvas().SetPixel(1, 0, clRed);
  PrintBitmap(target.Canvas(), Rect(2, 2, 12, 8), source);
  const QImage& out = target.Image();
  EXPECT_EQ(out.pixel(3, 3), qRgb(0, 0, 0));
  EXPECT_EQ(out.pixel(10, 7), qRgb(255, 0, 0));
  EXPECT_EQ(out.pixel(12, 7), qRgb(255, 255, 255));  // right edge excluded
  EXPECT_EQ(out.pixel(1, 1), qRgb(255, 255, 255));

  target.Canvas().SetCopyMode(cmDstInvert);
  PrintBitmap(target.Canvas(), Rect(0, 0, 20, 10), source);
  EXPECT_EQ(target.Image().pixel(3, 3), qRgb(255, 255, 255));
  EXPECT_EQ(target.Image().pixel(15, 1), qRgb(0, 0, 0));
}

TEST(VuFontFunctions, FontHeightIsMeasuredAt600Dpi) {
  TFont f;
  f.Name = "Arial";
  f.PixelsPerInch = 96;
  f.SetSize(12);
  Extended h = GetFontHeightInch(f);
  // A 12-point face is 1/6 inch em; its cell is a little taller.
  EXPECT_GT(h, 0.16L);
  EXPECT_LT(h, 0.25L);
  f.SetSize(24);
  EXPECT_NEAR(double(GetFontHeightInch(f)), double(2 * h), 0.01);
}

TEST(VuSystem, NoOldPlatformFamilyHere) { EXPECT_EQ(ReturnOSVersion(), QString()); }

namespace {

// The raster operation's own truth table: bit (p << 2 | s << 1 | d) of the code's third byte
// is the result for pattern, source and destination bits p, s and d.
TColor Rop3(TCopyMode mode, TColor brush, TColor source, TColor destination) {
  const int table = (mode >> 16) & 0xFF;
  TColor out = 0;
  for (int bit = 0; bit < 24; ++bit) {
    const int index = ((brush >> bit) & 1) << 2 | ((source >> bit) & 1) << 1 | ((destination >> bit) & 1);
    out |= TColor((table >> index) & 1) << bit;
  }
  return out;
}

}  // namespace

TEST(VuCanvasFunctions, PrintBitmapCombinesBrushSourceAndDestinationByTheNamedOperation) {
  const TColor source = RGBColor(0xF0, 0x30, 0x90), destination = RGBColor(0x40, 0x80, 0xC0),
               brush = RGBColor(0x0F, 0xF0, 0x55);
  TBitmap pixels(1, 1);
  pixels.Canvas().SetPixel(0, 0, source);
  for (TCopyMode mode : {cmBlackness, cmDstInvert, cmMergeCopy, cmMergePaint, cmNotSrcCopy,
                         cmNotSrcErase, cmPatCopy, cmPatInvert, cmPatPaint, cmSrcAnd, cmSrcCopy,
                         cmSrcErase, cmSrcInvert, cmSrcPaint, cmWhiteness}) {
    SCOPED_TRACE(testing::Message() << std::hex << mode);
    TBitmap target(8, 8);
    TCanvas& canvas = target.Canvas();
    canvas.Brush().Color = destination;
    canvas.FillRect(QRect(0, 0, 8, 8));
    canvas.Brush().Color = brush;
    canvas.SetCopyMode(mode);
    PrintBitmap(canvas, Rect(0, 0, 8, 8), pixels);
    EXPECT_EQ(FromQColor(QColor(target.Image().pixel(4, 4))), Rop3(mode, brush, source, destination));
  }
}

TEST(VuCanvasFunctions, PicturesReachAPdfWithoutALossyCodec) {
  TTempDir dir;
  const QString file = dir.File("lossless.pdf");
  TBitmap bitmap(64, 32);
  for (int x = 0; x < 64; ++x)
    for (int y = 0; y < 32; ++y) bitmap.Canvas().SetPixel(x, y, RGBColor(x * 4, y * 8, 128));
  {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    TCanvas paper(&printer);
    PrintBitmap(paper, Rect(100, 100, 740, 420), bitmap);
  }
  QFile pdf(file);
  ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  EXPECT_TRUE(bytes.contains("/Image"));
  EXPECT_FALSE(bytes.contains("DCTDecode"));
}
