// The print preview window on the offscreen platform, on an in-memory print service.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include "TestSupport.h"
#include "app/Ean13Form.h"
#include "app/PrintPreviewForm.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"
#include "tests/support/MemoryPrinterBackend.h"

namespace {
void EnterInFromPage(TPrintPreviewForm& form, const QString& text) {
  form.fromPage->setText(text);
  form.fromPage->deselect();
  QTest::keyClick(form.fromPage, Qt::Key_Return);
}

std::vector<bool> NavigationEnabled(const TPrintPreviewForm& form) {
  return {form.uFirst->isEnabled(), form.uPrevious->isEnabled(), form.uNext->isEnabled(), form.uLast->isEnabled()};
}
}  // namespace

class PrintPreviewFormTest : public testing::Test {
 protected:
  TRecordedServices services;
  TMemoryPrinterInstall printers{{MemoryA4Printer(QStringLiteral("Alpha")), MemoryA4Printer(QStringLiteral("Beta"))},
                                 QStringLiteral("Alpha")};
};

TEST_F(PrintPreviewFormTest, LayoutOfTheWindow) {
  TPrintPreviewForm form;
  EXPECT_EQ(form.windowTitle(), "Print Form");
  EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(form.font().family(), "Times New Roman");
  EXPECT_EQ(form.font().pixelSize(), 16);
  struct { QPushButton* b; const char* text; QRect geometry; QSize icon; int font; } buttons[] = {
      {form.uFirst, "&First", {13, 5, 80, 33}, {26, 24}, 16},
      {form.uPrevious, "Pre&v", {93, 5, 80, 33}, {26, 24}, 16},
      {form.uNext, "&Next", {173, 5, 80, 33}, {26, 24}, 16},
      {form.uLast, "&Last", {253, 5, 80, 33}, {26, 24}, 16},
      {form.zoomIn, "Zoon In", {354, 6, 79, 30}, {16, 16}, 16},
      {form.zoomOut, "Zoon out", {444, 6, 85, 30}, {16, 16}, 16},
      {form.Button1, "&Close", {164, 7, 80, 60}, {16, 16}, 19},
      {form.printButton, "&Print", {76, 7, 80, 60}, {16, 16}, 19}};
  for (auto& b : buttons) {
    EXPECT_EQ(b.b->text(), b.text);
    EXPECT_EQ(b.b->geometry(), b.geometry) << b.text;
    EXPECT_EQ(b.b->iconSize(), b.icon) << b.text;
    EXPECT_EQ(b.b->font().pixelSize(), b.font) << b.text;
    const QImage normal = b.b->icon().pixmap(b.icon, QIcon::Normal).toImage();
    EXPECT_EQ(normal.size(), b.icon) << b.text;
    EXPECT_NE(b.b->icon().pixmap(b.icon, QIcon::Disabled).toImage(), normal) << b.text;
  }
  EXPECT_EQ(form.Panel1->parentWidget(), form.Panel3);
  EXPECT_EQ(form.Button1->parentWidget(), form.Panel1);
  EXPECT_EQ(form.Panel3->height(), 73);
  // Hints: all four kept, only First's shown.
  EXPECT_EQ(TPrintPreviewForm::Hint(form.uFirst), "最前一頁");
  EXPECT_EQ(TPrintPreviewForm::Hint(form.uPrevious), "前一頁");
  EXPECT_EQ(TPrintPreviewForm::Hint(form.uNext), "後一頁");
  EXPECT_EQ(TPrintPreviewForm::Hint(form.uLast), "最後一頁");
  EXPECT_EQ(form.uFirst->toolTip(), "最前一頁");
  EXPECT_TRUE(form.uPrevious->toolTip().isEmpty() && form.uNext->toolTip().isEmpty() && form.uLast->toolTip().isEmpty());
  // The two Chinese faces the window names resolve to the installed Ming face.
  for (const char* face : {"新細明體", "細明體"})
    EXPECT_EQ(QFontInfo(QFont(QString::fromUtf8(face))).family(), "AR PL UMing TW") << face;
  EXPECT_EQ(form.fromPage->geometry(), QRect(436, 40, 37, 27));
  EXPECT_EQ(form.toPage->geometry(), QRect(501, 40, 37, 27));
  // The printer list is 257 wide unless the label after it needs a few of those pixels in
  // this platform's face; the label then ends before the From field.
  EXPECT_EQ(form.printer->geometry().topLeft(), QPoint(72, 41));
  EXPECT_EQ(form.printer->height(), 27);
  EXPECT_GE(form.printer->width(), 240);
  EXPECT_LE(form.printer->width(), 257);
  EXPECT_LT(form.printer->geometry().right(), form.Label1->x());
  EXPECT_LT(form.Label1->geometry().right(), form.fromPage->x());
  // The preview as the window sets it up.
  TVuPreview& p = *form.VuPreview1;
  EXPECT_EQ(p.GetZoom(), 100);
  EXPECT_FALSE(p.AutoScroll());
  EXPECT_EQ(p.Footer().CaptionCenter().GetCaption(), "Page {PAGE} of  {NUMPAGES}");
  EXPECT_EQ(p.Footer().CaptionCenter().Font().PixelSize(), 13);
  EXPECT_FALSE(p.Footer().GetShowLine());
  EXPECT_EQ(p.Margins().Pen().Style, psDot);
  EXPECT_EQ(p.Margins().Pen().Color, clSilver);
  EXPECT_EQ(p.PageGrid().GridPen().Color, clSilver);
  const TVuRect margins = p.Margins().GetAsInches();
  for (Extended m : {margins.Left, margins.Top, margins.Right, margins.Bottom}) EXPECT_NEAR(double(m), 5 / 25.4, 1e-9);
  EXPECT_EQ(p.GetNumPages(), 1);
}

