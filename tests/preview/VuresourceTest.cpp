#include <gtest/gtest.h>
#include <QBuffer>
#include "platform/Errors.h"
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Memo.h"
#include "platform/Metafile.h"
#include "platform/PngImage.h"
#include "preview/document/Vuresource.h"

namespace {
void MakePen(TVuPen& pen, TColor color, int width, TPenStyle style, TPenMode mode) {
  pen.SetColor(color);
  pen.SetWidth(width);
  pen.SetStyle(style);
  pen.SetMode(mode);
}

TBitmap Checker(int w, int h, TColor color) {
  TBitmap b(w, h);
  b.Canvas().SetPixel(0, 0, color);
  b.Canvas().SetPixel(w - 1, h - 1, color);
  return b;
}
}  // namespace

TEST(VuResources, EqualPensShareOneEntryAndModeMakesADifference) {
  TVuPenList pens;
  TVuPen pen;
  MakePen(pen, clRed, 4, psDash, pmCopy);
  TVuPen* first = pens.AddPen(&pen);
  EXPECT_NE(first, &pen);  // the caller keeps its own pen
  EXPECT_EQ(pens.AddPen(&pen), first);
  EXPECT_EQ(pens.AddPen(&pen), first);
  EXPECT_EQ(pens.Count(), 1);
  EXPECT_EQ(pens.References().GetValue(0), 3);
  pen.SetMode(pmXor);
  TVuPen* second = pens.AddPen(&pen);
  EXPECT_NE(second, first);
  EXPECT_EQ(pens.Count(), 2);
  EXPECT_EQ(pens.IndexOf(&pen), 1);
  EXPECT_EQ(pens.GetPen(-1), nullptr);
  EXPECT_THROW(pens.GetPen(2), EListError);
}

TEST(VuResources, FontNamesAreCaseSensitiveAndEveryFieldCounts) {
  TVuFontList fonts;
  TVuFont a, b;
  a.SetName("Arial");
  b.SetName("arial");
  TVuFont* upper = fonts.AddFont(&a);
  EXPECT_NE(fonts.AddFont(&b), upper);
  b.SetName("Arial");
  EXPECT_EQ(fonts.AddFont(&b), fonts.GetFont(0));
  b.SetAngle(-0.0L);
  EXPECT_EQ(fonts.AddFont(&b), fonts.GetFont(0));  // -0 equals 0
  b.SetAngle(0.1L);
  EXPECT_EQ(fonts.IndexOf(&b), -1);
  b.SetAngle(0);
  b.SetCharset(0);
  EXPECT_EQ(fonts.IndexOf(&b), -1);
  EXPECT_EQ(fonts.References().GetValue(0), 3);
}

TEST(VuResources, DeleteReleasesOneReferenceAndLaterIndexesShift) {
  TVuBrushList brushes;
  TVuBrush red, blue, green;
  red.SetColor(clRed);
  blue.SetColor(clBlue);
  green.SetColor(clGreen);
  TVuBrush* r = brushes.AddBrush(&red);
  brushes.AddBrush(&red);
  TVuBrush* b = brushes.AddBrush(&blue);
  brushes.AddBrush(&green);
  brushes.DeleteResource(r);
  EXPECT_EQ(brushes.References().GetValue(0), 1);
  brushes.DeleteResource(&red);  // not an entry: nothing happens
  EXPECT_EQ(brushes.Count(), 3);
  brushes.DeleteResource(r);
  EXPECT_EQ(brushes.Count(), 2);
  EXPECT_EQ(brushes.GetBrush(0), b);
  EXPECT_EQ(brushes.IndexOf(&green), 1);
  EXPECT_EQ(brushes.IndexOf(&red), -1);
  // Adding red again appends it after the others.
  brushes.AddBrush(&red);
  EXPECT_EQ(brushes.IndexOf(&red), 2);
  EXPECT_EQ(brushes.References().Count(), brushes.Count());
}

TEST(VuResources, IndexStaysRightAfterInPlaceChangesAndReplacement) {
  TVuPenList pens;
  TVuPen pen;
  TVuPen* stored = pens.AddPen(&pen);
  stored->SetWidth(7);  // not supposed to happen, but must not break the search
  EXPECT_EQ(pens.IndexOf(&pen), -1);
  pen.SetWidth(7);
  EXPECT_EQ(pens.AddPen(&pen), stored);
  auto replacement = std::make_unique<TVuPen>();
  replacement->SetColor(clBlue);
  pens.SetPen(0, std::move(replacement));
  EXPECT_EQ(pens.IndexOf(&pen), -1);
  EXPECT_EQ(pens.References().GetValue(0), 2);
}

