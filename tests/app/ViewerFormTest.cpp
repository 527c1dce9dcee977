// The viewer window on the offscreen platform, on an in-memory print service, with a document
// recorded in code.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>
#include <algorithm>
#include <cstdio>
#include "TestSupport.h"
#include "app/ViewerForm.h"
#include "app/ViewerPrintDialog.h"
#include "tests/support/MemoryPrinterBackend.h"

namespace {
void RecordPages(TVuPreview& preview, int count) {
  for (int i = 1; i <= count; ++i) {
    if (i > 1) preview.NewPage();
    preview.Canvas().TextOut(20, 20, QStringLiteral("Page %1").arg(i));
  }
}

std::vector<bool> NavigationEnabled(const TViewerForm& form) {
  return {form.uFirst->isEnabled(), form.uPrevious->isEnabled(), form.uNext->isEnabled(), form.uLast->isEnabled()};
}
}  // namespace

class ViewerFormTest : public testing::Test {
 protected:
  TRecordedServices services;
  TMemoryPrinterInstall printers{{MemoryA4Printer(QStringLiteral("Alpha")), MemoryA4Printer(QStringLiteral("Beta"))},
                                 QStringLiteral("Alpha")};
};

TEST_F(ViewerFormTest, StripButtonsAndPageTextFollowTheCurrentPage) {
  TViewerForm form;
  RecordPages(*form.VuPreview1, 3);
  form.DocumentLoaded();
  form.show();
  EXPECT_EQ(form.Thumbnails->ThumbnailCount(), 3);
  EXPECT_EQ(form.PageText(), "Page 1 of 3");
  EXPECT_EQ(NavigationEnabled(form), (std::vector<bool>{false, false, true, true}));

  form.uNext->click();
  EXPECT_EQ(form.PageText(), "Page 2 of 3");
  EXPECT_TRUE(form.Thumbnails->GetThumbnail(1)->Selected());
  EXPECT_EQ(NavigationEnabled(form), (std::vector<bool>{true, true, true, true}));

  // A click in the strip moves the preview and the buttons with it.
  QTest::mouseClick(form.Thumbnails->GetThumbnail(2), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 3);
  EXPECT_EQ(form.PageText(), "Page 3 of 3");
  EXPECT_EQ(NavigationEnabled(form), (std::vector<bool>{true, true, false, false}));

  form.uFirst->click();
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 1);
  EXPECT_TRUE(form.Thumbnails->GetThumbnail(0)->Selected());
  EXPECT_FALSE(form.Thumbnails->GetThumbnail(2)->Selected());
}

TEST_F(ViewerFormTest, ZoomStepsThroughTheTableAndFitsTheWholePage) {
  TViewerForm form;
  form.show();
  EXPECT_EQ(form.VuPreview1->GetZoom(), 60);
  form.zoomIn->click();
  EXPECT_EQ(form.VuPreview1->GetZoom(), 80);
  form.zoomOut->click();
  form.zoomOut->click();
  EXPECT_EQ(form.VuPreview1->GetZoom(), 45);
  form.wholePage->click();
  const int whole = form.VuPreview1->GetZoom();
  // The whole A4 page fits the preview's height.
  EXPECT_LE(form.VuPreview1->PaperImage().GetPageExtent(96).Y, form.VuPreview1->height());
  EXPECT_GT(form.VuPreview1->PaperImage().GetPageExtent(96).Y, form.VuPreview1->height() / 2);
  EXPECT_NE(whole, 45);
}

// Answers the print step once it is open: the printer, the range and the copies, then Print
// or Cancel.
static void AnswerPrintStep(std::function<void(TViewerPrintDialog&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<TViewerPrintDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr) << "no print step";
    answer(*dialog);
  });
}

TEST_F(ViewerFormTest, KeysTurnPagesZoomAndClose) {
  TViewerForm form;
  RecordPages(*form.VuPreview1, 3);
  form.DocumentLoaded();
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.wholePage->click();  // the whole page in sight: Page Down turns at once
  form.VuPreview1->setFocus();
  QTest::keyClick(form.VuPreview1, Qt::Key_PageDown);
  EXPECT_EQ(form.PageText(), "Page 2 of 3");
  EXPECT_EQ(form.pageEdit->text(), "2");
  QTest::keyClick(form.VuPreview1, Qt::Key_PageUp);
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 1);
  QTest::keyClick(form.VuPreview1, Qt::Key_PageUp);  // no page before the first
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 1);

  // Zoomed in, Page Down scrolls inside the page first and turns it at the bottom, where the
  // next page starts at its top.
  form.zoomBox->setEditText(QStringLiteral("big"));
  QTest::keyClick(form.zoomBox->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(services.Messages, QStringList{"Zoom must be a whole number of percent, from 5 to 400."});
  EXPECT_EQ(form.zoomBox->currentText(), form.ZoomText());
  services.Messages.clear();
  form.zoomBox->setEditText(QStringLiteral("200%"));
  QTest::keyClick(form.zoomBox->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(form.VuPreview1->GetZoom(), 200);
  QScrollBar* bar = form.VuPreview1->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  form.VuPreview1->setFocus();
  QTest::keyClick(form.VuPreview1, Qt::Key_PageDown);
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 1);
  EXPECT_GT(bar->value(), 0);
  bar->setValue(bar->maximum());
  QTest::keyClick(form.VuPreview1, Qt::Key_PageDown);
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 2);
  EXPECT_EQ(bar->value(), bar->minimum());
  // The wheel at the top of a page goes back to the previous one, at its bottom.
  QWheelEvent up(QPointF(50, 50), form.VuPreview1->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.VuPreview1->viewport(), &up);
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 1);
  EXPECT_EQ(bar->value(), bar->maximum());
  // Ctrl+wheel zooms, and the box shows it.
  QWheelEvent zoom(QPointF(50, 50), form.VuPreview1->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                   Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.VuPreview1->viewport(), &zoom);
  EXPECT_LT(form.VuPreview1->GetZoom(), 200);
  EXPECT_EQ(form.zoomBox->currentText(), form.ZoomText());

  // The page field: Enter goes there; a page beyond the document is refused with a message.
  form.pageEdit->setText(QStringLiteral("3"));
  QTest::keyClick(form.pageEdit, Qt::Key_Return);
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 3);
  form.pageEdit->setText(QStringLiteral("9"));
  QTest::keyClick(form.pageEdit, Qt::Key_Return);
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 3);
  EXPECT_EQ(services.Messages, QStringList{"Page exceeded."});

  // Fit width fills the preview's width with the page.
  form.fitWidth->click();
  EXPECT_EQ(form.zoomBox->currentText(), form.ZoomText());
  EXPECT_GT(form.VuPreview1->PaperImage().GetPageExtent(96).X, form.VuPreview1->width() * 3 / 4);

  // Esc, Ctrl+W and Ctrl+Q close the window.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                  QKeySequence(Qt::CTRL | Qt::Key_Q)}) {
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.VuPreview1->setFocus();
    QTest::keySequence(&form, key);
    EXPECT_FALSE(form.isVisible()) << key.toString().toStdString();
  }
}