TEST_F(PrintPreviewFormTest, OnePageDocumentShowsItsCountAndDisablesNavigation) {
  TPrintPreviewForm form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  EXPECT_EQ(form.StatusPanelText(0), "Total Page: 1");
  EXPECT_EQ(form.StatusPanelText(1), "Page: 1");
  EXPECT_EQ(form.toPage->text(), "1");
  EXPECT_EQ(NavigationEnabled(form), (std::vector<bool>{false, false, false, false}));
  EXPECT_EQ(QApplication::focusWidget(), form.fromPage);
  // Tab order, disabled buttons skipped.
  QWidget* expected[] = {form.toPage, form.zoomIn, form.zoomOut, form.printer, form.Button1, form.printButton};
  for (QWidget* w : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w) << w->objectName().toStdString();
  }
}

TEST_F(PrintPreviewFormTest, NavigationButtonsFollowTheCurrentPage) {
  TPrintPreviewForm form;
  form.VuPreview1->NewPage();
  form.VuPreview1->NewPage();
  form.show();
  EXPECT_EQ(form.StatusPanelText(0), "Total Page: 3");
  EXPECT_EQ(form.toPage->text(), "3");
  using V = std::vector<bool>;
  EXPECT_EQ(NavigationEnabled(form), (V{false, false, true, true}));
  struct { QPushButton* button; int page; V enabled; } steps[] = {
      {form.uNext, 2, {true, true, true, true}},
      {form.uLast, 3, {true, true, false, false}},
      {form.uPrevious, 2, {true, true, true, true}},
      {form.uFirst, 1, {false, false, true, true}}};
  for (auto& s : steps) {
    s.button->click();
    EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), s.page) << s.button->objectName().toStdString();
    EXPECT_EQ(form.StatusPanelText(1), QStringLiteral("Page: %1").arg(s.page));
    EXPECT_EQ(NavigationEnabled(form), s.enabled) << s.button->objectName().toStdString();
  }
}

TEST_F(PrintPreviewFormTest, PageJumps) {
  TPrintPreviewForm form;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  struct { const char* text; const char* message; bool selected; } cases[] = {
      {"1", nullptr, true},
      {"2", "Page exceeded.", true},
      {"0", "Page cannot be negative.", true},
      {"-3", "Page cannot be negative.", true},
      {"abc", nullptr, false}};
  for (auto& c : cases) {
    services.Messages.clear();
    form.toPage->setFocus();
    EnterInFromPage(form, QString::fromLatin1(c.text));
    EXPECT_EQ(services.Messages, c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList()) << c.text;
    // Enter types nothing into the field.
    EXPECT_EQ(form.fromPage->text(), c.text);
    EXPECT_EQ(form.fromPage->selectedText(), c.selected ? QString::fromLatin1(c.text) : QString()) << c.text;
    EXPECT_EQ(QApplication::focusWidget() == form.fromPage, c.selected) << c.text;
    EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 1);
    EXPECT_EQ(form.StatusPanelText(1), "Page: 1");
  }
}

