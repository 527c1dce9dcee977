// Pages and the page list: page numbering, notifications, paper, recording positions, hit
// tests and text search.
#include <gtest/gtest.h>
#include <map>
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "preview/document/Vucanvas.h"
#include "preview/core/Vufuncs.h"
#include "tests/common/TestSupport.h"

namespace {

// A printer at 300 ppi with unprintable strips of 30, 45, 30 and 45 pixels.
struct TDocument {
  TMemoryPrinterInstall Install{{MemoryA4Printer(QStringLiteral("Memory"), 300, 30, 45, 30, 45)},
                                QStringLiteral("Memory")};
  TVuPageList List;
  std::map<std::string, int> Fired;

  TDocument(int pages = 1) {
    for (int i = 0; i < pages; ++i) List.AddPage();
    auto count = [this](const char* name) { return [this, name](TPersistent*) { ++Fired[name]; }; };
    List.OnPageContentChanged = count("content");
    List.OnPageCountChanged = count("count");
    List.OnPageNumChanged = count("num");
    List.OnNewPage = count("new");
    List.OnOrientationChanged = count("orientation");
    List.OnPaperSizeChanged = count("paper");
    List.OnHeaderFooterChanged = count("headerfooter");
    List.OnMarginsChanged = count("margins");
  }
};

}  // namespace

TEST(VupagelistTest, InsertingAndDeletingPagesMovesTheCurrentPage) {
  TDocument d(3);
  d.List.InsertPage(0);
  EXPECT_EQ(d.List.Count(), 4);
  EXPECT_EQ(d.List.CurrentPage(), 4);
  EXPECT_THROW(d.List.InsertPage(6), EListError);

  struct {
    int pages, current, deleted, count, currentAfter;
  } cases[] = {{1, 1, 0, 1, 1}, {5, 5, 4, 4, 4}, {5, 2, 4, 4, 2}, {3, 3, 7, 3, 3}};
  for (auto& c : cases) {
    TDocument e(c.pages);
    e.List.SetCurrentPage(c.current);
    e.List.DeletePage(c.deleted);
    EXPECT_EQ(e.List.Count(), c.count) << c.pages << "/" << c.deleted;
    EXPECT_EQ(e.List.CurrentPage(), c.currentAfter) << c.pages << "/" << c.deleted;
    EXPECT_EQ(e.Fired["new"], c.pages == 1 ? 1 : 0);  // only an emptied list gets a fresh page
  }
}

TEST(VupagelistTest, PagesAddedInsideAnUpdateReportCountAndContentOnceAtTheEnd) {
  TDocument d;
  d.List.BeginUpdate();
  d.List.BeginUpdate();
  for (int i = 0; i < 3; ++i) d.List.AddPage();
  d.List.EndUpdate();
  EXPECT_EQ(d.Fired["count"] + d.Fired["content"], 0);
  d.List.EndUpdate();
  EXPECT_EQ(d.Fired["count"], 1);
  EXPECT_EQ(d.Fired["content"], 1);
  EXPECT_EQ(d.Fired["num"], 3);
  EXPECT_EQ(d.Fired["new"], 3);
  EXPECT_EQ(d.List.CurrentPage(), 4);
  d.List.EndUpdate();  // unmatched: nothing
  EXPECT_EQ(d.Fired["count"], 1);
  // Header and margin changes are held back too.
  d.List.BeginUpdate();
  d.List.Footer().SetVisible(true);
  d.List.Margins().Left().SetAsInches(1);
  EXPECT_EQ(d.Fired["headerfooter"] + d.Fired["margins"], 0);
  d.List.EndUpdate();
  d.List.Footer().CaptionCenter().SetCaption(QStringLiteral("x"));
  d.List.Margins().SetVisible(true);
  EXPECT_EQ(d.Fired["headerfooter"], 1);
  EXPECT_EQ(d.Fired["margins"], 1);
}

