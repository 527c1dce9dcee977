#include "app/Ean13Form.h"
#include <QCloseEvent>
#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <cmath>
#include "app/PrintCommand.h"
#include "app/WindowPlacement.h"
#include "barcode/Ean13.h"
#include "platform/Application.h"
#include "platform/Files.h"

// The button pictures live in the app library's resources; a static library must register them.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace {
QFont PixelFont(const QString& family, int pixels) {
  QFont f(family);
  f.setPixelSize(pixels);
  return f;
}

// The image control: shows its picture unscaled at its top-left. At another screen scale the
// toolkit would stretch the bitmap by that factor, which greys the bar edges; here each bitmap
// pixel becomes a whole number of device pixels (the largest that fits the frame around the
// control, at least one), drawn nearest-neighbour from a whole device pixel and centred in
// that frame, so a barcode stays black and white at any scale.
class TImage : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent*) override {
    const QPixmap picture = pixmap();
    if (picture.isNull()) return;
    QPainter painter(this);
    // The painter's device transform holds the screen scale (also when the control is
    // rendered into an image of its own ratio); the paint device itself may say 1.
    const QTransform device = painter.deviceTransform();
    const qreal ratio = device.m11() > 0 ? device.m11() : 1;
    const QPointF corner = device.map(QPointF(0, 0));
    QPointF origin = corner;
    int factor = 1;
    if (std::abs(ratio - 1) > 1e-6) {
      // The frame's inside in this control's coordinates, and in device pixels.
      const auto* frame = qobject_cast<const QFrame*>(parentWidget());
      const QRectF inside = frame ? QRectF(mapFromParent(frame->contentsRect().topLeft()), frame->contentsRect().size())
                                  : QRectF(rect());
      const QSizeF room = inside.size() * ratio;
      factor = std::max(1, int(std::floor(std::min(room.width() / picture.width(), room.height() / picture.height()) + 1e-6)));
      origin = device.map(inside.center()) - QPointF(picture.width() * factor, picture.height() * factor) / 2;
    }
    // Draw in device pixels, from a whole device pixel.
    const QPointF snapped(std::lrint(origin.x()), std::lrint(origin.y()));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter.drawPixmap(QRectF(snapped - corner, QSizeF(picture.size() * factor)), picture, QRectF(picture.rect()));
  }
};

// The help page in a read-only window of the program's own; Esc closes it.
QTextBrowser* NewHelpWindow(QWidget* owner) {
  auto* window = new QTextBrowser(owner);
  window->setObjectName(QStringLiteral("HelpWindow"));
  window->setWindowFlag(Qt::Window);
  // The program ends with its main window, whether or not the help is open.
  window->setAttribute(Qt::WA_QuitOnClose, false);
  window->setReadOnly(true);
  window->setOpenLinks(true);
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    auto* shortcut = new QShortcut(key, window);
    QObject::connect(shortcut, &QShortcut::activated, window, &QWidget::close);
  }
  return window;
}
}  // namespace

TEAN13Form::TEAN13Form(const QString& settingsDir, QWidget* parent)
    : QWidget(parent), FSettingsDir(settingsDir) {
  InitResources();
  BuildControls();
  if (FSettings.Load(SettingsFileName())) value->setText(FSettings.Value());
  BarcodeImage->resize(EAN13BitmapWidth, EAN13BitmapHeight);
  SetPicture(nullptr);
  previewButtonClick();
}

TEAN13Form::~TEAN13Form() = default;

QString TEAN13Form::SettingsFileName() const {
  QString dir = FSettingsDir.isEmpty() ? QDir::currentPath() : FSettingsDir;
  return QDir(dir).filePath(QString::fromLatin1(TSettingsRecord::FileName));
}