TEST_F(PrintPreviewFormTest, ZoomOutStopsAtTenAndZoomInAtTheMaximum) {
  TPrintPreviewForm form;
  for (int i = 0; i < 15; ++i) form.zoomOut->click();
  EXPECT_EQ(form.VuPreview1->GetZoom(), 10);
  for (int i = 0; i < 45; ++i) form.zoomIn->click();
  EXPECT_EQ(form.VuPreview1->GetZoom(), 400);
}

TEST_F(PrintPreviewFormTest, TheChosenPrinterServesDefaultPrinterAndTheNextWindow) {
  {
    TPrintPreviewForm form;
    EXPECT_EQ(form.printer->count(), 3);
    EXPECT_EQ(form.printer->itemText(0), "Default Printer");
    EXPECT_EQ(form.printer->itemText(1), "Alpha");
    EXPECT_EQ(form.printer->itemText(2), "Beta");
    EXPECT_EQ(form.printer->currentIndex(), 1);
    form.printer->setCurrentIndex(2);
    form.printButton->click();
    form.printer->setCurrentIndex(0);
    form.printButton->click();
  }
  auto& jobs = printers.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 2u);
  for (auto& job : jobs) {
    EXPECT_EQ(job->Device, "Beta");
    EXPECT_EQ(job->Title, "<document>");
    EXPECT_TRUE(job->Finished);
    EXPECT_EQ(job->Pages.size(), 1u);
  }
  TPrintPreviewForm next;
  EXPECT_EQ(next.printer->currentIndex(), 2);
  EXPECT_TRUE(services.Errors.isEmpty()) << services.Errors.join(u'\n').toStdString();
}

// A queue installed while the program runs is in the list of the next window.
TEST_F(PrintPreviewFormTest, EachWindowReadsThePrinterListAgain) {
  {
    TPrintPreviewForm form;
    EXPECT_EQ(form.printer->count(), 3);
  }
  printers.Backend().Printers.push_back(MemoryA4Printer(QStringLiteral("Gamma")));
  TPrintPreviewForm next;
  ASSERT_EQ(next.printer->count(), 4);
  EXPECT_EQ(next.printer->itemText(3), "Gamma");
}

TEST_F(PrintPreviewFormTest, BadPageRangesPrintNothing) {
  TPrintPreviewForm form;
  struct { const char* from; const char* to; const char* error; const char* message; } cases[] = {
      {"1", "x", "'x' is not a valid integer value", nullptr},
      {"", "1", "'' is not a valid integer value", nullptr},
      {"1", "2", nullptr, "Page exceeded."},
      {"0", "1", nullptr, "Page cannot be negative."}};
  for (auto& c : cases) {
    services.Errors.clear();
    services.Messages.clear();
    form.fromPage->setText(QString::fromLatin1(c.from));
    form.toPage->setText(QString::fromLatin1(c.to));
    form.printButton->click();
    EXPECT_EQ(services.Errors, c.error ? QStringList{QString::fromLatin1(c.error)} : QStringList()) << c.from << c.to;
    EXPECT_EQ(services.Messages, c.message ? QStringList{QString::fromLatin1(c.message)} : QStringList()) << c.from << c.to;
  }
  EXPECT_TRUE(printers.Backend().Jobs.empty());
}

TEST(PrintPreviewFormNoPrinter, CreationFailsAndTheMainWindowStaysAsItWas) {
  TRecordedServices services;
  TMemoryPrinterInstall none({});
  try {
    TPrintPreviewForm form;
    ADD_FAILURE() << "created without a printer";
  } catch (const EPrinter& e) {
    EXPECT_EQ(e.Message(), "There is no default printer currently selected");
  }
  TTempDir dir;
  TEAN13Form main(dir.Path());
  const QImage before = main.Picture()->Image();
  main.printButton->click();
  EXPECT_EQ(services.Errors, QStringList{"There is no default printer currently selected"});
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(main.value->text(), "1234567890128");
  EXPECT_EQ(main.Picture()->Image(), before);
}

