// The viewer's print step: which printer, which pages and how many copies, asked before
// anything goes to the printer.
#pragma once
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

struct TViewerPrintChoice {
  int PrinterIndex = -1;  // into the installed printers
  int FromPage = 1;
  int ToPage = 1;
  int Copies = 1;
};

class TViewerPrintDialog : public QDialog {
  Q_OBJECT
 public:
  // printers: the installed printers, selected: the one preselected; pageCount and
  // currentPage: the document's.
  TViewerPrintDialog(const QStringList& printers, int selected, int pageCount, int currentPage,
                     QWidget* owner = nullptr);

  QComboBox* printer = nullptr;
  QRadioButton* allPages = nullptr;
  QRadioButton* currentPage = nullptr;
  QRadioButton* pageRange = nullptr;
  QSpinBox* fromPage = nullptr;
  QSpinBox* toPage = nullptr;
  QSpinBox* copies = nullptr;
  QLabel* summary = nullptr;
  QPushButton* printButton = nullptr;
  QPushButton* cancelButton = nullptr;

  TViewerPrintChoice Choice() const;

 private:
  // "N pages, M sheets of paper in all" for the range and copies chosen.
  void ShowSummary();
  int FPageCount;
  int FCurrentPage;
};
