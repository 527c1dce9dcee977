// A page file written a part at a time against the same document saved whole.
#include <gtest/gtest.h>
#include <QBuffer>
#include <QFile>
#include "barcode/Ean13.h"
#include "preview/document/Vucanvas.h"
#include "preview/document/VupageFileWriter.h"
#include "tests/common/TestSupport.h"

namespace {
QString Completed(const QString& twelve) {
  int sum = 0;
  for (int i = 0; i < 12; ++i) sum += (twelve[i].unicode() - '0') * (i % 2 ? 3 : 1);
  return twelve + QChar(u'0' + (10 - sum % 10) % 10);
}

// Page n: the barcode of value n % kinds, a framed box in a colour of its own and a caption.
void RecordPage(TVuPageList& list, int n, int kinds) {
  const QString value = Completed(QStringLiteral("4006381%1").arg(n % kinds, 5, 10, QChar(u'0')));
  list.Canvas().Draw(80, 50, *RenderEAN13(value, encodeEAN13(value).Modules), 1, vuMillimeters);
  list.Canvas().SetPenValues(1 + n % 3, RGBColor(n % 7 * 30, 0, 0), psSolid);
  list.Canvas().Rectangle(10, 10, 60, 40);
  list.Canvas().TextOut(20, 20, QStringLiteral("page %1").arg(n));
}

QByteArray FileOf(const QString& name) {
  QFile f(name);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return f.readAll();
}
}  // namespace

TEST(VupageFileWriter, WritesTheFileOfTheWholeDocument) {
  struct TCase {
    int Pages, Held, Kinds;
  } cases[] = {
      {10, 1, 10},
      {10, 3, 10},
      {10, 64, 10},
      {1, 4, 1},
  };
  TTempDir dir;
  for (const TCase& c : cases) {
    TVuPageList whole;
    for (int n = 0; n < c.Pages; ++n) {
      whole.AddPage();
      RecordPage(whole, n, c.Kinds);
    }
    QBuffer expected;
    expected.open(QIODevice::WriteOnly);
    whole.SaveToStream(expected);

    TVuPageList parts;
    parts.AddPage();
    const QString file = dir.File(QStringLiteral("parts%1-%2.vup").arg(c.Pages).arg(c.Held));
    int mostHeld = 0;
    {
      TVuPageFileWriter writer(parts, file, c.Held);
      for (int n = 0; n < c.Pages; ++n) {
        writer.NewPage();
        mostHeld = std::max(mostHeld, writer.PagesHeld());
        RecordPage(parts, n, c.Kinds);
      }
      writer.Finish();
      EXPECT_EQ(writer.PagesWritten(), c.Pages);
    }
    EXPECT_EQ(mostHeld, std::min(c.Held, c.Pages));
    EXPECT_EQ(FileOf(file), expected.data()) << c.Pages << " pages, " << c.Held << " held";
  }
}

TEST(VupageFileWriter, APictureRepeatedAcrossPartsLoadsOnEveryPage) {
  TTempDir dir;
  const QString file = dir.File("repeat.vup");
  TVuPageList parts;
  {
    TVuPageFileWriter writer(parts, file, 2);
    for (int n = 0; n < 5; ++n) {
      writer.NewPage();
      RecordPage(parts, n, 2);
    }
    writer.Finish();
  }
  TVuPageList loaded;
  ASSERT_TRUE(loaded.LoadFromFile(file));
  ASSERT_EQ(loaded.Count(), 5);
  // Two values in three parts: each part stores the pictures its pages use.
  EXPECT_EQ(loaded.ResourceTable().Graphics().Count(), 5);
  for (int n = 0; n < 5; ++n) {
    auto* object = dynamic_cast<TVuGraphicObject*>(loaded.Page(n + 1)->VuObject(0));
    ASSERT_TRUE(object) << n;
    const QString value = Completed(QStringLiteral("4006381%1").arg(n % 2, 5, 10, QChar(u'0')));
    EXPECT_EQ(dynamic_cast<TBitmap*>(object->Graphic())->Image(),
              RenderEAN13(value, encodeEAN13(value).Modules)->Image()) << n;
  }
}

TEST(VupageFileWriter, AWriterLeftUnfinishedLeavesTheFileAsItWas) {
  TTempDir dir;
  const QString file = dir.File("kept.vup");
  {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("before");
  }
  TVuPageList parts;
  {
    TVuPageFileWriter writer(parts, file, 1);
    for (int n = 0; n < 3; ++n) {
      writer.NewPage();
      RecordPage(parts, n, 3);
    }
  }
  EXPECT_EQ(FileOf(file), QByteArray("before"));
}
