#include "app/ViewerPrintDialog.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

TViewerPrintDialog::TViewerPrintDialog(const QStringList& printers, int selected, int pageCount, int current,
                                       QWidget* owner)
    : QDialog(owner), FPageCount(std::max(1, pageCount)), FCurrentPage(std::clamp(current, 1, FPageCount)) {
  setObjectName(QStringLiteral("ViewerPrintDialog"));
  setWindowTitle(QStringLiteral("Print"));
  auto* layout = new QVBoxLayout(this);

  auto* form = new QFormLayout;
  printer = new QComboBox(this);
  printer->setObjectName(QStringLiteral("printer"));
  printer->addItems(printers);
  printer->setCurrentIndex(selected);
  form->addRow(QStringLiteral("P&rinter:"), printer);
  layout->addLayout(form);

  auto* range = new QGridLayout;
  allPages = new QRadioButton(QStringLiteral("&All pages (%1)").arg(FPageCount), this);
  currentPage = new QRadioButton(QStringLiteral("C&urrent page (%1)").arg(FCurrentPage), this);
  pageRange = new QRadioButton(QStringLiteral("Pa&ges from"), this);
  fromPage = new QSpinBox(this);
  toPage = new QSpinBox(this);
  for (QSpinBox* box : {fromPage, toPage}) box->setRange(1, FPageCount);
  fromPage->setObjectName(QStringLiteral("fromPage"));
  toPage->setObjectName(QStringLiteral("toPage"));
  fromPage->setValue(1);
  toPage->setValue(FPageCount);
  allPages->setChecked(true);
  range->addWidget(allPages, 0, 0, 1, 4);
  range->addWidget(currentPage, 1, 0, 1, 4);
  range->addWidget(pageRange, 2, 0);
  range->addWidget(fromPage, 2, 1);
  range->addWidget(new QLabel(QStringLiteral("to"), this), 2, 2);
  range->addWidget(toPage, 2, 3);
  range->setColumnStretch(4, 1);
  layout->addLayout(range);

  auto* copyRow = new QFormLayout;
  copies = new QSpinBox(this);
  copies->setObjectName(QStringLiteral("copies"));
  copies->setRange(1, 999);
  copyRow->addRow(QStringLiteral("&Copies:"), copies);
  layout->addLayout(copyRow);

  summary = new QLabel(this);
  summary->setObjectName(QStringLiteral("summary"));
  layout->addWidget(summary);

  auto* buttons = new QDialogButtonBox(this);
  printButton = buttons->addButton(QStringLiteral("&Print"), QDialogButtonBox::AcceptRole);
  cancelButton = buttons->addButton(QDialogButtonBox::Cancel);
  printButton->setDefault(true);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // Typing in a range field picks the range; the two ends keep from <= to.
  auto pickRange = [this] { pageRange->setChecked(true); };
  connect(fromPage, &QSpinBox::valueChanged, this, [this, pickRange](int v) {
    if (toPage->value() < v) toPage->setValue(v);
    pickRange();
    ShowSummary();
  });
  connect(toPage, &QSpinBox::valueChanged, this, [this, pickRange](int v) {
    if (fromPage->value() > v) fromPage->setValue(v);
    pickRange();
    ShowSummary();
  });
  for (QRadioButton* b : {allPages, currentPage, pageRange}) connect(b, &QRadioButton::toggled, this, [this] { ShowSummary(); });
  connect(copies, &QSpinBox::valueChanged, this, [this] { ShowSummary(); });
  allPages->setChecked(true);
  ShowSummary();
  printButton->setFocus();
}

TViewerPrintChoice TViewerPrintDialog::Choice() const {
  TViewerPrintChoice choice;
  choice.PrinterIndex = printer->currentIndex();
  choice.Copies = copies->value();
  if (currentPage->isChecked()) {
    choice.FromPage = choice.ToPage = FCurrentPage;
  } else if (pageRange->isChecked()) {
    choice.FromPage = fromPage->value();
    choice.ToPage = toPage->value();
  } else {
    choice.FromPage = 1;
    choice.ToPage = FPageCount;
  }
  return choice;
}

void TViewerPrintDialog::ShowSummary() {
  const TViewerPrintChoice c = Choice();
  const int pages = (c.ToPage - c.FromPage + 1) * c.Copies;
  summary->setText(pages == 1 ? QStringLiteral("1 page to print.") : QStringLiteral("%1 pages to print.").arg(pages));
}