TEST_F(PrintPreviewFormTest, MainWindowPrintShowsTheBarcodePageModallyAndDestroysIt) {
  TTempDir dir;
  TEAN13Form main(dir.Path());
  QPointer<TPrintPreviewForm> seen;
  int objects = -1, pages = -1;
  QTimer::singleShot(0, [&] {
    seen = qobject_cast<TPrintPreviewForm*>(QApplication::activeModalWidget());
    if (!seen) return;
    pages = seen->VuPreview1->GetNumPages();
    objects = seen->VuPreview1->GetCurrentPage()->Count();
    seen->Button1->click();
  });
  main.printButton->click();
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(objects, 1);
  EXPECT_TRUE(seen.isNull());  // destroyed when it closed
  EXPECT_TRUE(services.Errors.isEmpty());

  // With an empty picture (a refused stored value) Print does nothing, as Copy.
  TTempDir refusedDir;
  QFile cfg(refusedDir.File(QStringLiteral("VelEAN13.cfg")));
  ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
  cfg.write(QByteArray("x") + QByteArray(189, '\0'));
  cfg.close();
  TEAN13Form empty(refusedDir.Path());
  ASSERT_EQ(empty.Picture(), nullptr);
  bool opened = false;
  QTimer::singleShot(0, [&] {
    if (QWidget* w = QApplication::activeModalWidget()) {
      opened = true;
      w->close();
    }
  });
  empty.printButton->click();
  QTest::qWait(10);
  EXPECT_FALSE(opened);
}

TEST_F(PrintPreviewFormTest, GridPrintComponentIsLinkedAndItsHandlersDrawCellsAndMoveNewPagesDown) {
  TPrintPreviewForm form;
  TVuGridPrint& grid = *form.VuGridPrint1;
  EXPECT_EQ(grid.Preview(), form.VuPreview1);
  EXPECT_EQ(grid.GetGrid(), nullptr);
  EXPECT_EQ(form.GridSource, nullptr);
  EXPECT_FALSE(form.GridSourceColor);
  EXPECT_EQ(grid.GetCellPenColor(), clWhite);
  EXPECT_EQ(grid.GetGridOptions(), 0);
  EXPECT_EQ(grid.Font().Name, QString::fromUtf8("新細明體"));
  EXPECT_EQ(grid.Font().Height, -27);
  EXPECT_EQ(grid.FixedCellFont().Name, QString::fromUtf8("細明體"));
  EXPECT_EQ(grid.FixedCellFont().Height, -16);
  // The faces resolve to an installed Ming face, not to boxes.
  EXPECT_EQ(QFontInfo(grid.Font().ToQFont()).family(), "AR PL UMing TW");

  // Laid out with a grid given for the test: every cell through the window's cell handler,
  // no lines, and page 2 starting 15 mm from the top.
  TStringGrid cells;
  cells.SetColCount(2);
  cells.SetRowCount(80);
  cells.SetDefaultRowHeight(40);
  for (int r = 0; r < 80; ++r) cells.SetCells(0, r, QStringLiteral("%1").arg(r));
  grid.SetGrid(&cells);
  form.VuPreview1->Clear();
  grid.GridToPage(10, 10, 0, vuMillimeters);
  ASSERT_GE(form.VuPreview1->GetNumPages(), 2);
  int boxes = 0, lines = 0;
  Extended topOfPage2 = 100;
  for (int p = 1; p <= form.VuPreview1->GetNumPages(); ++p)
    for (int i = 0; i < form.VuPreview1->GetPage(p)->Count(); ++i) {
      TVuBaseObject* o = form.VuPreview1->GetPage(p)->VuObject(i);
      lines += o->GetObjectID() == vuLineObject;
      if (auto* box = dynamic_cast<TVuTextBoxObject*>(o)) {
        ++boxes;
        if (p == 2) topOfPage2 = std::min(topOfPage2, box->GetY(vuMillimeters));
      }
    }
  EXPECT_EQ(boxes, 80);
  EXPECT_EQ(lines, 0);
  // Row 0 is not repeated, but its height stays free below the 15 mm.
  EXPECT_NEAR(double(topOfPage2), 15 + 40 / 96.0 * 25.4, 1e-9);
}
