// Page files: the framing and value encodings, the records' figures, save-load-save byte
// equality for every kind, and damaged files that must fail cleanly and change nothing.
#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include <functional>
#include "TestSupport.h"
#include "VustreamTestSupport.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "preview/view/Vupreview.h"
#include "preview/core/Vustream.h"

namespace {

QString Saved(const TVuValueList& list) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  list.SaveToStream(buffer);
  return QString::fromUtf8(data.mid(4));
}

TVuValueList Reloaded(const TVuValueList& list) {
  QByteArray data;
  QBuffer out(&data);
  out.open(QIODevice::WriteOnly);
  list.SaveToStream(out);
  QBuffer in(&data);
  in.open(QIODevice::ReadOnly);
  TVuValueList result;
  result.LoadFromStream(in);
  return result;
}

// The value lists of one object record of the saved document: the first object of kind.
QStringList ObjectRecordLines(const QByteArray& file, int kind) {
  QBuffer buffer;
  buffer.setData(file);
  buffer.open(QIODevice::ReadOnly);
  // Walk the file as the reader does: header, resources, header/footer, margins, pages.
  TVuReader r(buffer);
  TVuValueList header;
  header.LoadFromStream(r);
  const int pages = int(header.ReadIntValue(QStringLiteral("NP"), 0));
  for (int list = 0; list < 3; ++list)
    for (int i = 0, n = r.ReadInteger(); i < n; ++i) r.ReadStringList();
  for (int i = 0, n = r.ReadInteger(); i < n; ++i) {
    r.ReadByte();
    const int end = r.ReadInteger();
    buffer.seek(end);
  }
  for (int i = 0, n = r.ReadInteger(); i < n; ++i) {
    r.ReadInteger();
    r.ReadStream();
  }
  for (int band = 0; band < 2; ++band) {
    for (int i = 0; i < 3 * 2 + 2; ++i) r.ReadStringList();
  }
  r.ReadStringList();
  r.ReadStringList();
  for (int p = 0; p < pages; ++p) {
    TVuValueList page;
    page.LoadFromStream(r);
    for (int o = 0, n = int(page.ReadIntValue(QStringLiteral("NO"), 0)); o < n; ++o) {
      const int k = r.ReadInteger();
      const std::vector<QByteArray> lines = r.ReadStringList();
      if (k != kind) continue;
      QStringList result;
      for (const QByteArray& l : lines) result << QString::fromUtf8(l);
      return result;
    }
  }
  return {};
}

}  // namespace

// ---- framing and values ---------------------------------------------------------------------

TEST(VustreamFraming, LittleEndianItemsAndLengthsThatCannotBeRight) {
  QByteArray data;
  QBuffer out(&data);
  out.open(QIODevice::WriteOnly);
  TVuWriter w(out);
  w.WriteInteger(-2);
  w.WriteString("ab");
  w.WriteStringList({"x=1", "y"});
  EXPECT_EQ(data, QByteArray("\xFE\xFF\xFF\xFF\x02\x00\x00\x00" "ab" "\x08\x00\x00\x00" "x=1\r\ny\r\n", 22));

  struct TCase {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"short integer", QByteArray("\x01\x00", 2)},
      {"negative length", QByteArray("\xFF\xFF\xFF\xFF", 4)},
      {"length beyond the end", QByteArray("\x10\x00\x00\x00" "abc", 7)},
      {"huge length", QByteArray("\xFF\xFF\xFF\x7F", 4)},
  };
  for (const TCase& c : cases) {
    QBuffer in;
    in.setData(c.bytes);
    in.open(QIODevice::ReadOnly);
    TVuReader r(in);
    EXPECT_THROW(r.ReadString(), EReadError) << c.name;
  }
}

