// The focus-colour edit field, driven through the toolkit's events on the offscreen platform.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include "TestSupport.h"
#include "app/ALEdit.h"
#include "app/Ean13Form.h"

namespace {
QFont Times24() {
  QFont f(QStringLiteral("Times"));
  f.setPixelSize(24);
  return f;
}

// A window with the field and a button after it in the tab order.
struct THost {
  QWidget window;
  TALEdit* edit;
  QPushButton* next;
  THost() {
    window.resize(260, 120);
    edit = new TALEdit(&window);
    edit->setGeometry(10, 10, 177, 33);
    edit->setFont(Times24());
    next = new QPushButton(QStringLiteral("Next"), &window);
    next->setGeometry(10, 60, 80, 30);
  }
  bool Show() {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
  }
};

// Pixels that differ clearly from the background colour, as a bounding box.
QRect InkBounds(const QImage& image, QColor background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QColor c = image.pixelColor(x, y);
      int d = std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
              std::abs(c.blue() - background.blue());
      if (d > 96) box |= QRect(x, y, 1, 1);
    }
  return box;
}

// The field's client area as rendered, with the frame and window border left out.
QImage ClientImage(TALCustomEdit* edit) {
  return edit->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(edit->ClientRect());
}

// The text drawn with its cell's top-left at (x, top) in the given client-area rectangle.
QImage Reference(QSize client, QRect textRect, const QFont& font, const QString& text, int x, int top,
                 QColor background) {
  QImage image(client, QImage::Format_RGB32);
  image.fill(background);
  QPainter p(&image);
  p.setClipRect(textRect);
  p.setFont(font);
  p.setPen(Qt::black);
  p.drawText(x, top + QFontMetrics(font).ascent(), text);
  return image;
}

QAction* PasteAction(QMenu* menu) {
  for (QAction* a : menu->actions())
    if (a->text().startsWith(QLineEdit::tr("&Paste"))) return a;
  return nullptr;
}

const QColor FocusColour(237, 240, 125);
}  // namespace

class ALEditTest : public testing::Test {
 protected:
  void SetUp() override { FSavedClipboard = QGuiApplication::clipboard()->text(); }
  void TearDown() override { QGuiApplication::clipboard()->setText(FSavedClipboard); }
  TRecordedServices services;
  TTempDir dir;

 private:
  QString FSavedClipboard;
};

TEST_F(ALEditTest, PublishedDefaults) {
  TALEdit edit;
  EXPECT_EQ(edit.GetColorOnFocus(), 8253677);
  EXPECT_EQ(GetRValue(edit.GetColorOnFocus()), 237);
  EXPECT_EQ(GetGValue(edit.GetColorOnFocus()), 240);
  EXPECT_EQ(GetBValue(edit.GetColorOnFocus()), 125);
  EXPECT_EQ(edit.GetAlignment(), taLeftJustify);
  EXPECT_EQ(edit.GetBorderColor(), clBlack);
  EXPECT_EQ(edit.GetCustomProperty(), "");
  EXPECT_EQ(edit.GetColor(), clWindow);
  EXPECT_EQ(edit.text(), "");
  EXPECT_FALSE(edit.OnPaint);
  EXPECT_FALSE(edit.hasFrame());
}

TEST_F(ALEditTest, ValueFieldStartsFocusedInTheFocusColourAndSwitchesBack) {
  TEAN13Form form(dir.Path());
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  TALEdit* value = form.value;
  ASSERT_TRUE(value->hasFocus());
  EXPECT_EQ(value->GetColor(), 8253677);
  EXPECT_EQ(value->selectedText(), "1234567890128");
  QImage shown = ClientImage(value);
  // Right of the text the field shows its background.
  EXPECT_EQ(shown.pixelColor(shown.width() - 3, shown.height() / 2), FocusColour);

  QTest::keyClick(value, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), form.saveButton);
  EXPECT_EQ(value->GetColor(), clWindow);
  shown = ClientImage(value);
  EXPECT_EQ(shown.pixelColor(shown.width() - 3, shown.height() / 2), ToQColor(clWindow));

  // Coming back by any route selects the whole text, not only by Tab.
  value->setText("4006381333931");
  value->setCursorPosition(2);
  value->setFocus(Qt::OtherFocusReason);
  EXPECT_EQ(value->selectedText(), "4006381333931");
  EXPECT_EQ(value->GetColor(), 8253677);
  form.saveButton->setFocus(Qt::MouseFocusReason);
  EXPECT_FALSE(value->hasSelectedText());
  value->setFocus(Qt::MouseFocusReason);
  EXPECT_EQ(value->selectedText(), "4006381333931");
}