TEST(VupagelistTest, OrientationAndPaperSizeReachEveryPage) {
  TDocument d(3);
  d.List.SetOrientation(vuLandscape);
  for (int n = 1; n <= 3; ++n) {
    const TVuSize s = d.List.Page(n)->GetPageSize(vuInches);
    EXPECT_NEAR(double(s.Width), 11.6929, 1e-4);
    EXPECT_NEAR(double(s.Height), 8.2677, 1e-4);
  }
  EXPECT_NEAR(double(d.List.AddPage()->GetPageSize(vuMillimeters).Width), 297, 1e-3);
  d.List.SetOrientation(vuLandscape);  // the same orientation still reports
  EXPECT_EQ(d.Fired["orientation"], 2);
  d.List.SetOrientation(vuPortrait);
  EXPECT_NEAR(double(d.List.Page(2)->GetPageSize(vuMillimeters).Width), 210, 1e-3);
  d.List.SetPaperSize(A4);
  EXPECT_EQ(d.Fired["paper"], 0);
  d.List.SetPaperSize(A5);
  EXPECT_EQ(d.Fired["paper"], 1);
  EXPECT_NEAR(double(d.List.Page(1)->GetPageSize(vuMillimeters).Height), 210, 1e-3);
  d.List.SetPageSize(100, 50, vuMillimeters);
  EXPECT_EQ(d.List.PaperSize(), Custom);
  EXPECT_NEAR(double(d.List.Page(4)->GetPageSize(vuMillimeters).Width), 100, 1e-9);
}

TEST(VupagelistTest, RecordedPositionsAreShiftedToTheirReferencePoint) {
  TDocument d;
  d.List.Margins().SetAsInches(VuRect(1, 0.75L, 1, 1));
  d.List.Header().SetHeight(vuInches, 0.5L);
  const struct {
    TVuCoordsRelative from;
    Extended dx, dy;
  } cases[] = {{vuFromPage, 0, 0}, {vuFromPrinterMargins, 0.1L, 0.15L}, {vuFromUserMargins, 1, 0.75L},
               {vuFromHeaderLine, 1, 1.25L}};
  for (auto& c : cases) {
    d.List.Canvas().SetCoordsRelativeTo(c.from);
    const TVuRect r = d.List.Canvas().Rectangle(1, 2, 3, 4, vuInches)->Coords();
    EXPECT_NEAR(double(r.Left), double(1 + c.dx), 1e-12) << c.from;
    EXPECT_NEAR(double(r.Bottom), double(4 + c.dy), 1e-12) << c.from;
  }
}

TEST(VupagelistTest, RectanglesOfTheCurrentPage) {
  TDocument d;
  d.List.Margins().SetAsInches(VuRect(1, 0.5L, 0.75L, 0.25L));
  d.List.Header().SetHeight(vuInches, 0.5L);
  d.List.Footer().SetHeight(vuInches, 0.25L);
  d.List.SetPageSize(8, 10, vuInches);
  auto rect = [](TVuValueRect& r) { return r.GetAsInchRect(); };
  EXPECT_TRUE(EqualVuRects(rect(d.List.HeaderRect()), VuRect(1, 0.5L, 7.25L, 1)));
  EXPECT_TRUE(EqualVuRects(rect(d.List.FooterRect()), VuRect(1, 9.5L, 7.25L, 9.75L)));
  EXPECT_TRUE(EqualVuRects(rect(d.List.AvailablePageRect()), VuRect(1, 1, 7.25L, 9.5L)));
  d.List.Margins().SetUsePrinterMargins(true);
  const TVuRect a = rect(d.List.AvailablePageRect());
  EXPECT_NEAR(double(a.Left), 0.1, 1e-12);
  EXPECT_NEAR(double(a.Top), 0.15 + 0.5, 1e-12);
  EXPECT_NEAR(double(a.Bottom), 10 - 0.25 - 0.15, 1e-12);
}