TEST(VustreamValues, EncodingsWithAFullStopWhateverTheLocale) {
  QLocale::setDefault(QLocale(QLocale::German));
  struct TCase {
    std::function<void(TVuValueList&)> write;
    const char* expected;
  } cases[] = {
      {[](TVuValueList& l) { l.WriteIntValue("I", -42); }, "I=-42\r\n"},
      {[](TVuValueList& l) { l.WriteBoolValue("B", true); }, "B=1\r\n"},
      {[](TVuValueList& l) { l.WriteExtValue("V", 2.96L); }, "V=2.960\r\n"},
      {[](TVuValueList& l) { l.WriteExtValue("E", -1); }, "E=-1.000\r\n"},
      {[](TVuValueList& l) { l.WriteExtValue("E", 0.0625L); }, "E=0.062\r\n"},  // half to even
      {[](TVuValueList& l) { l.WriteVuPointValue("P", {0.0625L, 0.1875L}); }, "P=62,188\r\n"},
      {[](TVuValueList& l) { l.WriteVuRectValue("R", {-0.001L, 0, 1.5L, 2}); }, "R=-1,0,1500,2000\r\n"},
      {[](TVuValueList& l) { l.WritePointValue("Q", {3, -4}); }, "Q=3000,-4000\r\n"},
      {[](TVuValueList& l) { l.WriteStringValue("S", QString()); }, ""},
  };
  for (const TCase& c : cases) {
    TVuValueList list;
    c.write(list);
    EXPECT_EQ(Saved(list), QString::fromLatin1(c.expected));
  }
  QLocale::setDefault(QLocale::c());

  TVuValueList list;
  list.AddLine("Flag=300");   // lowest byte 0x2C: true
  list.AddLine("Zero=256");   // lowest byte 0: false
  list.AddLine("R=");
  EXPECT_TRUE(list.ReadBoolValue("flag", false));
  EXPECT_FALSE(list.ReadBoolValue("ZERO", true));
  EXPECT_EQ(list.ReadExtValue("missing", 7.5L), 7.5L);
  EXPECT_EQ(VuStrToExt("2.960"), 2.96L);
  list.AddLine("Big=99999999999999999999");
  EXPECT_THROW(list.ReadIntValue("Big", 0), EConvertError);
  const TVuRect empty = list.ReadVuRectValue("r", {1, 1, 1, 1});
  EXPECT_EQ(empty.Left + empty.Top + empty.Right + empty.Bottom, 0);
  for (const char* bad : {"", "1.2.3", "1e5", "nan", "12a", "-"}) {
    TVuValueList l;
    l.AddLine(QStringLiteral("X=") + bad);
    l.AddLine(QStringLiteral("P=") + bad);
    EXPECT_THROW(l.ReadExtValue("X", 0), EConvertError) << bad;
    EXPECT_THROW(l.ReadIntValue("X", 0), EConvertError) << bad;
    EXPECT_THROW(l.ReadVuPointValue("P", {}), EConvertError) << bad;
  }
}

TEST(VustreamValues, NamesAreReplacedInPlaceAndEmptyValuesRemoved) {
  TVuValueList list;
  list.WriteIntValue("A", 1);
  list.WriteIntValue("B", 2);
  list.WriteIntValue("a", 3);
  list.WriteStringValue("C", "x=y");
  list.WriteStringValue("b", "");
  EXPECT_EQ(Saved(list), QStringLiteral("A=3\r\nC=x=y\r\n"));
  EXPECT_EQ(list.ReadStringValue("c", ""), QStringLiteral("x=y"));
  // Long lists find names through their index the same way.
  TVuValueList many;
  for (int i = 0; i < 100; ++i) many.WriteIntValue(QStringLiteral("XY%1").arg(i), i);
  many.WriteIntValue("xy50", -50);
  EXPECT_EQ(many.Count(), 100);
  EXPECT_EQ(Reloaded(many).ReadIntValue("Xy50", 0), -50);
  EXPECT_EQ(Reloaded(many).ReadIntValue("XY99", 0), 99);
}

TEST(VustreamValues, LineBreaksSurviveAndSingleLineValuesStayAsTheyAre) {
  const QString values[] = {"one\r\ntwo", "a\nb\rc", "\nstarts with a break", "back\\slash\nand more"};
  for (const QString& v : values) {
    TVuValueList list;
    list.WriteStringValue("T", v);
    EXPECT_EQ(Reloaded(list).ReadStringValue("T", ""), v);
  }
  TVuValueList single;
  single.WriteStringValue("T", "C:\\path\\n");
  EXPECT_EQ(Saved(single), QStringLiteral("T=C:\\path\\n\r\n"));
  // A reader that knows only the format sees the first line.
  TVuValueList multi;
  multi.WriteStringValue("T", "first\nsecond");
  EXPECT_EQ(Reloaded(multi).Value("T"), QStringLiteral("first"));
  multi.WriteStringValue("T", "single again");
  EXPECT_EQ(Saved(multi), QStringLiteral("T=single again\r\n"));
}

// ---- the records' figures ----------------------------------------------------------------

