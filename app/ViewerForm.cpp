#include "app/ViewerForm.h"
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include "app/ViewerPrintDialog.h"
#include "app/WindowPlacement.h"
#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Services.h"
#include "platform/SysUtils.h"

namespace {
// Room for one column of thumbnails and the strip's scroll bar.
constexpr int StripWidth = 110;
// The size the window asks for; a smaller screen gets a smaller window.
constexpr QSize WantedSize(1000, 760);
const int ZoomChoices[] = {25, 50, 75, 100, 150, 200, 400};
}  // namespace

TViewerForm::TViewerForm(QWidget* owner) : QWidget(owner) {
  setObjectName(QStringLiteral("ViewerForm"));
  setWindowTitle(QStringLiteral("VelEAN13 Viewer"));
  if (owner) setWindowFlag(Qt::Window);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(4);

  // A tool bar: what does not fit a narrow window goes into its extension menu.
  // Print and Close stay in sight beside it.
  auto* top = new QHBoxLayout;
  top->setSpacing(2);
  layout->addLayout(top);
  tools = new QToolBar(this);
  tools->setObjectName(QStringLiteral("tools"));
  tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
  top->addWidget(tools, 1);
  uFirst = MakeButton(QStringLiteral("&First"), QStringLiteral("First page (Ctrl+Home)"), &TViewerForm::uFirstClick);
  uPrevious = MakeButton(QStringLiteral("Pre&v"), QStringLiteral("Previous page (Page Up at the top)"),
                         &TViewerForm::uPreviousClick);
  uNext = MakeButton(QStringLiteral("&Next"), QStringLiteral("Next page (Page Down at the bottom)"),
                     &TViewerForm::uNextClick);
  uLast = MakeButton(QStringLiteral("&Last"), QStringLiteral("Last page (Ctrl+End)"), &TViewerForm::uLastClick);
  for (QToolButton* b : {uFirst, uPrevious, uNext, uLast}) tools->addWidget(b);
  tools->addWidget(new QLabel(QStringLiteral(" Page "), this));
  pageEdit = new QLineEdit(this);
  pageEdit->setObjectName(QStringLiteral("pageEdit"));
  pageEdit->setAlignment(Qt::AlignRight);
  pageEdit->setFixedWidth(pageEdit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  pageEdit->setToolTip(QStringLiteral("Go to page (Ctrl+G)"));
  tools->addWidget(pageEdit);
  pageCountLabel = new QLabel(this);
  pageCountLabel->setObjectName(QStringLiteral("pageCountLabel"));
  tools->addWidget(pageCountLabel);
  tools->addSeparator();
  zoomOut = MakeButton(QStringLiteral("Zoom &Out"), QStringLiteral("Zoom out (Ctrl+-, Ctrl+wheel)"),
                       &TViewerForm::zoomOutClick);
  zoomBox = new QComboBox(this);
  zoomBox->setObjectName(QStringLiteral("zoomBox"));
  zoomBox->setEditable(true);
  zoomBox->setInsertPolicy(QComboBox::NoInsert);
  for (int z : ZoomChoices) zoomBox->addItem(QStringLiteral("%1%").arg(z));
  zoomBox->setToolTip(QStringLiteral("Zoom in percent"));
  zoomIn = MakeButton(QStringLiteral("Zoom &In"), QStringLiteral("Zoom in (Ctrl++, Ctrl+wheel)"),
                      &TViewerForm::zoomInClick);
  wholePage = MakeButton(QStringLiteral("&Whole Page"), QStringLiteral("Fit the whole page"),
                         &TViewerForm::wholePageClick);
  fitWidth = MakeButton(QStringLiteral("Fit Wi&dth"), QStringLiteral("Fit the page's width"),
                        &TViewerForm::fitWidthClick);
  for (QWidget* w : std::initializer_list<QWidget*>{zoomOut, zoomBox, zoomIn, wholePage, fitWidth}) tools->addWidget(w);
  printButton = MakeButton(QStringLiteral("&Print..."), QStringLiteral("Print pages (Ctrl+P)"),
                           &TViewerForm::printButtonClick);
  closeButton = MakeButton(QStringLiteral("&Close"), QStringLiteral("Close the viewer (Esc, Ctrl+W)"), nullptr);
  for (QToolButton* b : {printButton, closeButton}) top->addWidget(b);
  connect(closeButton, &QToolButton::clicked, this, &QWidget::close);
  uFirst->setObjectName(QStringLiteral("uFirst"));
  uPrevious->setObjectName(QStringLiteral("uPrevious"));
  uNext->setObjectName(QStringLiteral("uNext"));
  uLast->setObjectName(QStringLiteral("uLast"));
  zoomOut->setObjectName(QStringLiteral("zoomOut"));
  zoomIn->setObjectName(QStringLiteral("zoomIn"));
  wholePage->setObjectName(QStringLiteral("wholePage"));
  fitWidth->setObjectName(QStringLiteral("fitWidth"));
  printButton->setObjectName(QStringLiteral("printButton"));
  closeButton->setObjectName(QStringLiteral("closeButton"));
  connect(pageEdit, &QLineEdit::returnPressed, this, [this] { Guarded([&] { pageEditReturn(); }); });
  connect(zoomBox->lineEdit(), &QLineEdit::returnPressed, this, [this] { Guarded([&] { zoomBoxEntered(); }); });
  connect(zoomBox, &QComboBox::activated, this, [this] { Guarded([&] { zoomBoxEntered(); }); });

  auto* body = new QHBoxLayout;
  body->setSpacing(4);
  layout->addLayout(body, 1);
  Thumbnails = new TVuThumbnails(this);
  Thumbnails->setObjectName(QStringLiteral("Thumbnails"));
  Thumbnails->setFixedWidth(StripWidth);
  Thumbnails->SetLayout(vuThumbVert);
  body->addWidget(Thumbnails);
  VuPreview1 = new TVuPreview(this);
  VuPreview1->setObjectName(QStringLiteral("VuPreview1"));
  body->addWidget(VuPreview1, 1);
  VuPreview1->SetGutter(20);
  VuPreview1->SetZoom(60);
  Thumbnails->SetPreview(VuPreview1);
  // A click in the strip moves the preview; the buttons and the page text follow.
  VuPreview1->OnPageChanged = [this](QObject*) { ShowPageState(); };
  for (QObject* o : {static_cast<QObject*>(VuPreview1), static_cast<QObject*>(VuPreview1->viewport()),
                     static_cast<QObject*>(&VuPreview1->PaperImage())})
    o->installEventFilter(this);

  // The keys of a desktop document viewer.
  // Named keys, not the platform's standard ones, which differ between desktops; one shortcut
  // per key, since two on one key would both stay silent.
  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W),
                                  QKeySequence(Qt::CTRL | Qt::Key_Q)})
    AddShortcut(key, nullptr);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), &TViewerForm::printButtonClick);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Plus), &TViewerForm::zoomInClick);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), &TViewerForm::zoomInClick);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus), &TViewerForm::zoomOutClick);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), &TViewerForm::uFirstClick);
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_End), &TViewerForm::uLastClick);
  auto* goTo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
  connect(goTo, &QShortcut::activated, this, [this] {
    pageEdit->setFocus(Qt::ShortcutFocusReason);
    pageEdit->selectAll();
  });

  // Without an installed printer the document can still be viewed; only printing is off.
  try {
    VuPreview1->VuPrinter().GetPrinterIndex();
  } catch (const EPrinter&) {
    printButton->setEnabled(false);
  }
  PlaceWindow(this, WantedSize, owner);
  ShowPageState();
}