TEST_F(ViewerFormTest, PrintAsksForPrinterRangeAndCopiesFirst) {
  {
    TViewerForm form;
    RecordPages(*form.VuPreview1, 5);
    form.DocumentLoaded();
    form.show();
    // Cancel prints nothing.
    AnswerPrintStep([](TViewerPrintDialog& d) { d.cancelButton->click(); });
    form.printButton->click();
    EXPECT_TRUE(printers.Backend().Jobs.empty());

    AnswerPrintStep([](TViewerPrintDialog& d) {
      EXPECT_EQ(d.printer->currentText(), "Alpha");
      EXPECT_TRUE(d.allPages->isChecked());
      EXPECT_EQ(d.summary->text(), "5 pages to print.");
      d.printer->setCurrentIndex(1);
      d.fromPage->setValue(2);
      d.toPage->setValue(4);
      d.copies->setValue(2);
      EXPECT_TRUE(d.pageRange->isChecked());
      EXPECT_EQ(d.summary->text(), "6 pages to print.");
      d.printButton->click();
    });
    form.printButton->click();
  }
  auto& jobs = printers.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]->Device, "Beta");
  EXPECT_TRUE(jobs[0]->Finished);
  EXPECT_EQ(jobs[0]->Mode.Copies, 2);
  EXPECT_EQ(jobs[0]->Pages.size(), 3u);
  EXPECT_TRUE(services.Errors.isEmpty());
}

TEST(ViewerFormWithoutPrinter, ShowsTheDocumentWithPrintingOff) {
  TRecordedServices services;
  TMemoryPrinterInstall none{{}};
  TViewerForm form;
  RecordPages(*form.VuPreview1, 2);
  form.DocumentLoaded();
  EXPECT_FALSE(form.printButton->isEnabled());
  EXPECT_EQ(form.Thumbnails->ThumbnailCount(), 2);
  EXPECT_TRUE(services.Errors.isEmpty());
}

TEST_F(ViewerFormTest, OpensAPageFileOrKeepsItsDocumentAndSaysWhy) {
  TTempDir dir;
  {
    TVuPreview source;
    RecordPages(source, 4);
    ASSERT_TRUE(source.SaveToFile(dir.File("four.vup"))) << source.LastFileError().toStdString();
  }
  // The same file cut off half-way.
  QFile good(dir.File("four.vup"));
  ASSERT_TRUE(good.open(QIODevice::ReadOnly));
  const QByteArray bytes = good.readAll();
  QFile damaged(dir.File("damaged.vup"));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write(bytes.left(bytes.size() / 2));
  damaged.close();

  TViewerForm form;
  QString error;
  ASSERT_TRUE(form.Open(dir.File("four.vup"), error)) << error.toStdString();
  EXPECT_EQ(form.windowTitle(), "four.vup - VelEAN13 Viewer");
  EXPECT_EQ(form.Thumbnails->ThumbnailCount(), 4);
  EXPECT_EQ(form.PageText(), "Page 1 of 4");
  EXPECT_TRUE(form.Thumbnails->GetThumbnail(0)->Selected());

  for (const QString& name : {QStringLiteral("damaged.vup"), QStringLiteral("missing.vup")}) {
    error.clear();
    EXPECT_FALSE(form.Open(dir.File(name), error)) << name.toStdString();
    EXPECT_TRUE(error.contains(name)) << error.toStdString();
    // What was shown stays.
    EXPECT_EQ(form.Thumbnails->ThumbnailCount(), 4);
    EXPECT_EQ(form.windowTitle(), "four.vup - VelEAN13 Viewer");
  }
}

TEST_F(ViewerFormTest, AnUnreadableFileGivesItsReasonAndStatus1WithoutAWindow) {
  TTempDir dir;
  FILE* err = std::tmpfile();
  ASSERT_NE(err, nullptr);
  EXPECT_EQ(RunViewer(dir.File("missing.vup"), err), 1);
  std::rewind(err);
  char text[512] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, err);
  std::fclose(err);
  EXPECT_TRUE(QString::fromLocal8Bit(text, qsizetype(n)).contains("missing.vup\" is not a readable page file"))
      << text;
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
              std::none_of(QApplication::topLevelWidgets().begin(), QApplication::topLevelWidgets().end(),
                           [](QWidget* w) { return w->isVisible() && w->objectName() == "ViewerForm"; }));
}