TEST_F(ALEditTest, EnterInTheValueFieldRunsPreviewAndOtherKeysAreTyped) {
  TEAN13Form form(dir.Path());
  form.show();
  QApplication::setActiveWindow(&form);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.value->setText("");
  QTest::keyClicks(form.value, "978030640615");
  EXPECT_EQ(form.value->text(), "978030640615");
  QTest::keyClick(form.value, Qt::Key_Return);
  EXPECT_EQ(form.value->text(), "9780306406157");
  EXPECT_EQ(QApplication::focusWidget(), form.value);  // the owner handles Enter: focus stays
}

TEST_F(ALEditTest, PasteWithALineBreakIsRefusedByEveryRoute) {
  THost host;
  ASSERT_TRUE(host.Show());
  TALEdit* edit = host.edit;
  edit->setFocus();
  QClipboard* clipboard = QGuiApplication::clipboard();
  for (const char* text : {"12\n34", "12\r34", "12\r\n34", "\n"}) {
    SCOPED_TRACE(text);
    clipboard->setText(QString::fromLatin1(text));
    edit->setText("abc");
    edit->setCursorPosition(3);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "abc");
    QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), "abc");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->text(), "abc");

    std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
    QAction* paste = PasteAction(menu.get());
    ASSERT_NE(paste, nullptr);
    EXPECT_FALSE(paste->isEnabled());
    // Even when offered (the clipboard may change while the menu is open) it refuses.
    paste->setEnabled(true);
    paste->trigger();
    EXPECT_EQ(edit->text(), "abc");

    QMimeData mime;
    mime.setText(QString::fromLatin1(text));
    QPointF at(20, 15);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    EXPECT_FALSE(enter.isAccepted());
    // A drag that entered with one line and drops data that has grown a line break.
    QMimeData growing;
    growing.setText("1");
    QDragEnterEvent oneLine(at.toPoint(), Qt::CopyAction, &growing, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &oneLine);
    ASSERT_TRUE(oneLine.isAccepted());
    growing.setText(QString::fromLatin1(text));
    QDropEvent drop(at, Qt::CopyAction, &growing, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit, &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(edit->text(), "abc");
  }
}

TEST_F(ALEditTest, OneLinePasteInsertsByEveryRoute) {
  THost host;
  ASSERT_TRUE(host.Show());
  TALEdit* edit = host.edit;
  edit->setFocus();
  QGuiApplication::clipboard()->setText("55");
  edit->setText("abc");
  edit->setCursorPosition(3);
  QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "abc55");
  QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(edit->text(), "abc5555");
  std::unique_ptr<QMenu> menu(edit->CreateContextMenu());
  QAction* paste = PasteAction(menu.get());
  ASSERT_NE(paste, nullptr);
  EXPECT_TRUE(paste->isEnabled());
  paste->trigger();
  EXPECT_EQ(edit->text(), "abc555555");

  edit->setText("abc");
  QMimeData mime;
  mime.setText("9");
  QPointF end(edit->width() - 5, 15);
  QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(edit, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(end, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(edit, &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(edit->text(), "abc9");
}

// The X11 selection exists only on a platform that has one; without it, the test runs itself
// again under the X server the test services provide.
TEST_F(ALEditTest, MiddleClickSelectionWithALineBreakIsRefused) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection()) {
    QString display = qEnvironmentVariable("VELEAN13_DISPLAY", qEnvironmentVariable("DISPLAY"));
    if (display.isEmpty() || qEnvironmentVariableIsSet("VELEAN13_SELECTION_CHILD"))
      GTEST_SKIP() << "no selection clipboard on " << QGuiApplication::platformName().toStdString()
                   << " and no X display";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("DISPLAY", display);
    env.insert("VELEAN13_SELECTION_CHILD", "1");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=ALEditTest.MiddleClickSelectionWithALineBreakIsRefused"});
    ASSERT_TRUE(child.waitForFinished(60000));
    QByteArray out = child.readAll();
    if (out.contains("could not connect to display")) GTEST_SKIP() << "X display " << display.toStdString() << " is not running";
    ASSERT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
    return;
  }
  QString savedSelection = clipboard->text(QClipboard::Selection);
  THost host;
  host.window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window));
  TALEdit* edit = host.edit;
  edit->setText("abc");
  edit->setCursorPosition(3);
  clipboard->setText("12\n34", QClipboard::Selection);
  ASSERT_EQ(clipboard->text(QClipboard::Selection), "12\n34");
  QTest::mouseClick(edit, Qt::MiddleButton, {}, QPoint(edit->width() - 5, 15));
  EXPECT_EQ(edit->text(), "abc");
  clipboard->setText("77", QClipboard::Selection);
  QTest::mouseClick(edit, Qt::MiddleButton, {}, QPoint(edit->width() - 5, 15));
  EXPECT_EQ(edit->text(), "abc77");
  clipboard->setText(savedSelection, QClipboard::Selection);
}