TViewerForm::~TViewerForm() {
  VuPreview1->OnPageChanged = nullptr;
  for (QObject* o : {static_cast<QObject*>(VuPreview1), static_cast<QObject*>(VuPreview1->viewport()),
                     static_cast<QObject*>(&VuPreview1->PaperImage())})
    o->removeEventFilter(this);
  // The strip unlinks itself before the preview goes.
  delete Thumbnails;
  Thumbnails = nullptr;
}

QToolButton* TViewerForm::MakeButton(const QString& caption, const QString& tip, void (TViewerForm::*handler)()) {
  auto* button = new QToolButton(this);
  button->setText(caption);
  button->setToolTip(tip);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setAutoRaise(true);
  if (handler)
    connect(button, &QToolButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  return button;
}

void TViewerForm::AddShortcut(const QKeySequence& key, void (TViewerForm::*handler)()) {
  auto* shortcut = new QShortcut(key, this);
  if (handler) connect(shortcut, &QShortcut::activated, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  else connect(shortcut, &QShortcut::activated, this, &QWidget::close);
}

bool TViewerForm::Open(const QString& fileName, QString& error) {
  if (!VuPreview1->LoadFromFile(fileName)) {
    error = VuPreview1->LastFileError();
    return false;
  }
  SetDocumentName(fileName);
  DocumentLoaded();
  return true;
}

void TViewerForm::SetDocumentName(const QString& fileName) {
  setWindowTitle(QStringLiteral("%1 - VelEAN13 Viewer").arg(QFileInfo(fileName).fileName()));
}

void TViewerForm::DocumentLoaded() {
  VuPreview1->FirstPage();
  Thumbnails->UpdateThumbnails();
  ShowPageState();
}

QString TViewerForm::PageText() const {
  return QStringLiteral("Page %1 of %2").arg(VuPreview1->GetCurrentPageNum()).arg(VuPreview1->GetNumPages());
}

QString TViewerForm::ZoomText() const { return QStringLiteral("%1%").arg(VuPreview1->GetZoom()); }

void TViewerForm::ShowPageState() {
  const int current = VuPreview1->GetCurrentPageNum(), count = VuPreview1->GetNumPages();
  uFirst->setEnabled(current > 1);
  uPrevious->setEnabled(current > 1);
  uNext->setEnabled(current < count);
  uLast->setEnabled(current < count);
  pageEdit->setText(QString::number(current));
  pageCountLabel->setText(QStringLiteral(" of %1 ").arg(count));
  ShowZoom();
}

void TViewerForm::ShowZoom() { zoomBox->setEditText(ZoomText()); }

void TViewerForm::SetZoomByUser(int zoom) {
  FFitMode = fmNone;
  VuPreview1->SetZoom(zoom);
  ShowZoom();
}

void TViewerForm::uFirstClick() { VuPreview1->FirstPage(); }
void TViewerForm::uPreviousClick() { VuPreview1->PrevPage(); }
void TViewerForm::uNextClick() { VuPreview1->NextPage(); }
void TViewerForm::uLastClick() { VuPreview1->LastPage(); }

void TViewerForm::zoomInClick() {
  FFitMode = fmNone;
  VuPreview1->ZoomIn();
  ShowZoom();
}

void TViewerForm::zoomOutClick() {
  FFitMode = fmNone;
  VuPreview1->ZoomOut();
  ShowZoom();
}

void TViewerForm::wholePageClick() {
  FFitMode = fmWholePage;
  VuPreview1->FitWholePage();
  ShowZoom();
}

void TViewerForm::fitWidthClick() {
  FFitMode = fmWidth;
  VuPreview1->FitWidth();
  ShowZoom();
}

void TViewerForm::pageEditReturn() {
  bool ok = false;
  const int n = pageEdit->text().trimmed().toInt(&ok);
  if (!ok) {
    ShowPageState();
  } else if (n < 1) {
    ShowMessage(QStringLiteral("Page cannot be negative."));
  } else if (n > VuPreview1->GetNumPages()) {
    ShowMessage(QStringLiteral("Page exceeded."));
  } else {
    VuPreview1->SetCurrentPageNum(n);
    ShowPageState();
  }
  pageEdit->selectAll();
}

void TViewerForm::zoomBoxEntered() {
  QString text = zoomBox->currentText().trimmed();
  if (text.endsWith(u'%')) text.chop(1);
  bool ok = false;
  const int zoom = text.trimmed().toInt(&ok);
  if (!ok || zoom <= 0) {
    ShowMessage(QStringLiteral("Zoom must be a whole number of percent, from %1 to %2.")
                    .arg(VuPreview1->MinZoom())
                    .arg(VuPreview1->MaxZoom()));
    ShowZoom();
    return;
  }
  SetZoomByUser(zoom);
  VuPreview1->setFocus();
}

void TViewerForm::printButtonClick() {
  // Ctrl+P reaches here also while printing is off.
  if (!printButton->isEnabled()) return;
  TVuPrinter& vp = VuPreview1->VuPrinter();
  TViewerPrintDialog dialog(vp.Printers(), vp.GetPrinterIndex(), VuPreview1->GetNumPages(),
                            VuPreview1->GetCurrentPageNum(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintChoice(dialog.Choice());
}

void TViewerForm::PrintChoice(const TViewerPrintChoice& choice) {
  TVuPrinter& vp = VuPreview1->VuPrinter();
  if (choice.PrinterIndex >= 0 && choice.PrinterIndex != vp.GetPrinterIndex()) vp.SetPrinterIndex(choice.PrinterIndex);
  vp.SetPrintCopies(choice.Copies);
  if (CheckBeforePrint) {
    const QString refusal = CheckBeforePrint(choice.FromPage, choice.ToPage);
    if (!refusal.isEmpty()) {
      ShowMessage(refusal);
      return;
    }
  }
  VuPreview1->PrintRange(choice.FromPage, choice.ToPage);
}

bool TViewerForm::AtPageEnd(int direction) const {
  const QScrollBar* bar = VuPreview1->verticalScrollBar();
  if (bar->maximum() <= bar->minimum()) return true;  // the whole page height is shown
  return direction > 0 ? bar->value() >= bar->maximum() : bar->value() <= bar->minimum();
}

bool TViewerForm::TurnPage(int direction) {
  const int current = VuPreview1->GetCurrentPageNum();
  if (direction > 0 ? current >= VuPreview1->GetNumPages() : current <= 1) return false;
  if (direction > 0) VuPreview1->NextPage();
  else VuPreview1->PrevPage();
  QScrollBar* bar = VuPreview1->verticalScrollBar();
  bar->setValue(direction > 0 ? bar->minimum() : bar->maximum());
  return true;
}

bool TViewerForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->modifiers() != Qt::NoModifier) break;
      const int direction = key->key() == Qt::Key_PageDown ? 1 : key->key() == Qt::Key_PageUp ? -1 : 0;
      // At the end of a page the key turns it; inside the page the preview scrolls.
      if (direction != 0 && AtPageEnd(direction)) {
        TurnPage(direction);
        return true;
      }
      break;
    }
    case QEvent::Wheel: {
      auto* wheel = static_cast<QWheelEvent*>(event);
      const int delta = wheel->angleDelta().y();
      if (delta == 0) break;
      if (wheel->modifiers() & Qt::ControlModifier) {
        Guarded([&] { delta > 0 ? zoomInClick() : zoomOutClick(); });
        return true;
      }
      const int direction = delta < 0 ? 1 : -1;
      if (wheel->modifiers() == Qt::NoModifier && AtPageEnd(direction) && TurnPage(direction)) return true;
      break;
    }
    case QEvent::Resize:
      // A fitted zoom stays fitted when the window changes size.
      if (watched == VuPreview1 && FFitMode != fmNone) {
        if (FFitMode == fmWholePage) VuPreview1->FitWholePage();
        else VuPreview1->FitWidth();
        ShowZoom();
      }
      break;
    default: break;
  }
  return QWidget::eventFilter(watched, event);
}

void TViewerForm::keyPressEvent(QKeyEvent* event) {
  // Page Up/Down with the focus outside the page (a tool button) turn pages.
  if (event->modifiers() == Qt::NoModifier && (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp)) {
    TurnPage(event->key() == Qt::Key_PageDown ? 1 : -1);
    return;
  }
  QWidget::keyPressEvent(event);
}

int RunViewer(const QString& fileName, FILE* err) {
  TViewerForm form;
  QString error;
  if (!form.Open(fileName, error)) {
    const QByteArray text = error.toLocal8Bit() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), err);
    return 1;
  }
  form.show();
  form.activateWindow();
  KeepFrameOnScreen(&form);
  return QApplication::exec();
}