TEST(Vustream, TheEmptyListsFile) {
  TVuPageList list;
  list.AddPage();
  QBuffer buffer;
  buffer.setData(SavedBytes(list));
  buffer.open(QIODevice::ReadOnly);
  TVuReader r(buffer);
  TVuValueList header;
  header.LoadFromStream(r);
  EXPECT_EQ(header.Line(0), QStringLiteral("V=2.960"));
  EXPECT_EQ(header.Value("O"), QStringLiteral("0"));
  EXPECT_EQ(header.Value("PS"), QStringLiteral("A4"));
  EXPECT_EQ(header.Value("NP"), QStringLiteral("1"));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(r.ReadInteger(), 0) << "resource list " << i;
  for (int i = 0; i < 2 * (3 * 2 + 2) + 2; ++i) r.ReadStringList();
  TVuValueList page;
  page.LoadFromStream(r);
  EXPECT_EQ(page.Value("NO"), QStringLiteral("0"));
  EXPECT_EQ(page.Value("M"), QStringLiteral("-1"));
  EXPECT_EQ(page.Value("C_WRT"), QStringLiteral("0"));
  EXPECT_FALSE(page.HasName("SH"));
  EXPECT_TRUE(buffer.atEnd());
}

TEST(Vustream, ObjectRecordFigures) {
  TVuPageList list;
  list.AddPage();
  TVuCanvas& c = list.Canvas();
  c.SetFontValues("Arial", 10, clBlack, fsBold | fsItalic);
  c.Rectangle(10, 20, 60, 40);
  c.TextOut(1, 1, QString());
  const TBitmap barcode = TestPicture(210, 146);
  TVuGraphicObject* g = c.Draw(80, 50, barcode, 1);
  const QByteArray file = SavedBytes(list);

  EXPECT_TRUE(ObjectRecordLines(file, vuRectangleShape).contains("XY=394,787,2362,1575"));
  const QStringList text = ObjectRecordLines(file, vuTextObject);
  ASSERT_FALSE(text.isEmpty());
  EXPECT_EQ(text.mid(0, 4), QStringList({"", "", "ID=0", "UI=-1"}));
  EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](const QString& l) { return l.startsWith("T="); }));
  const QStringList picture = ObjectRecordLines(file, vuGraphicObject);
  EXPECT_TRUE(picture.contains("CM=13369376"));
  EXPECT_TRUE(picture.contains(QStringLiteral("PF=%1").arg(int(g->GetPixelFormat()))));
  EXPECT_TRUE(picture.contains("G=0"));
  // The graphic record: kind 2, then the end position of the bitmap file (the stored
  // picture's: a black-and-white bitmap is kept at one bit per pixel).
  const QByteArray bmp = dynamic_cast<TBitmap&>(*list.ResourceTable().Graphics().GetGraphic(0)).ToBmp();
  EXPECT_EQ(uint8_t(bmp[28]), 1);  // bits per pixel
  const qsizetype at = file.indexOf(bmp);
  ASSERT_GT(at, 5);
  EXPECT_EQ(file[at - 5], char(vuBitmap));
  QBuffer b;
  b.setData(file.mid(at - 4, 4));
  b.open(QIODevice::ReadOnly);
  EXPECT_EQ(TVuReader(b).ReadInteger(), at + bmp.size());

  TVuFont bold;
  bold.SetStyle(fsBold | fsItalic);
  QByteArray data;
  QBuffer out(&data);
  out.open(QIODevice::WriteOnly);
  bold.SaveToStream(out);
  EXPECT_TRUE(QString::fromUtf8(data).contains("ST=b,i\r\n"));
  TVuFont plain;
  data.clear();
  out.seek(0);
  plain.SaveToStream(out);
  EXPECT_FALSE(QString::fromUtf8(data).contains("ST="));
}

TEST(Vustream, FontRecordWithoutNameSizeAndColourLoadsAsArial10White) {
  TVuValueList record;
  record.WriteStringValue("ST", "u");
  QByteArray data;
  QBuffer out(&data);
  out.open(QIODevice::WriteOnly);
  record.SaveToStream(out);
  QBuffer in(&data);
  in.open(QIODevice::ReadOnly);
  TVuFont font;
  font.LoadFromStream(in);
  EXPECT_EQ(font.GetName(), QStringLiteral("Arial"));
  EXPECT_EQ(font.GetSize(), 10);
  EXPECT_EQ(font.GetColor(), TColor(16777215));
  EXPECT_EQ(font.GetAngle(), 0);
  EXPECT_EQ(font.GetCharset(), 1);
  EXPECT_EQ(font.GetStyle(), fsUnderline);
}

