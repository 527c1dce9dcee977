#include "app/ViewerForm.h"
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include "platform/Application.h"
#include "platform/Errors.h"

namespace {
// Room for one column of thumbnails and the strip's scroll bar.
constexpr int StripWidth = 110;
}  // namespace

TViewerForm::TViewerForm(QWidget* owner) : QWidget(owner) {
  setObjectName(QStringLiteral("ViewerForm"));
  setWindowTitle(QStringLiteral("VelEAN13 Viewer"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* tools = new QHBoxLayout;
  layout->addLayout(tools);
  uFirst = MakeButton(QStringLiteral("&First"), &TViewerForm::uFirstClick);
  uPrevious = MakeButton(QStringLiteral("Pre&v"), &TViewerForm::uPreviousClick);
  uNext = MakeButton(QStringLiteral("&Next"), &TViewerForm::uNextClick);
  uLast = MakeButton(QStringLiteral("&Last"), &TViewerForm::uLastClick);
  zoomIn = MakeButton(QStringLiteral("Zoom &In"), &TViewerForm::zoomInClick);
  zoomOut = MakeButton(QStringLiteral("Zoom &Out"), &TViewerForm::zoomOutClick);
  wholePage = MakeButton(QStringLiteral("&Whole Page"), &TViewerForm::wholePageClick);
  for (QPushButton* b : {uFirst, uPrevious, uNext, uLast, zoomIn, zoomOut, wholePage}) tools->addWidget(b);
  pageLabel = new QLabel(this);
  pageLabel->setObjectName(QStringLiteral("pageLabel"));
  pageLabel->setMinimumWidth(110);
  pageLabel->setAlignment(Qt::AlignCenter);
  tools->addWidget(pageLabel);
  tools->addStretch(1);
  auto* printerLabel = new QLabel(QStringLiteral("Printer:"), this);
  tools->addWidget(printerLabel);
  printer = new QComboBox(this);
  printer->setObjectName(QStringLiteral("printer"));
  printer->setMinimumWidth(180);
  tools->addWidget(printer);
  printButton = MakeButton(QStringLiteral("&Print"), &TViewerForm::printButtonClick);
  tools->addWidget(printButton);

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

  FillPrinterList();
  resize(1000, 760);
  ShowPageState();
}

TViewerForm::~TViewerForm() {
  VuPreview1->OnPageChanged = nullptr;
  // The strip unlinks itself before the preview goes.
  delete Thumbnails;
  Thumbnails = nullptr;
}

QPushButton* TViewerForm::MakeButton(const QString& caption, void (TViewerForm::*handler)()) {
  auto* button = new QPushButton(caption, this);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  return button;
}

void TViewerForm::FillPrinterList() {
  TVuPrinter& vp = VuPreview1->VuPrinter();
  printer->clear();
  printer->addItem(QStringLiteral("Default Printer"));
  printer->addItems(vp.Printers());
  // Without an installed printer the document can still be viewed; only printing is off.
  try {
    printer->setCurrentIndex(vp.GetPrinterIndex() + 1);
  } catch (const EPrinter&) {
    printer->setEnabled(false);
    printButton->setEnabled(false);
  }
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

void TViewerForm::ShowPageState() {
  const int current = VuPreview1->GetCurrentPageNum(), count = VuPreview1->GetNumPages();
  uFirst->setEnabled(current > 1);
  uPrevious->setEnabled(current > 1);
  uNext->setEnabled(current < count);
  uLast->setEnabled(current < count);
  pageLabel->setText(PageText());
}

void TViewerForm::uFirstClick() { VuPreview1->FirstPage(); }
void TViewerForm::uPreviousClick() { VuPreview1->PrevPage(); }
void TViewerForm::uNextClick() { VuPreview1->NextPage(); }
void TViewerForm::uLastClick() { VuPreview1->LastPage(); }
void TViewerForm::zoomInClick() { VuPreview1->ZoomIn(); }
void TViewerForm::zoomOutClick() { VuPreview1->ZoomOut(); }
void TViewerForm::wholePageClick() { VuPreview1->FitWholePage(); }

void TViewerForm::printButtonClick() {
  if (const int index = printer->currentIndex(); index > 0) VuPreview1->VuPrinter().SetPrinterIndex(index - 1);
  VuPreview1->Print();
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
  return QApplication::exec();
}
