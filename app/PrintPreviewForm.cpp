#include "app/PrintPreviewForm.h"
#include "platform/Printers.h"
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include "app/WindowPlacement.h"
#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/Errors.h"
#include "platform/Services.h"
#include "platform/SysUtils.h"

// The button pictures live in the app library's resources; a static library must register them.
static void InitPreviewResources() { Q_INIT_RESOURCE(resources); }

namespace {
QFont PixelFont(const QString& family, int pixels) {
  QFont f(family);
  f.setPixelSize(pixels);
  return f;
}

TFont CaptionFont(int pixels) {
  TFont f;
  f.Name = QStringLiteral("Arial");
  f.Height = -pixels;
  return f;
}

TPen DottedSilver() {
  TPen pen;
  pen.Color = clSilver;
  pen.Style = psDot;
  return pen;
}

// The Traditional Chinese (Big5) character set the grid fonts are stored with.
constexpr TFontCharset ChineseBig5Charset = 136;

const char* const HintProperty = "hint";
constexpr int ToolPanelHeight = 73;
constexpr int RightPanelWidth = 260;
// The tool panel's second band, for Panel1 when the window is narrow.
constexpr int SecondBandHeight = 68;
}  // namespace

void InstallChineseFontSubstitutes() {
  static const bool done = [] {
    const QString ming = QStringLiteral("AR PL UMing TW");
    QFont::insertSubstitution(QStringLiteral("新細明體"), ming);
    QFont::insertSubstitution(QStringLiteral("細明體"), ming);
    return true;
  }();
  (void)done;
}

TPrintPreviewForm::TPrintPreviewForm(QWidget* owner) : QDialog(owner) {
  // Queues added or removed since the last window are in the list of this one.
  if (!Printer().Printing()) Printer().Refresh();
  InitPreviewResources();
  InstallChineseFontSubstitutes();
  BuildControls();
  SetUpPreview();
  SetUpGridPrint();
  // Creation: a fresh document of one empty page, 5 mm margins (top, bottom, left, right),
  // then the printer list, which fails when no printer is installed.
  VuPreview1->Clear();
  TVuMargins& margins = VuPreview1->Margins();
  margins.Top().SetAsMillimeters(5);
  margins.Bottom().SetAsMillimeters(5);
  margins.Left().SetAsMillimeters(5);
  margins.Right().SetAsMillimeters(5);
  GridSource = nullptr;
  FillPrinterList();
  GridSourceColor = false;
}

TPrintPreviewForm::~TPrintPreviewForm() = default;