TEST(Vustream, SaveLoadSaveGivesTheSameBytesForEveryKind) {
  TVuPageList list;
  list.AddPage();
  RecordEveryKind(list, 3);
  const QByteArray first = SavedBytes(list);
  TVuPageList loaded;
  loaded.AddPage();
  ASSERT_TRUE(LoadBytes(loaded, first));
  EXPECT_EQ(SavedBytes(loaded), first);
  ASSERT_EQ(loaded.Count(), 3);
  EXPECT_EQ(loaded.Page(1)->Count(), list.Page(1)->Count());
  EXPECT_EQ(loaded.ResourceTable().Graphics().Count(), 3);  // the repeated bitmap once
  EXPECT_EQ(loaded.Page(2)->GetOrientation(), vuLandscape);
  EXPECT_FALSE(loaded.Page(1)->GetShowFooter());
  EXPECT_EQ(loaded.Footer().CaptionRight().GetCaption(), QStringLiteral("Page {PAGE} of {NUMPAGES}"));
  EXPECT_FALSE(loaded.Footer().GetShowLine());
  EXPECT_TRUE(loaded.Margins().GetClipMargins());
  for (int k = 0; k < VuObjectKindCount; ++k) EXPECT_FALSE(ObjectRecordLines(first, k).isEmpty()) << "kind " << k;
  // The text box keeps both lines of its caption; the clip rectangle and the arc their values.
  const TVuPage& page = *loaded.Page(1);
  for (int i = 0; i < page.Count(); ++i) {
    TVuBaseObject* o = page.VuObject(i);
    if (o->GetObjectID() == vuTextBoxObject) {
      EXPECT_EQ(static_cast<TVuTextBoxObject*>(o)->GetCaption(), QStringLiteral("first line\r\nsecond line"));
    }
    if (o->GetObjectID() == vuClipRectObject) {
      const TVuRect r = static_cast<TVuClipRectObject*>(o)->GetClipCoords(vuMillimeters);
      EXPECT_NEAR(double(r.Left), 100, 0.02);
      EXPECT_NEAR(double(r.Bottom), 200, 0.02);
    }
    if (o->GetObjectID() == vuArcShape) {
      auto* arc = static_cast<TVuArcShape*>(o);
      EXPECT_NEAR(double(arc->GetX4(vuMillimeters)), 10, 0.02);
      EXPECT_NEAR(double(arc->GetY4(vuMillimeters)), 95, 0.02);
    }
  }
}

// ---- mended faults -----------------------------------------------------------------------

namespace {
// A file of one page: two equal pens, and rectangles that use pen index penIndex.
QByteArray FileWithPens(int penIndex, int kind = vuRectangleShape, int objects = 2) {
  QByteArray data;
  QBuffer out(&data);
  out.open(QIODevice::WriteOnly);
  TVuWriter w(out);
  TVuValueList header;
  header.WriteExtValue("V", 2.96L);
  header.WriteIntValue("NP", 1);
  header.SaveToStream(w);
  w.WriteInteger(0);  // brushes
  w.WriteInteger(0);  // fonts
  w.WriteInteger(2);  // pens: two equal records
  TVuPen pen;
  pen.SetColor(clRed);
  pen.SaveToStream(out);
  pen.SaveToStream(out);
  w.WriteInteger(0);
  w.WriteInteger(0);
  for (int i = 0; i < 2 * 8 + 2; ++i) w.WriteInteger(0);  // header, footer, margins: all defaults
  TVuValueList page;
  page.WriteIntValue("NO", objects);
  page.SaveToStream(w);
  for (int i = 0; i < objects; ++i) {
    w.WriteInteger(kind);
    TVuValueList object;
    object.WriteIntValue("P", penIndex);
    object.WriteVuRectValue("XY", {0, 0, 1, 1});
    object.SaveToStream(w);
  }
  return data;
}
}  // namespace