TEST_F(ALEditTest, EnterMovesTheFocusOnUnlessTheOwnerHandlesKeys) {
  THost host;
  ASSERT_TRUE(host.Show());
  TALEdit* edit = host.edit;
  edit->setText("12");
  edit->setFocus();
  edit->setCursorPosition(2);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), host.next);
  EXPECT_EQ(edit->text(), "12");

  // With OnKeyDown the owner sees the key and the focus stays.
  int downKey = 0;
  edit->OnKeyDown = [&](TALCustomEdit* sender, int& key, TShiftState) {
    EXPECT_EQ(sender, edit);
    downKey = key;
  };
  edit->setFocus();
  edit->setCursorPosition(2);
  QTest::keyClick(edit, Qt::Key_Enter);
  EXPECT_EQ(downKey, int(Qt::Key_Enter));
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->text(), "12");
  edit->OnKeyDown = nullptr;

  // With OnKeyPress only the owner deals with the character: the focus stays, and what the
  // handler leaves of the character is typed.
  std::vector<char16_t> pressed;
  edit->OnKeyPress = [&](TALCustomEdit*, char16_t& key) {
    pressed.push_back(key);
    if (key == u'a') key = u'b';
    if (key == u'x') key = 0;
  };
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  QTest::keyClicks(edit, "axc");
  EXPECT_EQ(edit->text(), "12bc");
  EXPECT_EQ(pressed, (std::vector<char16_t>{13, u'a', u'x', u'c'}));
}

TEST_F(ALEditTest, UnfocusedAlignedTextIsPaintedAtTheComputedPosition) {
  TALEdit edit;
  edit.setGeometry(0, 0, 177, 33);
  edit.setFont(Times24());
  edit.setText("12345");
  edit.SetColor(clWhite);
  int paints = 0;
  bool hadCanvas = true;
  edit.OnPaint = [&](TALCustomEdit* sender) {
    ++paints;
    hadCanvas = hadCanvas && sender->Canvas() != nullptr;
  };
  const QSize client = edit.ClientRect().size();
  const int W = client.width();
  const int w = QFontMetrics(edit.font(), &edit).horizontalAdvance("12345");
  struct { TAlignment alignment; TColor border; int x; } cases[] = {
      {taRightJustify, clRed, W - w - 4},
      {taRightJustify, clNone, W - w - 2},
      {taCenter, clRed, (W - 2 - w) / 2},
      {taCenter, clNone, (W - w) / 2},
      {taLeftJustify, clRed, 1},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "alignment " << int(c.alignment) << " border " << c.border);
    edit.SetAlignment(c.alignment);
    edit.SetBorderColor(c.border);
    const int before = paints;
    QImage shown = ClientImage(&edit);
    EXPECT_GT(paints, before);
    QRect textRect = c.border == clNone ? QRect(QPoint(0, 0), client) : QRect(QPoint(1, 1), client - QSize(2, 2));
    QImage expected = Reference(client, textRect, edit.font(), "12345", c.x, 2, Qt::white);
    QRect inner = textRect.adjusted(1, 1, -1, -1);  // leave the frame out of the comparison
    EXPECT_EQ(InkBounds(shown.copy(inner), Qt::white), InkBounds(expected.copy(inner), Qt::white));
    // The frame: BorderColor, or the background with clNone; the window border stays black.
    QColor frame = c.border == clNone ? QColor(Qt::white) : QColor(Qt::red);
    EXPECT_EQ(shown.pixelColor(0, client.height() / 2), frame);
    EXPECT_EQ(shown.pixelColor(W - 1, client.height() / 2), frame);
    EXPECT_EQ(shown.pixelColor(W / 2, 0), frame);
    QImage whole = edit.grab().toImage();
    EXPECT_EQ(whole.pixelColor(0, whole.height() / 2), QColor(Qt::black));
  }
  // The paint's canvas is there for OnPaint, and only during the paint.
  EXPECT_TRUE(hadCanvas);
  EXPECT_EQ(edit.Canvas(), nullptr);
}

