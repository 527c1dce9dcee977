#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QMenu>
#include <QTest>
#include <memory>
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/view/Vuthumbnails.h"
#include "tests/common/TestSupport.h"

namespace {

// A preview and a strip side by side in one window, the strip linked to the preview.
class Thumbnails : public testing::Test {
 protected:
  Thumbnails() {
    FHost.resize(900, 700);
    FPreview = new TVuPreview(&FHost);
    FPreview->setGeometry(300, 0, 600, 700);
    FStrip = new TVuThumbnails(&FHost);
    FStrip->setGeometry(0, 0, 300, 700);
    FHost.show();
    FStrip->SetPreview(FPreview);
  }
  void AddPages(int count) {
    for (int i = 0; i < count; ++i) FPreview->NewPage();
  }
  // Paints everything that is due, at once.
  void PaintNow() {
    QCoreApplication::processEvents();
    FStrip->viewport()->repaint();
  }
  QImage Shot(TVuThumbnail* t) { return t->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  TMemoryPrinterInstall FPrinters{{MemoryA4Printer("A")}, "A"};
  QWidget FHost;
  TVuPreview* FPreview = nullptr;
  TVuThumbnails* FStrip = nullptr;
};

QRgb Rgb(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

TEST_F(Thumbnails, A4WithTheDefaultsIsDrawnAtZoom6) {
  ASSERT_EQ(FStrip->ThumbnailCount(), 1);
  TVuThumbnail* t = FStrip->GetThumbnail(0);
  EXPECT_EQ(t->GetZoom(), 6);
  EXPECT_TRUE(t->GetIsThumbnail());
  const TPoint e = t->GetPageExtent(96);
  EXPECT_EQ(e.X, 48);
  EXPECT_EQ(e.Y, 67);
  EXPECT_EQ(t->width(), 64);
  // 8 pixels above and below the page, and below that the caption band: 4 pixels and the
  // default font's 11-pixel characters.
  EXPECT_EQ(t->height(), 8 + 67 + 8 + 15);
  // The page sits exactly inside the gutters.
  const TRect p = t->PageRect();
  EXPECT_EQ(p.Left, 8);
  EXPECT_EQ(p.Top, 8);
}

TEST_F(Thumbnails, LayoutsPlaceNeighboursOverlappingByOnePixel) {
  AddPages(4);
  ASSERT_EQ(FStrip->ThumbnailCount(), 5);
  const int w = 64 - 1, h = 98 - 1;
  struct Case {
    TVuThumbNailLayout layout;
    int gridWidth;
    std::vector<QPoint> at;
  };
  const Case cases[] = {
      {vuThumbHorz, 4, {{0, 0}, {w, 0}, {2 * w, 0}, {3 * w, 0}, {4 * w, 0}}},
      {vuThumbVert, 4, {{0, 0}, {0, h}, {0, 2 * h}, {0, 3 * h}, {0, 4 * h}}},
      // Rows of two, the fifth alone at the start of the third row.
      {vuThumbGrid, 2, {{0, 0}, {w, 0}, {0, h}, {w, h}, {0, 2 * h}}},
      // A grid width below one would divide by zero: a row holds one thumbnail at least.
      {vuThumbGrid, 0, {{0, 0}, {0, h}, {0, 2 * h}, {0, 3 * h}, {0, 4 * h}}},
  };
  for (const Case& c : cases) {
    FStrip->SetGridWidth(c.gridWidth);
    FStrip->SetLayout(c.layout);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(FStrip->GetThumbnail(i)->pos(), c.at[size_t(i)]) << c.layout << " " << i;
    // The scroll ranges cover the thumbnails.
    const QPoint last = c.at.back();
    EXPECT_GE(FStrip->Content()->width(), last.x() + 64) << c.layout;
    EXPECT_GE(FStrip->Content()->height(), last.y() + 98) << c.layout;
  }
}

TEST_F(Thumbnails, CaptionsReplaceEveryHashWithThePageNumber) {
  AddPages(2);
  struct Case {
    QString pattern, third;
  };
  const Case cases[] = {{"#", "3"}, {"Page #", "Page 3"}, {"# of #", "3 of 3"}};
  for (const Case& c : cases) {
    FStrip->SetPageCaptions(c.pattern);
    EXPECT_EQ(FStrip->GetThumbnail(2)->CaptionText(), c.third) << c.pattern.toStdString();
  }
  // The caption is written in the band under the page, and only with ShowCaption.
  auto inkBelowPage = [this] {
    PaintNow();
    TVuThumbnail* t = FStrip->GetThumbnail(0);
    const QImage shot = Shot(t);
    int ink = 0;
    for (int y = t->PageRect().Bottom + 3; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) ink += qGray(shot.pixel(x, y)) < 100;
    return ink;
  };
  EXPECT_GT(inkBelowPage(), 5);
  FStrip->SetShowCaption(false);
  EXPECT_EQ(FStrip->GetThumbnail(0)->height(), 8 + 67 + 8);
  EXPECT_EQ(inkBelowPage(), 0);
}

TEST_F(Thumbnails, ClickingAThumbnailMakesItsPageCurrentAndMarksOnlyIt) {
  AddPages(4);
  FPreview->FirstPage();
  EXPECT_TRUE(FStrip->GetThumbnail(0)->Selected());
  QTest::mouseClick(FStrip->GetThumbnail(2), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(FPreview->GetCurrentPageNum(), 3);
  EXPECT_EQ(FStrip->ItemIndex(), 2);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(FStrip->GetThumbnail(i)->Selected(), i == 2) << i;
  // The preview moving on moves the mark.
  FPreview->LastPage();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(FStrip->GetThumbnail(i)->Selected(), i == 4) << i;
}

TEST_F(Thumbnails, InsideThePreviewsUpdateNothingPaintsClicksAreIgnoredAndTheEndRebuildsOnce) {
  AddPages(2);
  PaintNow();
  const int rebuilds = FStrip->RebuildCount();
  TVuThumbnail* first = FStrip->GetThumbnail(0);
  FPreview->BeginUpdate();
  FPreview->BeginUpdate();
  AddPages(3);
  FPreview->Canvas().Rectangle(20, 20, 100, 60);
  first->Changed();
  const int drawsBefore = first->ContentDraws();
  PaintNow();
  first->repaint();
  EXPECT_EQ(first->ContentDraws(), drawsBefore);
  QTest::mouseClick(FStrip->GetThumbnail(1), Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(FPreview->GetCurrentPageNum(), 6);
  FPreview->EndUpdate();
  EXPECT_EQ(FStrip->RebuildCount(), rebuilds);
  FPreview->EndUpdate();
  EXPECT_EQ(FStrip->RebuildCount(), rebuilds + 1);
  EXPECT_EQ(FStrip->ThumbnailCount(), 6);
  EXPECT_TRUE(FStrip->GetThumbnail(5)->Selected());
  PaintNow();
  EXPECT_GT(FStrip->GetThumbnail(5)->ContentDraws(), 0);
}

TEST_F(Thumbnails, APageAddedGivesOneMoreThumbnailEachWithThePopup) {
  QMenu menu;
  FStrip->SetThumbPopup(&menu);
  AddPages(1);
  ASSERT_EQ(FStrip->ThumbnailCount(), 2);
  AddPages(1);
  ASSERT_EQ(FStrip->ThumbnailCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(FStrip->GetThumbnail(i)->PopupMenu(), &menu) << i;
    EXPECT_EQ(FStrip->GetThumbnail(i)->Page(), FPreview->GetPage(i + 1)) << i;
  }
  FPreview->DeletePage(0);
  EXPECT_EQ(FStrip->ThumbnailCount(), 2);
}

TEST_F(Thumbnails, UnlinkingOrDestroyingEitherSideLeavesNothingBehind) {
  AddPages(2);
  FStrip->SetPreview(nullptr);
  EXPECT_EQ(FStrip->ThumbnailCount(), 0);
  EXPECT_EQ(FStrip->Content()->size(), QSize(0, 0));
  // Unlinked, the strip hears nothing more.
  AddPages(1);
  EXPECT_EQ(FStrip->ThumbnailCount(), 0);

  FStrip->SetPreview(FPreview);
  EXPECT_EQ(FStrip->ThumbnailCount(), 4);
  delete FPreview;
  FPreview = nullptr;
  EXPECT_EQ(FStrip->ThumbnailCount(), 0);
  EXPECT_EQ(FStrip->Preview(), nullptr);
  PaintNow();

  // A strip destroyed first is no longer told anything by its preview.
  auto* preview = new TVuPreview(&FHost);
  FStrip->SetPreview(preview);
  delete FStrip;
  FStrip = nullptr;
  preview->NewPage();
  preview->NextPage();
  delete preview;
}

TEST_F(Thumbnails, AChangedPageIsDrawnAgainTheOthersKeepTheirPictures) {
  AddPages(2);  // page 3 current
  PaintNow();
  int draws[3];
  for (int i = 0; i < 3; ++i) {
    draws[i] = FStrip->GetThumbnail(i)->ContentDraws();
    ASSERT_GT(draws[i], 0) << i;
  }
  const int rebuilds = FStrip->RebuildCount();
  // Recorded on the current page, then on page 1 behind the preview's back.
  FPreview->Canvas().Rectangle(20, 20, 100, 60);
  FPreview->GetPage(1)->Changed();
  PaintNow();
  EXPECT_EQ(FStrip->RebuildCount(), rebuilds);
  EXPECT_GT(FStrip->GetThumbnail(0)->ContentDraws(), draws[0]);
  EXPECT_EQ(FStrip->GetThumbnail(1)->ContentDraws(), draws[1]);
  EXPECT_GT(FStrip->GetThumbnail(2)->ContentDraws(), draws[2]);
  EXPECT_TRUE(FStrip->GetThumbnail(2)->Selected());
  // Marking another page repaints marks only.
  for (int i = 0; i < 3; ++i) draws[i] = FStrip->GetThumbnail(i)->ContentDraws();
  FPreview->FirstPage();
  PaintNow();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FStrip->GetThumbnail(i)->ContentDraws(), draws[i]) << i;
}

TEST_F(Thumbnails, EachHighlightStyleMarksTheCurrentPage) {
  AddPages(1);
  FPreview->FirstPage();
  const QRgb blue = Rgb(FStrip->SelectedColor());
  struct Case {
    TVuHighlightStyle style;
    // Offsets from the page's top-left corner that take the mark's colour, and one that
    // does not.
    std::vector<QPoint> marked;
    QPoint plain;
  };
  const Case cases[] = {
      {vuThinLine, {{0, 20}, {20, 0}}, {-1, 20}},
      // Two pixels across the page's edge.
      {vuThickLine, {{-1, 20}, {0, 20}, {20, -1}, {20, 0}}, {1, 20}},
      // The whole thumbnail is filled, outside the page.
      {vuBackground, {{-4, 20}, {20, -4}}, {2, 20}},
  };
  for (const Case& c : cases) {
    FStrip->SetHighlightStyle(c.style);
    PaintNow();
    TVuThumbnail* t = FStrip->GetThumbnail(0);
    const TRect p = t->PageRect();
    const QImage marked = Shot(t);
    const QImage plain = Shot(FStrip->GetThumbnail(1));
    for (const QPoint& at : c.marked) {
      EXPECT_EQ(marked.pixel(p.Left + at.x(), p.Top + at.y()), blue) << c.style << " " << at.x() << "," << at.y();
      EXPECT_NE(plain.pixel(p.Left + at.x(), p.Top + at.y()), blue) << c.style;
    }
    EXPECT_NE(marked.pixel(p.Left + c.plain.x(), p.Top + c.plain.y()), blue) << c.style;
  }
  // Without Highlight no thumbnail shows a mark.
  FStrip->SetHighlight(false);
  PaintNow();
  const QImage shot = Shot(FStrip->GetThumbnail(0));
  EXPECT_NE(shot.pixel(2, 2), blue);
}