void TEAN13Form::BuildControls() {
  setObjectName(QStringLiteral("EAN13Form"));
  setWindowTitle(QStringLiteral("Velmor EAN13 Barcode Maker"));
  // Outer size 624 x 430 with the usual frame: a client area of 616 x 396.
  setFixedSize(616, 396);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clBtnFace));
  setPalette(pal);
  setFont(PixelFont(QStringLiteral("Times"), 16));

  Label1 = new QLabel(QStringLiteral("Please input the EAN13 barcode value (13 digits) and press "
                                     "[Enter] Key or [Preview] button::"),
                      this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // 57 pixels hold three lines of the old platform's Times; this platform's serif face has a
  // taller line, so the label grows to show its last line whole.
  Label1->setGeometry(24, 24, 239, std::max(57, Label1->heightForWidth(239)));

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setLineWidth(1);
  Panel1->setGeometry(312, 72, 241, 177);
  Panel1->setFocusPolicy(Qt::NoFocus);

  BarcodeImage = new TImage(Panel1);
  BarcodeImage->setObjectName(QStringLiteral("BarcodeImage"));
  BarcodeImage->setGeometry(11, 15, EAN13BitmapWidth, EAN13BitmapHeight);
  BarcodeImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  BarcodeImage->setScaledContents(false);

  value = new TALEdit(this);
  value->setObjectName(QStringLiteral("value"));
  value->setText(QStringLiteral("1234567890128"));
  value->setGeometry(24, 96, 177, 33);
  value->setFont(PixelFont(QStringLiteral("Times"), 24));
  value->SetColorOnFocus(8253677);
  value->OnKeyPress = [this](TALCustomEdit* sender, char16_t& key) {
    Guarded([&] { valueKeyPress(sender, key); });
  };

  previewButton = MakeButton(QStringLiteral("Pre&view"), QStringLiteral("preview"), 20, 152, 200,
                             &TEAN13Form::previewButtonClick);
  copyButton = MakeButton(QStringLiteral("&Copy To Clipboard"), QStringLiteral("copy"), 20, 200, 200,
                          &TEAN13Form::copyButtonClick);
  saveButton = MakeButton(QStringLiteral("&Save To File"), QStringLiteral("save"), 20, 248, 200,
                          &TEAN13Form::saveButtonClick);
  printButton = MakeButton(QStringLiteral("&Print"), QStringLiteral("print"), 20, 296, 200,
                           &TEAN13Form::printButtonClick);
  helpButton = MakeButton(QStringLiteral("&Help"), QStringLiteral("help"), 276, 296, 100,
                          &TEAN13Form::helpButtonClick);
  exitButton = MakeButton(QStringLiteral("&Exit"), QStringLiteral("exit"), 500, 296, 100,
                          &TEAN13Form::exitButtonClick);
  previewButton->setObjectName(QStringLiteral("previewButton"));
  copyButton->setObjectName(QStringLiteral("copyButton"));
  saveButton->setObjectName(QStringLiteral("saveButton"));
  printButton->setObjectName(QStringLiteral("printButton"));
  helpButton->setObjectName(QStringLiteral("helpButton"));
  exitButton->setObjectName(QStringLiteral("exitButton"));

  // Tab order of the layout.
  QWidget::setTabOrder(value, saveButton);
  QWidget::setTabOrder(saveButton, helpButton);
  QWidget::setTabOrder(helpButton, exitButton);
  QWidget::setTabOrder(exitButton, copyButton);
  QWidget::setTabOrder(copyButton, previewButton);
  QWidget::setTabOrder(previewButton, printButton);
  value->setFocus();

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(624 / 2, 430 / 2));
  }
}

