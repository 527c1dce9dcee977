// The main window driven as a user would, on the offscreen platform.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QTest>
#include <QTextBrowser>
#include <sys/stat.h>
#include "TestSupport.h"
#include "app/Ean13Form.h"
#include "barcode/Ean13.h"
#include "platform/Errors.h"

namespace {
// The barcode's pixels as 32-bit colours (the bitmap itself is kept at one bit per pixel).
QImage Expected(const QString& value) {
  return RenderEAN13(value, encodeEAN13(value).Modules)->Image().convertToFormat(QImage::Format_RGB32);
}

void WriteSettings(const QString& path, const QByteArray& value) {
  QByteArray record(190, '\0');
  record.replace(0, value.size(), value);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(record);
}

// An accelerator clicks its button the way a mouse click would, after the button's short
// pressed-look delay.
void PressAlt(QWidget* window, Qt::Key key) {
  QTest::keyClick(window->windowHandle(), key, Qt::AltModifier);
  QTest::qWait(250);
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class Ean13FormTest : public testing::Test {
 protected:
  TRecordedServices services;
  TTempDir dir;
};

TEST_F(Ean13FormTest, FirstRunShowsTheDesignValueAndItsBarcode) {
  TEAN13Form form(dir.Path());
  EXPECT_EQ(form.windowTitle(), "Velmor EAN13 Barcode Maker");
  EXPECT_EQ(form.value->text(), "1234567890128");
  ASSERT_NE(form.Picture(), nullptr);
  EXPECT_EQ(form.Picture()->Image().convertToFormat(QImage::Format_RGB32), Expected("1234567890128"));
  EXPECT_EQ(form.BarcodeImage->size(), QSize(210, 146));
  EXPECT_EQ(form.BarcodeImage->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
            Expected("1234567890128"));
  EXPECT_TRUE(services.Messages.isEmpty());
}

TEST_F(Ean13FormTest, LayoutCaptionsGeometryAndTabOrder) {
  TEAN13Form form(dir.Path());
  struct { QPushButton* b; const char* text; QRect geometry; } buttons[] = {
      {form.previewButton, "Pre&view", {20, 152, 200, 40}},
      {form.copyButton, "&Copy To Clipboard", {20, 200, 200, 40}},
      {form.saveButton, "&Save To File", {20, 248, 200, 40}},
      {form.printButton, "&Print", {20, 296, 200, 40}},
      {form.helpButton, "&Help", {276, 296, 100, 40}},
      {form.exitButton, "&Exit", {500, 296, 100, 40}}};
  for (auto& b : buttons) {
    EXPECT_EQ(b.b->text(), b.text);
    EXPECT_EQ(b.b->geometry(), b.geometry) << b.text;
    EXPECT_EQ(b.b->iconSize(), QSize(16, 16));
    EXPECT_FALSE(b.b->icon().pixmap(16, 16, QIcon::Normal).isNull()) << b.text;
    // The disabled picture is a separate, greyed copy.
    EXPECT_NE(b.b->icon().pixmap(16, 16, QIcon::Disabled).toImage(),
              b.b->icon().pixmap(16, 16, QIcon::Normal).toImage()) << b.text;
    EXPECT_EQ(b.b->font().family(), "Times New Roman");
    EXPECT_EQ(b.b->font().pixelSize(), 16);
  }
  EXPECT_EQ(form.value->geometry(), QRect(24, 96, 177, 33));
  EXPECT_EQ(form.value->font().pixelSize(), 24);
  EXPECT_EQ(form.Label1->geometry().topLeft(), QPoint(24, 24));
  EXPECT_EQ(form.Label1->width(), 239);
  EXPECT_GE(form.Label1->height(), 57);
  EXPECT_LE(form.Label1->geometry().bottom(), form.value->geometry().top());
  EXPECT_TRUE(form.Label1->wordWrap());
  EXPECT_EQ(form.Panel1->geometry(), QRect(312, 72, 241, 177));
  EXPECT_EQ(form.BarcodeImage->geometry(), QRect(11, 15, 210, 146));

  QWidget* expected[] = {form.value, form.saveButton, form.helpButton, form.exitButton,
                         form.copyButton, form.previewButton, form.printButton, form.value};
  QWidget* w = form.value;
  for (int i = 1; i < 8; ++i) {
    do w = w->nextInFocusChain(); while (!(w->focusPolicy() & Qt::TabFocus));
    EXPECT_EQ(w, expected[i]) << "tab stop " << i << " is " << w->objectName().toStdString();
  }
}

TEST_F(Ean13FormTest, EnterEqualsPreviewAndInsertsNothing) {
  TEAN13Form form(dir.Path());
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  form.value->setFocus();
  form.value->setText("978030640615");
  QTest::keyClick(form.value, Qt::Key_Return);
  EXPECT_EQ(form.value->text(), "9780306406157");
  EXPECT_EQ(form.Picture()->Image().convertToFormat(QImage::Format_RGB32), Expected("9780306406157"));

  form.value->setText("4006381333931");
  QTest::keyClick(form.value, Qt::Key_Enter);  // the keypad's Enter too
  EXPECT_EQ(form.value->text(), "4006381333931");
  QImage byEnter = form.Picture()->Image();
  form.value->setText("4006381333931");
  QTest::mouseClick(form.previewButton, Qt::LeftButton);
  EXPECT_EQ(form.Picture()->Image(), byEnter);
  EXPECT_TRUE(services.Messages.isEmpty());
}

TEST_F(Ean13FormTest, RefusedTextShowsItsMessageAndEmptiesTheField) {
  TEAN13Form form(dir.Path());
  QImage before = form.Picture()->Image();
  form.value->setText(" 1234567890128");
  form.previewButtonClick();
  EXPECT_EQ(services.Messages, QStringList{"EAN13 must be 13 digits."});
  EXPECT_EQ(form.value->text(), "");
  EXPECT_EQ(form.Picture()->Image(), before);
  // A blank field does nothing at all.
  form.value->setText("   ");
  form.previewButtonClick();
  EXPECT_EQ(services.Messages.size(), 1);
  EXPECT_EQ(form.value->text(), "   ");
}

TEST_F(Ean13FormTest, LeadingZeroIsRefusedAndThePictureStaysPixelForPixel) {
  TEAN13Form form(dir.Path());
  form.value->setText("4006381333931");
  form.previewButtonClick();
  QImage before = form.Picture()->Image();
  QImage shown = form.BarcodeImage->pixmap().toImage();
  form.value->setText("0123456789012");
  form.previewButtonClick();
  EXPECT_EQ(services.Messages, QStringList{"First digital cannot be 0."});
  EXPECT_EQ(form.value->text(), "0123456789012");
  EXPECT_EQ(form.Picture()->Image(), before);
  EXPECT_EQ(form.BarcodeImage->pixmap().toImage(), shown);
}

TEST_F(Ean13FormTest, ClosingWritesTheTextAsTyped) {
  {
    TEAN13Form form(dir.Path());
    form.show();
    form.value->setText("12x");  // typed after the last Preview: stored as typed
    EXPECT_TRUE(form.close());
  }
  QByteArray expected(190, '\0');
  expected.replace(0, 3, "12x");
  EXPECT_EQ(ReadAll(dir.File("VelEAN13.cfg")), expected);
}

TEST_F(Ean13FormTest, RefusedStoredValueIsReportedBeforeTheWindowAppears) {
  WriteSettings(dir.File("VelEAN13.cfg"), "12x45");
  bool windowVisible = true;
  ServiceHooks().MessageBox = [&](const QString& text) {
    services.Messages << text;
    windowVisible = false;
    for (QWidget* w : QApplication::topLevelWidgets()) windowVisible |= w->isVisible();
  };
  TEAN13Form form(dir.Path());
  EXPECT_EQ(services.Messages, QStringList{"EAN13 must be 13 digits."});
  EXPECT_FALSE(windowVisible);
  EXPECT_EQ(form.value->text(), "");
  EXPECT_EQ(form.Picture(), nullptr);
  EXPECT_TRUE(form.BarcodeImage->pixmap().isNull());
  // Commands on an empty picture change nothing.
  form.copyButtonClick();
  EXPECT_EQ(services.ClipboardSets, 0);
  services.SaveAnswer = dir.File("out.bmp");
  form.saveButtonClick();
  EXPECT_FALSE(QFile::exists(dir.File("out.bmp")));
}

TEST_F(Ean13FormTest, EmptyStoredValueDrawsNothing) {
  WriteSettings(dir.File("VelEAN13.cfg"), "");
  TEAN13Form form(dir.Path());
  EXPECT_EQ(form.value->text(), "");
  EXPECT_EQ(form.Picture(), nullptr);
  EXPECT_TRUE(services.Messages.isEmpty());
}

TEST_F(Ean13FormTest, CopyPutsTheBitmapOnTheClipboard) {
  TEAN13Form form(dir.Path());
  QTest::mouseClick(form.copyButton, Qt::LeftButton);
  EXPECT_EQ(services.ClipboardSets, 1);
  EXPECT_EQ(services.Clipboard.convertToFormat(QImage::Format_RGB32), Expected("1234567890128"));
}

TEST_F(Ean13FormTest, SaveWritesABitmapWhateverTheExtension) {
  TEAN13Form form(dir.Path());
  services.SaveAnswer = dir.File("symbol.png");
  QTest::mouseClick(form.saveButton, Qt::LeftButton);
  EXPECT_EQ(services.LastSaveFilter, "Bitmaps (*.bmp)|*.bmp");
  EXPECT_EQ(services.LastSaveDefaultExt, "bmp");
  QByteArray data = ReadAll(dir.File("symbol.png"));
  ASSERT_TRUE(data.startsWith("BM"));
  QImage loaded;
  ASSERT_TRUE(loaded.loadFromData(data, "BMP"));
  EXPECT_EQ(loaded.convertToFormat(QImage::Format_RGB32), Expected("1234567890128"));
  // A name without an extension gets ".bmp".
  services.SaveAnswer = dir.File("plain");
  form.saveButtonClick();
  EXPECT_TRUE(QFile::exists(dir.File("plain.bmp")));
  // Cancel writes nothing.
  services.SaveAnswer.clear();
  form.saveButtonClick();
  EXPECT_TRUE(services.Errors.isEmpty());
}

TEST_F(Ean13FormTest, FailedSaveReportsThePlatformMessageAndKeepsTheOldFile) {
  TEAN13Form form(dir.Path());
  QString path = dir.File("locked.bmp");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old contents");
  }
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
  services.SaveAnswer = path;
  QTest::mouseClick(form.saveButton, Qt::LeftButton);
  EXPECT_EQ(services.Errors, QStringList{QStringLiteral("Cannot create file \"%1\". Permission denied").arg(path)});
  EXPECT_EQ(ReadAll(path), "old contents");

  services.SaveAnswer = dir.File("no-such-folder/x.bmp");
  EXPECT_THROW(form.saveButtonClick(), EFCreateError);  // a direct call lets the error reach the caller
  EXPECT_EQ(services.Errors.size(), 1);
}

TEST_F(Ean13FormTest, HelpOpensTheHelpPage) {
  TEAN13Form form(dir.Path());
  QTest::mouseClick(form.helpButton, Qt::LeftButton);
  // The page beside the settings file, by its full name (none is installed for the tests).
  EXPECT_EQ(services.Opened, QStringList{dir.File("VelEAN13.htm")});
}

TEST_F(Ean13FormTest, EnterPressesTheFocusedButton) {
  TEAN13Form form(dir.Path());
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  services.SaveAnswer = dir.File("saved.bmp");
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Return, Qt::NoModifier},
                                                            {Qt::Key_Enter, Qt::KeypadModifier}};
  for (const auto& [key, modifiers] : keys) {
    form.value->setText("123");
    QFile::remove(dir.File("saved.bmp"));
    for (QPushButton* b : {form.copyButton, form.helpButton, form.previewButton, form.saveButton}) {
      b->setFocus();
      QTest::keyClick(b, key, modifiers);
    }
    EXPECT_EQ(form.value->text(), "1230000000000");
    EXPECT_TRUE(QFile::exists(dir.File("saved.bmp")));
  }
  // Ctrl+Enter is not the button's key.
  QTest::keyClick(form.copyButton, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(services.ClipboardSets, 2);
  EXPECT_EQ(services.Opened.size(), 2);
}