TEST(VuResources, BrushColourMakesItSolidAndNotifiesOnlyOnChange) {
  TVuBrush brush;
  int calls = 0;
  brush.OnChange = [&](TPersistent*) { ++calls; };
  EXPECT_EQ(brush.GetStyle(), bsClear);
  brush.SetColor(clRed);
  EXPECT_EQ(brush.GetStyle(), bsSolid);
  EXPECT_EQ(calls, 1);
  brush.SetColor(clRed);
  EXPECT_EQ(calls, 1);
  brush.Assign(nullptr);
  EXPECT_EQ(calls, 1);
  TVuPen pen;
  EXPECT_THROW(brush.Assign(&pen), EConvertAssign);
  EXPECT_THROW(pen.Assign(nullptr), EConvertAssign);

  QImage image(4, 4, QImage::Format_RGB32);
  TCanvas canvas(&image);
  brush.SetColor(clNone);
  brush.AssignToCanvas(canvas);
  EXPECT_EQ(canvas.Brush().Style, bsClear);
  brush.SetColor(clBlue);
  brush.SetStyle(bsCross);
  brush.AssignToCanvas(canvas);
  EXPECT_EQ(canvas.Brush().Style, bsCross);
  EXPECT_EQ(canvas.Brush().Color, clBlue);
}

TEST(VuResources, PenWidthScalesInQuarterPointsAndClNoneDrawsNothing) {
  TVuPen pen;
  pen.SetWidth(1);
  EXPECT_EQ(pen.DeviceWidth(600), 2);  // 2.08
  EXPECT_EQ(pen.DeviceWidth(96), 0);
  pen.SetWidth(6);
  EXPECT_EQ(pen.DeviceWidth(48), 1);  // 1.0 exactly
  pen.SetWidth(3);
  EXPECT_EQ(pen.DeviceWidth(96), 1);  // 1.0
  pen.SetWidth(36);
  EXPECT_EQ(pen.DeviceWidth(20), 2);  // 2.5 goes to even

  TBitmap bitmap(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  TVuPen hair;  // width 0, solid, black
  hair.AssignToCanvas(canvas, 600);
  canvas.MoveTo(0, 5);
  canvas.LineTo(10, 5);
  EXPECT_EQ(bitmap.Image().pixel(3, 5), qRgb(0, 0, 0));
  EXPECT_EQ(bitmap.Image().pixel(3, 4), qRgb(255, 255, 255));
  EXPECT_EQ(bitmap.Image().pixel(3, 6), qRgb(255, 255, 255));

  TVuPen none;
  none.SetColor(clNone);
  none.SetWidth(40);
  none.AssignToCanvas(bitmap.Canvas(), 600);
  EXPECT_EQ(bitmap.Canvas().Pen().Style, psClear);
  bitmap.Canvas().MoveTo(0, 2);
  bitmap.Canvas().LineTo(10, 2);
  EXPECT_EQ(bitmap.Image().pixel(3, 2), qRgb(255, 255, 255));
}

TEST(VuResources, FontGoesToThePlatformFontWithItsAngle) {
  TVuFont font;
  font.SetName("Arial");
  font.SetSize(10);
  font.SetStyle(fsBold);
  font.SetAngle(45.25L);
  TFont target;
  target.PixelsPerInch = 600;
  font.AssignToFont(target);
  EXPECT_EQ(target.Name, QStringLiteral("Arial"));
  EXPECT_EQ(target.Height, -83);  // 10 pt at 600 ppi
  EXPECT_EQ(target.Orientation, 452);  // 452.5 to even
  font.SetAngle(0);
  font.AssignToFont(target);
  EXPECT_EQ(target.Orientation, 0);

  int calls = 0;
  TVuFont copy;
  copy.OnChange = [&](TPersistent*) { ++calls; };
  copy.Assign(&font);
  copy.Assign(target);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(copy.GetSize(), 10);
  EXPECT_EQ(copy.GetStyle(), fsBold);
}

TEST(VuResources, PenTextForm) {
  TPen pen;
  pen.Color = clSilver;
  pen.Width = 1;
  pen.Style = psDot;
  pen.Mode = pmCopy;
  EXPECT_EQ(PenToString(pen), QStringLiteral("12632256,1,2,4"));
  TPen back;
  PenFromString(back, "255,3,1,14");
  EXPECT_EQ(back.Color, clRed);
  EXPECT_EQ(back.Width, 3);
  EXPECT_EQ(back.Style, psDash);
  EXPECT_EQ(back.Mode, pmXor);
  TPen partial;
  EXPECT_THROW(PenFromString(partial, "255,7"), EListError);
  EXPECT_EQ(partial.Width, 7);  // fields before the missing one are kept
  EXPECT_THROW(PenFromString(partial, "255,x,1,4"), EConvertError);
  EXPECT_THROW(PenFromString(partial, "0,1,42,4"), EConvertError);
}

TEST(VuGraphics, CompareGraphicsSharesEqualPicturesOnlyWhenOn) {
  TVuGraphicList list;
  TBitmap bitmap = Checker(8, 6, clRed);
  TGraphic* first = list.AddGraphic(&bitmap);
  ASSERT_NE(first, nullptr);
  EXPECT_NE(first, &bitmap);
  EXPECT_EQ(list.AddGraphic(&bitmap), first);
  EXPECT_EQ(list.References().GetValue(0), 2);
  TBitmap other = Checker(8, 6, clBlue);
  EXPECT_NE(list.AddGraphic(&other), first);
  list.CompareGraphics = false;
  EXPECT_NE(list.AddGraphic(&bitmap), first);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.References().GetValue(2), 1);
}