void TPrintPreviewForm::BuildControls() {
  setObjectName(QStringLiteral("PrintPreviewForm"));
  setWindowTitle(QStringLiteral("Print Form"));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clBtnFace));
  setPalette(pal);
  setFont(PixelFont(QStringLiteral("Times New Roman"), 16));
  setSizeGripEnabled(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Panel3 = new QFrame(this);
  Panel3->setObjectName(QStringLiteral("Panel3"));
  Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel3->setLineWidth(1);
  Panel3->setFixedHeight(ToolPanelHeight);
  Panel3->installEventFilter(this);
  layout->addWidget(Panel3);

  uFirst = MakeButton(Panel3, QStringLiteral("&First"), QStringLiteral("first"), {13, 5, 80, 33}, {26, 24},
                      &TPrintPreviewForm::uFirstClick);
  uPrevious = MakeButton(Panel3, QStringLiteral("Pre&v"), QStringLiteral("prev"), {93, 5, 80, 33}, {26, 24},
                         &TPrintPreviewForm::uPreviousClick);
  uNext = MakeButton(Panel3, QStringLiteral("&Next"), QStringLiteral("next"), {173, 5, 80, 33}, {26, 24},
                     &TPrintPreviewForm::uNextClick);
  uLast = MakeButton(Panel3, QStringLiteral("&Last"), QStringLiteral("last"), {253, 5, 80, 33}, {26, 24},
                     &TPrintPreviewForm::uLastClick);
  zoomIn = MakeButton(Panel3, QStringLiteral("Zoon In"), QStringLiteral("zoomin"), {354, 6, 79, 30}, {16, 16},
                      &TPrintPreviewForm::zoomInClick);
  zoomOut = MakeButton(Panel3, QStringLiteral("Zoon out"), QStringLiteral("zoomout"), {444, 6, 85, 30}, {16, 16},
                       &TPrintPreviewForm::zoomOutClick);
  uFirst->setObjectName(QStringLiteral("uFirst"));
  uPrevious->setObjectName(QStringLiteral("uPrevious"));
  uNext->setObjectName(QStringLiteral("uNext"));
  uLast->setObjectName(QStringLiteral("uLast"));
  zoomIn->setObjectName(QStringLiteral("zoomIn"));
  zoomOut->setObjectName(QStringLiteral("zoomOut"));
  // Every navigation button keeps its hint; only the first shows it on hover.
  uFirst->setProperty(HintProperty, QStringLiteral("最前一頁"));
  uPrevious->setProperty(HintProperty, QStringLiteral("前一頁"));
  uNext->setProperty(HintProperty, QStringLiteral("後一頁"));
  uLast->setProperty(HintProperty, QStringLiteral("最後一頁"));
  uFirst->setToolTip(Hint(uFirst));
  for (QPushButton* b : {uFirst, uPrevious, uNext, uLast}) b->setEnabled(false);

  Label11 = MakeLabel(QStringLiteral("Printer:"), 15, 41);
  Label11->setObjectName(QStringLiteral("Label11"));
  printer = new QComboBox(Panel3);
  printer->setObjectName(QStringLiteral("printer"));
  printer->setEditable(false);
  printer->setGeometry(72, 41, 257, 27);
  Label1 = MakeLabel(QStringLiteral("Print Page From:"), 333, 42);
  Label1->setObjectName(QStringLiteral("Label1"));
  fromPage = new QLineEdit(QStringLiteral("1"), Panel3);
  fromPage->setObjectName(QStringLiteral("fromPage"));
  fromPage->setGeometry(436, 40, 37, 27);
  // This platform's serif face sets the label wider than the room before the field: it ends
  // before the field, and where the gap after the printer list is too small, the list gives
  // up the few pixels the label needs.
  if (Label1->geometry().right() >= fromPage->x() - 1) {
    Label1->move(fromPage->x() - 2 - Label1->width(), 42);
    if (printer->geometry().right() >= Label1->x() - 2) printer->setFixedWidth(Label1->x() - 3 - printer->x());
  }
  fromPage->installEventFilter(this);
  Label2 = MakeLabel(QStringLiteral("To"), 479, 42);
  Label2->setObjectName(QStringLiteral("Label2"));
  toPage = new QLineEdit(QStringLiteral("1"), Panel3);
  toPage->setObjectName(QStringLiteral("toPage"));
  toPage->setGeometry(501, 40, 37, 27);

  Panel1 = new QFrame(Panel3);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::NoFrame);
  Panel1->setFocusPolicy(Qt::NoFocus);
  Button1 = MakeButton(Panel1, QStringLiteral("&Close"), QStringLiteral("close"), {164, 7, 80, 60}, {16, 16},
                       nullptr);
  Button1->setObjectName(QStringLiteral("Button1"));
  connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
  printButton = MakeButton(Panel1, QStringLiteral("&Print"), QStringLiteral("print"), {76, 7, 80, 60}, {16, 16},
                           &TPrintPreviewForm::printButtonClick);
  printButton->setObjectName(QStringLiteral("printButton"));
  for (QPushButton* b : {Button1, printButton}) b->setFont(PixelFont(QStringLiteral("Times New Roman"), 19));

  VuPreview1 = new TVuPreview(this);
  VuPreview1->setObjectName(QStringLiteral("VuPreview1"));
  layout->addWidget(VuPreview1, 1);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  const int widths[2] = {150, 100};
  for (int i = 0; i < 2; ++i) {
    FStatusPanels[i] = new QLabel(StatusBar1);
    FStatusPanels[i]->setFixedWidth(widths[i]);
    FStatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(FStatusPanels[i]);
  }
  layout->addWidget(StatusBar1);

  QWidget::setTabOrder(fromPage, toPage);
  QWidget::setTabOrder(toPage, uFirst);
  QWidget::setTabOrder(uFirst, uPrevious);
  QWidget::setTabOrder(uPrevious, uNext);
  QWidget::setTabOrder(uNext, uLast);
  QWidget::setTabOrder(uLast, zoomIn);
  QWidget::setTabOrder(zoomIn, zoomOut);
  QWidget::setTabOrder(zoomOut, printer);
  QWidget::setTabOrder(printer, Button1);
  QWidget::setTabOrder(Button1, printButton);
  fromPage->setFocus();

  // Restored: 798 x 570, centred on the desktop; shown maximised.
  resize(798, 570);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(798 / 2, 570 / 2));
  setWindowState(Qt::WindowMaximized);
}