QPushButton* TEAN13Form::MakeButton(const QString& caption, const QString& glyph, int left, int top,
                                    int width, void (TEAN13Form::*handler)()) {
  auto* button = new QPushButton(caption, this);
  button->setGeometry(left, top, width, 40);
  button->setFont(PixelFont(QStringLiteral("Times New Roman"), 16));
  QIcon icon;
  icon.addPixmap(QPixmap(QStringLiteral(":/glyphs/%1.xpm").arg(glyph)), QIcon::Normal);
  icon.addPixmap(QPixmap(QStringLiteral(":/glyphs/%1_disabled.xpm").arg(glyph)), QIcon::Disabled);
  button->setIcon(icon);
  button->setIconSize(QSize(16, 16));
  button->setAutoDefault(false);
  button->installEventFilter(this);
  connect(button, &QPushButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  return button;
}

void TEAN13Form::SetPicture(std::unique_ptr<TBitmap> picture) {
  FPicture = std::move(picture);
  if (FPicture) BarcodeImage->setPixmap(QPixmap::fromImage(FPicture->Image()));
  else BarcodeImage->clear();
}

void TEAN13Form::valueKeyPress(TALCustomEdit* Sender, char16_t& Key) {
  if (Key == 13) {
    Key = 0;
    previewButtonClick();
  }
}

void TEAN13Form::previewButtonClick() {
  TEan13Value result = NormaliseEAN13(value->text(), Barcode1);
  switch (result.Kind) {
    case TEan13Value::ekNothing:
    case TEan13Value::ekFailed:
      return;
    case TEan13Value::ekRefused:
      ShowMessage(result.Message);
      value->setText(QString());
      return;
    case TEan13Value::ekCompleted:
      break;
  }
  // Showing and drawing the completed value end silently on any failure.
  try {
    value->setText(result.Value);
    drawBarcode(result.Value);
  } catch (...) {
  }
}

void TEAN13Form::drawBarcode(const QString& completed) {
  TEan13Modules modules = encodeEAN13(completed);
  if (!modules.Ok) {
    ShowMessage(modules.Message);
    return;
  }
  SetPicture(nullptr);
  SetPicture(RenderEAN13(completed, modules.Modules, EAN13BitmapWidth, EAN13BitmapHeight));
}

void TEAN13Form::copyButtonClick() {
  // With an empty picture the clipboard keeps what it holds.
  if (!FPicture) return;
  SetClipboardImage(FPicture->Image());
}

void TEAN13Form::saveButtonClick() {
  // With an empty picture there is nothing to write.
  if (!FPicture) return;
  SavePictureDialog1.DefaultExt = QStringLiteral("bmp");
  SavePictureDialog1.Filter = QStringLiteral("Bitmaps (*.bmp)|*.bmp");
  if (!SavePictureDialog1.Execute()) return;
  WriteFileReplacing(SavePictureDialog1.FileName, EAN13BitmapFile(*FPicture));
}

void TEAN13Form::printButtonClick() {
  if (FPicture) RunPrintCommand(this, *FPicture);
}

bool TEAN13Form::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      if (!key->isAutoRepeat()) button->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TEAN13Form::helpButtonClick() {
  // Where the desktop has no way to open the page, it is shown in a window of our own.
  QPointer<TEAN13Form> self(this);
  ShellOpen(HelpPageFile(QFileInfo(SettingsFileName()).absolutePath()), [self] {
    if (self) self->ShowHelpWindow();
  });
}

void TEAN13Form::ShowHelpWindow() {
  // Without the page beside the settings or in the installed data folder, the copy built
  // into the program is shown.
  const QFileInfo page(HelpPageFile(QFileInfo(SettingsFileName()).absolutePath()));
  if (!FHelpWindow) FHelpWindow = NewHelpWindow(this);
  // Each time it opens: centred on the main window, within the screen.
  if (!FHelpWindow->isVisible()) PlaceWindow(FHelpWindow, QSize(640, 560), this);
  FHelpWindow->setSource(page.isFile() ? QUrl::fromLocalFile(page.absoluteFilePath())
                                       : QUrl(QStringLiteral("qrc:/help/VelEAN13.htm")));
  FHelpWindow->reload();
  const QString title = FHelpWindow->documentTitle();
  FHelpWindow->setWindowTitle(title.isEmpty() ? QStringLiteral("Velmor EAN13 Barcode Maker - Help") : title);
  FHelpWindow->show();
  FHelpWindow->raise();
  FHelpWindow->activateWindow();
  KeepFrameOnScreen(FHelpWindow);
}

void TEAN13Form::exitButtonClick() { close(); }

void TEAN13Form::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitBarcodeImage(devicePixelRatioF());
}

void TEAN13Form::FitBarcodeImage(qreal ratio) {
  // At the layout's own scale the picture stands at the image control's corner; at any other
  // the control takes the frame's inside, where the picture is centred.
  if (std::abs(ratio - 1) < 1e-6) BarcodeImage->setGeometry(11, 15, EAN13BitmapWidth, EAN13BitmapHeight);
  else BarcodeImage->setGeometry(Panel1->contentsRect());
}

void TEAN13Form::FormClose() {
  FSettings.SetValue(value->text());
  FSettings.Save(SettingsFileName());
}

void TEAN13Form::closeEvent(QCloseEvent* event) {
  if (!FClosed) {
    FClosed = true;
    FormClose();
  }
  if (FHelpWindow) FHelpWindow->close();
  event->accept();
}