// Where the desktop has no way to open the page, the program shows it itself: the page beside
// the program, or without it the copy built into the program.
TEST_F(Ean13FormTest, HelpPageShowsInTheProgramsOwnWindowWhenTheShellCannot) {
  const QString saved = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.Path()));
  TEAN13Form form(dir.Path());
  form.helpButtonClick();
  EXPECT_EQ(form.HelpWindow(), nullptr);
  services.ShellOpenWorks = false;
  form.helpButtonClick();  // no page in the working directory
  ASSERT_NE(form.HelpWindow(), nullptr);
  EXPECT_TRUE(form.HelpWindow()->isVisible());
  EXPECT_EQ(form.HelpWindow()->source().scheme(), "qrc");
  EXPECT_TRUE(form.HelpWindow()->toPlainText().contains("The settings file"));
  ASSERT_TRUE(QFile::copy(VELEAN13_SOURCE_DIR "/resources/VelEAN13.htm", dir.File("VelEAN13.htm")));
  form.helpButtonClick();
  QDir::setCurrent(saved);
  EXPECT_TRUE(form.HelpWindow()->isVisible());
  EXPECT_TRUE(form.HelpWindow()->isWindow());
  EXPECT_TRUE(form.HelpWindow()->isReadOnly());
  EXPECT_EQ(form.HelpWindow()->source().scheme(), "file");
  EXPECT_EQ(form.HelpWindow()->windowTitle(), "Velmor EAN13 Barcode Maker - Help");
  EXPECT_EQ(services.Opened.size(), 3);
}