void TPrintPreviewForm::SetUpPreview() {
  TVuPreview& p = *VuPreview1;
  ConnectPreviewMouse();
  p.SetZoom(100);
  p.SetPagesPerSheet(vuOnePage);
  p.SetPaperSize(A4);
  p.SetOrientation(vuPortrait);
  p.SetGutter(30);
  p.SetAutoScroll(false);
  p.Canvas().SetCompareImages(true);
  TVuFooter& footer = p.Footer();
  footer.CaptionCenter().SetCaption(QStringLiteral("Page {PAGE} of  {NUMPAGES}"));
  footer.CaptionCenter().SetFont(CaptionFont(13));
  footer.CaptionLeft().SetFont(CaptionFont(16));
  footer.CaptionRight().SetFont(CaptionFont(16));
  footer.SetShowLine(false);
  TVuHeader& header = p.Header();
  header.CaptionLeft().SetFont(CaptionFont(16));
  header.CaptionCenter().SetFont(CaptionFont(16));
  header.CaptionRight().SetFont(CaptionFont(16));
  p.Margins().SetPen(DottedSilver());
  p.Margins().SetPrinterMarginPen(DottedSilver());
  TPen grid = p.PageGrid().GridPen();
  grid.Color = clSilver;
  p.PageGrid().SetGridPen(grid);
  // The job settings go to the selected printer's device mode; without a printer they have
  // nowhere to go and are skipped (the printer list then fails the creation).
  TVuPrinter& vp = p.VuPrinter();
  vp.SetCollate(false);
  vp.SetDuplex(vuSimplex);
  vp.SetPrintColor(vuColor);
  vp.SetDitherType(vuNone);
  vp.SetPrintQuality(vuMedium);
  vp.Title = QStringLiteral("<document>");
}

void TPrintPreviewForm::SetUpGridPrint() {
  VuGridPrint1 = new TVuGridPrint(this);
  VuGridPrint1->SetPreview(VuPreview1);
  VuGridPrint1->SetCellPenColor(clWhite);
  VuGridPrint1->SetGridOptions(0);
  TFont cellFont = VuGridPrint1->Font();
  cellFont.Name = QStringLiteral("新細明體");
  cellFont.Height = -27;
  cellFont.Charset = ChineseBig5Charset;
  VuGridPrint1->SetFont(cellFont);
  TFont fixedFont = VuGridPrint1->FixedCellFont();
  fixedFont.Name = QStringLiteral("細明體");
  fixedFont.Height = -16;
  fixedFont.Charset = ChineseBig5Charset;
  VuGridPrint1->SetFixedCellFont(fixedFont);
  VuGridPrint1->OnDrawCell = [this](QObject* sender, int col, int row, TVuValueRect& rect, TVuCanvas& canvas) {
    VuGridPrint1DrawCell(sender, col, row, rect, canvas);
  };
  VuGridPrint1->OnGridNewPage = [this](QObject* sender, TVuValue& top, TVuValue& bottom) {
    VuGridPrint1GridNewPage(sender, top, bottom);
  };
}