TEST(Vustream, LoadedListsKeepTheFilesIndexesAndObjectsHoldReferences) {
  TVuPageList list;
  list.AddPage();
  ASSERT_TRUE(LoadBytes(list, FileWithPens(1)));
  TVuPenList& pens = list.ResourceTable().Pens();
  ASSERT_EQ(pens.Count(), 2);
  auto* first = static_cast<TVuOutlineShape*>(list.Page(1)->VuObject(0));
  auto* second = static_cast<TVuOutlineShape*>(list.Page(1)->VuObject(1));
  EXPECT_EQ(first->Pen(), pens.GetPen(1));
  EXPECT_EQ(pens.References().GetValue(1), 2);
  EXPECT_EQ(pens.References().GetValue(0), 1);
  // Changing one object's pen leaves the other's entry alive and unchanged.
  TVuPen* shared = second->Pen();
  first->GetPen().SetColor(clBlue);
  EXPECT_EQ(second->Pen(), shared);
  EXPECT_GE(pens.IndexOf(shared), 0);
  EXPECT_EQ(shared->GetColor(), clRed);
}

TEST(Vustream, DamagedRecordsFailOrAreSkippedAsTheyShould) {
  struct TCase {
    const char* name;
    QByteArray file;
    bool loads;
    int objects;
  } cases[] = {
      {"pen index out of range", FileWithPens(2), false, 0},
      {"negative pen index", FileWithPens(-5), false, 0},
      {"unknown object kind skipped", FileWithPens(0, 77), true, 0},
      {"object count beyond the file", FileWithPens(0, vuRectangleShape, 2).replace("NO=2", "NO=9"), false, 0},
      {"not a page file", QByteArray("garbage"), false, 0},
  };
  for (TCase& c : cases) {
    TVuPageList list;
    list.AddPage();
    list.Canvas().Rectangle(1, 1, 2, 2);
    const QByteArray before = SavedBytes(list);
    if (c.loads) {
      EXPECT_TRUE(LoadBytes(list, c.file)) << c.name;
      EXPECT_EQ(list.Page(1)->Count(), c.objects) << c.name;
    } else {
      EXPECT_THROW(LoadBytes(list, c.file), Exception) << c.name;
      EXPECT_EQ(SavedBytes(list), before) << c.name;
    }
  }
  // A picture of an unknown kind is skipped to its end and its index kept by a placeholder.
  TVuPageList list;
  list.AddPage();
  list.Canvas().StretchDraw(0, 0, 10, 10, TestPicture());
  list.Canvas().StretchDraw(0, 0, 10, 10, TestMetafile());
  QByteArray file = SavedBytes(list);
  const qsizetype bmp = file.indexOf(dynamic_cast<TBitmap&>(*list.ResourceTable().Graphics().GetGraphic(0)).ToBmp());
  ASSERT_GT(bmp, 5);
  file[bmp - 5] = char(9);
  ASSERT_TRUE(LoadBytes(list, file));
  EXPECT_EQ(list.ResourceTable().Graphics().Count(), 2);
  EXPECT_TRUE(list.ResourceTable().Graphics().GetGraphic(0)->Empty());
  EXPECT_EQ(list.ResourceTable().Graphics().GetGraphic(1)->ClassName(), QStringLiteral("TMetafile"));
}

// ---- the preview's files ------------------------------------------------------------------

TEST(VupreviewFile, LoadingReplacesTheDocumentWithItsResources) {
  TTempDir dir;
  TVuPreview source;
  source.Canvas().SetPenValues(3, clRed, psSolid);
  source.Canvas().Rectangle(10, 20, 60, 40);
  ASSERT_TRUE(source.SaveToFile(dir.File("doc.vup")));
  EXPECT_EQ(source.GetFileVersion(dir.File("doc.vup")), 2.96L);

  TVuPreview target;
  target.Canvas().SetPenValues(1, clGreen, psDot);
  target.Canvas().Ellipse(1, 1, 5, 5);
  target.NewPage();
  std::vector<Extended> versions;
  target.BeforeLoad = [&](QObject*, Extended v, bool&) { versions.push_back(v); };
  ASSERT_TRUE(target.LoadFromFile(dir.File("doc.vup"))) << target.LastFileError().toStdString();
  EXPECT_EQ(versions, std::vector<Extended>{2.96L});
  EXPECT_EQ(target.GetNumPages(), 1);
  EXPECT_EQ(target.GetCurrentPageNum(), 1);
  ASSERT_EQ(target.ResourceTable().Pens().Count(), 1);
  auto* rect = static_cast<TVuOutlineShape*>(target.GetPage(1)->VuObject(0));
  EXPECT_EQ(rect->Pen(), target.ResourceTable().Pens().GetPen(0));
  EXPECT_EQ(rect->Pen()->GetColor(), clRed);
  EXPECT_EQ(target.PaperImage().Page(), target.GetPage(1));

  // A refused load changes nothing and says so.
  target.BeforeLoad = [](QObject*, Extended, bool& load) { load = false; };
  target.Canvas().Line(0, 0, 1, 1);
  EXPECT_FALSE(target.LoadFromFile(dir.File("doc.vup")));
  EXPECT_EQ(target.GetPage(1)->Count(), 2);
  EXPECT_FALSE(target.LastFileError().isEmpty());
}

