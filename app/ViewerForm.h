// The viewer window of a saved page file: the document in a preview control with a thumbnail
// strip beside it, page navigation, zoom, and Print through the preview's print job (the one
// the print preview window uses).
#pragma once
#include <QString>
#include <QWidget>
#include <cstdio>
#include "preview/view/Vupreview.h"
#include "preview/view/Vuthumbnails.h"

class QComboBox;
class QLabel;
class QPushButton;

class TViewerForm : public QWidget {
  Q_OBJECT
 public:
  explicit TViewerForm(QWidget* owner = nullptr);
  ~TViewerForm() override;

  QPushButton* uFirst = nullptr;
  QPushButton* uPrevious = nullptr;
  QPushButton* uNext = nullptr;
  QPushButton* uLast = nullptr;
  QPushButton* zoomIn = nullptr;
  QPushButton* zoomOut = nullptr;
  QPushButton* wholePage = nullptr;
  QLabel* pageLabel = nullptr;
  QComboBox* printer = nullptr;
  QPushButton* printButton = nullptr;
  TVuThumbnails* Thumbnails = nullptr;
  TVuPreview* VuPreview1 = nullptr;

  // Loads a page file into the preview and shows it from page 1. A file that cannot be read
  // leaves the window as it was; false then, with the reason in error.
  bool Open(const QString& fileName, QString& error);
  // The window's title names the document shown.
  void SetDocumentName(const QString& fileName);
  // After the preview's pages were replaced: the strip, the navigation and the page text
  // follow, and page 1 is shown.
  void DocumentLoaded();
  // "Page n of m".
  QString PageText() const;

  void uFirstClick();
  void uPreviousClick();
  void uNextClick();
  void uLastClick();
  void zoomInClick();
  void zoomOutClick();
  void wholePageClick();
  // Every page on the printer chosen in the list (the selected printer for "Default
  // Printer").
  void printButtonClick();

 private:
  QPushButton* MakeButton(const QString& caption, void (TViewerForm::*handler)());
  void FillPrinterList();
  // Buttons and page text for the current page.
  void ShowPageState();
};

// velean13 --view FILE: the viewer window of the page file until it is closed. A file that
// cannot be read gives its reason on err and status 1, and no window.
int RunViewer(const QString& fileName, FILE* err = stderr);