void TPrintPreviewForm::VuGridPrint1DrawCell(QObject*, int Col, int Row, TVuValueRect& ARect, TVuCanvas&) {
  // Only the default drawing is defined, with or without a source grid: a cell is never
  // left out.
  VuGridPrint1->DefaultDrawCell(ARect, Col, Row);
}

void TPrintPreviewForm::VuGridPrint1GridNewPage(QObject*, TVuValue& ATopMargin, TVuValue&) {
  ATopMargin.SetAsMillimeters(15);
}

void TPrintPreviewForm::FillPrinterList() {
  TVuPrinter& vp = VuPreview1->VuPrinter();
  const QStringList names = vp.Printers();
  // The current selection is read first: with no printer installed it raises the
  // platform's printer error and the list stays empty.
  const int selected = vp.GetPrinterIndex();
  printer->clear();
  printer->addItem(QStringLiteral("Default Printer"));
  printer->addItems(names);
  for (int i = 0; i < printer->count(); ++i) printer->setItemData(i, QSize(-1, 19), Qt::SizeHintRole);
  printer->setCurrentIndex(selected + 1);
}

QPushButton* TPrintPreviewForm::MakeButton(QWidget* parent, const QString& caption, const QString& glyph,
                                           QRect geometry, QSize iconSize, void (TPrintPreviewForm::*handler)()) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(geometry);
  QIcon icon;
  icon.addPixmap(QPixmap(QStringLiteral(":/glyphs/%1.xpm").arg(glyph)), QIcon::Normal);
  icon.addPixmap(QPixmap(QStringLiteral(":/glyphs/%1_disabled.xpm").arg(glyph)), QIcon::Disabled);
  button->setIcon(icon);
  button->setIconSize(iconSize);
  // No button is the dialog's default: Enter presses the focused button only.
  button->setAutoDefault(false);
  button->installEventFilter(this);
  if (handler)
    connect(button, &QPushButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  return button;
}

QLabel* TPrintPreviewForm::MakeLabel(const QString& caption, int left, int top) {
  auto* label = new QLabel(caption, Panel3);
  label->adjustSize();
  label->move(left, top);
  return label;
}

QString TPrintPreviewForm::StatusPanelText(int index) const { return FStatusPanels[index]->text(); }

QString TPrintPreviewForm::Hint(const QPushButton* button) { return button->property(HintProperty).toString(); }

bool TPrintPreviewForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Panel3 && event->type() == QEvent::Resize) {
    DockRightPanel();
  } else if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                       (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (watched == fromPage && !key->text().isEmpty()) {
      char16_t ch = enter ? u'\r' : key->text().at(0).unicode();
      Guarded([&] { fromPageKeyPress(fromPage, ch); });
      if (ch == 0) return true;
    } else if (auto* button = qobject_cast<QPushButton*>(watched); button && enter) {
      if (!key->isAutoRepeat()) button->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TPrintPreviewForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) {
    Guarded([&] { FormShow(); });
    fromPage->setFocus();
    // Maximised is the window manager's to carry out; it also places the frame. On a bare X
    // server nobody does, and the window takes the screen's work area itself.
    if (!HasWindowManager())
      QTimer::singleShot(0, this, [this] {
        QScreen* s = screen();
        if (s && isVisible() && (windowState() & Qt::WindowMaximized) && geometry() != s->availableGeometry())
          setGeometry(s->availableGeometry());
      });
  }
}