TEST(VupagelistTest, DrawingOrderAndHitTests) {
  TDocument d;
  TVuCanvas& c = d.List.Canvas();
  TVuBaseObject* lower = c.Rectangle(10, 10, 50, 50);
  TVuBaseObject* upper = c.Ellipse(30, 30, 70, 70);
  TVuBaseObject* reversed = c.Line(150, 150, 100, 100);
  TVuPage& page = *d.List.Page(1);
  TVuBaseObject* hit = nullptr;
  EXPECT_TRUE(page.ObjectAtPos(40, 40, vuMillimeters, hit));
  EXPECT_EQ(hit, upper);
  EXPECT_TRUE(page.ObjectAtPos(120, 120, vuMillimeters, hit));
  EXPECT_EQ(hit, reversed);
  EXPECT_FALSE(page.ObjectAtPos(5, 100, vuMillimeters, hit));
  EXPECT_EQ(hit, nullptr);

  // Level changes reach the hit test; ends of the order stay put but still report.
  d.Fired.clear();
  static_cast<TVuVisibleObject*>(upper)->Arrange(vuToBack);
  EXPECT_TRUE(page.ObjectAtPos(40, 40, vuMillimeters, hit));
  EXPECT_EQ(hit, lower);
  static_cast<TVuVisibleObject*>(upper)->Arrange(vuBackword);
  static_cast<TVuVisibleObject*>(reversed)->Arrange(vuForward);
  EXPECT_EQ(page.VuObject(0), upper);
  EXPECT_EQ(page.VuObject(2), reversed);
  EXPECT_EQ(d.Fired["content"], 3);
  // A moved object is found where it went once the page has been told.
  lower->OffsetObject(100, 0, vuMillimeters);
  page.Changed();
  EXPECT_TRUE(page.ObjectAtPos(40, 40, vuMillimeters, hit));
  EXPECT_EQ(hit, upper);
  page.DeleteVuObject(upper);
  EXPECT_FALSE(page.ObjectAtPos(40, 40, vuMillimeters, hit));
}

TEST(VupagelistTest, FindTextSearchesTextsAndTextBoxesInPageOrder) {
  TDocument d;
  TVuCanvas& c = d.List.Canvas();
  TVuBaseObject* first = c.TextOut(10, 10, QStringLiteral("Article Number"));
  c.Rectangle(0, 0, 10, 10);
  d.List.AddPage();
  TVuBaseObject* box = c.TextBox(10, 10, 80, 30, QStringLiteral("the article"));
  c.TextOut(10, 50, QStringLiteral("other"));
  std::vector<TVuBaseTextObject*> found;
  d.List.FindText(QStringLiteral("ARTICLE"), false, found);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0], first);
  EXPECT_EQ(found[1], box);
  d.List.FindText(QStringLiteral("Article"), true, found);
  EXPECT_EQ(found.size(), 3u);  // appended, not cleared
  TVuBaseObject* umlaut = c.TextOut(10, 70, QStringLiteral("GRÖSSE"));
  found.clear();
  d.List.FindText(QStringLiteral("größe"), false, found);
  EXPECT_TRUE(found.empty());  // lowering keeps the double s
  d.List.FindText(QStringLiteral("össe"), false, found);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], umlaut);
}

TEST(VupagelistTest, ClearingRefillsUnlessToldNot) {
  TDocument d(3);
  d.List.Canvas().Rectangle(0, 0, 1, 1);
  d.List.ClearPages(false, true);
  EXPECT_EQ(d.List.Count(), 1);
  EXPECT_EQ(d.List.CurrentPage(), 1);
  EXPECT_EQ(d.List.ResourceTable().Pens().Count(), 0);
  EXPECT_EQ(d.Fired["num"], 0);
  d.List.ClearPages(true, false);
  EXPECT_EQ(d.List.Count(), 0);
  EXPECT_THROW(d.List.Canvas().Rectangle(0, 0, 1, 1), EListError);
}

TEST(VupagelistTest, APageAsAMetafileAndNoDanglingLastObject) {
  TDocument d(2);
  d.List.SetPageSize(4, 2, vuInches);
  d.List.Canvas().Rectangle(0, 0, 1, 1, vuInches);
  std::unique_ptr<TMetafile> page = d.List.PrintPageToMetafile(2);
  EXPECT_EQ(page->Width(), 1200);  // the printer's 300 ppi
  EXPECT_EQ(page->Height(), 600);
  EXPECT_FALSE(page->Empty());
  EXPECT_THROW(d.List.PrintPageToMetafile(3), EListError);

  ASSERT_NE(d.List.Canvas().LastObject(), nullptr);
  d.List.Page(2)->DeleteLastVuObject();
  EXPECT_EQ(d.List.Canvas().LastObject(), nullptr);
  d.List.Canvas().Ellipse(0, 0, 1, 1);
  d.List.DeletePage(1);
  EXPECT_EQ(d.List.Canvas().LastObject(), nullptr);
}