TEST(VuGraphics, PicturesStayInTheirOwnKindAsIndependentCopies) {
  TVuGraphicList list;
  auto bitmap = std::make_unique<TBitmap>(Checker(5, 5, clGreen));
  bitmap->Canvas();
  TGraphic* stored = list.AddGraphic(bitmap.get());
  bitmap.reset();  // the caller may free its own picture
  auto* storedBitmap = dynamic_cast<TBitmap*>(stored);
  ASSERT_NE(storedBitmap, nullptr);
  EXPECT_FALSE(storedBitmap->HandleAllocated());
  EXPECT_EQ(list.GetGraphic(0), stored);
  EXPECT_TRUE(storedBitmap->HandleAllocated());
  EXPECT_EQ(storedBitmap->Image().pixel(0, 0), qRgb(0, 128, 0));

  TJPEGImage jpeg;
  jpeg.Assign(Checker(16, 16, clRed));
  TGraphic* j1 = list.AddGraphic(&jpeg);
  EXPECT_EQ(list.AddGraphic(&jpeg), j1);
  ASSERT_NE(dynamic_cast<TJPEGImage*>(j1), nullptr);
  EXPECT_EQ(dynamic_cast<TJPEGImage*>(j1)->Data(), jpeg.Data());
  EXPECT_EQ(TVuGraphicList::GetGraphicType(j1), vuJPeg);

  TMetafile mf;
  mf.Assign(Checker(3, 3, clBlue));
  TGraphic* m = list.AddGraphic(&mf);
  EXPECT_EQ(TVuGraphicList::GetGraphicType(m), vuMetafile);
  EXPECT_EQ(TVuGraphicList::GetGraphicType(stored), vuBitmap);

  TIcon icon;
  icon.SetImage(QImage(4, 4, QImage::Format_ARGB32));
  TPngImage png;
  png.SetImage(QImage(4, 4, QImage::Format_RGB32));
  EXPECT_EQ(list.AddGraphic(&icon), nullptr);
  EXPECT_EQ(list.AddGraphic(&png), nullptr);
  EXPECT_EQ(list.Count(), 3);
  list.DeleteResource(j1);
  EXPECT_EQ(list.Count(), 3);
  list.DeleteResource(j1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetGraphic(1), m);
}

TEST(VuGraphics, DamagedJpegFilesLeaveTheListUnchanged) {
  TVuGraphicList list;
  TJPEGImage good;
  good.Assign(Checker(40, 30, clRed));
  list.AddGraphic(&good);
  const QByteArray bytes = good.Data();
  std::vector<QByteArray> damaged;
  for (int cut : {0, 2, 20, 150, 300, int(bytes.size()) - 40, int(bytes.size()) - 1}) damaged.push_back(bytes.left(cut));
  for (int at : {0, 1, 3}) {
    QByteArray flipped = bytes;
    flipped[at] = char(~flipped[at]);
    damaged.push_back(flipped);
  }
  ASSERT_EQ(damaged.size(), 10u);
  for (size_t i = 0; i < damaged.size(); ++i) {
    QBuffer buffer(&damaged[i]);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_THROW(list.LoadGraphic(vuJPeg, buffer), EInvalidGraphic) << i;
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.References().Count(), 1);
  }
  QByteArray whole = bytes;
  QBuffer buffer(&whole);
  buffer.open(QIODevice::ReadOnly);
  TGraphic* loaded = list.LoadGraphic(vuJPeg, buffer);
  EXPECT_EQ(list.Count(), 2);  // no comparison when loading: indexes of a file stay valid
  EXPECT_NE(loaded, list.GetGraphic(0));
}