void TPrintPreviewForm::DockRightPanel() {
  // Panel1 is docked at the right of the tool panel's client area. Where the window is too
  // narrow for it beside the other controls (a small screen, a large scale), the tool panel
  // grows by a second band and Panel1 docks at its right below them.
  const QRect client = Panel3->contentsRect();
  int controlsRight = 0;
  for (QWidget* child : Panel3->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (child != Panel1) controlsRight = std::max(controlsRight, child->geometry().right() + 1);
  const int left = client.right() + 1 - RightPanelWidth;
  const bool fits = left >= controlsRight;
  Panel3->setFixedHeight(fits ? ToolPanelHeight : ToolPanelHeight + SecondBandHeight);
  if (fits) Panel1->setGeometry(left, client.top(), RightPanelWidth, ToolPanelHeight - 2 * Panel3->frameWidth());
  else Panel1->setGeometry(std::max(0, left), ToolPanelHeight - Panel3->frameWidth() - 3, RightPanelWidth, SecondBandHeight);
}

// ---- handlers -------------------------------------------------------------------------------

void TPrintPreviewForm::ShowCurrentPage() {
  FStatusPanels[1]->setText(QStringLiteral("Page: %1").arg(VuPreview1->GetCurrentPageNum()));
}

void TPrintPreviewForm::ShowPageState(bool backward, bool forward) {
  const int current = VuPreview1->GetCurrentPageNum();
  const bool notFirst = current != 1, notLast = current != VuPreview1->GetNumPages();
  if (backward) {
    uFirst->setEnabled(notFirst);
    uPrevious->setEnabled(notFirst);
  }
  if (forward) {
    uNext->setEnabled(notLast);
    uLast->setEnabled(notLast);
  }
  ShowCurrentPage();
}

void TPrintPreviewForm::uFirstClick() {
  VuPreview1->FirstPage();
  // On the first page the backward buttons are off whatever the count.
  ShowPageState(true, true);
}

void TPrintPreviewForm::uPreviousClick() {
  VuPreview1->PrevPage();
  ShowPageState(true, true);
}

void TPrintPreviewForm::uNextClick() {
  VuPreview1->NextPage();
  ShowPageState(true, true);
}

void TPrintPreviewForm::uLastClick() {
  VuPreview1->LastPage();
  // The backward buttons are only switched on here, never off: when the last page is page 1
  // they keep the state they had.
  if (VuPreview1->GetCurrentPageNum() != 1) ShowPageState(true, false);
  uNext->setEnabled(false);
  uLast->setEnabled(false);
  ShowCurrentPage();
}

void TPrintPreviewForm::zoomInClick() { VuPreview1->SetZoom(VuPreview1->GetZoom() + VuPreview1->ZoomIncrement()); }

void TPrintPreviewForm::zoomOutClick() {
  if (VuPreview1->GetZoom() > VuPreview1->ZoomIncrement())
    VuPreview1->SetZoom(VuPreview1->GetZoom() - VuPreview1->ZoomIncrement());
}

void TPrintPreviewForm::fromPageKeyPress(QObject*, char16_t& Key) {
  if (Key != 13) return;
  Key = 0;
  int n = 0;
  try {
    n = StrToInt(fromPage->text());
  } catch (const EConvertError&) {
    return;  // not a number: nothing happens
  }
  if (n < 1) ShowMessage(QStringLiteral("Page cannot be negative."));
  else if (n > VuPreview1->GetNumPages()) ShowMessage(QStringLiteral("Page exceeded."));
  else {
    VuPreview1->SetCurrentPageNum(n);
    ShowCurrentPage();
  }
  fromPage->selectAll();
  fromPage->setFocus();
}

void TPrintPreviewForm::printButtonClick() {
  if (const int index = printer->currentIndex(); index > 0) VuPreview1->VuPrinter().SetPrinterIndex(index - 1);
  const int last = StrToInt(toPage->text());
  const int first = StrToInt(fromPage->text());
  // A page outside the document would end the job half-way with a list index error; the
  // range is refused with the page jump's messages before anything reaches the printer.
  const int count = VuPreview1->GetNumPages();
  if (first < 1 || last < 1) {
    ShowMessage(QStringLiteral("Page cannot be negative."));
    return;
  }
  if (first > count || last > count) {
    ShowMessage(QStringLiteral("Page exceeded."));
    return;
  }
  VuPreview1->PrintRange(first, last);
}

void TPrintPreviewForm::FormShow() {
  FStatusPanels[0]->setText(QStringLiteral("Total Page: %1").arg(VuPreview1->GetNumPages()));
  toPage->setText(QString::number(VuPreview1->GetNumPages()));
  uFirstClick();
}