// At any screen scale the picture is drawn with whole device pixels per bitmap pixel (as many
// as fit the frame), from a whole device pixel, and stays black and white: at the layout's own
// scale at the control's corner, at any other centred in the frame.
TEST_F(Ean13FormTest, PictureStaysBlackAndWhiteAtAnyScale) {
  TEAN13Form form(dir.Path());
  const QImage bitmap = Expected("1234567890128");
  const QColor marker(0, 200, 0);
  struct {
    qreal Ratio;
    int Factor;
  } scales[] = {{1.0, 1}, {1.25, 1}, {1.5, 1}, {1.75, 1}, {2.0, 2}, {3.0, 3}};
  for (const auto& s : scales) {
    form.FitBarcodeImage(s.Ratio);
    const int side = int(std::ceil(s.Ratio * 300));
    QImage shown(side, side, QImage::Format_RGB32);
    shown.fill(marker);
    shown.setDevicePixelRatio(s.Ratio);
    // One logical pixel in, so that the control's corner falls between device pixels.
    form.BarcodeImage->render(&shown, QPoint(1, 1), QRegion(), QWidget::DrawChildren);
    QPoint origin(int(std::lrint(s.Ratio)), int(std::lrint(s.Ratio)));
    if (s.Ratio != 1.0) {
      EXPECT_EQ(form.BarcodeImage->geometry(), form.Panel1->contentsRect());
      const QPointF centre = (QPointF(1, 1) + QRectF(form.BarcodeImage->rect()).center()) * s.Ratio;
      origin = QPoint(int(std::lrint(centre.x() - 105.0 * s.Factor)), int(std::lrint(centre.y() - 73.0 * s.Factor)));
    }
    QImage expected(side, side, QImage::Format_RGB32);
    expected.fill(marker);
    {
      QPainter p(&expected);
      p.drawImage(QRect(origin, bitmap.size() * s.Factor), bitmap);
    }
    shown.setDevicePixelRatio(1);
    EXPECT_EQ(shown, expected) << "scale " << s.Ratio;
  }
}

TEST_F(Ean13FormTest, AcceleratorsRunTheirCommands) {
  auto* form = new TEAN13Form(dir.Path());
  form->setAttribute(Qt::WA_DeleteOnClose);
  form->show();
  QApplication::setActiveWindow(form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(form));
  PressAlt(form, Qt::Key_C);
  EXPECT_EQ(services.ClipboardSets, 1);
  PressAlt(form, Qt::Key_H);
  EXPECT_EQ(services.Opened.size(), 1);
  form->value->setText("123");
  PressAlt(form, Qt::Key_V);
  EXPECT_EQ(form->value->text(), "1230000000000");
  QPointer<TEAN13Form> alive(form);
  PressAlt(form, Qt::Key_E);
  QCoreApplication::processEvents();
  EXPECT_TRUE(alive.isNull() || !alive->isVisible());
  QByteArray expected(190, '\0');
  expected.replace(0, 13, "1230000000000");
  EXPECT_EQ(ReadAll(dir.File("VelEAN13.cfg")), expected);
  if (alive) delete alive.data();
}