TEST(VuResources, MemosAreSharedByIdentityOnly) {
  TVuCustomMemoList memos;
  TMemo source;
  source.setPlainText("hello");
  QWidget* copy = memos.AddMemo(&source);
  ASSERT_NE(copy, &source);
  EXPECT_EQ(MemoPlainText(copy), QStringLiteral("hello"));
  QWidget* second = memos.AddMemo(&source);  // a second copy
  EXPECT_NE(second, copy);
  EXPECT_EQ(memos.GetMemo(1), second);
  EXPECT_EQ(memos.AddMemo(copy), copy);
  EXPECT_EQ(memos.References().GetValue(0), 2);
  EXPECT_EQ(TVuCustomMemoList::GetMemoType(&source), vuMemo);
  EXPECT_EQ(TVuCustomMemoList::GetMemoType(copy), vuRichEdit);
  EXPECT_EQ(copy->parentWidget(), memos.HostWindow());
  memos.OnNeedRichEdit = [](TVuCustomMemoList*) -> QWidget* { return new TMemo; };
  EXPECT_EQ(TVuCustomMemoList::GetMemoType(memos.CreateMemo()), vuMemo);
}

TEST(VuResources, TableClearEmptiesEveryList) {
  TVuResourceTable table;
  TVuPen pen;
  TVuBrush brush;
  TVuFont font;
  TBitmap bitmap(2, 2);
  table.Pens().AddPen(&pen);
  table.Brushes().AddBrush(&brush);
  table.Fonts().AddFont(&font);
  table.Graphics().AddGraphic(&bitmap);
  table.Clear();
  EXPECT_EQ(table.Pens().Count() + table.Brushes().Count() + table.Fonts().Count() + table.Graphics().Count(), 0);
  EXPECT_EQ(table.Pens().References().Count(), 0);
  EXPECT_NE(table.Pens().AddPen(&pen), nullptr);
}

TEST(VuResources, GraphicConversions) {
  TIcon icon;
  QImage argb(6, 4, QImage::Format_ARGB32);
  argb.fill(qRgba(0, 0, 255, 255));
  icon.SetImage(argb);
  std::unique_ptr<TBitmap> bitmap;
  IconToBitmap(icon, bitmap);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->Width(), 6);
  EXPECT_EQ(bitmap->Image().pixel(5, 3), qRgb(0, 0, 255));
  std::unique_ptr<TJPEGImage> jpeg;
  GraphicToJPeg(*bitmap, jpeg);
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(jpeg->Height(), 4);
  EXPECT_EQ(jpeg->CompressionQuality(), 90);
}

TEST(VuResources, MemoListOwnsEachControlOnceAndKnowsPlainControlsByType) {
  TVuCustomMemoList memos;
  TMemo source;
  QWidget* first = memos.AddMemo(&source);
  memos.AddMemo(&source);
  // A control that is already another entry would be owned twice: refused, list unchanged.
  EXPECT_THROW(memos.SetMemo(0, memos.GetMemo(1)), EListError);
  EXPECT_EQ(memos.GetMemo(0), first);
  // A handler that offers an existing entry gets a fresh control instead.
  memos.OnNeedRichEdit = [&](TVuCustomMemoList*) -> QWidget* { return first; };
  EXPECT_NE(memos.AddMemo(&source), first);
  memos.Clear();  // frees each control once
  QPlainTextEdit plain;
  QTextEdit rich;
  EXPECT_EQ(TVuCustomMemoList::GetMemoType(&plain), vuMemo);
  EXPECT_EQ(TVuCustomMemoList::GetMemoType(&rich), vuRichEdit);
}

TEST(VuGraphics, LoadingByLengthLeavesTheStreamAtTheRecordEnd) {
  QBuffer in;
  in.setData(Checker(5, 4, clRed).ToBmp() + QByteArray("slack????NEXT"));
  in.open(QIODevice::ReadOnly);
  TVuGraphicList list;
  TGraphic* loaded = list.LoadGraphic(vuBitmap, in, in.size() - 8);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Width(), 5);
  EXPECT_EQ(list.LoadGraphic(TVuGraphicType(7), in, 4), nullptr);  // unknown kind: skipped
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(in.read(4), QByteArray("NEXT"));
  EXPECT_THROW(list.LoadGraphic(TVuGraphicType(7), in, 1), EReadError);
}