TEST(VupreviewFile, FailedSavesAndLoadsAreReportedAndLoseNothing) {
  TTempDir dir;
  TVuPreview preview;
  preview.Canvas().Rectangle(10, 20, 60, 40);
  EXPECT_FALSE(preview.SaveToFile(dir.File("missing/folder/doc.vup")));
  EXPECT_FALSE(preview.LastFileError().isEmpty());
  EXPECT_FALSE(QFile::exists(dir.File("missing/folder/doc.vup")));
  EXPECT_FALSE(preview.LoadFromFile(dir.File("nothing.vup")));
  EXPECT_FALSE(preview.LastFileError().isEmpty());
  EXPECT_EQ(preview.GetPage(1)->Count(), 1);
  EXPECT_THROW(preview.GetFileVersion(dir.File("nothing.vup")), EFOpenError);
  // A save that fails part way leaves the earlier file as it was.
  ASSERT_TRUE(preview.SaveToFile(dir.File("doc.vup")));
  const QByteArray before = ReadWholeFile(dir.File("doc.vup"));
  QFile::setPermissions(dir.Path(), QFile::ReadOwner | QFile::ExeOwner);
  preview.Canvas().Line(0, 0, 5, 5);
  const bool saved = preview.SaveToFile(dir.File("doc.vup"));
  QFile::setPermissions(dir.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (!saved) {
    EXPECT_EQ(ReadWholeFile(dir.File("doc.vup")), before);
  }  // root may write anyway
}

TEST(VupreviewFile, CutOrFlippedFilesFailCleanlyAndLeaveThePreviewUnchanged) {
  TVuPageList small;
  small.AddPage();
  small.Canvas().SetFontValues("Arial", 12, clBlack, fsBold);
  small.Canvas().TextOut(5, 5, "ab");
  small.Canvas().Rectangle(10, 20, 60, 40);
  const TVuPoint points[] = {{1, 1}, {2, 3}, {4, 1}};
  small.Canvas().Polygon(points, 2);
  small.Canvas().StretchDraw(0, 0, 10, 10, TestPicture(8, 8));
  const QByteArray file = SavedBytes(small);

  TVuPreview preview;
  preview.Canvas().Ellipse(1, 1, 5, 5);
  TVuPage* shown = preview.GetPage(1);
  QByteArray before;
  {
    QBuffer b(&before);
    b.open(QIODevice::WriteOnly);
    preview.SaveToStream(b);
  }
  auto unchanged = [&] {
    QByteArray now;
    QBuffer b(&now);
    b.open(QIODevice::WriteOnly);
    preview.SaveToStream(b);
    return now == before && preview.GetPage(1) == shown && preview.PaperImage().Page() == shown;
  };
  int cutFailures = 0;
  for (qsizetype n = 0; n < file.size(); ++n) {
    QByteArray cut = file.left(n);
    QBuffer in(&cut);
    in.open(QIODevice::ReadOnly);
    try {
      preview.LoadFromStream(in);
    } catch (const Exception&) {
      ++cutFailures;
    }
    ASSERT_TRUE(unchanged()) << "cut at " << n;
  }
  EXPECT_EQ(cutFailures, file.size());
  for (qsizetype n = 0; n < file.size(); ++n) {
    QByteArray flipped = file;
    flipped[n] = char(flipped[n] ^ 0xFF);
    QBuffer in(&flipped);
    in.open(QIODevice::ReadOnly);
    bool loaded = false;
    try {
      loaded = preview.LoadFromStream(in);
    } catch (const Exception&) {
    }
    if (loaded) {
      // A flip the format cannot notice (inside a picture's pixels): put the old one back.
      QBuffer back(&before);
      back.open(QIODevice::ReadOnly);
      ASSERT_TRUE(preview.LoadFromStream(back));
      shown = preview.GetPage(1);
    }
    ASSERT_TRUE(unchanged()) << "flipped at " << n;
  }
}