TEST_F(ALEditTest, FocusedEditingIsLeftAlignedWhereTheUnfocusedTextStarts) {
  THost host;
  TALEdit* edit = host.edit;
  edit->setText("12345");
  edit->SetColorOnFocus(clWhite);
  edit->SetColor(clWhite);
  QImage left = ClientImage(edit);
  edit->SetAlignment(taRightJustify);
  QImage right = ClientImage(edit);
  ASSERT_TRUE(host.Show());
  edit->setFocus();
  ASSERT_TRUE(edit->Focused());
  edit->deselect();
  QImage focused = ClientImage(edit);
  QRect inner = QRect(QPoint(0, 0), left.size()).adjusted(2, 2, -2, -2);
  QRect leftInk = InkBounds(left.copy(inner), Qt::white);
  QRect rightInk = InkBounds(right.copy(inner), Qt::white);
  // The text cursor stands right of the last glyph: leave its column out.
  QRect glyphs = inner;
  glyphs.setWidth(leftInk.right() - 1);
  QRect focusedInk = InkBounds(focused.copy(glyphs), Qt::white);
  QRect leftGlyphs = InkBounds(left.copy(glyphs), Qt::white);
  // The same glyphs, moved along the line only.
  EXPECT_EQ(rightInk.top(), leftInk.top());
  EXPECT_EQ(rightInk.size(), leftInk.size());
  EXPECT_GT(rightInk.left(), leftInk.left() + 40);
  EXPECT_EQ(focusedInk, leftGlyphs);
}

TEST_F(ALEditTest, ReadOnlyFieldNeitherSwitchesColourNorReportsFocus) {
  THost host;
  TALEdit* edit = host.edit;
  int entered = 0, exited = 0;
  edit->OnEnter = [&](TALCustomEdit*) { ++entered; };
  edit->OnExit = [&](TALCustomEdit*) { ++exited; };
  edit->setText("1234");
  edit->setReadOnly(true);
  ASSERT_TRUE(host.Show());
  edit->setFocus(Qt::OtherFocusReason);
  EXPECT_TRUE(edit->hasFocus());
  EXPECT_FALSE(edit->Focused());
  EXPECT_EQ(edit->GetColor(), clWindow);
  EXPECT_FALSE(edit->hasSelectedText());
  host.next->setFocus();
  EXPECT_EQ(entered, 0);
  EXPECT_EQ(exited, 0);
  EXPECT_EQ(edit->GetColor(), clWindow);

  // Writable again: entry and exit switch and report.
  edit->setReadOnly(false);
  edit->setFocus();
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(edit->GetColor(), DefaultColorOnFocus);
  // Made read-only while it holds the focus, the field still gets its colour back.
  edit->setReadOnly(true);
  host.next->setFocus();
  EXPECT_EQ(exited, 1);
  EXPECT_EQ(edit->GetColor(), clWindow);
}

TEST_F(ALEditTest, ContextMenuFocusChangeKeepsTheFocusLook) {
  THost host;
  ASSERT_TRUE(host.Show());
  TALEdit* edit = host.edit;
  edit->setText("1234");
  int exited = 0;
  edit->OnExit = [&](TALCustomEdit*) { ++exited; };
  edit->setFocus();
  edit->setCursorPosition(1);
  QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
  QApplication::sendEvent(edit, &out);
  QFocusEvent in(QEvent::FocusIn, Qt::PopupFocusReason);
  QApplication::sendEvent(edit, &in);
  EXPECT_EQ(exited, 0);
  EXPECT_EQ(edit->GetColor(), DefaultColorOnFocus);
  EXPECT_EQ(edit->cursorPosition(), 1);  // the selection is not reset
  EXPECT_FALSE(edit->hasSelectedText());
}
