// The viewer window of a saved page file: the document in a preview control with a thumbnail
// strip beside it, page navigation, a page field, zoom (shown and settable, fit page, fit
// width, Ctrl+wheel) and Print through a print step that asks for the printer, the page
// range and the copies, then prints through the preview's print job.
#pragma once
#include <functional>
#include <QString>
#include <QWidget>
#include <cstdio>
#include "preview/view/Vupreview.h"
#include "preview/view/Vuthumbnails.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QToolBar;
class QToolButton;
struct TViewerPrintChoice;

class TViewerForm : public QWidget {
  Q_OBJECT
 public:
  explicit TViewerForm(QWidget* owner = nullptr);
  ~TViewerForm() override;

  QToolBar* tools = nullptr;
  QToolButton* uFirst = nullptr;
  QToolButton* uPrevious = nullptr;
  QToolButton* uNext = nullptr;
  QToolButton* uLast = nullptr;
  // The current page, typed over and Enter to go to another; "of N" beside it.
  QLineEdit* pageEdit = nullptr;
  QLabel* pageCountLabel = nullptr;
  QToolButton* zoomOut = nullptr;
  // The zoom in percent: shown, picked from the list or typed and Enter.
  QComboBox* zoomBox = nullptr;
  QToolButton* zoomIn = nullptr;
  QToolButton* wholePage = nullptr;
  QToolButton* fitWidth = nullptr;
  QToolButton* printButton = nullptr;
  QToolButton* closeButton = nullptr;
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
  // The zoom box's text for the preview's zoom: "60%".
  QString ZoomText() const;

  void uFirstClick();
  void uPreviousClick();
  void uNextClick();
  void uLastClick();
  void zoomInClick();
  void zoomOutClick();
  void wholePageClick();
  void fitWidthClick();
  // Goes to the page typed in pageEdit; a number outside the document is refused with a
  // message, a text that is no number puts the current page back.
  void pageEditReturn();
  // Sets the zoom typed or picked in zoomBox ("150", "150%"), within the preview's limits.
  void zoomBoxEntered();
  // The print step: a dialog with the printer, the page range and the copies; Print there
  // prints that range.
  void printButtonClick();
  // Prints a range the print step gave.
  void PrintChoice(const TViewerPrintChoice& choice);
  // Asked before a range is printed, once its printer is selected: a text stops the print
  // and is shown (labels on a printer without their sheet's paper, or a label that does not
  // read back); an empty one lets it print.
  std::function<QString(int fromPage, int toPage)> CheckBeforePrint;

 protected:
  // Page Up/Down and the wheel at the top or bottom of a page turn the page; Ctrl+wheel
  // zooms; a resize keeps a fitted zoom fitted.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  enum TFitMode { fmNone, fmWholePage, fmWidth };
  QToolButton* MakeButton(const QString& caption, const QString& tip, void (TViewerForm::*handler)());
  void AddShortcut(const QKeySequence& key, void (TViewerForm::*handler)());
  // Buttons, page field and zoom box for the current page and zoom.
  void ShowPageState();
  void ShowZoom();
  void SetZoomByUser(int zoom);
  // One page forward (+1) or back (-1) when there is one, shown from its top (forward) or its
  // bottom (back); true when the page turned.
  bool TurnPage(int direction);
  // Whether the page is scrolled to its end in the direction (+1 bottom, -1 top).
  bool AtPageEnd(int direction) const;

  TFitMode FFitMode = fmNone;
};

// velean13 --view FILE: the viewer window of the page file until it is closed. A file that
// cannot be read gives its reason on err and status 1, and no window.
int RunViewer(const QString& fileName, FILE* err = stderr);
