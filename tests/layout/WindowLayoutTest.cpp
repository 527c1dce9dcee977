// Every window of the program as a user opens it on a 1024 x 768 screen, on the offscreen
// platform. The test runs twice, at the scale 1 and at QT_SCALE_FACTOR=1.5 (a 683 x 512 screen
// for the windows): each window lies inside the screen's available area, and no two visible
// controls with the same parent overlap.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSizeGrip>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>
#include "TestSupport.h"
#include "app/Ean13Form.h"
#include "app/PrintPreviewForm.h"
#include "app/ViewerForm.h"
#include "app/ViewerPrintDialog.h"
#include "tests/support/MemoryPrinterBackend.h"
#include "platform/Services.h"

namespace {
QString Text(const QRect& r) { return QStringLiteral("(%1, %2) %3 x %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); }

QString Name(const QWidget* w) {
  const QString name = w->objectName();
  return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), name);
}

// Every pair of visible siblings whose rectangles share a pixel, below root.
QStringList Overlaps(const QWidget* root) {
  QStringList found;
  QList<const QWidget*> children;
  for (QObject* o : root->children()) {
    auto* w = qobject_cast<QWidget*>(o);
    // A size grip sits in its window's corner over the layout, as on every desktop.
    if (!w || w->isWindow() || !w->isVisibleTo(root->window()) || w->geometry().isEmpty() ||
        qobject_cast<QSizeGrip*>(w))
      continue;
    children << w;
    // The thumbnail strip's tiles share their border pixel by design.
    if (!qobject_cast<TVuThumbnails*>(w)) found << Overlaps(w);
  }
  for (qsizetype i = 0; i < children.size(); ++i)
    for (qsizetype j = i + 1; j < children.size(); ++j)
      if (children[i]->geometry().intersects(children[j]->geometry()))
        found << QStringLiteral("%1 %2 and %3 %4 in %5")
                     .arg(Name(children[i]))
                     .arg(Text(children[i]->geometry()))
                     .arg(Name(children[j]))
                     .arg(Text(children[j]->geometry()))
                     .arg(Name(root));
  return found;
}

// Shows the window, lets it lay itself out, and checks it.
void ExpectFitsAndNoOverlap(QWidget* window, const char* what) {
  SCOPED_TRACE(what);
  if (!window->isVisible()) window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  QTest::qWait(20);
  const QRect area = window->screen()->availableGeometry();
  EXPECT_TRUE(area.contains(window->frameGeometry()))
      << Text(window->frameGeometry()).toStdString() << " on " << Text(area).toStdString();
  const QStringList overlaps = Overlaps(window);
  EXPECT_TRUE(overlaps.isEmpty()) << overlaps.join(QStringLiteral("\n")).toStdString();
}
}  // namespace

class WindowLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    // The help page is read from the working directory.
    previous = QDir::currentPath();
    QFile::copy(QStringLiteral(VELEAN13_SOURCE_DIR "/resources/VelEAN13.htm"), dir.File("VelEAN13.htm"));
    QDir::setCurrent(dir.Path());
  }
  void TearDown() override { QDir::setCurrent(previous); }
  TRecordedServices services;
  TTempDir dir;
  QString previous;
  TMemoryPrinterInstall printers{{MemoryA4Printer(QStringLiteral("Alpha"))}, QStringLiteral("Alpha")};
};

TEST_F(WindowLayoutTest, TheScreenIsTheSmallOne) {
  // 1024 x 768 device pixels at this run's scale.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize device = screen->geometry().size() * screen->devicePixelRatio();
  EXPECT_NEAR(device.width(), 1024, 1);
  EXPECT_NEAR(device.height(), 768, 1);
}

TEST_F(WindowLayoutTest, MainWindowHelpAndPrintPreview) {
  TEAN13Form form(dir.Path());
  ExpectFitsAndNoOverlap(&form, "main window");

  services.ShellOpenWorks = false;  // the program's own help window
  form.helpButton->click();
  ASSERT_NE(form.HelpWindow(), nullptr);
  ExpectFitsAndNoOverlap(form.HelpWindow(), "help window");
  // Centred on the main window where the screen lets it.
  EXPECT_LE(std::abs(form.HelpWindow()->frameGeometry().center().x() - form.frameGeometry().center().x()), 2);

  TPrintPreviewForm preview(&form);
  preview.show();
  EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
  ExpectFitsAndNoOverlap(&preview, "print preview window");
}

TEST_F(WindowLayoutTest, ViewerAndItsPrintStep) {
  TViewerForm viewer;
  for (int i = 1; i <= 3; ++i) {
    if (i > 1) viewer.VuPreview1->NewPage();
    viewer.VuPreview1->Canvas().TextOut(20, 20, QStringLiteral("Page %1").arg(i));
  }
  viewer.DocumentLoaded();
  ExpectFitsAndNoOverlap(&viewer, "viewer");
  // Print and Close stay in sight however narrow the screen.
  for (QToolButton* b : {viewer.printButton, viewer.closeButton}) {
    EXPECT_TRUE(b->isVisible()) << Name(b).toStdString();
    EXPECT_TRUE(viewer.rect().contains(QRect(b->mapTo(&viewer, QPoint(0, 0)), b->size()))) << Name(b).toStdString();
  }

  TViewerPrintDialog dialog({QStringLiteral("Alpha")}, 0, 3, 1, &viewer);
  ExpectFitsAndNoOverlap(&dialog, "viewer's print step");
}

TEST_F(WindowLayoutTest, MessageBoxesAndTheSaveDialog) {
  for (TMessageKind kind : {TMessageKind::mkWarning, TMessageKind::mkError, TMessageKind::mkQuestion}) {
    auto box = MakeMessageBox(kind, QStringLiteral("EAN13 must be 13 digits."));
    ExpectFitsAndNoOverlap(box.get(), "message box");
  }
  TSaveDialog save;
  save.Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
  save.FileName = dir.File("symbol.bmp");
  ExpectFitsAndNoOverlap(save.Prepare(), "save dialog");
}
