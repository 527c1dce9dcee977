// The viewer window on the offscreen platform, on an in-memory print service, with a document
// recorded in code.
#include <gtest/gtest.h>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include "TestSupport.h"
#include "app/ViewerForm.h"
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
  EXPECT_EQ(form.pageLabel->text(), "Page 1 of 3");
  EXPECT_EQ(NavigationEnabled(form), (std::vector<bool>{false, false, true, true}));

  form.uNext->click();
  EXPECT_EQ(form.pageLabel->text(), "Page 2 of 3");
  EXPECT_TRUE(form.Thumbnails->GetThumbnail(1)->Selected());
  EXPECT_EQ(NavigationEnabled(form), (std::vector<bool>{true, true, true, true}));

  // A click in the strip moves the preview and the buttons with it.
  QTest::mouseClick(form.Thumbnails->GetThumbnail(2), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(form.VuPreview1->GetCurrentPageNum(), 3);
  EXPECT_EQ(form.pageLabel->text(), "Page 3 of 3");
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

TEST_F(ViewerFormTest, PrintSendsEveryPageToTheChosenPrinter) {
  {
    TViewerForm form;
    RecordPages(*form.VuPreview1, 2);
    form.DocumentLoaded();
    form.show();
    ASSERT_EQ(form.printer->count(), 3);
    EXPECT_EQ(form.printer->currentText(), "Alpha");
    form.printer->setCurrentIndex(2);
    form.printButton->click();
  }
  auto& jobs = printers.Backend().Jobs;
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0]->Device, "Beta");
  EXPECT_TRUE(jobs[0]->Finished);
  EXPECT_EQ(jobs[0]->Pages.size(), 2u);
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
  EXPECT_EQ(form.pageLabel->text(), "Page 1 of 4");
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
